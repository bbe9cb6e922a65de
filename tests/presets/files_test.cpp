// Preset and bank images and the file commands of the open window, through a scripted file
// dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "effect_fixture.h"
#include "gui/cframe.h"
#include "gui/ctextedit.h"
#include "gui/pixel_surface.h"
#include "platform/files.h"
#include "platform/settings_store.h"
#include "presets/preset_system_editor.h"
#include "scripted_file_dialog.h"
#include "settings_sandbox.h"
#include "test_paths.h"

namespace fs = std::filesystem;

namespace {

using platformtest::toUtf8;

// A folder path as the file commands remember it: with the system's separator at its end.
std::string remembered(const fs::path& folder) { return toUtf8(folder) + platform::kPathSeparator; }

struct FileCommands : ::testing::Test {
    SettingsSandbox settings;  // before the effect: it reads remembered paths when built
    EffectInstance fx;
    ScriptedFileDialog selector;
    platformtest::TempFolder temp;
    const fs::path& folder = temp.path;

    void SetUp() override {
        ASSERT_TRUE(editor().openOffscreen());  // the dialogs belong to the window
    }

    CPresetSystemEditor& editor() { return *static_cast<CPresetSystemEditor*>(fx.effect().getEditor()); }
    const PresetRecord& current() { return fx.effect().getPresets()[fx.effect().getCurrentPreset()]; }

