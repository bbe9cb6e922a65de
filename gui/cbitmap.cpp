#include "gui/cbitmap.h"

#include "gui/cdrawcontext.h"
#include "gui/pixel_surface.h"
#include "resources/resources.h"

CBitmap::CBitmap(const CResourceDescription& desc) : resourceId(desc.id()) {
    const resources::Resource res = resources::find(desc.id());
    pixels = PixelSurface::fromPng(res.data, res.size);
}

CBitmap::CBitmap(const unsigned char* pngData, std::size_t size) : pixels(PixelSurface::fromPng(pngData, size)) {}

CBitmap::~CBitmap() = default;

bool CBitmap::isLoaded() const { return pixels && pixels->isValid(); }

CCoord CBitmap::getWidth() const { return isLoaded() ? pixels->getWidth() : 0; }

CCoord CBitmap::getHeight() const { return isLoaded() ? pixels->getHeight() : 0; }

void CBitmap::draw(CDrawContext* context, const CRect& destRect, const CPoint& offset, float alpha) {
    if (context && isLoaded()) context->drawPixels(*pixels, destRect, offset, alpha);
}
