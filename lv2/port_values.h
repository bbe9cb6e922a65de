// The LV2 control ports: one per parameter, in the unit a user reads (dB, %, semitones, cents,
// and Bypass as its inverse, "enabled"), with the range and default hosts draw controls from,
// and the way between a port's value and the parameter's normalised value. The bundle's
// description and the plug-in's run() both read these, so the two cannot drift apart.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/parameters.h"

namespace chordwell_lv2 {

// Port numbers: the eight control ports carry the parameter indices; the audio ports follow.
inline constexpr std::uint32_t kAudioInLeft = kNumParams;
inline constexpr std::uint32_t kAudioInRight = kNumParams + 1;
inline constexpr std::uint32_t kAudioOutLeft = kNumParams + 2;
inline constexpr std::uint32_t kAudioOutRight = kNumParams + 3;
inline constexpr std::uint32_t kNumPorts = kNumParams + 4;

// Output's lowest port value: it and anything below it is silence (value 0, a gain of −∞ dB).
inline constexpr float kSilentDecibels = -90.0f;

struct PortRange {
    float minimum;
    float maximum;
};

// The port's symbol and name (Bypass's port is "enabled": 1 processes, 0 bypasses).
const char* portSymbol(std::int32_t index);
std::string portName(std::int32_t index);
PortRange portRange(std::int32_t index);

// The port value a user reads for normalised value v, within the port's range, as a float: the
// value that a port holding it has exactly.
float portValueOf(std::int32_t index, float v);

// The normalised value for a port value (clamped to the port's range first). A port value that
// is the portValueOf of a factory preset's value gives exactly that value; any other gives the
// float nearest to the unit's inverse whose port value is the one given, where there is one.
// Allocates nothing: run() calls it.
float normalisedOfPort(std::int32_t index, float portValue);

}  // namespace chordwell_lv2
