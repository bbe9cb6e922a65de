#include "editor/value_conversions.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "plugin/parameter_units.h"

namespace {

constexpr int kTextSize = 32;
constexpr double kSilence = 1e-8;

// Cuts toward zero; magnitudes an int cannot hold are pinned to its ends instead of
// overflowing (the texts are meant for values 0..1 and show nonsense outside it either way).
int wholeTowardZero(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

}  // namespace

void percentStringConvert(float value, char* text) {
    std::snprintf(text, kTextSize, "%d%%", wholeTowardZero(percentOf(value)));
}

void semitoneStringConvert(float value, char* text) {
    // The step the engine transposes by, counted from no transposition.
    const long long k = transposeSemitone(value);
    if (k > 0)
        std::snprintf(text, kTextSize, "#%lld", k);
    else if (k < 0)
        std::snprintf(text, kTextSize, "b%lld", -k);
    else
        std::snprintf(text, kTextSize, "0");
}

void centsStringConvert(float value, char* text) {
    std::snprintf(text, kTextSize, "%dc", wholeTowardZero(tuneCents(value)));
}

void decibelStringConvert(float value, char* text) {
    if (!(static_cast<double>(value) > kSilence)) {
        std::snprintf(text, kTextSize, "-oo dB");
        return;
    }
    const float log = static_cast<float>(std::log10(static_cast<double>(value)));
    const double d = 20.0 * static_cast<double>(log);
    const int whole = wholeTowardZero(d);
    const int tenth = wholeTowardZero(std::fabs((d - whole) * 10.0));
    if (d > -1.0 && d < 0.0)
        std::snprintf(text, kTextSize, "-%d.%ddB", whole, tenth);
    else
        std::snprintf(text, kTextSize, "%d.%ddB", whole, tenth);
}

ReadoutConvert readoutConvert(ParameterUnit unit) {
    switch (unit) {
        case ParameterUnit::decibels: return decibelStringConvert;
        case ParameterUnit::percent: return percentStringConvert;
        case ParameterUnit::semitones: return semitoneStringConvert;
        case ParameterUnit::cents: return centsStringConvert;
        case ParameterUnit::onOff: break;
    }
    return nullptr;
}
