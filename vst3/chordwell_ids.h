// The numbers by which hosts know the VST3 plug-in. None of them may ever change: hosts store
// them in their projects.
#pragma once

#include "plugin/parameters.h"
#include "vst3/controller_interfaces.h"

namespace chordwell_vst3 {

// The class ID, derived once from the unique ID 'ZkRw' the way hosts match a VST3 plug-in to the
// VST 2.4 plug-in it replaces: "VST", the four characters of the unique ID, then the first nine
// characters of the effect name in lower case, "qza chord". Written as four words, laid out in
// memory as each system lays out IDs.
inline constexpr vst3::uint32 kClassIdWords[4] = {0x5653545A, 0x6B52777A, 0x7A612063, 0x686F7264};
inline constexpr vst3::Uid kClassId = vst3::makeUid(kClassIdWords[0], kClassIdWords[1], kClassIdWords[2], kClassIdWords[3]);

// Parameters 0..7 keep their indices as IDs; the program change follows them.
inline constexpr vst3::ParamID kProgramChangeId = kNumParams;
inline constexpr vst3::int32 kNumVst3Parameters = kNumParams + 1;

// The one program list, that of the root unit: the six presets of the bank.
inline constexpr vst3::ProgramListID kPresetListId = 1;

}  // namespace chordwell_vst3
