// The frame: ownership, mouse routing, hover, the modal view and the idle redraw.
#include <gtest/gtest.h>

#include "gui/click_counter.h"
#include "gui/pixel_surface.h"
#include "gui_test_support.h"

using guitest::CountingView;
using guitest::solidBitmap;

TEST(FrameOwnership, CloseReleasesEveryViewAndTheFrame) {
    bool aGone = false, bGone = false, modalGone = false;
    CFrame* frame = new CFrame(CRect(0, 0, 50, 50));
    CBitmap* bitmap = solidBitmap(4, 4, kRedCColor);
    auto* a = new CountingView(CRect(0, 0, 10, 10), kRedCColor);
    auto* b = new CountingView(CRect(10, 0, 20, 10), kRedCColor);
    a->destroyed = &aGone;
    b->destroyed = &bGone;
    b->setBackground(bitmap);
    frame->setBackground(bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 3);
    frame->addView(a);
    frame->addView(b);
    EXPECT_FALSE(frame->addView(a));  // once only
    EXPECT_EQ(a->getFrame(), frame);

    // A view the caller keeps a reference to survives its removal.
    auto* kept = new CountingView(CRect(0, 0, 5, 5), kRedCColor);
    frame->addView(kept);
    kept->remember();
    EXPECT_TRUE(frame->removeView(kept));
    EXPECT_EQ(kept->getNbReference(), 1);
    EXPECT_EQ(kept->getFrame(), nullptr);
    kept->forget();

    // The modal view is not the frame's to release: it ends with the frame's close and its
    // owner releases it.
    auto* modal = new CountingView(CRect(0, 0, 50, 50), kRedCColor);
    modal->destroyed = &modalGone;
    EXPECT_TRUE(frame->setModalView(modal));
    frame->close();
    EXPECT_TRUE(aGone);
    EXPECT_TRUE(bGone);
    EXPECT_FALSE(modalGone);
    EXPECT_EQ(modal->getFrame(), nullptr);
    modal->forget();
    EXPECT_TRUE(modalGone);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->forget();
}

TEST(FrameRouting, PressGoesToTheTopmostViewAndHandledPressesCapture) {
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100));
    auto* below = new CountingView(CRect(0, 0, 50, 50), kRedCColor);
    auto* above = new CountingView(CRect(20, 20, 60, 60), kBlueCColor, kMouseEventNotHandled);
    auto* capturing = new CountingView(CRect(70, 70, 90, 90), kGreenCColor);
    frame->addView(below);
    frame->addView(above);
    frame->addView(capturing);

    // Overlap: the later view gets it, and not handling it does not pass it down.
    CPoint overlap(30, 30);
    EXPECT_EQ(frame->onMouseDown(overlap, kLButton), kMouseEventNotHandled);
    EXPECT_EQ(above->downs, 1);
    EXPECT_EQ(below->downs, 0);
    EXPECT_EQ(frame->getMouseCaptureView(), nullptr);

    // Edges: left/top inclusive, right/bottom exclusive.
    CPoint rightEdge(50, 10), leftEdge(0, 0);
    EXPECT_EQ(frame->onMouseDown(rightEdge, kLButton), kMouseEventNotHandled);
    EXPECT_EQ(below->downs, 0);
    frame->onMouseDown(leftEdge, kLButton);
    EXPECT_EQ(below->downs, 1);
    EXPECT_EQ(frame->getMouseCaptureView(), below);
    // Captured: moves and the release reach it even far outside.
    CPoint far(95, 5);
    frame->onMouseMoved(far, kLButton);
    EXPECT_EQ(below->moves, 1);
    frame->onMouseUp(far, kLButton);
    EXPECT_EQ(below->ups, 1);
    EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
    // Released: a move now goes to the view under the pointer only.
    CPoint onCapturing(75, 75);
    frame->onMouseMoved(onCapturing, 0);
    EXPECT_EQ(below->moves, 1);
    EXPECT_EQ(capturing->moves, 1);
    // Invisible views are passed over.
    above->setVisible(false);
    frame->onMouseDown(overlap, kLButton);
    EXPECT_EQ(below->downs, 2);
    frame->close();
}

