#include "vst3/chordwell_effect.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>
#include <thread>

#include "dsp/constants.h"
#include "dsp/loop_length.h"
#include "plugin/adelay.h"
#include "plugin/factory_presets.h"
#include "plugin/parameter_texts.h"
#include "plugin/parameter_units.h"
#include "plugin/tail_length.h"
#include "platform/interface_timer.h"
#include "presets/bank_chunk.h"
#include "presets/preset_editor_interface.h"
#include "vst/aeffeditor.h"
#include "vst3/chordwell_ids.h"
#include "vst3/chordwell_view.h"
#include "vst3/run_loop_timer.h"
#include "vst3/text16.h"

namespace chordwell_vst3 {

using namespace vst3;

namespace {

constexpr int32 kNumChannels = 2;
constexpr int32 kLastPreset = kNumPresets - 1;
constexpr int32 kTextSize = 32;                  // any value text fits with room to spare
constexpr double kLongestTail = 2147483647.0;    // samples; longer counts as infinite
constexpr int32 kLongestSilentPiece = 1 << 16;   // frames of silent input at most; longer blocks take turns
constexpr uint64 kHostTimerMs = 50;              // how soon the host hears of a deferred change
constexpr unsigned kTailCheckTicks = 4;          // the tail is compared every fourth tick (200 ms)

int32 presetOf(ParamValue value) {
    if (!std::isfinite(value)) return -1;
    return static_cast<int32>(std::lround(std::clamp(value, 0.0, 1.0) * kLastPreset));
}

// The name of preset 0..5 of the bank, as UTF-16; false for any other number.
bool presetName(ADelay& effect, int32 preset, String128 name) {
    char text[kPresetNameLength + 1] = {};
    if (!effect.getProgramNameIndexed(0, preset, text)) return false;
    copyToUtf16(text, name, 128);
    return true;
}

bool isAudioBus(int32 type, int32 dir, int32 index) {
    return type == kAudio && (dir == vst3::kInput || dir == vst3::kOutput) && index == 0;
}

// Reads the whole stream, up to one byte more than a chunk, so that a longer one shows. Every
// byte a read hands over counts, whatever it answers (streams answer a read that ends short
// either way), and reading goes on until a read hands over nothing.
int32 readUpTo(IBStream* stream, unsigned char* buffer, int32 capacity) {
    int32 total = 0;
    while (total < capacity) {
        int32 got = 0;
        stream->read(buffer + total, capacity - total, &got);
        if (got <= 0) break;
        total += std::min(got, capacity - total);
    }
    return total;
}

}  // namespace

ChordwellEffect* ChordwellEffect::create() {
    AEffect* record = createEffectInstance(&ChordwellEffect::effectRequest);
    if (!record) return nullptr;
    auto* effect = static_cast<ADelay*>(static_cast<AudioEffect*>(record->object));
    auto* shell = new (std::nothrow) ChordwellEffect(effect);
    if (!shell) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    return shell;
}

ChordwellEffect::ChordwellEffect(ADelay* effect) : effect_(effect) {
    // From here on the effect's requests reach this object.
    effect_->getAeffect()->user = this;
    effect_->setEditGestureListener(&gestures_);
}

ChordwellEffect::~ChordwellEffect() {
    releaseHandlers();
    if (hostContext_) hostContext_->release();
    AEffect* record = effect_->getAeffect();
    record->user = nullptr;
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

tresult ChordwellEffect::queryInterface(const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    if (sameUid(iid, FUnknown::iid) || sameUid(iid, IPluginBase::iid) || sameUid(iid, IComponent::iid))
        *obj = static_cast<IComponent*>(this);
    else if (sameUid(iid, IAudioProcessor::iid))
        *obj = static_cast<IAudioProcessor*>(this);
    else if (sameUid(iid, IProcessContextRequirements::iid))
        *obj = static_cast<IProcessContextRequirements*>(this);
    else if (sameUid(iid, IEditController::iid))
        *obj = static_cast<IEditController*>(this);
    else if (sameUid(iid, IUnitInfo::iid))
        *obj = static_cast<IUnitInfo*>(this);
    else {
        *obj = nullptr;
        return kNoInterface;
    }
    addRef();
    return kResultOk;
}

uint32 ChordwellEffect::addRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

uint32 ChordwellEffect::release() {
    const uint32 left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

// Hosts initialize a single-component plug-in once or once per interface; the effect was built
// with the object, and only the host's context is kept (its run loop may be asked for later).
tresult ChordwellEffect::initialize(FUnknown* context) {
    if (context && !hostContext_) {
        context->addRef();
        hostContext_ = context;
    }
    return kResultOk;
}

tresult ChordwellEffect::terminate() {
    releaseHandlers();
    if (hostContext_) hostContext_->release();
    hostContext_ = nullptr;
    return kResultOk;
}

void ChordwellEffect::releaseHandlers() {
    stopHostTimer();
    // The handler that heard a gesture begin hears it end.
    gestures_.endWithHost();
    if (unitHandler_) unitHandler_->release();
    if (handler_) handler_->release();
    unitHandler_ = nullptr;
    handler_ = nullptr;
}

// Component and controller are this one object: there is no separate controller class.
tresult ChordwellEffect::getControllerClassId(char*) { return kResultFalse; }

tresult ChordwellEffect::setIoMode(int32) { return kResultOk; }

int32 ChordwellEffect::getBusCount(int32 type, int32 dir) {
    return type == kAudio && (dir == vst3::kInput || dir == vst3::kOutput) ? 1 : 0;
}

tresult ChordwellEffect::getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) {
    if (!isAudioBus(type, dir, index)) return kInvalidArgument;
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = kNumChannels;
    copyToUtf16(dir == vst3::kInput ? "Stereo In" : "Stereo Out", bus.name, std::size(bus.name));
    bus.busType = kMain;
    bus.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult ChordwellEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult ChordwellEffect::activateBus(int32 type, int32 dir, int32 index, TBool state) {
    if (!isAudioBus(type, dir, index)) return kInvalidArgument;
    (dir == vst3::kInput ? inputBusActive_ : outputBusActive_).store(state != 0, std::memory_order_relaxed);
    return kResultOk;
}

tresult ChordwellEffect::setActive(TBool state) {
    if (state) {
        effect_->resume();
    } else {
        processing_.store(false);
        effect_->suspend();
    }
    return kResultOk;
}

tresult ChordwellEffect::readBank(IBStream* state) {
    if (!state) return kInvalidArgument;
    const InsideHostCall call(*this);
    unsigned char bytes[kChunkSize + 1];
    const int32 size = readUpTo(state, bytes, sizeof bytes);
    // State that is not a whole bank of this plug-in in either byte order changes nothing.
    if (effect_->loadBankChunk(bytes, size) != ChunkResult::ok) return kResultFalse;
    // The host reads every value again after setState: nothing to tell it.
    displayChangeDeferred_.store(false);
    return kResultOk;
}

tresult ChordwellEffect::writeBank(IBStream* state) {
    if (!state) return kInvalidArgument;
    void* data = nullptr;
    const VstInt32 size = effect_->getChunk(&data, false);
    if (size <= 0 || !data) return kInternalError;
    int32 written = 0;
    if (state->write(data, size, &written) != kResultOk || written != size) return kResultFalse;
    return kResultOk;
}

tresult ChordwellEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                            int32 numOuts) {
    if (numIns != 1 || numOuts != 1 || !inputs || !outputs) return kResultFalse;
    return inputs[0] == kStereo && outputs[0] == kStereo ? kResultTrue : kResultFalse;
}

tresult ChordwellEffect::getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) {
    if (!isAudioBus(kAudio, dir, index)) return kInvalidArgument;
    arr = kStereo;
    return kResultOk;
}

tresult ChordwellEffect::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

tresult ChordwellEffect::setupProcessing(ProcessSetup& setup) {
    if (setup.symbolicSampleSize != kSample32) return kResultFalse;
    if (!(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate)) return kInvalidArgument;
    effect_->setSampleRate(static_cast<float>(setup.sampleRate));
    effect_->setBlockSize(setup.maxSamplesPerBlock);
    // Silent input for blocks without a usable input bus: made here, as process() allocates
    // nothing. Hosts do not process while they set up, so the buffer is not in use.
    try {
        silentInput_.assign(static_cast<std::size_t>(std::clamp(setup.maxSamplesPerBlock, 1, kLongestSilentPiece)), 0.0f);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kResultOk;
}

tresult ChordwellEffect::setProcessing(TBool state) {
    processing_.store(state != 0);
    return kResultOk;
}

tresult ChordwellEffect::process(ProcessData& data) {
    if (data.symbolicSampleSize != kSample32) return kInvalidArgument;
    const int32 frames = std::max<int32>(data.numSamples, 0);

    // Each parameter's queue of changes: its points come in the order of their samples.
    IParamValueQueue* queues[kNumParams] = {};
    int32 pointCounts[kNumParams] = {};
    int32 nextPoint[kNumParams] = {};
    if (IParameterChanges* changes = data.inputParameterChanges) {
        const int32 count = changes->getParameterCount();
        for (int32 i = 0; i < count; ++i) {
            IParamValueQueue* queue = changes->getParameterData(i);
            if (!queue) continue;
            // The program change is not taken here: choosing a preset calls the host back, which
            // the audio thread must not. Hosts give it to setParamNormalized as well.
            const ParamID id = queue->getParameterId();
            if (id >= static_cast<ParamID>(kNumParams)) continue;
            queues[id] = queue;
            pointCounts[id] = queue->getPointCount();
        }
    }

    // Output goes to a stereo output bus, or nowhere; a missing or unusable input counts as
    // silence, so the strings ring on as they would with silent input.
    float* out[kNumChannels] = {};
    bool haveOutput = frames > 0 && outputBusActive_.load(std::memory_order_relaxed) && data.numOutputs >= 1 &&
                      data.outputs && data.outputs[0].numChannels >= kNumChannels && data.outputs[0].channelBuffers32;
    for (int32 c = 0; haveOutput && c < kNumChannels; ++c) {
        out[c] = data.outputs[0].channelBuffers32[c];
        haveOutput = out[c] != nullptr;
    }
    float* in[kNumChannels] = {};
    bool haveInput = inputBusActive_.load(std::memory_order_relaxed) && data.numInputs >= 1 && data.inputs &&
                     data.inputs[0].numChannels >= kNumChannels && data.inputs[0].channelBuffers32;
    for (int32 c = 0; haveInput && c < kNumChannels; ++c) {
        in[c] = data.inputs[0].channelBuffers32[c];
        haveInput = in[c] != nullptr;
    }
    const auto silentFrames = static_cast<int32>(silentInput_.size());
    if (!haveInput && silentFrames == 0) haveOutput = false;

    // The block runs in pieces from one change to the next: a change at sample k is applied
    // before sample k is processed, as the engine takes new values between two pieces. Silent
    // input comes from a buffer of its own, at most its length at a time.
    for (int32 position = 0;;) {
        int32 pieceEnd = frames;
        for (int32 p = 0; p < kNumParams; ++p) {
            while (nextPoint[p] < pointCounts[p]) {
                int32 offset = 0;
                ParamValue value = 0.0;
                if (queues[p]->getPoint(nextPoint[p], offset, value) != kResultOk) {
                    ++nextPoint[p];
                    continue;
                }
                offset = std::clamp(offset, 0, frames);
                if (offset > position) {
                    pieceEnd = std::min(pieceEnd, offset);
                    break;
                }
                effect_->setParameter(p, static_cast<float>(value));
                ++nextPoint[p];
            }
        }
        if (position >= frames) break;
        if (!haveInput) pieceEnd = std::min(pieceEnd, position + silentFrames);
        if (haveOutput) {
            float* silent = silentInput_.data();
            float* pieceIn[kNumChannels] = {haveInput ? in[0] + position : silent, haveInput ? in[1] + position : silent};
            float* pieceOut[kNumChannels] = {out[0] + position, out[1] + position};
            effect_->processReplacing(pieceIn, pieceOut, pieceEnd - position);
        }
        position = pieceEnd;
    }
    if (data.outputParameterChanges && valuesToReport_.exchange(false)) {
        for (int32 p = 0; p < kNumParams; ++p) {
            int32 index = 0;
            const ParamID id = static_cast<ParamID>(p);
            if (IParamValueQueue* queue = data.outputParameterChanges->addParameterData(id, index))
                queue->addPoint(0, effect_->getParameter(p), index);
        }
    }
    if (haveOutput) {
        uint64 silence = 0;
        for (int32 c = 0; c < kNumChannels; ++c)
            if (std::all_of(out[c], out[c] + frames, [](float v) { return v == 0.0f; })) silence |= uint64{1} << c;
        data.outputs[0].silenceFlags = silence;
    }
    return kResultOk;
}

uint32 ChordwellEffect::getTailSamples() {
    const uint32 tail = currentTail();
    toldTail_.store(tail);
    return tail;
}

uint32 ChordwellEffect::currentTail() {
    const double samples = tailLengthSamples(*effect_);
    if (!std::isfinite(samples) || samples > kLongestTail) return kInfiniteTail;
    return static_cast<uint32>(samples);
}

tresult ChordwellEffect::setComponentState(IBStream*) {
    // The component's setState has already given the effect this very state.
    return kResultOk;
}

int32 ChordwellEffect::getParameterCount() { return kNumVst3Parameters; }

tresult ChordwellEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    if (paramIndex < 0 || paramIndex >= kNumVst3Parameters) return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.unitId = kRootUnitId;
    if (paramIndex == static_cast<int32>(kProgramChangeId)) {
        info.id = kProgramChangeId;
        copyToUtf16("Preset", info.title, std::size(info.title));
        copyToUtf16("Preset", info.shortTitle, std::size(info.shortTitle));
        info.stepCount = kLastPreset;
        info.defaultNormalizedValue = 0.0;
        info.flags = ParameterInfo::kIsProgramChange | ParameterInfo::kIsList;
        return kResultOk;
    }
    const ParameterDescription& parameter = kParameters[paramIndex];
    info.id = static_cast<ParamID>(paramIndex);
    copyToUtf16(parameter.name(), info.title, std::size(info.title));
    copyToUtf16(parameter.shortName(), info.shortTitle, std::size(info.shortTitle));
    copyToUtf16(parameter.units(), info.units, std::size(info.units));
    info.stepCount = parameter.steps;
    info.defaultNormalizedValue = parameterDefault(paramIndex);
    info.flags = ParameterInfo::kCanAutomate | (parameter.isBypass ? ParameterInfo::kIsBypass : 0);
    return kResultOk;
}

tresult ChordwellEffect::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) {
    if (!string) return kInvalidArgument;
    if (id == kProgramChangeId) {
        return presetName(*effect_, presetOf(valueNormalized), string) ? kResultOk : kInvalidArgument;
    }
    if (id >= static_cast<ParamID>(kNumParams)) return kInvalidArgument;
    // The VST 2.4 texts without the padding that VST 2.4 hosts expect.
    char text[kTextSize] = {};
    parameterValueText(static_cast<VstInt32>(id), static_cast<float>(valueNormalized), text);
    copyToUtf16(ParameterDescription::trimmed(text), string, 128);
    return kResultOk;
}

