// Whole-file reads, saves that replace a file in one step, folder and file names beyond ASCII,
// and the working directory, on every system.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "test_paths.h"

namespace {

using namespace platformtest;

TEST(AtomicWrite, ReplacesAndCleansUpWhenTheTargetCannotBeReplaced) {
    TempFolder folder;
    const fs::path file = folder.path / "value";
    ASSERT_TRUE(platform::writeFileAtomically(toUtf8(file), "abc", 3));
    ASSERT_TRUE(platform::writeFileAtomically(toUtf8(file), "de", 2));
    EXPECT_EQ(contents(file), "de");

    const fs::path blocked = folder.path / "folder";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(platform::writeFileAtomically(toUtf8(blocked), "x", 1));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(entries(folder.path), 2);
}

TEST(FileReads, ExactSizesAndPrefixes) {
    TempFolder folder;
    const std::string file = toUtf8(folder.path / "five");
    ASSERT_TRUE(platform::writeFileAtomically(file, "12345", 5));
    char buffer[8] = "-------";
    EXPECT_FALSE(platform::readFileExactly(file, buffer, 4));
    EXPECT_FALSE(platform::readFileExactly(file, buffer, 6));
    EXPECT_EQ(std::string(buffer), "-------");
    EXPECT_TRUE(platform::readFileExactly(file, buffer, 5));
    EXPECT_EQ(std::string(buffer, 5), "12345");

    char prefix[8] = "abcdefg";
    EXPECT_TRUE(platform::readFilePrefix(file, prefix, 7));
    EXPECT_EQ(std::string(prefix), "12345fg");
    EXPECT_FALSE(platform::readFilePrefix(toUtf8(folder.path / "missing"), prefix, 7));

    EXPECT_EQ(platform::readSmallTextFile(file, 5).value_or("?"), "12345");
    EXPECT_FALSE(platform::readSmallTextFile(file, 4).has_value());
}

// Folders and files whose names hold accented letters and other scripts keep exactly those
// names on disk, and are found again by them.
TEST(Paths, NamesBeyondAsciiSurviveTheRoundTrip) {
    TempFolder folder;
    const std::string sep(1, platform::kPathSeparator);
    const std::string presets = folder.utf8() + sep + "Presets für Zoë" + sep + "弦 Ωμέγα";
    ASSERT_TRUE(platform::makeFolders(presets));
    EXPECT_TRUE(fs::is_directory(folder.path / fromUtf8("Presets für Zoë") / fromUtf8("弦 Ωμέγα")));

    const std::string file = presets + sep + "Glöckchen.qza";
    ASSERT_TRUE(platform::writeFileAtomically(file, "bells", 5));
    EXPECT_EQ(contents(fromUtf8(file)), "bells");
    char back[5] = {};
    EXPECT_TRUE(platform::readFileExactly(file, back, sizeof(back)));
    EXPECT_EQ(std::string(back, 5), "bells");

    EXPECT_TRUE(platform::removeFile(file));
    EXPECT_FALSE(fs::exists(fromUtf8(file)));
    EXPECT_TRUE(platform::removeFile(file));  // already gone
}

// Reads and saves go by full path: the working directory is the process's, and stays so.
TEST(Paths, TheWorkingDirectoryIsReadNeverChanged) {
    const std::string before = platform::workingDirectory();
    EXPECT_EQ(before, toUtf8(fs::current_path()));
    TempFolder folder;
    ASSERT_TRUE(platform::writeFileAtomically(toUtf8(folder.path / "elsewhere"), "x", 1));
    char byte = 0;
    EXPECT_TRUE(platform::readFilePrefix(toUtf8(folder.path / "elsewhere"), &byte, 1));
    EXPECT_EQ(platform::workingDirectory(), before);
}

}  // namespace
