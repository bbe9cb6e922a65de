// The knob: drag laws in both modes, wheel and arrow keys, the reset gesture and where the
// handle is drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gui/pixel_surface.h"
#include "gui_test_support.h"

using guitest::RecordingEditor;
using guitest::RecordingListener;

namespace {

class KnobTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedMode = VSTGUIEditorInterface::getKnobMode();
        VSTGUIEditorInterface::setSharedKnobMode(kLinearMode);
        frame = new CFrame(CRect(0, 0, 200, 200), &editor);
        knob = new CKnob(CRect(50, 50, 95, 95), &listener, 2, nullptr, nullptr);
        frame->addView(knob);
        knob->setValue(0.5f);
    }
    void TearDown() override {
        frame->close();
        VSTGUIEditorInterface::setSharedKnobMode(savedMode);
    }

    void press(double x, double y, std::int32_t buttons = kLButton) {
        CPoint p(x, y);
        lastResult = frame->onMouseDown(p, buttons);
    }
    void move(double x, double y, std::int32_t buttons = kLButton) {
        CPoint p(x, y);
        frame->onMouseMoved(p, buttons);
    }
    void release(double x, double y) {
        CPoint p(x, y);
        frame->onMouseUp(p, kLButton);
    }

    std::int32_t savedMode = kCircularMode;
    RecordingListener listener;
    RecordingEditor editor;
    CFrame* frame = nullptr;
    CKnob* knob = nullptr;
    CMouseEventResult lastResult = kMouseEventNotImplemented;
};

}  // namespace

TEST_F(KnobTest, LinearDragMovesOneTwoHundredthPerPixelUpAndRightAddingUp) {
    press(70, 70);
    EXPECT_EQ(lastResult, kMouseEventHandled);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 2"}));
    move(70, 50);  // 20 up
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    move(90, 50);  // and 20 right
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6);
    move(60, 90);  // 10 left and 20 down of the start
    EXPECT_NEAR(knob->getValue(), 0.35f, 1e-6);
    EXPECT_EQ(listener.changes.size(), 3u);
    // Far beyond either end: clamped.
    move(70, -500);
    EXPECT_EQ(knob->getValue(), 1.0f);
    move(70, 500);
    EXPECT_EQ(knob->getValue(), 0.0f);
    const auto calls = listener.changes.size();
    move(70, 600);  // no change, no call
    EXPECT_EQ(listener.changes.size(), calls);
    release(70, 600);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 2", "end 2"}));
    EXPECT_EQ(listener.changes.size(), calls);
}

TEST_F(KnobTest, ShiftDragIsFinerAndTogglingShiftMidDragDoesNotJump) {
    press(70, 70, kLButton | kShift);
    move(70, 40, kLButton | kShift);  // 30 up at 1/300
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    // Shift released: the value stays put, then follows at 1/200 from here.
    move(70, 40, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    move(70, 20, kLButton);
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6);
    // Shift pressed again: fine from the new point.
    move(70, 20, kLButton | kShift);
    move(70, 5, kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.75f, 1e-6);
    release(70, 5);
}

TEST_F(KnobTest, LinearDragScalesWithTheRange) {
    knob->setMin(-1.0f);
    knob->setMax(3.0f);
    knob->setValue(1.0f);
    press(70, 70);
    move(70, 50);  // 20 px = 0.1 of a range of 4
    EXPECT_NEAR(knob->getValue(), 1.4f, 1e-6);
    release(70, 50);
}

TEST_F(KnobTest, CircularModeFollowsTheAngleAndRefusesJumpsAcrossTheGap) {
    VSTGUIEditorInterface::setSharedKnobMode(kCircularMode);
    const CPoint c = knob->getViewSize().getCenter();
    auto at = [&](double angle, double radius = 15) {
        return CPoint(c.x + std::cos(angle) * radius, c.y + std::sin(angle) * radius);
    };
    const double pi = std::numbers::pi;
    knob->setValue(0.5f);
    press(c.x, c.y - 15);
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-6);  // a press alone changes nothing
    CPoint p = at(0);  // pointing right: 0.5 + 0.25 * (pi/2) / (3pi/2 / 2)...
    move(p.x, p.y);
    EXPECT_NEAR(knob->getValue(), 5.0 / 6.0, 1e-4);
    p = at(pi / 4);  // the lower right end
    move(p.x, p.y);
    EXPECT_NEAR(knob->getValue(), 1.0, 1e-4);
    p = at(pi / 2);  // straight down, in the gap: sticks at the end it came from
    move(p.x, p.y);
    EXPECT_NEAR(knob->getValue(), 1.0, 1e-4);
    p = at(3 * pi / 4 + 0.1);  // just past the minimum end: a jump of the whole range, refused
    move(p.x, p.y);
    EXPECT_NEAR(knob->getValue(), 1.0, 1e-4);
    release(p.x, p.y);

    // Alt swaps the modes for one drag: linear here.
    knob->setValue(0.5f);
    press(70, 70, kLButton | kAlt);
    move(70, 50, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    release(70, 50);
    // ... and circular while the shared mode is linear.
    VSTGUIEditorInterface::setSharedKnobMode(kLinearMode);
    press(c.x, c.y - 15, kLButton | kAlt);
    p = at(0);
    move(p.x, p.y, kLButton | kAlt);
    EXPECT_NEAR(knob->getValue(), 5.0 / 6.0, 1e-4);
    release(p.x, p.y);
}

