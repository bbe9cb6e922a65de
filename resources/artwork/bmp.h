// Windows bitmap files of the pictures, for the DLL's bitmap resources: 24 bits per pixel for
// an opaque picture, 32 bits with an alpha mask (a version 5 header) for one that has
// transparent pixels. Rows run bottom-up, as in any plain bitmap file.
#pragma once

#include <cairo.h>

#include <vector>

namespace artwork {

// The file's bytes; empty when the surface is not an ARGB32 or RGB24 image.
std::vector<unsigned char> encodeBmp(cairo_surface_t* surface);

}  // namespace artwork
