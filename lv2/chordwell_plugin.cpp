#include "lv2/chordwell_plugin.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include "plugin/adelay.h"
#include "plugin/identity.h"
#include "presets/bank_chunk.h"

namespace chordwell_lv2 {

namespace {

const std::string& bankKeyUri() {
    static const std::string uri = std::string(identity::kLv2Uri) + "#bank";
    return uri;
}

// The property of a host's preset (presets.ttl) that names the bank's preset it stands for.
const std::string& presetKeyUri() {
    static const std::string uri = std::string(identity::kLv2Uri) + "#preset";
    return uri;
}

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

LV2_URID mapped(const LV2_URID_Map* map, const char* uri) { return map ? map->map(map->handle, uri) : 0; }

bool sameFloat(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

}  // namespace

ChordwellPlugin* ChordwellPlugin::create(double sampleRate, const LV2_Feature* const* features) {
    // Without urid:map the plug-in runs, but keeps no state (lv2apply offers no features).
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) return nullptr;
    AEffect* record = createEffectInstance(&ChordwellPlugin::effectRequest);
    if (!record) return nullptr;
    auto* effect = static_cast<ADelay*>(static_cast<AudioEffect*>(record->object));
    auto* plugin = new (std::nothrow) ChordwellPlugin(effect, map);
    if (!plugin) {
        record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
        return nullptr;
    }
    effect->setSampleRate(static_cast<float>(sampleRate));
    plugin->blockLength_ =
        plugin->nominalBlockLengthOf(static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options)));
    return plugin;
}

ChordwellPlugin::ChordwellPlugin(ADelay* effect, const LV2_URID_Map* map)
    : effect_(effect),
      bankKey_(mapped(map, bankKeyUri().c_str())),
      chunkType_(mapped(map, LV2_ATOM__Chunk)),
      presetKey_(mapped(map, presetKeyUri().c_str())),
      longType_(mapped(map, LV2_ATOM__Long)),
      nominalBlockLengthKey_(mapped(map, LV2_BUF_SIZE__nominalBlockLength)),
      intType_(mapped(map, LV2_ATOM__Int)) {
    for (float& value : taken_) value = std::numeric_limits<float>::quiet_NaN();
    effect_->getAeffect()->user = this;
}

