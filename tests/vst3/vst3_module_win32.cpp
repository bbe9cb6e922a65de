#include <windows.h>

#include <stdexcept>
#include <string>

#include "vst3_module.h"

namespace {

using FactoryProc = vst3::IPluginFactory*(VST3_API*)();
using InitProc = bool (*)();

template <typename Proc>
Proc symbol(void* handle, const char* name) {
    FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), name);
    if (!address) throw std::runtime_error(std::string("missing export ") + name);
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(address));
}

}  // namespace

Vst3Module::Vst3Module(const std::filesystem::path& library) {
    handle_ = LoadLibraryW(library.wstring().c_str());
    if (!handle_) throw std::runtime_error("cannot load " + library.string());
    try {
        if (!symbol<InitProc>(handle_, "InitDll")()) throw std::runtime_error("InitDll failed");
        factory_ = symbol<FactoryProc>(handle_, "GetPluginFactory")();
        if (!factory_) throw std::runtime_error("no factory");
    } catch (...) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        throw;
    }
}

Vst3Module::~Vst3Module() {
    symbol<InitProc>(handle_, "ExitDll")();
    FreeLibrary(static_cast<HMODULE>(handle_));
}

void runSystemTimers(int ms) {
    for (const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms); GetTickCount64() < end; Sleep(5)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
}
