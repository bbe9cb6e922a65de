#include "gui/cbitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gui/cdrawcontext.h"
#include "gui/picture_cache.h"
#include "gui/pixel_scale.h"
#include "gui/pixel_surface.h"

namespace {

// Nearest-neighbour enlargement, for pictures that were not drawn at the scale asked for.
std::unique_ptr<PixelSurface> enlarged(const PixelSurface& source, double scale) {
    const PixelView from = source.pixels();
    if (!from.isValid()) return nullptr;
    const int width = pixel_scale::toPixels(from.width, scale);
    const int height = pixel_scale::toPixels(from.height, scale);
    std::vector<std::uint32_t> words(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            words[static_cast<std::size_t>(y) * width + x] =
                from.word(std::min(from.width - 1, static_cast<int>(x / scale)), std::min(from.height - 1, static_cast<int>(y / scale)));
    PixelView view;
    view.data = reinterpret_cast<const unsigned char*>(words.data());
    view.width = width;
    view.height = height;
    view.stride = static_cast<std::ptrdiff_t>(width) * 4;
    return PixelSurface::fromPixels(view);
}

// An offset into the 100 % picture as an offset into the scaled one. Where the scaled size is
// the 100 % size times the scale, rounded, offsets scale the same way; otherwise the picture is
// a stack of sub-images each rounded on its own, and offsets (whole sub-images) go by the
// ratio of the sizes.
CCoord scaledOffset(CCoord offset, CCoord size, int scaledSize, double scale) {
    if (size <= 0) return 0;
    if (scaledSize == pixel_scale::toPixels(size, scale)) return pixel_scale::toPixels(offset, scale);
    return std::floor(offset * scaledSize / size + 0.5);
}

}  // namespace

CBitmap::CBitmap(const CResourceDescription& desc)
    : resourceId(desc.id()), pixels(picture_cache::picture(desc.id(), pixel_scale::kDefaultPercent)) {}

CBitmap::CBitmap(const unsigned char* pngData, std::size_t size) : pixels(PixelSurface::fromPng(pngData, size)) {}

CBitmap::~CBitmap() = default;

bool CBitmap::isLoaded() const { return pixels && pixels->isValid(); }

CCoord CBitmap::getWidth() const { return isLoaded() ? pixels->getWidth() : 0; }

CCoord CBitmap::getHeight() const { return isLoaded() ? pixels->getHeight() : 0; }

const PixelSurface* CBitmap::getPixels(double scale) {
    if (!isLoaded()) return nullptr;
    const int percent = static_cast<int>(std::floor(scale * 100 + 0.5));
    if (percent == pixel_scale::kDefaultPercent) return pixels.get();
    if (percent == scaledPercent) return scaledPixels.get();
    // The pixels of the scale before are given back first: an editor that changed its size
    // no longer holds the old one's.
    scaledPixels.reset();
    scaledPixels = resourceId > 0 ? picture_cache::picture(resourceId, percent) : nullptr;
    if (!scaledPixels) scaledPixels = enlarged(*pixels, scale);
    scaledPercent = percent;
    return scaledPixels.get();
}

void CBitmap::draw(CDrawContext* context, const CRect& destRect, const CPoint& offset, float alpha) {
    if (!context || !isLoaded()) return;
    const double scale = context->getScale();
    if (scale == 1.0) {
        context->drawPixels(*pixels, destRect, offset, alpha);
        return;
    }
    const PixelSurface* scaled = getPixels(scale);
    if (!scaled) return;
    const CPoint at(scaledOffset(offset.x, getWidth(), scaled->getWidth(), scale),
                    scaledOffset(offset.y, getHeight(), scaled->getHeight(), scale));
    context->drawPixels(*scaled, destRect, at, alpha);
}
