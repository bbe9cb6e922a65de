// What every drawing backend's PixelSurface shares: reading pixels through the pixel view.
#include "gui/pixel_surface.h"

#include <cstring>

std::uint32_t PixelView::word(int x, int y) const {
    std::uint32_t value;
    std::memcpy(&value, data + y * stride + static_cast<std::ptrdiff_t>(x) * 4, sizeof value);
    return value;
}

CColor PixelSurface::getPixel(int x, int y) const {
    const PixelView view = pixels();
    if (!view.isValid() || x < 0 || y < 0 || x >= view.width || y >= view.height) return CColor(0, 0, 0, 0);
    const std::uint32_t argb = view.word(x, y);
    const unsigned a = argb >> 24;
    if (a == 0) return CColor(0, 0, 0, 0);
    // Undo the premultiplication, rounding to the nearest 8-bit value.
    auto channel = [a](unsigned premultiplied) {
        return static_cast<std::uint8_t>((premultiplied * 255 + a / 2) / a);
    };
    return CColor(channel((argb >> 16) & 0xff), channel((argb >> 8) & 0xff), channel(argb & 0xff),
                  static_cast<std::uint8_t>(a));
}
