// Output files are written beside their target under a temporary name and renamed over it
// only when complete, so a failed or interrupted run never leaves a half-written file.
#pragma once

#include <filesystem>

namespace host {

// Creates an empty file under a random hidden name in the target's folder, with the
// permissions a newly created file gets. Answers its open descriptor and stores its path;
// throws CHostError when it cannot be created.
int createTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary);

// Renames the finished temporary file over the target, durably. Throws CHostError naming the
// target when the rename fails.
void moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target);

}  // namespace host