TEST_F(KnobTest, WheelAndArrowKeysStepInsideEditBrackets) {
    const CPoint over(70, 70);
    EXPECT_TRUE(frame->onWheel(over, 1.0f, 0));
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    frame->onWheel(over, -2.0f, 0);
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-6);
    frame->onWheel(over, 1.0f, kShift);
    EXPECT_NEAR(knob->getValue(), 0.41f, 1e-6);
    frame->onWheel(over, 30.0f, 0);
    EXPECT_EQ(knob->getValue(), 1.0f);
    const auto calls = listener.changes.size();
    frame->onWheel(over, 1.0f, 0);  // already at the end: no call, no bracket
    EXPECT_EQ(listener.changes.size(), calls);
    EXPECT_EQ(editor.events.size(), 2 * calls);
    EXPECT_EQ(editor.events.front(), "begin 2");
    EXPECT_EQ(editor.events.back(), "end 2");

    VstKeyCode down{0, VKEY_DOWN, 0}, left{0, VKEY_LEFT, MODIFIER_SHIFT}, right{0, VKEY_RIGHT, 0};
    EXPECT_EQ(knob->onKeyDown(down), kKeyHandled);
    EXPECT_NEAR(knob->getValue(), 0.9f, 1e-6);
    knob->onKeyDown(left);
    EXPECT_NEAR(knob->getValue(), 0.89f, 1e-6);
    knob->onKeyDown(right);
    EXPECT_NEAR(knob->getValue(), 0.99f, 1e-6);
    VstKeyCode home{0, VKEY_HOME, 0};
    EXPECT_EQ(knob->onKeyDown(home), kKeyNotHandled);
}

TEST_F(KnobTest, CtrlClickRestoresTheDefaultInsideOneEditBracket) {
    knob->setDefaultValue(0.25f);
    knob->setValue(0.8f);
    listener.onChange = [&](CControl*) { editor.events.push_back("changed"); };
    // Ctrl with Shift or Alt held is no reset: the press starts a drag like any other.
    for (std::int32_t other : {kShift, kAlt}) {
        press(70, 70, kLButton | kControl | other);
        EXPECT_EQ(lastResult, kMouseEventHandled);
        release(70, 70);
        EXPECT_EQ(knob->getValue(), 0.8f);
    }
    editor.events.clear();
    press(70, 70, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.25f);
    EXPECT_EQ(lastResult, kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 2", "changed", "end 2"}));
    EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
    // A right press does nothing.
    press(70, 70, kRButton | kControl);
    EXPECT_EQ(lastResult, kMouseEventNotHandled);
    EXPECT_EQ(editor.events.size(), 3u);
}

TEST(KnobDrawing, HandleBitmapIsCentredOnTheArcPoint) {
    // A 45 x 45 knob with a 9 x 9 handle: inset 9/2 + 2.5 = 7, radius 22.5 - 7 = 15.5.
    CFrame* frame = new CFrame(CRect(0, 0, 120, 140));
    CBitmap* handle = guitest::solidBitmap(9, 9, kRedCColor);
    auto* knob = new CKnob(CRect(50, 71, 95, 116), nullptr, 2, nullptr, handle, CPoint(50, 71));
    handle->forget();
    frame->addView(knob);
    EXPECT_DOUBLE_EQ(knob->getInsetValue(), 7.0);

    auto handleTopLeft = [&](float value) {
        knob->setValue(value);
        frame->idle();
        const PixelSurface& px = frame->getBackBuffer();
        for (int y = 71; y < 116; ++y)
            for (int x = 50; x < 95; ++x)
                if (px.getPixel(x, y) == kRedCColor) return CPoint(x, y);
        return CPoint(-1, -1);
    };
    // Top: p = (23, 7.5), top-left = floor(50 + 23 - 4.5), floor(71 + 7.5 - 4.5).
    EXPECT_EQ(handleTopLeft(0.5f), CPoint(68, 74));
    // Minimum, lower left at 135 degrees.
    const double a = 3 * std::numbers::pi / 4;
    const CPoint low(std::floor(50 + 22.5 + std::cos(a) * 15.5 + 0.5 - 4.5),
                     std::floor(71 + 22.5 + std::sin(a) * 15.5 + 0.5 - 4.5));
    EXPECT_EQ(handleTopLeft(0.0f), low);
    // Maximum, mirrored to the lower right.
    const double b = a + 3 * std::numbers::pi / 2;
    const CPoint high(std::floor(50 + 22.5 + std::cos(b) * 15.5 + 0.5 - 4.5),
                      std::floor(71 + 22.5 + std::sin(b) * 15.5 + 0.5 - 4.5));
    EXPECT_EQ(handleTopLeft(1.0f), high);
    // The whole 9 x 9 handle is there, and the previous one was wiped.
    const PixelSurface& px = frame->getBackBuffer();
    EXPECT_EQ(px.getPixel(static_cast<int>(high.x) + 8, static_cast<int>(high.y) + 8), kRedCColor);
    EXPECT_NE(px.getPixel(68, 74), kRedCColor);
    frame->close();
}