    std::vector<unsigned char> read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    void write(const fs::path& path, const std::vector<unsigned char>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Pixels of the drawn name field in the warning's red.
    int redPixels() {
        editor().idle();
        const CRect field = editor().getNameField()->getViewSize();
        int count = 0;
        for (int y = static_cast<int>(field.top); y < static_cast<int>(field.bottom); ++y)
            for (int x = static_cast<int>(field.left); x < static_cast<int>(field.right); ++x) {
                const CColor c = editor().getFrame()->getBackBuffer().getPixel(x, y);
                if (c.red > c.green + 60 && c.red > c.blue + 60) ++count;
            }
        return count;
    }
    std::string savePreset(const std::string& name) {
        const std::string path = toUtf8(folder / name);
        selector.answers.push_back(path);
        editor().savePresetFile();
        return path;
    }
};

// An image as a big-endian build of the plug-in writes it: ID and values reversed.
std::vector<unsigned char> reversedImage(std::vector<unsigned char> image, int records) {
    reverseBytes(image.data());
    for (int k = 0; k < records; ++k)
        for (int i = 0; i < 8; ++i) reverseBytes(image.data() + 29 + 56 * k + 4 * i);
    return image;
}

TEST_F(FileCommands, PresetFileRoundTripsBitForBit) {
    fx.effect().selectPreset(3);
    fx.set(kDecay, 0.4321f);
    char name[] = "123456789012345678901234";  // 24 characters: no terminator in the file
    fx.dispatch(effSetProgramName, 0, 0, name);
    const std::string path = savePreset("low.qza");

    const std::vector<unsigned char> bytes = read(path);
    ASSERT_EQ(bytes.size(), 61u);
    EXPECT_EQ(bytes[4], 0x21);
    EXPECT_EQ(std::memcmp(&bytes[5], name, 24), 0);
    EXPECT_EQ(std::memcmp(&bytes[29], current().values, 32), 0);

    fx.effect().selectPreset(0);
    selector.answers.push_back(path);
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.effect().getCurrentPreset(), 0);
    EXPECT_EQ(std::memcmp(current().name, name, 24), 0);
    EXPECT_EQ(fx.get(kDecay), 0.4321f);
    EXPECT_EQ(fx.text(effGetProgramName), name);
    EXPECT_EQ(selector.requests.back().title, "Load preset");
    ASSERT_EQ(selector.requests.back().types.size(), 1u);
    EXPECT_EQ(selector.requests.back().types[0].extension, "qza");
    EXPECT_EQ(selector.requests.back().types[0].description, "QZA Preset");
}

TEST_F(FileCommands, ByteOrderFollowsTheIdAndTheReversedCommand) {
    fx.set(kDecay, 0.75f);
    const std::string path = savePreset("native.qza");
    const std::vector<unsigned char> native = read(path);
    write(folder / "big.qza", reversedImage(native, 1));

    fx.set(kDecay, 0.1f);
    selector.answers.push_back(toUtf8(folder / "big.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.75f);

    // Reversed ID and the reversed command cancel: the values stay as the file holds them.
    selector.answers.push_back(toUtf8(folder / "big.qza"));
    editor().loadPresetFile(true);
    EXPECT_EQ(selector.requests.back().title, "Load preset (endian-reversed)");
    float raw;
    std::memcpy(&raw, &reversedImage(native, 1)[29 + 4 * kDecay], 4);
    EXPECT_EQ(std::memcmp(&current().values[kDecay], &raw, 4), 0);

    // A native file through the reversed command has every value reversed.
    selector.answers.push_back(path);
    editor().loadPresetFile(true);
    float expected = 0.75f;
    reverseBytes(&expected);
    EXPECT_EQ(std::memcmp(&current().values[kDecay], &expected, 4), 0);
}

TEST_F(FileCommands, ForeignOrWrongKindFilesAreIgnored) {
    fx.effect().selectPreset(2);
    fx.set(kDecay, 0.3f);
    const std::string preset = savePreset("a.qza");
    selector.answers.push_back(toUtf8(folder / "bank.qzb"));
    editor().saveBankFile();

    fx.set(kDecay, 0.6f);
    selector.answers.push_back(toUtf8(folder / "bank.qzb"));  // a bank given to the preset loader
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.6f);

    std::vector<unsigned char> foreign = read(preset);
    foreign[0] ^= 0x01;
    write(folder / "foreign.qza", foreign);
    selector.answers.push_back(toUtf8(folder / "foreign.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.6f);

    std::vector<unsigned char> damaged = read(preset);
    const float nan = std::nanf("");
    std::memcpy(&damaged[29 + 4 * kMix], &nan, 4);
    write(folder / "damaged.qza", damaged);
    selector.answers.push_back(toUtf8(folder / "damaged.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.6f);
    EXPECT_FALSE(std::isnan(fx.get(kMix)));

    // A preset given to the bank loader is ignored after preset 0 has been applied.
    selector.answers.push_back(preset);
    editor().loadBankFile(false);
    EXPECT_EQ(fx.effect().getCurrentPreset(), 0);
    EXPECT_EQ(fx.text(effGetProgramName), "Default");
}

TEST_F(FileCommands, BankFileRoundTripsInBothByteOrders) {
    fx.effect().selectPreset(5);
    fx.set(kDetune, 0.77f);
    char name[] = "Mine";
    fx.dispatch(effSetProgramName, 0, 0, name);
    const std::string path = toUtf8(folder / "mine.qzb");
    selector.answers.push_back(path);
    editor().saveBankFile();
    const std::vector<unsigned char> bank = read(path);
    ASSERT_EQ(bank.size(), 341u);
    EXPECT_EQ(bank[4], 0x37);
    write(folder / "big.qzb", reversedImage(bank, 6));

    for (const char* file : {"mine.qzb", "big.qzb"}) {
        EffectInstance other;
        auto& otherEditor = *static_cast<CPresetSystemEditor*>(other.effect().getEditor());
        ASSERT_TRUE(otherEditor.openOffscreen());
        other.effect().selectPreset(3);
        selector.answers.push_back(toUtf8(folder / file));
        otherEditor.loadBankFile(false);
        EXPECT_EQ(other.effect().getCurrentPreset(), 0);
        EXPECT_EQ(other.programName(5), "Mine");
        EXPECT_EQ(std::memcmp(other.effect().getPresets(), fx.effect().getPresets(), 336), 0) << file;
    }
}

TEST_F(FileCommands, RemembersDirectoryAndNamesPerKind) {
    fs::create_directories(folder / "sub");
    selector.answers.push_back(toUtf8(folder / "sub" / "one.qza"));
    editor().savePresetFile();
    EXPECT_EQ(std::string(editor().getCurrentDirectory()), remembered(folder / "sub"));
    EXPECT_STREQ(editor().getPresetFileName(), "one.qza");

    selector.answers.push_back(toUtf8(folder / "two.qzb"));
    editor().saveBankFile();
    EXPECT_EQ(std::string(editor().getCurrentDirectory()), remembered(folder));
    EXPECT_STREQ(editor().getBankFileName(), "two.qzb");
    EXPECT_STREQ(editor().getPresetFileName(), "one.qza");

    editor().savePresetFile();  // cancelled: nothing changes
    const platform::FileDialogRequest& request = selector.requests.back();
    EXPECT_EQ(request.title, "Save preset");
    EXPECT_EQ(request.style, platform::FileDialogRequest::Style::saveFile);
    EXPECT_EQ(request.initialDirectory, remembered(folder));
    EXPECT_EQ(request.defaultFileName, "one.qza");
    EXPECT_EQ(request.defaultExtension, "qza");
    EXPECT_STREQ(editor().getPresetFileName(), "one.qza");
}

TEST_F(FileCommands, AFailedCommandSaysWhyInTheNameFieldForAFewSeconds) {
    auto now = CNameFieldNotice::Clock::now();
    editor().getNameFieldNotice().setClock([&now] { return now; });
    CTextEdit& field = *editor().getNameField();
    const std::string name = field.getText();
    EXPECT_EQ(redPixels(), 0);

    write(folder / "notes.qza", {'n', 'o', 't', 'e', 's'});
    selector.answers.push_back(toUtf8(folder / "notes.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(field.getNotice(), "Not loaded: not a QZA preset");
    EXPECT_EQ(field.getText(), name);
    EXPECT_GT(redPixels(), 20);
    now += CNameFieldNotice::kShownFor - std::chrono::milliseconds(100);
    EXPECT_GT(redPixels(), 20);
    now += std::chrono::milliseconds(100);
    EXPECT_EQ(redPixels(), 0);
    EXPECT_EQ(field.getNotice(), "");

    // A folder that is a file; the next save that works ends the notice at once.
    write(folder / "plain", {});
    selector.answers.push_back(toUtf8(folder / "plain" / "x.qza"));
    editor().savePresetFile();
    EXPECT_EQ(field.getNotice(), "Not saved: folder not found");
    savePreset("fine.qza");
    EXPECT_EQ(field.getNotice(), "");

    selector.answers.push_back(toUtf8(folder / "plain"));
    editor().loadBankFile(false);
    EXPECT_EQ(field.getNotice(), "Not loaded: not a QZA bank");

    // Settings out of reach, where the store can be put there (Wine's registry lets a key
    // opened for reading be written to).
    if (!settings.blockWrites() || platform::SettingsStore::write("Probe", "x", 1)) return;
    for (auto store : {&CPresetSystemEditor::storeMemoryA, &CPresetSystemEditor::storeDefaultBank}) {
        (editor().*store)();
        EXPECT_EQ(field.getNotice().rfind("Not stored: ", 0), 0u) << field.getNotice();
    }
}

// The system's dialog gave back a name that the program cannot use (on Windows, one with an
// unpaired surrogate): the name field says so.
struct RefusingDialog : platform::FileDialogRunner {
    std::unique_ptr<platform::FileDialogSession> start(const platform::FileDialogRequest& request) override {
        request.refused("invalid name");
        return platform::closedFileDialog({});
    }
};

TEST_F(FileCommands, AChosenNameThatCannotBeUsedIsTold) {
    RefusingDialog refusing;
    platform::setFileDialogRunner(&refusing);
    editor().savePresetFile();
    EXPECT_EQ(editor().getNameField()->getNotice(), "Not saved: invalid name");
    platform::setFileDialogRunner(&selector);
}

// A path longer than the remembered texts still loads and saves; only the folder is not
// remembered. The folder is 300 bytes, the file name 200 characters.
TEST_F(FileCommands, LongPathsAreUsedButTheirFolderIsNotRemembered) {
    const std::string before = editor().getCurrentDirectory();
    const std::string fileName = std::string(196, 'n') + ".qza";
    std::string longFolder = remembered(folder);
    while (longFolder.size() < 300) longFolder += std::string(30, 'd') + platform::kPathSeparator;
    ASSERT_TRUE(platform::makeFolders(longFolder));
    const std::string path = longFolder + fileName;

    fx.set(kDecay, 0.375f);
    selector.answers.push_back(path);
    editor().savePresetFile();
    EXPECT_EQ(editor().getNameField()->getNotice(), "");
    fx.set(kDecay, 0.5f);
    selector.answers.push_back(path);
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.375f);
    EXPECT_EQ(editor().getCurrentDirectory(), before);
    EXPECT_EQ(editor().getPresetFileName(), fileName);

    // A path without a folder names no file: nothing runs.
    selector.answers.push_back(std::string("no-separator.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.375f);
    EXPECT_EQ(editor().getPresetFileName(), fileName);
}

TEST_F(FileCommands, ShortMissingAndLongFiles) {
    fx.set(kDecay, 0.2f);
    const std::string path = savePreset("p.qza");
    std::vector<unsigned char> bytes = read(path);

    fx.set(kDecay, 0.9f);
    selector.answers.push_back(toUtf8(folder / "missing.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.9f);

    std::vector<unsigned char> longer = bytes;
    longer.insert(longer.end(), 100, 0xee);
    write(folder / "long.qza", longer);
    selector.answers.push_back(toUtf8(folder / "long.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.2f);

    // A short file is read as far as it goes; the missing values are zero.
    fx.set(kDecay, 0.9f);
    write(folder / "short.qza", std::vector<unsigned char>(bytes.begin(), bytes.begin() + 37));
    selector.answers.push_back(toUtf8(folder / "short.qza"));
    editor().loadPresetFile(false);
    EXPECT_EQ(fx.get(kDecay), 0.0f);
}

TEST_F(FileCommands, NothingHappensWithoutAWindow) {
    editor().close();
    selector.answers.assign(4, toUtf8(folder / "x.qza"));
    editor().loadPresetFile(false);
    editor().savePresetFile();
    editor().loadBankFile(false);
    editor().saveBankFile();
    EXPECT_TRUE(selector.requests.empty());
    EXPECT_TRUE(fs::is_empty(folder));
}

}  // namespace
