// The editor embedded in a host's window on a real X server (skipped without one): opening,
// idling, closing and opening again, two instances at once, and parents that cannot be used.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdlib>

#include "editor/ad_editor.h"
#include "effect_fixture.h"

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

}  // namespace
