// The editor's gestures as the VST3 host's edits: beginEdit when a gesture on a parameter
// starts, performEdit for each change the editor makes, endEdit when it ends, so that a drag
// from press to release is one touch for the host's touch and latch automation and one step of
// its undo. A change outside any gesture is an edit of its own. Every beginEdit sent is ended,
// also when the editor goes or the host takes its handler back in the middle of a gesture.
// Interface thread only.
#pragma once

#include "plugin/parameters.h"
#include "vst/edit_gesture_listener.h"
#include "vst3/controller_interfaces.h"

namespace chordwell_vst3 {

class EditGestures final : public EditGestureListener {
public:
    // `handler` is the owner's handler pointer, read at every call (null: no host to tell).
    explicit EditGestures(vst3::IComponentHandler* const& handler) : handler_(handler) {}

    // From the effect: the editor's brackets, nested per parameter; only the outermost reaches
    // the host. Indices of no parameter (the preset bar's buttons) are not the host's business.
    void gestureBegan(VstInt32 index) override;
    void gestureEnded(VstInt32 index) override;

    // The editor changed a parameter: inside its gesture, or as a whole edit of its own.
    void changed(VstInt32 index, float value);

    // Ends every gesture the host was told of (its handler is about to go); the editor's open
    // ones go on, and a new handler hears of them from their next change on.
    void endWithHost();
    // The same, and forgets the editor's open gestures (the editor went).
    void endAll();

private:
    static bool isParameter(VstInt32 index) { return index >= 0 && index < kNumParams; }
    void beginWithHost(VstInt32 index);

    vst3::IComponentHandler* const& handler_;
    int open_[kNumParams] = {};         // the editor's bracket depth per parameter
    bool begun_[kNumParams] = {};       // the host was sent beginEdit and not yet endEdit
};

}  // namespace chordwell_vst3
