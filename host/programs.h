// A plug-in's programs as a host lists them, and choosing one by name or number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/plugin_instance.h"

namespace host {

// At most this many program names are asked for.
inline constexpr VstInt32 kMaxListedPrograms = 128;

// Program names, padding trimmed: effGetProgramNameIndexed for 0, 1, ... while it answers
// 1, up to numPrograms (QZA Chordwell: up to kMaxListedPrograms, for its bank); when it
// answers 0 already for 0, the current program's name (effGetProgramName).
std::vector<std::string> listProgramNames(CPluginInstance& plugin);

// Selects a program by number (decimal digits) or by its listed name, compared without
// regard to case. Numbers below numPrograms go through effSetProgram; for QZA Chordwell,
// whose six presets live in its chunk behind a single host program, the later ones go
// through the chunk's current-preset word. Throws CHostError for anything else.
void selectProgram(CPluginInstance& plugin, std::string_view nameOrNumber);

// True for QZA Chordwell (and anything claiming its ID): its presets are chunk entries.
bool hasChordwellBank(const CPluginInstance& plugin);

}  // namespace host
