// Windows bitmap resources as the toolkit decodes them: row order, bit depths and alpha.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "gui/pixel_surface.h"
#include "gui/win32/packed_dib.h"

namespace {

void put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 2 x 2 DIB: the header (40 bytes, or 124 with masks), then the rows as given.
std::vector<unsigned char> dib(int bits, std::int32_t height, bool withAlphaMask, const std::vector<unsigned char>& rows) {
    const std::size_t header = withAlphaMask ? 124 : 40;
    std::vector<unsigned char> out(header);
    put32(out, 0, static_cast<std::uint32_t>(header));
    put32(out, 4, 2);
    put32(out, 8, static_cast<std::uint32_t>(height));
    out[12] = 1;
    out[14] = static_cast<unsigned char>(bits);
    if (withAlphaMask) {
        put32(out, 16, 3);  // bit fields
        put32(out, 40, 0x00ff0000);
        put32(out, 44, 0x0000ff00);
        put32(out, 48, 0x000000ff);
        put32(out, 52, 0xff000000);
    }
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

}  // namespace

TEST(PackedDib, RowsBitDepthsAndAlpha) {
    // 24 bits, bottom-up, rows padded to 4 bytes: the first row in memory is the lowest.
    const std::vector<unsigned char> bottomUp = dib(24, 2, false, {10, 20, 30, 40, 50, 60, 0, 0,      // lower row
                                                                   1, 2, 3, 4, 5, 6, 0, 0});          // upper row
    auto a = decodePackedDib(bottomUp.data(), bottomUp.size());
    ASSERT_TRUE(a);
    EXPECT_EQ(a->getPixel(0, 0), CColor(3, 2, 1, 255));  // B, G, R in memory
    EXPECT_EQ(a->getPixel(1, 1), CColor(60, 50, 40, 255));

    // 32 bits top-down with an alpha mask: straight alpha kept (premultiplied inside).
    const std::vector<unsigned char> topDown = dib(32, -2, true, {0, 0, 255, 255, 0, 0, 255, 128,
                                                                 0, 255, 0, 0, 255, 255, 255, 255});
    auto b = decodePackedDib(topDown.data(), topDown.size());
    ASSERT_TRUE(b);
    EXPECT_EQ(b->getPixel(0, 0), CColor(255, 0, 0, 255));
    EXPECT_EQ(b->pixels().word(1, 0), 0x80800000u);
    EXPECT_EQ(b->getPixel(0, 1).alpha, 0);
    EXPECT_EQ(b->getPixel(1, 1), CColor(255, 255, 255, 255));

    // Truncated pixels or header, and depths the artwork never uses, are refused.
    EXPECT_EQ(decodePackedDib(bottomUp.data(), bottomUp.size() - 1), nullptr);
    EXPECT_EQ(decodePackedDib(bottomUp.data(), 20), nullptr);
    std::vector<unsigned char> eightBit = bottomUp;
    eightBit[14] = 8;
    EXPECT_EQ(decodePackedDib(eightBit.data(), eightBit.size()), nullptr);
}

// Bit-field masks are read where they lie: after a plain 40-byte header, or inside a header
// long enough to hold them (52 bytes and more). A header of 41 to 51 bytes is neither and is
// refused rather than read past its end (here, past the end of the data).
TEST(PackedDib, MasksAreReadOnlyWhereTheHeaderHoldsThem) {
    for (std::uint32_t header = 41; header <= 56; ++header) {
        std::vector<unsigned char> bytes(header + 4);  // one 32-bit pixel follows the header
        put32(bytes, 0, header);
        put32(bytes, 4, 1);
        put32(bytes, 8, 1);
        bytes[12] = 1;
        bytes[14] = 32;
        put32(bytes, 16, 3);  // bit fields
        if (header >= 52) {
            put32(bytes, 40, 0x00ff0000);
            put32(bytes, 44, 0x0000ff00);
            put32(bytes, 48, 0x000000ff);
        }
        put32(bytes, header, 0x00ff0000);
        const auto surface = decodePackedDib(bytes.data(), bytes.size());
        if (header < 52) {
            EXPECT_EQ(surface, nullptr) << header;
        } else {
            ASSERT_TRUE(surface) << header;
            EXPECT_EQ(surface->getPixel(0, 0), CColor(255, 0, 0, 255)) << header;
        }
    }
}
