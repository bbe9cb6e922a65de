#include "presets/preset_persistence.h"

#include <cstring>
#include <string>
#include <utility>

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

// Tells the diagnostics stream the whole story and answers the few words for the user.
CommandNotice failed(const char* notDone, const std::string& what, const platform::Failure& failure) {
    platform::reportProblem(what + ": " + failure.text);
    return CommandNotice::of(notDone, platform::describe(failure.kind));
}

CommandNotice removeValue(const char* valueName) {
    const platform::Outcome removed = platform::SettingsStore::remove(valueName);
    if (removed) return {};
    return failed(kNotCleared,
                  std::string("cannot remove ") + valueName + " from " + platform::SettingsStore::location(),
                  removed.failure());
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
    // The directory keeps its trailing separator. A part that does not fit the remembered
    // texts is not cut into a wrong path: it is not remembered at all.
    const std::size_t split = chosen.rfind(platform::kPathSeparator);
    if (split == std::string::npos) return false;
    const std::string directory = chosen.substr(0, split + 1);
    const std::string name = chosen.substr(split + 1);
    if (name.empty()) return false;
    if (directory.size() > kLongestPathText || name.size() > kLongestPathText)
        platform::reportProblem("the next file dialog will not start from " + chosen + ": a folder or file name " +
                                "longer than " + std::to_string(kLongestPathText) + " bytes is not remembered");
    if (directory.size() <= kLongestPathText) setPathText(currentDirectory, directory);
    if (name.size() <= kLongestPathText) setPathText(bank ? bankFileName : presetFileName, name);
    return true;
}

CommandNotice CPresetPersistence::loadFile(const std::string& path, bool reversed, bool bank) {
    if (!effect) return {};
    const std::size_t size = bank ? kBankImageSize : kPresetImageSize;
    unsigned char bytes[kBankImageSize] = {};
    CommandNotice notice;
    if (const platform::Outcome read = platform::readFilePrefix(path, bytes, size); !read) {
        notice = failed(kNotLoaded, "cannot read " + path, read.failure());
    } else {
        PresetRecord probe[kNumPresets]{};
        const bool fits = bank ? readBankImage(bytes, effect->getUniqueID(), reversed, probe)
                               : readPresetImage(bytes, effect->getUniqueID(), reversed, probe[0]);
        if (!fits) {
            platform::reportProblem(path + " is not a QZA Chordwell " + (bank ? "bank" : "preset") + " file");
            notice = CommandNotice::of(kNotLoaded, bank ? "not a QZA bank" : "not a QZA preset");
        }
    }
    // A refused image changes nothing; the bank reader still applies preset 0 first.
    if (bank)
        setBankImage(bytes, reversed);
    else
        setPresetImage(bytes, reversed);
    return notice;
}

CommandNotice CPresetPersistence::saveFile(const std::string& path, bool bank) {
    unsigned char bytes[kBankImageSize] = {};
    if (bank)
        getBankImage(bytes);
    else
        getPresetImage(bytes);
    const std::size_t size = bank ? kBankImageSize : kPresetImageSize;
    const platform::Outcome written = platform::writeFileAtomically(path, bytes, size);
    if (written) return {};
    CommandNotice notice = failed(kNotSaved, "cannot write " + path, written.failure());
    // What a save misses is the folder it writes into.
    if (written.failure().kind == platform::FailureKind::notFound)
        notice = CommandNotice::of(kNotSaved, "folder not found");
    return notice;
}

CommandNotice CPresetPersistence::loadPresetFile(const std::string& path, bool reversed) {
    return loadFile(path, reversed, false);
}
CommandNotice CPresetPersistence::savePresetFile(const std::string& path) { return saveFile(path, false); }
CommandNotice CPresetPersistence::loadBankFile(const std::string& path, bool reversed) {
    return loadFile(path, reversed, true);
}
CommandNotice CPresetPersistence::saveBankFile(const std::string& path) { return saveFile(path, true); }

// ---------------------------------------------------------------------------------------------
// Settings

CommandNotice CPresetPersistence::storeImageValue(const char* valueName, bool bank) {
    unsigned char bytes[kBankImageSize] = {};
    if (bank)
        getBankImage(bytes);
    else
        getPresetImage(bytes);
    const platform::Outcome written =
        platform::SettingsStore::write(valueName, bytes, bank ? kBankImageSize : kPresetImageSize);
    if (written) return {};
    return failed(kNotStored, std::string("cannot store ") + valueName + " in " + platform::SettingsStore::location(),
                  written.failure());
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

CommandNotice CPresetPersistence::storeDefaultPreset() { return storeImageValue(kDefaultPresetValue, false); }
CommandNotice CPresetPersistence::clearDefaultPreset() { return removeValue(kDefaultPresetValue); }
void CPresetPersistence::readDefaultPreset() { recallImageValue(kDefaultPresetValue, false); }
CommandNotice CPresetPersistence::storeDefaultBank() { return storeImageValue(kDefaultBankValue, true); }
CommandNotice CPresetPersistence::clearDefaultBank() { return removeValue(kDefaultBankValue); }
void CPresetPersistence::readDefaultBank() { recallImageValue(kDefaultBankValue, true); }
CommandNotice CPresetPersistence::storeMemoryA() { return storeImageValue(kMemoryAValue, false); }
CommandNotice CPresetPersistence::storeMemoryB() { return storeImageValue(kMemoryBValue, false); }
void CPresetPersistence::recallMemoryA() { recallImageValue(kMemoryAValue, false); }
void CPresetPersistence::recallMemoryB() { recallImageValue(kMemoryBValue, false); }

void CPresetPersistence::savePaths() {
    const std::pair<const char*, const char*> values[] = {
        {kDirectoryValue, currentDirectory}, {kBankNameValue, bankFileName}, {kPresetNameValue, presetFileName}};
    for (const auto& [valueName, text] : values) {
        const platform::Outcome written = platform::SettingsStore::writeText(valueName, text);
        if (!written)
            platform::reportProblem(std::string("cannot store ") + valueName + " in " +
                                    platform::SettingsStore::location() + ": " + written.failure().text);
    }
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
