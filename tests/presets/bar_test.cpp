// The preset bar in the editor window drawn offscreen, driven through the real frame with
// mouse presses and with keys as a host forwards them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "editor/ad_editor.h"
#include "effect_fixture.h"
#include "gui/cmenupopup.h"
#include "gui/vstgui.h"
#include "platform/settings_store.h"
#include "presets/preset_images.h"
#include "scripted_file_dialog.h"
#include "settings_sandbox.h"
#include "test_paths.h"

namespace fs = std::filesystem;

namespace {

// Points inside the bar's controls.
constexpr CPoint kNameField(154, 240);
constexpr CPoint kMenu(222, 241);  // the part of the menu the rocker leaves uncovered
constexpr CPoint kRockerLeft(236, 241);
constexpr CPoint kRockerRight(255, 241);
constexpr CPoint kLoadPreset(82, 233);
constexpr CPoint kSavePreset(17, 233);
constexpr CPoint kPresetLabel(50, 234);
constexpr CPoint kBankLabel(50, 248);
constexpr CPoint kStoreA(275, 233);
constexpr CPoint kRecallA(299, 233);

struct Window {
    EffectInstance fx;
    ADEditor* editor = static_cast<ADEditor*>(fx.effect().getEditor());

    Window() {
        editor->openOffscreen();
        editor->idle();
    }
    CFrame& frame() const { return *editor->getFrame(); }

    void press(CPoint where, std::int32_t buttons = kLButton) const { frame().onMouseDown(where, buttons); }
    void click(CPoint where, std::int32_t buttons = kLButton) const {
        frame().onMouseDown(where, buttons);
        frame().onMouseUp(where, buttons & ~(kLButton | kRButton | kDoubleClick));
    }
    void doubleClick(CPoint where, std::int32_t modifiers = 0) const {
        click(where, kLButton | modifiers);
        click(where, kLButton | kDoubleClick | modifiers);
    }
    // A key as a host forwards it: the character in index, the virtual key in value.
    void key(VstInt32 character, unsigned char virt = 0) const {
        fx.dispatch(effEditKeyDown, character, virt);
        fx.dispatch(effEditKeyUp, character, virt);
    }
    void type(const std::u32string& text) const {
        for (char32_t c : text) key(static_cast<VstInt32>(c));
    }

