// Windows bitmaps as a bitmap resource holds them: a packed DIB (the info header, any masks and
// palette, then the rows), without the file header of a .bmp file.
#pragma once

#include <cstddef>
#include <memory>

#include "gui/pixel_surface.h"

// Decodes 24- and 32-bit DIBs, uncompressed or with bit fields, rows bottom-up or top-down;
// 32-bit pixels keep their alpha where the header names an alpha mask (a version 4 or 5
// header), and are opaque otherwise. Null for anything else or a damaged header.
std::unique_ptr<PixelSurface> decodePackedDib(const unsigned char* data, std::size_t size);
