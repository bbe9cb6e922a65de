// The host callback's answers, the built-in excitation, the progress bar and where the
// default plug-in is looked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "host/commands.h"
#include "host/excitation.h"
#include "host/host_callback.h"
#include "host/host_error.h"
#include "host/progress_bar.h"
#include "host_test_support.h"

using namespace host;

TEST(HostCallback, AnswersWhatHostsAnswer) {
    EXPECT_EQ(hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    char text[256];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(hostCallback(nullptr, audioMasterGetVendorString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "QZA-tonefold");
    EXPECT_EQ(hostCallback(nullptr, audioMasterGetProductString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "chordwell");
    EXPECT_GT(hostCallback(nullptr, audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(hostCallback(nullptr, audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(hostCallback(nullptr, audioMasterIdle, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(hostCallback(nullptr, 9999, 0, 0, nullptr, 0.0f), 0);

    char startStop[] = "startStopProcess";
    char events[] = "sendVstEvents";
    EXPECT_EQ(hostCallback(nullptr, audioMasterCanDo, 0, 0, startStop, 0.0f), 1);
    EXPECT_EQ(hostCallback(nullptr, audioMasterCanDo, 0, 0, events, 0.0f), 0);
    EXPECT_EQ(hostCallback(nullptr, audioMasterCanDo, 0, 0, nullptr, 0.0f), 0);
}

TEST(HostCallback, StreamValuesComeFromTheInstancesContext) {
    CHostContext context;
    context.setSampleRate(96000.0f);
    context.setBlockSize(64);
    AEffect effect{};
    effect.user = &context;
    EXPECT_EQ(hostCallback(&effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 96000);
    EXPECT_EQ(hostCallback(&effect, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 64);
    EXPECT_EQ(hostCallback(&effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f), kProcessLevelUser);
    context.setProcessing(true);
    EXPECT_EQ(hostCallback(&effect, audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f), kProcessLevelOffline);

    // Inside an entry point the record is not known yet.
    EXPECT_EQ(hostCallback(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 44100);
    {
        CEntryScope scope(&context);
        EXPECT_EQ(hostCallback(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 96000);
    }
    EXPECT_EQ(hostCallback(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 44100);
}

TEST(HostExcitation, StereoPlucksNoiseClickAndSilence) {
    for (double rate : {44100.0, 48000.0}) {
        const std::vector<float> signal = makeExcitation(rate);
        const std::size_t frames = signal.size() / 2;
        ASSERT_EQ(frames, static_cast<std::size_t>(std::lround(4.0 * rate)));
        float peak = 0.0f;
        bool leftDiffersFromRight = false;
        for (std::size_t n = 0; n < frames; ++n) {
            ASSERT_TRUE(std::isfinite(signal[2 * n]) && std::isfinite(signal[2 * n + 1]));
            peak = std::max({peak, std::fabs(signal[2 * n]), std::fabs(signal[2 * n + 1])});
            leftDiffersFromRight |= std::fabs(signal[2 * n] - signal[2 * n + 1]) > 0.01f;
        }
        EXPECT_GT(peak, 0.3f);
        EXPECT_LT(peak, 1.0f);
        EXPECT_TRUE(leftDiffersFromRight) << "notes are panned";
        // The last second is silence for the strings to ring into.
        for (std::size_t n = frames - static_cast<std::size_t>(rate); n < frames; ++n) ASSERT_EQ(signal[2 * n], 0.0f);
    }
    EXPECT_EQ(makeExcitation(44100.0), makeExcitation(44100.0));
}

TEST(HostProgressBar, DrawsOnlyWhenEnabledAndOnlyOnChange) {
    for (bool enabled : {false, true}) {
        std::FILE* stream = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        CProgressBar bar(stream, enabled);
        bar.update(0, 200);
        bar.update(1, 200);  // still 0 %
        bar.update(100, 200);
        bar.update(200, 200);
        bar.finish();
        std::rewind(stream);
        std::string text;
        for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) text += static_cast<char>(c);
        std::fclose(stream);
        if (!enabled) {
            EXPECT_EQ(text, "");
            continue;
        }
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 3) << text;
        EXPECT_NE(text.find("]  50%"), std::string::npos) << text;
        EXPECT_EQ(text.substr(text.size() - 7), "] 100%\n") << text;
    }
}

TEST(HostPluginPath, GivenElseBesideTheProgramElseInstalledElseInDotVst) {
    hosttest::CTempDir dir;
    HostEnvironment environment;
    environment.executableDir = dir / "bin";
    environment.installedPluginDir = dir / "lib" / "vst";
    environment.home = dir / "home";
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "lib" / "vst");
    std::filesystem::create_directories(dir / "home" / ".vst");

    EXPECT_EQ(resolvePluginPath(std::filesystem::path("x.so"), environment), std::filesystem::path("x.so"));
    EXPECT_THROW(resolvePluginPath(std::nullopt, environment), CHostError);
    std::ofstream(dir / "home" / ".vst" / "QZA Chordwell.so").put('x');
    EXPECT_EQ(resolvePluginPath(std::nullopt, environment), dir / "home" / ".vst" / "QZA Chordwell.so");
    std::ofstream(dir / "lib" / "vst" / "QZA Chordwell.so").put('x');
    EXPECT_EQ(resolvePluginPath(std::nullopt, environment), dir / "lib" / "vst" / "QZA Chordwell.so");
    std::ofstream(dir / "bin" / "QZA Chordwell.so").put('x');
    EXPECT_EQ(resolvePluginPath(std::nullopt, environment), dir / "bin" / "QZA Chordwell.so");
}
