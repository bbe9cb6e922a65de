// Texts between the plug-in's UTF-8 and the UTF-16 of the VST3 interface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vst3 {

// Writes text as zero-terminated UTF-16 into out[0..capacity), cut between characters where it
// does not fit. Bytes that are not well-formed UTF-8 are read as Latin-1 characters.
void copyToUtf16(std::string_view text, char16_t* out, std::size_t capacity);

// A zero-terminated UTF-16 text of at most maxUnits units as UTF-8; unpaired surrogates become
// U+FFFD.
std::string utf16ToUtf8(const char16_t* text, std::size_t maxUnits);

// Copies at most size - 1 bytes of text and a zero into out (zero-filled to the end).
void copyAscii(std::string_view text, char* out, std::size_t size);

}  // namespace vst3