    std::string field() const { return editor->getNameField()->getText(); }
    std::string menuTitle(int entry) const { return editor->getPresetMenu()->getEntry(entry)->getTitle(); }
    std::string currentTitle() const { return editor->getPresetMenu()->getCurrent()->getTitle(); }
    CMenuPopup* list() const { return dynamic_cast<CMenuPopup*>(frame().getModalView()); }
    int current() const { return fx.effect().getCurrentPreset(); }
    // The same name in the field, as the menu's current title and as the host's program name.
    void expectNameEverywhere(const std::string& name) const {
        EXPECT_EQ(field(), name);
        EXPECT_EQ(currentTitle(), name);
        EXPECT_EQ(fx.text(effGetProgramName), name);
    }
};

// Whether the store holds a binary value of exactly this size.
bool stored(const char* name, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    return platform::SettingsStore::read(name, bytes.data(), size);
}

using platformtest::toUtf8;

struct PresetBar : ::testing::Test {
    SettingsSandbox settings;  // before the effects: they read the defaults when built
    platformtest::TempFolder temp;
    ScriptedFileDialog dialog;
    Window window;
};

TEST_F(PresetBar, RockerStopsAtBothEnds) {
    window.click(kRockerLeft);
    EXPECT_EQ(window.current(), 0);
    window.expectNameEverywhere("Default");
    for (int step = 1; step <= 7; ++step) window.click(kRockerRight);
    EXPECT_EQ(window.current(), 5);
    EXPECT_EQ(window.editor->getPresetMenu()->getCurrentIndex(), 5);
    window.expectNameEverywhere("Detuned");
    EXPECT_EQ(window.fx.get(kDetune), 1.0f);
    window.click(kRockerLeft);
    EXPECT_EQ(window.current(), 4);
    window.expectNameEverywhere("Almost reverb");
}

TEST_F(PresetBar, AMenuEntryAppliesThatPresetAndShowsItsName) {
    // Dismissed by a press outside the list and by Escape: no choice, no change.
    window.click(kMenu);
    ASSERT_NE(window.list(), nullptr);
    window.click(CPoint(5, 5));
    EXPECT_EQ(window.list(), nullptr);
    window.click(kMenu, kRButton);
    ASSERT_NE(window.list(), nullptr);
    window.key(0, VKEY_ESCAPE);
    EXPECT_EQ(window.list(), nullptr);
    EXPECT_EQ(window.current(), 0);

    window.click(kMenu);
    CMenuPopup* list = window.list();
    ASSERT_NE(list, nullptr);
    window.editor->idle();
    // Inside the frame, with the current row (0) at the menu's height as far as the frame allows.
    const CRect listRect = list->getViewSize();
    EXPECT_GE(listRect.left, 0);
    EXPECT_LE(listRect.right, 320);
    EXPECT_LE(listRect.bottom, 257);
    window.click(list->rowRect(3).getCenter());
    EXPECT_EQ(window.list(), nullptr);
    EXPECT_EQ(window.current(), 3);
    EXPECT_EQ(window.editor->getPresetMenu()->getCurrentIndex(), 3);
    window.expectNameEverywhere("Low & Dark");
    EXPECT_EQ(window.fx.get(kDecay), 0.6f);
    EXPECT_EQ(window.fx.get(kTranspose), 0.25f);

    // The window closing dismisses an open list too.
    window.click(kMenu);
    ASSERT_NE(window.list(), nullptr);
    window.editor->close();
    EXPECT_EQ(window.current(), 3);
}

TEST_F(PresetBar, ATypedNameKeepsItsFirst24CharactersEverywhere) {
    window.click(kNameField);
    ASSERT_TRUE(window.editor->getNameField()->isEditing());
    window.type(U"abcdefghijklmnopqrstuvwxyz1234");  // replaces the whole selected text
    EXPECT_EQ(window.editor->getNameField()->getEditText(), "abcdefghijklmnopqrstuvwxyz1234");
    window.key(0, VKEY_RETURN);
    window.expectNameEverywhere("abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(window.fx.programName(0), "abcdefghijklmnopqrstuvwx");

    // UTF-8: thirteen two-byte characters keep twelve whole ones; Backspace takes a whole one.
    window.click(kNameField);
    window.type(U"éééééééééééééx");
    window.key(0, VKEY_BACK);
    window.key(0, VKEY_RETURN);
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += "é";
    window.expectNameEverywhere(twelve);

    // Escape restores the name; a press elsewhere keeps what was typed, as Return does.
    window.click(kNameField);
    window.type(U"gone");
    window.key(0, VKEY_ESCAPE);
    window.expectNameEverywhere(twelve);
    window.click(kNameField);
    window.key(0, VKEY_END);
    window.key(0, VKEY_LEFT);
    window.key(U'!');
    window.click(CPoint(160, 60));
    // 25 bytes typed: the last character does not fit whole and goes.
    window.expectNameEverywhere(twelve.substr(0, 22) + "!");
}

TEST_F(PresetBar, DefaultLabelsNeedADoubleClickAndCtrlClears) {
    window.click(kPresetLabel);
    window.click(kBankLabel);
    EXPECT_FALSE(stored("DefaultPreset", 61));
    EXPECT_FALSE(stored("DefaultBank", 341));

    window.doubleClick(kPresetLabel);
    window.doubleClick(kBankLabel);
    EXPECT_TRUE(stored("DefaultPreset", 61));
    EXPECT_TRUE(stored("DefaultBank", 341));

    window.doubleClick(kPresetLabel, kControl);
    EXPECT_FALSE(stored("DefaultPreset", 61));
    EXPECT_TRUE(stored("DefaultBank", 341));
    window.doubleClick(kBankLabel, kControl);
    EXPECT_FALSE(stored("DefaultBank", 341));
}

TEST_F(PresetBar, MemoryAStoredAndRecalledIntoAnotherPresetAlsoAcrossInstances) {
    window.click(kRockerRight);
    window.click(kRockerRight);  // preset 2, "High"
    window.fx.set(kDamp, 0.123f);
    window.click(kStoreA);
    for (int step = 0; step < 2; ++step) window.click(kRockerRight);
    ASSERT_EQ(window.current(), 4);
    window.click(kRecallA);
    EXPECT_EQ(window.current(), 4);
    window.expectNameEverywhere("High");
    EXPECT_EQ(window.fx.get(kDamp), 0.123f);
    EXPECT_EQ(window.fx.get(kTranspose), 0.75f);
    EXPECT_EQ(window.fx.programName(2), "High");

    Window other;
    other.click(kRecallA);
    EXPECT_EQ(other.current(), 0);
    other.expectNameEverywhere("High");
    EXPECT_EQ(other.fx.get(kDamp), 0.123f);
}

TEST_F(PresetBar, LoadArrowsOpenTheirDialogAndTheLoadedNameAppearsEverywhere) {
    const fs::path& folder = temp.path;
    const std::string file = toUtf8(folder / "saved one.qza");
    char name[] = "Saved one";
    window.fx.dispatch(effSetProgramName, 0, 0, name);
    window.fx.set(kDecay, 0.9f);
    dialog.answers.push_back(file);
    window.click(kSavePreset);
    ASSERT_TRUE(fs::exists(file));

    window.click(kRockerRight);
    const std::vector<PresetRecord> before(window.fx.effect().getPresets(), window.fx.effect().getPresets() + 6);
    dialog.answers.push_back(std::nullopt);  // cancelled: nothing changes
    window.click(kLoadPreset);
    EXPECT_EQ(dialog.requests.back().title, "Load preset");
    EXPECT_EQ(std::memcmp(before.data(), window.fx.effect().getPresets(), sizeof(PresetRecord) * 6), 0);
    window.expectNameEverywhere("Bright");

    dialog.answers.push_back(file);
    window.click(kLoadPreset);
    EXPECT_EQ(dialog.requests.back().title, "Load preset");
    EXPECT_EQ(window.current(), 1);
    window.expectNameEverywhere("Saved one");
    EXPECT_EQ(window.fx.get(kDecay), 0.9f);

    // Right click: the same file read with its values byte-reversed, under its own title.
    dialog.answers.push_back(std::nullopt);
    window.click(kLoadPreset, kRButton);
    EXPECT_EQ(dialog.requests.back().title, "Load preset (endian-reversed)");

    // A file that cannot be read changes nothing and says why.
    dialog.answers.push_back(toUtf8(folder / "missing.qza"));
    ::testing::internal::CaptureStderr();
    window.click(kLoadPreset);
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("cannot read " + toUtf8(folder / "missing.qza")), std::string::npos) << told;
    window.expectNameEverywhere("Saved one");
    EXPECT_EQ(window.fx.get(kDecay), 0.9f);
}

// Names changed by the host on another thread, or by a restored chunk, reach the bar at the
// next idle; no control is touched before.
TEST_F(PresetBar, NamesChangedElsewhereShowAtTheNextIdle) {
    std::thread host([&] {
        char name[] = "From the host";
        window.fx.dispatch(effSetProgramName, 0, 0, name);
    });
    host.join();
    EXPECT_EQ(window.field(), "Default");
    window.editor->idle();
    window.expectNameEverywhere("From the host");

    EffectInstance source;
    char renamed[] = "Fifth";
    source.effect().selectPreset(4);
    source.dispatch(effSetProgramName, 0, 0, renamed);
    void* chunk = nullptr;
    const VstIntPtr size = source.dispatch(effGetChunk, 0, 0, &chunk);
    ASSERT_EQ(window.fx.dispatch(effSetChunk, 0, size, chunk), 0);
    window.editor->idle();
    EXPECT_EQ(window.current(), 4);
    EXPECT_EQ(window.menuTitle(0), "Default");
    window.expectNameEverywhere("Fifth");

    // A bank file: all six names, preset 0 current.
    char second[] = "Second";
    source.effect().selectPreset(1);
    source.dispatch(effSetProgramName, 0, 0, second);
    unsigned char bank[kBankImageSize];
    writeBankImage(bank, source.effect().getUniqueID(), source.effect().getPresets());
    const fs::path file = temp.path / "bank.qzb";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bank), sizeof bank);
    dialog.answers.push_back(toUtf8(file));
    window.click(CPoint(82, 248));
    window.editor->idle();
    EXPECT_EQ(window.menuTitle(1), "Second");
    EXPECT_EQ(window.menuTitle(4), "Fifth");
    window.expectNameEverywhere("Default");
}

