// The audio thread processes while another thread moves every parameter, as hosts do with
// automation and the editor. Run under ThreadSanitizer, any unsynchronised access is a report.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "dsp/parameter_laws.h"
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

// Two threads set parameters over and over, round after round: in odd rounds one sets Decay,
// the other Transpose (the loop gain's two inputs), in even rounds both set Mix, each with
// values of its own. The second thread is already setting when the first starts, and keeps
// setting until the first has finished its calls, so that their last calls overlap. After
// each round and one block, the engine must agree with what the parameters hold.
TEST(Threads, RacingSettersLeaveTheEngineAgreeingWithTheParameters) {
    EffectInstance fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    fx.dispatch(effMainsChanged, 0, 1);
    constexpr int kRounds = 2000;
    constexpr int kCalls = 100;  // by the test's own thread per round
    const float decays[2] = {0.2f, 0.9f};
    const float transposes[2] = {0.25f, 0.75f};
    const float mixes[2][2] = {{0.1f, 0.3f}, {0.7f, 0.9f}};
    std::atomic<int> round{0};
    std::atomic<int> running{0};
    std::atomic<bool> stop{false};
    std::atomic<int> stopped{0};
    auto set = [&fx, &mixes](int r, int thread, int call, const float (&values)[2]) {
        if (r % 2 == 1) {
            fx.set(thread == 0 ? kDecay : kTranspose, values[call % 2]);
        } else {
            fx.set(kMix, mixes[thread][call % 2]);
        }
    };
    std::thread other([&] {
        for (int r = 1; r <= kRounds; ++r) {
            while (round.load() < r) std::this_thread::yield();
            running.store(r);
            for (int call = 0; !stop.load(); ++call) set(r, 1, call, transposes);
            stopped.store(r);
        }
    });
    std::vector<float> left(64, 0.0f), right(64, 0.0f);
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {left.data(), right.data()};
    const dsp::ResonatorBank& engine = fx.effect().getEngine();
    int disagreements = 0;
    for (int r = 1; r <= kRounds; ++r) {
        stop.store(false);
        round.store(r);
        while (running.load() < r) std::this_thread::yield();
        for (int call = 0; call < kCalls; ++call) set(r, 0, call, decays);
        stop.store(true);
        while (stopped.load() < r) std::this_thread::yield();
        fx.record->processReplacing(fx.record, ins, outs, 64);
        const float transpose = dsp::transposeRatioLaw(fx.get(kTranspose));
        disagreements += engine.mix() != fx.get(kMix) || engine.transposeTarget() != transpose ||
                         engine.feedback() != dsp::decayFeedbackLaw(fx.get(kDecay), transpose);
    }
    other.join();
    EXPECT_EQ(disagreements, 0);
}

}  // namespace
