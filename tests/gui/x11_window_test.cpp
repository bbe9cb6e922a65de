// The X11 window backend against a real server (Xvfb in CI): runs only where DISPLAY is
// set. Opening without a server or with a bad parent fails cleanly everywhere.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "gui/aeffguieditor.h"
#include "gui/platform_window.h"
#include "gui/x11/x11_events.h"
#include "gui_test_support.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using guitest::CountingView;

namespace {

// The test's own connection, standing in for the host: it owns the top-level window our
// frame opens inside.
class HostWindow {
public:
    HostWindow() {
        dpy = XOpenDisplay(nullptr);
        if (!dpy) return;
        window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 400, 300, 0, 0, 0);
        XMapWindow(dpy, window);
        XSync(dpy, False);
    }
    ~HostWindow() {
        if (!dpy) return;
        XDestroyWindow(dpy, window);
        XCloseDisplay(dpy);
    }
    bool ok() const { return dpy != nullptr; }
    void* handle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }

    // The ids of our window's children, as the server sees them.
    std::vector<Window> children() {
        XSync(dpy, False);
        Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<Window> result;
        if (XQueryTree(dpy, window, &root, &parent, &list, &count)) {
            result.assign(list, list + count);
            if (list) XFree(list);
        }
        return result;
    }

    // A button press or release sent to `target` as the server would deliver it.
    void sendButton(Window target, int type, unsigned button, int x, int y, Time time, unsigned state = 0) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.display = dpy;
        e.xbutton.window = target;
        e.xbutton.root = DefaultRootWindow(dpy);
        e.xbutton.time = time;
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = button;
        e.xbutton.state = state;
        e.xbutton.same_screen = True;
        XSendEvent(dpy, target, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        XSync(dpy, False);
    }

    Display* dpy = nullptr;
    Window window = 0;
};

bool haveDisplay() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

// Records the button states of presses.
struct PressRecorder : CountingView {
    using CountingView::CountingView;
    std::vector<std::int32_t> states;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        states.push_back(buttons);
        return CountingView::onMouseDown(where, buttons);
    }
};

}  // namespace

TEST(X11Window, OpeningWithoutAServerFailsCleanly) {
    ASSERT_FALSE(platformConnectionIsOpen());
    const char* saved = std::getenv("DISPLAY");
    const std::string keep = saved ? saved : "";
    unsetenv("DISPLAY");
    CFrame* frame = new CFrame(CRect(0, 0, 50, 50), reinterpret_cast<void*>(std::uintptr_t{0x1234}), nullptr);
    EXPECT_FALSE(frame->isOpen());
    EXPECT_FALSE(platformConnectionIsOpen());
    frame->idle();  // still draws offscreen
    frame->close();
    if (saved) setenv("DISPLAY", keep.c_str(), 1);
}

TEST(X11Window, OpensInsideTheHostWindowTwiceInARowAndClosesTheConnection) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    HostWindow host;
    ASSERT_TRUE(host.ok());
    for (int round = 0; round < 2; ++round) {
        CFrame* frame = new CFrame(CRect(0, 0, 120, 80), host.handle(), nullptr);
        ASSERT_TRUE(frame->isOpen());
        EXPECT_TRUE(platformConnectionIsOpen());
        frame->addView(new CountingView(CRect(10, 10, 30, 30), kRedCColor));
        for (int i = 0; i < 5; ++i) {
            pumpPlatformEvents();
            frame->idle();
        }
        const auto kids = host.children();
        ASSERT_EQ(kids.size(), 1u);
        XWindowAttributes attributes{};
        ASSERT_TRUE(XGetWindowAttributes(host.dpy, kids[0], &attributes));
        EXPECT_EQ(attributes.width, 120);
        EXPECT_EQ(attributes.height, 80);
        EXPECT_EQ(attributes.map_state, IsViewable);
        // What the window shows is the back buffer (checked where pixels are plain RGB).
        // The window shows its pixels once the server has mapped it and the expose has been
        // answered, which may take a moment on a busy machine: poll for it.
        if (attributes.depth >= 24 && attributes.visual->c_class == TrueColor) {
            unsigned long inside = 0, outside = 1;
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (std::chrono::steady_clock::now() < deadline) {
                pumpPlatformEvents();
                frame->idle();
                XImage* image = XGetImage(host.dpy, kids[0], 0, 0, 40, 40, AllPlanes, ZPixmap);
                ASSERT_NE(image, nullptr);
                inside = XGetPixel(image, 15, 15) & 0xffffff;
                outside = XGetPixel(image, 35, 35) & 0xffffff;
                XDestroyImage(image);
                if (inside == 0xff0000u && outside == 0u) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_EQ(inside, 0xff0000u);
            EXPECT_EQ(outside, 0u);
        }
        frame->close();
        EXPECT_FALSE(platformConnectionIsOpen());
        EXPECT_TRUE(host.children().empty());
    }
}

