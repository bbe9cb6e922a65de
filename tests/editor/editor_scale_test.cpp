// The editor at screen scales above 100 %, drawn offscreen: where the controls land, how a
// drag feels, how sharp the picture is, and how the scale is chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/ad_editor.h"
#include "editor/scale_choice.h"
#include "effect_fixture.h"
#include "gui/cdrawcontext.h"
#include "gui/cmenupopup.h"
#include "gui/ctextedit.h"
#include "gui/virtual_keys.h"
#include "gui/picture_cache.h"
#include "gui/pixel_scale.h"
#include "gui/pixel_surface.h"
#include "platform/settings_store.h"

namespace {

constexpr VstInt32 kScaleRequest = 0x50726553;     // 'PreS'
constexpr VstIntPtr kScaleSelector = 0x41654373;  // 'AeCs'

struct ScaledEditor : ::testing::Test {
    EffectInstance fx;
    ADEditor* editor = nullptr;

    void SetUp() override {
        platform::SettingsStore::remove("EditorSize");
        editor = static_cast<ADEditor*>(fx.effect().getEditor());
    }
    void TearDown() override { platform::SettingsStore::remove("EditorSize"); }

    void openAt(int percent) {
        ASSERT_TRUE(editor->openOffscreen());
        ASSERT_TRUE(editor->setScalePercent(percent));
        editor->idle();
    }
    CFrame& frame() { return *editor->getFrame(); }
    // A press, a move and a release at window pixels, as the window system reports them.
    void dragPixels(CPoint from, CPoint to) {
        CPoint a = frame().fromPixels(from.x, from.y);
        frame().onMouseDown(a, CButtonState(kLButton));
        CPoint b = frame().fromPixels(to.x, to.y);
        frame().onMouseMoved(b, CButtonState(kLButton));
        frame().onMouseUp(b, CButtonState(0));
    }
    ERect rect() {
        ERect* r = nullptr;
        fx.dispatch(effEditGetRect, 0, 0, &r);
        return *r;
    }
};

// Window rectangle and every control's pixels at the scale, each edge position and each size
// rounded on its own; the picture is the 100 % one, enlarged, wherever it is sampled.
TEST_F(ScaledEditor, ControlsAndPictureLandAtTheScaledPlaces) {
    ASSERT_TRUE(editor->openOffscreen());
    editor->idle();
    std::vector<CColor> small;
    const PixelSurface& at100 = frame().getBackBuffer();
    for (int y = 0; y < 257; ++y)
        for (int x = 0; x < 320; ++x) small.push_back(at100.getPixel(x, y));

    for (int percent : {150, 200}) {
        const double f = percent / 100.0;
        ASSERT_TRUE(editor->setScalePercent(percent));
        editor->idle();
        const PixelSurface& big = frame().getBackBuffer();
        EXPECT_EQ(big.getWidth(), pixel_scale::toPixels(320, f));
        EXPECT_EQ(big.getHeight(), pixel_scale::toPixels(257, f));
        EXPECT_EQ(rect().right, big.getWidth());
        EXPECT_EQ(rect().bottom, big.getHeight());

        PixelSurface scratch(1, 1);
        CDrawContext context(scratch, f);
        const CRect knob = editor->getKnob(kDecay)->getViewSize();  // 50, 71, 95, 116
        const CRect pixels = context.toPixels(knob);
        EXPECT_EQ(pixels.left, pixel_scale::toPixels(50, f));
        EXPECT_EQ(pixels.top, pixel_scale::toPixels(71, f));
        EXPECT_EQ(pixels.getWidth(), pixel_scale::toPixels(45, f));
        EXPECT_EQ(pixels.getHeight(), pixel_scale::toPixels(45, f));

        // Each 100 % pixel against the scaled pixel at its centre: colours agree but for the
        // few pixels where anti-aliased edges and text fall differently.
        int differing = 0;
        for (int y = 0; y < 257; ++y)
            for (int x = 0; x < 320; ++x) {
                const CColor a = small[static_cast<std::size_t>(y) * 320 + x];
                const CColor b = big.getPixel(static_cast<int>((x + 0.5) * f), static_cast<int>((y + 0.5) * f));
                differing += std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)}) > 48;
            }
        EXPECT_LT(differing, 320 * 257 / 25) << percent << " %";
    }
}

// The same drag in 100 % units gives the same value at every scale.
TEST_F(ScaledEditor, KnobDragFeelsTheSameAtEveryScale) {
    for (int percent : {100, 150, 200}) {
        const double f = percent / 100.0;
        fx.set(kDecay, 0.25f);
        openAt(percent);
        const CPoint centre(72 * f, 93 * f);
        dragPixels(centre, CPoint(centre.x, centre.y - 40 * f));
        EXPECT_NEAR(fx.get(kDecay), 0.45f, 1e-6) << percent << " %";
        editor->close();
    }
}