// A dialog that stays open beside the host, as the desktop's choosers do: the bar takes no
// other file command meanwhile, the command runs at the idle after the answer, and closing
// the window ends the dialog with its command.
TEST_F(PresetBar, AFileCommandWaitsForItsDialogWhichEndsWithTheWindow) {
    dialog.staysOpen = true;
    const std::string file = toUtf8(temp.path / "later.qza");
    dialog.answers.push_back(file);
    window.click(kSavePreset);
    window.click(kLoadPreset);
    window.editor->idle();
    EXPECT_EQ(dialog.requests.size(), 1u);
    EXPECT_TRUE(window.editor->isFileDialogOpen());
    dialog.answerOpenDialog();
    EXPECT_FALSE(fs::exists(file));
    window.fx.dispatch(effEditIdle);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(window.editor->isFileDialogOpen());

    const std::string never = toUtf8(temp.path / "never.qza");
    dialog.answers.push_back(never);
    window.click(kSavePreset);
    EXPECT_TRUE(dialog.isShowing());
    window.fx.dispatch(effEditClose);
    EXPECT_FALSE(dialog.isShowing());
    window.fx.dispatch(effEditIdle);
    EXPECT_FALSE(fs::exists(never));
}

// A modal dialog (Windows) runs the host's message loop: the host may close the window, or
// the effect, before the user answers. The answer is then ignored and nothing freed is used.
TEST_F(PresetBar, AModalDialogsAnswerCountsUnlessTheHostClosedTheWindowOrTheEffectMeanwhile) {
    // The window's own timer ticks in the dialog's loop: the answer still counts.
    const std::string kept = toUtf8(temp.path / "kept.qza");
    dialog.answers.push_back(kept);
    dialog.whileOpen = [&] { window.editor->idle(); };
    window.click(kSavePreset);
    EXPECT_TRUE(fs::exists(kept));

    const std::string file = toUtf8(temp.path / "ignored.qza");
    const std::string folder = window.editor->getCurrentDirectory();
    dialog.answers.push_back(file);
    dialog.whileOpen = [&] { window.fx.dispatch(effEditClose); };
    window.press(kSavePreset);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(window.editor->getCurrentDirectory(), folder);

    // Opened again, the bar takes file commands again; this time the effect goes as well.
    ASSERT_TRUE(window.editor->openOffscreen());
    dialog.answers.push_back(file);
    dialog.whileOpen = [&] {
        window.fx.dispatch(effEditClose);
        window.fx.dispatch(effClose);
        window.fx.record = nullptr;
    };
    window.press(kSavePreset);
    EXPECT_EQ(dialog.requests.size(), 3u);
    EXPECT_FALSE(fs::exists(file));
}

}  // namespace
