// The other process of the settings test: in the caller's settings sandbox, loads the DLL,
// sets up the sample preset and stores it as the user's default the way a user does, with a
// double-click on the preset bar's PRESET label.
//
//   dll_settings_client SANDBOX
//
// Exit status 0 when the editor opened and took the double-click, 1 otherwise, 2 on misuse.
#include <exception>
#include <string>

#include "settings_sandbox.h"
#include "stored_preset_sample.h"
#include "win32_plugin_host.h"

namespace {

constexpr int kPresetLabelX = 50, kPresetLabelY = 234;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || !SettingsSandbox::join(argv[1])) return 2;
    try {
        host::CPluginInstance plugin(wintest::pluginPath());
        for (const auto& [index, value] : storedpreset::kValues) plugin.setParameter(index, value);
        std::string name = storedpreset::kName;
        plugin.dispatch(effSetProgramName, 0, 0, name.data());
        wintest::EditorHostWindow window;
        if (!wintest::openEditor(plugin, window)) return 1;
        wintest::mouseDoubleClick(window.editor(), kPresetLabelX, kPresetLabelY);
        plugin.dispatch(effEditClose);
        return 0;
    } catch (const std::exception&) {
        return 2;
    }
}
