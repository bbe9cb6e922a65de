// The extended effect base: answers the extended host requests of the interface with the
// plug-in's own operations and wraps the requests the plug-in sends back.
#pragma once

#include "vst/audioeffect.h"
#include "vst/edit_gesture_listener.h"

class AudioEffectX : public AudioEffect {
public:
    AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
        : AudioEffect(audioMaster, numPrograms, numParams) {}

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
    virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) { return false; }
    virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) { return false; }
    virtual VstInt32 getPlugCategory() { return kPlugCategUnknown; }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
    virtual VstInt32 canDo(char* /*text*/) { return 0; }
    virtual VstInt32 getTailSize() { return 0; }
    virtual VstInt32 getVstVersion() { return kVstVersion; }
    virtual bool setBypass(bool /*onOff*/) { return false; }

    // Parameter gestures: the plug-in tells the host nothing of them (no audioMasterBeginEdit
    // or audioMasterEndEdit); only an installed listener hears of them.
    virtual bool beginEdit(VstInt32 index) {
        if (gestureListener) gestureListener->gestureBegan(index);
        return false;
    }
    virtual bool endEdit(VstInt32 index) {
        if (gestureListener) gestureListener->gestureEnded(index);
        return false;
    }
    // Null: nobody hears of gestures (the VST 2.4 plug-in). Interface thread only.
    void setEditGestureListener(EditGestureListener* listener) { gestureListener = listener; }

    // Asks the host to re-read parameters and program names.
    virtual bool updateDisplay();
    // Asks the host to resize the editor's window to this size in pixels; true when it did.
    virtual bool sizeWindow(VstInt32 width, VstInt32 height);

private:
    EditGestureListener* gestureListener = nullptr;
};
