#include "platform/file_replacement_posix.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace platform {

namespace {

// A name clash with a file someone else made is retried under a new name this often.
constexpr int kNameAttempts = 64;
// The target's own name is cut to this many bytes in the temporary name, so that the whole
// stays within the 255 bytes a file name may have.
constexpr std::size_t kMaxNamePart = 200;

// Sixteen hexadecimal digits from the system's random source; from the clock and the
// process id where that source is unavailable.
std::string randomPart() {
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof(bits), GRND_NONBLOCK) != static_cast<ssize_t>(sizeof(bits))) {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        bits = (static_cast<std::uint64_t>(now.tv_nsec) << 20) ^ static_cast<std::uint64_t>(now.tv_sec) ^
               (static_cast<std::uint64_t>(::getpid()) << 40);
    }
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(bits));
    return text;
}

// The folder part of a path with its separator ("" for a bare name).
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

int createFileBeside(const std::string& target, std::string& temporary) {
    const std::string folder = folderOf(target);
    const std::string name = target.substr(folder.size(), kMaxNamePart);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = folder;
        candidate += '.';
        candidate += name;
        candidate += '.';
        candidate += randomPart();
        candidate += ".tmp";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temporary = candidate;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

bool renameOver(const std::string& temporary, const std::string& target) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) return false;
    const std::string folder = folderOf(target);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

}  // namespace platform
