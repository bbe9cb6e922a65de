#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include "platform/file_replacement_posix.h"
#include "platform/files.h"

namespace platform {

const char kPathSeparator = '/';

namespace {

// Reads the whole file up to limit + 1 bytes, so callers can tell a file that is too long.
std::optional<std::vector<unsigned char>> readUpTo(const std::string& path, std::size_t limit) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::vector<unsigned char> bytes(limit + 1);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

bool writeAll(int fd, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string workingDirectory() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string();
}

Outcome readFilePrefix(const std::string& path, void* buffer, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return lastSystemFailure();
    std::vector<unsigned char> bytes(size);
    const std::size_t got = std::fread(bytes.data(), 1, size, file);
    const int readError = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (readError != 0) return systemFailure(readError);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(got), static_cast<unsigned char*>(buffer));
    return {};
}

bool readFileExactly(const std::string& path, void* buffer, std::size_t size) {
    const auto bytes = readUpTo(path, size);
    if (!bytes || bytes->size() != size) return false;
    std::copy(bytes->begin(), bytes->end(), static_cast<unsigned char*>(buffer));
    return true;
}

std::optional<std::string> readSmallTextFile(const std::string& path, std::size_t maxSize) {
    const auto bytes = readUpTo(path, maxSize);
    if (!bytes || bytes->size() > maxSize) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

Outcome writeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    std::string temporary;
    const int fd = createFileBeside(path, temporary);
    if (fd < 0) return lastSystemFailure();
    // renameOver flushes the file to disk before it takes the target's name.
    int error = writeAll(fd, static_cast<const unsigned char*>(data), size) ? 0 : errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && !renameOver(temporary, path)) error = errno;
    if (error == 0) return {};
    ::unlink(temporary.c_str());
    return systemFailure(error);
}

Outcome makeFolders(const std::string& path) {
    if (path.empty()) return systemFailure(ENOENT);
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == kPathSeparator) {
            const std::string prefix = path.substr(0, i);
            if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return lastSystemFailure();
        }
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return lastSystemFailure();
    if (!S_ISDIR(info.st_mode)) return systemFailure(ENOTDIR);
    return {};
}

Outcome removeFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return {};
    return lastSystemFailure();
}

}  // namespace platform
