#include <windows.h>

#include "host/plugin_library.h"

namespace host {

void* CPluginLibrary::openLibrary(const std::filesystem::path& file, std::string& reason) {
    // The path goes to the loader in UTF-16, whatever its characters.
    const HMODULE library = LoadLibraryW(file.c_str());
    if (library == nullptr) reason = "Windows error " + std::to_string(GetLastError());
    return library;
}

VstPluginMainProc CPluginLibrary::findEntry(void* library, const char* name) {
    // GetProcAddress answers a generic function pointer; void (*)() converts to any other.
    const auto symbol = reinterpret_cast<void (*)()>(GetProcAddress(static_cast<HMODULE>(library), name));
    return reinterpret_cast<VstPluginMainProc>(symbol);
}

void CPluginLibrary::closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace host
