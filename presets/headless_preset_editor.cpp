#include "presets/headless_preset_editor.h"

#include "presets/preset_system_effect.h"

CHeadlessPresetEditor::CHeadlessPresetEditor(CPresetSystemEffect* effect)
    : AEffEditor(effect), persistence(effect, this) {
    if (effect) effect->setEditor(this);
}

CHeadlessPresetEditor::~CHeadlessPresetEditor() { persistence.savePaths(); }
