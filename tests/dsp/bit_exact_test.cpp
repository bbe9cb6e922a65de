// The engine against the reference engine, bit for bit, through long seeded scenarios: every
// parameter moving (also a little outside 0..1), glides, transpositions, bypass, resets, blocks
// of 0 to 700 frames, in place and not, at several sample rates. Each scenario runs with the
// string arithmetic two doubles wide and, where the build has it (CHORDWELL_DSP_AVX2), four wide,
// pipelined and one sample after the other. A build without the four-wide arithmetic (the
// portable one) lists no four-wide cases at all; a processor without AVX2 and FMA skips them.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "dsp/engine_pair.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace dsp {
// Names the widths in test output.
void PrintTo(ResonatorBank::Width width, std::ostream* os) {
    *os << (width == ResonatorBank::Width::two              ? "two"
            : width == ResonatorBank::Width::four           ? "four"
            : width == ResonatorBank::Width::fourSequential ? "fourSequential"
                                                            : "fastest");
}
}  // namespace dsp

namespace {

using dsp::ResonatorBank;
using dsptest::EnginePair;
using dsptest::Rng;

class BitExact : public ::testing::TestWithParam<ResonatorBank::Width> {
protected:
    void SetUp() override {
        if (GetParam() != ResonatorBank::Width::two && !ResonatorBank::fourAvailable()) {
            GTEST_SKIP() << "this processor has no AVX2 and FMA for the four-wide arithmetic";
        }
    }
};

enum { kOutput, kMix, kDecay, kDamp, kTranspose, kTune, kDetune, kBypass };

// One block's input: silence, noise bursts, an impulse, a sine, a constant, tiny or loud values
// (up to levels where the lines leave the range of the quick rounding, 2^55).
void fillInput(Rng& rng, std::vector<float>& l, std::vector<float>& r, int32_t frames) {
    l.assign(static_cast<size_t>(frames > 0 ? frames : 0) + 1, 0.0f);
    r.assign(l.size(), 0.0f);
    const int32_t kind = rng.below(8);
    const double amp = rng.pick<double>({0.01, 0.3, 1.0, 1.0, 4.0, 1e-30, 1e17});
    const double freq = rng.uniform(0.001, 0.2);
    for (int32_t n = 0; n < frames; ++n) {
        float a = 0.0f;
        float b = 0.0f;
        switch (kind) {
            case 0: break;  // silence
            case 1:
            case 2:
                a = static_cast<float>(rng.uniform(-amp, amp));
                b = static_cast<float>(rng.uniform(-amp, amp));
                break;
            case 3:
                a = static_cast<float>(amp * std::sin(freq * n));
                b = static_cast<float>(amp * std::sin(freq * n + 1.0));
                break;
            case 4:
                a = static_cast<float>(amp);
                b = static_cast<float>(-amp / 2);
                break;
            default:
                if (rng.chance(0.01)) a = b = static_cast<float>(amp);
                break;
        }
        l[static_cast<size_t>(n)] = a;
        r[static_cast<size_t>(n)] = b;
    }
}

// A new value for one parameter, mostly in 0..1, sometimes a little outside.
float randomValue(Rng& rng, int32_t index) {
    switch (index) {
        case kDecay: return static_cast<float>(rng.uniform(-0.05, 1.02));
        case kTranspose:
            // Sometimes a nudge that stays on the same semitone.
            return static_cast<float>(rng.chance(0.3) ? rng.pick<double>({0.5, 0.505, 0.49, 0.51})
                                                      : rng.uniform(-0.03, 1.03));
        case kBypass: return rng.pick<float>({0.0f, 1.0f, 0.0f, 1.0f, 0.49f, 0.5f, 1.7f, -0.3f, -0.6f});
        default: return static_cast<float>(rng.uniform(-0.05, 1.05));
    }
}

int32_t randomFrames(Rng& rng) {
    if (rng.chance(0.1)) return rng.below(3);  // 0, 1 or 2
    if (rng.chance(0.2)) return 1 + rng.below(16);
    return rng.below(701);
}

// One more sample, so that a transposition set after the last block with frames has reached
// the strings before the whole state is compared.
void finish(EnginePair& pair, float fs) {
    const std::vector<float> one(2, 0.25f);
    ASSERT_EQ(pair.processBoth(one, one, 1, fs, false), "");
}

// Runs `blocks` blocks at rate fs from a reset, with random changes between blocks.
void runSegment(EnginePair& pair, Rng& rng, float fs, int32_t blocks, const char* name) {
    pair.resetAt(fs);
    std::vector<float> l, r;
    for (int32_t block = 0; block < blocks; ++block) {
        const int32_t changes = rng.chance(0.5) ? rng.below(4) : 0;
        for (int32_t c = 0; c < changes; ++c) {
            const int32_t index = rng.below(8);
            pair.set(index, randomValue(rng, index));
        }
        if (rng.chance(0.01)) pair.resetAt(fs);
        const int32_t frames = randomFrames(rng);
        fillInput(rng, l, r, frames);
        const std::string diff = pair.processBoth(l, r, frames, fs, rng.chance(0.5));
        ASSERT_EQ(diff, "") << name << " at " << fs << " Hz, block " << block;
        // A transposition waits for a block with frames to reach the strings.
        if (frames > 0) {
            ASSERT_EQ(pair.compareState(false), "") << name << " at " << fs << " Hz, block " << block;
        }
    }
    finish(pair, fs);
    ASSERT_EQ(pair.compareState(true), "") << name << " at " << fs << " Hz, end";
}

void setAll(EnginePair& pair, const float (&values)[8]) {
    for (int32_t i = 0; i < 8; ++i) pair.set(i, values[i]);
}

TEST_P(BitExact, VariedScenarioAtEveryRate) {
    EnginePair pair(GetParam());
    ASSERT_EQ(pair.engine->width(), GetParam());
    Rng rng(20240611);
    setAll(pair, {0.5f, 0.25f, 0.25f, 0.25f, 0.5f, 0.5f, 0.0f, 0.0f});
    for (const float fs : {44100.0f, 22050.0f, 48000.0f, 96000.0f, 192000.0f, 37831.7f}) {
        runSegment(pair, rng, fs, 2000, "varied");
        if (HasFatalFailure()) return;
    }
}

TEST_P(BitExact, GlidesWithoutOtherChanges) {
    // Long stretches where only Tune and Detune move, so that glides run to their end and the
    // steady loop takes over in the middle of blocks.
    EnginePair pair(GetParam());
    Rng rng(77);
    setAll(pair, {0.5f, 0.6f, 0.7f, 0.3f, 0.5f, 0.5f, 0.0f, 0.0f});
    for (const float fs : {44100.0f, 96000.0f}) {
        pair.resetAt(fs);
        std::vector<float> l, r;
        for (int32_t block = 0; block < 1000; ++block) {
            if (block % 40 == 0) pair.set(kTune, static_cast<float>(rng.uniform(0.0, 1.0)));
            if (block % 55 == 0) pair.set(kDetune, static_cast<float>(rng.uniform(0.0, 1.0)));
            const int32_t frames = 64 + rng.below(512);
            fillInput(rng, l, r, frames);
            ASSERT_EQ(pair.processBoth(l, r, frames, fs, false), "") << "block " << block;
            ASSERT_EQ(pair.compareState(false), "") << "block " << block;
        }
    }
}

// Transpositions followed by what lengthens the loops before the lines have been written all the
// way round: Tune gliding down, Detune gliding out, a lower transposition, a higher sample rate
// (a host that changes it without suspending). A change lands between blocks or between two
// calls that split a block, sometimes several in a row; every block is short, so the strings
// read far back into the lines soon after each change.
TEST_P(BitExact, TranspositionsThenLongerLoops) {
    EnginePair pair(GetParam());
    Rng rng(915);
    setAll(pair, {0.5f, 0.5f, 0.6f, 0.2f, 0.5f, 0.5f, 0.3f, 0.0f});
    float fs = 44100.0f;
    pair.resetAt(fs);
    std::vector<float> l, r;
    for (int32_t round = 0; round < 60; ++round) {
        const int32_t changes = 1 + (rng.chance(0.3) ? rng.below(3) : 0);
        for (int32_t c = 0; c < changes; ++c) {
            pair.set(kTranspose, static_cast<float>(rng.uniform(0.0, 1.0)));
            const int32_t frames = rng.below(40);  // 0: two changes meet before any block
            fillInput(rng, l, r, frames);
            ASSERT_EQ(pair.processBoth(l, r, frames, fs, false), "") << "round " << round;
        }
        switch (rng.below(4)) {
            case 0: pair.set(kTune, static_cast<float>(rng.uniform(-0.05, 0.2))); break;
            case 1: pair.set(kDetune, rng.pick<float>({1.0f, -1.0f, 3.0f})); break;
            case 2: pair.set(kTranspose, static_cast<float>(rng.uniform(0.0, 0.3))); break;
            default: fs = rng.pick<float>({22050.0f, 44100.0f, 96000.0f, 192000.0f}); break;
        }
        const int32_t blocks = 1 + rng.below(40);
        for (int32_t block = 0; block < blocks; ++block) {
            const int32_t frames = 1 + rng.below(rng.chance(0.5) ? 64 : 700);
            fillInput(rng, l, r, frames);
            ASSERT_EQ(pair.processBoth(l, r, frames, fs, rng.chance(0.5)), "") << "round " << round << " block " << block;
            // The whole lines now and then, while most of them still wait to be written.
            ASSERT_EQ(pair.compareState(block == 0 && round % 8 == 7), "") << "round " << round << " block " << block;
        }
    }
    finish(pair, fs);
    ASSERT_EQ(pair.compareState(true), "") << "end";
}

// Values far outside 0..1 and extreme sample rates: read positions reduced modulo the line,
// ratios of 0 and infinity, D beyond the line and negative. Decay and Damp stay in 0..1 so that
// the signals stay finite.
float extremeValue(Rng& rng, int32_t index) {
    switch (index) {
        case kTranspose: return rng.pick<float>({-1e30f, 1e30f, -100.0f, 100.0f, 2.0f, -1.0f, 0.5f, 0.0f, 1.0f});
        case kTune: return rng.pick<float>({-1e4f, 1e4f, -60.0f, 60.0f, 900.0f, 0.5f, 0.0f, 1.0f});
        case kDetune: return rng.pick<float>({-1e30f, 1e30f, -1e6f, 1e6f, -70.0f, 70.0f, 0.0f, 1.0f, -60.6f});
        case kBypass: return rng.pick<float>({1e30f, -1e30f, 0.0f, 1.0f, 3e9f});
        case kDecay:
        case kDamp: return static_cast<float>(rng.uniform(0.0, 1.0));
        default: return static_cast<float>(rng.uniform(0.0, 1.0));
    }
}

TEST_P(BitExact, ExtremeValuesAndRates) {
    EnginePair pair(GetParam());
    Rng rng(4242);
    setAll(pair, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f});
    for (const float fs : {1e-3f, 419000.0f, 500000.0f, 1e7f, 3e9f, 3e38f, 44100.0f}) {
        pair.resetAt(fs);
        std::vector<float> l, r;
        for (int32_t block = 0; block < 400; ++block) {
            if (rng.chance(0.6)) {
                const int32_t index = rng.below(8);
                pair.set(index, extremeValue(rng, index));
            }
            if (rng.chance(0.02)) pair.resetAt(fs);
            const int32_t frames = randomFrames(rng);
            fillInput(rng, l, r, frames);
            ASSERT_EQ(pair.processBoth(l, r, frames, fs, rng.chance(0.5)), "") << fs << " Hz, block " << block;
            if (frames > 0) {
                ASSERT_EQ(pair.compareState(false), "") << fs << " Hz, block " << block;
            }
        }
        finish(pair, fs);
        ASSERT_EQ(pair.compareState(true), "") << fs << " Hz, end";
    }
}

