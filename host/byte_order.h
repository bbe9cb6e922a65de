// 32-bit words and floats in byte images whose byte order is that of whoever wrote them.
// Images are read and written byte by byte, so nothing here assumes alignment.
#pragma once

#include <cstdint>
#include <cstring>

namespace host {

// b0 b1 b2 b3 -> b3 b2 b1 b0; applying it twice gives the word back.
constexpr std::uint32_t reverseBytes(std::uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0x0000FF00u) | ((word << 8) & 0x00FF0000u) | (word << 24);
}

// The word at p as this machine reads it.
inline std::uint32_t loadWord(const unsigned char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

inline void storeWord(unsigned char* p, std::uint32_t word) { std::memcpy(p, &word, sizeof word); }

// The float at p; reversed says that its writer used the other byte order.
inline float loadFloat(const unsigned char* p, bool reversed) {
    std::uint32_t word = loadWord(p);
    if (reversed) word = reverseBytes(word);
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

inline void storeFloat(unsigned char* p, float value) { std::memcpy(p, &value, sizeof value); }

}  // namespace host
