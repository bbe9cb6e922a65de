#include "presets/preset_system_editor.h"

#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/settings_store.h"
#include "presets/file_selector.h"
#include "presets/preset_system_effect.h"

namespace {

constexpr const char* kDefaultPresetValue = "DefaultPreset";
constexpr const char* kDefaultBankValue = "DefaultBank";
constexpr const char* kMemoryAValue = "MemoA";
constexpr const char* kMemoryBValue = "MemoB";
constexpr const char* kDirectoryValue = "CurrDir";
constexpr const char* kBankNameValue = "CurrBank";
constexpr const char* kPresetNameValue = "CurrPreset";

constexpr std::size_t kLongestPathText = kPathTextSize - 1;

constexpr const char* kPresetType = "QZA Preset";
constexpr const char* kPresetExtension = "qza";
constexpr const char* kBankType = "QZA Bank";
constexpr const char* kBankExtension = "qzb";

// Copies text into a remembered path text; a text that does not fit leaves it empty.
void setPathText(char* to, const std::string& text) {
    if (text.size() > kLongestPathText) {
        to[0] = 0;
        return;
    }
    std::memcpy(to, text.c_str(), text.size() + 1);
}

}  // namespace

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    currentDirectory = new char[kPathTextSize]();
    bankFileName = new char[kPathTextSize]();
    presetFileName = new char[kPathTextSize]();
    const std::string workingDirectory = platform::workingDirectory();
    if (workingDirectory.size() < kLongestPathText) setPathText(currentDirectory, workingDirectory);
}

CPresetSystemEditor::~CPresetSystemEditor() {
    savePaths();
    delete[] currentDirectory;
    delete[] bankFileName;
    delete[] presetFileName;
}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() { return static_cast<CPresetSystemEffect*>(effect); }

bool CPresetSystemEditor::open(void* /*parentWindow*/) { return frame != nullptr && effect != nullptr; }

void CPresetSystemEditor::close() {}

void CPresetSystemEditor::valueChanged(CControl* /*control*/) {}

void CPresetSystemEditor::showPresetName(const char* /*name*/) {
    // The name field and the preset menu are drawn by the preset bar, which shows the name
    // when it exists; without a window there is nothing to show.
}

// ---------------------------------------------------------------------------------------------
// Images

void CPresetSystemEditor::getPresetImage(unsigned char* out) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !fx->getPresets() || !out) return;
    writePresetImage(out, fx->getUniqueID(), fx->getPresets()[fx->getCurrentPreset()]);
}

void CPresetSystemEditor::getBankImage(unsigned char* out) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !fx->getPresets() || !out) return;
    writeBankImage(out, fx->getUniqueID(), fx->getPresets());
}

void CPresetSystemEditor::setPresetImage(const unsigned char* data, bool reversed) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !fx->getPresets()) return;
    const int target = fx->getCurrentPreset();
    PresetRecord& preset = fx->getPresets()[target];
    if (!readPresetImage(data, fx->getUniqueID(), reversed, preset)) return;

    char name[kPresetNameLength + 1];
    copyName(preset, name);
    showPresetName(name);
    fx->setCurrentPresetName(name);
    fx->selectPreset(target);
}

void CPresetSystemEditor::setBankImage(const unsigned char* data, bool reversed) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !fx->getPresets()) return;
    // Preset 0 is applied before the image is examined, so even a refused bank leaves it current.
    fx->selectPreset(0);
    if (!readBankImage(data, fx->getUniqueID(), reversed, fx->getPresets())) return;

    char name[kPresetNameLength + 1];
    copyName(fx->getPresets()[0], name);
    showPresetName(name);
    fx->selectPreset(0);
}

// ---------------------------------------------------------------------------------------------
// Files

bool CPresetSystemEditor::chooseFile(bool save, bool bank, bool reversed, std::string& path) {
    if (!fileSelector) return false;
    FileSelectorRequest request;
    request.style = save ? FileSelectorRequest::Style::saveFile : FileSelectorRequest::Style::openFile;
    if (bank)
        request.title = save ? "Save bank" : (reversed ? "Load bank (endian-reversed)" : "Load bank");
    else
        request.title = save ? "Save preset" : (reversed ? "Load preset (endian-reversed)" : "Load preset");
    request.initialDirectory = currentDirectory;
    if (save) request.defaultFileName = bank ? bankFileName : presetFileName;
    request.typeDescription = bank ? kBankType : kPresetType;
    request.extension = bank ? kBankExtension : kPresetExtension;

    const std::optional<std::string> chosen = fileSelector->choose(request);
    if (!chosen) return false;

    // The directory keeps its trailing separator. A path without one, or a part that does not
    // fit the remembered texts, is refused whole rather than cut into a wrong path.
    const std::size_t split = chosen->rfind(platform::kPathSeparator);
    if (split == std::string::npos) return false;
    const std::string directory = chosen->substr(0, split + 1);
    const std::string name = chosen->substr(split + 1);
    if (name.empty() || directory.size() > kLongestPathText || name.size() > kLongestPathText) return false;

    setPathText(currentDirectory, directory);
    setPathText(bank ? bankFileName : presetFileName, name);
    path = *chosen;
    return true;
}

