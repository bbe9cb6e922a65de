#include "gui/aeffguieditor.h"

#include "gui/cframe.h"
#include "gui/platform_window.h"
#include "vst/audioeffectx.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    if (effect) effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() {
    // A subclass that left its window open: the frame must not outlive the editor it calls.
    if (frame) {
        frame->close();
        frame = nullptr;
    }
}

bool AEffGUIEditor::getRect(ERect** outRect) {
    if (!outRect) return false;
    *outRect = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    AEffEditor::open(parentWindow);
    return parentWindow != nullptr || openingOffscreen;
}

void AEffGUIEditor::close() { AEffEditor::close(); }

bool AEffGUIEditor::openOffscreen() {
    openingOffscreen = true;
    const bool opened = open(nullptr);
    openingOffscreen = false;
    return opened;
}

void AEffGUIEditor::idle() {
    if (inIdle) return;
    inIdle = true;
    dispatchWindowEvents();
    // An event handler may have closed the window: the frame is read afresh.
    if (frame) frame->idle();
    inIdle = false;
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) { return frame && frame->onKeyDown(keyCode) != kKeyNotHandled; }

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) != kKeyNotHandled; }

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    CPoint where;
    frame->getCurrentMouseLocation(where);
    return frame->onWheel(where, distance, frame->getCurrentMouseButtons());
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    VSTGUIEditorInterface::setSharedKnobMode(mode);
    return true;
}

void AEffGUIEditor::beginEdit(std::int32_t tag) {
    if (auto* fx = dynamic_cast<AudioEffectX*>(effect)) fx->beginEdit(tag);
}

void AEffGUIEditor::endEdit(std::int32_t tag) {
    if (auto* fx = dynamic_cast<AudioEffectX*>(effect)) fx->endEdit(tag);
}
