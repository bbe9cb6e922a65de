#include "clap/chordwell_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "dsp/parameter_laws.h"
#include "plugin/adelay.h"
#include "plugin/factory_presets.h"
#include "plugin/parameter_texts.h"
#include "plugin/parameter_units.h"
#include "plugin/tail_length.h"
#include "platform/interface_timer.h"
#include "presets/bank_chunk.h"

namespace chordwell_clap {

namespace {

constexpr std::uint32_t kNumChannels = 2;
constexpr std::uint32_t kLongestSilentPiece = 1u << 16;  // frames of silent input at most
constexpr std::uint32_t kHostTimerMs = 50;
constexpr int kTextSize = 32;  // any value text fits with room to spare

// The host's value of a parameter: Transpose in the semitones the engine plays, Bypass 0 or 1,
// the others the effect's own value in 0..1 (their units are not linear in it).
double hostValue(VstInt32 index, float value) {
    if (index == kTranspose) return static_cast<double>(transposeSemitone(value));
    if (index == kBypass) return dsp::bypassLaw(value) != 0 ? 1.0 : 0.0;
    return value;
}

float effectValue(VstInt32 index, double value) {
    if (index == kTranspose) return transposeValueOfSemitone(value);
    if (index == kBypass) return value >= 0.5 ? 1.0f : 0.0f;
    return static_cast<float>(std::clamp(value, 0.0, 1.0));
}

bool isParam(clap::Id id) { return id < static_cast<clap::Id>(kNumParams); }

void copyText(const char* text, char* out, std::size_t capacity) {
    if (capacity == 0) return;
    std::snprintf(out, capacity, "%s", text);
}

}  // namespace

const clap::PluginAudioPorts ChordwellPlugin::kAudioPorts{&portCount, &portInfo};
const clap::PluginParams ChordwellPlugin::kParams{&paramCount, &paramInfo, &paramValue,
                                                  &valueToText, &textToValue, &flush};
const clap::PluginState ChordwellPlugin::kState{&saveState, &loadState};
const clap::PluginTail ChordwellPlugin::kTail{&tail};

const clap::Plugin* ChordwellPlugin::create(const clap::Host* host) {
    if (!host) return nullptr;
    AEffect* record = createEffectInstance(&ChordwellPlugin::effectRequest);
    if (!record) return nullptr;
    auto* effect = static_cast<ADelay*>(static_cast<AudioEffect*>(record->object));
    auto* plugin = new (std::nothrow) ChordwellPlugin(host, effect);
    if (!plugin) {
        record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
        return nullptr;
    }
    return &plugin->record_;
}

ChordwellPlugin::ChordwellPlugin(const clap::Host* host, ADelay* effect)
    : host_(host), effect_(effect), mainThread_(std::this_thread::get_id()) {
    record_.desc = &pluginDescriptor();
    record_.pluginData = this;
    record_.init = &init;
    record_.destroy = &destroy;
    record_.activate = &activate;
    record_.deactivate = &deactivate;
    record_.startProcessing = &startProcessing;
    record_.stopProcessing = &stopProcessing;
    record_.reset = &reset;
    record_.process = &process;
    record_.getExtension = &getExtension;
    record_.onMainThread = &onMainThread;
    // From here on the effect's requests reach this object.
    effect_->getAeffect()->user = this;
    effect_->setEditGestureListener(&editEvents_);
}

ChordwellPlugin::~ChordwellPlugin() {
    closeEditor();
    if (timerId_ != clap::kInvalidId && hostTimers_) hostTimers_->unregisterTimer(host_, timerId_);
    systemTimer_.reset();
    AEffect* record = effect_->getAeffect();
    record->user = nullptr;
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

bool ChordwellPlugin::init(const clap::Plugin* plugin) {
    ChordwellPlugin& self = of(plugin);
    const clap::Host* host = self.host_;
    const auto extension = [host](const char* id) { return host->getExtension ? host->getExtension(host, id) : nullptr; };
    self.hostParams_ = static_cast<const clap::HostParams*>(extension(clap::kExtParams));
    self.hostState_ = static_cast<const clap::HostState*>(extension(clap::kExtState));
    self.hostTail_ = static_cast<const clap::HostTail*>(extension(clap::kExtTail));
    self.hostGui_ = static_cast<const clap::HostGui*>(extension(clap::kExtGui));
    self.hostTimers_ = static_cast<const clap::HostTimerSupport*>(extension(clap::kExtTimerSupport));
    self.hostFds_ = static_cast<const clap::HostPosixFdSupport*>(extension(clap::kExtPosixFdSupport));
    // One timer for the plug-in's life: the editor's idle step and what waits for the main
    // thread. The host's where it has one; else the system's, where the system has one that
    // needs no thread of ours (Windows); else the host's callbacks alone.
    if (!self.hostTimers_ || !self.hostTimers_->registerTimer(host, kHostTimerMs, &self.timerId_))
        self.timerId_ = clap::kInvalidId;
    if (self.timerId_ == clap::kInvalidId) {
        ChordwellPlugin* me = &self;
        self.systemTimer_ = platform::startInterfaceTimer(kHostTimerMs, [me] { onTimer(&me->record_, clap::kInvalidId); });
    }
    self.toldTail_ = tail(plugin);
    return true;
}

void ChordwellPlugin::destroy(const clap::Plugin* plugin) { delete &of(plugin); }

bool ChordwellPlugin::activate(const clap::Plugin* plugin, double rate, std::uint32_t, std::uint32_t maxFrames) {
    ChordwellPlugin& self = of(plugin);
    if (!(rate > 0.0) || !std::isfinite(rate) || maxFrames == 0) return false;
    try {
        self.silentInput_.assign(std::min(maxFrames, kLongestSilentPiece), 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    self.effect_->setSampleRate(static_cast<float>(rate));
    self.effect_->setBlockSize(static_cast<VstInt32>(std::min<std::uint32_t>(maxFrames, 0x7FFFFFFF)));
    self.effect_->resume();
    self.active_.store(true);
    return true;
}

void ChordwellPlugin::deactivate(const clap::Plugin* plugin) {
    ChordwellPlugin& self = of(plugin);
    self.active_.store(false);
    self.effect_->suspend();
}

bool ChordwellPlugin::startProcessing(const clap::Plugin*) { return true; }

void ChordwellPlugin::stopProcessing(const clap::Plugin*) {}

void ChordwellPlugin::reset(const clap::Plugin* plugin) { of(plugin).effect_->suspend(); }

void ChordwellPlugin::applyEvent(const clap::EventHeader* event) {
    if (!event || event->spaceId != clap::kCoreEventSpaceId || event->type != clap::kEventParamValue ||
        event->size < sizeof(clap::EventParamValue))
        return;
    const auto* change = reinterpret_cast<const clap::EventParamValue*>(event);
    if (!isParam(change->paramId) || !std::isfinite(change->value)) return;
    const auto index = static_cast<VstInt32>(change->paramId);
    effect_->setParameter(index, effectValue(index, change->value));
}

void ChordwellPlugin::sendEdits(const clap::OutputEvents* out) {
    if (!out || !out->tryPush) return;
    EditEvent edit{};
    while (edits_.peek(edit)) {
        bool sent = false;
        if (edit.type == clap::kEventParamValue) {
            clap::EventParamValue event{};
            event.header = {sizeof event, 0, clap::kCoreEventSpaceId, clap::kEventParamValue, 0};
            event.paramId = edit.param;
            event.noteId = -1;
            event.portIndex = event.channel = event.key = -1;
            event.value = edit.value;
            sent = out->tryPush(out, &event.header);
        } else {
            clap::EventParamGesture event{};
            event.header = {sizeof event, 0, clap::kCoreEventSpaceId, edit.type, 0};
            event.paramId = edit.param;
            sent = out->tryPush(out, &event.header);
        }
        // A host that takes no more now gets the rest next time.
        if (!sent) return;
        edits_.pop();
    }
}

clap::ProcessStatus ChordwellPlugin::process(const clap::Plugin* plugin, const clap::Process* data) {
    ChordwellPlugin& self = of(plugin);
    if (!data) return clap::kProcessError;
    const std::uint32_t frames = data->framesCount;

    // Output goes to a stereo main output, or nowhere; a missing input counts as silence, so the
    // strings ring on as they would with silent input.
    float* out[kNumChannels] = {};
    bool haveOutput = frames > 0 && data->audioOutputsCount >= 1 && data->audioOutputs &&
                      data->audioOutputs[0].channelCount >= kNumChannels && data->audioOutputs[0].data32;
    for (std::uint32_t c = 0; haveOutput && c < kNumChannels; ++c) {
        out[c] = data->audioOutputs[0].data32[c];
        haveOutput = out[c] != nullptr;
    }
    float* in[kNumChannels] = {};
    bool haveInput = data->audioInputsCount >= 1 && data->audioInputs &&
                     data->audioInputs[0].channelCount >= kNumChannels && data->audioInputs[0].data32;
    for (std::uint32_t c = 0; haveInput && c < kNumChannels; ++c) {
        in[c] = data->audioInputs[0].data32[c];
        haveInput = in[c] != nullptr;
    }
    const auto silentFrames = static_cast<std::uint32_t>(self.silentInput_.size());
    if (!haveInput && silentFrames == 0) haveOutput = false;

    // The block runs in pieces from one event to the next: an event at sample k is applied
    // before sample k is processed. The host's events come in the order of their samples.
    const clap::InputEvents* events = data->inEvents;
    const std::uint32_t eventCount = events && events->size ? events->size(events) : 0;
    std::uint32_t next = 0;
    for (std::uint32_t position = 0;;) {
        std::uint32_t pieceEnd = frames;
        while (next < eventCount) {
            const clap::EventHeader* event = events->get(events, next);
            const std::uint32_t time = event ? std::min(event->time, frames) : position;
            if (time > position) {
                pieceEnd = time;
                break;
            }
            self.applyEvent(event);
            ++next;
        }
        if (position >= frames) break;
        // Silent input comes from a buffer of its own, at most its length at a time.
        if (!haveInput && haveOutput) pieceEnd = std::min(pieceEnd, position + silentFrames);
        if (haveOutput) {
            float* silent = self.silentInput_.data();
            float* pieceIn[kNumChannels] = {haveInput ? in[0] + position : silent, haveInput ? in[1] + position : silent};
            float* pieceOut[kNumChannels] = {out[0] + position, out[1] + position};
            self.effect_->processReplacing(pieceIn, pieceOut, static_cast<VstInt32>(pieceEnd - position));
        }
        position = pieceEnd;
    }
    self.sendEdits(data->outEvents);
    if (haveOutput) {
        data->audioOutputs[0].constantMask = 0;
    }
    return clap::kProcessContinue;
}

const void* ChordwellPlugin::getExtension(const clap::Plugin*, const char* id) {
    if (!id) return nullptr;
    if (std::strcmp(id, clap::kExtAudioPorts) == 0) return &kAudioPorts;
    if (std::strcmp(id, clap::kExtParams) == 0) return &kParams;
    if (std::strcmp(id, clap::kExtState) == 0) return &kState;
    if (std::strcmp(id, clap::kExtTail) == 0) return &kTail;
    if (std::strcmp(id, clap::kExtGui) == 0) return &kGui;
    if (std::strcmp(id, clap::kExtTimerSupport) == 0) return &kTimerSupport;
    if (std::strcmp(id, clap::kExtPosixFdSupport) == 0) return &kPosixFdSupport;
    return nullptr;
}

void ChordwellPlugin::onMainThread(const clap::Plugin* plugin) { of(plugin).deliverToHost(); }

std::uint32_t ChordwellPlugin::portCount(const clap::Plugin*, bool) { return 1; }

bool ChordwellPlugin::portInfo(const clap::Plugin*, std::uint32_t index, bool isInput, clap::AudioPortInfo* info) {
    if (index != 0 || !info) return false;
    std::memset(info, 0, sizeof *info);
    // One id for both: the output may be written into the input's buffers.
    info->id = 0;
    copyText(isInput ? "Stereo In" : "Stereo Out", info->name, sizeof info->name);
    info->flags = clap::kAudioPortIsMain;
    info->channelCount = kNumChannels;
    info->portType = clap::kPortStereo;
    info->inPlacePair = 0;
    return true;
}

std::uint32_t ChordwellPlugin::paramCount(const clap::Plugin*) { return kNumParams; }

bool ChordwellPlugin::paramInfo(const clap::Plugin*, std::uint32_t index, clap::ParamInfo* info) {
    if (!info || !isParam(index)) return false;
    const auto p = static_cast<VstInt32>(index);
    const ParameterDescription& parameter = kParameters[p];
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = clap::kParamIsAutomatable | (parameter.steps > 0 ? clap::kParamIsStepped : 0u) |
                  (parameter.isBypass ? clap::kParamIsBypass : 0u);
    const std::string_view name = parameter.name();
    std::memcpy(info->name, name.data(), std::min(name.size(), sizeof info->name - 1));
    info->minValue = hostValue(p, 0.0f);
    info->maxValue = hostValue(p, 1.0f);
    info->defaultValue = hostValue(p, parameterDefault(p));
    return true;
}

bool ChordwellPlugin::paramValue(const clap::Plugin* plugin, clap::Id id, double* value) {
    if (!value || !isParam(id)) return false;
    const auto p = static_cast<VstInt32>(id);
    *value = hostValue(p, of(plugin).effect_->getParameter(p));
    return true;
}

bool ChordwellPlugin::valueToText(const clap::Plugin*, clap::Id id, double value, char* text, std::uint32_t capacity) {
    if (!text || capacity == 0 || !isParam(id) || !std::isfinite(value)) return false;
    const auto p = static_cast<VstInt32>(id);
    // The VST 2.4 texts without the padding that VST 2.4 hosts expect.
    char padded[kTextSize] = {};
    parameterValueText(p, effectValue(p, value), padded);
    const std::string_view trimmed = ParameterDescription::trimmed(padded);
    const std::size_t length = std::min<std::size_t>(trimmed.size(), capacity - 1);
    std::memcpy(text, trimmed.data(), length);
    text[length] = '\0';
    return true;
}

bool ChordwellPlugin::textToValue(const clap::Plugin*, clap::Id id, const char* text, double* value) {
    if (!text || !value || !isParam(id)) return false;
    const auto p = static_cast<VstInt32>(id);
    float v = 0.0f;
    if (!parameterValueFromText(p, text, v)) return false;
    *value = hostValue(p, v);
    return true;
}

void ChordwellPlugin::flush(const clap::Plugin* plugin, const clap::InputEvents* in, const clap::OutputEvents* out) {
    ChordwellPlugin& self = of(plugin);
    const std::uint32_t count = in && in->size ? in->size(in) : 0;
    for (std::uint32_t i = 0; i < count; ++i) self.applyEvent(in->get(in, i));
    self.sendEdits(out);
}

bool ChordwellPlugin::saveState(const clap::Plugin* plugin, const clap::OutputStream* stream) {
    ChordwellPlugin& self = of(plugin);
    if (!stream || !stream->write) return false;
    void* data = nullptr;
    const VstInt32 size = self.effect_->getChunk(&data, false);
    if (size <= 0 || !data) return false;
    // Streams may take a part at a time.
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::int64_t done = 0; done < size;) {
        const std::int64_t wrote = stream->write(stream, bytes + done, static_cast<std::uint64_t>(size - done));
        if (wrote <= 0) return false;
        done += wrote;
    }
    return true;
}

bool ChordwellPlugin::loadState(const clap::Plugin* plugin, const clap::InputStream* stream) {
    ChordwellPlugin& self = of(plugin);
    if (!stream || !stream->read) return false;
    // The whole stream, up to one byte more than a bank, so that a longer one shows; streams
    // may hand over a part at a time, and one that hands over nothing has ended.
    unsigned char bytes[kChunkSize + 1];
    std::int64_t size = 0;
    while (size < static_cast<std::int64_t>(sizeof bytes)) {
        const std::int64_t got = stream->read(stream, bytes + size, sizeof bytes - static_cast<std::uint64_t>(size));
        if (got < 0) return false;
        if (got == 0) break;
        size += std::min<std::int64_t>(got, static_cast<std::int64_t>(sizeof bytes) - size);
    }
    ++self.loading_;
    // A stream that is not a whole bank of this plug-in in either byte order changes nothing.
    const bool loaded = self.effect_->loadBankChunk(bytes, static_cast<VstInt32>(size)) == ChunkResult::ok;
    --self.loading_;
    return loaded;
}

std::uint32_t ChordwellPlugin::tail(const clap::Plugin* plugin) {
    const double samples = tailLengthSamples(*of(plugin).effect_);
    if (!std::isfinite(samples) || samples >= static_cast<double>(clap::kInfiniteTail)) return clap::kInfiniteTail;
    return static_cast<std::uint32_t>(samples);
}

VstIntPtr ChordwellPlugin::effectRequest(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                         float opt) {
    if (opcode == audioMasterVersion) return kVstVersion;
    auto* self = effect ? static_cast<ChordwellPlugin*>(effect->user) : nullptr;
    if (!self) return 0;
    switch (opcode) {
        case audioMasterAutomate:
            // The editor moved a control: the effect has the value; the host records it.
            self->editEvents_.changed(index, hostValue(index, opt));
            return 0;
        case audioMasterUpdateDisplay:
            // A preset was chosen, renamed or loaded: the host reads the values again, and the
            // bank it saves changed. Not inside load(): the host reads everything afterwards.
            if (self->loading_ > 0) return 1;
            self->valuesChanged_.store(true);
            self->bankChanged_.store(true);
            if (self->onMainThreadNow() && self->host_->requestCallback) self->host_->requestCallback(self->host_);
            return 1;
        case audioMasterSizeWindow:
            // The editor changed its scale while open: the host's window decides.
            return self->onMainThreadNow() && self->hostGui_ && self->hostGui_->requestResize && index > 0 && value > 0 &&
                           self->hostGui_->requestResize(self->host_, static_cast<std::uint32_t>(index),
                                                         static_cast<std::uint32_t>(value))
                       ? 1
                       : 0;
        default:
            return 0;
    }
}

void ChordwellPlugin::announceEdits(void* context) {
    auto* self = static_cast<ChordwellPlugin*>(context);
    if (self->onMainThreadNow() && self->hostParams_ && self->hostParams_->requestFlush)
        self->hostParams_->requestFlush(self->host_);
}

void ChordwellPlugin::deliverToHost() {
    if (!onMainThreadNow()) return;
    if (valuesChanged_.exchange(false) && hostParams_ && hostParams_->rescan)
        hostParams_->rescan(host_, clap::kParamRescanValues);
    if (bankChanged_.exchange(false) && hostState_ && hostState_->markDirty) hostState_->markDirty(host_);
    // The tail follows Decay and the tuning: a host that asked is told when it changed.
    const std::uint32_t now = tail(&record_);
    if (now != toldTail_) {
        toldTail_ = now;
        if (hostTail_ && hostTail_->changed) hostTail_->changed(host_);
    }
}

}  // namespace chordwell_clap
