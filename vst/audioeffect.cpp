#include "vst/audioeffect.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "vst/aeffeditor.h"

namespace {

AudioEffect* effectOf(AEffect* e) { return e ? static_cast<AudioEffect*>(e->object) : nullptr; }

// The routines stored in the record find the object through `object` and call the operation of
// the same name. Nothing may unwind into the host, so every exception ends here.
VstIntPtr dispatchEffect(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    AudioEffect* effect = effectOf(e);
    if (!effect) return 0;
    try {
        if (opcode == effClose) {
            effect->dispatcher(opcode, index, value, ptr, opt);
            delete effect;
            return 1;
        }
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void processEffect(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
    if (AudioEffect* effect = effectOf(e)) effect->process(inputs, outputs, frames);
}

void processReplacingEffect(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
    if (AudioEffect* effect = effectOf(e)) effect->processReplacing(inputs, outputs, frames);
}

void processDoubleReplacingEffect(AEffect* e, double** inputs, double** outputs, VstInt32 frames) {
    if (AudioEffect* effect = effectOf(e)) effect->processDoubleReplacing(inputs, outputs, frames);
}

void setParameterEffect(AEffect* e, VstInt32 index, float value) {
    if (AudioEffect* effect = effectOf(e)) effect->setParameter(index, value);
}

float getParameterEffect(AEffect* e, VstInt32 index) {
    AudioEffect* effect = effectOf(e);
    return effect ? effect->getParameter(index) : 0.0f;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programs, VstInt32 params)
    : audioMaster(master), numPrograms(programs), numParams(params) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffect;
    cEffect.process = processEffect;
    cEffect.setParameter = setParameterEffect;
    cEffect.getParameter = getParameterEffect;
    cEffect.numPrograms = programs;
    cEffect.numParams = params;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEffect;
    cEffect.processDoubleReplacing = processDoubleReplacingEffect;
    canProcessReplacing(true);
}

AudioEffect::~AudioEffect() { delete editor; }

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr AudioEffect::getMasterVersion() {
    const VstIntPtr version = callHost(audioMasterVersion);
    return version ? version : 1;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    if (editor)
        cEffect.flags |= effFlagsHasEditor;
    else
        cEffect.flags &= ~effFlagsHasEditor;
}

void AudioEffect::canProcessReplacing(bool state) {
    if (state)
        cEffect.flags |= effFlagsCanReplacing;
    else
        cEffect.flags &= ~effFlagsCanReplacing;
}

void AudioEffect::programsAreChunks(bool state) {
    if (state)
        cEffect.flags |= effFlagsProgramChunks;
    else
        cEffect.flags &= ~effFlagsProgramChunks;
}

void AudioEffect::setSampleRate(float rate) { sampleRate.store(rate, std::memory_order_relaxed); }
void AudioEffect::setBlockSize(VstInt32 size) { blockSize.store(size, std::memory_order_relaxed); }

// The old accumulating call and the double-precision call leave the outputs untouched.
void AudioEffect::process(float**, float**, VstInt32) {}
void AudioEffect::processReplacing(float**, float**, VstInt32) {}
void AudioEffect::processDoubleReplacing(double**, double**, VstInt32) {}

void AudioEffect::setParameter(VstInt32, float) {}
float AudioEffect::getParameter(VstInt32) { return 0.0f; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::getParameterLabel(VstInt32, char* label) {
    if (label) *label = 0;
}
void AudioEffect::getParameterDisplay(VstInt32, char* text) {
    if (text) *text = 0;
}
void AudioEffect::getParameterName(VstInt32, char* text) {
    if (text) *text = 0;
}

void AudioEffect::setProgramName(char*) {}
void AudioEffect::getProgramName(char* name) {
    if (name) *name = 0;
}
VstInt32 AudioEffect::getChunk(void**, bool) { return 0; }
VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    auto* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 1;
        case effSetProgram:
            if (value < numPrograms) setProgram(static_cast<VstInt32>(value));
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (text) setProgramName(text);
            return 0;
        case effGetProgramName:
            if (text) getProgramName(text);
            return 0;
        case effGetParamLabel:
            if (text) getParameterLabel(index, text);
            return 0;
        case effGetParamDisplay:
            if (text) getParameterDisplay(index, text);
            return 0;
        case effGetParamName:
            if (text) getParameterName(index, text);
            return 0;
        case effSetSampleRate:
            // A rate that is not a positive finite number would make every loop length meaningless.
            if (std::isfinite(opt) && opt > 0.0f) setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            if (value >= 0 && value <= std::numeric_limits<VstInt32>::max())
                setBlockSize(static_cast<VstInt32>(value));
            return 0;
        case effMainsChanged:
            if (value)
                resume();
            else
                suspend();
            return 0;
        case effEditGetRect:
            if (!editor || !ptr) return 0;
            editor->getRect(static_cast<ERect**>(ptr));
            return 1;
        case effEditOpen:
            if (!editor) return 0;
            return editor->open(ptr) ? 1 : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify:
            return fourCharId('N', 'v', 'E', 'f');
        case effGetChunk:
            if (!ptr) return 0;
            return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk:
            // setChunk judges the pointer itself: a null chunk is refused (-1), not ignored.
            if (value < 0 || value > std::numeric_limits<VstInt32>::max()) return -1;
            return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
        default:
            return 0;
    }
}
