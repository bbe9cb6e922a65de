// The audio thread processes blocks while another thread sets every parameter, Transpose
// included, and reads the views the value texts use. Built with ThreadSanitizer this finds any
// unsynchronised access; in any build it checks that the engine stays sound.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "dsp/resonator_bank.h"

namespace {

TEST(ThreadSafety, SettersRaceWithProcessing) {
    auto bank = std::make_unique<dsp::ResonatorBank>();
    bank->setOutput(0.5f);
    bank->setMix(0.5f);
    bank->setDecay(0.5f);
    bank->setDamp(0.5f);
    bank->reset();

    std::atomic<bool> stop{false};
    std::atomic<int64_t> blocks{0};
    std::atomic<bool> allFinite{true};
    std::thread audio([&] {
        std::vector<float> inL(256), inR(256), outL(256), outR(256);
        uint32_t seed = 1;
        while (!stop.load()) {
            for (size_t n = 0; n < inL.size(); ++n) {
                seed = seed * 1664525u + 1013904223u;
                inL[n] = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
                inR[n] = inL[n] * 0.25f;
            }
            const int32_t frames = 1 + static_cast<int32_t>(seed % 256);
            bank->process(inL.data(), inR.data(), outL.data(), outR.data(), frames, 44100.0f);
            for (int32_t n = 0; n < frames; ++n) {
                if (!std::isfinite(outL[static_cast<size_t>(n)]) || !std::isfinite(outR[static_cast<size_t>(n)])) {
                    allFinite.store(false);
                }
            }
            blocks.fetch_add(1);
        }
    });

    // Every setter with changing values in 0..1 (where every string decays), and the views.
    uint32_t seed = 99;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;
    };
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    float sink = 0.0f;
    while (std::chrono::steady_clock::now() < until) {
        bank->setOutput(next());
        bank->setMix(next());
        bank->setDecay(next());
        bank->setDamp(next());
        bank->setTranspose(next());
        bank->setTune(next());
        bank->setDetune(next());
        bank->setBypass(next());
        sink += bank->mix() + static_cast<float>(bank->bypass()) + bank->feedback() + bank->outputGain() +
                bank->dampCoef() + bank->transposeTarget() + bank->transposeRatio() + bank->tuneTarget() +
                bank->tuneRatio() + bank->detuneTarget() + bank->detuneAmount();
        std::this_thread::yield();
    }
    stop.store(true);
    audio.join();

    EXPECT_GT(blocks.load(), 10);
    EXPECT_TRUE(allFinite.load());
    EXPECT_TRUE(std::isfinite(sink));
    for (int32_t k = 0; k < dsp::kNumStrings; ++k) {
        EXPECT_GE(bank->readPos(k), 0);
        EXPECT_LE(bank->readPos(k), dsp::kLineMask);
    }
}

}  // namespace
