#include "plugin/adelay.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "plugin/editor_factory.h"
#include "plugin/parameter_texts.h"
#include "vst/aeffeditor.h"

namespace {

constexpr VstInt32 kNumChannels = 2;
constexpr int kShortLabelLength = 7;

bool isParameter(VstInt32 index) { return isParameterIndex(index); }

// Output, Mix and Bypass are kept equal in all six presets, so they stay as they are when the
// user moves from one preset to another.
bool isSharedByAllPresets(VstInt32 index) { return index == kOutput || index == kMix || index == kBypass; }

}  // namespace

ADelay::ADelay(audioMasterCallback master) : CPresetSystemEffect(master) {
    setNumInputs(kNumChannels);
    setNumOutputs(kNumChannels);
    canProcessReplacing(true);
    setUniqueID(identity::kUniqueId);

    createEditor(this);  // registers itself as this effect's editor, which owns it from here on
    initPresets();
    loadDefaults();
    selectPreset(0);
    suspend();
}

ADelay::~ADelay() {
    // The window, if the host left it open, reads parameters while it closes: close it while the
    // effect is still whole.
    if (editor) editor->close();
}

void ADelay::suspend() { engine.reset(); }

void ADelay::resume() { engine.reset(); }

void ADelay::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
    engine.process(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames,
                   sampleRate.load(std::memory_order_relaxed));
}

void ADelay::setParameter(VstInt32 index, float value) {
    // A value that is not a finite number would poison the engine and every preset.
    if (!std::isfinite(value)) return;

    if (isParameter(index)) {
        paramValues[index].store(value, std::memory_order_relaxed);
        // Two threads may set the same parameter at once, each storing its value and then
        // passing it on to the engine: the engine could end on one value and paramValues on the
        // other. So the value passed on is read back afterwards, and passed on again if another
        // store came in meanwhile. The updates of setterOrder_ order each thread's engine stores
        // against its accesses to paramValues (two setters' updates take turns, the later one
        // seeing all that came before the earlier): a thread that reads back its own value knows
        // that any later store will be passed on after its own.
        for (float applied = value;;) {
            setterOrder_.fetch_add(1, std::memory_order_acq_rel);
            applyToEngine(index, applied);
            setterOrder_.fetch_add(1, std::memory_order_acq_rel);
            const float now = paramValues[index].load(std::memory_order_relaxed);
            if (std::bit_cast<uint32_t>(now) == std::bit_cast<uint32_t>(applied)) break;
            applied = now;
        }
    }
    recordValue(index, value);
}

void ADelay::setParameterExceptEngine(VstInt32 index, float value) {
    if (!std::isfinite(value)) return;
    // A setParameter running at the same time may pass this value on to the engine as it reads
    // the value back: the engine then has it a little early, and everything agrees.
    if (isParameter(index)) paramValues[index].store(value, std::memory_order_relaxed);
    recordValue(index, value);
}

void ADelay::recordValue(VstInt32 index, float value) {
    if (isParameter(index) && isSharedByAllPresets(index) && presets)
        for (int p = 0; p < kNumPresets; ++p) storePresetValue(presets[p], index, value);
    if (!applyingPreset.load(std::memory_order_relaxed)) CPresetSystemEffect::setParameter(index, value);
    if (editor) editor->setParameter(index, value);
}

void ADelay::applyToEngine(VstInt32 index, float value) {
    switch (index) {
        case kOutput: engine.setOutput(value); break;
        case kMix: engine.setMix(value); break;
        case kDecay: engine.setDecay(value); break;
        case kDamp: engine.setDamp(value); break;
        case kTranspose: engine.setTranspose(value); break;
        case kTune: engine.setTune(value); break;
        case kDetune: engine.setDetune(value); break;
        case kBypass: engine.setBypass(value); break;
        default: break;
    }
}

float ADelay::getParameter(VstInt32 index) {
    return isParameter(index) ? paramValues[index].load(std::memory_order_relaxed) : 0.0f;
}

void ADelay::getParameterName(VstInt32 index, char* text) {
    if (text && isParameter(index)) std::strcpy(text, kParameters[index].paddedName);
}

void ADelay::getParameterLabel(VstInt32 index, char* label) {
    if (label && isParameter(index)) std::strcpy(label, kParameters[index].paddedLabel);
}

void ADelay::getParameterDisplay(VstInt32 index, char* text) {
    if (!text || !isParameter(index)) return;
    // Mix and Bypass show what the engine holds.
    if (index == kBypass)
        std::strcpy(text, engine.bypass() != 0 ? kBypassedText : kProcessText);
    else
        parameterValueText(index, index == kMix ? engine.mix() : getParameter(index), text);
}

bool ADelay::getParameterProperties(VstInt32 index, VstParameterProperties* properties) {
    if (!isParameter(index) || !kParameters[index].isBypass || !properties) return false;
    properties->stepFloat = 1.0f;
    properties->smallStepFloat = 1.0f;
    properties->largeStepFloat = 1.0f;
    std::strcpy(properties->label, kParameters[index].paddedName);
    std::memcpy(properties->shortLabel, kParameters[index].paddedName, kShortLabelLength);
    properties->shortLabel[kShortLabelLength] = 0;
    properties->flags = kVstParameterIsSwitch | kVstParameterUsesFloatStep;
    return true;
}

bool ADelay::getEffectName(char* name) {
    if (!name) return false;
    std::strcpy(name, identity::kEffectName);
    return true;
}

VstIntPtr ADelay::vendorSpecific(VstInt32 index, VstIntPtr value, void* /*ptr*/, float opt) {
    constexpr VstInt32 kScaleRequest = 0x50726553;  // 'PreS'
    constexpr VstIntPtr kScaleSelector = 0x41654373;  // 'AeCs'
    if (index == kScaleRequest && value == kScaleSelector && editor)
        return editor->setContentScaleFactor(opt) ? 1 : 0;
    return 0;
}

bool ADelay::getVendorString(char* text) {
    if (!text) return false;
    std::strcpy(text, identity::kVendorString);
    return true;
}

bool ADelay::getProductString(char* text) {
    if (!text) return false;
    std::memcpy(text, identity::kProductString, identity::kProductStringLength);
    text[identity::kProductStringLength] = 0;
    return true;
}
