// The plug-in's editor: a 320 by 257 pixel window with seven knobs and their readouts, the
// bypass button and its lamp, the about area over the title and the preset bar.
//
// Threads. The window belongs to the interface thread, the one that opened it. A parameter
// change made there updates the controls at once; one made on any other thread (automation,
// the audio thread) only records which parameter changed, and the next idle on the interface
// thread brings those controls up to date from the effect. So no other thread ever touches a
// control, and a change racing with close cannot reach a control that is gone.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "gui/vstgui.h"
#include "presets/preset_system_editor.h"

class CAbout;
class CLED;

class ADEditor : public CPresetSystemEditor {
public:
    // Bitmap resources of the window.
    static constexpr int kBackgroundBitmap = 1128;
    static constexpr int kLargeHandleBitmap = 1129;
    static constexpr int kSmallHandleBitmap = 1130;
    static constexpr int kLampBitmap = 1131;
    static constexpr int kBypassBitmap = 1132;
    static constexpr int kAboutBitmap = 1200;
    static constexpr std::int32_t kAboutTag = 10;

    explicit ADEditor(AudioEffect* effect);
    ~ADEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(CControl* control) override;

    // The controls of the open window (null while it is closed), by parameter index.
    CKnob* getKnob(VstInt32 parameter) const;
    CParamDisplay* getDisplay(VstInt32 parameter) const;
    COnOffButton* getBypassButton() const { return bypassButton; }
    CLED* getLED() const { return bypassLED; }
    CAbout* getAbout() const { return about; }

private:
    // Knob and display slots, in the order the editor keeps them.
    enum Slot { kOutputSlot, kDecaySlot, kDampSlot, kMixSlot, kTransposeSlot, kTuneSlot, kDetuneSlot, kNumSlots };
    static int slotOf(VstInt32 parameter);

    bool buildWindow(void* parentWindow);
    void addKnobAndDisplay(VstInt32 parameter, CBitmap* handle);
    // Reads the parameter back from the effect into its controls.
    void updateControls(VstInt32 index);
    float parameterValue(VstInt32 index) const;
    void releaseWindow();

    COnOffButton* bypassButton = nullptr;
    CLED* bypassLED = nullptr;
    CKnob* knobs[kNumSlots] = {};
    CParamDisplay* displays[kNumSlots] = {};
    CAbout* about = nullptr;
    CBitmap* background = nullptr;

    std::atomic<std::uint32_t> pendingParameters{0};  // one bit per parameter changed elsewhere
    std::atomic<std::thread::id> interfaceThread{};
};
