// The plug-in as an LV2 instance: it drives the same effect object that the VST 2.4 library
// hands its hosts (ADelay), so sound, parameters, presets, the state bytes and the editor are
// those of that plug-in; this class only translates between the two interfaces. Port values
// arrive in the units a user reads and reach the effect as its normalised values at the start
// of the run() that sees them.
#pragma once

#include <atomic>
#include <cstdint>

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "lv2/port_values.h"
#include "vst/aeffect.h"

class ADelay;

namespace chordwell_lv2 {

// What the effect asks of its host while an editor shows it: the LV2 UI answers.
class EffectRequests {
public:
    virtual void automated(std::int32_t index, float value) = 0;
    virtual void valuesChanged() = 0;
    virtual bool resizeRequested(int width, int height) = 0;

protected:
    ~EffectRequests() = default;
};

class ChordwellPlugin {
public:
    // Null when the sample rate is unusable or the effect cannot be built.
    static ChordwellPlugin* create(double sampleRate, const LV2_Feature* const* features);
    ~ChordwellPlugin();
    ChordwellPlugin(const ChordwellPlugin&) = delete;
    ChordwellPlugin& operator=(const ChordwellPlugin&) = delete;

    void connect(std::uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(std::uint32_t frames);

    // The host's new options: a new nominal block length starts the next run afresh.
    std::uint32_t setOptions(const LV2_Options_Option* options);

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    ADelay& effect() { return *effect_; }
    // The open UI, which hears the effect's requests (null: none).
    void setRequests(EffectRequests* requests) { requests_.store(requests); }

    static const LV2_Descriptor* descriptor();

    // True for a pointer to an instance of this class: the UI checks what a host hands it as
    // the instance, as one host (lv2lint) hands its own record of the instance instead.
    static bool isInstance(const void* pointer) {
        return pointer && static_cast<const ChordwellPlugin*>(pointer)->signature_ == kSignature;
    }

private:
    static constexpr std::uint64_t kSignature = 0x43686f7264777632;  // "Chordwv2"
    // First, so that it is read where any pointer-sized record begins.
    std::uint64_t signature_ = kSignature;
    ChordwellPlugin(ADelay* effect, const LV2_URID_Map* map);
    // The nominal block length among OPTIONS, or 0 when they hold none.
    std::int32_t nominalBlockLengthOf(const LV2_Options_Option* options) const;
    static VstIntPtr effectRequest(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

    ADelay* effect_;
    LV2_URID bankKey_;
    LV2_URID chunkType_;
    LV2_URID presetKey_;
    LV2_URID longType_;
    LV2_URID nominalBlockLengthKey_;
    LV2_URID intType_;
    // The nominal block length the host last gave (0: none given).
    std::int32_t blockLength_ = 0;
    std::atomic<EffectRequests*> requests_{nullptr};
    const float* controls_[kNumParams] = {};
    const float* inputs_[2] = {};
    float* outputs_[2] = {};
    // The port values the effect last took, to tell a change; NaN until the first run.
    float taken_[kNumParams];
    // Set by activate(): the next run ends the glides at the values it applies.
    bool startsFresh_ = false;
};

}  // namespace chordwell_lv2
