#include "presets/preset_persistence.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/diagnostics.h"
#include "platform/files.h"
#include "platform/settings_store.h"
#include "presets/preset_editor_interface.h"
#include "presets/preset_images.h"
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

// Why the last system call failed.
std::string reason() { return std::strerror(errno); }

void removeValue(const char* valueName) {
    if (!platform::SettingsStore::remove(valueName))
        platform::reportProblem(std::string("cannot remove ") + valueName + " from " +
                                platform::SettingsStore::location() + ": " + reason());
}

// Copies text into a remembered path text; a text that does not fit leaves it empty.
void setPathText(char* to, const std::string& text) {
    if (text.size() > kLongestPathText) {
        to[0] = 0;
        return;
    }
    std::memcpy(to, text.c_str(), text.size() + 1);
}

}  // namespace

CPresetPersistence::CPresetPersistence(CPresetSystemEffect* effect, CPresetEditorInterface* names)
    : effect(effect), names(names) {
    currentDirectory = new char[kPathTextSize]();
    bankFileName = new char[kPathTextSize]();
    presetFileName = new char[kPathTextSize]();
    const std::string workingDirectory = platform::workingDirectory();
    if (workingDirectory.size() < kLongestPathText) setPathText(currentDirectory, workingDirectory);
}

CPresetPersistence::~CPresetPersistence() {
    delete[] currentDirectory;
    delete[] bankFileName;
    delete[] presetFileName;
}

// ---------------------------------------------------------------------------------------------
// Images

void CPresetPersistence::getPresetImage(unsigned char* out) {
    if (!effect || !effect->getPresets() || !out) return;
    PresetRecord preset;
    effect->copyPreset(effect->getCurrentPreset(), preset);
    writePresetImage(out, effect->getUniqueID(), preset);
}

void CPresetPersistence::getBankImage(unsigned char* out) {
    if (!effect || !effect->getPresets() || !out) return;
    PresetRecord bank[kNumPresets];
    effect->copyBank(bank);
    writeBankImage(out, effect->getUniqueID(), bank);
}

void CPresetPersistence::setPresetImage(const unsigned char* data, bool reversed) {
    if (!effect || !effect->getPresets()) return;
    const int target = effect->getCurrentPreset();
    PresetRecord preset{};
    if (!readPresetImage(data, effect->getUniqueID(), reversed, preset)) return;
    effect->replacePreset(target, preset);

    char name[kPresetNameLength + 1];
    copyName(preset, name);
    if (names) names->showPresetName(name);
    effect->setCurrentPresetName(name);
    effect->selectPreset(target);
}

void CPresetPersistence::setBankImage(const unsigned char* data, bool reversed) {
    if (!effect || !effect->getPresets()) return;
    // Preset 0 is applied before the image is examined, so even a refused bank leaves it current.
    effect->selectPreset(0);
    PresetRecord bank[kNumPresets]{};
    if (!readBankImage(data, effect->getUniqueID(), reversed, bank)) return;
    effect->replaceBank(bank);
    // The menu shows the six new names with preset 0 current, the name field preset 0's.
    if (names) names->showBankNames();
    effect->selectPreset(0);
}

// ---------------------------------------------------------------------------------------------
// Files

bool CPresetPersistence::rememberChosenFile(const std::string& chosen, bool bank) {
    // The directory keeps its trailing separator. A path without one, or a part that does not
    // fit the remembered texts, is refused whole rather than cut into a wrong path.
    const std::size_t split = chosen.rfind(platform::kPathSeparator);
    if (split == std::string::npos) return false;
    const std::string directory = chosen.substr(0, split + 1);
    const std::string name = chosen.substr(split + 1);
    if (name.empty()) return false;
    if (directory.size() > kLongestPathText || name.size() > kLongestPathText) {
        platform::reportProblem("cannot use " + chosen + ": a folder or file name longer than " +
                                std::to_string(kLongestPathText) + " bytes cannot be remembered");
        return false;
    }
    setPathText(currentDirectory, directory);
    setPathText(bank ? bankFileName : presetFileName, name);
    return true;
}

