// Where the settings store keeps its values on POSIX systems: one file per value in the
// user's configuration folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/settings_store.h"
#include "settings_sandbox.h"

namespace {

namespace fs = std::filesystem;
using platform::SettingsStore;

struct SettingsFolder : ::testing::Test {
    SettingsSandbox sandbox;
};

TEST_F(SettingsFolder, ValuesAreFilesNamedAsTheValue) {
    const fs::path store = fs::path(sandbox.name()) / "QZA-tonefold" / "QZAChordwell";
    EXPECT_EQ(SettingsStore::location(), store.string());
    const unsigned char image[61] = {};
    ASSERT_TRUE(SettingsStore::write("MemoA", image, sizeof(image)));
    EXPECT_EQ(fs::file_size(store / "MemoA"), 61u);
    ASSERT_TRUE(SettingsStore::writeText("CurrDir", "/home/ü/presets/"));
    EXPECT_EQ(fs::file_size(store / "CurrDir"), 17u);  // UTF-8, no terminator
}

TEST_F(SettingsFolder, HomeIsUsedWhenTheVariableIsUnset) {
    ::unsetenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (home) {
        EXPECT_EQ(SettingsStore::location(), std::string(home) + "/.config/QZA-tonefold/QZAChordwell");
    }
}

TEST_F(SettingsFolder, AFolderThatCannotBeCreatedFailsQuietly) {
    const fs::path blocker = fs::path(sandbox.name()) / "file";
    std::ofstream(blocker) << "not a folder";
    ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    unsigned char image[61] = {};
    EXPECT_FALSE(SettingsStore::write("MemoA", image, sizeof(image)));
    EXPECT_FALSE(SettingsStore::read("MemoA", image, sizeof(image)));
    EXPECT_FALSE(SettingsStore::readText("CurrDir", 256).has_value());
}

}  // namespace