ChordwellPlugin::~ChordwellPlugin() {
    AEffect* record = effect_->getAeffect();
    record->user = nullptr;
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

void ChordwellPlugin::connect(std::uint32_t port, void* data) {
    if (port < kNumParams)
        controls_[port] = static_cast<const float*>(data);
    else if (port == kAudioInLeft || port == kAudioInRight)
        inputs_[port - kAudioInLeft] = static_cast<const float*>(data);
    else if (port == kAudioOutLeft || port == kAudioOutRight)
        outputs_[port - kAudioOutLeft] = static_cast<float*>(data);
}

void ChordwellPlugin::activate() {
    effect_->resume();
    startsFresh_ = true;
}

void ChordwellPlugin::deactivate() { effect_->suspend(); }

void ChordwellPlugin::run(std::uint32_t frames) {
    // A changed port value reaches the effect before the first sample of this run.
    for (std::int32_t p = 0; p < kNumParams; ++p) {
        if (!controls_[p]) continue;
        const float port = *controls_[p];
        if (sameFloat(port, taken_[p]) || !std::isfinite(port)) continue;
        taken_[p] = port;
        effect_->setParameter(p, normalisedOfPort(p, port));
    }
    // The first run after activation starts from the values it sees, as a VST 2.4 host's first
    // block does from the values set before resume: no glide from the ones before.
    if (startsFresh_) {
        effect_->resume();
        startsFresh_ = false;
    }
    if (frames == 0 || !inputs_[0] || !inputs_[1] || !outputs_[0] || !outputs_[1]) return;
    // The engine reads each input sample before it writes the output sample: in place is fine.
    float* in[2] = {const_cast<float*>(inputs_[0]), const_cast<float*>(inputs_[1])};
    effect_->processReplacing(in, outputs_, static_cast<VstInt32>(frames));
}

std::int32_t ChordwellPlugin::nominalBlockLengthOf(const LV2_Options_Option* options) const {
    if (nominalBlockLengthKey_ == 0) return 0;
    for (; options && options->key != 0; ++options)
        if (options->context == LV2_OPTIONS_INSTANCE && options->key == nominalBlockLengthKey_ &&
            options->type == intType_ && options->size == sizeof(std::int32_t) && options->value)
            return *static_cast<const std::int32_t*>(options->value);
    return 0;
}

// A host changes the nominal block length only while it runs nothing, when its engine takes a
// new buffer size or when it bounces a track in blocks of another size. A VST host suspends
// and resumes the effect for the same change, which clears the strings: the next run starts
// afresh here too, so that a bounce sounds as a render from the start, as in the VST formats.
std::uint32_t ChordwellPlugin::setOptions(const LV2_Options_Option* options) {
    const std::int32_t length = nominalBlockLengthOf(options);
    if (length > 0 && length != blockLength_) {
        blockLength_ = length;
        startsFresh_ = true;
    }
    return LV2_OPTIONS_SUCCESS;
}

LV2_State_Status ChordwellPlugin::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (bankKey_ == 0) return LV2_STATE_ERR_NO_FEATURE;
    void* data = nullptr;
    const VstInt32 size = effect_->getChunk(&data, false);
    if (size <= 0 || !data) return LV2_STATE_ERR_UNKNOWN;
    return store(handle, bankKey_, data, static_cast<std::size_t>(size), chunkType_,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status ChordwellPlugin::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (bankKey_ == 0) return LV2_STATE_ERR_NO_FEATURE;
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    // A factory preset chosen in the host's preset menu holds the number of the bank's preset it
    // stands for: that one becomes current, as when it is chosen in the preset bar, and the
    // host's port values (the same values) follow. Without this they would overwrite whichever
    // preset was current.
    if (const void* preset = retrieve(handle, presetKey_, &size, &type, &flags)) {
        std::int64_t index = -1;
        if (type == intType_ && size == sizeof(std::int32_t))
            index = *static_cast<const std::int32_t*>(preset);
        else if (type == longType_ && size == sizeof(std::int64_t))
            index = *static_cast<const std::int64_t*>(preset);
        if (index < 0 || index >= kNumPresets) return LV2_STATE_ERR_UNKNOWN;
        effect_->selectPresetForHost(static_cast<int>(index));
        return LV2_STATE_SUCCESS;
    }
    const void* data = retrieve(handle, bankKey_, &size, &type, &flags);
    if (!data) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != chunkType_) return LV2_STATE_ERR_BAD_TYPE;
    // Bytes that are not a whole bank of this plug-in change nothing.
    if (size > static_cast<std::size_t>(kChunkSize) + 1 ||
        effect_->loadBankChunk(static_cast<const unsigned char*>(data), static_cast<VstInt32>(size)) != ChunkResult::ok)
        return LV2_STATE_ERR_UNKNOWN;
    return LV2_STATE_SUCCESS;
}

VstIntPtr ChordwellPlugin::effectRequest(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                         float opt) {
    if (opcode == audioMasterVersion) return kVstVersion;
    auto* plugin = effect ? static_cast<ChordwellPlugin*>(effect->user) : nullptr;
    EffectRequests* requests = plugin ? plugin->requests_.load() : nullptr;
    if (!requests) return 0;
    switch (opcode) {
        case audioMasterAutomate: requests->automated(index, opt); return 0;
        case audioMasterUpdateDisplay: requests->valuesChanged(); return 1;
        case audioMasterSizeWindow: return requests->resizeRequested(index, static_cast<int>(value)) ? 1 : 0;
        default: return 0;
    }
}

}  // namespace chordwell_lv2