tresult ChordwellEffect::getParamValueByString(ParamID id, char16* string, ParamValue& valueNormalized) {
    if (!string) return kInvalidArgument;
    const std::string text = utf16ToUtf8(string, 128);
    if (id == kProgramChangeId) {
        for (int32 p = 0; p < kNumPresets; ++p) {
            String128 name = {};
            if (presetName(*effect_, p, name) && text == utf16ToUtf8(name, 128)) {
                valueNormalized = static_cast<double>(p) / kLastPreset;
                return kResultOk;
            }
        }
        return kResultFalse;
    }
    if (id >= static_cast<ParamID>(kNumParams)) return kInvalidArgument;
    float value = 0.0f;
    if (!parameterValueFromText(static_cast<VstInt32>(id), text.c_str(), value)) return kResultFalse;
    valueNormalized = value;
    return kResultOk;
}

// Plain values: Transpose in the semitones the engine plays, Bypass as 0 or 1, the preset's
// number; the normalised value itself for the others (their units are not linear in it).
ParamValue ChordwellEffect::normalizedParamToPlain(ParamID id, ParamValue value) {
    if (id == kProgramChangeId) return presetOf(value);
    if (id == kTranspose) return static_cast<ParamValue>(transposeSemitone(static_cast<float>(value)));
    if (id == kBypass) return dsp::bypassLaw(static_cast<float>(value)) != 0 ? 1.0 : 0.0;
    return value;
}

