// The desktop's file chooser: its command lines, and the running of it, with stand-in
// choosers (small scripts named zenity or kdialog on a search path of the test's own) that
// record what they were given and answer as the test tells them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_chooser_commands.h"
#include "platform/file_dialog.h"

namespace fs = std::filesystem;
using platform::FileDialogRequest;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Records its arguments (NUL-separated) and open descriptors per run, writes the run's
// error text, answers with the run's answer file and ends with the run's exit status.
constexpr char kStandIn[] = R"(#!/bin/sh
n=$(/bin/cat "$LOG/runs" 2>/dev/null || echo 0)
n=$((n + 1))
echo $n > "$LOG/runs"
printf '%s\0' "$@" > "$LOG/args$n"
/bin/ls /proc/$$/fd > "$LOG/fds$n"
/bin/sleep 0.1
[ -f "$LOG/error$n" ] && /bin/cat "$LOG/error$n" >&2
[ -f "$LOG/answer$n" ] && /bin/cat "$LOG/answer$n"
exit $(/bin/cat "$LOG/exit$n" 2>/dev/null || echo 0)
)";

class StandInChooser : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/chordwell-chooser-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        root = tmpl;
        fs::create_directories(root / "bin");
        fs::create_directories(root / "log");
        savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (root / "bin").c_str(), 1);
        ::setenv("LOG", (root / "log").c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(root);
    }

    void install(const char* name, const char* text = kStandIn) {
        const fs::path script = root / "bin" / name;
        std::ofstream(script) << text;
        fs::permissions(script, fs::perms::owner_all);
    }
    pid_t loggedProcess(const char* name) { return std::stoi(readFile(root / "log" / name)); }
    // What run n answers: its output, exit status and error text.
    void script(int run, const std::string& answer, int exitStatus = 0, const std::string& error = "") {
        std::ofstream(root / "log" / ("answer" + std::to_string(run))) << answer;
        std::ofstream(root / "log" / ("exit" + std::to_string(run))) << exitStatus;
        if (!error.empty()) std::ofstream(root / "log" / ("error" + std::to_string(run))) << error;
    }
    std::vector<std::string> argumentsOf(int run) {
        const std::string all = readFile(root / "log" / ("args" + std::to_string(run)));
        std::vector<std::string> args;
        std::size_t start = 0;
        for (std::size_t end; (end = all.find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(all.substr(start, end - start));
        return args;
    }
    int runs() { return fs::exists(root / "log" / "runs") ? std::stoi(readFile(root / "log" / "runs")) : 0; }

    fs::path root;
    std::string savedPath;
};

// Shows the dialog and looks for its answer until the chooser has exited.
std::vector<std::string> answerOf(const FileDialogRequest& request) {
    const std::unique_ptr<platform::FileDialogSession> dialog = platform::fileDialogRunner().start(request);
    for (;;) {
        if (std::optional<std::vector<std::string>> paths = dialog->result()) return *paths;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileDialogRequest presetRequest(FileDialogRequest::Style style, const std::string& folder) {
    FileDialogRequest request;
    request.style = style;
    request.title = style == FileDialogRequest::Style::saveFile ? "Save preset" : "Load preset";
    request.initialDirectory = folder;
    request.defaultFileName = "mine.qza";
    request.defaultExtension = "qza";
    request.types = {{"QZA Preset", "qza"}};
    return request;
}

TEST(FileChooserCommands, ZenityAndKdialogGetTitleFolderFilterAndOverwriteConfirmation) {
    FileDialogRequest open = presetRequest(FileDialogRequest::Style::openFile, "/home/u/My Presets/");
    open.parentWindow = 4711;
    EXPECT_EQ(platform::fileChooserArguments(platform::FileChooser::zenity, open),
              (std::vector<std::string>{"--file-selection", "--title=Load preset", "--attach=4711", "--modal",
                                        "--filename=/home/u/My Presets/", "--file-filter=QZA Preset | *.qza *.QZA",
                                        "--file-filter=All files | *"}));
    EXPECT_EQ(platform::fileChooserArguments(platform::FileChooser::kdialog, open),
              (std::vector<std::string>{"--title", "Load preset", "--attach", "4711", "--getopenfilename",
                                        "/home/u/My Presets/", "*.qza *.QZA|QZA Preset\n*|All files"}));

    const FileDialogRequest save = presetRequest(FileDialogRequest::Style::saveFile, "/home/u/My Presets");
    EXPECT_EQ(platform::fileChooserArguments(platform::FileChooser::zenity, save),
              (std::vector<std::string>{"--file-selection", "--title=Save preset", "--save", "--confirm-overwrite",
                                        "--filename=/home/u/My Presets/mine.qza",
                                        "--file-filter=QZA Preset | *.qza *.QZA", "--file-filter=All files | *"}));
    EXPECT_EQ(platform::fileChooserArguments(platform::FileChooser::kdialog, save),
              (std::vector<std::string>{"--title", "Save preset", "--getsavefilename", "/home/u/My Presets/mine.qza",
                                        "*.qza *.QZA|QZA Preset\n*|All files"}));

    EXPECT_EQ(platform::withDefaultExtension("/a.b/name", "qza"), "/a.b/name.qza");
    EXPECT_EQ(platform::withDefaultExtension("/a/name.bin", "qza"), "/a/name.bin");
    EXPECT_EQ(platform::withDefaultExtension("/a/.hidden", "qza"), "/a/.hidden.qza");
}

TEST_F(StandInChooser, PathsRoundTripAndNoDescriptorIsInherited) {
    install("zenity");
    const std::string chosen = "/tmp/x/It's \"odd\" $(echo no) `no` \\ ünïcode name.qza";
    script(1, chosen + "\n");
    // A descriptor left inheritable, as a host may leave one: the chooser must not get it.
    const int open = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(open, 0);
    constexpr int kInheritable = 100;
    ASSERT_EQ(::dup2(open, kInheritable), kInheritable);
    ::close(open);

    FileDialogRequest request = presetRequest(FileDialogRequest::Style::openFile, (root / "my 'folder'").string());
    request.title = "Load \"$HOME\" preset";
    // The caller goes on while the chooser is open.
    const std::unique_ptr<platform::FileDialogSession> dialog = platform::fileDialogRunner().start(request);
    EXPECT_FALSE(dialog->result());
    ::close(kInheritable);
    std::optional<std::vector<std::string>> paths;
    while (!(paths = dialog->result())) std::this_thread::sleep_for(std::chrono::milliseconds(5));

    EXPECT_EQ(*paths, std::vector<std::string>{chosen});
    const std::vector<std::string> args = argumentsOf(1);
    ASSERT_GE(args.size(), 2u);
    EXPECT_EQ(args[1], "--title=Load \"$HOME\" preset");
    EXPECT_EQ(args[2], "--filename=" + (root / "my 'folder'").string() + "/");
    std::istringstream fds(readFile(root / "log" / "fds1"));
    for (std::string fd; fds >> fd;) EXPECT_NE(fd, std::to_string(kInheritable));
}

TEST_F(StandInChooser, CancelFailureAndKdialogWhenThereIsNoZenity) {
    install("kdialog");
    script(1, "", 1);                           // cancelled
    script(2, "", 254, "line one\nkaputt\n");  // failed
    script(3, "/tmp/chosen.qza\n");
    const FileDialogRequest request = presetRequest(FileDialogRequest::Style::openFile, "/tmp");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(answerOf(request).empty());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(answerOf(request).empty());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "QZA Chordwell: kdialog failed (exit status 254): kaputt\n");
    EXPECT_EQ(answerOf(request), std::vector<std::string>{"/tmp/chosen.qza"});
    EXPECT_EQ(argumentsOf(3).at(0), "--title");
}

TEST_F(StandInChooser, WithoutAChooserNothingIsChosenAndTheReasonIsToldOnce) {
    const FileDialogRequest request = presetRequest(FileDialogRequest::Style::openFile, "/tmp");
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(answerOf(request).empty());
    EXPECT_TRUE(answerOf(request).empty());
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("no file chooser is installed (zenity or kdialog)"), std::string::npos) << told;
    EXPECT_EQ(told.find('\n'), told.size() - 1) << told;  // one line, not one per attempt
}

TEST_F(StandInChooser, SavingAddsTheExtensionAndAsksAgainBeforeReplacingAFileUnasked) {
    install("zenity");
    const fs::path folder = root / "out";
    fs::create_directories(folder);
    const FileDialogRequest request = presetRequest(FileDialogRequest::Style::saveFile, folder.string());
    script(1, (folder / "fresh").string() + "\n");
    EXPECT_EQ(answerOf(request), std::vector<std::string>{(folder / "fresh.qza").string()});

    std::ofstream(folder / "taken.qza") << "x";
    script(2, (folder / "taken").string() + "\n");
    script(3, (folder / "taken.qza").string() + "\n");  // confirmed by the chooser this time
    EXPECT_EQ(answerOf(request), std::vector<std::string>{(folder / "taken.qza").string()});
    EXPECT_EQ(runs(), 3);
    EXPECT_EQ(argumentsOf(3).at(4), "--filename=" + (folder / "taken.qza").string());
}

// Ended: gone, or a zombie left for its new parent (the system) to reap.
bool endsSoon(pid_t pid) {
    const fs::path stat = "/proc/" + std::to_string(pid) + "/stat";
    for (int wait = 0; wait < 200; ++wait) {
        const std::string text = readFile(stat);
        const std::size_t close = text.rfind(')');
        if (text.empty() || (close != std::string::npos && text.compare(close, 3, ") Z") == 0)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(StandInChooser, OnlyTheChoosersExitCountsAndNothingItStartedOutlivesTheDialog) {
    // A chooser that answers and exits, leaving a program of its own that holds its output open.
    install("zenity", "#!/bin/sh\n/bin/sleep 30 &\necho $! > \"$LOG/left\"\necho /tmp/chosen.qza\n");
    const FileDialogRequest request = presetRequest(FileDialogRequest::Style::openFile, "/tmp");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(answerOf(request), std::vector<std::string>{"/tmp/chosen.qza"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(endsSoon(loggedProcess("left")));

    // A dialog ended while the chooser is open: the chooser and what it started end with it.
    fs::remove(root / "log" / "left");
    install("zenity", "#!/bin/sh\necho $$ > \"$LOG/chooser\"\n/bin/sleep 30 &\necho $! > \"$LOG/left\"\nwait\n");
    std::unique_ptr<platform::FileDialogSession> dialog = platform::fileDialogRunner().start(request);
    while (!fs::exists(root / "log" / "left") || readFile(root / "log" / "left").empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(dialog->result());
    const pid_t chooser = loggedProcess("chooser");
    dialog.reset();
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(chooser))) << "the chooser is left running or unreaped";
    EXPECT_TRUE(endsSoon(loggedProcess("left")));
}

}  // namespace
