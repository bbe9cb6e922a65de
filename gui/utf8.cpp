#include "gui/utf8.h"

namespace utf8 {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed sequence at pos, or 0 when the bytes there do not form one
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate, too large).
std::size_t sequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) return 1;
    std::size_t length;
    char32_t codePoint;
    char32_t smallest;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(byte)) return 0;
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    if (codePoint < smallest || codePoint > kLastCodePoint) return 0;
    if (codePoint >= kFirstSurrogate && codePoint <= kLastSurrogate) return 0;
    return length;
}

}  // namespace

std::size_t charLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    const std::size_t length = sequenceLength(text, pos);
    return length == 0 ? 1 : length;
}

std::size_t nextBoundary(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return text.size();
    return pos + charLength(text, pos);
}

std::size_t previousBoundary(std::string_view text, std::size_t pos) {
    if (pos > text.size()) pos = text.size();
    // Names and fields are short: walking from the start finds the boundary for certain,
    // whatever mixture of sequences and stray bytes lies before it.
    std::size_t boundary = 0;
    for (std::size_t at = 0; at < pos; at = nextBoundary(text, at)) boundary = at;
    return boundary;
}

std::size_t prefixLength(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = nextBoundary(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return end;
}

bool append(std::string& text, char32_t c) {
    if (c > kLastCodePoint || (c >= kFirstSurrogate && c <= kLastSurrogate)) return false;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return true;
}

std::string wellFormed(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t length = sequenceLength(text, pos);
        if (length == 0) {
            append(result, static_cast<unsigned char>(text[pos]));
            ++pos;
        } else {
            result.append(text.substr(pos, length));
            pos += length;
        }
    }
    return result;
}

}  // namespace utf8
