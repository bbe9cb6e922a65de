#include <unistd.h>

#include <cerrno>

#include "platform/diagnostics.h"

namespace platform {

void reportProblem(const std::string& text) {
    // One write of the whole line, so that lines of other threads and processes sharing the
    // terminal do not cut into it.
    const std::string line = "QZA Chordwell: " + text + "\n";
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

}  // namespace platform
