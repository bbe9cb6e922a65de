// The editor embedded in a host's window on a real X server (skipped without one): opening,
// idling, closing and opening again, two instances at once, and parents that cannot be used.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <utility>

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

}  // namespace
