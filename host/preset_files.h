// QZA Chordwell's preset (.qza) and bank (.qzb) files: reading them and applying them to a
// loaded instance of the plug-in whose unique ID they carry.
#pragma once

#include <filesystem>
#include <vector>

#include "host/chordwell_formats.h"
#include "host/plugin_instance.h"

namespace host {

// The image in the file, checked against the plug-in's unique ID (parseImage). Throws
// CHostError for a file that cannot be read or is not an image of this plug-in.
PresetImage readImageFile(const std::filesystem::path& path, VstInt32 uniqueId);

// The preset file's preset, applied as a host applies one: effSetProgramName with its
// name, then setParameter for its eight values. Throws CHostError for a bank file or a
// plug-in without the eight parameters.
void applyPresetFile(CPluginInstance& plugin, const std::filesystem::path& path);

// The bank file's six presets, given to the plug-in as its whole-bank chunk
// (effSetChunk), which selects preset 0. Throws CHostError for a preset file or when
// the plug-in refuses the chunk.
void applyBankFile(CPluginInstance& plugin, const std::filesystem::path& path);

// Sets parameters 0..7 to the record's values.
void applyPresetValues(CPluginInstance& plugin, const PresetRecord& record);

}  // namespace host
