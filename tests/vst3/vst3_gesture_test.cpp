// The editor's gestures as a VST3 host hears them: the VST3 object linked in, its editor drawn
// offscreen and driven through its frame as the window system drives it.
#include <gtest/gtest.h>

#include <functional>

#include "editor/ad_editor.h"
#include "plugin/adelay.h"
#include "vst3/chordwell_effect.h"
#include "vst3_host_objects.h"

namespace {

CPoint decayKnob(CCoord up = 0) { return CPoint(72, 93 - up); }  // its centre, or `up` above it

// Each gesture, also one cut short, is "begin id", only "perform id" (one at least), "end id".
TEST(EditorGestures, EachIsOneEditOfItsParameterAndEnds) {
    RecordingHandler handler;
    auto* shell = chordwell_vst3::ChordwellEffect::create();
    auto* editor = static_cast<ADEditor*>(shell->effect().getEditor());
    auto mouse = [&](auto event, CPoint at, std::int32_t buttons) { (editor->getFrame()->*event)(at, buttons); };
    auto drag = [&](CCoord to) {  // a press on the knob (during a drag: a second one), moves up
        mouse(&CFrame::onMouseDown, decayKnob(), kLButton);
        for (CCoord up = 4; up <= to; up += 4) mouse(&CFrame::onMouseMoved, decayKnob(up), kLButton);
    };
    auto release = [&] { mouse(&CFrame::onMouseUp, decayKnob(), 0); };
    struct Gesture { const char* name; vst3::ParamID id; std::function<void()> act; };
    const Gesture gestures[] = {
        {"drag", kDecay, [&] { drag(20); release(); }},
        {"second press in a drag", kDecay, [&] { drag(8); drag(20); release(); }},
        {"wheel step", kDecay, [&] { editor->getFrame()->onWheel(decayKnob(), 1.0f, 0); }},
        {"reset", kDecay, [&] { mouse(&CFrame::onMouseDown, decayKnob(), kLButton | kControl); }},
        {"bypass click", kBypass, [&] { mouse(&CFrame::onMouseDown, CPoint(160, 175), kLButton); }},
        {"change outside a gesture", kMix, [&] { shell->effect().setParameterAutomated(kMix, 0.6f); }},
        {"editor closed mid-drag", kDecay, [&] { drag(12); editor->close(); }},
        {"handler released mid-drag", kDecay, [&] { drag(12); shell->terminate(); }},
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
    shell->terminate();
    static_cast<vst3::IComponent*>(shell)->release();
}

}  // namespace
