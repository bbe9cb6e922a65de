#include <windows.h>

#include <string>
#include <system_error>

#include "host/host_error.h"
#include "host/plugin_library.h"

namespace host {

namespace {

VstPluginMainProc findEntry(HMODULE module, const char* name) {
    // GetProcAddress answers a generic function pointer; void (*)() converts to any other.
    const auto symbol = reinterpret_cast<void (*)()>(GetProcAddress(module, name));
    return reinterpret_cast<VstPluginMainProc>(symbol);
}

}  // namespace

CPluginLibrary::CPluginLibrary(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CHostError("plug-in not found: " + path.string());
    if (std::filesystem::is_directory(path, error))
        throw CHostError("plug-in path is a directory, not a library: " + path.string());

    // A relative name would make the loader search its folders; an absolute path loads exactly
    // the file named. The path is handed over in UTF-16, whatever its characters.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const HMODULE module = LoadLibraryW(error ? path.c_str() : absolute.c_str());
    if (module == nullptr) {
        throw CHostError("cannot load plug-in " + path.string() + ": Windows error " +
                         std::to_string(GetLastError()));
    }
    entry = findEntry(module, "VSTPluginMain");
    if (entry == nullptr) entry = findEntry(module, "main");
    if (entry == nullptr) {
        FreeLibrary(module);
        throw CHostError("not a VST 2.4 plug-in: " + path.string() + " exports neither VSTPluginMain nor main");
    }
    handle = module;
}

CPluginLibrary::~CPluginLibrary() {
    if (handle != nullptr) FreeLibrary(static_cast<HMODULE>(handle));
}

}  // namespace host
