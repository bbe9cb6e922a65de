// The VST3 module with the audio thread processing (changes at their samples, output changes
// reported) while the interface thread does what hosts do there at the same time: sets values,
// chooses presets, reads values and state, turns the run loop that announces changes. Run under
// ThreadSanitizer, any unsynchronised access is a report.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "vst3_instance.h"
#include "vst3_test_support.h"

namespace {

using namespace vst3;

TEST(Vst3Threads, TheInterfaceThreadWorksWhileTheAudioThreadProcesses) {
    Vst3Module module(kVst3Library);
    LoopingHandler handler;
    Vst3Instance vst3(module, &handler);
    constexpr int32 kBlock = 128;
    vst3.start(48000.0, kBlock);

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    bool finite = true;
    std::thread audio([&] {
        Stereo input(kBlock, 3), output(kBlock);
        for (long b = 0; !stop.load(); ++b) {
            ParamChanges changes, reported;
            changes.add(static_cast<ParamID>(b % 8), static_cast<int32>(b % kBlock), static_cast<double>(b % 11) / 10.0);
            // Every third block without an input bus, as hosts may hand it over.
            vst3.process(b % 3 ? input.at(0) : nullptr, output.at(0), kBlock, &changes, &reported);
            for (float v : output.left) finite = finite && std::isfinite(v);
            ++blocks;
        }
    });

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    for (int step = 0; std::chrono::steady_clock::now() < end || blocks.load() < 20; ++step) {
        const auto id = static_cast<ParamID>(step % 9);
        vst3.controller->setParamNormalized(id, id == chordwell_vst3::kProgramChangeId ? (step % 6) / 5.0
                                                                                       : (step % 13) / 12.0);
        vst3.controller->getParamNormalized(static_cast<ParamID>((step + 3) % 9));
        if (step % 20 == 0) handler.turn(1);
        if (step % 100 == 0) vst3.state();
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(blocks.load(), 0);
}

}  // namespace
