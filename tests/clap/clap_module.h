// A CLAP module loaded the way a host loads one: the library opened, clap_entry's init called,
// its plug-in factory taken; deinit and the unloading when the object goes. Each system has its
// loader (clap_module_posix.cpp, clap_module_win32.cpp).
#pragma once

#include <filesystem>

#include "clap/clap_abi.h"

class ClapModule {
public:
    // Throws std::runtime_error when the library cannot be loaded, lacks clap_entry or refuses.
    explicit ClapModule(const std::filesystem::path& library);
    ~ClapModule();
    ClapModule(const ClapModule&) = delete;
    ClapModule& operator=(const ClapModule&) = delete;

    const clap::PluginEntry& entry() const { return *entry_; }
    const clap::PluginFactory& factory() const { return *factory_; }

private:
    void* handle_ = nullptr;
    const clap::PluginEntry* entry_ = nullptr;
    const clap::PluginFactory* factory_ = nullptr;
};
