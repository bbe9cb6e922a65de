#include "platform/file_replacement_posix.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <vector>

namespace platform {

namespace {

// A name clash with a file someone else made is retried under a new name this often.
constexpr int kNameAttempts = 64;
// The target's own name is cut to this many bytes in the temporary name, so that the whole
// stays within the 255 bytes a file name may have.
constexpr std::size_t kMaxNamePart = 200;
// Links followed before a chain is taken for a loop, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kPermissionBits = 07777;
constexpr mode_t kPrivateMode = 0600;
constexpr mode_t kDocumentMode = 0666;

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

// The link's text, or nothing when the path is not a symbolic link.
bool readLink(const std::string& path, std::string& link) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return false;
    std::vector<char> buffer(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : PATH_MAX);
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return false;
    link.assign(buffer.data(), static_cast<std::size_t>(length));
    return true;
}

// Gives the new file the old one's owner and permissions. The owner first: changing it clears
// set-id bits. A process that may not give the file away keeps it as its own, with the old
// group where it may.
void takeOverPermissions(int fd, const struct stat& old) {
    const bool owned =
        ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    static_cast<void>(owned);
    ::fchmod(fd, old.st_mode & kPermissionBits);
}

// Flushes the file's content and size to disk; false with errno set when that fails.
bool syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

}  // namespace

std::string replacedFile(const std::string& target) {
    std::string path = target;
    std::string link;
    for (int hop = 0; hop < kMaxLinkHops && readLink(path, link); ++hop)
        path = link.front() == '/' ? link : folderOf(path) + link;
    return path;
}

int createFileBeside(const std::string& target, std::string& temporary) {
    const std::string replaced = replacedFile(target);
    const std::string folder = folderOf(replaced);
    const std::string name = replaced.substr(folder.size(), kMaxNamePart);
    struct stat old {};
    const bool replacing = ::stat(replaced.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // A file the user made read-only is not replaced behind their back, although the folder
    // would allow the rename: the save fails as a write to it would.
    if (replacing && ::faccessat(AT_FDCWD, replaced.c_str(), W_OK, AT_EACCESS) != 0) return -1;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = folder;
        candidate += '.';
        candidate += name;
        candidate += '.';
        candidate += randomPart();
        candidate += ".tmp";
        // Private until it has the old file's permissions.
        const mode_t mode = replacing ? kPrivateMode : kDocumentMode;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            if (replacing) takeOverPermissions(fd, old);
            temporary = candidate;
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

bool renameOver(const std::string& temporary, const std::string& target) {
    // Without this flush a power cut soon after the rename can leave the new name on an
    // empty or partial file, since the folder may reach the disk before the content.
    if (!syncFile(temporary)) return false;
    const std::string replaced = replacedFile(target);
    if (::rename(temporary.c_str(), replaced.c_str()) != 0) return false;
    const std::string folder = folderOf(replaced);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

}  // namespace platform
