// The VST3 view in a real X11 window, driven only by a stand-in of the host's run loop: it
// embeds the editor, takes a click and keys from the host into the preset name field, asks the
// host's frame for a new size when the screen scale changes, and leaves no window and no
// connection behind after a hundred openings; with the VST 2.4 library's editor beside it in
// the same host, neither library leaves anything in the process's X error handlers.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>

#include "settings_sandbox.h"
#include "vst3_instance.h"
#include "vst3_test_support.h"
#include "x11_host_window.h"

namespace {

using namespace vst3;

constexpr int kNameFieldX = 154, kNameFieldY = 240;  // inside the preset bar's name field
constexpr int16 kReturnKey = 4;

bool readable(int fd) {
    pollfd watch{fd, POLLIN, 0};
    return poll(&watch, 1, 0) > 0;
}

class Vst3ViewX11 : public X11HostWindowTest {
protected:
    void turnRunLoop(RunLoopFrame& frame, int times = 5) {
        for (int i = 0; i < times; ++i) frame.run(readable);
    }

    std::pair<int, int> sizeOf(Window window) {
        Window root = 0;
        int x = 0, y = 0;
        unsigned int width = 0, height = 0, border = 0, depth = 0;
        XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
        return {static_cast<int>(width), static_cast<int>(height)};
    }

    void click(Window window, int x, int y, unsigned int button = Button1) {
        for (int type : {ButtonPress, ButtonRelease}) {
            XEvent event{};
            event.xbutton.type = type;
            event.xbutton.display = display;
            event.xbutton.window = window;
            event.xbutton.x = x;
            event.xbutton.y = y;
            event.xbutton.button = button;
            event.xbutton.state = type == ButtonRelease ? (Button1Mask << (button - Button1)) : 0;
            event.xbutton.same_screen = True;
            XSendEvent(display, window, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
        }
        XSync(display, False);
    }

    Vst3Module module{kVst3Library};
};

TEST_F(Vst3ViewX11, TheEditorOpensInTheHostsWindowAndTakesKeysFromTheHost) {
    RecordingHandler handler;
    Vst3Instance vst3(module, &handler);
    IPlugView* view = vst3.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultFalse);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_GT(size.right - size.left, 0);
    EXPECT_GT(size.bottom - size.top, 0);

    RunLoopFrame frame;
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(parent), "X11EmbedWindowID"), kResultOk);
    EXPECT_EQ(frame.timers.size(), 1u);
    EXPECT_EQ(frame.handlers.size(), 1u);
    const std::vector<Window> embedded = children();
    ASSERT_EQ(embedded.size(), 1u);
    turnRunLoop(frame);

    // The click reaches the window through the X connection, which only the run loop reads.
    click(embedded[0], kNameFieldX, kNameFieldY);
    turnRunLoop(frame);
    for (char16_t c : std::u16string(u"Zed")) EXPECT_EQ(view->onKeyDown(c, 0, 0), kResultTrue);
    EXPECT_EQ(view->onKeyDown(0, kReturnKey, 0), kResultTrue);
    turnRunLoop(frame);
    String128 name{};
    ASSERT_EQ(vst3.units->getProgramName(chordwell_vst3::kPresetListId, 0, name), kResultOk);
    EXPECT_EQ(ascii(name), "Zed");
    EXPECT_FALSE(handler.programListChanges.empty());

    // A preset chosen in the host's menu: the host hears of it at the next timer call.
    handler.restartFlags = 0;
    vst3.controller->setParamNormalized(chordwell_vst3::kProgramChangeId, 1.0);
    EXPECT_EQ(handler.restartFlags, 0);
    turnRunLoop(frame);
    EXPECT_NE(handler.restartFlags & kParamValuesChanged, 0);

    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_TRUE(frame.timers.empty());
    EXPECT_TRUE(frame.handlers.empty());
    EXPECT_TRUE(children().empty());
    view->release();
}

