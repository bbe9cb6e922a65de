#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "settings_sandbox.h"

namespace {

// Under the real HKEY_CURRENT_USER, where the sandboxes of all test processes live.
const std::string kSandboxes = "Software\\QZA-tonefold-tests";

std::wstring widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The sandboxes in place, innermost last: ending one puts the one before it back. Made on
// first use: a sandbox may be made while the program's static objects are being built.
std::mutex& sandboxLock() {
    static std::mutex lock;
    return lock;
}
std::vector<std::string>& activeSandboxes() {
    static std::vector<std::string> active;
    return active;
}

// HKEY_CURRENT_USER as it is without any override: where the sandbox keys are made.
HKEY realUserKey() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    return HKEY_CURRENT_USER;
}

bool point(const std::string& name, REGSAM access) {
    HKEY key = nullptr;
    const LONG opened = access == KEY_ALL_ACCESS
                            ? RegCreateKeyExW(realUserKey(), widen(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              access, nullptr, &key, nullptr)
                            : RegOpenKeyExW(realUserKey(), widen(name).c_str(), 0, access, &key);
    if (opened != ERROR_SUCCESS) return false;
    const bool pointed = RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS;
    RegCloseKey(key);
    return pointed;
}

}  // namespace

SettingsSandbox::SettingsSandbox() {
    static std::atomic<unsigned> counter{0};
    name_ = kSandboxes + "\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    std::lock_guard<std::mutex> guard(sandboxLock());
    if (!point(name_, KEY_ALL_ACCESS)) {
        std::fprintf(stderr, "settings sandbox: no registry key %s\n", name_.c_str());
        std::abort();
    }
    activeSandboxes().push_back(name_);
}

SettingsSandbox::~SettingsSandbox() {
    std::lock_guard<std::mutex> guard(sandboxLock());
    std::vector<std::string>& active = activeSandboxes();
    for (auto it = active.begin(); it != active.end(); ++it)
        if (*it == name_) {
            active.erase(it);
            break;
        }
    HKEY user = realUserKey();
    RegDeleteTreeW(user, widen(name_).c_str());
    RegDeleteKeyW(user, widen(name_).c_str());
    RegDeleteKeyW(user, widen(kSandboxes).c_str());  // only once it is empty
    if (!active.empty() && !point(active.back(), KEY_ALL_ACCESS)) {
        std::fprintf(stderr, "settings sandbox: cannot return to %s\n", active.back().c_str());
        std::abort();
    }
}

// Every use of HKEY_CURRENT_USER in this process now lands in the sandbox's key.
bool SettingsSandbox::join(const std::string& name) {
    std::lock_guard<std::mutex> guard(sandboxLock());
    return point(name, KEY_ALL_ACCESS);
}

// HKEY_CURRENT_USER becomes the sandbox's key opened for reading its values only: no key can be
// made or opened for writing below it.
bool SettingsSandbox::blockWrites() {
    std::lock_guard<std::mutex> guard(sandboxLock());
    return point(name_, KEY_QUERY_VALUE);
}
