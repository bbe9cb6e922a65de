// Files on Windows: a save whose target another program holds open, and both separators.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/files.h"
#include "test_paths.h"

namespace {

using namespace platformtest;

// A file open in another program without delete sharing cannot be replaced: the save fails,
// the file keeps its old content and the temporary file is gone.
TEST(AtomicWrite, ATargetHeldOpenStaysWhole) {
    TempFolder folder;
    const fs::path file = folder.path / "held.qzb";
    ASSERT_TRUE(platform::writeFileAtomically(toUtf8(file), "old contents", 12));
    const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const bool written = static_cast<bool>(platform::writeFileAtomically(toUtf8(file), "new", 3));
    CloseHandle(held);

    EXPECT_FALSE(written);
    EXPECT_EQ(contents(file), "old contents");
    EXPECT_EQ(entries(folder.path), 1);
}

// Win32 calls leave errno alone: a failure carries the system's own message for its code.
TEST(AtomicWrite, AFailureCarriesTheSystemsOwnMessage) {
    TempFolder folder;
    const platform::Outcome written = platform::writeFileAtomically(folder.utf8() + "\\missing\\x.qza", "x", 1);
    ASSERT_FALSE(written);
    wchar_t message[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_PATH_NOT_FOUND, 0,
                   message, 512, nullptr);
    std::wstring expected(message);
    while (!expected.empty() && (expected.back() == L'\n' || expected.back() == L'\r' || expected.back() == L' '))
        expected.pop_back();
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(written.failure().text, toUtf8(fs::path(expected)));
    EXPECT_EQ(written.failure().kind, platform::FailureKind::notFound);
}

// A file name of 250 characters (NTFS takes 255) in a folder that takes the whole path past
// MAX_PATH: the temporary name beside it must stay a valid name too.
TEST(AtomicWrite, ALongNameInALongPathCanBeSaved) {
    TempFolder folder;
    const std::string target = folder.utf8() + "\\" + std::string(250, 'n');
    ASSERT_GT(target.size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_TRUE(platform::writeFileAtomically(target, "x", 1));
    char byte = 0;
    EXPECT_TRUE(platform::readFilePrefix(target, &byte, 1));
    EXPECT_EQ(byte, 'x');
    EXPECT_EQ(entries(folder.path), 1);
}

// Paths from file dialogs use backslashes; paths typed or made elsewhere may use slashes.
TEST(Paths, BothSeparatorsAreFolders) {
    EXPECT_EQ(platform::kPathSeparator, '\\');
    TempFolder folder;
    const std::string nested = folder.utf8() + "\\a/b\\c";
    ASSERT_TRUE(platform::makeFolders(nested));
    EXPECT_TRUE(fs::is_directory(folder.path / "a" / "b" / "c"));
    ASSERT_TRUE(platform::writeFileAtomically(nested + "/x.qza", "x", 1));
    EXPECT_EQ(contents(folder.path / "a" / "b" / "c" / "x.qza"), "x");
    EXPECT_FALSE(platform::makeFolders(nested + "\\x.qza\\d"));  // a file stands in the way
}

}  // namespace