// The host's scale factor while the view is attached: the frame is asked for the new size, and
// the editor's window follows when it agrees; a refusal leaves the editor whole at its old size.
// The user's choice from the size menu goes the same way and, stored, wins over the host's factor.
TEST_F(Vst3ViewX11, AScaleChangeAsksTheHostsFrameAndTheUsersChoiceWins) {
    SettingsSandbox choices;  // the user's choice lasts for this test only
    Vst3Instance vst3(module);
    IPlugView* view = vst3.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    IPlugViewContentScaleSupport* scaling = nullptr;
    view->queryInterface(IPlugViewContentScaleSupport::iid.bytes, reinterpret_cast<void**>(&scaling));
    ASSERT_NE(scaling, nullptr);
    RunLoopFrame frame;
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(reinterpret_cast<void*>(parent), "X11EmbedWindowID"), kResultOk);
    turnRunLoop(frame);
    const Window editor = children().at(0);
    const std::pair<int, int> small{320, 257}, large{640, 514};
    ViewRect size{};
    auto viewSize = [&] {
        view->getSize(&size);
        return std::make_pair(size.right - size.left, size.bottom - size.top);
    };

    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    ASSERT_EQ(frame.resizes, std::vector{large});
    turnRunLoop(frame);
    EXPECT_EQ(viewSize(), small);
    EXPECT_EQ(sizeOf(editor), small);

    frame.acceptResize = true;
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    EXPECT_EQ(frame.resizes.back(), large);
    turnRunLoop(frame);
    EXPECT_EQ(viewSize(), large);
    EXPECT_EQ(sizeOf(editor), large);

    // The list opens with the current size (200 %, the fifth row) at the pointer: "Size: 100 %"
    // lies four rows of 16 units higher.
    click(editor, 2 * 10, 2 * 150, Button3);
    turnRunLoop(frame);
    click(editor, 2 * 40, 2 * (150 - 4 * 16));
    turnRunLoop(frame);
    EXPECT_EQ(frame.resizes.back(), small);
    EXPECT_EQ(viewSize(), small);
    EXPECT_EQ(sizeOf(editor), small);

    const std::size_t asked = frame.resizes.size();
    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
    EXPECT_EQ(frame.resizes.size(), asked);
    EXPECT_EQ(view->removed(), kResultOk);
    scaling->release();
    view->release();

    Vst3Instance other(module);
    IPlugView* next = other.controller->createView("editor");
    ASSERT_NE(next, nullptr);
    next->queryInterface(IPlugViewContentScaleSupport::iid.bytes, reinterpret_cast<void**>(&scaling));
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    ASSERT_EQ(next->getSize(&size), kResultOk);
    EXPECT_EQ(std::make_pair(size.right - size.left, size.bottom - size.top), small);
    scaling->release();
    next->release();
}

TEST_F(Vst3ViewX11, AHundredOpeningsLeaveNoWindowAndNoConnectionBehind) {
    Vst3Instance vst3(module);
    const std::size_t descriptors = openDescriptors();
    for (int i = 0; i < 100; ++i) {
        IPlugView* view = vst3.controller->createView("editor");
        ASSERT_NE(view, nullptr);
        RunLoopFrame frame;
        view->setFrame(&frame);
        ASSERT_EQ(view->attached(reinterpret_cast<void*>(parent), "X11EmbedWindowID"), kResultOk);
        turnRunLoop(frame, 2);
        ASSERT_EQ(children().size(), 1u);
        view->removed();
        view->release();
        ASSERT_TRUE(children().empty());
        ASSERT_TRUE(frame.timers.empty() && frame.handlers.empty());
    }
    EXPECT_EQ(openDescriptors(), descriptors);
}

// The host's own X error handler, and how many failed requests it was told of.
int hostErrors = 0;
int hostErrorHandler(Display*, XErrorEvent* event) {
    hostErrors += event->error_code == BadWindow;
    return 0;
}

// A host with its own X error handler has the VST 2.4 editor and the VST3 view open at once
// (two copies of our X11 code, one in each library), closes both and unloads the VST 2.4
// library: a failed request of its own reaches its handler each time. 0 when all went so.
int bothFormatsInOneHostThenOneUnloaded() {
    Display* display = XOpenDisplay(nullptr);
    XSetErrorHandler(&hostErrorHandler);
    const auto failedRequest = [&] {
        XMapWindow(display, static_cast<Window>(0x7ffffff0));  // no such window
        XSync(display, False);
        return hostErrors;
    };
    void* parent = reinterpret_cast<void*>(DefaultRootWindow(display));
    Vst3Module module{kVst3Library};
    auto vst2 = startedVst2(44100.0f, 256);
    bool opened = false;
    {
        Vst3Instance vst3(module);
        IPlugView* view = vst3.controller->createView("editor");
        RunLoopFrame frame;
        view->setFrame(&frame);
        opened = vst2->dispatch(effEditOpen, 0, 0, parent) == 1 && view->attached(parent, "X11EmbedWindowID") == kResultOk;
        vst2->dispatch(effEditIdle);
        frame.run(readable);
        vst2->dispatch(effEditClose);
        view->removed();
        view->release();
    }
    const int afterClosing = failedRequest();
    vst2.reset();
    const bool unloaded = dlopen(kVst2Library, RTLD_NOW | RTLD_NOLOAD) == nullptr;
    const int afterUnloading = failedRequest();
    return opened && afterClosing == 1 && unloaded && afterUnloading == 2 ? 0 : 1;
}

// In a process of its own: a handler left behind in unloaded code ends it.
TEST(TwoLibrariesInOneHost, TheHostsXErrorsReachItsOwnHandlerAfterOneIsUnloaded) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    EXPECT_EXIT(std::exit(bothFormatsInOneHostThenOneUnloaded()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
