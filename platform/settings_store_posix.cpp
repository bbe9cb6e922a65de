// The settings store on POSIX systems: each value is a file named exactly as the value, in the
// folder $XDG_CONFIG_HOME/QZA-tonefold/QZAChordwell/ (~/.config when the variable is unset):
// binary values as their raw bytes, text values as UTF-8. Values are replaced through a
// temporary file and a rename, so a crash never leaves half a value.
#include <cerrno>
#include <cstdlib>

#include "platform/files.h"
#include "platform/settings_store.h"

namespace platform {

namespace {

constexpr const char* kVendorFolder = "QZA-tonefold";
constexpr const char* kProductFolder = "QZAChordwell";

std::string valuePath(const char* name) {
    const std::string base = SettingsStore::location();
    return base.empty() || !name ? std::string() : base + kPathSeparator + name;
}

}  // namespace

std::string SettingsStore::location() {
    std::string root;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        root = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        root = std::string(home) + kPathSeparator + ".config";
    } else {
        return {};
    }
    return root + kPathSeparator + kVendorFolder + kPathSeparator + kProductFolder;
}

Outcome SettingsStore::write(const char* name, const void* data, std::size_t size) {
    const std::string path = valuePath(name);
    // Without HOME nor XDG_CONFIG_HOME there is no folder of the user's to write to.
    if (path.empty()) return systemFailure(ENOENT);
    if (Outcome folder = makeFolders(location()); !folder) return folder;
    return writeFileAtomically(path, data, size);
}

Outcome SettingsStore::writeText(const char* name, const std::string& text) {
    return write(name, text.data(), text.size());
}

bool SettingsStore::read(const char* name, void* data, std::size_t size) {
    const std::string path = valuePath(name);
    return !path.empty() && readFileExactly(path, data, size);
}

std::optional<std::string> SettingsStore::readText(const char* name, std::size_t maxSize) {
    const std::string path = valuePath(name);
    if (path.empty()) return std::nullopt;
    return readSmallTextFile(path, maxSize);
}

Outcome SettingsStore::remove(const char* name) {
    const std::string path = valuePath(name);
    if (path.empty()) return systemFailure(ENOENT);
    return removeFile(path);
}

}  // namespace platform
