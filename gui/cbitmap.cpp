#include "gui/cbitmap.h"

#include "gui/cdrawcontext.h"
#include "gui/pixel_surface.h"
#include "gui/resource_pixels.h"

CBitmap::CBitmap(const CResourceDescription& desc) : resourceId(desc.id()), pixels(loadResourcePixels(desc.id())) {}

CBitmap::CBitmap(const unsigned char* pngData, std::size_t size) : pixels(PixelSurface::fromPng(pngData, size)) {}

CBitmap::~CBitmap() = default;

bool CBitmap::isLoaded() const { return pixels && pixels->isValid(); }

CCoord CBitmap::getWidth() const { return isLoaded() ? pixels->getWidth() : 0; }

CCoord CBitmap::getHeight() const { return isLoaded() ? pixels->getHeight() : 0; }

void CBitmap::draw(CDrawContext* context, const CRect& destRect, const CPoint& offset, float alpha) {
    if (context && isLoaded()) context->drawPixels(*pixels, destRect, offset, alpha);
}
