// Files on Windows. The program holds paths as UTF-8; every call here takes them as UTF-16
// through the wide API, so that folder and file names in any script work.
#include <direct.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/utf16_win32.h"

namespace platform {

// Windows accepts '/' too, but its file dialogs return '\', and the remembered folder keeps it.
const char kPathSeparator = '\\';

namespace {

// Tries at most this many temporary names before a save gives up.
constexpr int kTemporaryNameAttempts = 100;

// Bytes per ReadFile / WriteFile call, well inside the DWORD those calls count in.
constexpr std::size_t kChunk = 1u << 20;

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid()) return true;
        const bool ok = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

HANDLE openForReading(const std::string& path) {
    const auto wide = toUtf16(path);
    if (!wide || wide->empty()) return INVALID_HANDLE_VALUE;
    return CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads from the start of the file until `size` bytes or its end; the bytes read, or nothing
// when it cannot be opened or read.
std::optional<std::vector<unsigned char>> readUpTo(const std::string& path, std::size_t size) {
    FileHandle file(openForReading(path));
    if (!file.valid()) return std::nullopt;
    std::vector<unsigned char> bytes(size);
    std::size_t got = 0;
    while (got < size) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min(size - got, kChunk));
        if (!ReadFile(file.get(), bytes.data() + got, want, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        got += read;
    }
    bytes.resize(got);
    return bytes;
}

bool writeAll(HANDLE file, const unsigned char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD want = static_cast<DWORD>(std::min(size, kChunk));
        if (!WriteFile(file, data, want, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// A name beside the target that no other save, in this process or another, uses at the same time.
std::wstring temporaryName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    return target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

std::string workingDirectory() {
    wchar_t* wide = _wgetcwd(nullptr, 0);
    if (!wide) return {};
    const auto text = toUtf8(wide);
    std::free(wide);
    return text.value_or(std::string());
}

bool readFilePrefix(const std::string& path, void* buffer, std::size_t size) {
    const auto bytes = readUpTo(path, size);
    if (!bytes) return false;
    std::copy(bytes->begin(), bytes->end(), static_cast<unsigned char*>(buffer));
    return true;
}

bool readFileExactly(const std::string& path, void* buffer, std::size_t size) {
    const auto bytes = readUpTo(path, size + 1);
    if (!bytes || bytes->size() != size) return false;
    std::copy(bytes->begin(), bytes->end(), static_cast<unsigned char*>(buffer));
    return true;
}

std::optional<std::string> readSmallTextFile(const std::string& path, std::size_t maxSize) {
    const auto bytes = readUpTo(path, maxSize + 1);
    if (!bytes || bytes->size() > maxSize) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

bool writeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    const auto target = toUtf16(path);
    if (!target || target->empty()) return false;
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const std::wstring temporary = temporaryName(*target);
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file.valid()) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return false;
        }
        bool ok = writeAll(file.get(), static_cast<const unsigned char*>(data), size) &&
                  FlushFileBuffers(file.get()) != 0;
        ok = file.close() && ok;
        // Replaces the old file in one step and returns only once the move is on disk.
        if (ok) {
            ok = MoveFileExW(temporary.c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        }
        if (!ok) DeleteFileW(temporary.c_str());
        return ok;
    }
    return false;
}

bool makeFolders(const std::string& path) {
    const auto wide = toUtf16(path);
    if (!wide || wide->empty()) return false;
    // A share's name (\\server\share) is no folder to create: start past it.
    std::size_t start = 1;
    if (wide->size() > 2 && isSeparator((*wide)[0]) && isSeparator((*wide)[1])) {
        int separators = 0;
        for (start = 2; start < wide->size() && separators < 2; ++start) {
            if (isSeparator((*wide)[start])) ++separators;
        }
    }
    for (std::size_t i = start; i <= wide->size(); ++i) {
        if (i < wide->size() && !isSeparator((*wide)[i])) continue;
        const std::wstring prefix = wide->substr(0, i);
        // Drive names ("C:") and folders that exist already need nothing.
        if (isFolder(prefix)) continue;
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return isFolder(*wide);
}

bool removeFile(const std::string& path) {
    const auto wide = toUtf16(path);
    if (!wide || wide->empty()) return false;
    if (DeleteFileW(wide->c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace platform
