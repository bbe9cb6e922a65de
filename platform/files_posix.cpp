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

bool readFilePrefix(const std::string& path, void* buffer, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<unsigned char> bytes(size);
    const std::size_t got = std::fread(bytes.data(), 1, size, file);
    std::fclose(file);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(got), static_cast<unsigned char*>(buffer));
    return true;
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

bool writeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    std::string temporary;
    const int fd = createFileBeside(path, temporary);
    if (fd < 0) return false;
    bool ok = writeAll(fd, static_cast<const unsigned char*>(data), size) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = renameOver(temporary, path);
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool makeFolders(const std::string& path) {
    if (path.empty()) return false;
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == kPathSeparator) {
            const std::string prefix = path.substr(0, i);
            if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

}  // namespace platform