void CPresetSystemEditor::loadPresetFile(bool reversed) {
    std::string path;
    if (!chooseFile(false, false, reversed, path)) return;
    unsigned char bytes[kPresetImageSize] = {};
    platform::readFilePrefix(path, bytes, sizeof(bytes));
    setPresetImage(bytes, reversed);
}

void CPresetSystemEditor::savePresetFile() {
    std::string path;
    if (!chooseFile(true, false, false, path)) return;
    unsigned char bytes[kPresetImageSize] = {};
    getPresetImage(bytes);
    platform::writeFileAtomically(path, bytes, sizeof(bytes));
}

void CPresetSystemEditor::loadBankFile(bool reversed) {
    std::string path;
    if (!chooseFile(false, true, reversed, path)) return;
    unsigned char bytes[kBankImageSize] = {};
    platform::readFilePrefix(path, bytes, sizeof(bytes));
    setBankImage(bytes, reversed);
}

void CPresetSystemEditor::saveBankFile() {
    std::string path;
    if (!chooseFile(true, true, false, path)) return;
    unsigned char bytes[kBankImageSize] = {};
    getBankImage(bytes);
    platform::writeFileAtomically(path, bytes, sizeof(bytes));
}

// ---------------------------------------------------------------------------------------------
// Settings

void CPresetSystemEditor::storeImageValue(const char* valueName, bool bank) {
    unsigned char bytes[kBankImageSize] = {};
    if (bank)
        getBankImage(bytes);
    else
        getPresetImage(bytes);
    platform::SettingsStore::write(valueName, bytes, bank ? kBankImageSize : kPresetImageSize);
}

// A missing value leaves zero bytes, which the image readers refuse; the bank reader still
// applies preset 0 first.
void CPresetSystemEditor::recallImageValue(const char* valueName, bool bank) {
    unsigned char bytes[kBankImageSize] = {};
    platform::SettingsStore::read(valueName, bytes, bank ? kBankImageSize : kPresetImageSize);
    if (bank)
        setBankImage(bytes, false);
    else
        setPresetImage(bytes, false);
}

void CPresetSystemEditor::storeDefaultPreset() { storeImageValue(kDefaultPresetValue, false); }
void CPresetSystemEditor::clearDefaultPreset() { platform::SettingsStore::remove(kDefaultPresetValue); }
void CPresetSystemEditor::readDefaultPreset() { recallImageValue(kDefaultPresetValue, false); }
void CPresetSystemEditor::storeDefaultBank() { storeImageValue(kDefaultBankValue, true); }
void CPresetSystemEditor::clearDefaultBank() { platform::SettingsStore::remove(kDefaultBankValue); }
void CPresetSystemEditor::readDefaultBank() { recallImageValue(kDefaultBankValue, true); }
void CPresetSystemEditor::storeMemoryA() { storeImageValue(kMemoryAValue, false); }
void CPresetSystemEditor::storeMemoryB() { storeImageValue(kMemoryBValue, false); }
void CPresetSystemEditor::recallMemoryA() { recallImageValue(kMemoryAValue, false); }
void CPresetSystemEditor::recallMemoryB() { recallImageValue(kMemoryBValue, false); }

void CPresetSystemEditor::savePaths() {
    platform::SettingsStore::writeText(kDirectoryValue, currentDirectory);
    platform::SettingsStore::writeText(kBankNameValue, bankFileName);
    platform::SettingsStore::writeText(kPresetNameValue, presetFileName);
}

void CPresetSystemEditor::readPaths() {
    setPathText(currentDirectory, platform::SettingsStore::readText(kDirectoryValue, kLongestPathText).value_or(""));
    setPathText(bankFileName, platform::SettingsStore::readText(kBankNameValue, kLongestPathText).value_or(""));
    setPathText(presetFileName, platform::SettingsStore::readText(kPresetNameValue, kLongestPathText).value_or(""));
}

void CPresetSystemEditor::loadDefaults() {
    readDefaultBank();
    readDefaultPreset();
    readPaths();
}
