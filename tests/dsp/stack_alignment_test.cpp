// The engine called on stacks of every alignment. The four-wide arithmetic works on 32-byte
// vectors, and where the system aligns the stack to 16 bytes only (Windows x64) a vector kept
// there with an aligned move faults whenever the stack sits 16 bytes off. The output must not
// depend on where the caller's stack happens to be.

#include <gtest/gtest.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dsp/resonator_bank.h"

namespace {

using dsp::ResonatorBank;

constexpr int32_t kFrames = 1500;
constexpr float kRate = 44100.0f;

struct Render {
    std::vector<float> left = std::vector<float>(kFrames);
    std::vector<float> right = std::vector<float>(kFrames);
    bool operator==(const Render& other) const {
        for (std::size_t i = 0; i < left.size(); ++i) {
            if (std::bit_cast<uint32_t>(left[i]) != std::bit_cast<uint32_t>(other.left[i]) ||
                std::bit_cast<uint32_t>(right[i]) != std::bit_cast<uint32_t>(other.right[i])) {
                return false;
            }
        }
        return true;
    }
};

// A fresh engine with every parameter and a glide in play, run over a noise burst.
Render renderFromHere(ResonatorBank::Width width) {
    ResonatorBank bank(width);
    bank.setOutput(0.5f);
    bank.setMix(0.6f);
    bank.setDecay(0.8f);
    bank.setDamp(0.3f);
    bank.setTranspose(0.55f);
    bank.setTune(0.7f);
    bank.setDetune(0.4f);
    bank.setBypass(0.0f);
    bank.reset();
    std::vector<float> inL(kFrames), inR(kFrames);
    uint32_t seed = 99;
    for (int32_t n = 0; n < kFrames; ++n) {
        seed = seed * 1664525u + 1013904223u;
        inL[static_cast<std::size_t>(n)] = n < 300 ? static_cast<float>(seed >> 8) / 16777216.0f - 0.5f : 0.0f;
        inR[static_cast<std::size_t>(n)] = -0.5f * inL[static_cast<std::size_t>(n)];
    }
    Render out;
    for (int32_t start = 0; start < kFrames; start += 500) {
        const auto at = static_cast<std::size_t>(start);
        bank.process(inL.data() + at, inR.data() + at, out.left.data() + at, out.right.data() + at, 500, kRate);
    }
    return out;
}

// Moves the stack down by `shift` bytes (rounded up to the system's stack alignment) before
// rendering.
__attribute__((noinline)) Render renderWithStackShift(std::size_t shift, ResonatorBank::Width width) {
    void* gap = __builtin_alloca(shift + 1);
    asm volatile("" : : "r"(gap) : "memory");
    return renderFromHere(width);
}

TEST(StackAlignment, EveryOffsetGivesTheSameBits) {
    const Render two = renderWithStackShift(0, ResonatorBank::Width::two);
    // Without four-wide arithmetic the engine falls back to two wide, which still runs shifted.
    for (const ResonatorBank::Width width : {ResonatorBank::Width::four, ResonatorBank::Width::fourSequential}) {
        for (std::size_t shift = 0; shift < 64; shift += 4) {
            EXPECT_TRUE(renderWithStackShift(shift, width) == two) << "stack shifted by " << shift;
        }
    }
}

}  // namespace
