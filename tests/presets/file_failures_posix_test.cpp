// Saves that fail for real, each in a child process that keeps the failure to itself: a full
// disk (a tiny memory file system, filled up), a file size limit, and a folder on a read-only
// mount. The mounts live in a mount namespace of the child's own (inside a user namespace
// where the process may not make one otherwise); where neither can be had the case is skipped.
// In every case the name field says why, and the file that was there is kept whole.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "effect_fixture.h"
#include "gui/ctextedit.h"
#include "presets/preset_system_editor.h"
#include "scripted_file_dialog.h"
#include "settings_sandbox.h"
#include "test_paths.h"

namespace {

constexpr int kSkipped = 77;
constexpr rlim_t kSizeLimit = 10;  // bytes: less than a preset file

bool writeText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// Gives the process mounts of its own that no other process sees.
bool ownMounts() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        if (!writeText("/proc/self/setgroups", "deny") ||
            !writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool mountReadOnly(const std::string& folder) {
    return ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

// A one-page memory file system over the folder, filled to the last byte.
bool mountFullDisk(const std::string& folder) {
    if (::mount("none", folder.c_str(), "tmpfs", 0, "size=4k") != 0) return false;
    std::FILE* filler = std::fopen((folder + "/filler").c_str(), "wb");
    if (!filler) return false;
    const std::string block(512, 'f');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
    }
    std::fclose(filler);
    return true;
}

struct SaveFailures : ::testing::Test {
    SettingsSandbox settings;
    EffectInstance fx;
    ScriptedFileDialog selector;
    platformtest::TempFolder temp;
    std::string folder = temp.utf8();

    void SetUp() override { ASSERT_TRUE(editor().openOffscreen()); }
    CPresetSystemEditor& editor() { return *static_cast<CPresetSystemEditor*>(fx.effect().getEditor()); }

    // In a child: prepares the failure, saves the preset over `kept` and checks what the
    // name field says and that `kept` is still whole. The child's exit code is the answer.
    void expectSaveFails(const std::function<bool()>& prepare, const std::string& notice) {
        const std::string target = folder + "/kept.qza";
        const pid_t child = ::fork();
        if (child == 0) {
            if (!prepare()) ::_exit(kSkipped);
            const std::string before = platformtest::contents(target);
            selector.answers.push_back(target);
            editor().savePresetFile();
            const std::string shown = editor().getNameField()->getNotice();
            if (shown != notice) std::fprintf(stderr, "the name field says \"%s\"\n", shown.c_str());
            ::_exit(shown == notice && platformtest::contents(target) == before ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == kSkipped) GTEST_SKIP() << "no mount namespace can be had here";
        EXPECT_EQ(WEXITSTATUS(status), 0) << notice;
    }
};

TEST_F(SaveFailures, AFullDiskAFileSizeLimitAndAReadOnlyFolderAreShown) {
    selector.answers.push_back(folder + "/kept.qza");
    editor().savePresetFile();
    ASSERT_EQ(platformtest::contents(folder + "/kept.qza").size(), 61u);
    expectSaveFails(
        [&] {
            // The limit stops the write part way, as a full disk does; the signal that would end
            // the process is ignored, as hosts do, so the write fails instead.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{kSizeLimit, kSizeLimit};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        "Not saved: file too large");
    expectSaveFails([&] { return ownMounts() && mountFullDisk(folder); }, "Not saved: disk full");
    expectSaveFails([&] { return ownMounts() && mountReadOnly(folder); }, "Not saved: read-only");
}

}  // namespace
