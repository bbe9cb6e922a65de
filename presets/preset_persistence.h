// What the preset system keeps and exchanges outside the effect's bank, with no window
// involved: preset and bank images of the effect's store, the preset and bank files once a
// path is chosen, the per-user settings (default preset and bank, memories A and B) and the
// remembered directory and file names. The editor's operations forward to it; it shows the
// names it changes through the editor side it belongs to.
#pragma once

#include <string>

class CPresetEditorInterface;
class CPresetSystemEffect;

constexpr int kPathTextSize = 257;  // 256 characters and a terminator

class CPresetPersistence {
public:
    // `names` shows the names that loading an image changes (null: nowhere).
    CPresetPersistence(CPresetSystemEffect* effect, CPresetEditorInterface* names);
    ~CPresetPersistence();
    CPresetPersistence(const CPresetPersistence&) = delete;
    CPresetPersistence& operator=(const CPresetPersistence&) = delete;

    // Images of the current preset and of the bank (61 and 341 bytes). Loading a preset image
    // renames and applies the current preset; loading a bank image applies preset 0 first,
    // whether the image is taken or not.
    void getPresetImage(unsigned char* out);
    void getBankImage(unsigned char* out);
    void setPresetImage(const unsigned char* data, bool reversed);
    void setBankImage(const unsigned char* data, bool reversed);

    // A path chosen in a file dialog: its folder, separator included, becomes the remembered
    // directory and its file name the remembered name of its kind. False, remembering nothing,
    // for a path without a folder or a file name, or with a part too long to remember.
    bool rememberChosenFile(const std::string& path, bool bank);
    // The file commands once the file is chosen. A file that cannot be read or written, or
    // does not hold an image of the right kind, is reported on the diagnostics stream and
    // changes nothing (but for preset 0 applied by a bank load).
    void loadPresetFile(const std::string& path, bool reversed);
    void savePresetFile(const std::string& path);
    void loadBankFile(const std::string& path, bool reversed);
    void saveBankFile(const std::string& path);

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
    // Default bank, then default preset, then the remembered paths.
    void loadDefaults();

    // The remembered directory (with its trailing separator) and file names.
    const char* getCurrentDirectory() const { return currentDirectory; }
    const char* getBankFileName() const { return bankFileName; }
    const char* getPresetFileName() const { return presetFileName; }

private:
    void storeImageValue(const char* valueName, bool bank);
    void recallImageValue(const char* valueName, bool bank);

    CPresetSystemEffect* effect;
    CPresetEditorInterface* names;
    char* currentDirectory = nullptr;
    char* bankFileName = nullptr;
    char* presetFileName = nullptr;
};
