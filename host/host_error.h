// Errors the command-line host reports to its user: each carries one line of text that
// names what went wrong and, where it helps, what was expected instead.
#pragma once

#include <stdexcept>
#include <string>

namespace host {

// A failure of the task at hand (a missing file, a library that is not a plug-in, a value
// the plug-in cannot take). Reported as one line on stderr with a non-zero exit.
class CHostError : public std::runtime_error {
public:
    explicit CHostError(const std::string& message) : std::runtime_error(message) {}
};

// The command line itself is wrong (unknown command or option, missing argument). Reported
// like CHostError, followed by the usage text.
class CUsageError : public std::runtime_error {
public:
    explicit CUsageError(const std::string& message) : std::runtime_error(message) {}
};

// The user interrupted a render (Ctrl-C); the half-written output has been removed.
class CInterrupted : public std::runtime_error {
public:
    CInterrupted() : std::runtime_error("interrupted") {}
};

}  // namespace host
