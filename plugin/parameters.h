// The effect's eight parameters, described once for every plug-in format: their indices (the
// same in the host interfaces, the editor, the presets and the engine), names, units, steps
// and roles. The formats translate this description; none of them restates a parameter fact.
// Defaults live with the factory presets (plugin/factory_presets.h), value texts and their
// reading back in plugin/parameter_texts.h, the units' laws in plugin/parameter_units.h.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "dsp/parameter_laws.h"

enum ParameterIndex : std::int32_t {
    kOutput = 0,
    kMix = 1,
    kDecay = 2,
    kDamp = 3,
    kTranspose = 4,
    kTune = 5,
    kDetune = 6,
    kBypass = 7,
    kNumParams = 8,
};

// The unit a user reads a parameter's value in.
enum class ParameterUnit {
    decibels,   // the gain the engine applies, 20·log10(4·v²)
    percent,    // 100·v
    semitones,  // the engine's whole step, counted from no transposition
    cents,      // 200·v − 100
    onOff,      // bypassed or processing
};

struct ParameterDescription {
    // The name and unit label as VST 2.4 hosts show them, byte for byte: the padding spaces
    // are part of the texts. Formats without such padding show them trimmed (name(), units()).
    const char* paddedName;
    const char* paddedLabel;
    ParameterUnit unit;
    // 0 for a continuous parameter; else the number of steps between value 0 and value 1.
    std::int32_t steps;
    // True for the one parameter that bypasses the effect, which hosts show as their own.
    bool isBypass;

    constexpr std::string_view name() const { return trimmed(paddedName); }
    constexpr std::string_view units() const { return trimmed(paddedLabel); }
    // The name in at most kShortNameLength characters, for hosts' narrow controls.
    constexpr std::string_view shortName() const { return name().substr(0, std::min(name().size(), kShortNameLength)); }

    static constexpr std::size_t kShortNameLength = 6;

    static constexpr std::string_view trimmed(std::string_view text) {
        const std::size_t first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) return {};
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    }
};

inline constexpr ParameterDescription kParameters[kNumParams] = {
    {" Output ", "   dB   ", ParameterUnit::decibels, 0, false},
    {" Mix ", "    %    ", ParameterUnit::percent, 0, false},
    {" Decay ", "    %    ", ParameterUnit::percent, 0, false},
    {" Damp ", "    %    ", ParameterUnit::percent, 0, false},
    {" Transpose ", " st ", ParameterUnit::semitones, dsp::kTransposeSteps, false},
    {" Tune ", "  cents ", ParameterUnit::cents, 0, false},
    {" Detune ", "    %   ", ParameterUnit::percent, 0, false},
    {" Bypass ", "  ", ParameterUnit::onOff, 1, true},
};

inline constexpr bool isParameterIndex(std::int32_t index) { return index >= 0 && index < kNumParams; }

// The two texts of Bypass, padding included, as VST 2.4 hosts show them.
inline constexpr const char* kBypassedText = " bypassed ";
inline constexpr const char* kProcessText = " process ";
