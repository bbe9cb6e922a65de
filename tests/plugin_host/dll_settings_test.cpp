// The user's default preset, stored by the DLL's editor in one process and read by a new
// instance of the DLL in another, as two hosts running one after the other would.
#include <gtest/gtest.h>

#include <windows.h>

#include <process.h>

#include <string>

#include "settings_sandbox.h"
#include "stored_preset_sample.h"
#include "win32_plugin_host.h"

namespace {

using namespace wintest;

// Runs dll_settings_client from beside this program in the sandbox; its exit status.
int storeDefaultInAnotherProcess(const SettingsSandbox& sandbox) {
    wchar_t self[MAX_PATH];
    const std::filesystem::path client =
        std::filesystem::path(std::wstring(self, GetModuleFileNameW(nullptr, self, MAX_PATH))).parent_path() /
        L"dll_settings_client.exe";
    const std::wstring name(sandbox.name().begin(), sandbox.name().end());
    return static_cast<int>(_wspawnl(_P_WAIT, client.c_str(), client.c_str(), name.c_str(), nullptr));
}

TEST(DllSettings, ANewInstanceStartsWithTheDefaultPresetAnotherProcessStored) {
    SettingsSandbox sandbox;
    {
        host::CPluginInstance factory(pluginPath());
        ASSERT_NE(factory.text(effGetProgramName), storedpreset::kName);
    }
    ASSERT_EQ(storeDefaultInAnotherProcess(sandbox), 0);
    host::CPluginInstance plugin(pluginPath());
    EXPECT_EQ(plugin.text(effGetProgramName), storedpreset::kName);
    EXPECT_EQ(plugin.text(effGetProgramNameIndexed, 0), storedpreset::kName);
    for (const auto& [index, value] : storedpreset::kValues) EXPECT_EQ(plugin.getParameter(index), value) << index;
}

}  // namespace
