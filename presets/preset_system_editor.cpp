#include "presets/preset_system_editor.h"

#include <algorithm>
#include <string>
#include <utility>

#include "gui/cbitmap.h"
#include "gui/cfileselector.h"
#include "gui/cframe.h"
#include "gui/coptionmenu.h"
#include "gui/ctextedit.h"
#include "gui/platform_window.h"
#include "gui/utf8.h"
#include "presets/cpskickbutton.h"
#include "presets/cpsrockerswitch.h"
#include "presets/csaveloadbutton.h"
#include "presets/preset_system_effect.h"

namespace {

// The bar's timer keeps the window's idle processing going while the window is open, also
// where the host sends no idle calls of its own.
constexpr std::uint32_t kIdleTimerMs = 50;

constexpr const char* kPresetType = "QZA Preset";
constexpr const char* kPresetExtension = "qza";
constexpr const char* kBankType = "QZA Bank";
constexpr const char* kBankExtension = "qzb";

// ---- the bar's layout ----

constexpr int kBackgroundBitmap = 1128;

// The name field's first rectangle; its height is then fitted to the font around the middle.
constexpr CRect kNameFieldDraft(96, 235, 212, 246);
constexpr CCoord kNameFieldPadding = 2;
const CColor kNameBackColor(189, 207, 218, 255);
const CColor kNameInkColor(36, 36, 32, 255);

constexpr CRect kPresetMenuRect(214, 224, 237, 251);
constexpr std::int32_t kMenuItemsPerColumn = 16;
// A pop-up list with the current entry checked; the closed menu draws neither text nor frame
// (the menu symbol is part of the background).
constexpr std::int32_t kPresetMenuStyle = kPopupStyle | kCheckStyle | kNoTextStyle | kNoDrawStyle;

// A load arrow's right click loads with the byte order reversed; a default label's
// Ctrl+double-click clears the default.
constexpr float kReversedValue = 0.5f;
constexpr float kStoreThreshold = 0.75f;

enum class ButtonKind { rocker, saveLoad, kick, guardedKick };

struct ButtonPlace {
    std::int32_t tag;
    CRect rect;
    int bitmap;
    int subImages;  // stacked vertically, each the bitmap's height divided by their number
    ButtonKind kind;
};

// After the name field and the menu, in the order they are added to the frame: the rocker
// lies over the menu's right edge.
const ButtonPlace kButtonPlaces[] = {
    {CPresetSystemEditor::kRockerTag, CRect(230, 234, 261, 248), 19997, 5, ButtonKind::rocker},
    {CPresetSystemEditor::kLoadBankTag, CRect(76, 241, 88, 255), 19993, 3, ButtonKind::saveLoad},
    {CPresetSystemEditor::kSaveBankTag, CRect(11, 241, 23, 255), 19994, 3, ButtonKind::saveLoad},
    {CPresetSystemEditor::kDefaultBankTag, CRect(32, 243, 69, 253), 19990, 3, ButtonKind::guardedKick},
    {CPresetSystemEditor::kLoadPresetTag, CRect(76, 226, 88, 240), 19998, 3, ButtonKind::saveLoad},
    {CPresetSystemEditor::kSavePresetTag, CRect(11, 226, 23, 240), 19999, 3, ButtonKind::saveLoad},
    {CPresetSystemEditor::kDefaultPresetTag, CRect(27, 229, 74, 239), 19899, 3, ButtonKind::guardedKick},
    {CPresetSystemEditor::kRecallATag, CRect(293, 226, 305, 240), 19991, 3, ButtonKind::kick},
    {CPresetSystemEditor::kStoreATag, CRect(269, 226, 281, 240), 19995, 3, ButtonKind::kick},
    {CPresetSystemEditor::kRecallBTag, CRect(293, 241, 305, 253), 19992, 3, ButtonKind::kick},
    {CPresetSystemEditor::kStoreBTag, CRect(269, 241, 281, 253), 19996, 3, ButtonKind::kick},
};

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect), persistence(static_cast<CPresetSystemEffect*>(effect), this) {}

CPresetSystemEditor::~CPresetSystemEditor() {
    endFileCommand();
    savePaths();
}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() { return static_cast<CPresetSystemEffect*>(effect); }

// ---------------------------------------------------------------------------------------------
// The bar

bool CPresetSystemEditor::open(void* /*parentWindow*/) {
    if (!frame || !effect) return false;
    barThread.store(std::this_thread::get_id());
    // The bar is built from the store as it is now; earlier changes are in it.
    namesStale.store(false);
    buildBar();
    if (PlatformWindow* window = frame->getPlatformWindow()) window->startTimer(kIdleTimerMs, [this] { idle(); });
    return true;
}

