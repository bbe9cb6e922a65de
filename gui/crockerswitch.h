// A three-position switch: value -1 or +1 while one half is pressed, 0 at rest. With
// kHorizontal the left half gives -1 and the right half +1; with kVertical the upper half
// gives -1 and the lower half +1. Its bitmap holds three sub-images stacked vertically:
// -1, 0 and +1.
#pragma once

#include "gui/ccontrol.h"

class CRockerSwitch : public CControl {
public:
    CRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset = CPoint(0, 0), std::int32_t style = kHorizontal);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

    void setStyle(std::int32_t newStyle) { style = newStyle; }
    std::int32_t getStyle() const { return style; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

    bool isTypeOf(const char* type) const override;
    CView* newCopy() const override { return new CRockerSwitch(*this); }

protected:
    // -1 or +1 for the half of the switch that holds `where`, 0 outside the switch.
    float sideOf(const CPoint& where) const;

    CCoord heightOfOneImage;
    CPoint offset;
    std::int32_t style;

private:
    bool pressed = false;
};