TEST(FrameRouting, HoverSendsEnteredExitedAndMoved) {
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100));
    auto* a = new CountingView(CRect(0, 0, 40, 40), kRedCColor);
    auto* b = new CountingView(CRect(50, 0, 90, 40), kRedCColor);
    frame->addView(a);
    frame->addView(b);
    CPoint inA(10, 10), inA2(12, 12), inB(60, 10), nowhere(45, 80);
    frame->onMouseMoved(inA, 0);
    frame->onMouseMoved(inA2, 0);
    EXPECT_EQ(a->enters, 1);
    EXPECT_EQ(a->moves, 2);
    frame->onMouseMoved(inB, 0);
    EXPECT_EQ(a->exits, 1);
    EXPECT_EQ(b->enters, 1);
    frame->onMouseMoved(nowhere, 0);
    EXPECT_EQ(b->exits, 1);
    EXPECT_EQ(frame->getMouseOverView(), nullptr);
    // Leaving the window exits the hovered view.
    frame->onMouseMoved(inA, 0);
    CPoint gone(-1, -1);
    frame->onMouseExited(gone, 0);
    EXPECT_EQ(a->exits, 2);
    // A press-and-drag from a into b does not hover b until the release.
    frame->onMouseMoved(inA, 0);
    frame->onMouseDown(inA, kLButton);
    frame->onMouseMoved(inB, kLButton);
    EXPECT_EQ(b->enters, 1);
    frame->onMouseUp(inB, kLButton);
    EXPECT_EQ(a->exits, 3);
    EXPECT_EQ(b->enters, 2);
    frame->close();
}

TEST(FrameRouting, ModalViewGetsEveryEventAndMayReleaseItselfInItsHandler) {
    struct SelfClosing : CountingView {
        using CountingView::CountingView;
        CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
            CountingView::onMouseDown(where, buttons);
            getFrame()->setModalView(nullptr);
            forget();  // its last own reference
            return kMouseEventHandled;
        }
    };
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100));
    auto* control = new CountingView(CRect(0, 0, 100, 100), kRedCColor);
    frame->addView(control);
    bool modalGone = false;
    auto* modal = new SelfClosing(CRect(20, 20, 80, 80), kBlueCColor);
    modal->destroyed = &modalGone;
    ASSERT_TRUE(frame->setModalView(modal));
    auto* second = new CountingView(CRect(0, 0, 10, 10), kRedCColor);
    EXPECT_FALSE(frame->setModalView(second));  // one at a time
    second->forget();

    // Under the modal view nothing gets the mouse, outside it nothing either.
    CPoint outside(5, 5);
    frame->onMouseDown(outside, kLButton);
    frame->onMouseMoved(outside, 0);
    frame->onWheel(outside, 1.0f, 0);
    EXPECT_EQ(control->downs, 0);
    EXPECT_EQ(control->moves, 0);
    EXPECT_EQ(control->enters, 0);

    CPoint inside(50, 50);
    EXPECT_EQ(frame->onMouseDown(inside, kLButton), kMouseEventHandled);
    EXPECT_TRUE(modalGone);
    EXPECT_EQ(frame->getModalView(), nullptr);
    // The view that released itself does not hold the mouse.
    EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
    frame->onMouseUp(inside, kLButton);
    frame->onMouseDown(inside, kLButton);
    EXPECT_EQ(control->downs, 1);
    frame->close();
}

TEST(FrameRedraw, IdleRedrawsOnlyChangedViewsClippedOverTheBackground) {
    CFrame* frame = new CFrame(CRect(0, 0, 60, 30));
    CBitmap* back = solidBitmap(60, 30, kWhiteCColor);
    frame->setBackground(back);
    back->forget();
    auto* a = new CountingView(CRect(0, 0, 20, 20), kRedCColor);
    auto* b = new CountingView(CRect(30, 0, 50, 20), kBlueCColor);
    auto* knob = new CKnob(CRect(0, 20, 10, 30), nullptr, 1, nullptr, nullptr);
    frame->addView(a);
    frame->addView(b);
    frame->addView(knob);
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);
    EXPECT_EQ(frame->getBackBuffer().getPixel(25, 5), kWhiteCColor);
    EXPECT_EQ(frame->getBackBuffer().getPixel(35, 5), kBlueCColor);

    frame->idle();  // nothing changed
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 1);

    b->colour = kGreenCColor;
    b->setDirty();
    frame->idle();
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    EXPECT_FALSE(b->isDirty());
    EXPECT_EQ(frame->getBackBuffer().getPixel(35, 5), kGreenCColor);

    // A value change marks the control; the idle pass clears it.
    knob->setValue(0.9f);
    EXPECT_TRUE(knob->isDirty());
    frame->idle();
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(a->draws, 1);

    // A view drawing outside its rectangle is clipped to it.
    struct Sprawling : CountingView {
        using CountingView::CountingView;
        void draw(CDrawContext* context) override {
            ++draws;
            context->setFillColor(kBlackCColor);
            context->fillRect(CRect(0, 0, 60, 30));
        }
    };
    auto* sprawl = new Sprawling(CRect(22, 22, 24, 24), kBlackCColor);
    frame->addView(sprawl);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(22, 22), kBlackCColor);
    EXPECT_EQ(frame->getBackBuffer().getPixel(25, 5), kWhiteCColor);
    EXPECT_EQ(frame->getBackBuffer().getPixel(21, 22), kWhiteCColor);

    // Removing a view repaints the background where it was.
    frame->removeView(b);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(35, 5), kWhiteCColor);
    frame->close();
}

