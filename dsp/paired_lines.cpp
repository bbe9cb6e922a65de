#include "dsp/paired_lines.h"

#include <algorithm>

namespace dsp {

namespace {
constexpr size_t kTotal = static_cast<size_t>(PairedLines::kBlocks) * PairedLines::kBlockStride;
}

PairedLines::PairedLines() : data_(new double[kTotal]) { clear(); }

void PairedLines::clear() { std::fill(data_.get(), data_.get() + kTotal, 0.0); }

void PairedLines::copyLine(int32_t k, float* out) const {
    const double* b = block(k / 2) + (k & 1);
    for (int32_t p = 0; p < kLineLength; ++p) out[p] = static_cast<float>(b[2 * p]);
}

}  // namespace dsp
