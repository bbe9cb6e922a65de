#include "dsp/quad_lines.h"

#include <algorithm>

namespace dsp {

namespace {
constexpr size_t kTotal = static_cast<size_t>(QuadLines::kBlocks) * QuadLines::kBlockStride;
}

QuadLines::QuadLines()
    : data_(static_cast<double*>(::operator new[](kTotal * sizeof(double), std::align_val_t(kAlignment)))) {
    clear();
}

void QuadLines::clear() { std::fill(data_.get(), data_.get() + kTotal, 0.0); }

void QuadLines::copyLine(int32_t k, float* out) const {
    const double* b = block(k / kStringsPerBlock) + k % kStringsPerBlock;
    for (int32_t p = 0; p < kLineLength; ++p) out[p] = static_cast<float>(b[kStringsPerBlock * p]);
}

}  // namespace dsp
