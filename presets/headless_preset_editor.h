// The editor side of the preset system without a window, for programs that link no window
// system (the effect's and the preset store's tests): it loads the user's defaults when the
// effect starts, keeps the remembered paths and saves them when it goes, and runs the images,
// settings and file commands through its CPresetPersistence. It has no window to open and no
// bar to show names in.
#pragma once

#include "presets/preset_editor_interface.h"
#include "presets/preset_persistence.h"
#include "vst/aeffeditor.h"

class CPresetSystemEffect;

class CHeadlessPresetEditor : public AEffEditor, public CPresetEditorInterface {
public:
    // Registers itself as the effect's editor; the effect owns it from then on.
    explicit CHeadlessPresetEditor(CPresetSystemEffect* effect);
    ~CHeadlessPresetEditor() override;

    // No window: a host's request to open one is refused.
    bool open(void* /*parentWindow*/) override { return false; }

    void showPresetName(const char* /*name*/) override {}
    void showBankNames() override {}
    void presetNamesChanged() override {}
    void loadDefaults() override { persistence.loadDefaults(); }
    CPresetPersistence& getPersistence() override { return persistence; }

private:
    CPresetPersistence persistence;
};
