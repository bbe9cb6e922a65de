// Win32 calls and the registry report their errors through GetLastError or their return
// value, never through errno: the message is the system's own, in the user's language.
#include <windows.h>

#include <string>

#include "platform/failure.h"
#include "platform/utf16_win32.h"

namespace platform {

namespace {

FailureKind kindOf(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FailureKind::diskFull;
    case ERROR_FILE_TOO_LARGE:
        return FailureKind::fileTooLarge;
    case ERROR_WRITE_PROTECT:
        return FailureKind::readOnly;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return FailureKind::noAccess;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return FailureKind::notFound;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
        return FailureKind::nameTooLong;
    case ERROR_DIRECTORY:
        return FailureKind::isFolder;
    default:
        return FailureKind::other;
    }
}

// The system's text for the code, without its line end; its number where it has none.
std::string messageOf(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring wide = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) wide.pop_back();
    const std::string text = toUtf8(wide).value_or(std::string());
    return text.empty() ? "system error " + std::to_string(error) : text;
}

}  // namespace

Failure lastSystemFailure() { return systemFailure(static_cast<long>(GetLastError())); }

Failure systemFailure(long code) {
    const auto error = static_cast<DWORD>(code);
    return {kindOf(error), messageOf(error)};
}

}  // namespace platform