TEST(FrameRedraw, AViewUnderTheModalViewDoesNotPaintOverIt) {
    CFrame* frame = new CFrame(CRect(0, 0, 40, 40));
    auto* control = new CountingView(CRect(0, 0, 40, 40), kRedCColor);
    frame->addView(control);
    auto* modal = new CountingView(CRect(10, 10, 30, 30), kBlueCColor);
    frame->setModalView(modal);
    frame->idle();
    control->colour = kGreenCColor;
    control->setDirty();
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(5, 5), kGreenCColor);
    EXPECT_EQ(frame->getBackBuffer().getPixel(20, 20), kBlueCColor);
    frame->setModalView(nullptr);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(20, 20), kGreenCColor);
    modal->forget();
    frame->close();
}

TEST(FrameKeys, KeysGoToTheFocusedViewThenToTheViewUnderThePointer) {
    CFrame* frame = new CFrame(CRect(0, 0, 100, 50));
    auto* left = new CKnob(CRect(0, 0, 40, 40), nullptr, 1, nullptr, nullptr);
    auto* right = new CKnob(CRect(50, 0, 90, 40), nullptr, 2, nullptr, nullptr);
    frame->addView(left);
    frame->addView(right);
    left->setValue(0.5f);
    right->setValue(0.5f);
    VstKeyCode up{0, VKEY_UP, 0};
    // Nothing focused: the view under the pointer takes it.
    CPoint overRight(60, 10);
    frame->onMouseMoved(overRight, 0);
    EXPECT_EQ(frame->onKeyDown(up), kKeyHandled);
    EXPECT_FLOAT_EQ(right->getValue(), 0.6f);
    // A click gives the focus.
    CPoint onLeft(10, 10);
    frame->onMouseDown(onLeft, kLButton);
    frame->onMouseUp(onLeft, kLButton);
    frame->onMouseMoved(overRight, 0);
    frame->onKeyDown(up);
    EXPECT_FLOAT_EQ(left->getValue(), 0.6f);
    EXPECT_FLOAT_EQ(right->getValue(), 0.6f);
    VstKeyCode letter{'a', 0, 0};
    EXPECT_EQ(frame->onKeyDown(letter), kKeyNotHandled);
    frame->close();
}

TEST(FrameKeys, FocusIsTakenAndLostByPressesAndByClosing) {
    struct Focusable : CountingView {
        Focusable(const CRect& r, std::vector<std::string>& log, const char* name)
            : CountingView(r, kRedCColor), log(log), name(name) {
            setWantsFocus(true);
        }
        void takeFocus() override { log.push_back(std::string("take ") + name); }
        void looseFocus() override { log.push_back(std::string("lose ") + name); }
        std::vector<std::string>& log;
        const char* name;
    };
    std::vector<std::string> log;
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100));
    frame->addView(new Focusable(CRect(0, 0, 40, 40), log, "a"));
    frame->addView(new Focusable(CRect(50, 0, 90, 40), log, "b"));
    frame->addView(new CountingView(CRect(0, 50, 40, 90), kRedCColor));  // wants no focus
    CPoint a(10, 10), b(60, 10), plain(10, 60), empty(95, 95);
    frame->onMouseDown(a, kLButton);
    frame->onMouseUp(a, kLButton);
    frame->onMouseDown(a, kLButton);  // again: no change
    frame->onMouseUp(a, kLButton);
    frame->onMouseDown(b, kLButton);
    frame->onMouseUp(b, kLButton);
    frame->onMouseDown(plain, kLButton);
    frame->onMouseUp(plain, kLButton);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    frame->onMouseDown(a, kLButton);
    frame->onMouseUp(a, kLButton);
    frame->onMouseDown(empty, kLButton);
    frame->onMouseDown(b, kLButton);
    frame->onMouseUp(b, kLButton);
    frame->close();
    EXPECT_EQ(log, (std::vector<std::string>{"take a", "lose a", "take b", "lose b", "take a", "lose a", "take b",
                                             "lose b"}));
}

TEST(ClickCount, SecondPressWithin250MsAnd5PixelsIsADoubleClick) {
    ClickCounter clicks;
    EXPECT_EQ(clicks.press(1000, 10, 10, 1), 1);
    EXPECT_EQ(clicks.press(1250, 13, 14, 1), 2);  // 250 ms and 5 px exactly
    EXPECT_EQ(clicks.press(1300, 13, 14, 1), 3);
    EXPECT_EQ(clicks.press(1551, 13, 14, 1), 1);  // 251 ms later
    EXPECT_EQ(clicks.press(1600, 19, 14, 1), 1);  // 6 px away
    EXPECT_EQ(clicks.press(1650, 19, 14, 3), 1);  // another button
    // The server's millisecond clock wraps around; the interval survives it.
    EXPECT_EQ(clicks.press(0xFFFFFFF0u, 0, 0, 1), 1);
    EXPECT_EQ(clicks.press(0x00000050u, 0, 0, 1), 2);
}
