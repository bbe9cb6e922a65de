// A block of 32-bit RGBA pixels that the toolkit draws into: a frame's back buffer and the
// pixels of every bitmap. Its storage belongs to the drawing backend; this header names no
// backend type so that it can be shared by every platform.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "gui/ccolor.h"

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

    bool isValid() const;
    int getWidth() const;
    int getHeight() const;

    // The pixel at (x, y) with its alpha; transparent black outside the surface.
    CColor getPixel(int x, int y) const;

    // PNG encoding of the whole surface: to bytes (empty on failure) or to a file.
    std::vector<unsigned char> encodePng() const;
    bool writePng(const char* path) const;

    Impl* impl() const { return pimpl.get(); }

private:
    explicit PixelSurface(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> pimpl;
};
