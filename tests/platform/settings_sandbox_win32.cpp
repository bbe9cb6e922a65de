#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings_sandbox.h"

namespace {

// Under the real HKEY_CURRENT_USER, where the sandboxes of all test processes live.
const std::string kSandboxes = "Software\\QZA-tonefold-tests";

std::wstring widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

SettingsSandbox::SettingsSandbox() {
    static std::atomic<unsigned> counter{0};
    name_ = kSandboxes + "\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    if (!join(name_)) {
        std::fprintf(stderr, "settings sandbox: no registry key %s\n", name_.c_str());
        std::abort();
    }
}

SettingsSandbox::~SettingsSandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, widen(name_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, widen(name_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, widen(kSandboxes).c_str());  // only once it is empty
}

// Every use of HKEY_CURRENT_USER in this process now lands in the sandbox's key.
bool SettingsSandbox::join(const std::string& name) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, widen(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool joined = RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return joined;
}
