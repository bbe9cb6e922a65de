// The plug-in's editor: a 320 by 257 pixel window with seven knobs, their readouts, the bypass
// button and its lamp, the about area and the preset bar.
#pragma once

#include "presets/preset_system_editor.h"

class ADEditor : public CPresetSystemEditor {
public:
    static constexpr VstInt16 kWidth = 320;
    static constexpr VstInt16 kHeight = 257;

    explicit ADEditor(AudioEffect* effect);

    bool open(void* parentWindow) override;
};
