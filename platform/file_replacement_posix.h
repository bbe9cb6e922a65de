// Crash-safe replacement of a file on POSIX systems: the new content goes to a fresh file
// beside the target, which is renamed over the target once complete. Used by the platform's
// own whole-file writes and by the command-line host's audio and picture output.
#pragma once

#include <string>

namespace platform {

// Creates a new, empty file in the target's folder under a random hidden name derived from
// the target's ("<folder>/.<name>.<random>.tmp"), open for writing and closed on exec. It is
// created with mode 0666, so the process's umask alone decides its permissions, as for any
// new document. Answers the descriptor and stores the file's path; -1 with errno set when no
// file can be created there.
int createFileBeside(const std::string& target, std::string& temporary);

// Renames the temporary file over the target, then flushes the folder so that the new name
// itself survives a power cut. False with errno set when the rename fails (both files are
// then as they were). The rename is the point of no return: a folder that the file system
// will not flush is left to its own write-back.
bool renameOver(const std::string& temporary, const std::string& target);

}  // namespace platform
