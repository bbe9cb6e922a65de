// Files on Windows. The program holds paths as UTF-8; every call here takes them as UTF-16
// through the wide API, so that folder and file names in any script work.
#include <direct.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cwchar>
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
// Paths from this length on are given to the file calls in their long form ("\\?\"): the
// plain form ends at MAX_PATH characters, and CreateDirectoryW keeps 12 of those for an
// 8.3 name.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;
// The target's name is cut to this many characters in the temporary name, so that the whole
// stays within the 255 characters a file name may have.
constexpr std::size_t kMaxNamePart = 200;
constexpr const wchar_t* kLongPrefix = L"\\\\?\\";
constexpr const wchar_t* kLongSharePrefix = L"\\\\?\\UNC\\";
constexpr std::size_t kDriveLength = 3;  // "C:\"

// Bytes per ReadFile / WriteFile call, well inside the DWORD those calls count in.
constexpr std::size_t kChunk = 1u << 20;

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The path as the file calls take it: short paths as they are, long ones in the long form made
// from the full path ("\\?\C:\..." or "\\?\UNC\server\share\..."). That form skips the
// calls' own clean-up, so the full path with its "." and ".." and '/' resolved goes into it.
std::wstring callPath(const std::wstring& path) {
    if (path.size() < kLongPathFrom || path.rfind(kLongPrefix, 0) == 0) return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return kLongSharePrefix + full.substr(2);
    return kLongPrefix + full;
}

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

// A path that is no UTF-8 or empty cannot name a file; the calls report it as a bad name.
std::optional<std::wstring> widePath(const std::string& path) {
    auto wide = toUtf16(path);
    if (!wide || wide->empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return std::nullopt;
    }
    return callPath(*wide);
}

HANDLE openForReading(const std::string& path) {
    const auto wide = widePath(path);
    if (!wide) return INVALID_HANDLE_VALUE;
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

// A name beside the target that no other save, in this process or another, uses at the same
// time, with the target's own name cut so that it stays a valid file name.
std::wstring temporaryName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    const std::size_t separator = target.find_last_of(L"\\/");
    const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    return target.substr(0, nameStart) + target.substr(nameStart, kMaxNamePart) + L"." +
           std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
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

Outcome readFilePrefix(const std::string& path, void* buffer, std::size_t size) {
    const auto bytes = readUpTo(path, size);
    if (!bytes) return lastSystemFailure();
    std::copy(bytes->begin(), bytes->end(), static_cast<unsigned char*>(buffer));
    return {};
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

Outcome writeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    const auto wide = toUtf16(path);
    if (!wide || wide->empty()) return systemFailure(ERROR_INVALID_NAME);
    const std::wstring target = callPath(*wide);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        // The temporary name is longer than the target's: it may need the long form alone.
        const std::wstring temporary = callPath(temporaryName(target));
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file.valid()) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return lastSystemFailure();
        }
        DWORD error = ERROR_SUCCESS;
        if (!writeAll(file.get(), static_cast<const unsigned char*>(data), size) || !FlushFileBuffers(file.get()))
            error = GetLastError();
        if (!file.close() && error == ERROR_SUCCESS) error = GetLastError();
        // Replaces the old file in one step and returns only once the move is on disk.
        if (error == ERROR_SUCCESS &&
            !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            error = GetLastError();
        if (error == ERROR_SUCCESS) return {};
        DeleteFileW(temporary.c_str());
        return systemFailure(static_cast<long>(error));
    }
    return systemFailure(ERROR_FILE_EXISTS);
}

Outcome makeFolders(const std::string& path) {
    const auto utf16 = toUtf16(path);
    if (!utf16 || utf16->empty()) return systemFailure(ERROR_INVALID_NAME);
    const std::wstring wide = callPath(*utf16);
    // Where the folders to create begin: past a long form's prefix and its drive ("C:\"), and
    // past a share's name (\\server\share), which is no folder to create.
    std::size_t start = 1;
    bool share = false;
    if (wide.rfind(kLongSharePrefix, 0) == 0) {
        start = std::wcslen(kLongSharePrefix);
        share = true;
    } else if (wide.rfind(kLongPrefix, 0) == 0) {
        start = std::wcslen(kLongPrefix) + kDriveLength;
    } else if (wide.size() > 2 && isSeparator(wide[0]) && isSeparator(wide[1])) {
        start = 2;
        share = true;
    }
    if (share) {
        int separators = 0;
        for (; start < wide.size() && separators < 2; ++start) {
            if (isSeparator(wide[start])) ++separators;
        }
    }
    for (std::size_t i = start; i <= wide.size(); ++i) {
        if (i < wide.size() && !isSeparator(wide[i])) continue;
        const std::wstring part = wide.substr(0, i);
        // Drive names ("C:") and folders that exist already need nothing.
        if (isFolder(part)) continue;
        if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return lastSystemFailure();
    }
    if (!isFolder(wide)) return systemFailure(ERROR_DIRECTORY);
    return {};
}

Outcome removeFile(const std::string& path) {
    const auto wide = widePath(path);
    if (!wide) return lastSystemFailure();
    if (DeleteFileW(wide->c_str())) return {};
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return systemFailure(static_cast<long>(error));
}

}  // namespace platform
