// chordwell screenshot: QZA Chordwell's editor drawn offscreen, without any window system,
// into a PNG file. The plug-in interface offers no offscreen drawing, so the effect is
// built inside chordwell itself rather than loaded from its library.
#pragma once

#include <filesystem>

#include "host/startup_settings.h"

namespace host {

struct ScreenshotOptions {
    std::filesystem::path output;  // a .png file
    StartupSettings settings;
    int scalePercent = 100;  // the editor's screen scale
};

// Builds the effect, applies the settings, opens its editor offscreen, draws it and writes
// the picture through a temporary file renamed over the output, so that a failure leaves
// no file. Throws CHostError.
void writeEditorScreenshot(const ScreenshotOptions& options);

// Frees the drawing caches, once at the very end of the program, if a screenshot was drawn
// in it. Nothing else of the program may draw afterwards.
void releaseScreenshotCaches();

}  // namespace host
