// What the settings store promises on every system: binary values come back only at their
// size, texts keep every character, and removed values are gone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/settings_store.h"
#include "settings_sandbox.h"

namespace {

using platform::SettingsStore;

struct SettingsStoreTest : ::testing::Test {
    SettingsSandbox sandbox;
};

TEST_F(SettingsStoreTest, BinaryValuesComeBackOnlyAtTheirSize) {
    unsigned char image[61];
    for (int i = 0; i < 61; ++i) image[i] = static_cast<unsigned char>(i * 7);
    ASSERT_TRUE(SettingsStore::write("MemoA", image, sizeof(image)));

    unsigned char back[61] = {};
    EXPECT_TRUE(SettingsStore::read("MemoA", back, sizeof(back)));
    EXPECT_EQ(std::memcmp(image, back, sizeof(image)), 0);

    unsigned char bank[341];
    std::memset(bank, 0xAB, sizeof(bank));
    EXPECT_FALSE(SettingsStore::read("MemoA", bank, sizeof(bank)));
    EXPECT_FALSE(SettingsStore::read("MemoA", bank, 60));
    EXPECT_EQ(bank[0], 0xAB);  // untouched
    EXPECT_FALSE(SettingsStore::read("MemoB", back, sizeof(back)));
}

TEST_F(SettingsStoreTest, TextsKeepEveryCharacter) {
    const std::string folder = "C:\\Users\\Zoë\\Presets für Bühne\\弦\\";
    ASSERT_TRUE(SettingsStore::writeText("CurrDir", folder));
    EXPECT_EQ(SettingsStore::readText("CurrDir", 256).value_or("?"), folder);
    EXPECT_FALSE(SettingsStore::readText("CurrDir", folder.size() - 1).has_value());

    ASSERT_TRUE(SettingsStore::writeText("CurrBank", ""));
    EXPECT_EQ(SettingsStore::readText("CurrBank", 256).value_or("?"), "");
    EXPECT_FALSE(SettingsStore::readText("CurrPreset", 256).has_value());
}

TEST_F(SettingsStoreTest, RemovedValuesAreGone) {
    EXPECT_TRUE(SettingsStore::remove("DefaultBank"));  // nothing stored yet at all
    const unsigned char image[61] = {1, 2, 3};
    ASSERT_TRUE(SettingsStore::write("DefaultPreset", image, sizeof(image)));
    ASSERT_TRUE(SettingsStore::writeText("CurrPreset", "Low.qza"));

    EXPECT_TRUE(SettingsStore::remove("DefaultPreset"));
    unsigned char back[61] = {};
    EXPECT_FALSE(SettingsStore::read("DefaultPreset", back, sizeof(back)));
    EXPECT_TRUE(SettingsStore::remove("DefaultPreset"));
    EXPECT_EQ(SettingsStore::readText("CurrPreset", 256).value_or("?"), "Low.qza");
}

}  // namespace
