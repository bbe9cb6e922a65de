// chordwell driving a fake plug-in built for these tests: the order of its requests, what
// it is told, bit-exact passthrough across block sizes, the broken kinds of plug-in, and
// an interrupted render.
#include <dlfcn.h>
#include <fcntl.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "host/excitation.h"
#include "host/host_error.h"
#include "host/plugin_instance.h"
#include "host_test_support.h"

using namespace hosttest;

extern char** environ;

namespace {

// Keeps the fake loaded between chordwell's loads so its log can be read afterwards.
class CFakeLog {
public:
    CFakeLog() : handle(dlopen(FAKE_GOOD, RTLD_NOW | RTLD_LOCAL)) {
        void* symbol = handle ? dlsym(handle, "fakePluginLog") : nullptr;
        std::memcpy(&read, &symbol, sizeof read);
    }
    ~CFakeLog() {
        if (handle) dlclose(handle);
    }
    std::string text() const { return read ? read() : "(fake plug-in not loaded)"; }

private:
    void* handle;
    const char* (*read)() = nullptr;
};

std::vector<float> renderFake(const CTempDir& dir, const std::vector<std::string>& options) {
    std::vector<std::string> args{"render", (dir / "out.wav").string(), "--plugin", FAKE_GOOD};
    args.insert(args.end(), options.begin(), options.end());
    const RunResult run = runInProcess(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return readAudio(dir / "out.wav").samples;
}

std::vector<float> scaled(std::vector<float> samples, float gain) {
    for (float& s : samples) s *= gain;
    return samples;
}

}  // namespace

TEST(HostFakePlugin, IsDrivenInTheOrderHostsUse) {
    CFakeLog log;
    CTempDir dir;
    renderFake(dir, {"--rate", "48000", "--block-size", "700", "--tail", "0.5", "--param", "level=0.5"});
    EXPECT_EQ(log.text(),
              "entry version=2400 vendor=QZA-tonefold product=chordwell rate=44100 canStartStop=1 canBypass=0;"
              "open;rate=48000;block=700;param0=0.500000;mains=1;start;"
              "process level=4 rate=48000 block=700 time=0;"
              "stop calls=309 frames=216000;mains=0;close;");
}

TEST(HostFakePlugin, PassesAudioThroughBitExactlyAtAnyBlockSize) {
    CTempDir dir;
    const std::vector<float> excitation = host::makeExcitation(44100.0);
    std::vector<float> expected = excitation;
    expected.resize(excitation.size() + 2 * 22050, 0.0f);  // half a second of tail
    for (const char* block : {"1", "700", "4096", "8192", "100000"}) {
        EXPECT_EQ(renderFake(dir, {"--block-size", block, "--tail", "0.5"}), expected) << "block size " << block;
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.wav"}) << "no temporary file stays behind";

    // A WAV input keeps its rate and its length.
    const std::vector<float> input(2 * 1000, 0.125f);
    writeAudio(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 22050, input);
    const RunResult run = runInProcess({"render", (dir / "in.wav").string(), (dir / "out.wav").string(), "--plugin",
                                        FAKE_GOOD, "--block-size", "64"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("wrote " + (dir / "out.wav").string()), std::string::npos) << run.out;
    const Audio out = readAudio(dir / "out.wav");
    EXPECT_EQ(out.sampleRate, 22050);
    EXPECT_EQ(out.samples, input);
}

TEST(HostFakePlugin, AMonoInputFeedsBothInputs) {
    CTempDir dir;
    // Longer than one piece of file input, so the spreading into frames crosses pieces.
    std::vector<float> mono(10000);
    for (std::size_t n = 0; n < mono.size(); ++n) mono[n] = static_cast<float>(n % 1000) / 1000.0f - 0.5f;
    writeAudio(dir / "mono.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 44100, mono);
    const RunResult run = runInProcess({"render", (dir / "mono.wav").string(), (dir / "out.wav").string(), "--plugin",
                                        FAKE_GOOD, "--block-size", "100"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("mono input: " + (dir / "mono.wav").string() + " feeds both inputs of the plug-in\n", 0), 0u)
        << run.out;
    std::vector<float> expected;
    for (float sample : mono) expected.insert(expected.end(), {sample, sample});
    EXPECT_EQ(readAudio(dir / "out.wav").samples, expected);
}

TEST(HostFakePlugin, ParametersAndProgramsByNameOrNumber) {
    CTempDir dir;
    const std::vector<float> excitation = host::makeExcitation(44100.0);
    // The fake pads its parameter name ("  Level  ") and its program names.
    EXPECT_EQ(renderFake(dir, {"--param", "LEVEL=0.5"}), scaled(excitation, 0.5f));
    EXPECT_EQ(renderFake(dir, {"--param", "0=0.75"}), scaled(excitation, 0.75f));
    EXPECT_EQ(renderFake(dir, {"--preset", "second"}), scaled(excitation, 0.25f));
    EXPECT_EQ(renderFake(dir, {"--preset", "1"}), scaled(excitation, 0.25f));
    // --param comes after --preset, whatever the order on the command line.
    EXPECT_EQ(renderFake(dir, {"--param", "level=0.5", "--preset", "1"}), scaled(excitation, 0.5f));

    // It answers a name for every index; only its two programs exist.
    const RunResult info = runInProcess({"info", FAKE_GOOD});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("Programs (2):\n  0  First\n  1  Second\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("  0  Level  1.00  x\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Unique ID:      'FaKe' (0x46614B65)"), std::string::npos) << info.out;
    const RunResult third = runInProcess({"render", (dir / "x.wav").string(), "--plugin", FAKE_GOOD, "--preset", "2"});
    EXPECT_NE(third.exitCode, 0);
    EXPECT_NE(third.err.find("unknown preset 2"), std::string::npos) << third.err;
}

TEST(HostFakePlugin, BrokenPluginsAreRefusedWithAReason) {
    EXPECT_THROW(
        {
            try {
                host::CPluginInstance plugin(FAKE_BAD_MAGIC);
            } catch (const host::CHostError& error) {
                EXPECT_NE(std::string(error.what()).find("magic 'Nope'"), std::string::npos) << error.what();
                throw;
            }
        },
        host::CHostError);
    EXPECT_THROW(
        {
            try {
                host::CPluginInstance plugin(FAKE_NULL_RECORD);
            } catch (const host::CHostError& error) {
                EXPECT_NE(std::string(error.what()).find("returned no effect"), std::string::npos) << error.what();
                throw;
            }
        },
        host::CHostError);

    // A plug-in without processReplacing can be inspected but not rendered through.
    CTempDir dir;
    EXPECT_EQ(runInProcess({"info", FAKE_NO_REPLACING}).exitCode, 0);
    const RunResult run = runInProcess({"render", (dir / "out.wav").string(), "--plugin", FAKE_NO_REPLACING});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot process with processReplacing"), std::string::npos) << run.err;
    EXPECT_TRUE(dir.entries().empty());
}

TEST(HostFakePlugin, InterruptedRenderLeavesNothing) {
    CTempDir dir;
    CTempDir capture;
    const std::string errPath = (capture / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{CHORDWELL_EXE, "render", (dir / "long.wav").string(), "--plugin", FAKE_GOOD,
                                  "--block-size", "1", "--tail", "3000"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, CHORDWELL_EXE, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    // Wait until the render is writing its temporary file, then interrupt it.
    for (int i = 0; i < 500 && dir.entries().empty(); ++i) usleep(10000);
    EXPECT_EQ(dir.entries().size(), 1u);
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_TRUE(dir.entries().empty());
    std::ifstream err(errPath);
    std::string line;
    std::getline(err, line);
    EXPECT_EQ(line, "chordwell: interrupted; nothing was written");
}
