// Controls: the dirty model, the buttons, the value display and the splash screen.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "gui/pixel_surface.h"
#include "gui_test_support.h"

using guitest::RecordingEditor;
using guitest::RecordingListener;
using guitest::solidBitmap;

TEST(ControlValue, SetValueClampsAndMarksOnlyARealChange) {
    CControl control(CRect(0, 0, 10, 10));
    EXPECT_EQ(control.getMin(), 0.0f);
    EXPECT_EQ(control.getMax(), 1.0f);
    EXPECT_EQ(control.getDefaultValue(), 0.5f);
    EXPECT_FLOAT_EQ(control.getWheelInc(), 0.1f);
    EXPECT_FALSE(control.isDirty());

    control.setValue(0.0f);  // what it shows already
    EXPECT_FALSE(control.isDirty());
    control.setValue(1.7f);
    EXPECT_EQ(control.getValue(), 1.0f);
    EXPECT_TRUE(control.isDirty());
    control.setDirty(false);  // drawn
    EXPECT_FALSE(control.isDirty());
    control.setValue(-3.0f);
    EXPECT_EQ(control.getValue(), 0.0f);
    // Back to the value last drawn before anyone drew: nothing to redraw.
    control.setValue(1.0f);
    EXPECT_FALSE(control.isDirty());
    // An explicit mark counts whatever the value.
    control.setDirty();
    EXPECT_TRUE(control.isDirty());

    control.setMax(20.0f);
    control.setValue(4.0f);
    EXPECT_EQ(control.getValue(), 4.0f);
    EXPECT_FLOAT_EQ(control.getValueNormalized(), 0.2f);
}

