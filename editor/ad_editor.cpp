#include "editor/ad_editor.h"

ADEditor::ADEditor(AudioEffect* effect) : CPresetSystemEditor(effect) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = kHeight;
    rect.right = kWidth;
}

bool ADEditor::open(void* parentWindow) {
    AEffGUIEditor::open(parentWindow);
    // No window can be built yet: the host is told the editor did not open.
    AEffGUIEditor::close();
    return false;
}
