// Receives the editor's parameter gestures (a drag from press to release, a wheel step, a
// reset, a button click) as the effect sees them. The VST 2.4 plug-in tells its host nothing of
// them; a wrapper for an interface that groups a gesture's changes installs one on the effect.
#pragma once

#include "vst/aeffect.h"

class EditGestureListener {
public:
    virtual void gestureBegan(VstInt32 index) = 0;
    virtual void gestureEnded(VstInt32 index) = 0;

protected:
    ~EditGestureListener() = default;
};
