// Conversions between the program's texts, UTF-8, and the UTF-16 texts of Windows' wide calls.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Nothing when the text is not valid UTF-8.
std::optional<std::wstring> toUtf16(const std::string& text);

// Nothing when the text is not valid UTF-16 (an unpaired surrogate).
std::optional<std::string> toUtf8(const std::wstring& text);

}  // namespace platform
