// The editor's gestures as a VST3 host hears them: the VST3 object linked in, its editor drawn
// offscreen and driven through its frame as the window system drives it.
#include <gtest/gtest.h>

#include <functional>

#include "editor/ad_editor.h"
#include "plugin/adelay.h"
#include "vst3/chordwell_effect.h"
#include "vst3_host_objects.h"

namespace {

constexpr CPoint kDecayKnob(72, 93), kBypassButton(160, 175);

struct EditorGestures : ::testing::Test {
    RecordingHandler handler;
    chordwell_vst3::ChordwellEffect* shell = chordwell_vst3::ChordwellEffect::create();
    ADEditor* editor = static_cast<ADEditor*>(shell->effect().getEditor());
    ~EditorGestures() override {
        shell->terminate();
        static_cast<vst3::IComponent*>(shell)->release();
    }
    CFrame& frame() { return *editor->getFrame(); }
    void press(CPoint at, std::int32_t buttons = kLButton) { frame().onMouseDown(at, CButtonState(buttons)); }
    void dragUp(CCoord pixels) {
        for (CPoint at(kDecayKnob.x, kDecayKnob.y - 4); at.y >= kDecayKnob.y - pixels; at.y -= 4)
            frame().onMouseMoved(at, CButtonState(kLButton));
    }
    void release() {
        CPoint at = kDecayKnob;
        frame().onMouseUp(at, CButtonState(0));
    }
};

// Each gesture, also one cut short, is "begin id", only "perform id" (one at least), "end id".
TEST_F(EditorGestures, EachIsOneEditOfItsParameterAndEnds) {
    const struct {
        const char* name;
        vst3::ParamID id;
        std::function<void()> act;
    } gestures[] = {
        {"drag", kDecay, [&] { press(kDecayKnob); dragUp(20); release(); }},
        {"second press in a drag", kDecay,
         [&] { press(kDecayKnob); dragUp(8); press(kDecayKnob, kLButton | kRButton); dragUp(20); release(); }},
        {"wheel step", kDecay, [&] { frame().onWheel(kDecayKnob, 1.0f, CButtonState(0)); }},
        {"reset", kDecay, [&] { press(kDecayKnob, kLButton | kControl); }},
        {"bypass click", kBypass, [&] { press(kBypassButton); }},
        {"change outside a gesture", kMix, [&] { shell->effect().setParameterAutomated(kMix, 0.6f); }},
        {"editor closed mid-drag", kDecay, [&] { press(kDecayKnob); dragUp(12); editor->close(); }},
        {"handler released mid-drag", kDecay, [&] { press(kDecayKnob); dragUp(12); shell->terminate(); }},
    };
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        shell->setComponentHandler(&handler);
        if (!editor->getFrame()) editor->openOffscreen();
        handler.calls.clear();
        gesture.act();
        const std::string id = std::to_string(gesture.id);
        ASSERT_GE(handler.calls.size(), 3u);
        EXPECT_EQ(handler.calls.front(), "begin " + id);
        EXPECT_EQ(handler.calls.back(), "end " + id);
        for (std::size_t i = 1; i + 1 < handler.calls.size(); ++i) EXPECT_EQ(handler.calls[i], "perform " + id);
        EXPECT_EQ(handler.edits.back().second, shell->getParamNormalized(gesture.id));
    }
}

}  // namespace
