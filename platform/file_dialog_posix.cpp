// The desktop's own file chooser run as a program of its own: zenity where it is installed,
// else kdialog. It is started with posix_spawn from an argument vector (no shell ever sees a
// path or a title), inherits none of our descriptors (the host's and our X connections, its
// files and sockets), runs in a process group of its own and answers through a pipe. Nothing
// waits for it: the host's thread goes on, and each look at the session reads what the chooser
// wrote so far and whether it has exited. Its exit ends the dialog, whoever still holds the
// pipe open; ending a session early ends the chooser and whatever it started.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/diagnostics.h"
#include "platform/file_chooser_commands.h"
#include "platform/file_dialog.h"
#include "platform/files.h"

extern char** environ;

namespace platform {

namespace {

// A chooser's answer is a path or a few; anything longer than this is not one.
constexpr std::size_t kMaxOutput = 1 << 20;
// Enough of the chooser's error output to tell why it failed.
constexpr std::size_t kKeptErrorOutput = 4096;
// A name typed without extension whose extended form exists is offered again this often.
constexpr int kMaxAttempts = 3;

std::atomic<bool> toldNoChooser{false};

struct Chooser {
    FileChooser kind;
    std::string program;
};

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's full path as the search path finds it; empty when it is not installed.
std::string findProgram(const char* name) {
    const char* searchPath = std::getenv("PATH");
    const std::string folders = searchPath && *searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Only absolute folders: a relative one would depend on the host's working directory.
        if (!folder.empty() && folder.front() == '/') {
            const std::string candidate = folder + "/" + name;
            if (isExecutableFile(candidate)) return candidate;
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

std::optional<Chooser> findChooser() {
    if (std::string zenity = findProgram("zenity"); !zenity.empty()) return Chooser{FileChooser::zenity, zenity};
    if (std::string kdialog = findProgram("kdialog"); !kdialog.empty())
        return Chooser{FileChooser::kdialog, kdialog};
    return std::nullopt;
}

struct ChooserRun {
    int spawnError = 0;  // errno of a start that failed
    std::optional<int> exitCode;  // none when a signal ended it or the status was lost
    int signal = 0;
    std::string output;
    std::string errors;
};

// Closes both ends of a pipe on every way out. Our end is read without waiting.
class Pipe {
public:
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0) ends[0] = ends[1] = -1;
        if (ends[0] >= 0) ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    }
    ~Pipe() {
        closeReadEnd();
        closeWriteEnd();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool ok() const { return ends[0] >= 0; }
    int readEnd() const { return ends[0]; }
    int writeEnd() const { return ends[1]; }
    void closeReadEnd() { closeEnd(0); }
    void closeWriteEnd() { closeEnd(1); }

private:
    void closeEnd(int which) {
        if (ends[which] >= 0) ::close(ends[which]);
        ends[which] = -1;
    }
    int ends[2];
};

// Takes what the pipe holds now, up to `limit` bytes kept (the head or the tail); never waits.
// A writer that keeps on writing is read only so far per call.
void drain(Pipe& pipe, std::string& into, std::size_t limit, bool keepTail) {
    constexpr int kMostReadsPerCall = 64;
    char buffer[4096];
    for (int reads = 0; reads < kMostReadsPerCall && pipe.readEnd() >= 0; ++reads) {
        const ssize_t got = ::read(pipe.readEnd(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && errno == EAGAIN) return;
        if (got <= 0) {  // every writer is gone (or the pipe failed)
            pipe.closeReadEnd();
            return;
        }
        into.append(buffer, static_cast<std::size_t>(got));
        if (into.size() > limit) {
            if (keepTail)
                into.erase(0, into.size() - limit);
            else
                into.resize(limit);
        }
    }
}

// One run of the chooser program, from its start to its reaping.
class ChooserProcess {
public:
    ChooserProcess(const std::string& program, const std::vector<std::string>& args) { spawn(program, args); }
    // A chooser still running is ended, with whatever it started, and reaped: no process is left.
    ~ChooserProcess() {
        if (child <= 0) return;
        endGroup(SIGTERM);
        // A moment to go by itself, then no choice.
        for (int waited = 0; waited < kGraceMs && !hasExited(); waited += kGraceStepMs)
            ::usleep(kGraceStepMs * 1000);
        endGroup(SIGKILL);
        reap();
    }
    ChooserProcess(const ChooserProcess&) = delete;
    ChooserProcess& operator=(const ChooserProcess&) = delete;

    // Reads what the chooser wrote; true once it has exited (or could not start). Only the
    // chooser's own exit counts: a program it started may hold the pipe open for as long as
    // it likes.
    bool finished() {
        if (child <= 0) return true;
        readOutput();
        if (!hasExited()) return false;
        readOutput();  // all it wrote before it ended
        if (child > 0) {
            // Still unreaped, so its process group is still its own: what it left running ends.
            endGroup(SIGTERM);
            reap();
        }
        output.closeReadEnd();
        errors.closeReadEnd();
        return true;
    }
    const ChooserRun& outcome() const { return run; }

private:
    static constexpr int kGraceMs = 300;
    static constexpr int kGraceStepMs = 5;

    void spawn(const std::string& program, const std::vector<std::string>& args) {
        if (!output.ok() || !errors.ok()) {
            run.spawnError = errno;
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, output.writeEnd(), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, errors.writeEnd(), STDERR_FILENO);
        // Every other descriptor of the host's process stays behind, inheritable or not.
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

        // The host may block or ignore signals; the chooser starts with the defaults, in a
        // process group of its own, so that it can be ended with everything it starts.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes, &none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

        std::vector<std::string> texts;
        texts.push_back(program);
        texts.insert(texts.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& text : texts) argv.push_back(text.data());
        argv.push_back(nullptr);

        pid_t started = -1;
        const int error = ::posix_spawn(&started, program.c_str(), &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        output.closeWriteEnd();
        errors.closeWriteEnd();
        if (error != 0)
            run.spawnError = error;
        else
            child = started;
    }

    void readOutput() {
        drain(output, run.output, kMaxOutput, false);
        drain(errors, run.errors, kKeptErrorOutput, true);
    }

    // Whether the chooser has exited, leaving it unreaped. A host that reaps every child
    // itself (or ignores SIGCHLD) may have taken it already: then it is gone, its status lost.
    bool hasExited() {
        siginfo_t info{};
        int answer;
        do {
            answer = ::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOHANG | WNOWAIT);
        } while (answer != 0 && errno == EINTR);
        if (answer != 0) {
            child = -1;  // not ours any more: neither its group nor its status
            return true;
        }
        return info.si_pid != 0;
    }

    // The chooser is not reaped yet, so its process id, which names the group, is not reused.
    void endGroup(int signal) const {
        if (child > 0) ::kill(-child, signal);
    }

    void reap() {
        if (child <= 0) return;
        int status = 0;
        pid_t waited;
        do {
            waited = ::waitpid(child, &status, 0);
        } while (waited < 0 && errno == EINTR);
        if (waited == child) {
            if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
            if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
        }
        child = -1;
    }

    Pipe output;
    Pipe errors;
    pid_t child = -1;
    ChooserRun run;
};

// The last line the chooser wrote to its error output, for the report of a failure.
std::string lastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of("\n\r \t");
    if (end == std::string::npos) return {};
    const std::size_t newline = text.rfind('\n', end);
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    std::string line = text.substr(start, end + 1 - start);
    constexpr std::size_t kLongest = 300;
    if (line.size() > kLongest) line.resize(kLongest);
    return line;
}

std::string nameOf(const Chooser& chooser) { return chooser.kind == FileChooser::zenity ? "zenity" : "kdialog"; }

// Why the run is not an answer of the user's (cancelling is one); nothing when it is.
std::optional<std::string> failureOf(const Chooser& chooser, const ChooserRun& run) {
    if (run.spawnError != 0) return "cannot start " + chooser.program + ": " + std::strerror(run.spawnError);
    if (run.signal != 0) return nameOf(chooser) + " was ended by signal " + std::to_string(run.signal);
    const std::string detail = lastLine(run.errors);
    // Both choosers answer 0 for a choice and 1 for cancelling; zenity also answers 1 when it
    // cannot reach the display, which its error output then tells.
    if (run.exitCode && *run.exitCode == 1 && detail.find("cannot open display") != std::string::npos)
        return nameOf(chooser) + " failed: " + detail;
    if (run.exitCode && *run.exitCode > 1)
        return nameOf(chooser) + " failed (exit status " + std::to_string(*run.exitCode) + ")" +
               (detail.empty() ? "" : ": " + detail);
    return std::nullopt;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The choosers need a folder they can find whatever their working directory.
std::string absoluteFolder(const std::string& folder) {
    if (!folder.empty() && folder.front() == '/') return folder;
    std::string base = workingDirectory();
    // (Appending the separator, rather than assigning "/" to an empty text, also keeps
    // GCC 12 at -O3 from a false -Wrestrict warning about the assignment.)
    if (base.empty() || base.back() != '/') base.push_back('/');
    return base + folder;
}

// One dialog: a run of the chooser, and for saving one more for each name typed without its
// extension whose extended form exists, so that replacing that file is confirmed too.
class ChooserDialog : public FileDialogSession {
public:
    ChooserDialog(Chooser chooser, const FileDialogRequest& original) : chooser(std::move(chooser)), request(original) {
        request.initialDirectory = absoluteFolder(request.initialDirectory);
        launch();
    }

    std::optional<std::vector<std::string>> result() override {
        if (answer) return answer;
        if (!process->finished()) return std::nullopt;
        const ChooserRun run = process->outcome();
        process.reset();
        answer = answerOf(run);
        return answer;
    }

private:
    void launch() {
        ++attempts;
        process = std::make_unique<ChooserProcess>(chooser.program, fileChooserArguments(chooser.kind, request));
    }

    // The dialog's answer after one run; nothing when it goes on with another run.
    std::optional<std::vector<std::string>> answerOf(const ChooserRun& run) {
        const std::vector<std::string> none;
        if (const std::optional<std::string> failure = failureOf(chooser, run)) {
            reportProblem(*failure);
            return none;
        }
        // Without a status (the host reaped the chooser itself) its answer tells.
        const bool answered = run.exitCode ? *run.exitCode == 0 : !run.output.empty();
        if (!answered) return none;  // cancelled
        const bool save = request.style == FileDialogRequest::Style::saveFile;
        std::vector<std::string> paths = chosenPaths(run.output, request.multipleFiles && !save);
        if (!save || paths.size() != 1) return paths;
        const std::string extended = withDefaultExtension(paths[0], request.defaultExtension);
        if (extended == paths[0] || !exists(extended)) return std::vector<std::string>{extended};
        if (attempts >= kMaxAttempts) return none;
        // The chooser confirmed replacing the name as typed, not the extended one: ask again
        // with the extended name.
        const std::size_t slash = extended.rfind('/');
        request.initialDirectory = extended.substr(0, slash + 1);
        request.defaultFileName = extended.substr(slash + 1);
        launch();
        return std::nullopt;
    }

    Chooser chooser;
    FileDialogRequest request;
    int attempts = 0;
    std::unique_ptr<ChooserProcess> process;
    std::optional<std::vector<std::string>> answer;
};

class DesktopFileDialog : public FileDialogRunner {
public:
    std::unique_ptr<FileDialogSession> start(const FileDialogRequest& request) override {
        std::optional<Chooser> chooser = findChooser();
        if (!chooser) {
            if (!toldNoChooser.exchange(true))
                reportProblem("no file chooser is installed (zenity or kdialog): files cannot be loaded or saved");
            return closedFileDialog({});
        }
        return std::make_unique<ChooserDialog>(std::move(*chooser), request);
    }
};

}  // namespace

FileDialogRunner& desktopFileDialog() {
    static DesktopFileDialog desktop;
    return desktop;
}

}  // namespace platform
