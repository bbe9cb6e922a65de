// The editor as the CLAP plug-in's gui: the same window editor and preset bar the VST 2.4
// plug-in opens, embedded into the host's window. On X11 the host's timer and its watch on the
// X connection drive it (the editor's idle step takes the pending events and redraws); on
// Windows the editor's own window timer does, as under a VST 2.4 host. The editor has one size
// per screen scale: the host's scale (100 to 300 %) chooses it, and a change of size while open
// is asked of the host's window.
#include <cstring>

#include "clap/chordwell_plugin.h"
#include "clap/window_api.h"
#include "gui/platform_window.h"
#include "plugin/adelay.h"
#include "vst/aeffeditor.h"

namespace chordwell_clap {

const clap::PluginGui ChordwellPlugin::kGui{
    &guiIsApiSupported, &guiPreferredApi, &guiCreate,    &guiDestroy,   &guiSetScale,
    &guiGetSize,        &guiCanResize,    &guiResizeHints, &guiAdjustSize, &guiSetSize,
    &guiSetParent,      &guiSetTransient, &guiSuggestTitle, &guiShow,     &guiHide};
const clap::PluginTimerSupport ChordwellPlugin::kTimerSupport{&onTimer};
const clap::PluginPosixFdSupport ChordwellPlugin::kPosixFdSupport{&onFd};

bool ChordwellPlugin::guiIsApiSupported(const clap::Plugin*, const char* api, bool isFloating) {
    return !isFloating && api && std::strcmp(api, windowApi()) == 0;
}

bool ChordwellPlugin::guiPreferredApi(const clap::Plugin*, const char** api, bool* isFloating) {
    if (api) *api = windowApi();
    if (isFloating) *isFloating = false;
    return true;
}

bool ChordwellPlugin::guiCreate(const clap::Plugin* plugin, const char* api, bool isFloating) {
    ChordwellPlugin& self = of(plugin);
    if (self.guiCreated_ || !guiIsApiSupported(plugin, api, isFloating) || !self.effect_->getEditor()) return false;
    self.guiCreated_ = true;
    return true;
}

void ChordwellPlugin::guiDestroy(const clap::Plugin* plugin) {
    ChordwellPlugin& self = of(plugin);
    self.closeEditor();
    self.guiCreated_ = false;
}

void ChordwellPlugin::stopEditorWatch() {
    if (watchedFd_ >= 0 && hostFds_ && hostFds_->unregisterFd) hostFds_->unregisterFd(host_, watchedFd_);
    watchedFd_ = -1;
}

void ChordwellPlugin::closeEditor() {
    if (!editorOpen_) return;
    stopEditorWatch();
    if (AEffEditor* editor = effect_->getEditor()) editor->close();
    // Closing ends the controls' open gestures; whatever is left open ends here all the same.
    editEvents_.endAll();
    editorOpen_ = false;
}

bool ChordwellPlugin::guiSetScale(const clap::Plugin* plugin, double scale) {
    AEffEditor* editor = of(plugin).effect_->getEditor();
    if (!editor || !(scale >= 1.0 && scale <= 3.0)) return false;
    return editor->setContentScaleFactor(static_cast<float>(scale));
}

bool ChordwellPlugin::guiGetSize(const clap::Plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    AEffEditor* editor = of(plugin).effect_->getEditor();
    ERect* rect = nullptr;
    if (!width || !height || !editor || !editor->getRect(&rect) || !rect) return false;
    *width = static_cast<std::uint32_t>(rect->right - rect->left);
    *height = static_cast<std::uint32_t>(rect->bottom - rect->top);
    return true;
}

// The editor has one size at each scale: the host cannot drag it to another.
bool ChordwellPlugin::guiCanResize(const clap::Plugin*) { return false; }

bool ChordwellPlugin::guiResizeHints(const clap::Plugin*, clap::GuiResizeHints* hints) {
    if (!hints) return false;
    *hints = clap::GuiResizeHints{false, false, false, 0, 0};
    return true;
}

bool ChordwellPlugin::guiAdjustSize(const clap::Plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    return guiGetSize(plugin, width, height);
}

bool ChordwellPlugin::guiSetSize(const clap::Plugin* plugin, std::uint32_t width, std::uint32_t height) {
    std::uint32_t w = 0, h = 0;
    return guiGetSize(plugin, &w, &h) && w == width && h == height;
}

bool ChordwellPlugin::guiSetParent(const clap::Plugin* plugin, const clap::Window* window) {
    ChordwellPlugin& self = of(plugin);
    AEffEditor* editor = self.effect_->getEditor();
    if (!self.guiCreated_ || self.editorOpen_ || !window || !window->api || std::strcmp(window->api, windowApi()) != 0 ||
        !editor || editor->isOpen())
        return false;
    void* parent = parentWindowOf(*window);
    if (!parent || !editor->open(parent)) return false;
    self.editorOpen_ = true;
    const int descriptor = windowEventDescriptor();
    if (descriptor >= 0 && self.hostFds_ && self.hostFds_->registerFd &&
        self.hostFds_->registerFd(self.host_, descriptor, clap::kPosixFdRead))
        self.watchedFd_ = descriptor;
    return true;
}

bool ChordwellPlugin::guiSetTransient(const clap::Plugin*, const clap::Window*) { return false; }

void ChordwellPlugin::guiSuggestTitle(const clap::Plugin*, const char*) {}

// Embedded in the host's window, the editor shows and hides with it.
bool ChordwellPlugin::guiShow(const clap::Plugin* plugin) { return of(plugin).editorOpen_; }

bool ChordwellPlugin::guiHide(const clap::Plugin* plugin) { return of(plugin).editorOpen_; }

void ChordwellPlugin::onTimer(const clap::Plugin* plugin, clap::Id) {
    ChordwellPlugin& self = of(plugin);
    if (self.editorOpen_) self.effect_->getEditor()->idle();
    self.deliverToHost();
}

void ChordwellPlugin::onFd(const clap::Plugin* plugin, int, std::uint32_t) {
    ChordwellPlugin& self = of(plugin);
    if (self.editorOpen_) self.effect_->getEditor()->idle();
}

}  // namespace chordwell_clap
