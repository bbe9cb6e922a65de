// Why a file or settings operation failed: the kind of failure, which the editor tells the
// user in a few words, and the system's own message for the diagnostics stream. Each system
// turns its error codes into these (failure_<system>.cpp): errno values on POSIX systems,
// Win32 and registry error codes on Windows, whose calls do not set errno.
#pragma once

#include <string>
#include <utility>

namespace platform {

// The failures a user can act on; everything else is `other`.
enum class FailureKind { diskFull, fileTooLarge, readOnly, noAccess, notFound, nameTooLong, isFolder, other };

struct Failure {
    FailureKind kind = FailureKind::other;
    std::string text;  // the system's message, UTF-8, without a line end
};

// Success, or the failure that stopped an operation. It tests true on success, as the plain
// truth values these operations answered before.
class Outcome {
public:
    Outcome() = default;
    Outcome(Failure failure) : failed(true), why(std::move(failure)) {}  // NOLINT: a failure is an outcome

    explicit operator bool() const { return !failed; }
    // Meaningful only when the operation failed.
    const Failure& failure() const { return why; }

private:
    bool failed = false;
    Failure why;
};

// The calling thread's last system error: errno, or GetLastError on Windows.
Failure lastSystemFailure();
// One error code of the system: an errno value, or a Win32 error or registry status on Windows.
Failure systemFailure(long code);

// A few words for the user: "disk full", "read-only".
const char* describe(FailureKind kind);

}  // namespace platform
