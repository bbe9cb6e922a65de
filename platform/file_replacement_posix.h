// Crash-safe replacement of a file on POSIX systems: the new content goes to a fresh file
// beside the file being replaced, which is flushed to disk and renamed over it once complete.
// Used by the platform's own whole-file writes and by the command-line host's audio and
// picture output.
//
// A target that is a symbolic link keeps its link: what is replaced is the file at the end of
// the chain of links, as an editor writing through the link would. The new file takes over the
// old one's permission bits (and, where the process may, its owner and group), so a private
// 0600 file stays private.
#pragma once

#include <string>

namespace platform {

// The file a write to `target` replaces: the target itself, or the end of the chain of
// symbolic links that starts there (whether or not that file exists yet).
std::string replacedFile(const std::string& target);

// Creates a new, empty file in the replaced file's folder under a random hidden name derived
// from its name ("<folder>/.<name>.<random>.tmp"), open for writing and closed on exec. When
// the replaced file exists it gets that file's permissions; otherwise mode 0666, so the umask
// alone decides, as for any new document. Answers the descriptor and stores the file's path;
// -1 with errno set when no file can be created there, or when the replaced file exists but
// this process may not write to it (a read-only file stays as it is).
int createFileBeside(const std::string& target, std::string& temporary);

// Flushes the finished temporary file to disk, renames it over the file that `target`
// replaces, then flushes the folder so that the new name itself survives a power cut. False
// with errno set when the flush or the rename fails (both files are then as they were). The
// rename is the point of no return: a folder that the file system will not flush is left to
// its own write-back.
bool renameOver(const std::string& temporary, const std::string& target);

}  // namespace platform
