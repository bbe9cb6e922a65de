// A reference-counted picture: the artwork embedded in the library under an integer id, or
// PNG bytes. Draws unscaled, honouring the PNG's alpha.
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

private:
    int resourceId = -1;
    std::unique_ptr<PixelSurface> pixels;
};
