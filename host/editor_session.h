// chordwell gui: a plug-in's editor in a window of its own, driven as a host drives one,
// with every parameter change made in it written to the output stream.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "host/startup_settings.h"

namespace host {

// Longest --seconds accepted: a day.
inline constexpr double kMaxEditorSeconds = 86400.0;

struct EditorSessionOptions {
    std::filesystem::path plugin;
    StartupSettings settings;
    std::optional<double> seconds;  // none: until the window is closed or the process is interrupted
    // The screen scale to tell the plug-in, in percent (as the hosts' 'PreS' vendor call);
    // none: the plug-in chooses.
    std::optional<int> scalePercent;
};

// Loads and opens the plug-in (no audio is processed), applies the settings, shows its
// editor in a top-level window and idles it about every 20 ms until the user closes the
// window, SIGINT or SIGTERM arrives, or the time is up; then closes editor and plug-in.
// Throws CHostError when there is no X display, the plug-in has no editor, its editor does
// not open, or the X server goes away while it is shown (editor and plug-in closed first).
void runEditorSession(const EditorSessionOptions& options, std::ostream& out);

}  // namespace host
