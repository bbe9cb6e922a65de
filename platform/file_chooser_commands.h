// The command lines of the desktops' own file choosers (zenity, kdialog) for a file dialog
// request, and the reading of what they print. No process is started here.
#pragma once

#include <string>
#include <vector>

#include "platform/file_dialog.h"

namespace platform {

enum class FileChooser { zenity, kdialog };

// The arguments after the program's name. Every value travels as an argument of its own or
// fused to its option ("--title=..."), so no text can be taken for an option; the request's
// initial directory must be absolute.
std::vector<std::string> fileChooserArguments(FileChooser chooser, const FileDialogRequest& request);

// The paths a chooser printed: one per line (several only for a multiple selection).
std::vector<std::string> chosenPaths(const std::string& output, bool multipleFiles);

// The path with ".extension" added when its file name has no extension of its own.
std::string withDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace platform
