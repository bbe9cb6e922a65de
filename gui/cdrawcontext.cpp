// The parts of CDrawContext that every drawing backend shares.
#include "gui/cdrawcontext.h"

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
