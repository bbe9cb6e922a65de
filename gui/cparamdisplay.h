// Shows a value as text: the text of a conversion function, or the value with two
// decimals. Draws over its background piece, or over a back colour with a frame when it has
// no background bitmap. It has no listener and does not handle the mouse.
#pragma once

#include <cstddef>

#include "gui/ccolor.h"
#include "gui/ccontrol.h"
#include "gui/cfont.h"

class CParamDisplay : public CControl {
public:
    // Writes the text for a value into a buffer of kStringSize bytes.
    using StringConvert = void (*)(float value, char* text);
    static constexpr std::size_t kStringSize = 256;

    CParamDisplay(const CRect& size, CBitmap* background = nullptr, std::int32_t style = 0);

    void draw(CDrawContext* context) override;

    void setStringConvert(StringConvert convert) { stringConvert = convert; }
    StringConvert getStringConvert() const { return stringConvert; }
    // The text shown for the current value (zero-terminated, at most kStringSize - 1 chars).
    void getDisplayText(char (&text)[kStringSize]) const;

    void setFont(const CFontDesc* newFont);
    const CFontDesc& getFont() const { return font; }
    void setFontColor(const CColor& color);
    const CColor& getFontColor() const { return fontColor; }
    void setBackColor(const CColor& color);
    const CColor& getBackColor() const { return backColor; }
    void setFrameColor(const CColor& color);
    const CColor& getFrameColor() const { return frameColor; }
    void setShadowColor(const CColor& color);
    const CColor& getShadowColor() const { return shadowColor; }
    void setHoriAlign(CHoriTxtAlign align);
    CHoriTxtAlign getHoriAlign() const { return horiAlign; }
    void setStyle(std::int32_t newStyle);
    std::int32_t getStyle() const { return style; }
    void setTextTransparency(bool transparent);
    bool getTextTransparency() const { return textTransparent; }
    void setAntialias(bool state);
    bool getAntialias() const { return antialias; }

    bool isTypeOf(const char* type) const override;
    CView* newCopy() const override { return new CParamDisplay(*this); }

protected:
    // Background piece, or back colour and frame.
    virtual void drawBack(CDrawContext* context);
    virtual void drawText(CDrawContext* context, const char* text);

    StringConvert stringConvert = nullptr;
    CFontDesc font;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    CHoriTxtAlign horiAlign = kCenterText;
    std::int32_t style;
    bool textTransparent = false;
    bool antialias = true;
};
