// Drawing onto a PixelSurface: rectangles, lines, bitmap pieces and text, with a clip
// rectangle and a global alpha. Callers draw in window units (the pixels of the editor at
// 100 %); the context multiplies by its scale and lands every edge on a whole pixel, so a
// picture drawn at 200 % is as sharp as one drawn at 100 %. At scale 1 window units are the
// surface's pixels and nothing is rounded. The drawing backend lives behind an opaque pointer
// so that this header stays free of platform types.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gui/ccolor.h"
#include "gui/cfont.h"
#include "gui/cgeometry.h"
#include "gui/gui_constants.h"

class PixelSurface;

class CDrawContext {
public:
    struct Impl;

    explicit CDrawContext(PixelSurface& surface, double scale = 1.0);
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    // The surface's size in window units.
    CCoord getWidth() const;
    CCoord getHeight() const;
    // Surface pixels per window unit.
    double getScale() const { return scale; }
    // The surface pixels that a rectangle in window units covers: left and top rounded, width
    // and height rounded on their own, so equal rectangles cover equal pixels wherever they
    // lie. The same at scale 1.
    CRect toPixels(const CRect& rect) const;

    // Pens and brushes.
    void setFrameColor(const CColor& color) { frameColor = color; }
    const CColor& getFrameColor() const { return frameColor; }
    void setFillColor(const CColor& color) { fillColor = color; }
    const CColor& getFillColor() const { return fillColor; }
    void setFontColor(const CColor& color) { fontColor = color; }
    const CColor& getFontColor() const { return fontColor; }
    void setLineWidth(CCoord width) { lineWidth = width; }
    CCoord getLineWidth() const { return lineWidth; }
    // kAliasing keeps one-pixel lines and rectangle frames on whole pixels.
    void setDrawMode(CDrawMode mode) { drawMode = mode; }
    CDrawMode getDrawMode() const { return drawMode; }
    // Multiplies everything drawn afterwards (1 = opaque).
    void setGlobalAlpha(float alpha);
    float getGlobalAlpha() const { return globalAlpha; }

    // The font for drawString; size 0 keeps the font's own size and style -1 its own style.
    void setFont(const CFontDesc* font, CCoord size = 0, std::int32_t style = -1);
    const CFontDesc& getFont() const { return font; }

    // Clipping: everything drawn lands inside the clip rectangle (the whole surface when
    // reset).
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;
    void resetClipRect();

    // Shapes.
    void drawRect(const CRect& rect, CDrawStyle style = kDrawStroked);
    void fillRect(const CRect& rect) { drawRect(rect, kDrawFilled); }
    void frameRect(const CRect& rect) { drawRect(rect, kDrawStroked); }
    void drawLine(const CPoint& from, const CPoint& to);
    void moveTo(const CPoint& point) { penPosition = point; }
    void lineTo(const CPoint& point);
    // Fills (rect) with (color), replacing what is there, alpha included.
    void clearRect(const CRect& rect, const CColor& color);

    // Text, vertically centred in `rect` with the horizontal alignment given, clipped to
    // `rect`; anti-aliased unless told otherwise.
    void drawString(const char* text, const CRect& rect, CHoriTxtAlign align = kCenterText, bool antialias = true);
    CCoord getStringWidth(const char* text);

    // Pixels of `source` starting at `offset`, unscaled, into `dest` (used by CBitmap):
    // `dest` in window units, `offset` in the source's own pixels.
    void drawPixels(const PixelSurface& source, const CRect& dest, const CPoint& offset, float alpha);

    // Saves and restores clip, colours, font, line width, draw mode and alpha.
    void saveGlobalState();
    void restoreGlobalState();

private:
    // The backend's part: everything in surface pixels.
    CCoord pixelWidth() const;
    CCoord pixelHeight() const;
    void applyClip();
    void pixelRect(const CRect& rect, CDrawStyle style, CCoord width);
    void pixelLine(const CPoint& from, const CPoint& to, CCoord width);
    void pixelClear(const CRect& rect, const CColor& color);
    void pixelString(const char* text, const CRect& rect, CHoriTxtAlign align, bool antialias, const CFontDesc& face);
    CCoord pixelStringWidth(const char* text, const CFontDesc& face);
    void pixelCopy(const PixelSurface& source, const CRect& dest, const CPoint& offset, float alpha);

    CCoord toPixels(CCoord v) const;
    CPoint toPixels(const CPoint& p) const;
    CFontDesc scaledFont() const;
    CCoord scaledLineWidth() const;

    // What saveGlobalState() keeps; the same for every drawing backend.
    struct SavedState {
        CColor frameColor;
        CColor fillColor;
        CColor fontColor;
        CCoord lineWidth;
        CDrawMode drawMode;
        float globalAlpha;
        CFontDesc font;
        CRect clipRect;
    };

    std::unique_ptr<Impl> impl;
    double scale = 1.0;
    std::vector<SavedState> saved;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CCoord lineWidth = 1;
    CDrawMode drawMode = kAliasing;
    float globalAlpha = 1.0f;
    CFontDesc font{"Arial", 12};
    CRect clipRect;
    CRect pixelClip;  // clipRect in surface pixels, grown outward to whole pixels
    CPoint penPosition;
};
