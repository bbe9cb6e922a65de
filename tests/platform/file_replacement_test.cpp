// Replacing a file through a temporary one beside it: the umask alone sets a new file's
// permissions and is never touched (other threads of a host create files meanwhile), a
// replaced file keeps its permissions and its symbolic link, and both the file (before its
// rename) and the folder (after it) are flushed.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "platform/file_replacement_posix.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

std::atomic<int> umaskCalls{0};
std::atomic<int> folderSyncs{0};
// The last regular file flushed, and whether each rename moved a file flushed before it.
std::atomic<ino_t> syncedFile{0};
std::atomic<int> renamesOfSyncedFiles{0};
std::atomic<int> renamesOfUnsyncedFiles{0};

}  // namespace

// This program's own umask and fsync stand in front of the C library's: every call is
// counted, and fsync is passed on.
extern "C" mode_t umask(mode_t mask) {
    ++umaskCalls;
    static auto* real = reinterpret_cast<mode_t (*)(mode_t)>(dlsym(RTLD_NEXT, "umask"));
    return real(mask);
}

extern "C" int fsync(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) ++folderSyncs;
    if (S_ISREG(info.st_mode)) syncedFile = info.st_ino;
    static auto* real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) {
    struct stat info {};
    if (::lstat(from, &info) == 0) ++(info.st_ino == syncedFile.load() ? renamesOfSyncedFiles : renamesOfUnsyncedFiles);
    static auto* real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

namespace {

struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        char tmpl[] = "/tmp/chordwell-replace-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

mode_t permissionsOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(FileReplacement, TheUmaskAloneSetsPermissionsAndIsNeverChanged) {
    ScratchFolder folder;
    const mode_t saved = ::umask(027);
    umaskCalls = 0;
    folderSyncs = 0;

    const fs::path value = folder.path / "value";
    ASSERT_TRUE(platform::writeFileAtomically(value.string(), "abc", 3));
    EXPECT_EQ(permissionsOf(value), 0640u);
    EXPECT_GE(folderSyncs.load(), 1) << "the new name is flushed to disk";

    std::string first, second;
    const int a = platform::createFileBeside(value.string(), first);
    const int b = platform::createFileBeside(value.string(), second);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ::close(a);
    ::close(b);
    EXPECT_NE(first, second);
    EXPECT_EQ(fs::path(first).parent_path(), folder.path);
    EXPECT_EQ(fs::path(first).filename().string().rfind(".value.", 0), 0u) << first;
    EXPECT_EQ(permissionsOf(first), 0640u);
    EXPECT_EQ(umaskCalls.load(), 0);
    ::umask(saved);
}

TEST(FileReplacement, TheLongestFileNameStillGetsATemporaryBesideIt) {
    ScratchFolder folder;
    const fs::path target = folder.path / std::string(255, 'n');
    ASSERT_TRUE(platform::writeFileAtomically(target.string(), "x", 1));
    EXPECT_EQ(fs::file_size(target), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

// The host's audio files and screenshots are written through the descriptor (or by a library
// that takes the path) and closed before the rename: the rename flushes them itself.
TEST(FileReplacement, TheFileReachesTheDiskBeforeItsRename) {
    ScratchFolder folder;
    const fs::path target = folder.path / "out.wav";
    std::string temporary;
    const int fd = platform::createFileBeside(target.string(), temporary);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "RIFF", 4), 4);
    ::close(fd);
    syncedFile = 0;
    renamesOfSyncedFiles = 0;
    renamesOfUnsyncedFiles = 0;
    ASSERT_TRUE(platform::renameOver(temporary, target.string()));
    ASSERT_TRUE(platform::writeFileAtomically((folder.path / "MemoA").string(), "abc", 3));
    EXPECT_EQ(renamesOfSyncedFiles.load(), 2);
    EXPECT_EQ(renamesOfUnsyncedFiles.load(), 0);
}

TEST(FileReplacement, AReplacedFileKeepsItsPermissionsAndItsLink) {
    ScratchFolder folder;
    const mode_t saved = ::umask(022);
    const fs::path real = folder.path / "real" / "private.qza";
    fs::create_directories(real.parent_path());
    ASSERT_TRUE(platform::writeFileAtomically(real.string(), "old", 3));
    ::chmod(real.c_str(), 0600);
    ASSERT_TRUE(platform::writeFileAtomically(real.string(), "newer", 5));
    EXPECT_EQ(permissionsOf(real), 0600u);
    const fs::path link = folder.path / "link.qza";
    fs::create_symlink(fs::path("real") / "private.qza", link);  // relative to the link's folder
    const fs::path chained = folder.path / "chained.qza";
    fs::create_symlink(link, chained);

    ASSERT_TRUE(platform::writeFileAtomically(chained.string(), "new!", 4));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chained));
    EXPECT_EQ(fs::file_size(real), 4u);
    EXPECT_EQ(permissionsOf(real), 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 3);

    // A link to a file not there yet makes it there, as a new document.
    const fs::path dangling = folder.path / "dangling.qza";
    fs::create_symlink(fs::path("real") / "new.qza", dangling);
    ASSERT_TRUE(platform::writeFileAtomically(dangling.string(), "x", 1));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(permissionsOf(folder.path / "real" / "new.qza"), 0644u);
    ::umask(saved);
}

// A file the user made read-only stays as it is, though its folder would let it be renamed
// over. Root may write to any file: the save runs as another user, in a child.
TEST(FileReplacement, AReadOnlyFileIsNotReplaced) {
    ScratchFolder folder;
    ::chmod(folder.path.c_str(), 0777);
    const fs::path file = folder.path / "locked.qza";
    ASSERT_TRUE(platform::writeFileAtomically(file.string(), "old", 3));
    ::chmod(file.c_str(), 0444);
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
        const platform::Outcome written = platform::writeFileAtomically(file.string(), "new", 3);
        ::_exit(!written && written.failure().kind == platform::FailureKind::noAccess ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(fs::file_size(file), 3u);
    EXPECT_EQ(permissionsOf(file), 0444u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

}  // namespace
