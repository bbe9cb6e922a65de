// The Windows window of a frame, inside a host's window under the real message loop: what it
// shows, mouse and capture, double clicks, typed characters, the wheel, its timer, and what it
// leaves behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gui/gdiplus/gdiplus_session.h"
#include "gui/platform_window.h"
#include "gui/win32/win32_window.h"
#include "gui_test_support.h"
#include "win32_host_window.h"

using guitest::CountingView;
using win32test::HostWindow;
using win32test::pumpUntil;

namespace {

// Records presses with their button states, keys and wheel notches.
struct InputRecorder : CountingView {
    using CountingView::CountingView;
    std::vector<std::int32_t> presses;
    std::vector<VstKeyCode> keys;
    std::vector<float> wheel;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        presses.push_back(buttons);
        return CountingView::onMouseDown(where, buttons);
    }
    std::int32_t onKeyDown(VstKeyCode& key) override {
        keys.push_back(key);
        return kKeyHandled;
    }
    bool onWheel(const CPoint&, const float& distance, const CButtonState&) override {
        wheel.push_back(distance);
        return true;
    }
};

HWND childOf(const CFrame& frame) { return static_cast<Win32Window*>(frame.getPlatformWindow())->handle(); }

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

// The colour the window shows at (x, y), read back from the screen.
COLORREF shownAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

}  // namespace

TEST(Win32Window, OpensInsideTheHostAndShowsTheBackBuffer) {
    HostWindow host;
    ASSERT_TRUE(host.ok());
    CFrame* frame = new CFrame(CRect(0, 0, 120, 80), host.handle(), nullptr);
    ASSERT_TRUE(frame->isOpen());
    EXPECT_TRUE(frameWindowClassIsRegistered());
    EXPECT_TRUE(gdiplus_backend::isRunning());  // kept up while the window is open
    frame->addView(new CountingView(CRect(10, 10, 30, 30), kRedCColor));
    frame->idle();

    const std::vector<HWND> kids = host.children();
    ASSERT_EQ(kids.size(), 1u);
    RECT client{};
    GetClientRect(kids[0], &client);
    EXPECT_EQ(client.right, 120);
    EXPECT_EQ(client.bottom, 80);
    EXPECT_TRUE(IsWindowVisible(kids[0]));
    EXPECT_EQ(GetAncestor(kids[0], GA_ROOT), host.handle());
    EXPECT_EQ(frame->getPlatformWindow()->topLevelWindow(), reinterpret_cast<std::uintptr_t>(host.handle()));
    // A paint that the system asks for shows the back buffer too.
    InvalidateRect(kids[0], nullptr, FALSE);
    EXPECT_TRUE(pumpUntil([&] { return shownAt(kids[0], 15, 15) == RGB(255, 0, 0); })) << std::hex
                                                                                         << shownAt(kids[0], 15, 15);
    EXPECT_EQ(shownAt(kids[0], 50, 50), RGB(0, 0, 0));

    frame->close();
    EXPECT_TRUE(host.children().empty());
    EXPECT_FALSE(gdiplus_backend::isRunning());  // no GDI+ left behind
    // Unregistered once no window uses it (as when the DLL unloads), registered again on demand.
    unregisterFrameWindowClass();
    EXPECT_FALSE(frameWindowClassIsRegistered());
}

TEST(Win32Window, UnusableParentsOpenNothing) {
    CFrame* frame = new CFrame(CRect(0, 0, 50, 50), reinterpret_cast<void*>(std::uintptr_t{0x7ffff0}), nullptr);
    EXPECT_FALSE(frame->isOpen());
    frame->idle();  // still draws offscreen
    frame->close();

    // The host destroys its window before the editor closes: closing stays quiet.
    HostWindow host;
    CFrame* orphan = new CFrame(CRect(0, 0, 50, 50), host.handle(), nullptr);
    ASSERT_TRUE(orphan->isOpen());
    host.destroy();
    orphan->idle();
    orphan->close();
    EXPECT_FALSE(gdiplus_backend::isRunning());
}

