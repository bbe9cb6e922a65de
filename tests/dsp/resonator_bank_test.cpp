// The resonator bank's behaviour at its edges: loop lengths, the
// impulse response, silence and pass-through, bypass, the Tune glide, transposition changes,
// reset, empty blocks and extreme settings. (In-place processing is part of the bit-exact
// scenarios.)

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "dsp/resonator_bank.h"

namespace {

using dsp::kLineLength;
using dsp::kLineMask;
using dsp::kNumStrings;
using dsp::ResonatorBank;

struct Block {
    std::vector<float> inL, inR, outL, outR;
    explicit Block(int32_t frames, float value = 0.0f)
        : inL(static_cast<size_t>(frames), value),
          inR(static_cast<size_t>(frames), value),
          outL(static_cast<size_t>(frames)),
          outR(static_cast<size_t>(frames)) {}
    int32_t frames() const { return static_cast<int32_t>(inL.size()); }
    void run(ResonatorBank& bank, float fs) {
        bank.process(inL.data(), inR.data(), outL.data(), outR.data(), frames(), fs);
    }
};

// The factory default settings: Output 0.5, Mix, Decay and Damp 0.25, Transpose and
// Tune 0.5, Detune and Bypass 0, then resumed.
std::unique_ptr<ResonatorBank> makeDefault() {
    auto bank = std::make_unique<ResonatorBank>();
    bank->setOutput(0.5f);
    bank->setMix(0.25f);
    bank->setDecay(0.25f);
    bank->setDamp(0.25f);
    bank->setTranspose(0.5f);
    bank->setTune(0.5f);
    bank->setDetune(0.0f);
    bank->setBypass(0.0f);
    bank->reset();
    return bank;
}

void excite(ResonatorBank& bank, float fs, int32_t frames = 3000) {
    Block noise(frames);
    uint32_t seed = 12345;
    for (int32_t n = 0; n < frames; ++n) {
        seed = seed * 1664525u + 1013904223u;
        noise.inL[static_cast<size_t>(n)] = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        noise.inR[static_cast<size_t>(n)] = -noise.inL[static_cast<size_t>(n)] * 0.5f;
    }
    noise.run(bank, fs);
}

int32_t loopLength(const ResonatorBank& bank, int32_t k) { return (bank.writePos() - bank.readPos(k)) & kLineMask; }

int32_t nonZeroSamples(const ResonatorBank& bank, int32_t k) {
    const float* line = bank.line(k);
    int32_t count = 0;
    for (int32_t p = 0; p < kLineLength; ++p) count += line[p] != 0.0f ? 1 : 0;
    return count;
}


TEST(ResonatorBank, LoopLengthOfString0FollowsTheSampleRateAndNotTheLoopGain) {
    const struct {
        float fs;
        int32_t length;
    } cases[] = {{44100.0f, 401}, {48000.0f, 437}, {96000.0f, 873}};
    for (const auto& c : cases) {
        auto bank = makeDefault();
        const float feedback = bank->feedback();
        Block one(1);
        one.run(*bank, c.fs);
        EXPECT_EQ(loopLength(*bank, 0), c.length) << c.fs;
        excite(*bank, c.fs, 777);  // steady processing keeps the distance
        EXPECT_EQ(loopLength(*bank, 0), c.length) << c.fs;
        EXPECT_EQ(bank->feedback(), feedback);
    }
}

TEST(ResonatorBank, ImpulseReachesTheRightOutputAfter213SamplesAndTheLeftAfter226) {
    auto bank = makeDefault();
    bank->setMix(1.0f);
    Block block(300);
    block.inL[0] = block.inR[0] = 1.0f;
    block.run(*bank, 44100.0f);
    const double expected = 0.075 * (static_cast<double>(bank->dampCoef()) + 1.0);
    constexpr double kOffsetLevel = 1e-6;  // what the ±1e-9 offsets can amount to
    for (int32_t n = 0; n < 300; ++n) {
        const size_t i = static_cast<size_t>(n);
        if (n < 213) {
            EXPECT_LT(std::fabs(block.outR[i]), kOffsetLevel) << n;
        }
        if (n < 226) {
            EXPECT_LT(std::fabs(block.outL[i]), kOffsetLevel) << n;
        }
    }
    EXPECT_NEAR(block.outR[213], expected, kOffsetLevel);
    EXPECT_NEAR(block.outL[226], expected, kOffsetLevel);
}

TEST(ResonatorBank, OutputZeroIsSilentForAnyFiniteInput) {
    auto bank = makeDefault();
    excite(*bank, 44100.0f);
    bank->setOutput(0.0f);
    Block loud(512, 1e30f);
    loud.inR.assign(512, -3e38f);
    loud.run(*bank, 44100.0f);
    for (int32_t n = 0; n < 512; ++n) {
        EXPECT_EQ(loud.outL[static_cast<size_t>(n)], 0.0f);
        EXPECT_EQ(loud.outR[static_cast<size_t>(n)], 0.0f);
    }
}

TEST(ResonatorBank, MixZeroPassesTheInputWithTheOffsetOrWithoutItWhenBypassed) {
    auto bank = makeDefault();
    bank->setMix(0.0f);
    bank->setOutput(0.6f);  // gain 1.44
    excite(*bank, 44100.0f);
    const double gain = bank->outputGain();
    constexpr double kOffset = 1e-9f;
    for (const float bypass : {0.0f, 1.0f}) {
        bank->setBypass(bypass);
        for (int call = 0; call < 2; ++call) {  // the offset restarts at + with every call
            Block block(5);
            const float in[5] = {0.25f, -0.5f, 0.0f, 1e-9f, 3.0f};
            for (int32_t n = 0; n < 5; ++n) {
                block.inL[static_cast<size_t>(n)] = in[n];
                block.inR[static_cast<size_t>(n)] = -in[n];
            }
            block.run(*bank, 44100.0f);
            for (int32_t n = 0; n < 5; ++n) {
                const double o = (n % 2) == 0 ? kOffset : -kOffset;
                const float dl = bypass != 0.0f ? in[n] : static_cast<float>(static_cast<double>(in[n]) + o);
                const float dr = bypass != 0.0f ? -in[n] : static_cast<float>(static_cast<double>(-in[n]) + o);
                // Compared as numbers: Mix 0 may turn a −0 input into +0.
                EXPECT_EQ(block.outL[static_cast<size_t>(n)], static_cast<float>(gain * dl)) << n;
                EXPECT_EQ(block.outR[static_cast<size_t>(n)], static_cast<float>(gain * dr)) << n;
            }
        }
    }
}

TEST(ResonatorBank, BypassedStringsIgnoreTheInputAndRingOut) {
    auto a = makeDefault();
    auto b = makeDefault();
    for (auto* bank : {a.get(), b.get()}) {
        bank->setMix(1.0f);
        bank->setDecay(0.5f);
        excite(*bank, 44100.0f);
        bank->setBypass(1.0f);
    }
    double previous = std::numeric_limits<double>::infinity();
    for (int window = 0; window < 8; ++window) {
        Block loud(4410, 0.7f);
        Block quiet(4410);
        loud.run(*a, 44100.0f);
        quiet.run(*b, 44100.0f);
        // With Mix 1 only the strings are heard, and the input does not reach them.
        ASSERT_EQ(std::memcmp(loud.outL.data(), quiet.outL.data(), sizeof(float) * 4410), 0) << window;
        ASSERT_EQ(std::memcmp(loud.outR.data(), quiet.outR.data(), sizeof(float) * 4410), 0) << window;
        double energy = 0.0;
        for (const float x : quiet.outL) energy += static_cast<double>(x) * x;
        EXPECT_GT(energy, 0.0) << window;  // still ringing
        EXPECT_LT(energy, previous) << window;  // and dying away
        previous = energy;
    }
    // Switched on again, the input excites them from the next sample.
    a->setBypass(0.0f);
    b->setBypass(0.0f);
    Block loud(1, 0.7f);
    Block quiet(1);
    loud.run(*a, 44100.0f);
    quiet.run(*b, 44100.0f);
    EXPECT_NE(a->line(0)[(a->writePos() - 1) & kLineMask], b->line(0)[(b->writePos() - 1) & kLineMask]);
}

TEST(ResonatorBank, TuneGlidesAtTheSlewLimitThenLandsOnTheTarget) {
    auto bank = makeDefault();
    bank->setTune(0.0f);
    bank->reset();
    bank->setTune(1.0f);
    const float target = bank->tuneTarget();
    float previous = bank->tuneRatio();
    Block one(1);
    int32_t samples = 0;
    int32_t slewSteps = 0;  // steps of 0.00002 from the start
    while (bank->tuneRatio() != target && samples < 100000) {
        one.run(*bank, 44100.0f);
        const float step = bank->tuneRatio() - previous;
        EXPECT_GT(step, 0.0f);
        if (slewSteps == samples && std::fabs(step - 0.00002f) < 1e-7f) ++slewSteps;
        previous = bank->tuneRatio();
        ++samples;
    }
    EXPECT_EQ(bank->tuneRatio(), target);
    // The slew limit holds until the exponential step (0.00025 of the distance) falls below
    // it, at a distance of 0.08: about (0.1156 − 0.08) / 0.00002 = 1780 samples. The
    // exponential approach from 0.08 to the snap distance 0.0015 takes about
    // 4000·ln(0.08 / 0.0015) ≈ 16000 more.
    EXPECT_GT(slewSteps, 1700);
    EXPECT_LT(slewSteps, 1850);
    EXPECT_GT(samples, 15000);
    EXPECT_LT(samples, 20000);
}

TEST(ResonatorBank, SameSemitoneChangesNothingAnotherClearsEveryLine) {
    auto a = makeDefault();
    auto b = makeDefault();
    excite(*a, 44100.0f);
    excite(*b, 44100.0f);
    a->setTranspose(0.505f);  // n = 24 as for 0.5
    Block x(300);
    Block y(300);
    x.run(*a, 44100.0f);
    y.run(*b, 44100.0f);
    EXPECT_EQ(std::memcmp(x.outL.data(), y.outL.data(), sizeof(float) * 300), 0);
    EXPECT_EQ(std::memcmp(x.outR.data(), y.outR.data(), sizeof(float) * 300), 0);

    a->setTranspose(0.55f);  // n = 26
    EXPECT_NEAR(a->transposeTarget(), std::pow(2.0, 2.0 / 12.0), 1e-6);
    Block one(1);
    one.run(*a, 44100.0f);
    EXPECT_EQ(a->transposeRatio(), a->transposeTarget());
    for (int32_t k = 0; k < kNumStrings; ++k) EXPECT_EQ(nonZeroSamples(*a, k), 1) << k;  // only the sample just written
}

TEST(ResonatorBank, TuneAndDetuneChangesNeverClear) {
    auto a = makeDefault();
    auto b = makeDefault();
    excite(*a, 44100.0f);
    excite(*b, 44100.0f);
    a->setTune(0.9f);
    a->setDetune(1.0f);
    Block one(1);
    one.run(*a, 44100.0f);
    one.run(*b, 44100.0f);
    for (int32_t k = 0; k < kNumStrings; ++k) {
        const std::vector<float> lineA(a->line(k), a->line(k) + kLineLength);
        EXPECT_EQ(std::memcmp(lineA.data(), b->line(k), sizeof(float) * kLineLength), 0) << k;
    }
}

TEST(ResonatorBank, ResetSilencesAndEndsGlidesButKeepsTheLaws) {
    auto bank = makeDefault();
    excite(*bank, 44100.0f);
    bank->setTune(0.9f);
    bank->setDetune(0.8f);
    bank->setTranspose(0.75f);  // not yet applied: no block since
    Block block(10);
    block.run(*bank, 44100.0f);  // glides under way
    bank->setTranspose(0.26f);
    const float gain = bank->outputGain();
    const float feedback = bank->feedback();
    const float damp = bank->dampCoef();
    const float mix = bank->mix();
    bank->reset();
    EXPECT_EQ(bank->tuneRatio(), bank->tuneTarget());
    EXPECT_EQ(bank->detuneAmount(), bank->detuneTarget());
    EXPECT_EQ(bank->transposeRatio(), 0.5f);
    EXPECT_EQ(bank->writePos(), kLineMask);
    for (int32_t k = 0; k < kNumStrings; ++k) {
        EXPECT_EQ(bank->lowpass(k), 0.0f);
        EXPECT_EQ(nonZeroSamples(*bank, k), 0);
        EXPECT_EQ(bank->readPos(k), static_cast<int32_t>(16383 - 44100 / (dsp::kStringFreq[k] / 2)));
    }
    EXPECT_EQ(bank->outputGain(), gain);
    EXPECT_EQ(bank->feedback(), feedback);
    EXPECT_EQ(bank->dampCoef(), damp);
    EXPECT_EQ(bank->mix(), mix);
}

TEST(ResonatorBank, TranspositionReachesTheStringsWithTheNextBlock) {
    auto bank = makeDefault();
    bank->setDecay(1.0f);
    bank->setTranspose(0.75f);
    EXPECT_EQ(bank->transposeTarget(), 2.0f);
    EXPECT_NEAR(bank->feedback(), std::pow(1.02 / 1.0205, 2.0), 1e-6);  // recomputed at once
    EXPECT_EQ(bank->transposeRatio(), 1.0f);
    Block block(1);
    block.run(*bank, 44100.0f);
    EXPECT_EQ(bank->transposeRatio(), 2.0f);
    EXPECT_EQ(loopLength(*bank, 0), 201);  // 400.9 / 2 raised
}

TEST(ResonatorBank, EmptyBlocksChangeNothing) {
    auto bank = makeDefault();
    excite(*bank, 44100.0f);
    bank->setTune(0.8f);
    bank->setTranspose(0.6f);
    const int32_t w = bank->writePos();
    const float tune = bank->tuneRatio();
    std::vector<float> before(bank->line(3), bank->line(3) + kLineLength);
    float out[2] = {7.0f, 7.0f};
    const float in[2] = {1.0f, 1.0f};
    for (const int32_t frames : {0, -1, std::numeric_limits<int32_t>::min()}) {
        bank->process(in, in, out, out + 1, frames, 44100.0f);
    }
    EXPECT_EQ(out[0], 7.0f);
    EXPECT_EQ(out[1], 7.0f);
    EXPECT_EQ(bank->writePos(), w);
    EXPECT_EQ(bank->tuneRatio(), tune);
    EXPECT_EQ(bank->transposeRatio(), 1.0f);
    EXPECT_EQ(std::memcmp(before.data(), bank->line(3), sizeof(float) * kLineLength), 0);
}

TEST(ResonatorBank, ExtremeSettingsKeepEveryPositionInsideTheLines) {
    // Ratios of 0 and infinity, huge detune, Tune gliding toward 0, sample rates far beyond
    // 418 kHz: the read positions must stay in 0..16383 and, with the loop gain at most 1,
    // the output finite.
    const float transposes[] = {-1e30f, 1e30f, 0.5f};
    const float detunes[] = {-1e30f, 1e30f, 70.0f, 0.0f};
    const float rates[] = {3e38f, 1e9f, 500000.0f, 1e-3f};
    for (const float transpose : transposes) {
        for (const float detune : detunes) {
            for (const float fs : rates) {
                auto bank = makeDefault();
                bank->setDecay(0.5f);
                bank->setTranspose(transpose);
                bank->setDetune(detune);
                bank->setTune(-1e4f);  // target 0
                excite(*bank, fs, 700);
                for (int32_t k = 0; k < kNumStrings; ++k) {
                    EXPECT_GE(bank->readPos(k), 0);
                    EXPECT_LE(bank->readPos(k), kLineMask);
                }
                Block block(64, 0.5f);
                block.run(*bank, fs);
                for (const float x : block.outL) EXPECT_TRUE(std::isfinite(x)) << transpose << " " << detune << " " << fs;
            }
        }
    }
}

TEST(ResonatorBank, TuneGlidingToZeroLandsOnZero) {
    auto bank = makeDefault();
    bank->setTune(-1e4f);  // target 0: the loop delay becomes infinite
    EXPECT_EQ(bank->tuneTarget(), 0.0f);
    Block block(4096, 0.1f);
    for (int i = 0; i < 20 && bank->tuneRatio() != 0.0f; ++i) block.run(*bank, 44100.0f);
    EXPECT_EQ(bank->tuneRatio(), 0.0f);
    block.run(*bank, 44100.0f);
    for (int32_t k = 0; k < kNumStrings; ++k) EXPECT_EQ(bank->readPos(k), bank->writePos());
}

}  // namespace
