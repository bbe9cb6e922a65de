// A frame's child window inside the host's window on Windows: a window of our own class,
// painted from the frame's back buffer on WM_PAINT, turning mouse, wheel and key messages into
// the frame's calls, capturing the mouse for a drag and running a timer on request. GDI+ stays
// up while it exists. It belongs to the thread that created it, the host's interface thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "gui/click_counter.h"
#include "gui/gdiplus/gdiplus_session.h"
#include "gui/platform_window.h"

class Win32Window : public PlatformWindow {
public:
    // Null when the parent is not a window or ours cannot be made.
    static std::unique_ptr<Win32Window> create(HWND parent, CFrame& frame, const PixelSurface& backBuffer);
    ~Win32Window() override;

    void present(const CRect& rect) override;
    void resize(const PixelSurface& newBackBuffer) override;
    void flush() override;
    void takeFocus() override;
    std::uintptr_t topLevelWindow() override;
    void captureMouse() override;
    void releaseMouse() override;
    bool startTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void stopTimer() override;

    // Null once the window is gone (destroyed with the host's window).
    HWND handle() const { return window; }

private:
    Win32Window(CFrame& frame, const PixelSurface& backBuffer);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // One message. The frame's handlers may close the frame and so destroy this object:
    // nothing of it is touched after the frame has been called.
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void mouseDown(std::int32_t button, WPARAM wParam, LPARAM lParam);
    void mouseUp(std::int32_t button, WPARAM wParam, LPARAM lParam);
    bool character(wchar_t unit);

    HWND window = nullptr;
    CFrame& frame;
    const PixelSurface* backBuffer;
    gdiplus_backend::Session gdiplus;  // kept up while the window is open, not per redraw
    ClickCounter clicks;
    std::function<void()> tick;
    bool trackingLeave = false;   // a WM_MOUSELEAVE has been asked for
    bool releasingCapture = false;  // our own ReleaseCapture, not a capture taken from us
    wchar_t pendingHighSurrogate = 0;
};

// The window class of every frame window of this module: registered when the first window
// opens, kept until unregisterFrameWindowClass() (the DLL calls it when it is unloaded).
void unregisterFrameWindowClass();
// Whether the class is registered now.
bool frameWindowClassIsRegistered();
