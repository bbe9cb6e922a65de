#include "platform/utf16_win32.h"

#include <windows.h>

#include <climits>

namespace platform {

std::optional<std::wstring> toUtf16(const std::string& text) {
    if (text.empty()) return std::wstring();
    if (text.size() > INT_MAX) return std::nullopt;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    return wide;
}

std::optional<std::string> toUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    if (text.size() > INT_MAX / 3) return std::nullopt;
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, narrow.data(), needed, nullptr,
                            nullptr) != needed) {
        return std::nullopt;
    }
    return narrow;
}

}  // namespace platform
