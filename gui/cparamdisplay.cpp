#include "gui/cparamdisplay.h"

#include <cstdio>
#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cdrawcontext.h"

CParamDisplay::CParamDisplay(const CRect& size, CBitmap* bitmap, std::int32_t style)
    : CControl(size, nullptr, 0, bitmap), font(*kNormalFontSmall), style(style) {}

void CParamDisplay::getDisplayText(char (&text)[kStringSize]) const {
    std::memset(text, 0, sizeof text);
    if (stringConvert)
        stringConvert(getValue(), text);
    else
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(getValue()));
    // A conversion that writes to the very end still yields a terminated text.
    text[kStringSize - 1] = '\0';
}

void CParamDisplay::draw(CDrawContext* context) {
    if (style & kNoDrawStyle) return;
    char text[kStringSize];
    getDisplayText(text);
    drawBack(context);
    drawText(context, text);
}

void CParamDisplay::drawBack(CDrawContext* context) {
    if (background) {
        background->draw(context, size, backOffset);
        return;
    }
    if (!textTransparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
    }
    if (style & (k3DIn | k3DOut)) {
        // A one-pixel bevel: light on the lit edges, dark on the others.
        const CColor light = kWhiteCColor;
        const CColor dark(0, 0, 0, 128);
        const bool in = (style & k3DIn) != 0;
        const CCoord r = size.right - 1;
        const CCoord b = size.bottom - 1;
        context->setDrawMode(kAliasing);
        context->setFrameColor(in ? dark : light);
        context->drawLine(CPoint(size.left, b), CPoint(size.left, size.top));
        context->drawLine(CPoint(size.left, size.top), CPoint(r, size.top));
        context->setFrameColor(in ? light : dark);
        context->drawLine(CPoint(r, size.top + 1), CPoint(r, b));
        context->drawLine(CPoint(r, b), CPoint(size.left + 1, b));
    } else if (!(style & kNoFrame)) {
        context->setDrawMode(kAliasing);
        context->setFrameColor(frameColor);
        context->frameRect(size);
    }
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
    if ((style & kNoTextStyle) || !*text) return;
    context->setFont(&font);
    if (style & kShadowText) {
        CRect shadowRect = size;
        shadowRect.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadowRect, horiAlign, antialias);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, horiAlign, antialias);
}

void CParamDisplay::setFont(const CFontDesc* newFont) {
    if (!newFont) return;
    font = *newFont;
    setDirty(true);
}

void CParamDisplay::setFontColor(const CColor& color) {
    fontColor = color;
    setDirty(true);
}

void CParamDisplay::setBackColor(const CColor& color) {
    backColor = color;
    setDirty(true);
}

void CParamDisplay::setFrameColor(const CColor& color) {
    frameColor = color;
    setDirty(true);
}

void CParamDisplay::setShadowColor(const CColor& color) {
    shadowColor = color;
    setDirty(true);
}

void CParamDisplay::setHoriAlign(CHoriTxtAlign align) {
    horiAlign = align;
    setDirty(true);
}

void CParamDisplay::setStyle(std::int32_t newStyle) {
    style = newStyle;
    setDirty(true);
}

void CParamDisplay::setTextTransparency(bool transparent) {
    textTransparent = transparent;
    setDirty(true);
}

void CParamDisplay::setAntialias(bool state) {
    antialias = state;
    setDirty(true);
}

bool CParamDisplay::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CParamDisplay") == 0) || CControl::isTypeOf(type);
}
