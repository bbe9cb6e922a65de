// Output files are written beside their target under a temporary name and renamed over it
// only when complete, so a failed or interrupted run never leaves a half-written file.
#pragma once

#include <filesystem>

namespace host {

// Creates an empty file under a random hidden name in the folder of the file the target
// replaces (through a symbolic link, the file it points to), with that file's permissions, or
// those a newly created file gets. Answers its open descriptor and stores its path; throws
// CHostError when it cannot be created.
int createTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary);

// Flushes the finished temporary file to disk and renames it over the target (a symbolic link
// stays and the file it points to is replaced), durably. Throws CHostError naming the target
// when the flush or the rename fails.
void moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target);

}  // namespace host