// The dark line under the title band is one pixel high at 100 %: at a scale it is as many
// whole pixels high as the scale gives it, and every pixel around it has a colour that the
// 100 % picture has there too: none is a blend of the line and its neighbours.
TEST_F(ScaledEditor, HardEdgesStaySharp) {
    openAt(100);
    constexpr int kX = 5, kLine = 50;
    auto same = [](const CColor& a, const CColor& b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; };
    const CColor line = frame().getBackBuffer().getPixel(kX, kLine);
    std::vector<CColor> around;
    for (int y = kLine - 2; y <= kLine + 3; ++y) around.push_back(frame().getBackBuffer().getPixel(kX, y));
    for (int percent : {150, 200}) {
        const double f = percent / 100.0;
        ASSERT_TRUE(editor->setScalePercent(percent));
        editor->idle();
        const PixelSurface& big = frame().getBackBuffer();
        int lineRows = 0;
        for (int y = pixel_scale::toPixels(kLine - 1, f); y < pixel_scale::toPixels(kLine + 3, f); ++y) {
            const CColor c = big.getPixel(pixel_scale::toPixels(kX, f), y);
            lineRows += same(c, line);
            EXPECT_TRUE(std::any_of(around.begin(), around.end(), [&](const CColor& a) { return same(a, c); }))
                << "a blended row at y " << y << ", " << percent << " %";
        }
        EXPECT_EQ(lineRows, pixel_scale::toPixels(kLine + 1, f) - pixel_scale::toPixels(kLine, f)) << percent << " %";
    }
}

// A new size while the user types a name, with the preset list open: values, the text typed
// and the open list stay, and the list still takes its click.
TEST_F(ScaledEditor, ANewSizeKeepsValuesTypingAndAnOpenList) {
    fx.set(kDecay, 0.7f);
    openAt(100);
    CPoint onName(154, 240);
    frame().onMouseDown(onName, CButtonState(kLButton));
    frame().onMouseUp(onName, CButtonState(0));
    for (char c : std::string("Wide")) {
        VstKeyCode key{c, 0, 0};
        frame().onKeyDown(key);
    }
    ASSERT_TRUE(editor->getNameField()->isEditing());
    ASSERT_TRUE(editor->setScalePercent(200));
    editor->idle();
    EXPECT_TRUE(editor->getNameField()->isEditing());
    VstKeyCode enter{0, VKEY_RETURN, 0};
    frame().onKeyDown(enter);
    EXPECT_STREQ(editor->getNameField()->getText(), "Wide");
    EXPECT_EQ(editor->getKnob(kDecay)->getValue(), 0.7f);

    CPoint onMenu(222, 241);
    frame().onMouseDown(onMenu, CButtonState(kLButton));
    CMenuPopup* list = editor->getPresetMenu()->getOpenList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(editor->setScalePercent(150));
    editor->idle();
    ASSERT_EQ(editor->getPresetMenu()->getOpenList(), list);
    CPoint row = list->rowRect(3).getCenter();
    frame().onMouseDown(row, CButtonState(kLButton));
    EXPECT_EQ(editor->getPresetMenu()->getCurrentIndex(), 3);
}

// A right-click on the background opens the size menu; the choice is kept for every new
// editor and beats the host's word. A right-click on a control opens nothing.
TEST_F(ScaledEditor, SizeMenuChoosesAndRemembers) {
    ASSERT_TRUE(editor->openOffscreen());
    editor->idle();
    CPoint onKnob(72, 93);
    frame().onMouseDown(onKnob, CButtonState(kRButton));
    EXPECT_EQ(editor->getSizeMenu(), nullptr);

    CPoint onBackground(10, 150);
    frame().onMouseDown(onBackground, CButtonState(kRButton));
    ASSERT_NE(editor->getSizeMenu(), nullptr);
    CMenuPopup* list = editor->getSizeMenu()->getOpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(editor->getSizeMenu()->getCurrentIndex(), 0);
    EXPECT_STREQ(editor->getSizeMenu()->getEntry(4)->getTitle(), "Size: 200 %");
    CPoint row = list->rowRect(4).getCenter();
    frame().onMouseDown(row, CButtonState(kLButton));
    EXPECT_EQ(editor->getScalePercent(), 200);
    EXPECT_EQ(frame().getBackBuffer().getWidth(), 640);
    EXPECT_EQ(frame().getBackBuffer().getHeight(), 514);

    EffectInstance other;
    EXPECT_EQ(other.dispatch(effVendorSpecific, kScaleRequest, kScaleSelector, nullptr, 1.5f), 1);
    ERect* r = nullptr;
    other.dispatch(effEditGetRect, 0, 0, &r);
    EXPECT_EQ(r->right, 640);
    EXPECT_EQ(r->bottom, 514);
}

