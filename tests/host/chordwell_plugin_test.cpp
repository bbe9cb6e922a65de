// chordwell with QZA Chordwell itself: rendering, block-size independence, parameters and
// presets by name and number, preset and bank files in both byte orders.
#include <sndfile.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "host_test_support.h"

using namespace hosttest;

namespace {

const std::string kPlugin = CHORDWELL_PLUGIN;

// The plug-in's output does not depend on the block size apart from a tiny offset that
// restarts with every block.
constexpr float kBlockTolerance = 1e-6f;

// Factory values (Output, Mix, Decay, Damp, Transpose, Tune, Detune, Bypass).
constexpr Values kHigh{0.5f, 0.25f, 0.5f, 0.1f, 0.75f, 0.5f, 0.0f, 0.0f};
constexpr Values kDetuned{0.5f, 0.25f, 0.6f, 0.25f, 0.5f, 0.5f, 1.0f, 0.0f};
constexpr Values kDefault{0.5f, 0.25f, 0.25f, 0.25f, 0.5f, 0.5f, 0.0f, 0.0f};

class HostChordwell : public ::testing::Test {
protected:
    // The plug-in keeps per-user settings (default presets among them); the tests give it
    // an empty settings folder of their own so that it starts with its factory presets.
    HostChordwell() { setenv("XDG_CONFIG_HOME", config.path().c_str(), 1); }

