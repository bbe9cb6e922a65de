#include <windows.h>

#include <cstdint>
#include <stdexcept>

#include "clap_module.h"

ClapModule::ClapModule(const std::filesystem::path& library) {
    HMODULE module = LoadLibraryW(library.wstring().c_str());
    if (!module) throw std::runtime_error("cannot load " + library.string());
    handle_ = module;
    // clap_entry is a variable: its address comes back as a function pointer type.
    entry_ = reinterpret_cast<const clap::PluginEntry*>(reinterpret_cast<std::uintptr_t>(GetProcAddress(module, "clap_entry")));
    if (!entry_ || !entry_->init(library.string().c_str())) {
        FreeLibrary(module);
        throw std::runtime_error("no usable clap_entry in " + library.string());
    }
    factory_ = static_cast<const clap::PluginFactory*>(entry_->getFactory(clap::kPluginFactoryId));
}

ClapModule::~ClapModule() {
    entry_->deinit();
    FreeLibrary(static_cast<HMODULE>(handle_));
}
