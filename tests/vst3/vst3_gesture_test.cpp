// The editor's gestures as a VST3 host hears them: each is one beginEdit, its performEdits and
// one endEdit for its parameter, also when it is cut short. The VST3 object is linked in and its
// editor drawn offscreen, driven through its frame as the window system would drive it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/ad_editor.h"
#include "gui/virtual_keys.h"
#include "plugin/adelay.h"
#include "vst3/chordwell_effect.h"
#include "vst3_host_objects.h"

namespace {

using chordwell_vst3::ChordwellEffect;

constexpr CPoint kDecayCentre(72, 93);
constexpr CPoint kBypassButton(160, 175);

struct EditorGestures : ::testing::Test {
    void SetUp() override {
        shell = ChordwellEffect::create();
        ASSERT_NE(shell, nullptr);
        shell->setComponentHandler(&handler);
        editor = static_cast<ADEditor*>(shell->effect().getEditor());
        ASSERT_TRUE(editor->openOffscreen());
    }
    void TearDown() override {
        if (!shell) return;
        shell->terminate();
        static_cast<vst3::IComponent*>(shell)->release();
    }

    CFrame& frame() { return *editor->getFrame(); }
    void press(CPoint where, std::int32_t buttons = kLButton) { frame().onMouseDown(where, CButtonState(buttons)); }
    void move(CPoint where) { frame().onMouseMoved(where, CButtonState(kLButton)); }
    void release(CPoint where) { frame().onMouseUp(where, CButtonState(0)); }
    void dragUp(int moves) {
        for (int i = 1; i <= moves; ++i) move(CPoint(kDecayCentre.x, kDecayCentre.y - 5 * i));
    }

    RecordingHandler handler;
    ChordwellEffect* shell = nullptr;
    ADEditor* editor = nullptr;
};

// One bracket: "begin id", then only "perform id" (at least one), then "end id".
void expectOneGesture(const std::vector<std::string>& calls, vst3::ParamID id) {
    const std::string n = std::to_string(id);
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), "begin " + n);
    EXPECT_EQ(calls.back(), "end " + n);
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i], "perform " + n) << i;
}

TEST_F(EditorGestures, EachGestureIsOneEditOfItsParameter) {
    const struct {
        const char* name;
        vst3::ParamID id;
        std::function<void(EditorGestures&)> act;
    } gestures[] = {
        {"drag", kDecay,
         [](EditorGestures& t) {
             t.press(kDecayCentre);
             t.dragUp(4);
             t.release(CPoint(kDecayCentre.x, kDecayCentre.y - 20));
         }},
        {"drag with a second press in it", kDecay,
         [](EditorGestures& t) {
             t.press(kDecayCentre);
             t.dragUp(2);
             t.press(CPoint(kDecayCentre.x, kDecayCentre.y - 10), kLButton | kRButton);
             t.dragUp(4);
             t.release(CPoint(kDecayCentre.x, kDecayCentre.y - 20));
         }},
        {"wheel step", kDecay, [](EditorGestures& t) { t.frame().onWheel(kDecayCentre, 1.0f, CButtonState(0)); }},
        {"reset", kDecay, [](EditorGestures& t) { t.press(kDecayCentre, kLButton | kControl); }},
        {"arrow key", kDecay,
         [](EditorGestures& t) {
             t.frame().setFocusView(t.editor->getKnob(kDecay));
             VstKeyCode up{0, VKEY_UP, 0};
             t.frame().onKeyDown(up);
         }},
        {"bypass click", kBypass, [](EditorGestures& t) { t.press(kBypassButton); }},
        {"change outside a gesture", kMix,
         [](EditorGestures& t) { t.shell->effect().setParameterAutomated(kMix, 0.6f); }},
    };
    for (const auto& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        handler.calls.clear();
        handler.edits.clear();
        gesture.act(*this);
        expectOneGesture(handler.calls, gesture.id);
        ASSERT_FALSE(handler.edits.empty());
        EXPECT_EQ(handler.edits.back().second, shell->getParamNormalized(gesture.id));
    }
}

// A drag cut short, by the editor closing or the host letting go of its handler, still ends.
TEST_F(EditorGestures, ADragCutShortStillEnds) {
    const struct {
        const char* name;
        std::function<void(EditorGestures&)> cut;
    } cuts[] = {
        {"editor closed", [](EditorGestures& t) { t.editor->close(); }},
        {"host terminates", [](EditorGestures& t) { t.shell->terminate(); }},
    };
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.name);
        shell->setComponentHandler(&handler);
        if (!editor->getFrame()) {
            ASSERT_TRUE(editor->openOffscreen());
        }
        handler.calls.clear();
        press(kDecayCentre);
        dragUp(3);
        cut.cut(*this);
        expectOneGesture(handler.calls, kDecay);
    }
}

}  // namespace
