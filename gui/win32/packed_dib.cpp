#include "gui/win32/packed_dib.h"

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kMaskBytes = 12;       // red, green and blue masks
constexpr std::uint32_t kV4HeaderSize = 108;   // BITMAPV4HEADER and later carry the masks
constexpr std::uint32_t kUncompressed = 0;     // BI_RGB
constexpr std::uint32_t kBitFields = 3;        // BI_BITFIELDS
constexpr int kLargestSide = 16384;

std::uint32_t read32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

int shiftOf(std::uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1u)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// An 8-bit channel of a pixel through its mask; masks narrower than 8 bits are widened.
unsigned channel(std::uint32_t pixel, std::uint32_t mask) {
    if (!mask) return 0;
    const int shift = shiftOf(mask);
    const std::uint32_t top = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return top == 255 ? value : static_cast<unsigned>((value * 255 + top / 2) / top);
}

unsigned premultiply(unsigned c, unsigned a) {
    const unsigned t = c * a + 0x80;
    return ((t >> 8) + t) >> 8;
}

}  // namespace

std::unique_ptr<PixelSurface> decodePackedDib(const unsigned char* data, std::size_t size) {
    if (!data || size < kInfoHeaderSize) return nullptr;
    const std::uint32_t headerSize = read32(data);
    const auto width = static_cast<std::int32_t>(read32(data + 4));
    const auto signedHeight = static_cast<std::int32_t>(read32(data + 8));
    const unsigned bits = static_cast<unsigned>(data[14]) | static_cast<unsigned>(data[15]) << 8;
    const std::uint32_t compression = read32(data + 16);
    const std::uint32_t coloursUsed = read32(data + 32);
    if (headerSize < kInfoHeaderSize || headerSize > size || width <= 0 || width > kLargestSide ||
        signedHeight == 0 || signedHeight < -kLargestSide || signedHeight > kLargestSide)
        return nullptr;
    if (bits != 24 && bits != 32) return nullptr;
    if (compression != kUncompressed && !(compression == kBitFields && bits == 32)) return nullptr;
    const bool topDown = signedHeight < 0;
    const int height = topDown ? -signedHeight : signedHeight;

    std::uint32_t red = 0xff0000, green = 0xff00, blue = 0xff, alpha = 0;
    std::size_t offset = headerSize;
    if (compression == kBitFields) {
        const unsigned char* masks = data + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            if (size < offset + kMaskBytes) return nullptr;
            offset += kMaskBytes;  // the three masks follow the plain header
        } else if (headerSize < kInfoHeaderSize + kMaskBytes) {
            return nullptr;  // a header too long to be the plain one and too short to hold the masks
        }
        red = read32(masks);
        green = read32(masks + 4);
        blue = read32(masks + 8);
        if (headerSize >= kV4HeaderSize) alpha = read32(masks + 12);
    } else if (headerSize >= kV4HeaderSize && bits == 32) {
        alpha = read32(data + kInfoHeaderSize + 12);
    }
    if (coloursUsed > 256) return nullptr;
    offset += static_cast<std::size_t>(coloursUsed) * 4;  // a palette the pixels do not use
    const std::size_t rowSize = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (offset > size || (size - offset) / rowSize < static_cast<std::size_t>(height)) return nullptr;

    std::vector<std::uint32_t> words(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + offset + rowSize * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            unsigned r, g, b, a = 255;
            if (bits == 24) {
                const unsigned char* p = row + 3 * static_cast<std::size_t>(x);
                b = p[0];
                g = p[1];
                r = p[2];
            } else {
                const std::uint32_t pixel = read32(row + 4 * static_cast<std::size_t>(x));
                r = channel(pixel, red);
                g = channel(pixel, green);
                b = channel(pixel, blue);
                if (alpha) a = channel(pixel, alpha);
            }
            words[static_cast<std::size_t>(y) * width + x] =
                a << 24 | premultiply(r, a) << 16 | premultiply(g, a) << 8 | premultiply(b, a);
        }
    }
    PixelView view;
    view.data = reinterpret_cast<const unsigned char*>(words.data());
    view.width = width;
    view.height = height;
    view.stride = static_cast<std::ptrdiff_t>(width) * 4;
    return PixelSurface::fromPixels(view);
}

