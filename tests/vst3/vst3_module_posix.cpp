#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "vst3_module.h"

namespace {

using FactoryProc = vst3::IPluginFactory* (*)();
using EntryProc = bool (*)(void*);
using ExitProc = bool (*)();

template <typename Proc>
Proc symbol(void* handle, const char* name) {
    void* address = dlsym(handle, name);
    if (!address) throw std::runtime_error(std::string("missing export ") + name);
    return reinterpret_cast<Proc>(address);
}

}  // namespace

Vst3Module::Vst3Module(const std::filesystem::path& library) {
    handle_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw std::runtime_error(std::string("cannot load: ") + dlerror());
    try {
        if (!symbol<EntryProc>(handle_, "ModuleEntry")(handle_)) throw std::runtime_error("ModuleEntry failed");
        factory_ = symbol<FactoryProc>(handle_, "GetPluginFactory")();
        if (!factory_) throw std::runtime_error("no factory");
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

Vst3Module::~Vst3Module() {
    symbol<ExitProc>(handle_, "ModuleExit")();
    dlclose(handle_);
}

// POSIX window systems have no loop of the thread's own: the host's run loop does this work.
void runSystemTimers(int) {}
