#include "dsp/quad_lines.h"

#include <algorithm>

namespace dsp {

namespace {
constexpr size_t kTotal = QuadLines::kLeadingPad + static_cast<size_t>(QuadLines::kBlocks) * QuadLines::kBlockStride;
}

namespace {
constexpr bool slotsMatch() {
    for (int32_t k = 0; k < kNumStrings; ++k) {
        const int32_t slot = QuadLines::kSlotOf[k];
        // Every string in the block of its partner, and pairs (2i, 2i + 1) side by side in one half.
        if (QuadLines::kStringInSlot[slot] != k) return false;
        if (slot / 4 != QuadLines::kSlotOf[kNumStrings - 1 - k] / 4) return false;
        if ((k % 2 == 0) != (slot % 2 == 0) || (k % 2 == 0 && QuadLines::kSlotOf[k + 1] != slot + 1)) return false;
    }
    return true;
}
static_assert(slotsMatch());
}  // namespace

QuadLines::QuadLines()
    : data_(static_cast<double*>(::operator new[](kTotal * sizeof(double), std::align_val_t(kAlignment)))) {
    clear();
}

void QuadLines::clear() { std::fill(data_.get(), data_.get() + kTotal, 0.0); }

void QuadLines::clearPositions(double* lines, int32_t q, int32_t first, int32_t count) {
    const int32_t beforeWrap = std::min(count, kLineLength - first);
    double* const b = lines + static_cast<ptrdiff_t>(q) * kBlockStride;
    std::fill(b + static_cast<ptrdiff_t>(kStringsPerBlock) * first,
              b + static_cast<ptrdiff_t>(kStringsPerBlock) * (first + beforeWrap), 0.0);
    std::fill(b, b + static_cast<ptrdiff_t>(kStringsPerBlock) * (count - beforeWrap), 0.0);
}

void QuadLines::copyLine(int32_t k, float* out, double unscale) const {
    const int32_t slot = kSlotOf[k];
    const double* b = block(slot / kStringsPerBlock) + slot % kStringsPerBlock;
    for (int32_t p = 0; p < kLineLength; ++p) out[p] = static_cast<float>(b[kStringsPerBlock * p] * unscale);
}

}  // namespace dsp
