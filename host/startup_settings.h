// The state a plug-in is put in before chordwell shows it: a program, then single
// parameters, in the order render applies them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/parameters.h"
#include "host/plugin_instance.h"

namespace host {

struct StartupSettings {
    std::optional<std::string> preset;       // a program by name or number
    std::vector<ParameterSetting> parameters;  // applied after the program, in order
};

// Selects the program, then sets each parameter. Throws CHostError for an unknown program
// or parameter.
void applyStartupSettings(CPluginInstance& plugin, const StartupSettings& settings);

}  // namespace host
