// Per-user defaults, memories and remembered paths, shared between instances.
#include <gtest/gtest.h>


#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "effect_fixture.h"
#include "platform/files.h"
#include "platform/settings_store.h"
#include "presets/preset_editor_interface.h"
#include "presets/preset_persistence.h"
#include "settings_sandbox.h"
#include "test_paths.h"
#include "vst/aeffeditor.h"

namespace fs = std::filesystem;

namespace {

struct Settings : ::testing::Test {
    SettingsSandbox settings;
    platformtest::TempFolder files;
};

// Whether the store holds a binary value of exactly this size.
bool stored(const char* name, std::size_t size) {
    std::vector<unsigned char> bytes(size);
    return platform::SettingsStore::read(name, bytes.data(), size);
}

// The editor side's work, window or not.
CPresetPersistence& editorOf(const EffectInstance& fx) {
    return dynamic_cast<CPresetEditorInterface&>(*fx.effect().getEditor()).getPersistence();
}

TEST_F(Settings, StartUpWithNothingStored) {
    EffectInstance fx;
    EXPECT_EQ(fx.programName(0), "Default");
    EXPECT_EQ(fx.programName(5), "Detuned");
    EXPECT_EQ(fx.effect().getCurrentPreset(), 0);
    EXPECT_STREQ(editorOf(fx).getBankFileName(), "");
    EXPECT_STREQ(editorOf(fx).getPresetFileName(), "");
    EXPECT_STREQ(editorOf(fx).getCurrentDirectory(), "");
}

TEST_F(Settings, DefaultPresetBecomesPresetZero) {
    {
        EffectInstance fx;
        fx.effect().selectPreset(3);
        fx.set(kDecay, 0.66f);
        editorOf(fx).storeDefaultPreset();
    }
    EXPECT_TRUE(stored("DefaultPreset", 61));
    EffectInstance fx;
    EXPECT_EQ(fx.programName(0), "Low & Dark");
    EXPECT_EQ(fx.get(kDecay), 0.66f);
    EXPECT_EQ(fx.get(kTranspose), 0.25f);
    EXPECT_EQ(fx.programName(1), "Bright");  // the rest of the bank is the factory's

    editorOf(fx).clearDefaultPreset();
    EXPECT_FALSE(stored("DefaultPreset", 61));
    EffectInstance again;
    EXPECT_EQ(again.programName(0), "Default");
}

TEST_F(Settings, DefaultBankAndDefaultPresetTogether) {
    {
        EffectInstance fx;
        for (int p = 0; p < 6; ++p) {
            fx.effect().selectPreset(p);
            char name[16];
            std::snprintf(name, sizeof(name), "Bank %d", p);
            fx.dispatch(effSetProgramName, 0, 0, name);
        }
        editorOf(fx).storeDefaultBank();
        fx.effect().selectPreset(4);
        editorOf(fx).storeDefaultPreset();  // "Bank 4"
    }
    {
        EffectInstance fx;
        EXPECT_EQ(fx.programName(0), "Bank 4");
        EXPECT_EQ(fx.programName(1), "Bank 1");
        EXPECT_EQ(fx.programName(5), "Bank 5");
        EXPECT_EQ(fx.get(kTranspose), 0.0f);  // "Almost reverb"'s values under its new name
        editorOf(fx).clearDefaultBank();
        editorOf(fx).clearDefaultPreset();
    }
    EffectInstance fx;
    EXPECT_EQ(fx.programName(0), "Default");
    EXPECT_EQ(fx.programName(1), "Bright");
}

TEST_F(Settings, MemoriesAreSharedBetweenInstances) {
    EffectInstance a, b;
    a.effect().selectPreset(2);
    a.set(kDamp, 0.42f);
    editorOf(a).storeMemoryA();
    a.effect().selectPreset(5);
    editorOf(a).storeMemoryB();

    b.effect().selectPreset(1);
    editorOf(b).recallMemoryA();
    EXPECT_EQ(b.effect().getCurrentPreset(), 1);  // recalled into whichever preset is current
    EXPECT_EQ(b.programName(1), "High");
    EXPECT_EQ(b.get(kDamp), 0.42f);
    EXPECT_EQ(b.get(kTranspose), 0.75f);
    editorOf(b).recallMemoryB();
    EXPECT_EQ(b.programName(1), "Detuned");
    EXPECT_EQ(b.get(kDetune), 1.0f);
}

TEST_F(Settings, AnEmptyMemoryRecallsNothing) {
    EffectInstance fx;
    fx.set(kDecay, 0.31f);
    editorOf(fx).recallMemoryB();
    EXPECT_EQ(fx.get(kDecay), 0.31f);
    EXPECT_EQ(fx.programName(0), "Default");
}

TEST_F(Settings, DamagedValuesAreIgnored) {
    using platform::SettingsStore;
    ASSERT_TRUE(SettingsStore::write("DefaultPreset", std::string(61, '\x7f').data(), 61));
    ASSERT_TRUE(SettingsStore::write("DefaultBank", std::string(100, '\0').data(), 100));
    ASSERT_TRUE(SettingsStore::writeText("CurrDir", std::string(400, 'x')));
    EffectInstance fx;
    EXPECT_EQ(fx.programName(0), "Default");
    EXPECT_EQ(fx.get(kDecay), 0.25f);
    EXPECT_STREQ(editorOf(fx).getCurrentDirectory(), "");
}

TEST_F(Settings, RememberedPathsSurviveTheInstance) {
    const fs::path folder = files.path / "presets";
    fs::create_directories(folder);
    const std::string file = platformtest::toUtf8(folder / "mine.qza");
    {
        EffectInstance fx;
        ASSERT_TRUE(editorOf(fx).rememberChosenFile(file, false));
        editorOf(fx).savePresetFile(file);
    }
    EffectInstance fx;
    EXPECT_EQ(std::string(editorOf(fx).getCurrentDirectory()), platformtest::toUtf8(folder) + platform::kPathSeparator);
    EXPECT_STREQ(editorOf(fx).getPresetFileName(), "mine.qza");
    EXPECT_STREQ(editorOf(fx).getBankFileName(), "");
}

TEST_F(Settings, AStoreThatCannotBeWrittenChangesNothing) {
    if (!settings.blockWrites()) GTEST_SKIP() << "the settings store cannot be made read-only here";
    if (platform::SettingsStore::write("Probe", "x", 1))
        GTEST_SKIP() << "the settings store takes writes here even when made read-only (Wine's registry does)";
    EffectInstance fx;
    fx.set(kDecay, 0.5f);
    editorOf(fx).storeDefaultPreset();
    editorOf(fx).storeMemoryA();
    editorOf(fx).recallMemoryA();
    editorOf(fx).clearDefaultBank();
    EXPECT_EQ(fx.get(kDecay), 0.5f);
    EXPECT_EQ(fx.programName(0), "Default");
}

}  // namespace