ParamValue ChordwellEffect::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (id == kProgramChangeId) return std::clamp(plain / kLastPreset, 0.0, 1.0);
    if (id == kTranspose) return transposeValueOfSemitone(plain);
    if (id == kBypass) return plain >= 0.5 ? 1.0 : 0.0;
    return plain;
}

ParamValue ChordwellEffect::getParamNormalized(ParamID id) {
    if (id == kProgramChangeId) return static_cast<double>(effect_->getCurrentPreset()) / kLastPreset;
    if (id >= static_cast<ParamID>(kNumParams)) return 0.0;
    return effect_->getParameter(static_cast<VstInt32>(id));
}

tresult ChordwellEffect::setParamNormalized(ParamID id, ParamValue value) {
    if (!std::isfinite(value)) return kInvalidArgument;
    if (id == kProgramChangeId) {
        // The host's preset menu: the chosen preset becomes current, as in the preset bar.
        const int32 preset = presetOf(value);
        const InsideHostCall call(*this);
        if (preset == effect_->getCurrentPreset()) return kResultOk;
        effect_->selectPresetForHost(preset);
        // The next block reports the preset's values as the processor's own changes: hosts take
        // those even where nothing else reaches them in time (no run loop, no view).
        valuesToReport_.store(true);
        return kResultOk;
    }
    if (id >= static_cast<ParamID>(kNumParams)) return kInvalidArgument;
    hostCallPassed();
    const auto index = static_cast<VstInt32>(id);
    const float v = static_cast<float>(value);
    if (std::bit_cast<std::uint32_t>(v) == std::bit_cast<std::uint32_t>(effect_->getParameter(index))) return kResultOk;
    // While processing, the host hands every value to process() too, at its sample: the engine
    // takes it there, and everything else (what the host reads back, the editor) now.
    if (processing_.load())
        effect_->setParameterExceptEngine(index, v);
    else
        effect_->setParameter(index, v);
    return kResultOk;
}

