// The editor window drawn offscreen: its controls, their binding to the parameters in both
// directions, the about screen, and the picture it draws.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "editor/ad_editor.h"
#include "editor/cabout.h"
#include "editor/cled.h"
#include "effect_fixture.h"
#include "gui/pixel_surface.h"

namespace {

struct OpenEditor : ::testing::Test {
    EffectInstance fx;
    ADEditor* editor = nullptr;

    void SetUp() override {
        editor = static_cast<ADEditor*>(fx.effect().getEditor());
        ASSERT_TRUE(editor->openOffscreen());
        editor->idle();
        testhost::reset();
    }
    CFrame& frame() { return *editor->getFrame(); }

    void press(CPoint where, std::int32_t buttons = kLButton) {
        frame().onMouseDown(where, CButtonState(buttons));
    }
    void release(CPoint where) { frame().onMouseUp(where, CButtonState(0)); }
    void click(CPoint where, std::int32_t buttons = kLButton) {
        press(where, buttons);
        release(where);
    }
    void drag(CPoint from, CPoint to, std::int32_t buttons = kLButton) {
        press(from, buttons);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i) {
            CPoint where(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
            frame().onMouseMoved(where, CButtonState(buttons));
        }
        release(to);
    }
    std::string text(VstInt32 parameter) {
        char buffer[CParamDisplay::kStringSize];
        editor->getDisplay(parameter)->getDisplayText(buffer);
        return buffer;
    }
    std::vector<testhost::Recorded> automations() {
        std::vector<testhost::Recorded> result;
        for (const auto& call : testhost::calls())
            if (call.opcode == audioMasterAutomate) result.push_back(call);
        return result;
    }
};

constexpr CPoint kDecayCentre(72, 93);

TEST(EditorLifecycle, ClosedEditorIgnoresChangesAndFailsNothing) {
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    fx.set(kDecay, 0.7f);  // before any window
    editor->idle();
    EXPECT_EQ(editor->getFrame(), nullptr);
    ASSERT_TRUE(editor->openOffscreen());
    EXPECT_EQ(editor->getKnob(kDecay)->getValue(), 0.7f);
    editor->close();
    fx.set(kDecay, 0.2f);  // after the window
    editor->idle();
    EXPECT_EQ(editor->getKnob(kDecay), nullptr);
    // A parent window that does not exist: the host is told no editor opened.
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST_F(OpenEditor, ControlsStartWithTheParameters) {
    EXPECT_EQ(frame().getViewSize().getWidth(), 320);
    EXPECT_EQ(frame().getViewSize().getHeight(), 257);
    EXPECT_EQ(editor->getKnob(kDecay)->getValue(), 0.25f);
    EXPECT_EQ(editor->getKnob(kTranspose)->getValue(), 0.5f);
    EXPECT_EQ(text(kDecay), "25%");
    EXPECT_EQ(text(kDamp), "25%");
    EXPECT_EQ(text(kMix), "25%");
    EXPECT_EQ(text(kTranspose), "0");
    EXPECT_EQ(text(kTune), "0c");
    EXPECT_EQ(text(kDetune), "0%");
    EXPECT_EQ(text(kOutput), "0.0dB");  // the gain 4 v² = 1
    EXPECT_EQ(editor->getBypassButton()->getValue(), 0.0f);
    EXPECT_EQ(editor->getLED()->getValue(), 0.0f);
    EXPECT_EQ(frame().getNbViews(), 17 + 13);  // the editor's views, then the preset bar's
}

TEST_F(OpenEditor, ReadoutsFollowTheHost) {
    fx.set(kOutput, 1.0f);
    EXPECT_EQ(editor->getDisplay(kOutput)->getValue(), 4.0f);
    EXPECT_EQ(text(kOutput), "12.0dB");
    fx.set(kOutput, 0.0f);
    EXPECT_EQ(text(kOutput), "-oo dB");
    fx.set(kTranspose, 0.75f);
    EXPECT_EQ(text(kTranspose), "#12");
    fx.set(kTune, 0.25f);
    EXPECT_EQ(text(kTune), "-50c");
    fx.set(kDetune, 0.57f);
    EXPECT_EQ(text(kDetune), "56%");
    fx.set(kBypass, 0.7f);
    EXPECT_EQ(editor->getBypassButton()->getValue(), 1.0f);
    EXPECT_EQ(editor->getLED()->getValue(), 1.0f);
}

// Bypass exactly 0.5 when the window opens: the button rounds it on, the lamp lights only
// above 0.5; the next change brings both to the rounded value.
TEST(EditorBypass, HalfwayAtOpen) {
    EffectInstance fx;
    fx.set(kBypass, 0.5f);
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    ASSERT_TRUE(editor->openOffscreen());
    EXPECT_EQ(editor->getBypassButton()->getValue(), 1.0f);
    EXPECT_EQ(editor->getLED()->getValue(), 0.5f);
    fx.set(kBypass, 0.5f);
    EXPECT_EQ(editor->getLED()->getValue(), 1.0f);
}

TEST_F(OpenEditor, LinearDragReachesTheEffectAndTheHost) {
    drag(kDecayCentre, CPoint(kDecayCentre.x, kDecayCentre.y - 40));
    EXPECT_NEAR(editor->getKnob(kDecay)->getValue(), 0.45f, 1e-6);
    EXPECT_EQ(fx.get(kDecay), editor->getKnob(kDecay)->getValue());
    EXPECT_EQ(text(kDecay), "44%");  // the float nearest 0.45 lies just below it: cut, not rounded
    const auto sent = automations();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back().index, kDecay);
    EXPECT_EQ(sent.back().opt, fx.get(kDecay));
    // The VST 2.4 host hears the values of the gesture, nothing of the gesture itself.
    EXPECT_EQ(testhost::count(audioMasterBeginEdit) + testhost::count(audioMasterEndEdit), 0);
    // The current preset keeps the new value.
    EXPECT_EQ(fx.effect().getPresets()[0].values[kDecay], fx.get(kDecay));

    // Right is up too; Shift drags finer.
    drag(CPoint(160, 97), CPoint(172, 97));  // Transpose: +12 px
    EXPECT_NEAR(fx.get(kTranspose), 0.56f, 1e-6);
    drag(CPoint(160, 97), CPoint(160, 127), kLButton | kShift);  // 30 px down at /300
    EXPECT_NEAR(fx.get(kTranspose), 0.46f, 1e-6);
}

TEST_F(OpenEditor, CtrlClickRestoresEachKnobsDefault) {
    const struct {
        VstInt32 parameter;
        CPoint centre;
        float expected;
    } knobs[] = {{kDecay, {72, 93}, 0.5f},   {kDamp, {246, 93}, 0.5f},  {kTranspose, {160, 97}, 0.5f},
                 {kTune, {119, 134}, 0.5f},  {kDetune, {200, 134}, 0.0f}, {kMix, {75, 175}, 0.25f},
                 {kOutput, {244, 175}, 0.5f}};
    for (const auto& knob : knobs) fx.set(knob.parameter, 0.9f);
    for (const auto& knob : knobs) {
        click(knob.centre, kLButton | kControl);
        EXPECT_EQ(fx.get(knob.parameter), knob.expected) << knob.parameter;
        EXPECT_EQ(editor->getKnob(knob.parameter)->getValue(), knob.expected);
    }
}

TEST_F(OpenEditor, BypassButtonAndLampFollowEachOther) {
    click(CPoint(160, 175));
    EXPECT_EQ(fx.get(kBypass), 1.0f);
    EXPECT_EQ(fx.display(kBypass), " bypassed ");
    EXPECT_EQ(editor->getLED()->getValue(), 1.0f);
    click(CPoint(160, 175));
    EXPECT_EQ(fx.get(kBypass), 0.0f);
    EXPECT_EQ(editor->getLED()->getValue(), 0.0f);
    // The lamp itself takes no clicks.
    click(CPoint(160, 140));
    EXPECT_EQ(fx.get(kBypass), 0.0f);
}

TEST_F(OpenEditor, AboutScreenOpensAndCloses) {
    CAbout* about = editor->getAbout();
    click(CPoint(60, 20), kRButton);
    EXPECT_FALSE(about->isPictureOpen());
    click(CPoint(60, 20));
    ASSERT_TRUE(about->isPictureOpen());
    EXPECT_EQ(about->getValue(), 1.0f);
    ASSERT_NE(frame().getModalView(), nullptr);
    EXPECT_TRUE(frame().getModalView()->isTypeOf("CSplashScreenMyView"));

    // Clicks outside the picture, on the preset bar or the margin, do nothing.
    click(CPoint(150, 240));
    click(CPoint(300, 175));
    click(CPoint(10, 100), kLButton | kDoubleClick);
    EXPECT_TRUE(about->isPictureOpen());
    // A right click on the picture does not close it either.
    click(CPoint(100, 100), kRButton);
    EXPECT_TRUE(about->isPictureOpen());

    // Parameter changes still reach the covered controls.
    fx.set(kDecay, 0.8f);
    EXPECT_EQ(editor->getKnob(kDecay)->getValue(), 0.8f);

    click(CPoint(100, 100));
    EXPECT_FALSE(about->isPictureOpen());
    EXPECT_EQ(frame().getModalView(), nullptr);
    EXPECT_EQ(about->getValue(), 0.0f);
    click(CPoint(60, 20));
    EXPECT_TRUE(about->isPictureOpen());
}

// Closing the window with the about screen open releases the picture's view with the rest;
// the leak checker of the sanitizer build would report it otherwise.
TEST_F(OpenEditor, ClosingWithTheAboutScreenOpen) {
    click(CPoint(60, 20));
    ASSERT_TRUE(editor->getAbout()->isPictureOpen());
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
    ASSERT_TRUE(editor->openOffscreen());
    EXPECT_FALSE(editor->getAbout()->isPictureOpen());
}

std::vector<unsigned char> pixels(const PixelSurface& surface) {
    std::vector<unsigned char> bytes;
    for (int y = 0; y < surface.getHeight(); ++y)
        for (int x = 0; x < surface.getWidth(); ++x) {
            const CColor c = surface.getPixel(x, y);
            bytes.insert(bytes.end(), {c.red, c.green, c.blue});
        }
    return bytes;
}

TEST_F(OpenEditor, ReopeningDrawsTheSameWindow) {
    fx.set(kTune, 0.8f);
    editor->idle();
    const std::vector<unsigned char> first = pixels(frame().getBackBuffer());
    editor->close();
    ASSERT_TRUE(editor->openOffscreen());
    editor->idle();
    EXPECT_EQ(pixels(frame().getBackBuffer()), first);
}

// The window as a user sees it, against a picture kept with the tests. Text is rasterised by
// the system's fonts, so small differences are allowed.
TEST_F(OpenEditor, MatchesTheReferencePicture) {
    const std::string path = std::string(CHORDWELL_TEST_DATA) + "/editor_default.png";
    std::vector<unsigned char> png;
    {
        // Closed before a new reference may replace it: Windows replaces no open file.
        std::ifstream in(path, std::ios::binary);
        png.assign(std::istreambuf_iterator<char>(in), {});
    }
    const auto reference = PixelSurface::fromPng(png.data(), png.size());
    const PixelSurface& drawn = frame().getBackBuffer();
    if (const char* update = std::getenv("CHORDWELL_UPDATE_REFERENCE"); update && *update) {
        drawn.writePng(path.c_str());
        GTEST_SKIP() << "reference picture written to " << path;
    }
    ASSERT_TRUE(reference) << path;
    ASSERT_EQ(reference->getWidth(), drawn.getWidth());
    ASSERT_EQ(reference->getHeight(), drawn.getHeight());
    int differing = 0;
    for (int y = 0; y < drawn.getHeight(); ++y)
        for (int x = 0; x < drawn.getWidth(); ++x) {
            const CColor a = drawn.getPixel(x, y);
            const CColor b = reference->getPixel(x, y);
            const int diff = std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
            differing += diff > 40;
        }
    EXPECT_LT(differing, drawn.getWidth() * drawn.getHeight() / 100) << "pixels that differ from " << path;
}

}  // namespace
