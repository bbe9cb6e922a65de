// Problems the plug-in cannot show in its window (a file that cannot be read, no file
// chooser on the system) are told to whoever runs the host, one line each.
#pragma once

#include <string>

namespace platform {

// Writes "QZA Chordwell: <text>" as one line where the host's diagnostics go.
void reportProblem(const std::string& text);

}  // namespace platform
