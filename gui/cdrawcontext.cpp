// The parts of CDrawContext that every drawing backend shares: state, and the step from
// window units to surface pixels before the backend draws.
#include "gui/cdrawcontext.h"

#include <algorithm>
#include <cmath>

#include "gui/pixel_scale.h"

CCoord CDrawContext::getWidth() const { return scale == 1.0 ? pixelWidth() : pixelWidth() / scale; }

CCoord CDrawContext::getHeight() const { return scale == 1.0 ? pixelHeight() : pixelHeight() / scale; }

CCoord CDrawContext::toPixels(CCoord v) const { return scale == 1.0 ? v : pixel_scale::toPixels(v, scale); }

CPoint CDrawContext::toPixels(const CPoint& p) const { return CPoint(toPixels(p.x), toPixels(p.y)); }

CRect CDrawContext::toPixels(const CRect& rect) const {
    if (scale == 1.0) return rect;
    const CCoord left = toPixels(rect.left);
    const CCoord top = toPixels(rect.top);
    return CRect(left, top, left + toPixels(rect.getWidth()), top + toPixels(rect.getHeight()));
}

CFontDesc CDrawContext::scaledFont() const {
    CFontDesc face = font;
    if (scale != 1.0) face.setSize(font.getSize() * scale);
    return face;
}

// Lines stay whole pixels wide: a one-unit line is two pixels at 200 % and never thinner
// than one pixel.
CCoord CDrawContext::scaledLineWidth() const {
    if (scale == 1.0) return lineWidth;
    return std::max<CCoord>(1, toPixels(lineWidth));
}

void CDrawContext::setGlobalAlpha(float alpha) { globalAlpha = std::clamp(alpha, 0.0f, 1.0f); }

void CDrawContext::setFont(const CFontDesc* newFont, CCoord size, std::int32_t style) {
    if (newFont) font = *newFont;
    if (size > 0) font.setSize(size);
    if (style >= 0) font.setStyle(style);
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.bound(CRect(0, 0, getWidth(), getHeight()));
    if (scale == 1.0) {
        pixelClip = clipRect;
    } else {
        // Outward, so that nothing drawn in a rectangle inside the clip is cut off.
        pixelClip = CRect(std::floor(clipRect.left * scale), std::floor(clipRect.top * scale),
                          std::ceil(clipRect.right * scale), std::ceil(clipRect.bottom * scale));
        pixelClip.bound(CRect(0, 0, pixelWidth(), pixelHeight()));
    }
    applyClip();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    return clip;
}

void CDrawContext::resetClipRect() { setClipRect(CRect(0, 0, getWidth(), getHeight())); }

void CDrawContext::drawRect(const CRect& rect, CDrawStyle style) { pixelRect(toPixels(rect), style, scaledLineWidth()); }

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    const CCoord width = scaledLineWidth();
    CPoint a = toPixels(from);
    CPoint b = toPixels(to);
    if (scale != 1.0 && drawMode == kAliasing) {
        // The backend puts an aliased line half a pixel right of and below its points, which
        // covers one pixel; a wider line is moved on so that it covers the whole scaled
        // pixel of its window unit.
        const CCoord shift = width / 2 - 0.5;
        a.offset(shift, shift);
        b.offset(shift, shift);
    }
    pixelLine(a, b, width);
    penPosition = to;
}

void CDrawContext::lineTo(const CPoint& point) { drawLine(penPosition, point); }

void CDrawContext::clearRect(const CRect& rect, const CColor& color) { pixelClear(toPixels(rect), color); }

void CDrawContext::drawString(const char* text, const CRect& rect, CHoriTxtAlign align, bool antialias) {
    pixelString(text, toPixels(rect), align, antialias, scaledFont());
}

CCoord CDrawContext::getStringWidth(const char* text) {
    const CCoord width = pixelStringWidth(text, scaledFont());
    return scale == 1.0 ? width : width / scale;
}

void CDrawContext::drawPixels(const PixelSurface& source, const CRect& dest, const CPoint& offset, float alpha) {
    pixelCopy(source, toPixels(dest), offset, alpha);
}

void CDrawContext::saveGlobalState() {
    saved.push_back({frameColor, fillColor, fontColor, lineWidth, drawMode, globalAlpha, font, clipRect});
}

void CDrawContext::restoreGlobalState() {
    if (saved.empty()) return;
    const SavedState s = saved.back();
    saved.pop_back();
    frameColor = s.frameColor;
    fillColor = s.fillColor;
    fontColor = s.fontColor;
    lineWidth = s.lineWidth;
    drawMode = s.drawMode;
    globalAlpha = s.globalAlpha;
    font = s.font;
    setClipRect(s.clipRect);
}