TEST(OnOffButton, LeftPressTogglesInsideAnEditBracketAndDrawsTheMatchingFrame) {
    RecordingListener listener;
    RecordingEditor editor;
    CFrame* frame = new CFrame(CRect(0, 0, 40, 40), &editor);
    // Upper half blue (off), lower half red (on).
    const auto png = guitest::makePng(10, 20, [](int, int y) { return y < 10 ? kBlueCColor : kRedCColor; });
    auto* bitmap = new CBitmap(png.data(), png.size());
    auto* button = new COnOffButton(CRect(5, 5, 15, 15), &listener, 7, bitmap);
    bitmap->forget();  // the button holds its own reference
    frame->addView(button);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(6, 6), kBlueCColor);

    CPoint where(8, 8);
    EXPECT_EQ(frame->onMouseDown(where, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(button->getValue(), 1.0f);
    ASSERT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.changes[0], std::make_pair(7, 1.0f));
    EXPECT_EQ(editor.events, (std::vector<std::string>{"begin 7", "end 7"}));
    EXPECT_EQ(frame->getMouseCaptureView(), nullptr);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(6, 6), kRedCColor);

    frame->onMouseDown(where, kLButton);
    EXPECT_EQ(button->getValue(), 0.0f);
    // Right presses do nothing.
    EXPECT_EQ(frame->onMouseDown(where, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(listener.changes.size(), 2u);
    frame->close();
}

TEST(KickAndRocker, ValueFollowsThePressAndReturnsOnRelease) {
    RecordingListener listener;
    CFrame* frame = new CFrame(CRect(0, 0, 100, 40));
    auto* kick = new CKickButton(CRect(0, 0, 20, 10), &listener, 1, 10, nullptr);
    auto* rocker = new CRockerSwitch(CRect(40, 0, 80, 10), &listener, 2, 10, nullptr);
    frame->addView(kick);
    frame->addView(rocker);
    EXPECT_EQ(rocker->getMin(), -1.0f);
    EXPECT_EQ(rocker->getValue(), 0.0f);

    CPoint p(5, 5);
    EXPECT_EQ(frame->onMouseDown(p, kLButton), kMouseEventHandled);
    EXPECT_EQ(kick->getValue(), 1.0f);
    CPoint outside(50, 30);
    frame->onMouseMoved(outside, kLButton);
    EXPECT_EQ(kick->getValue(), 0.0f);
    frame->onMouseMoved(p, kLButton);
    EXPECT_EQ(kick->getValue(), 1.0f);
    frame->onMouseUp(p, kLButton);
    EXPECT_EQ(kick->getValue(), 0.0f);

    CPoint leftHalf(45, 5), rightHalf(75, 5);
    frame->onMouseDown(leftHalf, kLButton);
    EXPECT_EQ(rocker->getValue(), -1.0f);
    frame->onMouseUp(leftHalf, kLButton);
    EXPECT_EQ(rocker->getValue(), 0.0f);
    frame->onMouseDown(rightHalf, kLButton);
    EXPECT_EQ(rocker->getValue(), 1.0f);
    frame->onMouseUp(rightHalf, kLButton);
    EXPECT_EQ(listener.changes.back(), std::make_pair(2, 0.0f));
    frame->close();
}

namespace {
void percentText(float value, char* text) { std::sprintf(text, "%d%%", static_cast<int>(value * 100.0)); }
}  // namespace

TEST(ParamDisplay, TextComesFromTheConversionOrTwoDecimals) {
    CParamDisplay display(CRect(0, 0, 50, 14));
    char text[CParamDisplay::kStringSize];
    display.setValue(0.25f);
    display.getDisplayText(text);
    EXPECT_STREQ(text, "0.25");
    display.setStringConvert(percentText);
    display.getDisplayText(text);
    EXPECT_STREQ(text, "25%");
    // Clamped to its range unless the maximum is raised.
    display.setValue(4.0f);
    EXPECT_EQ(display.getValue(), 1.0f);
    display.setMax(20.0f);
    display.setValue(4.0f);
    EXPECT_EQ(display.getValue(), 4.0f);
    EXPECT_EQ(display.getFont().getSize(), kNormalFontSmall->getSize());
    EXPECT_TRUE(display.isTypeOf("CParamDisplay"));
    EXPECT_TRUE(display.isTypeOf("CControl"));
    EXPECT_FALSE(display.isTypeOf("CKnob"));
}

TEST(ParamDisplay, DrawsBackgroundPieceAndTextInsideItsRectangleOnly) {
    CFrame* frame = new CFrame(CRect(0, 0, 60, 30));
    CBitmap* back = solidBitmap(60, 30, kWhiteCColor);
    frame->setBackground(back);
    auto* display = new CParamDisplay(CRect(5, 8, 55, 22), back, 0);
    back->forget();
    display->setBackOffset(CPoint(5, 8));
    display->setFont(kNormalFontVerySmall);
    display->setFontColor(kBlackCColor);
    display->setStringConvert(percentText);
    display->setValue(0.5f);
    frame->addView(display);
    frame->idle();

    const PixelSurface& pixels = frame->getBackBuffer();
    int dark = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inside = display->getViewSize().pointInside(CPoint(x, y));
            if (pixels.getPixel(x, y).red < 128) {
                EXPECT_TRUE(inside) << x << "," << y;
                ++dark;
            }
        }
    EXPECT_GT(dark, 10);
    // No frame with a background bitmap: the corners stay white.
    EXPECT_EQ(pixels.getPixel(5, 8), kWhiteCColor);
    EXPECT_EQ(pixels.getPixel(54, 21), kWhiteCColor);

    // kNoDrawStyle: nothing of its own, not even text.
    display->setStyle(kNoDrawStyle);
    frame->setDirty();
    frame->idle();
    for (int x = 5; x < 55; ++x) EXPECT_EQ(pixels.getPixel(x, 15), kWhiteCColor);
    frame->close();
}

TEST(SplashScreen, LeftPressShowsThePictureAndAClickOnItClosesIt) {
    RecordingListener listener;
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100));
    CBitmap* picture = solidBitmap(40, 40, kRedCColor);
    auto* splash = new CSplashScreen(CRect(0, 0, 20, 10), &listener, 10, picture, CRect(30, 30, 70, 70));
    picture->forget();
    frame->addView(splash);
    frame->idle();

    CPoint area(5, 5);
    EXPECT_EQ(frame->onMouseDown(area, kRButton), kMouseEventNotHandled);
    EXPECT_EQ(frame->getModalView(), nullptr);
    frame->onMouseDown(area, kLButton);
    frame->onMouseUp(area, kLButton);
    ASSERT_NE(frame->getModalView(), nullptr);
    EXPECT_EQ(splash->getValue(), 1.0f);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(50, 50), kRedCColor);

    // Outside the picture nothing happens; on it the picture goes.
    CPoint elsewhere(5, 5);
    frame->onMouseDown(elsewhere, kLButton);
    ASSERT_NE(frame->getModalView(), nullptr);
    CPoint onPicture(50, 50);
    frame->onMouseDown(onPicture, kLButton);
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(splash->getValue(), 0.0f);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(50, 50), kBlackCColor);

    // Closing the frame while the picture is up releases it too (the leak check sees it).
    frame->onMouseDown(area, kLButton);
    ASSERT_NE(frame->getModalView(), nullptr);
    frame->close();
}
