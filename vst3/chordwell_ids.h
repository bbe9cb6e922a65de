// The numbers by which hosts know the VST3 plug-in. None of them may ever change: hosts store
// them in their projects.
#pragma once

#include <array>

#include "plugin/identity.h"
#include "plugin/parameters.h"
#include "vst3/controller_interfaces.h"

namespace chordwell_vst3 {

// The class ID's sixteen characters, derived the way hosts match a VST3 plug-in to the VST 2.4
// plug-in it replaces: "VST", the four characters of the unique ID, then the first nine
// characters of the effect name in lower case.
constexpr std::array<char, 16> classIdText() {
    std::array<char, 16> text{'V', 'S', 'T'};
    for (int i = 0; i < 4; ++i) text[3 + i] = identity::kUniqueIdChars[i];
    const char* name = identity::kEffectName;
    for (int i = 0; i < 9; ++i) {
        const char c = name[i];
        text[7 + i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

// Word k of the class ID: four of its characters, the first one highest.
constexpr vst3::uint32 classIdWord(int k) {
    const std::array<char, 16> text = classIdText();
    vst3::uint32 word = 0;
    for (int i = 0; i < 4; ++i) word = word << 8 | static_cast<unsigned char>(text[4 * k + i]);
    return word;
}

// Laid out in memory as each system lays out IDs.
inline constexpr vst3::Uid kClassId = vst3::makeUid(classIdWord(0), classIdWord(1), classIdWord(2), classIdWord(3));

// Parameters 0..7 keep their indices as IDs; the program change follows them.
inline constexpr vst3::ParamID kProgramChangeId = kNumParams;
inline constexpr vst3::int32 kNumVst3Parameters = kNumParams + 1;

// The one program list, that of the root unit: the six presets of the bank.
inline constexpr vst3::ProgramListID kPresetListId = 1;

}  // namespace chordwell_vst3
