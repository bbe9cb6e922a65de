#include "vst3/chordwell_view.h"

#include <cstring>
#include <new>

#include "gui/platform_window.h"
#include "plugin/adelay.h"
#include "vst/aeffeditor.h"
#include "vst3/chordwell_effect.h"

namespace chordwell_vst3 {

using namespace vst3;

namespace {

// The editor's idle step as often as the preset bar's own timer runs it where the window
// system has timers.
constexpr uint64 kIdleIntervalMs = 50;

AEffEditor* editorOf(ChordwellEffect* owner) { return owner->effect().getEditor(); }

VstKeyCode keyCodeOf(char16 key, int16 keyCode, int16 modifiers) {
    // The virtual key numbers and the modifier bits are the same in both interfaces.
    return VstKeyCode{static_cast<VstInt32>(key), static_cast<unsigned char>(keyCode & 0xff),
                      static_cast<unsigned char>(modifiers & 0xff)};
}

}  // namespace

ChordwellView* ChordwellView::create(ChordwellEffect* owner) { return new (std::nothrow) ChordwellView(owner); }

ChordwellView::ChordwellView(ChordwellEffect* owner) : owner_(owner) {
    // The view may outlive the host's last reference to the effect; the editor lives in it.
    static_cast<IEditController*>(owner_)->addRef();
}

ChordwellView::~ChordwellView() {
    if (attached_) removed();
    static_cast<IEditController*>(owner_)->release();
}

tresult ChordwellView::queryInterface(const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    if (sameUid(iid, FUnknown::iid) || sameUid(iid, IPlugView::iid))
        *obj = static_cast<IPlugView*>(this);
    else if (sameUid(iid, IPlugViewContentScaleSupport::iid))
        *obj = static_cast<IPlugViewContentScaleSupport*>(this);
    else if (sameUid(iid, ITimerHandler::iid))
        *obj = static_cast<ITimerHandler*>(this);
    else if (sameUid(iid, IEventHandler::iid))
        *obj = static_cast<IEventHandler*>(this);
    else {
        *obj = nullptr;
        return kNoInterface;
    }
    addRef();
    return kResultOk;
}

uint32 ChordwellView::addRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

uint32 ChordwellView::release() {
    const uint32 left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult ChordwellView::isPlatformTypeSupported(FIDString type) {
    return type && std::strcmp(type, kPlatformViewType) == 0 ? kResultTrue : kResultFalse;
}

tresult ChordwellView::attached(void* parent, FIDString type) {
    if (!parent || isPlatformTypeSupported(type) != kResultTrue) return kInvalidArgument;
    AEffEditor* editor = editorOf(owner_);
    // One window per effect: another view of it may hold the editor.
    if (attached_ || !editor || editor->isOpen()) return kResultFalse;
    // The editor may settle on another size than getSize told while it opens (the parent's
    // monitor decides): its request reaches the frame through this view.
    owner_->setSizedView(this);
    if (!editor->open(parent)) {
        owner_->setSizedView(nullptr);
        return kResultFalse;
    }
    attached_ = true;

    void* runLoop = nullptr;
    if (frame_ && frame_->queryInterface(IRunLoop::iid.bytes, &runLoop) == kResultOk && runLoop) {
        runLoop_ = static_cast<IRunLoop*>(runLoop);
        timerRegistered_ = runLoop_->registerTimer(this, kIdleIntervalMs) == kResultOk;
        const int descriptor = windowEventDescriptor();
        watchRegistered_ = descriptor >= 0 && runLoop_->registerEventHandler(this, descriptor) == kResultOk;
    }
    return kResultOk;
}

void ChordwellView::stopRunLoop() {
    if (!runLoop_) return;
    if (watchRegistered_) runLoop_->unregisterEventHandler(this);
    if (timerRegistered_) runLoop_->unregisterTimer(this);
    watchRegistered_ = timerRegistered_ = false;
    runLoop_->release();
    runLoop_ = nullptr;
}

tresult ChordwellView::removed() {
    if (!attached_) return kResultFalse;
    stopRunLoop();
    if (AEffEditor* editor = editorOf(owner_)) editor->close();
    // Closing ends the controls' open gestures; whatever is left open ends here all the same.
    owner_->endEditorGestures();
    owner_->setSizedView(nullptr);
    attached_ = false;
    return kResultOk;
}

void ChordwellView::onTimer() {
    if (!attached_) return;
    editorOf(owner_)->idle();
    owner_->deliverDeferredNotifications();
}

void ChordwellView::onFDIsSet(int) {
    if (attached_) editorOf(owner_)->idle();
}

tresult ChordwellView::onWheel(float distance) {
    return attached_ && editorOf(owner_)->onWheel(distance) ? kResultTrue : kResultFalse;
}

tresult ChordwellView::onKeyDown(char16 key, int16 keyCode, int16 modifiers) {
    if (!attached_) return kResultFalse;
    VstKeyCode code = keyCodeOf(key, keyCode, modifiers);
    return editorOf(owner_)->onKeyDown(code) ? kResultTrue : kResultFalse;
}

tresult ChordwellView::onKeyUp(char16 key, int16 keyCode, int16 modifiers) {
    if (!attached_) return kResultFalse;
    VstKeyCode code = keyCodeOf(key, keyCode, modifiers);
    return editorOf(owner_)->onKeyUp(code) ? kResultTrue : kResultFalse;
}

tresult ChordwellView::getSize(ViewRect* size) {
    ERect* rect = nullptr;
    AEffEditor* editor = editorOf(owner_);
    if (!size || !editor || !editor->getRect(&rect) || !rect) return kInvalidArgument;
    *size = ViewRect{rect->left, rect->top, rect->right, rect->bottom};
    return kResultOk;
}

// The editor has one size at each scale and lays itself out when the scale changes: the
// host's word on the size of its window changes nothing, and one that asks which size it may
// have is told the editor's own.
tresult ChordwellView::onSize(ViewRect* newSize) { return newSize ? kResultOk : kInvalidArgument; }

tresult ChordwellView::checkSizeConstraint(ViewRect* rect) { return getSize(rect); }

tresult ChordwellView::setContentScaleFactor(ScaleFactor factor) {
    AEffEditor* editor = editorOf(owner_);
    return editor && editor->setContentScaleFactor(factor) ? kResultTrue : kResultFalse;
}

bool ChordwellView::requestSize(int32 width, int32 height) {
    if (!frame_ || width <= 0 || height <= 0) return false;
    ViewRect size{0, 0, width, height};
    return frame_->resizeView(this, &size) == kResultTrue;
}

tresult ChordwellView::setFrame(IPlugFrame* frame) {
    frame_ = frame;
    return kResultOk;
}

}  // namespace chordwell_vst3
