// The twelve delay lines, stored two to a block: block i holds strings 2i and 2i + 1
// interleaved, so that the processing loop writes both with one store and reads any position of
// either with one load. A line holds 32-bit float samples by definition; they are kept widened
// to double, which holds every float exactly, so that reading them back needs no conversion.
#pragma once

#include <cstdint>
#include <memory>

#include "dsp/constants.h"

namespace dsp {

class PairedLines {
public:
    static constexpr int32_t kBlocks = kNumStrings / 2;
    // Doubles from one block to the next. The padding keeps the blocks' entries for the same
    // position out of the same cache set.
    static constexpr int32_t kBlockStride = 2 * kLineLength + 16;

    // Allocates all blocks at full size, silent (may throw std::bad_alloc).
    PairedLines();

    void clear();

    // Block i: position p of string 2i at [2p], of string 2i + 1 at [2p + 1].
    double* block(int32_t i) { return data_.get() + static_cast<size_t>(i) * kBlockStride; }
    const double* block(int32_t i) const { return data_.get() + static_cast<size_t>(i) * kBlockStride; }
    double* data() { return data_.get(); }

    // Sample p of string k.
    float sample(int32_t k, int32_t p) const { return static_cast<float>(block(k / 2)[2 * p + (k & 1)]); }

    // All kLineLength samples of string k, in position order.
    void copyLine(int32_t k, float* out) const;

private:
    std::unique_ptr<double[]> data_;
};

}  // namespace dsp
