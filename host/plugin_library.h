// A plug-in's shared library, opened with dlopen, and its VST 2.4 entry point.
#pragma once

#include <filesystem>

#include "vst/aeffect.h"

namespace host {

class CPluginLibrary {
public:
    // Opens the library and finds its entry point: VSTPluginMain, or main where that is
    // the only one (as many Linux plug-ins export). Throws CHostError when the file is
    // missing, cannot be loaded, or has neither symbol.
    explicit CPluginLibrary(const std::filesystem::path& path);
    ~CPluginLibrary();
    CPluginLibrary(const CPluginLibrary&) = delete;
    CPluginLibrary& operator=(const CPluginLibrary&) = delete;

    VstPluginMainProc entryPoint() const { return entry; }

private:
    void* handle = nullptr;
    VstPluginMainProc entry = nullptr;
};

}  // namespace host
