// Whole-file writes that survive failure, and the settings store's folder and values.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/settings_store.h"

namespace fs = std::filesystem;

namespace {

struct TempFolder {
    fs::path path;
    TempFolder() {
        char tmpl[] = "/tmp/chordwell-platform-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
};

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A write that fails half-way (here: the file-size limit, as a full disk would) must leave the
// old file whole and no temporary file behind.
TEST(AtomicWrite, FailureLeavesTheOldFileWhole) {
    TempFolder folder;
    const fs::path file = folder.path / "value";
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "old contents", 12));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string longer(1000, 'x');
    const bool written = platform::writeFileAtomically(file.string(), longer.data(), longer.size());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(contents(file), "old contents");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

TEST(AtomicWrite, ReplacesAndCleansUpWhenTheTargetCannotBeReplaced) {
    TempFolder folder;
    const fs::path file = folder.path / "value";
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "abc", 3));
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "de", 2));
    EXPECT_EQ(contents(file), "de");

    const fs::path blocked = folder.path / "folder";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(platform::writeFileAtomically(blocked.string(), "x", 1));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 2);
}

TEST(FileReads, ExactSizesAndPrefixes) {
    TempFolder folder;
    const fs::path file = folder.path / "five";
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "12345", 5));
    char buffer[8] = "-------";
    EXPECT_FALSE(platform::readFileExactly(file.string(), buffer, 4));
    EXPECT_FALSE(platform::readFileExactly(file.string(), buffer, 6));
    EXPECT_EQ(std::string(buffer), "-------");
    EXPECT_TRUE(platform::readFileExactly(file.string(), buffer, 5));
    EXPECT_EQ(std::string(buffer, 5), "12345");

    char prefix[8] = "abcdefg";
    EXPECT_TRUE(platform::readFilePrefix(file.string(), prefix, 7));
    EXPECT_EQ(std::string(prefix), "12345fg");
    EXPECT_FALSE(platform::readFilePrefix((folder.path / "missing").string(), prefix, 7));

    EXPECT_EQ(platform::readSmallTextFile(file.string(), 5).value_or("?"), "12345");
    EXPECT_FALSE(platform::readSmallTextFile(file.string(), 4).has_value());
}

struct SettingsFolder : ::testing::Test {
    TempFolder folder;
    std::string saved;
    void SetUp() override {
        if (const char* value = std::getenv("XDG_CONFIG_HOME")) saved = value;
        ::setenv("XDG_CONFIG_HOME", folder.path.c_str(), 1);
    }
    void TearDown() override { ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1); }
};

TEST_F(SettingsFolder, ValuesAreFilesNamedAsTheValue) {
    EXPECT_EQ(platform::SettingsStore::folder(), (folder.path / "QZA-tonefold" / "QZAChordwell").string());
    unsigned char image[61];
    for (int i = 0; i < 61; ++i) image[i] = static_cast<unsigned char>(i);
    ASSERT_TRUE(platform::SettingsStore::write("MemoA", image, sizeof(image)));
    EXPECT_EQ(fs::file_size(folder.path / "QZA-tonefold" / "QZAChordwell" / "MemoA"), 61u);

    unsigned char back[61] = {};
    EXPECT_TRUE(platform::SettingsStore::read("MemoA", back, sizeof(back)));
    EXPECT_EQ(std::memcmp(image, back, 61), 0);
    unsigned char bank[341] = {};
    EXPECT_FALSE(platform::SettingsStore::read("MemoA", bank, sizeof(bank)));  // wrong size: nothing

    ASSERT_TRUE(platform::SettingsStore::writeText("CurrDir", "/home/ü/presets/"));
    EXPECT_EQ(platform::SettingsStore::readText("CurrDir", 256).value_or(""), "/home/ü/presets/");

    EXPECT_TRUE(platform::SettingsStore::remove("MemoA"));
    EXPECT_FALSE(platform::SettingsStore::read("MemoA", back, sizeof(back)));
    EXPECT_TRUE(platform::SettingsStore::remove("MemoA"));  // already gone
}

TEST_F(SettingsFolder, HomeIsUsedWhenTheVariableIsUnset) {
    ::unsetenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (home) {
        EXPECT_EQ(platform::SettingsStore::folder(), std::string(home) + "/.config/QZA-tonefold/QZAChordwell");
    }
}

TEST_F(SettingsFolder, AFolderThatCannotBeCreatedFailsQuietly) {
    const fs::path blocker = folder.path / "file";
    std::ofstream(blocker) << "not a folder";
    ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    unsigned char image[61] = {};
    EXPECT_FALSE(platform::SettingsStore::write("MemoA", image, sizeof(image)));
    EXPECT_FALSE(platform::SettingsStore::read("MemoA", image, sizeof(image)));
    EXPECT_FALSE(platform::SettingsStore::readText("CurrDir", 256).has_value());
}

}  // namespace
