// The plug-in's editor: a 320 by 257 pixel window with seven knobs and their readouts, the
// bypass button and its lamp, the about area over the title and the preset bar.
//
// Screen scale. The window can be shown at 100 to 300 %: the controls keep their rectangles
// in window units, the frame draws everything at the scale and maps the pointer back, so a
// drag feels the same at every size. The scale comes from the user's choice (a right-click on
// the background), else the host's word, else the desktop (see scale_choice.h).
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
    static constexpr std::int32_t kSizeMenuTag = 20;

    explicit ADEditor(AudioEffect* effect);
    ~ADEditor() override;

    // The rectangle at the scale the editor opens (or is open) at.
    bool getRect(ERect** outRect) override;
    bool open(void* parentWindow) override;
    void close() override;
    // The host's word on the scale: taken (true) for factors 1 to 3, as the nearest size
    // offered, unless the user chose a size; an open window follows.
    bool setContentScaleFactor(float factor) override;
    // Shows the editor at this scale (an offered percentage) from now on, the open window at
    // once, storing nothing: for hosts and views that decide the scale themselves. False for
    // a size not offered, or when the host refuses the new window size (the window then
    // stays as it was).
    bool setScalePercent(int percent);
    // The user's choice of size: stored for every new editor, and an open window follows. False for a size not offered, or when the host refuses the new
    // window size (the window then stays as it was).
    bool chooseScalePercent(int percent);
    // The scale of the open window (or of the next one, while closed), in percent.
    int getScalePercent() const { return scalePercent; }
    // The size menu of the background, once a right-click has opened it (null before).
    COptionMenu* getSizeMenu() const { return sizeMenu; }
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
    // Shows the window at this scale: the host is asked for the new size first, and the
    // window changes only when it agrees (or there is no host window: offscreen).
    bool applyScale(int percent);
    void setRectFor(int percent);
    int currentChoice(void* parentWindow) const;
    CMouseEventResult backgroundPress(const CPoint& where, const CButtonState& buttons);

    COnOffButton* bypassButton = nullptr;
    CLED* bypassLED = nullptr;
    CKnob* knobs[kNumSlots] = {};
    CParamDisplay* displays[kNumSlots] = {};
    CAbout* about = nullptr;
    CBitmap* background = nullptr;
    COptionMenu* sizeMenu = nullptr;

    int baseWidth = 0;   // the window at 100 %
    int baseHeight = 0;
    int scalePercent = 100;
    int hostPercent = 0;  // 0 while the host has said nothing
    int fixedPercent = 0;  // set by setScalePercent, 0 while the choice decides
    // The scale getRect found while the window was closed: finding it reads the settings and
    // asks the window system for the desktop's scale, and hosts ask for the size often. 0
    // once anything it depends on may have changed (the window opened, the host's or the
    // user's word).
    int closedPercent = 0;
    unsigned closedPercentChoices = 0;  // scale_choice::storedChoices() when it was found

    std::atomic<std::uint32_t> pendingParameters{0};  // one bit per parameter changed elsewhere
    std::atomic<std::thread::id> interfaceThread{};
};
