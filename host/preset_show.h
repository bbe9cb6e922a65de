// The preset show command: what a .qza or .qzb file holds, in the plug-in's own words.
#pragma once

#include <filesystem>
#include <ostream>

#include "host/plugin_instance.h"

namespace host {

// Prints the file's kind, byte order, and for each preset its name and eight values, each
// with the value text and label that the plug-in shows for it (the values are applied to
// the given instance to read them). Throws CHostError saying why a file is not a preset
// or bank of this plug-in.
void showPresetFile(CPluginInstance& plugin, const std::filesystem::path& path, std::ostream& out);

}  // namespace host
