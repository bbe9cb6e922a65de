#include "plugin/parameter_units.h"

#include <cmath>

#include "dsp/parameter_laws.h"

namespace {

constexpr double kTuneRangeCents = 200.0;  // from value 0 to value 1
constexpr double kPercent = 100.0;

}  // namespace

std::int64_t transposeSemitone(float v) {
    return static_cast<std::int64_t>(dsp::transposeStepLaw(v)) - dsp::kTransposeCentreStep;
}

float transposeValueOfSemitone(double semitones) {
    constexpr double kLowest = -dsp::kTransposeCentreStep;
    constexpr double kHighest = dsp::kTransposeSteps - dsp::kTransposeCentreStep;
    const double whole = std::round(std::fmin(std::fmax(semitones, kLowest), kHighest));
    // step / 48 lands on or a hair below the step; the engine adds half a step before cutting.
    return static_cast<float>((whole + dsp::kTransposeCentreStep) / dsp::kTransposeSteps);
}

double outputDecibels(float v) {
    const double gain = dsp::outputGainLaw(v);
    return gain > 0.0 ? 20.0 * std::log10(gain) : -HUGE_VAL;
}

float outputValueOfDecibels(double decibels) {
    return static_cast<float>(0.5 * std::sqrt(std::pow(10.0, decibels / 20.0)));
}

double tuneCents(float v) { return (static_cast<double>(v) - 0.5) * kTuneRangeCents; }

float tuneValueOfCents(double cents) { return static_cast<float>(0.5 + cents / kTuneRangeCents); }

double percentOf(float v) { return kPercent * static_cast<double>(v); }

float valueOfPercent(double percent) { return static_cast<float>(percent / kPercent); }
