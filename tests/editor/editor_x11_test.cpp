// The editor embedded in a host's window on a real X server (skipped without one): opening,
// idling, closing and opening again, two instances at once, parents that cannot be used, and
// the desktop's file chooser open beside a host that goes on.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <utility>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "editor/ad_editor.h"
#include "effect_fixture.h"
#include "gui/pixel_surface.h"

namespace {

class HostWindow {
public:
    HostWindow() {
        display = XOpenDisplay(nullptr);
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 257, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow() {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    bool ok() const { return display != nullptr; }
    void* id() const { return reinterpret_cast<void*>(window); }
    // The size of the editor's window inside this one (0 x 0 when there is none).
    std::pair<int, int> childSize() const {
        XSync(display, False);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        std::pair<int, int> size{0, 0};
        if (XQueryTree(display, window, &root, &parent, &children, &count) && count > 0) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, children[0], &attributes)) size = {attributes.width, attributes.height};
        }
        if (children) XFree(children);
        return size;
    }

private:
    Display* display = nullptr;
    Window window = 0;
};

TEST(EditorEmbedding, UnusableParentsOpenNothing) {
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, nullptr), 0);
    // No such window (or no X server at all).
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x7ffffff0)), 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
    fx.dispatch(effEditIdle);
    fx.dispatch(effEditClose);
}

TEST(EditorEmbedding, OpenCloseAgainAndTwoAtOnce) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
    HostWindow first, second;
    ASSERT_TRUE(first.ok() && second.ok());
    EffectInstance a, b;
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(a.dispatch(effEditOpen, 0, 0, first.id()), 1);
        ASSERT_EQ(b.dispatch(effEditOpen, 0, 0, second.id()), 1);
        a.set(kDecay, 0.1f * static_cast<float>(round + 1));
        for (int i = 0; i < 5; ++i) {
            a.dispatch(effEditIdle);
            b.dispatch(effEditIdle);
        }
        auto* editorA = static_cast<ADEditor*>(a.effect().getEditor());
        EXPECT_EQ(editorA->getKnob(kDecay)->getValue(), a.get(kDecay));
        a.dispatch(effEditClose);
        b.dispatch(effEditIdle);
        b.dispatch(effEditClose);
        EXPECT_EQ(editorA->getFrame(), nullptr);
    }
    // A window the host leaves open is closed with the effect.
    ASSERT_EQ(a.dispatch(effEditOpen, 0, 0, first.id()), 1);
}

// A bigger scale asks the host first: one that refuses keeps window and picture at their old
// size; one that agrees gets the editor's window at the new size.
TEST(EditorEmbedding, ScaleChangeAsksTheHost) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
    HostWindow host;
    ASSERT_TRUE(host.ok());
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    ASSERT_EQ(fx.dispatch(effEditOpen, 0, 0, host.id()), 1);
    fx.dispatch(effEditIdle);
    EXPECT_EQ(host.childSize(), std::make_pair(320, 257));

    testhost::setResizeAccepted(false);
    EXPECT_FALSE(editor->setScalePercent(200));
    fx.dispatch(effEditIdle);
    EXPECT_EQ(editor->getFrame()->getBackBuffer().getWidth(), 320);
    EXPECT_EQ(host.childSize(), std::make_pair(320, 257));

    testhost::setResizeAccepted(true);
    EXPECT_TRUE(editor->setScalePercent(200));
    fx.dispatch(effEditIdle);
    EXPECT_EQ(editor->getFrame()->getBackBuffer().getWidth(), 640);
    EXPECT_EQ(host.childSize(), std::make_pair(640, 514));
    testhost::setResizeAccepted(false);
    fx.dispatch(effEditClose);
}

using Clock = std::chrono::steady_clock;

// This process's children, with their program names.
std::vector<std::pair<pid_t, std::string>> childProcesses() {
    std::vector<std::pair<pid_t, std::string>> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, name, state;
        pid_t parent = 0;
        if (stat >> pid >> name >> state >> parent && parent == ::getpid())
            children.emplace_back(std::stoi(pid), name.substr(1, name.size() - 2));
    }
    return children;
}

pid_t childNamed(const std::string& name) {
    for (const auto& [pid, program] : childProcesses())
        if (program == name) return pid;
    return 0;
}

// A process that exists, zombies included.
bool exists(pid_t pid) { return std::filesystem::exists("/proc/" + std::to_string(pid)); }

// The real zenity, opened from the load arrow: the host's idle calls keep returning at once,
// and closing the window or the effect ends the chooser, leaving no process behind.
TEST(EditorEmbedding, TheHostStaysLiveWhileTheFileChooserIsOpenAndClosingEndsIt) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server";
    if (std::system("command -v zenity >/dev/null") != 0) GTEST_SKIP() << "zenity is not installed";
    constexpr CPoint kLoadPreset(82, 233);
    constexpr auto kPromptly = std::chrono::milliseconds(500);
    HostWindow host;
    ASSERT_TRUE(host.ok());
    // A host that the chooser blocks ends here, rather than at the test's time limit.
    ::alarm(60);
    auto* fx = new EffectInstance;
    for (const bool closeTheEffect : {false, true}) {
        SCOPED_TRACE(closeTheEffect ? "the effect closed" : "the window closed");
        ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, host.id()), 1);
        fx->dispatch(effEditIdle);
        auto* editor = static_cast<ADEditor*>(fx->effect().getEditor());
        CPoint at = kLoadPreset;
        Clock::time_point start = Clock::now();
        editor->getFrame()->onMouseDown(at, kLButton);
        const Clock::duration click = Clock::now() - start;
        Clock::duration longest{};
        const pid_t chooser = childNamed("zenity");
        ASSERT_NE(chooser, 0);
        EXPECT_TRUE(editor->isFileDialogOpen());
        // A second of the host's idle loop while the user looks at the chooser.
        for (const Clock::time_point end = Clock::now() + std::chrono::seconds(1); Clock::now() < end;) {
            start = Clock::now();
            fx->dispatch(effEditIdle);
            longest = std::max(longest, Clock::now() - start);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_LT(click, kPromptly);
        EXPECT_LT(longest, kPromptly);
        std::cout << "the click took " << std::chrono::duration<double, std::milli>(click).count()
                  << " ms, the longest idle call " << std::chrono::duration<double, std::milli>(longest).count()
                  << " ms\n";
        EXPECT_TRUE(exists(chooser));

        if (closeTheEffect) {
            delete fx;  // effClose with the window still open
            fx = nullptr;
        } else {
            fx->dispatch(effEditClose);
            EXPECT_FALSE(editor->isFileDialogOpen());
        }
        EXPECT_FALSE(exists(chooser)) << "zenity is left running or unreaped";
    }
    EXPECT_TRUE(childProcesses().empty());
    ::alarm(0);
}

}  // namespace