void CPresetSystemEditor::buildBar() {
    CPresetSystemEffect* fx = presetEffect();
    char name[kPresetNameLength + 1];
    auto* background = new CBitmap(CResourceDescription(kBackgroundBitmap));

    const CCoord fontSize = kNormalFontSmall->getSize();
    const CCoord middle = (kNameFieldDraft.top + kNameFieldDraft.bottom) / 2;
    const CRect fieldRect(kNameFieldDraft.left, middle - fontSize / 2 - kNameFieldPadding, kNameFieldDraft.right,
                          middle + fontSize / 2 + kNameFieldPadding);
    fx->copyPresetName(fx->getCurrentPreset(), name);
    nameField = new CTextEdit(fieldRect, this, kNameFieldTag, name, background, 0);
    nameField->setBackOffset(fieldRect.getTopLeft());
    nameField->setBackColor(kNameBackColor);
    nameField->setFont(kNormalFontSmall);
    nameField->setFontColor(kNameInkColor);
    nameField->setFrameColor(kNameInkColor);
    nameField->setHoriAlign(kCenterText);
    frame->addView(nameField);

    presetMenu = new COptionMenu(kPresetMenuRect, this, kPresetMenuTag, background, nullptr, 0);
    presetMenu->setBackOffset(kPresetMenuRect.getTopLeft());
    presetMenu->setNbItemsPerColumn(kMenuItemsPerColumn);
    presetMenu->setStyle(kPresetMenuStyle);
    for (int k = 0; k < kNumPresets; ++k) {
        fx->copyPresetName(k, name);
        presetMenu->addEntry(name);
    }
    presetMenu->setCurrent(fx->getCurrentPreset());
    frame->addView(presetMenu);

    for (const ButtonPlace& place : kButtonPlaces) {
        auto* bitmap = new CBitmap(CResourceDescription(place.bitmap));
        const CCoord subHeight = bitmap->getHeight() / place.subImages;
        const CPoint origin(0, 0);
        switch (place.kind) {
        case ButtonKind::rocker:
            rocker = new CPSRockerSwitch(place.rect, this, place.tag, subHeight, bitmap, origin, kHorizontal);
            frame->addView(rocker);
            break;
        case ButtonKind::saveLoad: {
            auto* button = new CSaveLoadButton(place.rect, this, place.tag, subHeight, bitmap, origin);
            frame->addView(button);
            if (place.tag == kLoadBankTag) loadBankButton = button;
            if (place.tag == kSaveBankTag) saveBankButton = button;
            if (place.tag == kLoadPresetTag) loadPresetButton = button;
            if (place.tag == kSavePresetTag) savePresetButton = button;
            break;
        }
        case ButtonKind::kick:
        case ButtonKind::guardedKick: {
            const bool guard = place.kind == ButtonKind::guardedKick;
            auto* button = new CPSKickButton(place.rect, this, place.tag, subHeight, bitmap, origin, guard);
            frame->addView(button);
            if (place.tag == kDefaultBankTag) defaultBankButton = button;
            if (place.tag == kDefaultPresetTag) defaultPresetButton = button;
            if (place.tag == kRecallATag) recallAButton = button;
            if (place.tag == kStoreATag) storeAButton = button;
            if (place.tag == kRecallBTag) recallBButton = button;
            if (place.tag == kStoreBTag) storeBButton = button;
            break;
        }
        }
        bitmap->forget();  // the control holds it
    }
    background->forget();
}

void CPresetSystemEditor::close() {
    endFileCommand();
    if (frame) {
        if (PlatformWindow* window = frame->getPlatformWindow()) window->stopTimer();
        // A name being typed is kept, as Return keeps it, while the bar still exists; an open
        // preset list goes without a choice.
        if (nameField && frame->getFocusView() == nameField) frame->setFocusView(nullptr);
        if (presetMenu && presetMenu->getOpenList()) frame->setModalView(nullptr);
    }
    clearBarPointers();
    barThread.store(std::thread::id{});
}

void CPresetSystemEditor::clearBarPointers() {
    nameField = nullptr;
    presetMenu = nullptr;
    rocker = nullptr;
    loadBankButton = nullptr;
    saveBankButton = nullptr;
    defaultBankButton = nullptr;
    loadPresetButton = nullptr;
    savePresetButton = nullptr;
    defaultPresetButton = nullptr;
    recallAButton = nullptr;
    storeAButton = nullptr;
    recallBButton = nullptr;
    storeBButton = nullptr;
}

bool CPresetSystemEditor::onBarThread() const { return std::this_thread::get_id() == barThread.load(); }

