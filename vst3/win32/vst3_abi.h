// What the VST3 binary interface looks like on Windows: COM's calling convention (__stdcall,
// which differs from the default on 32-bit x86 only), COM's result numbers, interface IDs laid
// out as COM GUIDs, and views embedded into HWND windows.
#pragma once

#include <cstdint>

#define VST3_API __stdcall

namespace vst3 {

using tresult = std::int32_t;

inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);

// The 16 bytes of an ID written as four 32-bit words, as a GUID holds them: the first word
// low byte first, the second word's halves each low byte first with the high half leading,
// the last two words high byte first.
inline constexpr void storeIdWords(char* out, std::uint32_t l1, std::uint32_t l2, std::uint32_t l3, std::uint32_t l4) {
    const auto byte = [](std::uint32_t word, int shift) { return static_cast<char>((word >> shift) & 0xff); };
    out[0] = byte(l1, 0);
    out[1] = byte(l1, 8);
    out[2] = byte(l1, 16);
    out[3] = byte(l1, 24);
    out[4] = byte(l2, 16);
    out[5] = byte(l2, 24);
    out[6] = byte(l2, 0);
    out[7] = byte(l2, 8);
    const std::uint32_t tail[2] = {l3, l4};
    for (int w = 0; w < 2; ++w)
        for (int b = 0; b < 4; ++b) out[8 + 4 * w + b] = byte(tail[w], 24 - 8 * b);
}

// The four words back from the 16 bytes of an ID, as storeIdWords lays them out.
inline constexpr void loadIdWords(const char* in, std::uint32_t words[4]) {
    const auto at = [in](int i, int shift) { return std::uint32_t{static_cast<unsigned char>(in[i])} << shift; };
    words[0] = at(0, 0) | at(1, 8) | at(2, 16) | at(3, 24);
    words[1] = at(4, 16) | at(5, 24) | at(6, 0) | at(7, 8);
    for (int w = 0; w < 2; ++w) {
        words[2 + w] = 0;
        for (int b = 0; b < 4; ++b) words[2 + w] |= at(8 + 4 * w + b, 24 - 8 * b);
    }
}

// The window type a view is embedded into, and the one its parent handle stands for.
inline constexpr const char* kPlatformViewType = "HWND";

}  // namespace vst3
