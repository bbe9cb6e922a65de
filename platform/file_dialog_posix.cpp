// The desktop's own file chooser run as a program of its own: zenity where it is installed,
// else kdialog. It is started with posix_spawn from an argument vector (no shell ever sees a
// path or a title), inherits none of our descriptors (the host's and our X connections, its
// files and sockets), and answers through a pipe. The calling thread waits for it, as for a
// modal dialog, and lets the caller repaint its windows meanwhile.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/diagnostics.h"
#include "platform/file_chooser_commands.h"
#include "platform/file_dialog.h"
#include "platform/files.h"

extern char** environ;

namespace platform {

namespace {

// How often the waiting thread looks up from the chooser to let its caller repaint.
constexpr int kWaitSliceMs = 25;
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

// Closes both ends of a pipe on every way out.
class Pipe {
public:
    Pipe() {
        if (::pipe2(ends, O_CLOEXEC) != 0) ends[0] = ends[1] = -1;
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

// Reads what the descriptor has; false once it has ended (or failed).
bool drain(int fd, std::string& into, std::size_t limit, bool keepTail) {
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) return errno == EINTR || errno == EAGAIN;
    if (got == 0) return false;
    into.append(buffer, static_cast<std::size_t>(got));
    if (into.size() > limit) {
        if (keepTail)
            into.erase(0, into.size() - limit);
        else
            into.resize(limit);
    }
    return true;
}

ChooserRun runChooser(const std::string& program, const std::vector<std::string>& args,
                      const std::function<void()>& whileWaiting) {
    ChooserRun run;
    Pipe output;
    Pipe errors;
    if (!output.ok() || !errors.ok()) {
        run.spawnError = errno;
        return run;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.writeEnd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors.writeEnd(), STDERR_FILENO);
    // Every other descriptor of the host's process stays behind, inheritable or not.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    // The host may block or ignore signals; the chooser starts with the defaults.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> texts;
    texts.push_back(program);
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    const int error = ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    output.closeWriteEnd();
    errors.closeWriteEnd();
    if (error != 0) {
        run.spawnError = error;
        return run;
    }

    bool outputOpen = true;
    bool errorsOpen = true;
    while (outputOpen || errorsOpen) {
        pollfd fds[2] = {{outputOpen ? output.readEnd() : -1, POLLIN, 0},
                         {errorsOpen ? errors.readEnd() : -1, POLLIN, 0}};
        const int ready = ::poll(fds, 2, kWaitSliceMs);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            if (outputOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
                outputOpen = drain(output.readEnd(), run.output, kMaxOutput, false);
            if (errorsOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
                errorsOpen = drain(errors.readEnd(), run.errors, kKeptErrorOutput, true);
        }
        if (whileWaiting) whileWaiting();
    }

    int status = 0;
    pid_t waited;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    // A host that reaps every child itself (or ignores SIGCHLD) leaves no status to read.
    if (waited == child) {
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    }
    return run;
}

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

class DesktopFileDialog : public FileDialogRunner {
public:
    std::vector<std::string> run(const FileDialogRequest& original) override {
        const std::optional<Chooser> chooser = findChooser();
        if (!chooser) {
            if (!toldNoChooser.exchange(true))
                reportProblem("no file chooser is installed (zenity or kdialog): files cannot be loaded or saved");
            return {};
        }
        FileDialogRequest request = original;
        request.initialDirectory = absoluteFolder(request.initialDirectory);
        const bool save = request.style == FileDialogRequest::Style::saveFile;
        for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
            const ChooserRun run = runChooser(chooser->program, fileChooserArguments(chooser->kind, request),
                                              request.whileWaiting);
            if (const std::optional<std::string> failure = failureOf(*chooser, run)) {
                reportProblem(*failure);
                return {};
            }
            // Without a status (the host reaped the chooser itself) its answer tells.
            const bool answered = run.exitCode ? *run.exitCode == 0 : !run.output.empty();
            if (!answered) return {};  // cancelled
            std::vector<std::string> paths = chosenPaths(run.output, request.multipleFiles && !save);
            if (!save || paths.size() != 1) return paths;
            const std::string extended = withDefaultExtension(paths[0], request.defaultExtension);
            if (extended == paths[0] || !exists(extended)) return {extended};
            // The chooser confirmed replacing the name as typed, not the extended one: ask
            // again with the extended name, so that replacing it is confirmed too.
            const std::size_t slash = extended.rfind('/');
            request.initialDirectory = extended.substr(0, slash + 1);
            request.defaultFileName = extended.substr(slash + 1);
        }
        return {};
    }

private:
    // The choosers need a folder they can find whatever their working directory.
    static std::string absoluteFolder(const std::string& folder) {
        if (!folder.empty() && folder.front() == '/') return folder;
        std::string base = workingDirectory();
        // (Appending the separator, rather than assigning "/" to an empty text, also keeps
        // GCC 12 at -O3 from a false -Wrestrict warning about the assignment.)
        if (base.empty() || base.back() != '/') base.push_back('/');
        return base + folder;
    }
};

}  // namespace

FileDialogRunner& desktopFileDialog() {
    static DesktopFileDialog desktop;
    return desktop;
}

}  // namespace platform