void CPresetSystemEditor::idle() {
    finishFileCommand();
    if (onBarThread()) {
        if (namesStale.exchange(false)) showStoredNames();
        notice.idle(nameField);
    }
    AEffGUIEditor::idle();
}

void CPresetSystemEditor::presetNamesChanged() { namesStale.store(true); }

void CPresetSystemEditor::showBankNames() {
    if (onBarThread())
        showStoredNames();
    else
        presetNamesChanged();
}

void CPresetSystemEditor::showPresetName(const char* name) {
    if (!onBarThread()) {
        presetNamesChanged();
        return;
    }
    showCurrentName(name);
}

void CPresetSystemEditor::showCurrentName(const char* name) {
    if (nameField) nameField->setText(name);
    if (presetMenu) {
        if (CMenuItem* entry = presetMenu->getCurrent()) entry->setTitle(name);
        presetMenu->invalid();
    }
}

void CPresetSystemEditor::showStoredNames() {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !fx->getPresets()) return;
    char name[kPresetNameLength + 1];
    if (presetMenu) {
        for (int k = 0; k < kNumPresets; ++k) {
            fx->copyPresetName(k, name);
            if (CMenuItem* entry = presetMenu->getEntry(k)) entry->setTitle(name);
        }
        presetMenu->setCurrent(fx->getCurrentPreset());
        presetMenu->invalid();
    }
    // A name being typed stays: Return stores it over whatever came meanwhile.
    if (nameField && !nameField->isEditing()) {
        fx->copyPresetName(fx->getCurrentPreset(), name);
        nameField->setText(name);
    }
}

void CPresetSystemEditor::choosePreset(int index, const char* name) {
    CPresetSystemEffect* fx = presetEffect();
    if (presetMenu) presetMenu->setCurrent(index);
    if (nameField) nameField->setText(name);
    fx->selectPreset(index);
    fx->setCurrentPresetName(name);
}

