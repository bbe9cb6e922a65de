#include "host/startup_settings.h"

#include "host/programs.h"

namespace host {

void applyStartupSettings(CPluginInstance& plugin, const StartupSettings& settings) {
    if (settings.preset) selectProgram(plugin, *settings.preset);
    for (const ParameterSetting& setting : settings.parameters) applyParameterSetting(plugin, setting);
}

}  // namespace host