void CPresetPersistence::loadPresetFile(const std::string& path, bool reversed) {
    if (!effect) return;
    unsigned char bytes[kPresetImageSize] = {};
    PresetRecord probe{};
    if (!platform::readFilePrefix(path, bytes, sizeof(bytes)))
        platform::reportProblem("cannot read " + path + ": " + reason());
    else if (!readPresetImage(bytes, effect->getUniqueID(), reversed, probe))
        platform::reportProblem(path + " is not a QZA Chordwell preset file");
    setPresetImage(bytes, reversed);
}

void CPresetPersistence::savePresetFile(const std::string& path) {
    unsigned char bytes[kPresetImageSize] = {};
    getPresetImage(bytes);
    if (!platform::writeFileAtomically(path, bytes, sizeof(bytes)))
        platform::reportProblem("cannot write " + path + ": " + reason());
}

void CPresetPersistence::loadBankFile(const std::string& path, bool reversed) {
    if (!effect) return;
    unsigned char bytes[kBankImageSize] = {};
    PresetRecord probe[kNumPresets]{};
    if (!platform::readFilePrefix(path, bytes, sizeof(bytes)))
        platform::reportProblem("cannot read " + path + ": " + reason());
    else if (!readBankImage(bytes, effect->getUniqueID(), reversed, probe))
        platform::reportProblem(path + " is not a QZA Chordwell bank file");
    setBankImage(bytes, reversed);
}

void CPresetPersistence::saveBankFile(const std::string& path) {
    unsigned char bytes[kBankImageSize] = {};
    getBankImage(bytes);
    if (!platform::writeFileAtomically(path, bytes, sizeof(bytes)))
        platform::reportProblem("cannot write " + path + ": " + reason());
}

// ---------------------------------------------------------------------------------------------
// Settings

void CPresetPersistence::storeImageValue(const char* valueName, bool bank) {
    unsigned char bytes[kBankImageSize] = {};
    if (bank)
        getBankImage(bytes);
    else
        getPresetImage(bytes);
    if (!platform::SettingsStore::write(valueName, bytes, bank ? kBankImageSize : kPresetImageSize))
        platform::reportProblem(std::string("cannot store ") + valueName + " in " +
                                platform::SettingsStore::location() + ": " + reason());
}

// A missing value leaves zero bytes, which the image readers refuse; the bank reader still
// applies preset 0 first.
void CPresetPersistence::recallImageValue(const char* valueName, bool bank) {
    unsigned char bytes[kBankImageSize] = {};
    platform::SettingsStore::read(valueName, bytes, bank ? kBankImageSize : kPresetImageSize);
    if (bank)
        setBankImage(bytes, false);
    else
        setPresetImage(bytes, false);
}

void CPresetPersistence::storeDefaultPreset() { storeImageValue(kDefaultPresetValue, false); }
void CPresetPersistence::clearDefaultPreset() { removeValue(kDefaultPresetValue); }
void CPresetPersistence::readDefaultPreset() { recallImageValue(kDefaultPresetValue, false); }
void CPresetPersistence::storeDefaultBank() { storeImageValue(kDefaultBankValue, true); }
void CPresetPersistence::clearDefaultBank() { removeValue(kDefaultBankValue); }
void CPresetPersistence::readDefaultBank() { recallImageValue(kDefaultBankValue, true); }
void CPresetPersistence::storeMemoryA() { storeImageValue(kMemoryAValue, false); }
void CPresetPersistence::storeMemoryB() { storeImageValue(kMemoryBValue, false); }
void CPresetPersistence::recallMemoryA() { recallImageValue(kMemoryAValue, false); }
void CPresetPersistence::recallMemoryB() { recallImageValue(kMemoryBValue, false); }

void CPresetPersistence::savePaths() {
    platform::SettingsStore::writeText(kDirectoryValue, currentDirectory);
    platform::SettingsStore::writeText(kBankNameValue, bankFileName);
    platform::SettingsStore::writeText(kPresetNameValue, presetFileName);
}

void CPresetPersistence::readPaths() {
    setPathText(currentDirectory, platform::SettingsStore::readText(kDirectoryValue, kLongestPathText).value_or(""));
    setPathText(bankFileName, platform::SettingsStore::readText(kBankNameValue, kLongestPathText).value_or(""));
    setPathText(presetFileName, platform::SettingsStore::readText(kPresetNameValue, kLongestPathText).value_or(""));
}

void CPresetPersistence::loadDefaults() {
    readDefaultBank();
    readDefaultPreset();
    readPaths();
}