// A host that makes our window larger than the editor (Ardour sizes it by its own toolbar):
// right of the editor, below it and beyond both the window shows the frame's background
// colour, not what the screen showed there before (here the host window's white).
TEST(X11Window, AWindowTheHostMadeLargerIsPaintedBeyondTheEditor) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    HostWindow host;
    ASSERT_TRUE(host.ok());
    XSetWindowBackground(host.dpy, host.window, WhitePixel(host.dpy, DefaultScreen(host.dpy)));
    XClearWindow(host.dpy, host.window);
    CFrame* frame = new CFrame(CRect(0, 0, 120, 80), host.handle(), nullptr);
    frame->setBackgroundColor(kBlueCColor);
    const Window ours = host.children().at(0);
    XResizeWindow(host.dpy, ours, 180, 100);
    std::vector<unsigned long> seen;
    for (int tries = 0; tries < 500 && seen != std::vector<unsigned long>(3, 0x0000ffu); ++tries) {
        pumpPlatformEvents();
        XImage* image = XGetImage(host.dpy, ours, 0, 0, 180, 100, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        seen = {XGetPixel(image, 150, 40) & 0xffffff, XGetPixel(image, 60, 90) & 0xffffff,
                XGetPixel(image, 170, 95) & 0xffffff};
        XDestroyImage(image);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(seen, std::vector<unsigned long>(3, 0x0000ffu));
    frame->close();
}

TEST(X11Window, TwoFramesShareOneConnectionAndEventsReachTheRightFrame) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    HostWindow hostA, hostB;
    ASSERT_TRUE(hostA.ok() && hostB.ok());
    CFrame* a = new CFrame(CRect(0, 0, 60, 60), hostA.handle(), nullptr);
    CFrame* b = new CFrame(CRect(0, 0, 60, 60), hostB.handle(), nullptr);
    ASSERT_TRUE(a->isOpen() && b->isOpen());
    auto* viewA = new PressRecorder(CRect(0, 0, 60, 60), kRedCColor, kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    auto* viewB = new PressRecorder(CRect(0, 0, 60, 60), kBlueCColor, kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    a->addView(viewA);
    b->addView(viewB);
    pumpPlatformEvents();

    const Window windowB = hostB.children().at(0);
    // Two presses 100 ms and 2 px apart make a double click; a third 1 s later does not.
    hostB.sendButton(windowB, ButtonPress, Button1, 20, 20, 1000);
    hostB.sendButton(windowB, ButtonRelease, Button1, 20, 20, 1050);
    hostB.sendButton(windowB, ButtonPress, Button1, 22, 21, 1100, ShiftMask);
    hostB.sendButton(windowB, ButtonPress, Button3, 22, 21, 2100);
    pumpPlatformEvents();
    EXPECT_EQ(viewA->downs, 0);
    ASSERT_EQ(viewB->states.size(), 3u);
    EXPECT_EQ(viewB->states[0], kLButton);
    EXPECT_EQ(viewB->states[1], kLButton | kShift | kDoubleClick);
    EXPECT_EQ(viewB->states[2], kRButton);

    a->close();
    EXPECT_TRUE(platformConnectionIsOpen());  // b still uses it
    pumpPlatformEvents();
    b->idle();
    b->close();
    EXPECT_FALSE(platformConnectionIsOpen());
}

TEST(X11Window, EditorOpensAndFailsCleanlyOnABadParent) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    HostWindow host;
    ASSERT_TRUE(host.ok());
    // A window id that does not exist: refused, nothing left open, no crash.
    CFrame* frame = new CFrame(CRect(0, 0, 50, 50), reinterpret_cast<void*>(std::uintptr_t{0x7ffffff0}), nullptr);
    EXPECT_FALSE(frame->isOpen());
    EXPECT_FALSE(platformConnectionIsOpen());
    frame->close();

    // The host destroys its window before the editor closes: closing stays quiet.
    HostWindow* doomed = new HostWindow;
    CFrame* orphan = new CFrame(CRect(0, 0, 50, 50), doomed->handle(), nullptr);
    ASSERT_TRUE(orphan->isOpen());
    delete doomed;
    pumpPlatformEvents();
    orphan->idle();
    orphan->close();
    EXPECT_FALSE(platformConnectionIsOpen());
}
