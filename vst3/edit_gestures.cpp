#include "vst3/edit_gestures.h"

namespace chordwell_vst3 {

void EditGestures::beginWithHost(VstInt32 index) {
    if (begun_[index] || !handler_) return;
    handler_->beginEdit(static_cast<vst3::ParamID>(index));
    begun_[index] = true;
}

void EditGestures::gestureBegan(VstInt32 index) {
    if (!isParameter(index)) return;
    if (open_[index]++ == 0) beginWithHost(index);
}

void EditGestures::gestureEnded(VstInt32 index) {
    // An end with nothing open (the editor's gestures forgotten by endAll) changes nothing.
    if (!isParameter(index) || open_[index] == 0) return;
    if (--open_[index] > 0 || !begun_[index]) return;
    begun_[index] = false;
    if (handler_) handler_->endEdit(static_cast<vst3::ParamID>(index));
}

void EditGestures::changed(VstInt32 index, float value) {
    if (!isParameter(index) || !handler_) return;
    const auto id = static_cast<vst3::ParamID>(index);
    if (open_[index] > 0) {
        // A handler that came during the gesture hears of it from its next change on.
        beginWithHost(index);
        handler_->performEdit(id, value);
        return;
    }
    handler_->beginEdit(id);
    handler_->performEdit(id, value);
    handler_->endEdit(id);
}

void EditGestures::endWithHost() {
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        if (!begun_[index]) continue;
        begun_[index] = false;
        if (handler_) handler_->endEdit(static_cast<vst3::ParamID>(index));
    }
}

void EditGestures::endAll() {
    endWithHost();
    for (int& depth : open_) depth = 0;
}

}  // namespace chordwell_vst3
