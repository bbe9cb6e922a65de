// What the preset system keeps and exchanges outside the effect's bank, with no window
// involved: preset and bank images of the effect's store, the preset and bank files once a
// path is chosen, the per-user settings (default preset and bank, memories A and B) and the
// remembered directory and file names. The editor's operations forward to it; it shows the
// names it changes through the editor side it belongs to.
#pragma once

#include <string>

#include "presets/command_notice.h"

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
    // for a path without a folder or a file name: no file command can use it. A part too long
    // for the remembered texts is only not remembered (and the old text kept); the command
    // still runs on the whole path.
    bool rememberChosenFile(const std::string& path, bool bank);
    // The file commands once the file is chosen. A file that cannot be read or written, or
    // does not hold an image of the right kind, changes nothing (but for preset 0 applied by a
    // bank load): the reason goes to the diagnostics stream, and the answer says it in a few
    // words for the user.
    CommandNotice loadPresetFile(const std::string& path, bool reversed);
    CommandNotice savePresetFile(const std::string& path);
    CommandNotice loadBankFile(const std::string& path, bool reversed);
    CommandNotice saveBankFile(const std::string& path);

    // Per-user settings. The writes answer as the file commands do.
    CommandNotice storeDefaultPreset();
    CommandNotice clearDefaultPreset();
    void readDefaultPreset();
    CommandNotice storeDefaultBank();
    CommandNotice clearDefaultBank();
    void readDefaultBank();
    CommandNotice storeMemoryA();
    CommandNotice storeMemoryB();
    void recallMemoryA();
    void recallMemoryB();
    // Run as the editor goes, with nobody to tell: a failure goes to the diagnostics stream.
    void savePaths();
    void readPaths();
    // Default bank, then default preset, then the remembered paths.
    void loadDefaults();

    // The remembered directory (with its trailing separator) and file names.
    const char* getCurrentDirectory() const { return currentDirectory; }
    const char* getBankFileName() const { return bankFileName; }
    const char* getPresetFileName() const { return presetFileName; }

private:
    CommandNotice storeImageValue(const char* valueName, bool bank);
    CommandNotice loadFile(const std::string& path, bool reversed, bool bank);
    CommandNotice saveFile(const std::string& path, bool bank);
    void recallImageValue(const char* valueName, bool bank);

    CPresetSystemEffect* effect;
    CPresetEditorInterface* names;
    char* currentDirectory = nullptr;
    char* bankFileName = nullptr;
    char* presetFileName = nullptr;
};
