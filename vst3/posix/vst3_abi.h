// What the VST3 binary interface looks like on systems other than Windows: the default calling
// convention, plain result numbers, interface IDs stored byte for byte as they are written, and
// views embedded into X11 windows.
#pragma once

#include <cstdint>

#define VST3_API

namespace vst3 {

using tresult = std::int32_t;

inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;

// The 16 bytes of an ID written as four 32-bit words: each word's bytes high first.
inline constexpr void storeIdWords(char* out, std::uint32_t l1, std::uint32_t l2, std::uint32_t l3, std::uint32_t l4) {
    const std::uint32_t words[4] = {l1, l2, l3, l4};
    for (int w = 0; w < 4; ++w)
        for (int b = 0; b < 4; ++b) out[4 * w + b] = static_cast<char>((words[w] >> (24 - 8 * b)) & 0xff);
}

// The four words back from the 16 bytes of an ID, as storeIdWords lays them out.
inline constexpr void loadIdWords(const char* in, std::uint32_t words[4]) {
    for (int w = 0; w < 4; ++w) {
        words[w] = 0;
        for (int b = 0; b < 4; ++b) words[w] = words[w] << 8 | static_cast<unsigned char>(in[4 * w + b]);
    }
}

// The window type a view is embedded into, and the one its parent handle stands for.
inline constexpr const char* kPlatformViewType = "X11EmbedWindowID";

}  // namespace vst3
