// Drawing onto a PixelSurface: rectangles, lines, bitmap pieces and text, all in the
// surface's pixel coordinates, with a clip rectangle and a global alpha. The drawing backend
// lives behind an opaque pointer so that this header stays free of platform types.
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

    explicit CDrawContext(PixelSurface& surface);
    ~CDrawContext();
    CDrawContext(const CDrawContext&) = delete;
    CDrawContext& operator=(const CDrawContext&) = delete;

    CCoord getWidth() const;
    CCoord getHeight() const;

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

    // Pixels of `source` starting at `offset`, unscaled, into `dest` (used by CBitmap).
    void drawPixels(const PixelSurface& source, const CRect& dest, const CPoint& offset, float alpha);

    // Saves and restores clip, colours, font, line width, draw mode and alpha.
    void saveGlobalState();
    void restoreGlobalState();

private:
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
    std::vector<SavedState> saved;
    CColor frameColor = kBlackCColor;
    CColor fillColor = kWhiteCColor;
    CColor fontColor = kWhiteCColor;
    CCoord lineWidth = 1;
    CDrawMode drawMode = kAliasing;
    float globalAlpha = 1.0f;
    CFontDesc font{"Arial", 12};
    CRect clipRect;
    CPoint penPosition;
};
