// A frame's child window inside the host's X11 window: shows the frame's back buffer by
// sending its pixels to the server (XPutImage) and turns X input events into the frame's
// mouse, wheel and key calls.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>

#include "gui/click_counter.h"
#include "gui/platform_window.h"

class X11Connection;

class X11Window : public PlatformWindow {
public:
    // Null when the parent does not exist or the window cannot be made; the connection is
    // released again then.
    static std::unique_ptr<X11Window> create(Window parent, CFrame& frame, const PixelSurface& backBuffer);
    ~X11Window() override;

    void present(const CRect& rect) override;
    void resize(const PixelSurface& newBackBuffer) override;
    void flush() override;
    void takeFocus() override;
    // X grabs the pointer for the window of every press until the release.
    void captureMouse() override {}
    void releaseMouse() override {}
    // No timers of its own: the host's idle calls pump the events and redraw.
    bool startTimer(std::uint32_t /*intervalMs*/, std::function<void()> /*tick*/) override { return false; }
    void stopTimer() override {}
    std::uintptr_t topLevelWindow() override;

    Window id() const { return window; }
    // One event of this window. The frame's handler may close the frame and so destroy this
    // object: nothing of it is touched after the frame has been called.
    void handleEvent(XEvent& event);

private:
    X11Window(X11Connection& connection, Window window, Visual* visual, CFrame& frame, const PixelSurface& backBuffer);
    // Destroyed with its parent, or its connection lost with the server: nothing is sent.
    bool isGone() const;
    // The host may make our window larger than the editor (Ardour sizes its plug-in window by
    // its toolbar, wider than the editor, and our window with it). The part of an exposed
    // area that lies beyond the back buffer is filled with the frame's background colour:
    // the window has no background of its own (so the editor shows without a flash), and
    // what was on the screen before would show there otherwise.
    void fillBeyondBackBuffer(int x, int y, int width, int height);

    X11Connection& connection;
    Window window;
    Visual* visual;
    int depth = 0;
    GC gc = nullptr;
    bool directCopy = false;  // the back buffer's words are the window's pixels as they are
    CFrame& frame;
    const PixelSurface* backBuffer;
    ClickCounter clicks;
    Time lastPressTime = CurrentTime;  // focus requests carry the time of the press behind them
    bool windowGone = false;  // destroyed with its parent
};
