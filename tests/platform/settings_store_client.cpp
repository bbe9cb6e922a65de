// A second process for the settings store tests: joins the caller's sandbox, then writes the
// sample values or checks that the store holds them.
//
//   settings_store_client SANDBOX write|check
//
// Exit status 0 when the writes succeeded or the values were found, 1 otherwise, 2 on misuse.
#include <string>

#include "platform/settings_store.h"
#include "settings_sandbox.h"
#include "settings_store_sample.h"

int main(int argc, char** argv) {
    if (argc != 3 || !SettingsSandbox::join(argv[1])) return 2;
    using platform::SettingsStore;
    const auto image = settingssample::image();
    const std::string command = argv[2];
    if (command == "write") {
        const bool ok = SettingsStore::write("MemoB", image.data(), image.size()) &&
                        SettingsStore::writeText("CurrPreset", settingssample::kText);
        return ok ? 0 : 1;
    }
    if (command == "check") {
        auto back = decltype(image){};
        const bool ok = SettingsStore::read("MemoB", back.data(), back.size()) && back == image &&
                        SettingsStore::readText("CurrPreset", 256) == settingssample::kText;
        return ok ? 0 : 1;
    }
    return 2;
}
