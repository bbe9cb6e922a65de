#include "resources/artwork/bmp.h"

#include <cstdint>
#include <cstring>

namespace artwork {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr std::uint32_t kV5HeaderSize = 124;    // BITMAPV5HEADER, for the alpha mask
constexpr std::uint32_t kRgb = 0;               // BI_RGB
constexpr std::uint32_t kBitFields = 3;         // BI_BITFIELDS
constexpr std::uint32_t kSrgbSpace = 0x73524742;  // 'sRGB'
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

// The pixel at (x, y) as straight (not premultiplied) 8-bit channels.
struct Rgba {
    unsigned char r, g, b, a;
};

Rgba pixelAt(const unsigned char* data, int stride, int x, int y, bool withAlpha) {
    std::uint32_t argb;
    std::memcpy(&argb, data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4, 4);
    const unsigned a = withAlpha ? argb >> 24 : 255;
    auto straight = [a](unsigned premultiplied) {
        return static_cast<unsigned char>(a == 0 ? 0 : (premultiplied * 255 + a / 2) / a);
    };
    return {straight((argb >> 16) & 0xff), straight((argb >> 8) & 0xff), straight(argb & 0xff),
            static_cast<unsigned char>(a)};
}

}  // namespace

std::vector<unsigned char> encodeBmp(cairo_surface_t* surface) {
    std::vector<unsigned char> out;
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return out;
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return out;
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);

    bool transparent = false;
    if (format == CAIRO_FORMAT_ARGB32)
        for (int y = 0; y < height && !transparent; ++y)
            for (int x = 0; x < width && !transparent; ++x)
                transparent = pixelAt(data, stride, x, y, true).a != 255;

    const std::uint32_t headerSize = transparent ? kV5HeaderSize : kInfoHeaderSize;
    const int bytesPerPixel = transparent ? 4 : 3;
    const std::uint32_t rowSize = (static_cast<std::uint32_t>(width * bytesPerPixel) + 3) & ~3u;  // 4-byte rows
    const std::uint32_t pixelOffset = static_cast<std::uint32_t>(kFileHeaderSize) + headerSize;
    const std::uint32_t imageSize = rowSize * static_cast<std::uint32_t>(height);

    out.reserve(pixelOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, pixelOffset + imageSize);
    put32(out, 0);  // reserved
    put32(out, pixelOffset);

    put32(out, headerSize);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
    put16(out, 1);                                   // planes
    put16(out, static_cast<std::uint16_t>(bytesPerPixel * 8));
    put32(out, transparent ? kBitFields : kRgb);
    put32(out, imageSize);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0);  // colours used
    put32(out, 0);  // important colours
    if (transparent) {
        put32(out, 0x00ff0000);  // red mask
        put32(out, 0x0000ff00);  // green
        put32(out, 0x000000ff);  // blue
        put32(out, 0xff000000);  // alpha
        put32(out, kSrgbSpace);
        out.insert(out.end(), 36, 0);  // colour-space end points, unused for sRGB
        put32(out, 0);                 // gamma red, green, blue
        put32(out, 0);
        put32(out, 0);
        put32(out, 4);  // intent: LCS_GM_IMAGES
        put32(out, 0);  // profile data
        put32(out, 0);  // profile size
        put32(out, 0);  // reserved
    }

    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < width; ++x) {
            const Rgba p = pixelAt(data, stride, x, y, format == CAIRO_FORMAT_ARGB32);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
            if (transparent) out.push_back(p.a);
        }
        out.resize(rowStart + rowSize, 0);
    }
    return out;
}

}  // namespace artwork
