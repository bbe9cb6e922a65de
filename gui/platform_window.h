// The window system behind a frame: a child window inside the host's window that shows the
// frame's back buffer and reports the user's input to the frame. One implementation per
// platform (gui/x11 for X11, gui/win32 for Windows); nothing else in the toolkit names a
// window-system type.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "gui/cgeometry.h"

class CFrame;
class PixelSurface;

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
    // Copies this rectangle of the back buffer to the screen.
    virtual void present(const CRect& rect) = 0;
    // Shows `backBuffer` from now on (it must outlive the window or the next call) and takes
    // its size. The parent window is the host's to resize.
    virtual void resize(const PixelSurface& backBuffer) = 0;
    // Sends everything presented so far to the window system.
    virtual void flush() = 0;
    // Asks for the keyboard, so that typed keys come to this window (a text field starts
    // editing). Hosts that keep the keyboard forward keys through the editor instead.
    virtual void takeFocus() = 0;
    // Keeps every pointer move and the release coming to this window, also outside it, from a
    // press that a view took until releaseMouse(): the frame asks for it when a view answers a
    // press with kMouseEventHandled and gives it back on the release. Where every press grabs
    // the pointer by itself (X11) there is nothing to do.
    virtual void captureMouse() = 0;
    virtual void releaseMouse() = 0;
    // Calls `tick` every intervalMs milliseconds on this window's thread, from the window
    // system's own event delivery, until stopTimer() or the window's end; a second start
    // replaces the first. False where the window system delivers nothing by itself (X11, whose
    // events the host's idle calls drain): those calls then drive the window alone.
    virtual bool startTimer(std::uint32_t intervalMs, std::function<void()> tick) = 0;
    virtual void stopTimer() = 0;
    // The top-level window this one lies in, for dialogs that belong to it; 0 when unknown.
    virtual std::uintptr_t topLevelWindow() = 0;
};

// Creates and shows a child window of `parent` (the host's native window handle) the size
// of `backBuffer`. Input is reported to `frame`; exposed parts are copied from `backBuffer`,
// which must outlive the window. Null when the parent is null or unusable or the window
// system cannot be reached; nothing is left open then.
std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, const PixelSurface& backBuffer);

// The host's idle call, before the frame redraws: where the window system hands out events
// only when asked (X11, which has no run loop inside a plug-in), the pending ones go to their
// frames now; where it delivers them through the host's own message loop (Windows), nothing
// is left to do.
void dispatchWindowEvents();

// The file descriptor on which the window system's events arrive while a window is open, for
// hosts that watch it and then call the idle step (X11); -1 where the host's own message loop
// delivers the events (Windows) or no window is open.
int windowEventDescriptor();

