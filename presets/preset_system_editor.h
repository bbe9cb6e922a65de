// The editor side of the preset system. It lives as long as the effect, window or not: it
// writes and reads preset and bank images, runs the preset and bank file commands, keeps the
// remembered directory and file names, and reads and writes the per-user settings (default
// preset and bank, memories A and B, remembered paths); that work is done by its
// CPresetPersistence, which needs no window system. While the window is open it shows the
// preset bar along its bottom edge: the name field, the preset menu and the rocker, the load
// and save arrows for presets and banks, the PRESET and BANK labels that set and clear the
// defaults, and the A and B memory arrows.
//
// File commands. A load or save arrow opens the system's file dialog; the command runs with the
// chosen path once the dialog has closed, at the click itself where the dialog is modal, else
// at a later idle call while the host goes on. One dialog at a time: the bar takes no other file
// command while one is open. Closing the window ends the dialog and runs nothing.
//
// Threads. The bar belongs to the thread that opened the window. A name change or a restored
// bank reaching the editor on any other thread only records that the names changed; the next
// idle shows them. So no other thread ever touches a control of the bar.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "gui/aeffguieditor.h"
#include "gui/ccontrol.h"
#include "presets/name_field_notice.h"
#include "presets/preset_editor_interface.h"
#include "presets/preset_images.h"
#include "presets/preset_persistence.h"

class CNewFileSelector;
class COptionMenu;
class CPresetSystemEffect;
class CPSKickButton;
class CPSRockerSwitch;
class CSaveLoadButton;
class CTextEdit;

class CPresetSystemEditor : public AEffGUIEditor, public CControlListener, public CPresetEditorInterface {
public:
    explicit CPresetSystemEditor(AudioEffect* effect);
    ~CPresetSystemEditor() override;

    // Tags of the bar's controls.
    enum BarTag : std::int32_t {
        kNameFieldTag = 1000,
        kRockerTag = 1001,
        kLoadBankTag = 1002,
        kSaveBankTag = 1003,
        kLoadPresetTag = 1004,
        kSavePresetTag = 1005,
        kPresetMenuTag = 1012,
        kDefaultBankTag = 1013,
        kDefaultPresetTag = 1014,
        kStoreATag = 1015,
        kStoreBTag = 1016,
        kRecallATag = 1017,
        kRecallBTag = 1018,
    };

    // The preset bar's part of the window. The subclass calls open last, once its frame and
    // controls exist (false without a frame or an effect), and close first.
    bool open(void* parentWindow) override;
    void close() override;
    // Runs a file command whose dialog has closed, shows names that changed on another thread,
    // then the window's idle processing.
    void idle() override;
    // The preset bar's controls (tags 1000 and up); every other control passes through.
    void valueChanged(CControl* control) override;

    // Shows a new name of the current preset in the open preset bar.
    void showPresetName(const char* name) override;
    void showBankNames() override;
    // The bank's names or the current preset changed (a restored chunk): the bar shows them
    // at the next idle. Any thread may call it.
    void presetNamesChanged() override;
    // Default bank, then default preset, then the remembered paths.
    void loadDefaults() override;
    CPresetPersistence& getPersistence() override { return persistence; }
    virtual void setBankImage(const unsigned char* data, bool reversed);
    virtual void getBankImage(unsigned char* out);
    virtual void setPresetImage(const unsigned char* data, bool reversed);
    virtual void getPresetImage(unsigned char* out);

    // File commands. Each opens the file dialog over the open window (nothing while it is
    // closed, or while another file dialog is open) and does nothing when the user chooses
    // nothing. A file that cannot be read or written, or does not hold an image of the right
    // kind, changes nothing: the name field says why for a few seconds, and the diagnostics
    // stream has the whole reason. The same holds for the settings that the bar stores and
    // clears.
    void loadPresetFile(bool reversed);
    void savePresetFile();
    void loadBankFile(bool reversed);
    void saveBankFile();
    // Whether a file dialog of the bar is open.
    bool isFileDialogOpen() const { return fileSelector != nullptr; }

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

    // The bar's controls while the window is open (null while it is closed).
    CTextEdit* getNameField() const { return nameField; }
    COptionMenu* getPresetMenu() const { return presetMenu; }
    // What the name field shows of a failed command, and for how long.
    CNameFieldNotice& getNameFieldNotice() { return notice; }

    const char* getCurrentDirectory() const { return persistence.getCurrentDirectory(); }
    const char* getBankFileName() const { return persistence.getBankFileName(); }
    const char* getPresetFileName() const { return persistence.getPresetFileName(); }

protected:
    CPresetSystemEffect* presetEffect();

private:
    void buildBar();
    void clearBarPointers();
    // True on the thread that opened the bar, while it is open: its controls may be touched.
    bool onBarThread() const;
    // The name field, the menu's titles and its current entry, from the store.
    void showStoredNames();
    // The current preset's name in the name field and as the title of the menu's current entry.
    void showCurrentName(const char* name);
    // Makes preset `index` current from the rocker or the menu and shows its name.
    void choosePreset(int index, const char* name);

    struct FileCommand {
        bool save = false;
        bool bank = false;
        bool reversed = false;
    };
    // Opens the command's file dialog; the command runs once the dialog has closed.
    void startFileCommand(FileCommand command);
    // Runs the open dialog's command once the dialog has closed with one file chosen.
    void finishFileCommand();
    // Ends an open dialog; its command does not run.
    void endFileCommand();
    // The command with the path chosen for it.
    void runFileCommand(FileCommand command, const std::string& path);

    // Shows a command's failure in the name field, or ends an earlier one after a success.
    void tell(const CommandNotice& result);

    CPresetPersistence persistence;
    CNameFieldNotice notice;

    // The open file dialog (null while none is) and the command waiting for it.
    CNewFileSelector* fileSelector = nullptr;
    FileCommand pendingCommand;
    // Ends with this editor: a modal dialog's caller tells by it whether the host destroyed
    // the effect, and this editor with it, while the dialog was open.
    std::shared_ptr<const bool> lifetime = std::make_shared<const bool>(true);

    CTextEdit* nameField = nullptr;
    COptionMenu* presetMenu = nullptr;
    CPSRockerSwitch* rocker = nullptr;
    CSaveLoadButton* loadBankButton = nullptr;
    CSaveLoadButton* saveBankButton = nullptr;
    CPSKickButton* defaultBankButton = nullptr;
    CSaveLoadButton* loadPresetButton = nullptr;
    CSaveLoadButton* savePresetButton = nullptr;
    CPSKickButton* defaultPresetButton = nullptr;
    CPSKickButton* recallAButton = nullptr;
    CPSKickButton* storeAButton = nullptr;
    CPSKickButton* recallBButton = nullptr;
    CPSKickButton* storeBButton = nullptr;

    std::atomic<std::thread::id> barThread{};
    std::atomic<bool> namesStale{false};
};
