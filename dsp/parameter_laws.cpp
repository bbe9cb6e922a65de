#include "dsp/parameter_laws.h"

#include <cmath>
#include <limits>

#include "dsp/int_conversion.h"

namespace dsp {

float outputGainLaw(float v) {
    const double x = v;
    return static_cast<float>(4.0 * x * x);
}

float decayFeedbackLaw(float decay, float transposeTarget) {
    const double root = decay > 0.0f ? std::sqrt(static_cast<double>(decay)) : 0.0;
    const double perQuarterPass = std::pow(1.02, root) / 1.0205;
    return static_cast<float>(std::pow(perQuarterPass, 1.0 / (0.25 * static_cast<double>(transposeTarget))));
}

float dampCoefLaw(float v) {
    return static_cast<float>(std::pow(1.84, 1.0 - static_cast<double>(v)) / 1.845);
}

int32_t transposeStepLaw(float v) { return truncateSaturating(kTransposeSteps * static_cast<double>(v) + 0.5); }

float transposeRatioLaw(float v) {
    const int32_t n = transposeStepLaw(v);
    return static_cast<float>(0.25 * std::pow(16.0, static_cast<double>(n) / kTransposeSteps));
}

float tuneTargetLaw(float v) {
    const float target = static_cast<float>(std::pow(1.12246, static_cast<double>(v)) / 1.05946);
    return std::isinf(target) ? std::numeric_limits<float>::max() : target;
}

int32_t bypassLaw(float v) { return truncateSaturating(static_cast<double>(v) + 0.5); }

}  // namespace dsp
