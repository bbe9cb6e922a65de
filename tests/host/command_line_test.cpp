// Parsing of the chordwell command line.
#include <gtest/gtest.h>

#include "host/command_line.h"
#include "host/host_error.h"
#include "host/text_util.h"

using namespace host;

namespace {

RenderCommand parseRender(const std::vector<std::string>& args) {
    std::vector<std::string> all{"render"};
    all.insert(all.end(), args.begin(), args.end());
    return std::get<RenderCommand>(parseCommandLine(all));
}

}  // namespace

TEST(HostCommandLine, RenderTakesOptionsEitherWayAndInAnyPosition) {
    const RenderCommand command =
        parseRender({"--block-size", "700", "in.wav", "--param", "Output=0", "--param= mix =0.75", "out.flac",
                     "--tail=2.5", "--preset", "Low & Dark", "--plugin", "x.so", "--preset-file", "p.qza",
                     "--bank-file=b.qzb"});
    const RenderOptions& options = command.options;
    EXPECT_EQ(options.input, std::filesystem::path("in.wav"));
    EXPECT_EQ(options.output, std::filesystem::path("out.flac"));
    EXPECT_EQ(options.blockSize, 700);
    EXPECT_DOUBLE_EQ(options.tailSeconds, 2.5);
    EXPECT_EQ(options.preset, "Low & Dark");
    EXPECT_EQ(command.plugin, std::filesystem::path("x.so"));
    EXPECT_EQ(options.presetFile, std::filesystem::path("p.qza"));
    EXPECT_EQ(options.bankFile, std::filesystem::path("b.qzb"));
    ASSERT_EQ(options.parameters.size(), 2u);
    EXPECT_EQ(options.parameters[0].parameter, "Output");
    EXPECT_EQ(options.parameters[0].value, 0.0f);
    EXPECT_EQ(options.parameters[1].parameter, "mix");
    EXPECT_EQ(options.parameters[1].value, 0.75f);
}

TEST(HostCommandLine, RenderDefaults) {
    const RenderCommand command = parseRender({"out.wav", "--rate", "48000"});
    EXPECT_FALSE(command.options.input);
    EXPECT_FALSE(command.plugin);
    EXPECT_EQ(command.options.blockSize, 512);
    EXPECT_EQ(command.options.tailSeconds, 0.0);
    EXPECT_EQ(command.options.excitationRate, 48000.0);
}

TEST(HostCommandLine, OtherCommands) {
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(parseCommandLine({"--help"})));
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(parseCommandLine({"render", "out.wav", "-h"})));
    EXPECT_FALSE(std::get<InfoCommand>(parseCommandLine({"info"})).plugin);
    EXPECT_EQ(std::get<InfoCommand>(parseCommandLine({"info", "a.so"})).plugin, std::filesystem::path("a.so"));
    const auto show = std::get<PresetShowCommand>(parseCommandLine({"preset", "show", "f.qzb", "--plugin", "a.so"}));
    EXPECT_EQ(show.file, std::filesystem::path("f.qzb"));
    EXPECT_EQ(show.plugin, std::filesystem::path("a.so"));
}

TEST(HostCommandLine, MalformedCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> bad{
        {},
        {"play"},
        {"render"},
        {"render", "a.wav", "b.wav", "c.wav"},
        {"render", "out.wav", "--loud"},
        {"render", "out.wav", "--block-size"},
        {"render", "out.wav", "--block-size", "0"},
        {"render", "out.wav", "--block-size", "12x"},
        {"render", "out.wav", "--block-size", "-5"},
        {"render", "out.wav", "--tail", "-1"},
        {"render", "out.wav", "--tail", "nan"},
        {"render", "out.wav", "--rate", "44100.5"},
        {"render", "out.wav", "--rate", "10"},
        {"render", "in.wav", "out.wav", "--rate", "48000"},
        {"render", "out.wav", "--param", "Output"},
        {"render", "out.wav", "--param", "=1"},
        {"render", "out.wav", "--preset", "a", "--preset", "b"},
        {"render", "out.mp3"},
        {"render", "out"},
        {"info", "a.so", "b.so"},
        {"info", "--block-size", "4"},
        {"preset"},
        {"preset", "list"},
        {"preset", "show"},
    };
    for (const auto& args : bad) {
        std::string line;
        for (const auto& arg : args) line += arg + " ";
        EXPECT_THROW(parseCommandLine(args), CUsageError) << line;
    }
}

TEST(HostCommandLine, ParameterValueMustBeAFiniteFloat) {
    for (const char* value : {"", "loud", "nan", "inf", "-inf", "1e39", "0.5x", " 0.5", "0x"}) {
        EXPECT_THROW(parseCommandLine({"render", "out.wav", "--param", std::string("Output=") + value}), CHostError)
            << value;
    }
    EXPECT_EQ(parseFiniteFloat("-0.25"), -0.25f);
    EXPECT_EQ(parseFiniteFloat("1e-3"), 0.001f);
    EXPECT_EQ(parseFiniteFloat("2"), 2.0f);
}

TEST(HostText, FourCharacterIds) {
    EXPECT_EQ(fourCharText(0x5A6B5277), "ZkRw");
    EXPECT_EQ(fourCharText(0x00417F42), ".A.B");
    EXPECT_EQ(hexWord(0x5A6B5277), "0x5A6B5277");
    EXPECT_EQ(trimmed("  Output \t"), "Output");
    EXPECT_TRUE(equalsIgnoreCase("LOW & dark", "Low & Dark"));
}
