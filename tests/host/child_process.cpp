#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "host_test_support.h"

extern char** environ;

namespace hosttest {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> environmentWith(const EnvironmentChanges& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (changes.count(name) == 0) result.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value) result.push_back(name + "=" + *value);
    return result;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::chrono::milliseconds left(Clock::time_point deadline) {
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return remaining.count() > 0 ? remaining : std::chrono::milliseconds(0);
}

}  // namespace

CChildProcess::CChildProcess(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                             const std::filesystem::path& errorFile) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = environmentWith(changes);
    std::vector<char*> argPointers = pointersTo(arguments);
    std::vector<char*> envPointers = pointersTo(environment);
    const int error = posix_spawnp(&child, arguments[0].c_str(), &actions, nullptr, argPointers.data(),
                                   envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (error != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
    }
    output = pipeEnds[0];
}

CChildProcess::~CChildProcess() {
    if (!status) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    close(output);
}

bool CChildProcess::fill(std::chrono::milliseconds timeout) {
    if (outputEnded) return false;
    pollfd readable{output, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(timeout.count())) <= 0) return true;
    char buffer[4096];
    const ssize_t got = read(output, buffer, sizeof buffer);
    if (got <= 0) {
        outputEnded = true;
        return false;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    return true;
}

std::optional<std::string> CChildProcess::readLine(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (true) {
        const std::size_t newline = pending.find('\n');
        if (newline != std::string::npos) {
            std::string line = pending.substr(0, newline);
            pending.erase(0, newline + 1);
            return line;
        }
        if (Clock::now() >= deadline || !fill(left(deadline))) return std::nullopt;
    }
}

std::string CChildProcess::readRest(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && fill(left(deadline))) {
    }
    std::string rest;
    rest.swap(pending);
    return rest;
}

std::optional<int> CChildProcess::wait(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!status) {
        int raw = 0;
        if (waitpid(child, &raw, WNOHANG) == child) {
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        } else if (Clock::now() >= deadline) {
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return status;
}

void CChildProcess::sendSignal(int signal) {
    if (!status) kill(child, signal);
}

ChildResult runChild(const std::vector<std::string>& argv, const EnvironmentChanges& changes,
                     std::chrono::milliseconds timeout) {
    CTempDir capture;
    const std::filesystem::path errorFile = capture / "stderr";
    ChildResult result;
    {
        CChildProcess child(argv, changes, errorFile);
        result.out = child.readRest(timeout);
        result.exitCode = child.wait(std::chrono::seconds(5)).value_or(-1);
    }
    std::ifstream in(errorFile);
    std::stringstream text;
    text << in.rdbuf();
    result.err = text.str();
    return result;
}

}  // namespace hosttest
