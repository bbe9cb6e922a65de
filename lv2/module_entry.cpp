// The module's two entry points: the plug-in's and the UI's descriptors, both under the URI in
// plugin/identity.h.
#include <cstring>
#include <string>

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>

#include "lv2/chordwell_plugin.h"
#include "lv2/chordwell_ui.h"
#include "plugin/identity.h"

namespace chordwell_lv2 {

namespace {

const std::string kPluginUri = identity::kLv2Uri;
const std::string kUiUri = kPluginUri + "#ui";

ChordwellPlugin* pluginOf(LV2_Handle handle) { return static_cast<ChordwellPlugin*>(handle); }
ChordwellUi* uiOf(LV2UI_Handle handle) { return static_cast<ChordwellUi*>(handle); }

LV2_Handle pluginInstantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    return ChordwellPlugin::create(rate, features);
}

void pluginConnectPort(LV2_Handle handle, std::uint32_t port, void* data) { pluginOf(handle)->connect(port, data); }
void pluginActivate(LV2_Handle handle) { pluginOf(handle)->activate(); }
void pluginRun(LV2_Handle handle, std::uint32_t frames) { pluginOf(handle)->run(frames); }
void pluginDeactivate(LV2_Handle handle) { pluginOf(handle)->deactivate(); }
void pluginCleanup(LV2_Handle handle) { delete pluginOf(handle); }

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, std::uint32_t,
                      const LV2_Feature* const*) {
    return pluginOf(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state,
                         std::uint32_t, const LV2_Feature* const*) {
    return pluginOf(handle)->restore(retrieve, state);
}

std::uint32_t getOptions(LV2_Handle, LV2_Options_Option*) { return LV2_OPTIONS_ERR_UNKNOWN; }
std::uint32_t setOptions(LV2_Handle handle, const LV2_Options_Option* options) {
    return pluginOf(handle)->setOptions(options);
}

const void* pluginExtensionData(const char* uri) {
    static const LV2_State_Interface state = {save, restore};
    static const LV2_Options_Interface options = {getOptions, setOptions};
    if (!uri) return nullptr;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
    if (std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &options;
    return nullptr;
}

LV2UI_Handle uiInstantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                           LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || kPluginUri != pluginUri) return nullptr;
    return ChordwellUi::create(write, controller, widget, features);
}

void uiCleanup(LV2UI_Handle handle) { delete uiOf(handle); }

void uiPortEvent(LV2UI_Handle handle, std::uint32_t port, std::uint32_t size, std::uint32_t format,
                 const void* buffer) {
    uiOf(handle)->portEvent(port, size, format, buffer);
}

int uiIdle(LV2UI_Handle handle) { return uiOf(handle)->idle(); }

const void* uiExtensionData(const char* uri) {
    static const LV2UI_Idle_Interface idle = {uiIdle};
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

}  // namespace

const LV2_Descriptor* ChordwellPlugin::descriptor() {
    static const LV2_Descriptor descriptor = {kPluginUri.c_str(), pluginInstantiate, pluginConnectPort, pluginActivate, pluginRun,
                                              pluginDeactivate, pluginCleanup, pluginExtensionData};
    return &descriptor;
}

const LV2UI_Descriptor* ChordwellUi::descriptor() {
    static const LV2UI_Descriptor descriptor = {kUiUri.c_str(), uiInstantiate, uiCleanup, uiPortEvent,
                                                uiExtensionData};
    return &descriptor;
}

}  // namespace chordwell_lv2

extern "C" {

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index == 0 ? chordwell_lv2::ChordwellPlugin::descriptor() : nullptr;
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(std::uint32_t index) {
    return index == 0 ? chordwell_lv2::ChordwellUi::descriptor() : nullptr;
}

}