#if defined(__SSE2__) || defined(_M_X64)
// A host that runs its audio thread with flush-to-zero, denormals-are-zero and rounding toward
// zero: the engine still gives the bits of the reference, which runs in the default mode, and
// leaves the host's settings as they were. Anti-phase inputs cancel in the excitation, so the
// strings sink toward and through the floats' subnormal range, where those settings would
// change the results, and tiny inputs are subnormal floats themselves.
TEST_P(BitExact, HostFloatSettingsDoNotReachTheEngine) {
    constexpr uint32_t kFlushToZero = 0x8000u;
    constexpr uint32_t kDenormalsAreZero = 0x0040u;
    constexpr uint32_t kRoundTowardZero = 0x6000u;
    constexpr uint32_t kHost = 0x1F80u | kFlushToZero | kDenormalsAreZero | kRoundTowardZero;
    EnginePair pair(GetParam());
    Rng rng(1234);
    setAll(pair, {0.5f, 0.7f, 0.2f, 0.1f, 0.5f, 0.5f, 0.0f, 0.0f});
    pair.resetAt(44100.0f);
    std::vector<float> l, r;
    for (int32_t block = 0; block < 300; ++block) {
        if (rng.chance(0.1)) {
            const int32_t index = rng.below(8);
            pair.set(index, randomValue(rng, index));
        }
        const int32_t frames = randomFrames(rng);
        fillInput(rng, l, r, frames);
        const int32_t kind = rng.below(3);
        for (size_t n = 0; n < l.size(); ++n) {
            if (kind == 0) r[n] = -l[n];                                              // cancelling
            if (kind == 1) l[n] = r[n] = static_cast<float>(rng.uniform(-1e-38, 1e-38));  // subnormal
        }
        const size_t count = static_cast<size_t>(frames > 0 ? frames : 0);
        std::vector<float> refL(count + 1), refR(count + 1), engL(count + 1), engR(count + 1);
        pair.ref->process(l.data(), r.data(), refL.data(), refR.data(), frames, 44100.0f);
        const uint32_t saved = _mm_getcsr();
        _mm_setcsr(kHost);
        pair.engine->process(l.data(), r.data(), engL.data(), engR.data(), frames, 44100.0f);
        const uint32_t after = _mm_getcsr();
        _mm_setcsr(saved);
        ASSERT_EQ(after, kHost) << "block " << block;
        for (size_t n = 0; n < count; ++n) {
            ASSERT_EQ(std::bit_cast<uint32_t>(engL[n]), std::bit_cast<uint32_t>(refL[n]))
                << "block " << block << " sample " << n;
            ASSERT_EQ(std::bit_cast<uint32_t>(engR[n]), std::bit_cast<uint32_t>(refR[n]))
                << "block " << block << " sample " << n;
        }
        if (frames > 0) {
            ASSERT_EQ(pair.compareState(false), "") << "block " << block;
        }
    }
}
#endif