// The host's word decides while the user has chosen nothing: the rectangle follows, and so
// does an open window. Factors out of range are refused.
TEST_F(ScaledEditor, HostScaleCall) {
    EXPECT_EQ(fx.dispatch(effVendorSpecific, kScaleRequest, kScaleSelector, nullptr, 1.5f), 1);
    EXPECT_EQ(rect().right, 480);
    EXPECT_EQ(rect().bottom, 386);
    ASSERT_TRUE(editor->openOffscreen());
    EXPECT_EQ(frame().getBackBuffer().getWidth(), 480);
    EXPECT_EQ(fx.dispatch(effVendorSpecific, kScaleRequest, kScaleSelector, nullptr, 2.0f), 1);
    EXPECT_EQ(frame().getBackBuffer().getWidth(), 640);
    EXPECT_EQ(fx.dispatch(effVendorSpecific, kScaleRequest, kScaleSelector, nullptr, 9.0f), 0);
    EXPECT_EQ(fx.dispatch(effVendorSpecific, kScaleRequest, 0, nullptr, 1.0f), 0);
    EXPECT_EQ(editor->getScalePercent(), 200);
}

// Editors shown at every size, two of them at once at 300 %, all closed: the two open editors
// share their pictures, and the pictures of every size go back.
TEST_F(ScaledEditor, ClosedEditorsGiveTheirPicturesBack) {
    const std::size_t pictures = picture_cache::bytesInUse();
    openAt(300);
    const std::size_t at300 = picture_cache::bytesInUse();
    EffectInstance second;
    auto* other = static_cast<ADEditor*>(second.effect().getEditor());
    ASSERT_TRUE(other->openOffscreen() && other->setScalePercent(300));
    other->idle();
    EXPECT_EQ(picture_cache::bytesInUse(), at300);
    second.dispatch(effEditClose);
    for (int percent : pixel_scale::kPercents) {
        ASSERT_TRUE(editor->setScalePercent(percent));
        editor->idle();
    }
    fx.dispatch(effEditClose);
    EXPECT_EQ(picture_cache::bytesInUse(), pictures);
}

// While closed, the size is found once: a choice written behind the editor's back (by another
// process) is not read again, while this process's choice counts at once, and so does opening.
TEST_F(ScaledEditor, TheClosedRectangleIsFoundOnce) {
    EXPECT_EQ(rect().right, 320);
    ASSERT_TRUE(platform::SettingsStore::writeText("EditorSize", "200"));
    EXPECT_EQ(rect().right, 320);
    ASSERT_TRUE(scale_choice::storeUserPercent(150));
    EXPECT_EQ(rect().right, 480);
    ASSERT_TRUE(platform::SettingsStore::writeText("EditorSize", "200"));
    ASSERT_TRUE(editor->openOffscreen());
    fx.dispatch(effEditClose);
    EXPECT_EQ(rect().right, 640);
}

// The window at 200 % against a picture kept with the tests, which the Windows DLL is held to
// as well. Text is rasterised by the system's fonts, so small differences are allowed.
TEST_F(ScaledEditor, MatchesTheReferencePictureAt200) {
    openAt(200);
    const std::string path = std::string(CHORDWELL_TEST_DATA) + "/editor_200.png";
    std::vector<unsigned char> png;
    {
        std::ifstream in(path, std::ios::binary);
        png.assign(std::istreambuf_iterator<char>(in), {});
    }
    const PixelSurface& drawn = frame().getBackBuffer();
    if (const char* update = std::getenv("CHORDWELL_UPDATE_REFERENCE"); update && *update) {
        drawn.writePng(path.c_str());
        GTEST_SKIP() << "reference picture written to " << path;
    }
    const auto reference = PixelSurface::fromPng(png.data(), png.size());
    ASSERT_TRUE(reference) << path;
    ASSERT_EQ(reference->getWidth(), drawn.getWidth());
    ASSERT_EQ(reference->getHeight(), drawn.getHeight());
    int differing = 0;
    for (int y = 0; y < drawn.getHeight(); ++y)
        for (int x = 0; x < drawn.getWidth(); ++x) {
            const CColor a = drawn.getPixel(x, y);
            const CColor b = reference->getPixel(x, y);
            differing += std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)}) > 40;
        }
    EXPECT_LT(differing, drawn.getWidth() * drawn.getHeight() / 100) << "pixels that differ from " << path;
}

}  // namespace
