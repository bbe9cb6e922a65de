// The editor side of the preset system as the effect and the persisted values reach it,
// window or not: names to show and the user's defaults to load. The plug-in's window editor
// implements it (CPresetSystemEditor), and so does the window-less editor side of programs
// that link no window system (CHeadlessPresetEditor).
#pragma once

class CPresetPersistence;

class CPresetEditorInterface {
public:
    virtual ~CPresetEditorInterface() = default;

    // Shows a new name of the current preset where the bar shows names. Any thread.
    virtual void showPresetName(const char* name) = 0;
    // A bank image replaced the six names and made preset 0 current: shown at once on the
    // bar's own thread, at the next idle from any other.
    virtual void showBankNames() = 0;
    // The bank's names or the current preset changed (a restored chunk): shown at the next
    // idle. Any thread.
    virtual void presetNamesChanged() = 0;
    // Default bank, then default preset, then the remembered paths.
    virtual void loadDefaults() = 0;
    // The images, files, settings and remembered paths behind the editor's operations.
    virtual CPresetPersistence& getPersistence() = 0;
};
