#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "settings_sandbox.h"

SettingsSandbox::SettingsSandbox() {
    char folder[] = "/tmp/chordwell-settings-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("settings sandbox");
        std::abort();
    }
    name_ = folder;
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
        saved_ = value;
        hadSaved_ = true;
    }
    join(name_);
}

SettingsSandbox::~SettingsSandbox() {
    if (hadSaved_)
        ::setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(name_, ignored);
}

// The store's folder would lie below a plain file: nothing can be made or read there.
bool SettingsSandbox::blockWrites() {
    const std::string blocker = name_ + "/blocked";
    std::FILE* file = std::fopen(blocker.c_str(), "w");
    if (!file) return false;
    std::fclose(file);
    return ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1) == 0;
}

bool SettingsSandbox::join(const std::string& name) {
    return !name.empty() && ::setenv("XDG_CONFIG_HOME", name.c_str(), 1) == 0;
}