// The widths this build has: the four-wide ones only where it has the four-wide arithmetic.
#if CHORDWELL_DSP_AVX2
#define CHORDWELL_TEST_WIDTHS \
    ResonatorBank::Width::two, ResonatorBank::Width::four, ResonatorBank::Width::fourSequential
#else
#define CHORDWELL_TEST_WIDTHS ResonatorBank::Width::two
#endif

INSTANTIATE_TEST_SUITE_P(Widths, BitExact, ::testing::Values(CHORDWELL_TEST_WIDTHS),
                         [](const ::testing::TestParamInfo<ResonatorBank::Width>& info) {
                             return info.param == ResonatorBank::Width::two    ? std::string("TwoWide")
                                    : info.param == ResonatorBank::Width::four ? std::string("FourWide")
                                                                               : std::string("FourWideSequential");
                         });

// The default takes the width measured fastest, never a four-wide one where four is not
// available.
TEST(Width, ChosenAtConstruction) {
    using Width = ResonatorBank::Width;
    const bool four = ResonatorBank::fourAvailable();
    EXPECT_EQ(ResonatorBank().width(), ResonatorBank::fastestWidth());
    EXPECT_NE(ResonatorBank::fastestWidth(), Width::fastest);
    if (!four) {
        EXPECT_EQ(ResonatorBank::fastestWidth(), Width::two);
    }
    EXPECT_EQ(ResonatorBank(Width::four).width(), four ? Width::four : Width::two);
    EXPECT_EQ(ResonatorBank(Width::fourSequential).width(), four ? Width::fourSequential : Width::two);
    EXPECT_EQ(ResonatorBank(Width::two).width(), Width::two);
}

}  // namespace
