// The pixels of a PixelSurface on Windows: plain memory in the layout that GDI+ calls
// 32bppPARGB, so that GDI+ draws into it in place and a window copies it to the screen as a
// 32-bit DIB. For the backend files only.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/pixel_surface.h"

struct PixelSurface::Impl {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint32_t[]> words;  // rows of `width` premultiplied 0xAARRGGBB words

    Impl() = default;
    Impl(int w, int h);
    bool isValid() const { return words != nullptr; }
    std::uint32_t* row(int y) const { return words.get() + static_cast<std::ptrdiff_t>(y) * width; }
    std::ptrdiff_t stride() const { return static_cast<std::ptrdiff_t>(width) * 4; }
};

inline PixelSurface::Impl* pixelsOf(const PixelSurface& s) { return s.impl(); }