tresult ChordwellEffect::setComponentHandler(IComponentHandler* handler) {
    if (handler == handler_) return kResultOk;
    releaseHandlers();
    if (handler) {
        handler->addRef();
        handler_ = handler;
        void* unitHandler = nullptr;
        if (handler->queryInterface(IUnitHandler::iid.bytes, &unitHandler) == kResultOk)
            unitHandler_ = static_cast<IUnitHandler*>(unitHandler);
        interfaceThread_.store(std::this_thread::get_id());
        toldTail_.store(currentTail());
        startHostTimer();
    }
    return kResultOk;
}

IPlugView* ChordwellEffect::createView(FIDString name) {
    hostCallPassed();
    if (!name || std::strcmp(name, kEditorViewType) != 0 || !effect_->getEditor()) return nullptr;
    return ChordwellView::create(this);
}

tresult ChordwellEffect::getUnitInfo(int32 unitIndex, UnitInfo& info) {
    if (unitIndex != 0) return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    copyToUtf16("Root", info.name, std::size(info.name));
    info.programListId = kPresetListId;
    return kResultOk;
}

tresult ChordwellEffect::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
    if (listIndex != 0) return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = kPresetListId;
    copyToUtf16("Presets", info.name, std::size(info.name));
    info.programCount = kNumPresets;
    return kResultOk;
}

