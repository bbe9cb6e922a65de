// The artwork at screen scales above 100 %: drawn by the same drawing code that made the
// embedded pictures, with the cairo the library links anyway, once per scale for as long as
// some bitmap shows them.
#include <cairo.h>

#include <map>
#include <memory>
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

}  // namespace

std::shared_ptr<const PixelSurface> loadResourcePixels(int id, int percent) {
    if (percent == pixel_scale::kDefaultPercent) return loadResourcePixels(id);
    if (!pixel_scale::isOffered(percent)) return nullptr;
    // Editors open on the host's interface thread, but nothing stops a host from running two.
    static std::mutex mutex;
    // Each scale's pictures are drawn together and stay while any one of them is held.
    static std::map<int, std::weak_ptr<const Pictures>> drawn;
    const std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<const Pictures> pictures = drawn[percent].lock();
    if (!pictures) {
        auto painted = std::make_shared<Pictures>();
        for (const artwork::Bitmap& bitmap : artwork::paintAllBitmaps(pixel_scale::factorOf(percent)))
            painted->emplace_back(bitmap.id, toPixelSurface(bitmap.surface.get()));
        pictures = std::move(painted);
        drawn[percent] = pictures;
    }
    for (const auto& [pictureId, picture] : *pictures)
        if (pictureId == id && picture) return std::shared_ptr<const PixelSurface>(pictures, picture.get());
    return nullptr;
}