TEST(Win32Window, PressesCaptureCountDoubleClicksAndReleaseOnTheUp) {
    HostWindow host;
    CFrame* frame = new CFrame(CRect(0, 0, 60, 60), host.handle(), nullptr);
    ASSERT_TRUE(frame->isOpen());
    auto* view = new InputRecorder(CRect(0, 0, 60, 60), kBlueCColor);
    frame->addView(view);
    const HWND child = childOf(*frame);

    // A press that the view takes holds the mouse until the release, outside the window too.
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    ASSERT_TRUE(pumpUntil([&] { return view->downs == 1; }));
    EXPECT_EQ(GetCapture(), child);
    PostMessageW(child, WM_MOUSEMOVE, MK_LBUTTON, at(-15, 90));
    PostMessageW(child, WM_LBUTTONUP, 0, at(-15, 90));
    ASSERT_TRUE(pumpUntil([&] { return view->ups == 1; }));
    EXPECT_NE(GetCapture(), child);
    // A second press close by at once is a double click; the right button counts on its own.
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(22, 21));
    PostMessageW(child, WM_LBUTTONUP, 0, at(22, 21));
    PostMessageW(child, WM_RBUTTONDOWN, MK_RBUTTON, at(22, 21));
    PostMessageW(child, WM_RBUTTONUP, 0, at(22, 21));
    ASSERT_TRUE(pumpUntil([&] { return view->presses.size() == 3; }));
    EXPECT_EQ(view->presses[0], kLButton);
    EXPECT_TRUE(view->presses[1] & kDoubleClick);
    EXPECT_EQ(view->presses[2], kRButton);

    // Someone else takes the mouse in the middle of a drag: the drag ends.
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    ASSERT_TRUE(pumpUntil([&] { return GetCapture() == child; }));
    SetCapture(host.handle());
    EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
    EXPECT_EQ(view->ups, 4);
    ReleaseCapture();
    frame->close();
}

TEST(Win32Window, CharactersKeysAndTheWheelReachTheFrame) {
    HostWindow host;
    CFrame* frame = new CFrame(CRect(0, 0, 60, 60), host.handle(), nullptr);
    ASSERT_TRUE(frame->isOpen());
    auto* view = new InputRecorder(CRect(0, 0, 60, 60), kBlueCColor);
    view->setWantsFocus(true);
    frame->addView(view);
    frame->setFocusView(view);
    const HWND child = childOf(*frame);

    SendMessageW(child, WM_CHAR, L'\u00e9', 0);
    SendMessageW(child, WM_CHAR, 0xd83c, 0);  // U+1F3B8 as two UTF-16 units
    SendMessageW(child, WM_CHAR, 0xdfb8, 0);
    SendMessageW(child, WM_CHAR, 0xdfb8, 0);  // a lone second half types nothing
    SendMessageW(child, WM_CHAR, L'\b', 0);   // came as the Backspace key already
    SendMessageW(child, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(child, WM_KEYDOWN, 'A', 0);  // a letter arrives as its character only
    ASSERT_EQ(view->keys.size(), 3u);
    EXPECT_EQ(view->keys[0].character, 0xe9);
    EXPECT_EQ(view->keys[1].character, 0x1f3b8);
    EXPECT_EQ(view->keys[2].virt, VKEY_LEFT);
    EXPECT_EQ(view->keys[2].character, 0);
    EXPECT_EQ(SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);

    POINT screen{30, 30};
    ClientToScreen(child, &screen);
    // The notches in the upper word of wParam, as a signed 16-bit number.
    const auto notches = [](int delta) { return static_cast<WPARAM>(static_cast<std::uint16_t>(delta)) << 16; };
    SendMessageW(child, WM_MOUSEWHEEL, notches(WHEEL_DELTA * 2), MAKELPARAM(screen.x, screen.y));
    SendMessageW(child, WM_MOUSEWHEEL, notches(-WHEEL_DELTA / 2), MAKELPARAM(screen.x, screen.y));
    ASSERT_EQ(view->wheel.size(), 2u);
    EXPECT_EQ(view->wheel[0], 2.0f);
    EXPECT_EQ(view->wheel[1], -0.5f);
    frame->close();
}

TEST(Win32Window, TimerTicksOnTheWindowUntilStopped) {
    HostWindow host;
    CFrame* frame = new CFrame(CRect(0, 0, 40, 40), host.handle(), nullptr);
    ASSERT_TRUE(frame->isOpen());
    int ticks = 0;
    ASSERT_TRUE(frame->getPlatformWindow()->startTimer(10, [&] { ++ticks; }));
    EXPECT_TRUE(pumpUntil([&] { return ticks >= 3; }));
    frame->getPlatformWindow()->stopTimer();
    const int stopped = ticks;
    win32test::pumpFor(std::chrono::milliseconds(60));
    EXPECT_EQ(ticks, stopped);
    // A window closed with its timer running leaves none behind.
    ASSERT_TRUE(frame->getPlatformWindow()->startTimer(10, [&] { ++ticks; }));
    frame->close();
    win32test::pumpFor(std::chrono::milliseconds(60));
    EXPECT_EQ(ticks, stopped);
}
