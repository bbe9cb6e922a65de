// Editor base bound to the toolkit's frame: registers itself with its effect and answers
// the host's rectangle request.
#pragma once

#include "vst/aeffeditor.h"
#include "vst/audioeffect.h"

class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
        if (effect) effect->setEditor(this);
    }

    bool getRect(ERect** outRect) override {
        if (!outRect) return false;
        *outRect = &rect;
        return true;
    }

protected:
    ERect rect{0, 0, 0, 0};
};
