// What the toolkit needs from the editor that owns a frame: the edit brackets of user
// gestures and the knob mode shared by every knob of the process.
#pragma once

#include <cstdint>

#include "gui/gui_constants.h"

class CFrame;

class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;

    // A control starts or ends a user gesture on the parameter with this tag.
    virtual void beginEdit(std::int32_t /*tag*/) {}
    virtual void endEdit(std::int32_t /*tag*/) {}

    virtual CFrame* getFrame() const { return nullptr; }

    // One knob mode for the whole process: every knob reads it when a drag starts.
    static std::int32_t getKnobMode() { return knobMode; }
    static void setSharedKnobMode(std::int32_t mode) { knobMode = mode; }

private:
    static inline std::int32_t knobMode = kCircularMode;
};
