// A block of 32-bit RGBA pixels that the toolkit draws into: a frame's back buffer and the
// pixels of every bitmap. Its storage belongs to the drawing backend; this header names no
// backend type so that it can be shared by every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/ccolor.h"

// How a surface lays out its pixels in memory.
enum class PixelFormat {
    // One 32-bit word per pixel in the machine's byte order, 0xAARRGGBB, each colour already
    // multiplied by the alpha (so B, G, R, A bytes on a little-endian machine): cairo's ARGB32,
    // GDI+'s 32bppPARGB and a 32-bit top-down Windows DIB alike.
    premultipliedArgb32,
};

// Rows of pixels in memory: the first row at `data`, each `stride` bytes after the one above.
struct PixelView {
    const unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    PixelFormat format = PixelFormat::premultipliedArgb32;

    bool isValid() const { return data && width > 0 && height > 0 && stride >= 4 * static_cast<std::ptrdiff_t>(width); }
    // The pixel word at (x, y), which must lie inside.
    std::uint32_t word(int x, int y) const;
};

class PixelSurface {
public:
    struct Impl;

    // A fully transparent surface; invalid (0 x 0) when the size is not positive or the
    // memory cannot be had.
    PixelSurface(int width, int height);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    // Decodes PNG bytes; null when they are not a readable PNG.
    static std::unique_ptr<PixelSurface> fromPng(const unsigned char* data, std::size_t size);
    // A copy of pixels that a decoder produced; null when the view is not valid.
    static std::unique_ptr<PixelSurface> fromPixels(const PixelView& source);

    bool isValid() const;
    int getWidth() const;
    int getHeight() const;

    // The pixel at (x, y) with its alpha; transparent black outside the surface.
    CColor getPixel(int x, int y) const;

    // The pixels as drawn so far, for a window to copy to the screen whatever library draws
    // them. Valid until the next drawing or the surface's end; empty for an invalid surface.
    PixelView pixels() const;

    // PNG encoding of the whole surface: to bytes (empty on failure) or to a file.
    std::vector<unsigned char> encodePng() const;
    bool writePng(const char* path) const;

    Impl* impl() const { return pimpl.get(); }

private:
    explicit PixelSurface(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> pimpl;
};
