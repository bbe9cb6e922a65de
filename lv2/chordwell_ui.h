// The editor and preset bar as an LV2 X11 UI, embedded in the host's window (ui:parent) and
// driven by the host's idle calls (no thread of ours). It shows the effect of the DSP instance
// it reaches through instance-access: the editor moves the effect's values itself, as in the
// other formats, and the host hears of every change through its write function, in port units,
// inside a ui:touch gesture where the host offers one.
#pragma once

#include <atomic>
#include <cstdint>

#include <lv2/ui/ui.h>

#include "lv2/chordwell_plugin.h"
#include "vst/edit_gesture_listener.h"

class AEffEditor;

namespace chordwell_lv2 {

class ChordwellUi final : public EffectRequests, public EditGestureListener {
public:
    // Null when a required feature (parent window, instance access) is missing or the editor
    // cannot open; nothing stays open then.
    static ChordwellUi* create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                               const LV2_Feature* const* features);
    ~ChordwellUi();
    ChordwellUi(const ChordwellUi&) = delete;
    ChordwellUi& operator=(const ChordwellUi&) = delete;

    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    int idle();

    // EffectRequests
    void automated(std::int32_t index, float value) override;
    void valuesChanged() override { valuesToWrite_.store(true); }
    bool resizeRequested(int width, int height) override;

    // EditGestureListener
    void gestureBegan(VstInt32 index) override;
    void gestureEnded(VstInt32 index) override;

    static const LV2UI_Descriptor* descriptor();

private:
    ChordwellUi(ChordwellPlugin* plugin, LV2UI_Write_Function write, LV2UI_Controller controller);
    AEffEditor* editor();
    void writePort(std::int32_t index, float value);

    ChordwellPlugin* plugin_;
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Resize* resize_ = nullptr;
    const LV2UI_Touch* touch_ = nullptr;
    // A preset was chosen in the preset bar: the next idle writes every port.
    std::atomic<bool> valuesToWrite_{false};
};

}  // namespace chordwell_lv2
