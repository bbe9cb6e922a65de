// The per-user settings store: named values shared by every instance of the plug-in for one
// user, surviving the host. Each value is a file named exactly as the value, in the folder
// $XDG_CONFIG_HOME/QZA-tonefold/QZAChordwell/ (~/.config when the variable is unset):
// binary values as their raw bytes, text values as UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

class SettingsStore {
public:
    // The folder of the values, or an empty text when neither XDG_CONFIG_HOME nor HOME is set.
    static std::string folder();

    // Creates the folder when it is missing and replaces the value. False on any failure.
    static bool write(const char* name, const void* data, std::size_t size);
    static bool writeText(const char* name, const std::string& text);

    // A binary value of exactly `size` bytes; false (buffer untouched) when it is missing,
    // unreadable or of another size.
    static bool read(const char* name, void* data, std::size_t size);
    // A text value of at most maxSize bytes; nothing otherwise.
    static std::optional<std::string> readText(const char* name, std::size_t maxSize);

    // Deletes one value; true when it is gone.
    static bool remove(const char* name);
};

}  // namespace platform
