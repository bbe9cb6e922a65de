// Parameters named on the command line: NAME=VALUE settings and finding a parameter by
// its trimmed name or its number.
#pragma once

#include <string>
#include <string_view>

#include "host/plugin_instance.h"

namespace host {

struct ParameterSetting {
    std::string parameter;  // trimmed name or decimal index, as the user wrote it
    float value = 0.0f;     // normalised value, 0..1
};

// Splits NAME=VALUE at its last '='. Throws CUsageError when there is no '=' or no name,
// CHostError when VALUE is not a number from 0 to 1.
ParameterSetting parseParameterSetting(std::string_view text);

// The index of the parameter named by its number or its trimmed name (any case).
// Throws CHostError, listing the parameters, when there is none.
VstInt32 findParameter(CPluginInstance& plugin, std::string_view nameOrNumber);

// Finds and sets each parameter in turn.
void applyParameterSetting(CPluginInstance& plugin, const ParameterSetting& setting);

}  // namespace host
