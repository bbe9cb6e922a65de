#include "host/parameters.h"

#include "host/host_error.h"
#include "host/text_util.h"

namespace host {

ParameterSetting parseParameterSetting(std::string_view text) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string_view::npos)
        throw CUsageError("--param expects NAME=VALUE, got \"" + std::string(text) + "\"");
    ParameterSetting setting;
    setting.parameter = trimmed(text.substr(0, equals));
    if (setting.parameter.empty()) throw CUsageError("--param expects NAME=VALUE, got \"" + std::string(text) + "\"");
    const std::string_view valueText = text.substr(equals + 1);
    const auto value = parseFiniteFloat(valueText);
    if (!value) {
        throw CHostError("bad value for parameter " + setting.parameter + ": \"" + std::string(valueText) +
                         "\" is not a finite number");
    }
    // The interface's parameter values are normalised; what lies outside means nothing to a
    // plug-in, which may even take it without complaint.
    if (*value < 0.0f || *value > 1.0f) {
        throw CHostError("bad value for parameter " + setting.parameter + ": " + std::string(valueText) +
                         " is outside the range 0..1 of normalised values");
    }
    setting.value = *value;
    return setting;
}

VstInt32 findParameter(CPluginInstance& plugin, std::string_view nameOrNumber) {
    const VstInt32 count = plugin.numParams();
    if (const auto number = parseIndex(nameOrNumber)) {
        if (*number < count) return static_cast<VstInt32>(*number);
    } else {
        for (VstInt32 i = 0; i < count; ++i) {
            if (equalsIgnoreCase(trimmed(plugin.parameterName(i)), nameOrNumber)) return i;
        }
    }
    std::string known;
    for (VstInt32 i = 0; i < count; ++i) {
        if (i > 0) known += ", ";
        known += std::to_string(i) + " " + trimmed(plugin.parameterName(i));
    }
    throw CHostError("unknown parameter \"" + std::string(nameOrNumber) + "\": the plug-in has " +
                     (known.empty() ? std::string("none") : known));
}

void applyParameterSetting(CPluginInstance& plugin, const ParameterSetting& setting) {
    plugin.setParameter(findParameter(plugin, setting.parameter), setting.value);
}

}  // namespace host
