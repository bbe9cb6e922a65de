// The audio thread processes while another thread moves every parameter, as hosts do with
// automation and the editor. Run under ThreadSanitizer, any unsynchronised access is a report.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "effect_fixture.h"

namespace {

TEST(Threads, ParametersMoveWhileTheAudioThreadProcesses) {
    EffectInstance fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    fx.dispatch(effMainsChanged, 0, 1);

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    bool finite = true;
    std::thread audio([&] {
        constexpr int kFrames = 256;
        std::vector<float> left(kFrames), right(kFrames);
        float* ins[2] = {left.data(), right.data()};
        float* outs[2] = {left.data(), right.data()};
        unsigned noise = 1;
        while (!stop.load()) {
            for (int i = 0; i < kFrames; ++i) {
                noise = noise * 1664525u + 1013904223u;
                left[i] = right[i] = static_cast<float>(static_cast<int>(noise >> 8) - (1 << 23)) / (1 << 23);
            }
            fx.record->processReplacing(fx.record, ins, outs, kFrames);
            for (int i = 0; i < kFrames; ++i) finite = finite && std::isfinite(left[i]) && std::isfinite(right[i]);
            ++blocks;
        }
    });

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
    int step = 0;
    while (std::chrono::steady_clock::now() < end || blocks.load() < 20) {
        const float v = static_cast<float>((step * 37) % 101) / 100.0f;
        fx.set(step % 8, v);
        fx.get(step % 8);
        if (step % 50 == 0) fx.display(step % 8);
        if (step % 200 == 0) {
            void* chunk = nullptr;
            fx.dispatch(effGetChunk, 0, 0, &chunk);
        }
        ++step;
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(blocks.load(), 0);
}

}  // namespace
