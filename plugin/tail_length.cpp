#include "plugin/tail_length.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dsp/constants.h"
#include "dsp/loop_length.h"
#include "plugin/adelay.h"

namespace {
constexpr double kTailLevel = 1e-6;  // -120 dB: where the ringing counts as ended
}

double tailLengthSamples(ADelay& effect) {
    const dsp::ResonatorBank& engine = effect.getEngine();
    const double gain = std::fabs(static_cast<double>(engine.feedback()));
    if (!(gain < 1.0)) return std::numeric_limits<double>::infinity();
    // Every trip round its loop leaves a string `gain` of its level; the longest loop rings
    // longest.
    const double fs = effect.getSampleRate();
    double longestLoop = 0.0;
    for (int k = 0; k < dsp::kNumStrings; ++k)
        longestLoop = std::max(longestLoop, dsp::loopDelay(k, fs, engine.detuneTarget(), engine.tuneTarget(),
                                                           engine.transposeTarget()));
    const double trips = gain > 0.0 ? std::log(kTailLevel) / std::log(gain) : 1.0;
    return std::max(std::ceil(trips * longestLoop), 0.0);
}
