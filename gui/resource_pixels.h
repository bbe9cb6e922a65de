// The pixels of the artwork under a resource id, wherever this system's build keeps it: PNG
// files embedded in the Linux library, the module's own bitmap and PNG resources on Windows.
#pragma once

#include <memory>

#include "gui/pixel_surface.h"

// Null when no picture has that id or it cannot be read.
std::unique_ptr<PixelSurface> loadResourcePixels(int id);

// The same picture drawn for a screen scale (percent, one of pixel_scale::kPercents): as many
// pixels as the 100 % picture's size times the scale, rounded, a stacked bitmap's sub-images
// each as high as its control's rounded height. 100 gives the picture above. Null when no
// picture has that id or that scale is not offered. A backend that makes all pictures of a
// scale at once keeps them while any one of them is held (picture_cache.h holds them).
std::shared_ptr<const PixelSurface> loadResourcePixels(int id, int percent);
