#include "lv2/port_values.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "dsp/parameter_laws.h"
#include "plugin/factory_presets.h"
#include "plugin/parameter_units.h"

namespace chordwell_lv2 {

namespace {

// How many floats either side of the unit's inverse are tried for one whose port value is the
// one given: the units' roundings move a value by a few floats at most.
constexpr int kNeighbourFloats = 8;

// The ports' symbols, the names by which hosts keep their values in sessions and presets:
// fixed for good (Bypass's port is "enabled", 1 processing).
constexpr const char* kPortSymbols[kNumParams] = {"output",    "mix",  "decay",  "damp",
                                                  "transpose", "tune", "detune", "enabled"};

double unitValue(std::int32_t index, float v) {
    switch (kParameters[index].unit) {
        case ParameterUnit::decibels: return outputDecibels(v);
        case ParameterUnit::percent: return percentOf(v);
        case ParameterUnit::semitones: return static_cast<double>(transposeSemitone(v));
        case ParameterUnit::cents: return tuneCents(v);
        case ParameterUnit::onOff: return dsp::bypassLaw(v) != 0 ? 0.0 : 1.0;
    }
    return 0.0;
}

float unitInverse(std::int32_t index, float port) {
    switch (kParameters[index].unit) {
        case ParameterUnit::decibels:
            return port <= kSilentDecibels ? 0.0f : outputValueOfDecibels(port);
        case ParameterUnit::percent: return valueOfPercent(port);
        case ParameterUnit::semitones: return transposeValueOfSemitone(port);
        case ParameterUnit::cents: return tuneValueOfCents(port);
        case ParameterUnit::onOff: return port >= 0.5f ? 0.0f : 1.0f;
    }
    return 0.0f;
}

bool sameFloat(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

}  // namespace

const char* portSymbol(std::int32_t index) { return isParameterIndex(index) ? kPortSymbols[index] : ""; }

std::string portName(std::int32_t index) {
    if (!isParameterIndex(index)) return {};
    return kParameters[index].isBypass ? "Enabled" : std::string(kParameters[index].name());
}

PortRange portRange(std::int32_t index) {
    if (!isParameterIndex(index)) return {0.0f, 1.0f};
    switch (kParameters[index].unit) {
        // Full travel is a gain of 4: 20·log10(4) dB, a hair above 12.
        case ParameterUnit::decibels: return {kSilentDecibels, static_cast<float>(20.0 * std::log10(4.0))};
        case ParameterUnit::percent: return {0.0f, 100.0f};
        case ParameterUnit::semitones:
            return {static_cast<float>(-dsp::kTransposeCentreStep),
                    static_cast<float>(dsp::kTransposeSteps - dsp::kTransposeCentreStep)};
        case ParameterUnit::cents: return {-100.0f, 100.0f};
        case ParameterUnit::onOff: return {0.0f, 1.0f};
    }
    return {0.0f, 1.0f};
}

float portValueOf(std::int32_t index, float v) {
    if (!isParameterIndex(index)) return 0.0f;
    const PortRange range = portRange(index);
    const double plain = unitValue(index, std::clamp(std::isfinite(v) ? v : 0.0f, 0.0f, 1.0f));
    return std::clamp(static_cast<float>(std::fmax(plain, static_cast<double>(range.minimum))), range.minimum,
                      range.maximum);
}

float normalisedOfPort(std::int32_t index, float portValue) {
    if (!isParameterIndex(index)) return 0.0f;
    const PortRange range = portRange(index);
    const float port = std::clamp(std::isfinite(portValue) ? portValue : range.minimum, range.minimum, range.maximum);
    // The factory presets' values (the defaults among them) come back as themselves.
    for (const FactoryPreset& preset : kFactoryPresets)
        if (sameFloat(portValueOf(index, preset.values[index]), port)) return preset.values[index];
    const float inverse = std::clamp(unitInverse(index, port), 0.0f, 1.0f);
    if (sameFloat(portValueOf(index, inverse), port)) return inverse;
    float below = inverse;
    float above = inverse;
    for (int step = 0; step < kNeighbourFloats; ++step) {
        below = std::nextafter(below, 0.0f);
        above = std::nextafter(above, 1.0f);
        if (sameFloat(portValueOf(index, below), port)) return below;
        if (sameFloat(portValueOf(index, above), port)) return above;
    }
    return inverse;
}

}  // namespace chordwell_lv2
