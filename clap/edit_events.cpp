#include "clap/edit_events.h"

#include "clap/clap_abi.h"

namespace chordwell_clap {

void EditEvents::push(std::uint16_t type, VstInt32 index, double value) {
    queue_.push(EditEvent{type, static_cast<std::uint32_t>(index), value});
}

void EditEvents::gestureBegan(VstInt32 index) {
    if (!isParameter(index)) return;
    if (open_[index]++ == 0) push(clap::kEventParamGestureBegin, index);
}

void EditEvents::gestureEnded(VstInt32 index) {
    // An end with nothing open (the gestures forgotten by endAll) changes nothing.
    if (!isParameter(index) || open_[index] == 0) return;
    if (--open_[index] > 0) return;
    push(clap::kEventParamGestureEnd, index);
    announce_(context_);
}

void EditEvents::changed(VstInt32 index, double value) {
    if (!isParameter(index)) return;
    if (open_[index] > 0) {
        push(clap::kEventParamValue, index, value);
    } else {
        push(clap::kEventParamGestureBegin, index);
        push(clap::kEventParamValue, index, value);
        push(clap::kEventParamGestureEnd, index);
    }
    announce_(context_);
}

void EditEvents::endAll() {
    bool ended = false;
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        if (open_[index] == 0) continue;
        open_[index] = 0;
        push(clap::kEventParamGestureEnd, index);
        ended = true;
    }
    if (ended) announce_(context_);
}

}  // namespace chordwell_clap
