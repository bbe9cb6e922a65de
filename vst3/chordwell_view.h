// The plug-in's editor as a VST3 view: the same window editor the VST 2.4 plug-in opens,
// embedded into the host's window. On X11 the host's run loop drives it: a timer for its idle
// step and a watch on the X connection for its events; the view starts no thread of its own.
// On Windows the editor's own window timer drives it, as under a VST 2.4 host.
//
// Size. The editor has one size per screen scale, chosen as for the VST 2.4 plug-in: the
// user's choice from its menu, else the host's factor (setContentScaleFactor), else the
// desktop's. When the size changes while the view is attached, the view asks its frame for the
// new size; a frame that refuses keeps the editor, picture and all, at the old size.
#pragma once

#include <atomic>

#include "vst3/view_interfaces.h"

namespace chordwell_vst3 {

class ChordwellEffect;

class ChordwellView final : public vst3::IPlugView,
                            public vst3::IPlugViewContentScaleSupport,
                            public vst3::ITimerHandler,
                            public vst3::IEventHandler {
public:
    // A new view with one reference, holding one on its effect; null when memory runs out.
    static ChordwellView* create(ChordwellEffect* owner);

    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override;
    vst3::uint32 VST3_API addRef() override;
    vst3::uint32 VST3_API release() override;

    vst3::tresult VST3_API isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult VST3_API attached(void* parent, vst3::FIDString type) override;
    vst3::tresult VST3_API removed() override;
    vst3::tresult VST3_API onWheel(float distance) override;
    vst3::tresult VST3_API onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult VST3_API onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
    vst3::tresult VST3_API getSize(vst3::ViewRect* size) override;
    vst3::tresult VST3_API onSize(vst3::ViewRect* newSize) override;
    vst3::tresult VST3_API onFocus(vst3::TBool) override { return vst3::kResultOk; }
    vst3::tresult VST3_API setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult VST3_API canResize() override { return vst3::kResultFalse; }
    vst3::tresult VST3_API checkSizeConstraint(vst3::ViewRect* rect) override;

    // True when the editor takes the factor (1 to 3); an attached view then asks for its size.
    vst3::tresult VST3_API setContentScaleFactor(ScaleFactor factor) override;

    // The editor's request for a new size while it is open: passed to the host's frame.
    // True when the host resized its window.
    bool requestSize(vst3::int32 width, vst3::int32 height);

    // The run loop's calls: both run the editor's idle step, which takes the window system's
    // pending events and redraws what changed.
    void VST3_API onTimer() override;
    void VST3_API onFDIsSet(int fd) override;

private:
    explicit ChordwellView(ChordwellEffect* owner);
    ~ChordwellView();
    void stopRunLoop();

    std::atomic<vst3::uint32> references_{1};
    ChordwellEffect* owner_;
    vst3::IPlugFrame* frame_ = nullptr;     // the host's, not counted: it outlives the view
    vst3::IRunLoop* runLoop_ = nullptr;     // counted while the view is attached
    bool timerRegistered_ = false;
    bool watchRegistered_ = false;
    bool attached_ = false;
};

}  // namespace chordwell_vst3
