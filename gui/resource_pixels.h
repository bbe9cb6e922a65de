// The pixels of the artwork under a resource id, wherever this system's build keeps it: PNG
// files embedded in the Linux library, the module's own bitmap and PNG resources on Windows.
#pragma once

#include <memory>

#include "gui/pixel_surface.h"

// Null when no picture has that id or it cannot be read.
std::unique_ptr<PixelSurface> loadResourcePixels(int id);
