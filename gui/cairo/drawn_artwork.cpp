// The artwork at screen scales above 100 %: drawn by the same drawing code that made the
// embedded pictures, with the cairo the library links anyway, once per scale and process.
#include <cairo.h>

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "gui/cairo/cairo_pixel_surface.h"
#include "gui/pixel_scale.h"
#include "gui/resource_pixels.h"
#include "resources/artwork/catalogue.h"

namespace {

using Pictures = std::vector<std::pair<int, std::unique_ptr<PixelSurface>>>;

// A picture as premultiplied ARGB pixels: pictures without alpha become opaque.
std::unique_ptr<PixelSurface> toPixelSurface(cairo_surface_t* drawn) {
    const int width = cairo_image_surface_get_width(drawn);
    const int height = cairo_image_surface_get_height(drawn);
    auto result = std::make_unique<PixelSurface>(width, height);
    cairo_surface_t* target = cairoSurfaceOf(*result);
    if (!target) return nullptr;
    cairo_t* cr = cairo_create(target);
    cairo_set_source_surface(cr, drawn, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target);
    return result;
}

std::unique_ptr<PixelSurface> copyOf(const PixelSurface& picture) { return PixelSurface::fromPixels(picture.pixels()); }

}  // namespace

std::unique_ptr<PixelSurface> loadResourcePixels(int id, int percent) {
    if (percent == pixel_scale::kDefaultPercent) return loadResourcePixels(id);
    if (!pixel_scale::isOffered(percent)) return nullptr;
    // Editors open on the host's interface thread, but nothing stops a host from running two.
    static std::mutex mutex;
    static std::map<int, Pictures> drawn;
    const std::lock_guard<std::mutex> lock(mutex);
    auto found = drawn.find(percent);
    if (found == drawn.end()) {
        Pictures pictures;
        for (const artwork::Bitmap& bitmap : artwork::paintAllBitmaps(pixel_scale::factorOf(percent)))
            pictures.emplace_back(bitmap.id, toPixelSurface(bitmap.surface.get()));
        found = drawn.emplace(percent, std::move(pictures)).first;
    }
    for (const auto& [pictureId, picture] : found->second)
        if (pictureId == id && picture) return copyOf(*picture);
    return nullptr;
}
