// Editor base bound to the toolkit's frame: registers itself with its effect, answers the
// host's rectangle request, runs the window's idle processing, forwards keys and the wheel
// to the frame, keeps the process-wide knob mode and turns the controls' edit brackets into
// the effect's beginEdit/endEdit. Subclasses build the frame in open() and close it in
// close().
#pragma once

#include <cstdint>

#include "gui/vstguieditorinterface.h"
#include "vst/aeffeditor.h"
#include "vst/audioeffect.h"

class CFrame;

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** outRect) override;

    // Stores the parent window. Answers whether a frame may be built: not for a null parent,
    // except inside openOffscreen(). A subclass builds its frame with
    // `new CFrame(size, systemWindow, this)` and gives up (closing that frame) when
    // `systemWindow && !frame->isOpen()`: the parent was unusable or no window system could
    // be reached.
    bool open(void* parentWindow) override;
    void close() override;
    // Builds the editor with no window at all (tests, screenshots): open(nullptr) with the
    // frame drawing only into its back buffer.
    bool openOffscreen();
    bool isOpeningOffscreen() const { return openingOffscreen; }

    // Hands the window system's pending events to the frame, then redraws what changed. A call made while one is
    // already running (from inside an event handler) does nothing.
    void idle() override;

    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    // Wheel notches at the pointer's last position in the frame.
    bool onWheel(float distance) override;
    // Stores the knob mode for every knob of the process.
    bool setKnobMode(VstInt32 mode) override;

    // Edit brackets of the controls: the effect's beginEdit/endEdit with the control's tag.
    void beginEdit(std::int32_t tag) override;
    void endEdit(std::int32_t tag) override;

    CFrame* getFrame() const override { return frame; }

protected:
    ERect rect{0, 0, 0, 0};
    CFrame* frame = nullptr;

private:
    bool inIdle = false;
    bool openingOffscreen = false;
};
