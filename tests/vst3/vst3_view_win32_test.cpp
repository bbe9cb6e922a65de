// The VST3 view in a host's window on Windows: it embeds the editor as a child window, takes a
// click and keys from the host into the preset name field, asks the host's frame for a new size
// when the host's scale factor changes, and leaves no window and no GDI or USER object behind
// after a hundred openings.
#include <gtest/gtest.h>

#include <chrono>

#include "vst3_instance.h"
#include "vst3_test_support.h"
#include "win32_census.h"
#include "win32_host_window.h"

namespace {

using namespace vst3;

constexpr int kNameFieldX = 154, kNameFieldY = 240;  // inside the preset bar's name field
constexpr int16 kReturnKey = 4;

void pump() { win32test::pumpFor(std::chrono::milliseconds(60)); }

class Vst3ViewWin32 : public ::testing::Test {
protected:
    Vst3Module module{kVst3Library};
};

TEST_F(Vst3ViewWin32, TheEditorOpensInTheHostsWindowAndTakesKeysFromTheHost) {
    RecordingHandler handler;
    Vst3Instance vst3(module, &handler);
    win32test::HostWindow host;
    ASSERT_TRUE(host.ok());
    IPlugView* view = vst3.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
    ASSERT_EQ(view->attached(host.handle(), "HWND"), kResultOk);
    const std::vector<HWND> embedded = host.children();
    ASSERT_FALSE(embedded.empty());
    pump();

    PostMessageW(embedded[0], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kNameFieldX, kNameFieldY));
    PostMessageW(embedded[0], WM_LBUTTONUP, 0, MAKELPARAM(kNameFieldX, kNameFieldY));
    pump();
    for (char16_t c : std::u16string(u"Zed")) EXPECT_EQ(view->onKeyDown(c, 0, 0), kResultTrue);
    EXPECT_EQ(view->onKeyDown(0, kReturnKey, 0), kResultTrue);
    pump();
    String128 name{};
    ASSERT_EQ(vst3.units->getProgramName(chordwell_vst3::kPresetListId, 0, name), kResultOk);
    EXPECT_EQ(ascii(name), "Zed");
    EXPECT_FALSE(handler.programListChanges.empty());

    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_TRUE(host.children().empty());
    view->release();
}

// The host's scale factor while the view is attached: a frame that refuses the new size keeps
// the editor's window as it was; one that agrees gets the editor's window at the new size.
TEST_F(Vst3ViewWin32, AScaleChangeAsksTheHostsFrame) {
    Vst3Instance vst3(module);
    win32test::HostWindow host(800, 700);
    ASSERT_TRUE(host.ok());
    IPlugView* view = vst3.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    IPlugViewContentScaleSupport* scaling = nullptr;
    view->queryInterface(IPlugViewContentScaleSupport::iid.bytes, reinterpret_cast<void**>(&scaling));
    ASSERT_NE(scaling, nullptr);
    RunLoopFrame frame;
    view->setFrame(&frame);
    ASSERT_EQ(view->attached(host.handle(), "HWND"), kResultOk);
    const std::vector<HWND> embedded = host.children();
    ASSERT_FALSE(embedded.empty());
    pump();
    auto clientSize = [&] {
        RECT client{};
        GetClientRect(embedded[0], &client);
        return std::make_pair(static_cast<int>(client.right - client.left), static_cast<int>(client.bottom - client.top));
    };
    const std::pair<int, int> small{320, 257}, large{640, 514};
    ASSERT_EQ(clientSize(), small);

    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    ASSERT_EQ(frame.resizes, std::vector{large});
    pump();
    EXPECT_EQ(clientSize(), small);

    frame.acceptResize = true;
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    EXPECT_EQ(frame.resizes.back(), large);
    pump();
    EXPECT_EQ(clientSize(), large);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(std::make_pair(size.right - size.left, size.bottom - size.top), large);

    EXPECT_EQ(view->removed(), kResultOk);
    scaling->release();
    view->release();
}

TEST_F(Vst3ViewWin32, AHundredOpeningsLeaveNoWindowAndNoGdiObjectBehind) {
    Vst3Instance vst3(module);
    win32test::HostWindow host;
    ASSERT_TRUE(host.ok());
    const auto openAndClose = [&] {
        IPlugView* view = vst3.controller->createView("editor");
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->attached(host.handle(), "HWND"), kResultOk);
        pump();
        view->removed();
        view->release();
        ASSERT_TRUE(host.children().empty());
    };
    // What the first opening sets up for the process (window class, fonts) stays until the
    // module goes.
    openAndClose();
    const wintest::Census before = wintest::Census::take();
    for (int i = 0; i < 100; ++i) openAndClose();
    pump();
    const wintest::Census after = wintest::Census::take();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
}

}  // namespace
