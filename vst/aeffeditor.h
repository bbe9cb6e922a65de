// Base of every plug-in editor: the effect it belongs to, the parent window the host gave
// it, and the editor requests of the interface with answers that mean "not handled".
#pragma once

#include "vst/aeffect.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect = nullptr) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    // The host's word on the screen scale (1 = 100 %); true when the editor takes it.
    virtual bool setContentScaleFactor(float /*factor*/) { return false; }
    // Called by the effect after every parameter change, from whichever thread made it.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}

protected:
    AudioEffect* effect = nullptr;
    void* systemWindow = nullptr;
};
