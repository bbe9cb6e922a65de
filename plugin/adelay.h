// The effect: its identity and eight parameters, its factory presets, and the resonator
// engine it drives.
#pragma once

#include <atomic>

#include "dsp/resonator_bank.h"
#include "plugin/identity.h"
#include "plugin/parameters.h"
#include "presets/preset_system_effect.h"

class ADelay : public CPresetSystemEffect {
public:
    explicit ADelay(audioMasterCallback audioMaster);
    ~ADelay() override;

    void suspend() override;
    void resume() override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    void setParameter(VstInt32 index, float value) override;
    // The value as everything but the engine has it (getParameter, the current preset, the
    // editor): for a VST3 host's controller value that reaches the engine later, at its own
    // sample, through setParameter from the audio thread.
    void setParameterExceptEngine(VstInt32 index, float value);
    float getParameter(VstInt32 index) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) override;

    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return identity::kVendorVersion; }
    // The hosts' screen-scale call ('PreS', 'AeCs', the factor as opt) goes to the editor.
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
    VstInt32 getPlugCategory() override { return kPlugCategRoomFx; }

    void initPresets() override;

    // The engine, for tests and benchmarks of the plug-in as a whole.
    const dsp::ResonatorBank& getEngine() const { return engine; }

private:
    // Passes a parameter value on to the engine's setter for it.
    void applyToEngine(VstInt32 index, float value);
    // Records a value in the presets and tells the editor (both setters' common part).
    void recordValue(VstInt32 index, float value);

    // The value last set for each parameter; written by any thread, read by any thread.
    std::atomic<float> paramValues[kNumParams] = {};
    // Updated by every setParameter() around its call of the engine (see there).
    std::atomic<uint32_t> setterOrder_{0};
    dsp::ResonatorBank engine;
};

// Builds the effect for a host; null when the host does not answer or memory runs out.
AEffect* createEffectInstance(audioMasterCallback audioMaster);