tresult ChordwellEffect::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
    if (listId != kPresetListId || !name) return kInvalidArgument;
    return presetName(*effect_, programIndex, name) ? kResultOk : kInvalidArgument;
}

tresult ChordwellEffect::selectUnit(UnitID unitId) { return unitId == kRootUnitId ? kResultOk : kInvalidArgument; }

tresult ChordwellEffect::getUnitByBus(int32, int32, int32, int32, UnitID& unitId) {
    unitId = kRootUnitId;
    return kResultOk;
}

VstIntPtr ChordwellEffect::effectRequest(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                         float opt) {
    if (opcode == audioMasterVersion) return kVstVersion;
    auto* shell = effect ? static_cast<ChordwellEffect*>(effect->user) : nullptr;
    if (!shell) return 0;
    switch (opcode) {
        case audioMasterAutomate:
            shell->automate(index, opt);
            return 0;
        case audioMasterUpdateDisplay:
            shell->displayChanged();
            return 1;
        case audioMasterSizeWindow:
            // The editor changed its scale while open: the host's frame decides.
            return shell->sizedView_ && shell->sizedView_->requestSize(index, static_cast<int32>(value)) ? 1 : 0;
        default:
            return 0;
    }
}

// The editor moved a control: the effect has the value already; the host records it, inside
// the gesture that moved it (see EditGestures).
void ChordwellEffect::automate(VstInt32 index, float value) {
    const InsideHostCall call(*this);
    gestures_.changed(index, value);
}

