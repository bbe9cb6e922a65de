// The editor side of the preset system. It lives as long as the effect, window or not: it
// writes and reads preset and bank images, runs the preset and bank file commands, keeps the
// remembered directory and file names, and reads and writes the per-user settings (default
// preset and bank, memories A and B, remembered paths).
#pragma once

#include "gui/aeffguieditor.h"
#include "gui/ccontrol.h"
#include "presets/preset_images.h"

class CPresetSystemEffect;
class FileSelector;

constexpr int kPathTextSize = 257;  // 256 characters and a terminator

class CPresetSystemEditor : public AEffGUIEditor, public CControlListener {
public:
    explicit CPresetSystemEditor(AudioEffect* effect);
    ~CPresetSystemEditor() override;

    // The preset bar's part of the window. The subclass calls open last, once its frame and
    // controls exist (false without a frame or an effect), and close first.
    bool open(void* parentWindow) override;
    void close() override;
    // The preset bar's controls (tags 1000 and up); every other control passes through.
    void valueChanged(CControl* control) override;

    // Shows a new name of the current preset in the open preset bar.
    virtual void showPresetName(const char* name);
    // Default bank, then default preset, then the remembered paths.
    virtual void loadDefaults();
    virtual void setBankImage(const unsigned char* data, bool reversed);
    virtual void getBankImage(unsigned char* out);
    virtual void setPresetImage(const unsigned char* data, bool reversed);
    virtual void getPresetImage(unsigned char* out);

    // File commands. Each runs the file selector, if one is set, and does nothing when the
    // user chooses nothing or the path does not fit the remembered texts.
    void loadPresetFile(bool reversed);
    void savePresetFile();
    void loadBankFile(bool reversed);
    void saveBankFile();

    // Per-user settings.
    void storeDefaultPreset();
    void clearDefaultPreset();
    void readDefaultPreset();
    void storeDefaultBank();
    void clearDefaultBank();
    void readDefaultBank();
    void storeMemoryA();
    void storeMemoryB();
    void recallMemoryA();
    void recallMemoryB();
    void savePaths();
    void readPaths();

    // The dialog the file commands use (not owned); null disables them.
    void setFileSelector(FileSelector* selector) { fileSelector = selector; }

    const char* getCurrentDirectory() const { return currentDirectory; }
    const char* getBankFileName() const { return bankFileName; }
    const char* getPresetFileName() const { return presetFileName; }

protected:
    CPresetSystemEffect* presetEffect();

    char* currentDirectory = nullptr;
    char* bankFileName = nullptr;
    char* presetFileName = nullptr;
    FileSelector* fileSelector = nullptr;

private:
    bool chooseFile(bool save, bool bank, bool reversed, std::string& path);
    void storeImageValue(const char* valueName, bool bank);
    void recallImageValue(const char* valueName, bool bank);
};
