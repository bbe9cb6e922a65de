// GDI+ for the drawing backend: started when its first user comes and shut down when the last
// one goes, so that a host that unloads the plug-in keeps no GDI+ token of ours. An open window
// is a user for its whole life, a drawing context while it draws, a PNG decoder or encoder for
// its call. Never used from DllMain: GdiplusStartup and GdiplusShutdown must not run under the
// loader's lock.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "gui/cfont.h"

namespace gdiplus_backend {

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // False when GDI+ could not be started: nothing is drawn through it then.
    bool ok() const { return started; }

private:
    bool started = false;
};

// Whether GDI+ runs in this process on our behalf (for the tests of its lifetime).
bool isRunning();

// A font of the family, pixel size and face, with the vertical metrics that text layout needs.
// The fonts live until GDI+ is shut down; only call with a live Session.
struct FontMetrics {
    Gdiplus::GpFont* font = nullptr;  // null when no family of that name or a fallback exists
    float ascent = 0;   // pixels above the baseline
    float descent = 0;  // pixels below it
};
FontMetrics fontFor(const CFontDesc& desc);

// Frees the fonts now (they come back on demand while GDI+ runs).
void releaseFonts();

}  // namespace gdiplus_backend
