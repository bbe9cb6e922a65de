// A plug-in's shared library and its VST 2.4 entry point. Each system has its own loader
// (plugin_library_posix.cpp: dlopen; plugin_library_win32.cpp: LoadLibraryW); the library is
// unloaded when the object goes.
#pragma once

#include <filesystem>
#include <string>

#include "vst/aeffect.h"

namespace host {

class CPluginLibrary {
public:
    // Opens the library and finds its entry point: VSTPluginMain, or main where that is
    // the only one (as many older plug-ins export). Throws CHostError when the file is
    // missing, cannot be loaded, or has neither symbol.
    explicit CPluginLibrary(const std::filesystem::path& path);
    ~CPluginLibrary();
    CPluginLibrary(const CPluginLibrary&) = delete;
    CPluginLibrary& operator=(const CPluginLibrary&) = delete;

    VstPluginMainProc entryPoint() const { return entry; }

private:
    // The system's loader (plugin_library_posix.cpp, plugin_library_win32.cpp): opens the file
    // (null on failure, with the system's reason), finds a symbol, closes.
    static void* openLibrary(const std::filesystem::path& file, std::string& reason);
    static VstPluginMainProc findEntry(void* library, const char* name);
    static void closeLibrary(void* library);

    void* handle = nullptr;
    VstPluginMainProc entry = nullptr;
};

}  // namespace host
