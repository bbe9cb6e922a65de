#include "vst3/text16.h"

#include <cstring>

#include "gui/utf8.h"

namespace vst3 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kFirstSupplementary = 0x10000;

// The code point of the well-formed sequence at pos, and its length.
char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t& length) {
    length = utf8::charLength(text, pos);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    switch (length) {
        case 1: return byte(0);
        case 2: return (char32_t(byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
        case 3: return (char32_t(byte(0) & 0x0F) << 12) | (char32_t(byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        case 4:
            return (char32_t(byte(0) & 0x07) << 18) | (char32_t(byte(1) & 0x3F) << 12) |
                   (char32_t(byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
        default: return kReplacement;
    }
}

}  // namespace

void copyToUtf16(std::string_view text, char16_t* out, std::size_t capacity) {
    if (!out || capacity == 0) return;
    const std::string clean = utf8::wellFormed(text);
    std::size_t used = 0;
    for (std::size_t pos = 0; pos < clean.size();) {
        std::size_t length = 0;
        const char32_t c = decodeAt(clean, pos, length);
        pos += length ? length : 1;
        const std::size_t units = c >= kFirstSupplementary ? 2 : 1;
        if (used + units >= capacity) break;
        if (units == 2) {
            const char32_t v = c - kFirstSupplementary;
            out[used++] = static_cast<char16_t>(0xD800 + (v >> 10));
            out[used++] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out[used++] = static_cast<char16_t>(c);
        }
    }
    out[used] = 0;
}

std::string utf16ToUtf8(const char16_t* text, std::size_t maxUnits) {
    std::string result;
    if (!text) return result;
    for (std::size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxUnits && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = kFirstSupplementary + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;
        }
        utf8::append(result, c);
    }
    return result;
}

void copyAscii(std::string_view text, char* out, std::size_t size) {
    if (!out || size == 0) return;
    std::memset(out, 0, size);
    std::memcpy(out, text.data(), text.size() < size ? text.size() : size - 1);
}

}  // namespace vst3