// A preset was chosen, renamed or loaded: the host reads the values, the current preset and
// the names again; at once, or, inside the host's own call, from the host timer.
void ChordwellEffect::displayChanged() {
    if (hostCallDepth_.load() > 0)
        displayChangeDeferred_.store(true);
    else
        notifyDisplayChange();
}

void ChordwellEffect::deliverDeferredNotifications() {
    if (hostCallDepth_.load() > 0 || !displayChangeDeferred_.exchange(false)) return;
    notifyDisplayChange();
}

void ChordwellEffect::notifyDisplayChange() {
    const InsideHostCall call(*this);
    if (unitHandler_) unitHandler_->notifyProgramListChange(kPresetListId, kAllProgramInvalid);
    if (handler_) handler_->restartComponent(kParamValuesChanged);
}

void ChordwellEffect::startHostTimer() {
    stopHostTimer();
    void* loop = nullptr;
    if (handler_->queryInterface(IRunLoop::iid.bytes, &loop) != kResultOk || !loop) {
        loop = nullptr;
        if (hostContext_ && (hostContext_->queryInterface(IRunLoop::iid.bytes, &loop) != kResultOk || !loop))
            loop = nullptr;
    }
    const auto tick = [this] { onHostTimer(); };
    if (loop) {
        runLoopTimer_ = RunLoopTimer::start(static_cast<IRunLoop*>(loop), kHostTimerMs, tick);
        static_cast<IRunLoop*>(loop)->release();
    }
    if (!runLoopTimer_) systemTimer_ = platform::startInterfaceTimer(static_cast<unsigned>(kHostTimerMs), tick);
}

void ChordwellEffect::stopHostTimer() {
    if (runLoopTimer_) runLoopTimer_->stop();
    runLoopTimer_ = nullptr;
    systemTimer_.reset();
}

void ChordwellEffect::onHostTimer() {
    if (hostCallDepth_.load() > 0) return;
    deliverDeferredNotifications();
    if (++timerTicks_ % kTailCheckTicks == 0) announceTailChange();
}

// Without a timer, what waits is told at the next host call on the interface thread that is not
// inside one that may change presets.
void ChordwellEffect::hostCallPassed() {
    // Other threads may call too (a host's automation): the members below are the interface
    // thread's.
    if (std::this_thread::get_id() != interfaceThread_.load() || runLoopTimer_ || systemTimer_ || !handler_) return;
    deliverDeferredNotifications();
    if (hostCallDepth_.load() == 0) announceTailChange();
}

// The tail follows Decay (and the tuning): when it is no longer what the host last read or heard
// of, the host is asked to read it again. The flag is the one that makes hosts read again what
// the processor reports of its timing.
void ChordwellEffect::announceTailChange() {
    if (!handler_) return;
    const uint32 tail = currentTail();
    if (toldTail_.exchange(tail) == tail) return;
    const InsideHostCall call(*this);
    handler_->restartComponent(kLatencyChanged);
}

}  // namespace chordwell_vst3
