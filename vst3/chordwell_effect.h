// The plug-in as one VST3 object: audio component, processor, edit controller and unit info at
// once. It drives the same effect object that the VST 2.4 library hands its hosts (ADelay), so
// sound, parameters, presets, the state bytes and the editor are those of that plug-in; this
// class only translates between the two interfaces.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "vst/aeffect.h"
#include "vst3/audio_interfaces.h"
#include "vst3/controller_interfaces.h"
#include "vst3/edit_gestures.h"

class ADelay;

namespace platform {
class InterfaceTimer;
}

namespace chordwell_vst3 {

class ChordwellView;
class RunLoopTimer;

// The component's state under the component's names, so that the controller's state of the
// same names can stay apart from it in one object.
class ComponentStateSide : public vst3::IComponent {
public:
    vst3::tresult VST3_API setState(vst3::IBStream* state) final { return readBank(state); }
    vst3::tresult VST3_API getState(vst3::IBStream* state) final { return writeBank(state); }

protected:
    virtual vst3::tresult readBank(vst3::IBStream* state) = 0;
    virtual vst3::tresult writeBank(vst3::IBStream* state) = 0;
};

// The controller keeps no state of its own: everything is in the component's.
class ControllerStateSide : public vst3::IEditController {
public:
    vst3::tresult VST3_API setState(vst3::IBStream*) final { return vst3::kResultOk; }
    vst3::tresult VST3_API getState(vst3::IBStream*) final { return vst3::kResultOk; }
};

class ChordwellEffect final : public ComponentStateSide,
                              public vst3::IAudioProcessor,
                              public vst3::IProcessContextRequirements,
                              public ControllerStateSide,
                              public vst3::IUnitInfo {
public:
    // A new object with one reference; null when the effect cannot be built.
    static ChordwellEffect* create();

    // FUnknown
    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override;
    vst3::uint32 VST3_API addRef() override;
    vst3::uint32 VST3_API release() override;

    // IPluginBase (one for component and controller)
    vst3::tresult VST3_API initialize(vst3::FUnknown* context) override;
    vst3::tresult VST3_API terminate() override;

    // IComponent
    vst3::tresult VST3_API getControllerClassId(char* classId) override;
    vst3::tresult VST3_API setIoMode(vst3::int32 mode) override;
    vst3::int32 VST3_API getBusCount(vst3::int32 type, vst3::int32 dir) override;
    vst3::tresult VST3_API getBusInfo(vst3::int32 type, vst3::int32 dir, vst3::int32 index, vst3::BusInfo& bus) override;
    vst3::tresult VST3_API getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult VST3_API activateBus(vst3::int32 type, vst3::int32 dir, vst3::int32 index, vst3::TBool state) override;
    vst3::tresult VST3_API setActive(vst3::TBool state) override;

    // IAudioProcessor
    vst3::tresult VST3_API setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                              vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
    vst3::tresult VST3_API getBusArrangement(vst3::int32 dir, vst3::int32 index, vst3::SpeakerArrangement& arr) override;
    vst3::tresult VST3_API canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 VST3_API getLatencySamples() override { return 0; }
    vst3::tresult VST3_API setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult VST3_API setProcessing(vst3::TBool state) override;
    vst3::tresult VST3_API process(vst3::ProcessData& data) override;
    vst3::uint32 VST3_API getTailSamples() override;

    // IProcessContextRequirements: the effect reads nothing of the process context.
    vst3::uint32 VST3_API getProcessContextRequirements() override { return 0; }

    // IEditController
    vst3::tresult VST3_API setComponentState(vst3::IBStream* state) override;
    vst3::int32 VST3_API getParameterCount() override;
    vst3::tresult VST3_API getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult VST3_API getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                 vst3::String128 string) override;
    vst3::tresult VST3_API getParamValueByString(vst3::ParamID id, vst3::char16* string,
                                                 vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue VST3_API normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
    vst3::ParamValue VST3_API plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue VST3_API getParamNormalized(vst3::ParamID id) override;
    vst3::tresult VST3_API setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3_API setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* VST3_API createView(vst3::FIDString name) override;

    // IUnitInfo
    vst3::int32 VST3_API getUnitCount() override { return 1; }
    vst3::tresult VST3_API getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
    vst3::int32 VST3_API getProgramListCount() override { return 1; }
    vst3::tresult VST3_API getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) override;
    vst3::tresult VST3_API getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                          vst3::String128 name) override;
    vst3::tresult VST3_API getProgramInfo(vst3::ProgramListID, vst3::int32, const char*, vst3::String128) override {
        return vst3::kResultFalse;
    }
    vst3::tresult VST3_API hasProgramPitchNames(vst3::ProgramListID, vst3::int32) override { return vst3::kResultFalse; }
    vst3::tresult VST3_API getProgramPitchName(vst3::ProgramListID, vst3::int32, vst3::int16, vst3::String128) override {
        return vst3::kResultFalse;
    }
    vst3::UnitID VST3_API getSelectedUnit() override { return vst3::kRootUnitId; }
    vst3::tresult VST3_API selectUnit(vst3::UnitID unitId) override;
    vst3::tresult VST3_API getUnitByBus(vst3::int32, vst3::int32, vst3::int32, vst3::int32, vst3::UnitID& unitId) override;
    vst3::tresult VST3_API setUnitProgramData(vst3::int32, vst3::int32, vst3::IBStream*) override {
        return vst3::kNotImplemented;
    }

    ADelay& effect() { return *effect_; }

    // The attached view, which the editor's requests for a new size go to (null: none).
    void setSizedView(ChordwellView* view) { sizedView_ = view; }

    // Tells the host now of a preset change that came about inside one of its own calls (see
    // displayChanged), unless one of those calls is still running; the view calls it from its
    // timer, on the host's interface thread.
    void deliverDeferredNotifications();

    // The editor went: any gesture of it still open ends for the host too.
    void endEditorGestures() { gestures_.endAll(); }