void CPresetSystemEditor::valueChanged(CControl* control) {
    CPresetSystemEffect* fx = presetEffect();
    if (!control || !fx || !fx->getPresets()) return;
    const float value = control->getValue();
    switch (control->getTag()) {
    case kNameFieldTag: {
        auto* field = dynamic_cast<CTextEdit*>(control);
        if (!field) return;
        // At most 24 bytes, cut between characters, never inside one.
        std::string name = field->getText();
        name.resize(utf8::prefixLength(name, kPresetNameLength));
        showCurrentName(name.c_str());
        fx->setCurrentPresetName(name.c_str());
        return;
    }
    case kRockerTag: {
        int index = fx->getCurrentPreset();
        if (value > 0)
            index = std::min(index + 1, kNumPresets - 1);
        else if (value < 0)
            index = std::max(index - 1, 0);
        else
            return;
        char name[kPresetNameLength + 1];
        fx->copyPresetName(index, name);
        choosePreset(index, name);
        return;
    }
    case kPresetMenuTag: {
        auto* menu = dynamic_cast<COptionMenu*>(control);
        const int index = static_cast<int>(value + 0.5f);
        if (!menu || index < 0 || index >= kNumPresets || !menu->getEntry(index)) return;
        const std::string name = menu->getEntry(index)->getTitle();
        choosePreset(index, name.c_str());
        return;
    }
    case kLoadBankTag:
        loadBankFile(value == kReversedValue);
        return;
    case kSaveBankTag:
        saveBankFile();
        return;
    case kLoadPresetTag:
        loadPresetFile(value == kReversedValue);
        return;
    case kSavePresetTag:
        savePresetFile();
        return;
    case kDefaultBankTag:
        if (value < kStoreThreshold)
            clearDefaultBank();
        else
            storeDefaultBank();
        return;
    case kDefaultPresetTag:
        if (value < kStoreThreshold)
            clearDefaultPreset();
        else
            storeDefaultPreset();
        return;
    case kStoreATag:
        storeMemoryA();
        return;
    case kStoreBTag:
        storeMemoryB();
        return;
    case kRecallATag:
        recallMemoryA();
        return;
    case kRecallBTag:
        recallMemoryB();
        return;
    default:
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Images, files and settings: the persistence's work

void CPresetSystemEditor::getPresetImage(unsigned char* out) { persistence.getPresetImage(out); }
void CPresetSystemEditor::getBankImage(unsigned char* out) { persistence.getBankImage(out); }
void CPresetSystemEditor::setPresetImage(const unsigned char* data, bool reversed) {
    persistence.setPresetImage(data, reversed);
}
void CPresetSystemEditor::setBankImage(const unsigned char* data, bool reversed) {
    persistence.setBankImage(data, reversed);
}

void CPresetSystemEditor::loadPresetFile(bool reversed) { startFileCommand({false, false, reversed}); }
void CPresetSystemEditor::savePresetFile() { startFileCommand({true, false, false}); }
void CPresetSystemEditor::loadBankFile(bool reversed) { startFileCommand({false, true, reversed}); }
void CPresetSystemEditor::saveBankFile() { startFileCommand({true, true, false}); }

void CPresetSystemEditor::startFileCommand(FileCommand command) {
    // One dialog at a time, as with a modal one; and dialogs belong to the open window.
    if (!frame || fileSelector) return;
    const bool save = command.save;
    const bool bank = command.bank;
    CNewFileSelector* selector =
        CNewFileSelector::create(frame, save ? CNewFileSelector::kSelectSaveFile : CNewFileSelector::kSelectFile);
    if (!selector) return;
    if (bank)
        selector->setTitle(save ? "Save bank" : (command.reversed ? "Load bank (endian-reversed)" : "Load bank"));
    else
        selector->setTitle(save ? "Save preset" : (command.reversed ? "Load preset (endian-reversed)" : "Load preset"));
    selector->setInitialDirectory(getCurrentDirectory());
    const CFileExtension type(bank ? kBankType : kPresetType, bank ? kBankExtension : kPresetExtension);
    if (save) {
        selector->setDefaultSaveName(bank ? getBankFileName() : getPresetFileName());
        selector->setDefaultExtension(type);
    } else {
        selector->addFileExtension(type);
        selector->setAllowMultiFileSelection(false);
    }
    fileSelector = selector;
    pendingCommand = command;

    const std::weak_ptr<const bool> editorAlive = lifetime;
    const bool shown = selector->run();
    // A modal dialog ran the host's message loop until it closed. The host may have destroyed
    // the effect, and this editor with it, meanwhile: then nothing of either may be touched.
    // A window closed meanwhile ended the command (endFileCommand).
    if (editorAlive.expired()) return;
    if (!shown) {
        if (fileSelector == selector) endFileCommand();
        return;
    }
    finishFileCommand();
}

void CPresetSystemEditor::finishFileCommand() {
    if (!fileSelector || fileSelector->isRunning()) return;
    CNewFileSelector* selector = std::exchange(fileSelector, nullptr);
    const bool one = selector->getNumSelectedFiles() == 1;
    const std::string chosen = one ? selector->getSelectedFile(0) : "";
    if (!one && !selector->getRefusal().empty())
        tell(CommandNotice::of(pendingCommand.save ? kNotSaved : kNotLoaded, selector->getRefusal()));
    selector->forget();
    if (one) runFileCommand(pendingCommand, chosen);
}

void CPresetSystemEditor::tell(const CommandNotice& result) {
    if (onBarThread()) notice.show(nameField, result);
}

void CPresetSystemEditor::endFileCommand() {
    CNewFileSelector* selector = std::exchange(fileSelector, nullptr);
    if (!selector) return;
    selector->cancel();
    selector->forget();
}

void CPresetSystemEditor::runFileCommand(FileCommand command, const std::string& path) {
    if (!persistence.rememberChosenFile(path, command.bank)) return;
    if (command.save) {
        tell(command.bank ? persistence.saveBankFile(path) : persistence.savePresetFile(path));
        return;
    }
    tell(command.bank ? persistence.loadBankFile(path, command.reversed)
                      : persistence.loadPresetFile(path, command.reversed));
    if (frame) frame->setDirty(true);
}

void CPresetSystemEditor::storeDefaultPreset() { tell(persistence.storeDefaultPreset()); }
void CPresetSystemEditor::clearDefaultPreset() { tell(persistence.clearDefaultPreset()); }
void CPresetSystemEditor::readDefaultPreset() { persistence.readDefaultPreset(); }
void CPresetSystemEditor::storeDefaultBank() { tell(persistence.storeDefaultBank()); }
void CPresetSystemEditor::clearDefaultBank() { tell(persistence.clearDefaultBank()); }
void CPresetSystemEditor::readDefaultBank() { persistence.readDefaultBank(); }
void CPresetSystemEditor::storeMemoryA() { tell(persistence.storeMemoryA()); }
void CPresetSystemEditor::storeMemoryB() { tell(persistence.storeMemoryB()); }
void CPresetSystemEditor::recallMemoryA() { persistence.recallMemoryA(); }
void CPresetSystemEditor::recallMemoryB() { persistence.recallMemoryB(); }
void CPresetSystemEditor::savePaths() { persistence.savePaths(); }
void CPresetSystemEditor::readPaths() { persistence.readPaths(); }
void CPresetSystemEditor::loadDefaults() { persistence.loadDefaults(); }
