#include "vst/audioeffectx.h"

#include <cmath>

#include "vst/aeffeditor.h"

namespace {

// The modifier byte of a key event arrives as a float; anything that is not a small finite
// number carries no modifiers.
unsigned char modifierByte(float opt) {
    if (!std::isfinite(opt) || opt < 0.0f || opt > 255.0f) return 0;
    return static_cast<unsigned char>(static_cast<int>(opt) & 0xff);
}

}  // namespace

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

bool AudioEffectX::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter:
            return text && string2parameter(index, text) ? 1 : 0;
        case effGetProgramNameIndexed:
            return text && getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
        case effGetPlugCategory:
            return getPlugCategory();
        case effSetBypass:
            return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName:
            return text && getEffectName(text) ? 1 : 0;
        case effGetVendorString:
            return text && getVendorString(text) ? 1 : 0;
        case effGetProductString:
            return text && getProductString(text) ? 1 : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effVendorSpecific:
            return vendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return text ? canDo(text) : 0;
        case effGetTailSize:
            return getTailSize();
        case effGetParameterProperties:
            return ptr && getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp: {
            if (!editor) return 0;
            VstKeyCode key{index, static_cast<unsigned char>(value & 0xff), modifierByte(opt)};
            const bool used = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
            return used ? 1 : 0;
        }
        case effSetEditKnobMode:
            if (!editor) return 0;
            editor->setKnobMode(static_cast<VstInt32>(value));
            return 1;
        case effGetCurrentMidiProgram:
            return -1;
        case effGetSpeakerArrangement:
            // Both arguments point at the host's arrangement pointers; the plug-in has none to give.
            if (value) *reinterpret_cast<void**>(value) = nullptr;
            if (ptr) *static_cast<void**>(ptr) = nullptr;
            return 0;
        case effSetTotalSampleToProcess:
            return value;
        default:
            return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}
