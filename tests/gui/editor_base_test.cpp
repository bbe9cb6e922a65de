// The editor base: rectangle, opening rules, edit brackets to the effect, knob mode, key and
// wheel forwarding and the idle pass.
#include <gtest/gtest.h>

#include <cstdint>

#include "gui/aeffguieditor.h"
#include "gui_test_support.h"
#include "vst/audioeffectx.h"

namespace {

struct BracketEffect : AudioEffectX {
    BracketEffect() : AudioEffectX(nullptr, 1, 8) {}
    std::vector<std::string> events;
    bool beginEdit(VstInt32 index) override {
        events.push_back("begin " + std::to_string(index));
        return false;
    }
    bool endEdit(VstInt32 index) override {
        events.push_back("end " + std::to_string(index));
        return false;
    }
};

// A minimal editor: one knob (tag 3) on a 100 x 60 frame.
class TestEditor : public AEffGUIEditor {
public:
    explicit TestEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
        rect.right = 100;
        rect.bottom = 60;
    }
    bool open(void* parent) override {
        if (!AEffGUIEditor::open(parent)) return false;
        frame = new CFrame(CRect(0, 0, 100, 60), parent, this);
        if (parent && !frame->isOpen()) {
            frame->close();
            frame = nullptr;
            AEffGUIEditor::close();
            return false;
        }
        knob = new CKnob(CRect(10, 10, 50, 50), nullptr, 3, nullptr, nullptr);
        frame->addView(knob);
        return true;
    }
    void close() override {
        if (frame) frame->close();
        frame = nullptr;
        knob = nullptr;
        AEffGUIEditor::close();
    }
    CKnob* knob = nullptr;
};

}  // namespace

TEST(EditorBase, RectangleAndOpeningRules) {
    BracketEffect effect;
    auto* editor = new TestEditor(&effect);  // the effect deletes it
    EXPECT_EQ(effect.getEditor(), editor);
    ERect* r = nullptr;
    EXPECT_TRUE(editor->getRect(&r));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->right, 100);
    EXPECT_EQ(r->bottom, 60);

    // No parent window: no window, no frame.
    EXPECT_FALSE(editor->open(nullptr));
    EXPECT_EQ(editor->getFrame(), nullptr);
    // Offscreen on request, with no window.
    EXPECT_TRUE(editor->openOffscreen());
    ASSERT_NE(editor->getFrame(), nullptr);
    EXPECT_FALSE(editor->getFrame()->isOpen());
    EXPECT_EQ(editor->getFrame()->getPlatformWindow(), nullptr);
    editor->idle();
    EXPECT_FALSE(editor->getFrame()->isDirty());
    editor->close();
    EXPECT_EQ(editor->getFrame(), nullptr);
}

TEST(EditorBase, EditBracketsReachTheEffectAndKnobModeIsShared) {
    BracketEffect effect;
    auto* editor = new TestEditor(&effect);
    ASSERT_TRUE(editor->openOffscreen());
    const std::int32_t saved = VSTGUIEditorInterface::getKnobMode();
    EXPECT_TRUE(editor->setKnobMode(kLinearMode));
    EXPECT_EQ(VSTGUIEditorInterface::getKnobMode(), kLinearMode);

    CKnob* knob = editor->knob;
    knob->setValue(0.5f);
    CPoint p(30, 30);
    editor->getFrame()->onMouseDown(p, kLButton);
    CPoint up(30, 10);
    editor->getFrame()->onMouseMoved(up, kLButton);  // linear: 20 px up
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    editor->getFrame()->onMouseUp(up, kLButton);
    EXPECT_EQ(effect.events, (std::vector<std::string>{"begin 3", "end 3"}));

    // Keys and the wheel go through the frame, the wheel at the pointer's last position.
    VstKeyCode key{0, VKEY_UP, 0};
    EXPECT_TRUE(editor->onKeyDown(key));
    EXPECT_NEAR(knob->getValue(), 0.7f, 1e-6);
    VstKeyCode other{'x', 0, 0};
    EXPECT_FALSE(editor->onKeyDown(other));
    EXPECT_TRUE(editor->onWheel(1.0f));
    EXPECT_NEAR(knob->getValue(), 0.8f, 1e-6);
    CPoint outside(80, 55);
    editor->getFrame()->onMouseMoved(outside, 0);
    EXPECT_FALSE(editor->onWheel(1.0f));

    VSTGUIEditorInterface::setSharedKnobMode(saved);
    editor->close();
    // Closed: nothing to forward to.
    EXPECT_FALSE(editor->onKeyDown(key));
    EXPECT_FALSE(editor->onWheel(1.0f));
}

TEST(EditorBase, DestroyingAnOpenEditorClosesItsFrame) {
    auto* effect = new BracketEffect;
    auto* editor = new TestEditor(effect);
    ASSERT_TRUE(editor->openOffscreen());
    delete effect;  // deletes the editor, which must not leak the frame
}
