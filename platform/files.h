// Whole-file reads and crash-safe writes by full path, and the process's working directory.
// Paths are UTF-8 texts; each system has its own implementation (files_<system>.cpp).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/failure.h"

namespace platform {

// The folder separator of the paths that this system's file dialogs return, and that paths made
// here use: '/' on POSIX systems, '\\' on Windows (which accepts '/' as well).
extern const char kPathSeparator;

// The process's working directory, or an empty text when it cannot be told.
std::string workingDirectory();

// Reads up to `size` bytes from the start of the file into buffer, leaving the rest of the
// buffer as it was. Fails when the file cannot be opened or read.
Outcome readFilePrefix(const std::string& path, void* buffer, std::size_t size);

// The whole file when it holds exactly `size` bytes; nothing when it is missing, unreadable
// or of another size.
bool readFileExactly(const std::string& path, void* buffer, std::size_t size);

// The file's text when it holds at most maxSize bytes; nothing otherwise.
std::optional<std::string> readSmallTextFile(const std::string& path, std::size_t maxSize);

// Replaces the file's content: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the old one, so a crash or a full disk never leaves a
// truncated file behind. A symbolic link stays and the file it points to is replaced; a file
// that exists keeps its permissions. On any failure the old file is untouched.
Outcome writeFileAtomically(const std::string& path, const void* data, std::size_t size);

// Creates the folder and its missing parents; succeeds when it exists afterwards.
Outcome makeFolders(const std::string& path);

// Succeeds when the file is gone, also when it was never there.
Outcome removeFile(const std::string& path);

}  // namespace platform
