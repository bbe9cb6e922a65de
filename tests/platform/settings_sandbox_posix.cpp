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

bool SettingsSandbox::join(const std::string& name) {
    return !name.empty() && ::setenv("XDG_CONFIG_HOME", name.c_str(), 1) == 0;
}
