// A program started by a test as a process of its own: with changes to its environment,
// its output read line by line as it comes, and every wait bounded by a timeout.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hosttest {

// Environment changes for a child: a value sets the variable, nothing removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

class CChildProcess {
public:
    // Starts argv[0] (looked up in PATH when it has no slash) with the test's environment
    // plus the changes. Its standard output comes through readLine; its standard error goes
    // to errorFile. Throws std::runtime_error when it cannot start.
    CChildProcess(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                  const std::filesystem::path& errorFile);
    // A child still running is killed.
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    pid_t pid() const { return child; }
    // The next line of its output, without the newline; nothing when none is complete within
    // the timeout or the output has ended.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Everything it writes until its output ends (or the timeout passes).
    std::string readRest(std::chrono::milliseconds timeout);
    // Its exit status (128 + signal when a signal ended it); nothing while it still runs
    // after the timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    void sendSignal(int signal);

private:
    // Reads what is there within the timeout; false once the output has ended.
    bool fill(std::chrono::milliseconds timeout);

    pid_t child = -1;
    int output = -1;
    bool outputEnded = false;
    std::string pending;
    std::optional<int> status;
};

struct ChildResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program to its end (killed after the timeout, reported as exit code -1).
ChildResult runChild(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                     std::chrono::milliseconds timeout = std::chrono::seconds(60));

}  // namespace hosttest
