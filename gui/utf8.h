// UTF-8 text as the toolkit edits and draws it. A byte that does not start a well-formed
// sequence counts as one character of its own, so text in an older 8-bit encoding still
// edits and shows character by character instead of being refused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

// Bytes taken by the character that starts at `pos` (1 to 4; 0 at or past the end).
std::size_t charLength(std::string_view text, std::size_t pos);

// The character boundary after / before `pos` (clamped to 0 and the text's size).
std::size_t nextBoundary(std::string_view text, std::size_t pos);
std::size_t previousBoundary(std::string_view text, std::size_t pos);

// The longest prefix of at most maxBytes bytes that ends on a character boundary.
std::size_t prefixLength(std::string_view text, std::size_t maxBytes);

// Appends the encoding of a code point; false (nothing appended) for a surrogate or a value
// beyond U+10FFFF.
bool append(std::string& text, char32_t codePoint);

// The text as well-formed UTF-8: every byte that is not part of a well-formed sequence is
// read as the Latin-1 character of that value.
std::string wellFormed(std::string_view text);

}  // namespace utf8
