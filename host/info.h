// The info command: what a plug-in says about itself, its parameters and its programs.
#pragma once

#include <ostream>

#include "host/plugin_instance.h"

namespace host {

// Prints identity, parameters (index, name, value text, label; padding trimmed) and
// program names of an opened plug-in.
void printInfo(CPluginInstance& plugin, std::ostream& out);

// A name for a category number (kPlugCategRoomFx -> "room effect").
const char* categoryName(VstIntPtr category);

}  // namespace host
