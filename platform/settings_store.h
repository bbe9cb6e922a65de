// The per-user settings store: a few named values shared by every instance of the plug-in run
// by one user, kept across runs of the host. A value is either binary (a preset or bank image,
// read back only at exactly its size) or a text (UTF-8 in the program). Each operation stands
// alone: nothing is held open between operations, and a failure changes nothing and is only
// reported through the return value (with the system's reason, for the writes). Where the
// values live is each system's own matter (see settings_store_<system>.cpp); location() names
// it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/failure.h"

namespace platform {

class SettingsStore {
public:
    // Where the values live, as a user would look for them (a folder, a registry key); empty
    // when the store cannot be reached.
    static std::string location();

    // Creates or replaces the value (and whatever holds the values, when it is missing).
    static Outcome write(const char* name, const void* data, std::size_t size);
    static Outcome writeText(const char* name, const std::string& text);

    // A binary value of exactly `size` bytes; false (buffer untouched) when it is missing,
    // unreadable, of another size or not binary.
    static bool read(const char* name, void* data, std::size_t size);
    // A text value of at most maxSize bytes of UTF-8; nothing otherwise.
    static std::optional<std::string> readText(const char* name, std::size_t maxSize);

    // Deletes one value; succeeds when it is gone, also when it was never there.
    static Outcome remove(const char* name);
};

}  // namespace platform
