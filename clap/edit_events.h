// The editor's gestures as the CLAP host's events: a gesture-begin when a gesture on a parameter
// starts, a value for each change the editor makes, a gesture-end when it ends, so that a drag
// is one touch for the host's automation and one step of its undo. A change outside any gesture
// is a begin, a value and an end of its own. Every begin is ended, also when the editor goes.
// Main thread only; the events wait in the queue for the host to take them.
#pragma once

#include "clap/output_event_queue.h"
#include "plugin/parameters.h"
#include "vst/edit_gesture_listener.h"

namespace chordwell_clap {

class EditEvents final : public EditGestureListener {
public:
    // `announce` runs after new events are queued (the owner asks the host to take them).
    EditEvents(OutputEventQueue& queue, void (*announce)(void*), void* context)
        : queue_(queue), announce_(announce), context_(context) {}

    // The editor's brackets, nested per parameter; only the outermost reaches the host. Indices
    // of no parameter (the preset bar's buttons) are not the host's business.
    void gestureBegan(VstInt32 index) override;
    void gestureEnded(VstInt32 index) override;

    // The editor changed a parameter to `value` (the host's value, not the effect's).
    void changed(VstInt32 index, double value);

    // Ends every gesture still open (the editor went).
    void endAll();

private:
    static bool isParameter(VstInt32 index) { return index >= 0 && index < kNumParams; }
    void push(std::uint16_t type, VstInt32 index, double value = 0.0);

    OutputEventQueue& queue_;
    void (*announce_)(void*);
    void* context_;
    int open_[kNumParams] = {};  // the editor's bracket depth per parameter
};

}  // namespace chordwell_clap
