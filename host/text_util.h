// Small text helpers of the host: trimming the padding plug-ins put around their texts,
// case-insensitive matching, strict number parsing and the four-character ID form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// The text without leading and trailing white space (plug-ins pad names and labels).
std::string trimmed(std::string_view text);

// ASCII case-insensitive equality; plug-in names are plain ASCII.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// The whole text as a finite float; nothing for empty text, trailing characters, NaN,
// infinities or values that do not fit a float.
std::optional<float> parseFiniteFloat(std::string_view text);

// The whole text as a finite double, with the same rules.
std::optional<double> parseFiniteDouble(std::string_view text);

// The whole text as a non-negative decimal integer (digits only, no sign).
std::optional<std::int64_t> parseIndex(std::string_view text);

// A unique ID as its four characters, first from the high byte; bytes that are not
// printable ASCII show as '.'.
std::string fourCharText(std::int32_t id);

// "0x" and eight upper-case hex digits.
std::string hexWord(std::uint32_t word);

}  // namespace host
