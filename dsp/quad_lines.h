// The twelve delay lines, stored four to a block and interleaved: position p of the string in
// lane j of block q at entry 4p + j of the block. Block 0 holds strings 0, 1, 10, 11, block 1
// strings 2, 3, 8, 9 and block 2 strings 4, 5, 6, 7: two pairs (2i, 2i + 1) of strings each,
// chosen so that every string's partner 11 − k is in the same block. The wet sums read each line
// at its partner's read position, so the load that fetches a string's own sample at its read
// position brings its partner's sample at that position too.
//
// The four-wide processing loop writes the four strings of a block with one store; the two-wide
// loop writes a pair with one store to one half of the entries. Any position of any string is
// read with one load and a blend. A line holds 32-bit float samples by definition; they are
// kept widened to double, which holds every float exactly, so that reading them back needs no
// conversion, and one arithmetic keeps them multiplied by a power of two (block_loops.h).
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
    // The string in each slot 4q + j (block q, lane j), and the slot of each string.
    static constexpr int32_t kStringInSlot[kNumStrings] = {0, 1, 10, 11, 2, 3, 8, 9, 4, 5, 6, 7};
    static constexpr int32_t kSlotOf[kNumStrings] = {0, 1, 4, 5, 8, 9, 10, 11, 6, 7, 2, 3};
    // Doubles from one block to the next. The padding keeps the blocks' entries for the same
    // position out of the same cache set; it is a whole number of positions, so every entry
    // 4p stays aligned to a whole four-double vector.
    static constexpr int32_t kBlockStride = kStringsPerBlock * kLineLength + 16;
    // Alignment of the first entry: a four-double vector at entry 4p never straddles two
    // cache lines.
    static constexpr size_t kAlignment = 64;
    // Doubles kept before block 0, and (in the padding above) after every block: a loop may
    // load a pair of doubles starting one entry before or three after the entries of a
    // position, and keep only the half that belongs to it.
    static constexpr int32_t kLeadingPad = 8;

    // Allocates all blocks at full size, silent (may throw std::bad_alloc).
    QuadLines();

    void clear();

    // Zeroes `count` positions (at most kLineLength) from position `first` on, wrapping, in block
    // q of the lines whose block 0 starts at `lines` (data()).
    static void clearPositions(double* lines, int32_t q, int32_t first, int32_t count);

    // Block q: position p of the string in slot 4q + j at [4p + j].
    double* block(int32_t q) { return data() + static_cast<size_t>(q) * kBlockStride; }
    const double* block(int32_t q) const { return data_.get() + kLeadingPad + static_cast<size_t>(q) * kBlockStride; }
    double* data() { return data_.get() + kLeadingPad; }

    // All kLineLength samples of string k, in position order, each entry multiplied by `unscale`
    // (the inverse of the power of two by which the arithmetic keeps the entries scaled, or 1).
    void copyLine(int32_t k, float* out, double unscale) const;

private:
    struct AlignedDelete {
        void operator()(double* p) const { ::operator delete[](p, std::align_val_t(kAlignment)); }
    };
    std::unique_ptr<double[], AlignedDelete> data_;
};

}  // namespace dsp
