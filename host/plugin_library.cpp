#include "host/plugin_library.h"

#include <system_error>

#include "host/host_error.h"

namespace host {

CPluginLibrary::CPluginLibrary(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CHostError("plug-in not found: " + path.string());
    if (std::filesystem::is_directory(path, error))
        throw CHostError("plug-in path is a directory, not a library: " + path.string());

    // The system's loader searches its own folders for a bare file name; an absolute path
    // loads exactly the file the user named.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::string reason;
    handle = openLibrary(error ? path : absolute, reason);
    if (handle == nullptr) throw CHostError("cannot load plug-in " + path.string() + ": " + reason);
    entry = findEntry(handle, "VSTPluginMain");
    if (entry == nullptr) entry = findEntry(handle, "main");
    if (entry == nullptr) {
        closeLibrary(handle);
        handle = nullptr;
        throw CHostError("not a VST 2.4 plug-in: " + path.string() + " exports neither VSTPluginMain nor main");
    }
}

CPluginLibrary::~CPluginLibrary() {
    if (handle != nullptr) closeLibrary(handle);
}

}  // namespace host
