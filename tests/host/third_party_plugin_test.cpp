// chordwell with a third-party VST 2.4 plug-in from Debian (Dragonfly Plate Reverb), and
// the program's error paths: each fails with one line and leaves no file behind.
#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "host_test_support.h"

using namespace hosttest;

namespace {

const std::string kPlate = DRAGONFLY_PLATE;

void writeText(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

}  // namespace

TEST(HostThirdParty, InfoListsTheParameters) {
    const RunResult run = runInProcess({"info", kPlate});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Effect name:    Dragonfly Plate Reverb"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Unique ID:      'dfp3'"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Parameters (9):"), std::string::npos) << run.out;
    for (const char* name : {"Dry Level", "Wet Level", "Decay", "High Cut"})
        EXPECT_NE(run.out.find(name), std::string::npos) << name;
}

TEST(HostThirdParty, RendersExcitationAndFilesInEveryFormat) {
    CTempDir dir;
    // The program itself, with no terminal: nothing but the result line.
    RunResult run = runProgram(CHORDWELL_EXE, {"render", "excited.wav", "--plugin", kPlate, "--tail", "1"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "") << "no progress bar unless stderr is a terminal";
    EXPECT_EQ(run.out, "wrote " + (dir / "excited.wav").string() + " (32-bit float WAV, 220500 frames at 44100 Hz)\n");
    Audio out = readAudio(dir / "excited.wav");
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.sampleRate, 44100);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(out.frames(), 220500u);
    EXPECT_TRUE(allFinite(out.samples));
    EXPECT_GT(peak(out.samples), 0.05f);
    // The reverb sounds on after the excitation's last event, a click at 2.6 s.
    const std::vector<float> afterClick(out.samples.begin() + 2 * 115000, out.samples.begin() + 2 * 125000);
    EXPECT_GT(peak(afterClick), 1e-3f);

    // A stereo input file at its own rate, written as 24-bit FLAC and AIFF.
    std::vector<float> input(2 * 48000, 0.0f);
    for (std::size_t n = 0; n < 4800; ++n) input[2 * n] = input[2 * n + 1] = (n % 100 < 50) ? 0.5f : -0.5f;
    writeAudio(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000, input);
    for (const auto& [name, format] : {std::pair{"out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
                                       std::pair{"out.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24}}) {
        run = runInProcess({"render", (dir / "in.wav").string(), (dir / name).string(), "--plugin", kPlate,
                            "--block-size", "333", "--tail", "0.25"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        out = readAudio(dir / name);
        EXPECT_EQ(out.format, format) << name;
        EXPECT_EQ(out.channels, 2);
        EXPECT_EQ(out.sampleRate, 48000);
        EXPECT_EQ(out.frames(), 48000u + 12000u);
        EXPECT_GT(peak(out.samples), 0.05f);
    }
}

TEST(HostErrors, EachFailsWithOneLineAndLeavesNoFile) {
    CTempDir dir;
    writeAudio(dir / "stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, std::vector<float>(2000, 0.1f));
    writeAudio(dir / "three.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3, 44100, std::vector<float>(3000, 0.1f));
    writeText(dir / "text.so", "not a library\n");
    const std::vector<std::string> inputs = dir.entries();

    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"render", "missing.wav", "out.wav", "--plugin", kPlate}, 1, "input file not found: missing.wav"},
        {{"render", "out.wav", "--plugin", NOT_A_PLUGIN_LIBRARY}, 1, "exports neither VSTPluginMain nor main"},
        {{"render", "out.wav", "--plugin", "text.so"}, 1, "cannot load plug-in text.so"},
        {{"render", "out.wav", "--plugin", "nowhere.so"}, 1, "plug-in not found: nowhere.so"},
        {{"render", "out.wav", "--plugin", kPlate, "--param", "Loudness=0.5"}, 1, "unknown parameter \"Loudness\""},
        {{"render", "out.wav", "--plugin", kPlate, "--param", "99=0.5"}, 1, "unknown parameter \"99\""},
        {{"render", "out.wav", "--plugin", kPlate, "--preset", "Cathedral"}, 1, "unknown preset \"Cathedral\""},
        {{"render", "out.wav", "--plugin", kPlate, "--preset", "7"}, 1, "unknown preset 7"},
        {{"render", "three.wav", "out.wav", "--plugin", kPlate}, 1, "takes mono or stereo input files, but three.wav has 3 channels"},
        {{"render", "stereo.wav", "out.wav", "--plugin", kPlate, "--param", "Decay=nan"}, 1, "is not a finite number"},
        {{"render", "stereo.wav", "out.wav", "--plugin", kPlate, "--param", "Decay=2"}, 1, "parameter Decay: 2 is outside the range 0..1"},
        {{"render", "out.wav", "--plugin", kPlate, "--param", "0=-0.01"}, 1, "parameter 0: -0.01 is outside the range 0..1"},
        {{"render", "out.wav", "--plugin", kPlate, "--param", "Decay=0.5.5"}, 1, "is not a finite number"},
        {{"render", "out.wav", "--plugin", kPlate, "--preset-file", "missing.qza"}, 1, "cannot read missing.qza"},
        {{"render", "out.wav", "--plugin", kPlate, "--bank-file", "stereo.wav"}, 1, "not a preset or bank file"},
        {{"render", "stereo.wav", "no/such/folder/out.wav", "--plugin", kPlate}, 1, "cannot create the output file"},
        {{"render", "out.wav", "--plugin", kPlate, "--bogus"}, 2, "unknown option for render: --bogus"},
        {{"mangle", "out.wav"}, 2, "unknown command: mangle"},
        {{"render", "out.ogg", "--plugin", kPlate}, 2, "name it .wav, .flac, .aif or .aiff"},
        {{"preset", "show", "missing.qza", "--plugin", kPlate}, 1, "file not found: missing.qza"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& arg : c.args) line += arg + " ";
        SCOPED_TRACE(line);
        const RunResult run = runProgram(CHORDWELL_EXE, c.args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("chordwell: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        if (c.exitCode == 1) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        } else {
            EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;
        }
        EXPECT_EQ(dir.entries(), inputs) << "nothing written, no temporary file";
    }
}

TEST(HostErrors, FailedRenderKeepsAnExistingOutput) {
    CTempDir dir;
    writeText(dir / "out.wav", "previous take");
    const RunResult run = runInProcess({"render", (dir / "out.wav").string(), "--plugin", kPlate, "--preset", "x"});
    EXPECT_EQ(run.exitCode, 1);
    std::ifstream in(dir / "out.wav");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "previous take");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.wav"});
}
