// The artwork embedded in the library as PNG files (resources/).
#include "gui/resource_pixels.h"
#include "resources/resources.h"

std::unique_ptr<PixelSurface> loadResourcePixels(int id) {
    const resources::Resource res = resources::find(id);
    return PixelSurface::fromPng(res.data, res.size);
}