private:
    explicit ChordwellEffect(ADelay* effect);
    ~ChordwellEffect();

    vst3::tresult readBank(vst3::IBStream* state) override;
    vst3::tresult writeBank(vst3::IBStream* state) override;

    // The effect's requests to its host, answered here for the VST3 host.
    static VstIntPtr effectRequest(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);
    void automate(VstInt32 index, float value);
    void displayChanged();
    void notifyDisplayChange();
    void releaseHandlers();
    vst3::uint32 currentTail();

    // What the host is told outside its own calls, on its interface thread: preset changes made
    // inside them, and a tail that no longer is what the host last heard. A timer calls it: the
    // host's run loop (offered by the component handler or the host context, on Linux), else the
    // system's timer (Windows); with neither, the next suitable host call does (hostCallPassed).
    void startHostTimer();
    void stopHostTimer();
    void onHostTimer();
    void hostCallPassed();
    void announceTailChange();

    // Marks a stretch in which the host may hold locks that its notification handlers take
    // again: its own calls that may change presets (Ardour loading a preset), and our calls into
    // its component handler, from which it calls back into us (Ardour, told that the values
    // changed, sets them on the controller again). While one runs, the host hears of a change
    // later, never from inside.
    class InsideHostCall {
    public:
        explicit InsideHostCall(ChordwellEffect& effect) : effect_(effect) { ++effect_.hostCallDepth_; }
        ~InsideHostCall() { --effect_.hostCallDepth_; }
        InsideHostCall(const InsideHostCall&) = delete;
        InsideHostCall& operator=(const InsideHostCall&) = delete;

    private:
        ChordwellEffect& effect_;
    };

    std::atomic<vst3::uint32> references_{1};
    ADelay* effect_;
    vst3::IComponentHandler* handler_ = nullptr;
    vst3::IUnitHandler* unitHandler_ = nullptr;
    // The editor's gestures as the host's edits, through handler_.
    EditGestures gestures_{handler_};
    // True between setProcessing(true) and setProcessing(false) or setActive(false): parameter
    // values then reach the engine only through process(), at their own samples.
    std::atomic<bool> processing_{false};
    // What activateBus made of the two buses: an input switched off counts as silence, and an
    // output switched off gets nothing.
    std::atomic<bool> inputBusActive_{true};
    std::atomic<bool> outputBusActive_{true};
    // Set when the host chose a preset: the next block reports the values as output changes.
    std::atomic<bool> valuesToReport_{false};
    // Zeros for the input of a block without a usable one; sized in setupProcessing.
    std::vector<float> silentInput_;
    // Interface thread only.
    ChordwellView* sizedView_ = nullptr;
    vst3::FUnknown* hostContext_ = nullptr;  // counted, from initialize
    RunLoopTimer* runLoopTimer_ = nullptr;
    std::unique_ptr<platform::InterfaceTimer> systemTimer_;
    std::atomic<std::thread::id> interfaceThread_{};  // the one that set the handler
    unsigned timerTicks_ = 0;
    // Host calls that may change presets, and a change they made, are seen by the timer.
    std::atomic<int> hostCallDepth_{0};
    std::atomic<bool> displayChangeDeferred_{false};
    // The tail the host last read or was told of.
    std::atomic<vst3::uint32> toldTail_{0};
};

}  // namespace chordwell_vst3