    // Renders the built-in excitation (or IN when options start with an input) through ours.
    std::vector<float> render(std::vector<std::string> options) {
        const std::string out = (dir / ("take" + std::to_string(takes++) + ".wav")).string();
        std::vector<std::string> args{"render", out, "--plugin", kPlugin};
        args.insert(args.end(), options.begin(), options.end());
        const RunResult run = runInProcess(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        if (run.exitCode != 0) return {};
        return readAudio(out).samples;
    }

    std::string file(const std::string& name, const std::vector<unsigned char>& bytes) {
        writeBytes(dir / name, bytes);
        return (dir / name).string();
    }

    CTempDir config;
    CTempDir dir;
    int takes = 0;
};

}  // namespace

TEST_F(HostChordwell, InfoShowsIdentityParametersAndTheSixPresets) {
    const RunResult run = runInProcess({"info", kPlugin});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Effect name:    QZA Chordwell\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Unique ID:      'ZkRw' (0x5A6B5277)"), std::string::npos);
    EXPECT_NE(run.out.find("Flags:          0x00000031"), std::string::npos);
    // The host's count of programs and the bank's six presets, each said for what it is.
    EXPECT_NE(run.out.find("Programs:       1 (numPrograms, what hosts select by number; the 6 presets below"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Parameters (8):\n  0  Output "), std::string::npos) << run.out;
    for (const char* name : {"Mix", "Decay", "Damp", "Transpose", "Tune", "Detune", "Bypass"})
        EXPECT_NE(run.out.find(std::string("  ") + name + " "), std::string::npos) << name;
    EXPECT_NE(run.out.find("Programs (6):\n  0  Default\n  1  Bright\n  2  High\n  3  Low & Dark\n"
                           "  4  Almost reverb\n  5  Detuned\n"),
              std::string::npos)
        << run.out;
}

TEST_F(HostChordwell, RendersExcitationAndInputIndependentOfBlockSize) {
    const std::vector<float> reference = render({"--tail", "1"});
    ASSERT_EQ(reference.size(), 2u * 5 * 44100);
    EXPECT_TRUE(allFinite(reference));
    EXPECT_GT(peak(reference), 0.01f);
    // The strings ring on after the excitation's last event, a click at 2.6 s.
    EXPECT_GT(peak(std::vector<float>(reference.begin() + 2 * 117000, reference.begin() + 2 * 132000)), 1e-4f);
    for (const char* block : {"1", "700", "4096"}) {
        EXPECT_LT(maxDifference(render({"--tail", "1", "--block-size", block}), reference), kBlockTolerance)
            << "block size " << block;
    }

    // A 16-bit WAV input at 48 kHz: the plug-in runs at the file's rate.
    std::vector<float> input(2 * 24000, 0.0f);
    for (std::size_t n = 0; n < 2400; ++n) input[2 * n] = (n % 109 < 54) ? 0.4f : -0.4f;
    writeAudio(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, input);
    const std::string out = (dir / "out.wav").string();
    const RunResult run = runInProcess({"render", (dir / "in.wav").string(), out, "--plugin", kPlugin, "--tail", "0.5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Audio audio = readAudio(out);
    EXPECT_EQ(audio.sampleRate, 48000);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.frames(), 24000u + 24000u);
    EXPECT_TRUE(allFinite(audio.samples));
    EXPECT_GT(peak(audio.samples), 0.01f);
}

TEST_F(HostChordwell, ParametersAndPresetsByNameOrNumberTakeEffect) {
    EXPECT_LT(peak(render({"--param", "Output=0"})), 1e-6f);
    EXPECT_LT(peak(render({"--param", "0=0"})), 1e-6f);

    const std::vector<float> standard = render({});
    EXPECT_LT(maxDifference(render({"--preset", "default"}), standard), kBlockTolerance);
    const std::vector<float> lowAndDark = render({"--preset", "LOW & DARK"});
    EXPECT_GT(maxDifference(lowAndDark, standard), 1e-3f);
    EXPECT_LT(maxDifference(render({"--preset", "3"}), lowAndDark), kBlockTolerance);
    EXPECT_LT(maxDifference(render({"--preset", "detuned"}), render({"--preset", "5"})), kBlockTolerance);
    // --param applies last: a preset keeps Output where it is set.
    EXPECT_LT(peak(render({"--param", "output=0", "--preset", "High"})), 1e-6f);
}

TEST_F(HostChordwell, PresetAndBankFilesInEitherByteOrder) {
    const std::vector<float> high = render({"--preset", "High"});
    const std::vector<float> detuned = render({"--preset", "Detuned"});
    ASSERT_GT(maxDifference(high, detuned), 1e-3f);

    const std::array<std::string, 6> names{"Mine", "B", "C", "Also mine", "E", "F"};
    const std::array<Values, 6> bank{kHigh, kDefault, kDefault, kDetuned, kDefault, kDefault};
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian files" : "little-endian files");
        const std::string preset = file("high.qza", handPresetImage("My High", kHigh, bigEndian));
        const std::string bankFile = file("mine.qzb", handBankImage(names, bank, bigEndian));
        EXPECT_LT(maxDifference(render({"--preset-file", preset}), high), kBlockTolerance);
        EXPECT_LT(maxDifference(render({"--bank-file", bankFile}), high), kBlockTolerance);
        EXPECT_LT(maxDifference(render({"--bank-file", bankFile, "--preset", "also MINE"}), detuned), kBlockTolerance);
        EXPECT_LT(maxDifference(render({"--preset", "5", "--preset-file", preset}), high), kBlockTolerance);

        const RunResult shown = runInProcess({"preset", "show", preset, "--plugin", kPlugin});
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        EXPECT_NE(shown.out.find(bigEndian ? "other byte order" : "this machine's byte order"), std::string::npos);
        EXPECT_NE(shown.out.find("\"My High\""), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find("  0  Output     0.5          0.000000 dB\n"), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find("  4  Transpose  0.75         12.00000 st\n"), std::string::npos) << shown.out;

        const RunResult shownBank = runInProcess({"preset", "show", bankFile, "--plugin", kPlugin});
        ASSERT_EQ(shownBank.exitCode, 0) << shownBank.err;
        EXPECT_NE(shownBank.out.find("Bank file "), std::string::npos);
        EXPECT_NE(shownBank.out.find("Preset 3: \"Also mine\"\n"), std::string::npos) << shownBank.out;
        EXPECT_NE(shownBank.out.find("  6  Detune     1            100.0000 %"), std::string::npos) << shownBank.out;
    }
}

TEST_F(HostChordwell, FilesNotForThisPluginAreRefused) {
    Values nan = kHigh;
    nan[5] = std::numeric_limits<float>::quiet_NaN();
    std::vector<unsigned char> shortPreset = handPresetImage("Short", kHigh, false);
    shortPreset.pop_back();
    const std::array<std::string, 6> names{"A", "B", "C", "D", "E", "F"};
    const std::array<Values, 6> values{kHigh, kHigh, kHigh, kHigh, kHigh, kHigh};
    struct Case {
        std::string name;
        std::vector<unsigned char> bytes;
        std::string option;
        std::string reason;
    };
    const std::vector<Case> cases{
        {"short.qza", shortPreset, "--preset-file", "it has 60 bytes"},
        {"foreign.qza", handPresetImage("X", kHigh, true, 0x64667033), "--preset-file", "belongs to another plug-in"},
        {"kind.qza", handPresetImage("X", kHigh, false, kChordwellId, 0x37), "--preset-file", "kind byte is 0x37"},
        {"nan.qza", handPresetImage("X", nan, true), "--preset-file", "not a finite number"},
        {"bank.qzb", handBankImage(names, values, false), "--preset-file", "is a bank file"},
        {"preset.qza", handPresetImage("X", kHigh, false), "--bank-file", "is a preset file"},
        {"kind.qzb", handBankImage(names, values, true, kChordwellId, 0x21), "--bank-file", "kind byte is 0x21"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = file(c.name, c.bytes);
        const std::string out = (dir / "out.wav").string();
        const RunResult run = runInProcess({"render", out, "--plugin", kPlugin, c.option, path});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
        if (c.option == "--preset-file" && c.name != "bank.qzb") {
            const RunResult shown = runInProcess({"preset", "show", path, "--plugin", kPlugin});
            EXPECT_EQ(shown.exitCode, 1);
            EXPECT_NE(shown.err.find(c.reason), std::string::npos) << shown.err;
        }
        std::filesystem::remove(path);
    }
    EXPECT_TRUE(dir.entries().empty());
}

TEST_F(HostChordwell, ProgramFindsOursBesideItself) {
    ASSERT_EQ(std::filesystem::path(kPlugin).parent_path(), std::filesystem::path(CHORDWELL_EXE).parent_path());
    const RunResult run = runProgram(CHORDWELL_EXE, {"info"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Effect name:    QZA Chordwell"), std::string::npos) << run.out;
}
