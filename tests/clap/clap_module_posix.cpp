#include <dlfcn.h>

#include <stdexcept>

#include "clap_module.h"

ClapModule::ClapModule(const std::filesystem::path& library) {
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw std::runtime_error(std::string("cannot load ") + library.string() + ": " + dlerror());
    entry_ = static_cast<const clap::PluginEntry*>(dlsym(handle_, "clap_entry"));
    if (!entry_ || !entry_->init(library.c_str())) {
        dlclose(handle_);
        throw std::runtime_error("no usable clap_entry in " + library.string());
    }
    factory_ = static_cast<const clap::PluginFactory*>(entry_->getFactory(clap::kPluginFactoryId));
}

ClapModule::~ClapModule() {
    entry_->deinit();
    dlclose(handle_);
}
