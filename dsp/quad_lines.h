// The twelve delay lines, stored four to a block: block q holds strings 4q .. 4q + 3
// interleaved, position p of string 4q + j at entry 4p + j. The four-wide processing loop
// writes the four strings of a block with one store; the two-wide loop writes a pair (2i, 2i + 1)
// with one store at offset 2·(i AND 1) of the same entries. Any position of any string is read
// with one load and a blend. A line holds 32-bit float samples by definition; they are kept
// widened to double, which holds every float exactly, so that reading them back needs no
// conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "dsp/constants.h"

namespace dsp {

class QuadLines {
public:
    static constexpr int32_t kStringsPerBlock = 4;
    static constexpr int32_t kBlocks = kNumStrings / kStringsPerBlock;
    // Doubles from one block to the next. The padding keeps the blocks' entries for the same
    // position out of the same cache set; it is a whole number of positions, so every entry
    // 4p stays aligned to a whole four-double vector.
    static constexpr int32_t kBlockStride = kStringsPerBlock * kLineLength + 16;
    // Alignment of the first entry: a four-double vector at entry 4p never straddles two
    // cache lines.
    static constexpr size_t kAlignment = 64;

    // Allocates all blocks at full size, silent (may throw std::bad_alloc).
    QuadLines();

    void clear();

    // Block q: position p of string 4q + j at [4p + j].
    double* block(int32_t q) { return data_.get() + static_cast<size_t>(q) * kBlockStride; }
    const double* block(int32_t q) const { return data_.get() + static_cast<size_t>(q) * kBlockStride; }
    double* data() { return data_.get(); }

    // Sample p of string k.
    float sample(int32_t k, int32_t p) const {
        return static_cast<float>(block(k / kStringsPerBlock)[kStringsPerBlock * p + k % kStringsPerBlock]);
    }

    // All kLineLength samples of string k, in position order.
    void copyLine(int32_t k, float* out) const;

private:
    struct AlignedDelete {
        void operator()(double* p) const { ::operator delete[](p, std::align_val_t(kAlignment)); }
    };
    std::unique_ptr<double[], AlignedDelete> data_;
};

}  // namespace dsp
