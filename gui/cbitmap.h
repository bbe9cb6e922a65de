// A reference-counted picture: the artwork embedded in the library under an integer id, or
// PNG bytes. Draws unscaled, honouring the PNG's alpha. Sizes and offsets are those of the
// 100 % picture; a context of another scale gets the artwork drawn for that scale.
#pragma once

#include <cstddef>
#include <memory>

#include "gui/cbaseobject.h"
#include "gui/cgeometry.h"

class CDrawContext;
class PixelSurface;

// Names a bitmap resource; only integer ids are used.
class CResourceDescription {
public:
    constexpr CResourceDescription(int id) : resourceId(id) {}
    constexpr int id() const { return resourceId; }

private:
    int resourceId;
};

class CBitmap : public CBaseObject {
public:
    // The embedded picture with this id; not loaded (0 x 0) when there is none.
    explicit CBitmap(const CResourceDescription& desc);
    // A picture decoded from PNG bytes; not loaded when they are not a readable PNG.
    CBitmap(const unsigned char* pngData, std::size_t size);
    ~CBitmap() override;

    bool isLoaded() const;
    CCoord getWidth() const;
    CCoord getHeight() const;
    int getResourceId() const { return resourceId; }

    // Draws the part of the picture that starts at pixel `offset` into `destRect`, its
    // offset pixel at the rectangle's top-left, clipped to the rectangle, multiplied by
    // `alpha` (1 = opaque).
    void draw(CDrawContext* context, const CRect& destRect, const CPoint& offset = CPoint(0, 0),
              float alpha = 1.0f);

    const PixelSurface* getPixels() const { return pixels.get(); }
    // The pixels for a screen scale: the artwork drawn at that scale, or for a picture that
    // has none, the 100 % pixels enlarged. Null when not loaded. The bitmap keeps the pixels
    // of the scale asked for last: valid until it is asked for another.
    const PixelSurface* getPixels(double scale);

private:
    int resourceId = -1;
    // The artwork's pixels are shared with every other bitmap of the same picture
    // (picture_cache.h); a picture from PNG bytes has its own.
    std::shared_ptr<const PixelSurface> pixels;
    int scaledPercent = 0;  // 0 while no scale but 100 % has been asked for
    std::shared_ptr<const PixelSurface> scaledPixels;
};
