#include "host/plugin_library.h"

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <system_error>

#include "host/host_error.h"

namespace host {

namespace {

VstPluginMainProc findEntry(void* handle, const char* name) {
    void* symbol = dlsym(handle, name);
    VstPluginMainProc entry = nullptr;
    // dlsym hands out code addresses as object pointers; copy the bits across.
    static_assert(sizeof entry == sizeof symbol);
    std::memcpy(&entry, &symbol, sizeof entry);
    return entry;
}

}  // namespace

CPluginLibrary::CPluginLibrary(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CHostError("plug-in not found: " + path.string());
    if (std::filesystem::is_directory(path, error))
        throw CHostError("plug-in path is a directory, not a library: " + path.string());

    // dlopen searches the library path for a bare file name; an absolute path loads
    // exactly the file the user named.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string file = error ? path.string() : absolute.string();
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        throw CHostError("cannot load plug-in " + path.string() + ": " + (reason ? reason : "unknown reason"));
    }
    entry = findEntry(handle, "VSTPluginMain");
    if (entry == nullptr) entry = findEntry(handle, "main");
    if (entry == nullptr) {
        dlclose(handle);
        handle = nullptr;
        throw CHostError("not a VST 2.4 plug-in: " + path.string() + " exports neither VSTPluginMain nor main");
    }
}

CPluginLibrary::~CPluginLibrary() {
    if (handle != nullptr) dlclose(handle);
}

}  // namespace host
