// The parts of CDrawContext that every drawing backend shares.
#include "gui/cdrawcontext.h"

#include <algorithm>

void CDrawContext::setGlobalAlpha(float alpha) { globalAlpha = std::clamp(alpha, 0.0f, 1.0f); }

void CDrawContext::setFont(const CFontDesc* newFont, CCoord size, std::int32_t style) {
    if (newFont) font = *newFont;
    if (size > 0) font.setSize(size);
    if (style >= 0) font.setStyle(style);
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    return clip;
}

void CDrawContext::resetClipRect() { setClipRect(CRect(0, 0, getWidth(), getHeight())); }

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
