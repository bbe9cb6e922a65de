// The window system behind a frame: a child window inside the host's window that shows the
// frame's back buffer and reports the user's input to the frame. One implementation per
// platform (gui/x11 for X11); nothing else in the toolkit names a window-system type.
#pragma once

#include <memory>

#include "gui/cgeometry.h"

class CFrame;
class PixelSurface;

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
    // Copies this rectangle of the back buffer to the screen.
    virtual void present(const CRect& rect) = 0;
    // Sends everything presented so far to the window system.
    virtual void flush() = 0;
};

// Creates and shows a child window of `parent` (the host's native window handle) the size
// of `backBuffer`. Input is reported to `frame`; exposed parts are copied from `backBuffer`,
// which must outlive the window. Null when the parent is null or unusable or the window
// system cannot be reached; nothing is left open then.
std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, const PixelSurface& backBuffer);

// Drains the window system's pending events and hands each to the frame of its window.
// Does nothing while no window is open.
void pumpPlatformEvents();

// Whether this process holds a connection to the window system (one is open exactly while
// at least one platform window exists).
bool platformConnectionIsOpen();
