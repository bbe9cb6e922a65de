// The audio thread processes (changes at their samples, blocks without input, output changes)
// while the interface thread sets values, chooses presets, reads values and state, and turns
// the run loop that announces changes. Under ThreadSanitizer any unsynchronised access fails it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "vst3_instance.h"
#include "vst3_test_support.h"

TEST(Vst3Threads, TheInterfaceThreadWorksWhileTheAudioThreadProcesses) {
    using namespace vst3;
    Vst3Module module(kVst3Library);
    LoopingHandler handler;
    Vst3Instance vst3(module, &handler);
    vst3.start(48000.0, 128);
    std::atomic<long> blocks{0};
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        Stereo audio(128, 3);
        for (long b = 0; !stop.load(); blocks = ++b) {
            ParamChanges changes, reported;
            changes.add(static_cast<ParamID>(b % 8), static_cast<int32>(b % 128), static_cast<double>(b % 11) / 10.0);
            vst3.process(b % 3 ? audio.at(0) : nullptr, audio.at(0), 128, &changes, &reported);
        }
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    for (int step = 0; std::chrono::steady_clock::now() < end || blocks.load() < 20; ++step) {
        vst3.controller->setParamNormalized(static_cast<ParamID>(step % 9), (step % 6) / 5.0);
        vst3.controller->getParamNormalized(static_cast<ParamID>((step + 3) % 9));
        if (step % 20 == 0) handler.turn(1);
        if (step % 100 == 0) vst3.state();
    }
    stop = true;
    audio.join();
}
