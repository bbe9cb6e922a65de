// A class ID as hosts print it: the 32 upper-case hex digits of its four words, first word
// first, whatever the system's layout of the 16 bytes. Hosts match snapshot file names and the
// module information against this text.
#pragma once

#include <string>

#include "vst3/base_interfaces.h"

namespace vst3 {

inline std::string idText(const char* bytes) {
    uint32 words[4];
    loadIdWords(bytes, words);
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const uint32 word : words)
        for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(word >> shift) & 0xF];
    return text;
}

}  // namespace vst3
