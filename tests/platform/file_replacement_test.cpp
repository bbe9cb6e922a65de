// Replacing a file through a temporary one beside it: the umask alone sets the new file's
// permissions and is never touched (other threads of a host create files meanwhile), and the
// folder is flushed after the rename.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
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
    static auto* real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return real(fd);
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

}  // namespace
