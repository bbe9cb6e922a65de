#include "lv2/chordwell_ui.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "lv2/x11_child_window.h"
#include "plugin/adelay.h"
#include "plugin/identity.h"
#include "vst/aeffeditor.h"

namespace chordwell_lv2 {

namespace {

constexpr float kSmallestScale = 1.0f;
constexpr float kLargestScale = 3.0f;

const void* featureData(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

// The host's ui:scaleFactor option, where it gives one as a float; 0 otherwise.
float hostScale(const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
    const auto* options = static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
    if (!map || !options) return 0.0f;
    const LV2_URID scaleKey = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (; options->key != 0; ++options)
        if (options->key == scaleKey && options->type == floatType && options->size == sizeof(float) && options->value)
            return *static_cast<const float*>(options->value);
    return 0.0f;
}

// The DSP instance a host hands over through instance-access: the instance itself, or, from a
// host that hands over lilv's record of it instead (lv2lint), the instance that record holds
// (lilv's LilvInstance begins with the descriptor and the instance). Null for anything else.
ChordwellPlugin* instanceOf(void* data) {
    if (!data) return nullptr;
    if (ChordwellPlugin::isInstance(data)) return static_cast<ChordwellPlugin*>(data);
    struct LilvRecord {
        const LV2_Descriptor* descriptor;
        void* handle;
    };
    const auto* record = static_cast<const LilvRecord*>(data);
    if (record->descriptor && record->descriptor->URI && std::strcmp(record->descriptor->URI, identity::kLv2Uri) == 0 &&
        ChordwellPlugin::isInstance(record->handle))
        return static_cast<ChordwellPlugin*>(record->handle);
    return nullptr;
}

}  // namespace

ChordwellUi* ChordwellUi::create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                 const LV2_Feature* const* features) {
    auto* plugin = instanceOf(const_cast<void*>(featureData(features, LV2_INSTANCE_ACCESS_URI)));
    void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
    if (!plugin || !parent || !write || !widget) return nullptr;
    AEffEditor* editor = plugin->effect().getEditor();
    // One window per effect: another UI of it may hold the editor.
    if (!editor || editor->isOpen()) return nullptr;
    auto* ui = new (std::nothrow) ChordwellUi(plugin, write, controller);
    if (!ui) return nullptr;
    ui->resize_ = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
    ui->touch_ = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
    if (const float scale = hostScale(features); scale > 0.0f)
        editor->setContentScaleFactor(std::clamp(scale, kSmallestScale, kLargestScale));
    plugin->setRequests(ui);
    plugin->effect().setEditGestureListener(ui);
    if (!editor->open(parent)) {
        delete ui;
        return nullptr;
    }
    *widget = reinterpret_cast<LV2UI_Widget>(newestChildWindow(reinterpret_cast<std::uintptr_t>(parent)));
    ERect* rect = nullptr;
    if (ui->resize_ && editor->getRect(&rect) && rect)
        ui->resize_->ui_resize(ui->resize_->handle, rect->right - rect->left, rect->bottom - rect->top);
    return ui;
}

ChordwellUi::ChordwellUi(ChordwellPlugin* plugin, LV2UI_Write_Function write, LV2UI_Controller controller)
    : plugin_(plugin), write_(write), controller_(controller) {}

ChordwellUi::~ChordwellUi() {
    if (AEffEditor* window = editor(); window && window->isOpen()) window->close();
    plugin_->effect().setEditGestureListener(nullptr);
    plugin_->setRequests(nullptr);
}

AEffEditor* ChordwellUi::editor() { return plugin_->effect().getEditor(); }

void ChordwellUi::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    if (port >= static_cast<std::uint32_t>(kNumParams) || format != 0 || size != sizeof(float) || !buffer) return;
    const auto index = static_cast<std::int32_t>(port);
    const float value = *static_cast<const float*>(buffer);
    AEffEditor* window = editor();
    if (!window) return;
    // A port value that the effect's own value already shows (the editor's own write coming
    // back) leaves the knob where it is.
    const float current = plugin_->effect().getParameter(index);
    if (portValueOf(index, current) == value) return;
    window->setParameter(index, normalisedOfPort(index, value));
}

int ChordwellUi::idle() {
    AEffEditor* window = editor();
    if (!window || !window->isOpen()) return 1;
    window->idle();
    if (valuesToWrite_.exchange(false))
        for (std::int32_t p = 0; p < kNumParams; ++p) writePort(p, plugin_->effect().getParameter(p));
    return 0;
}

void ChordwellUi::automated(std::int32_t index, float value) {
    if (isParameterIndex(index)) writePort(index, value);
}

void ChordwellUi::writePort(std::int32_t index, float value) {
    const float port = portValueOf(index, value);
    write_(controller_, static_cast<std::uint32_t>(index), sizeof port, 0, &port);
}

bool ChordwellUi::resizeRequested(int width, int height) {
    return resize_ && width > 0 && height > 0 && resize_->ui_resize(resize_->handle, width, height) == 0;
}

void ChordwellUi::gestureBegan(VstInt32 index) {
    if (touch_ && isParameterIndex(index)) touch_->touch(touch_->handle, static_cast<std::uint32_t>(index), true);
}

void ChordwellUi::gestureEnded(VstInt32 index) {
    if (touch_ && isParameterIndex(index)) touch_->touch(touch_->handle, static_cast<std::uint32_t>(index), false);
}

}  // namespace chordwell_lv2
