#include "plugin/adelay.h"
#include "plugin/editor_factory.h"
#include "presets/headless_preset_editor.h"

void createEditor(ADelay* effect) { new CHeadlessPresetEditor(effect); }
