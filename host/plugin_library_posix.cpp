#include <dlfcn.h>

#include <cstring>

#include "host/plugin_library.h"

namespace host {

void* CPluginLibrary::openLibrary(const std::filesystem::path& file, std::string& reason) {
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* text = dlerror();
        reason = text ? text : "unknown reason";
    }
    return library;
}

VstPluginMainProc CPluginLibrary::findEntry(void* library, const char* name) {
    void* symbol = dlsym(library, name);
    VstPluginMainProc entry = nullptr;
    // dlsym hands out code addresses as object pointers; copy the bits across.
    static_assert(sizeof entry == sizeof symbol);
    std::memcpy(&entry, &symbol, sizeof entry);
    return entry;
}

void CPluginLibrary::closeLibrary(void* library) { dlclose(library); }

}  // namespace host
