// Points the per-user settings store at a fresh temporary folder for as long as it lives.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class ScopedSettingsFolder {
public:
    ScopedSettingsFolder() {
        char tmpl[] = "/tmp/chordwell-settings-XXXXXX";
        if (::mkdtemp(tmpl)) path_ = tmpl;
        if (const char* value = std::getenv("XDG_CONFIG_HOME")) saved_ = value;
        ::setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
    ~ScopedSettingsFolder() {
        ::setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScopedSettingsFolder(const ScopedSettingsFolder&) = delete;
    ScopedSettingsFolder& operator=(const ScopedSettingsFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder of the plug-in's values inside it.
    std::filesystem::path store() const { return path_ / "QZA-tonefold" / "QZAChordwell"; }

private:
    std::filesystem::path path_;
    std::string saved_;
};
