// A momentary button: value maximum while pressed (and the pointer is over it), minimum
// otherwise. Its bitmap holds sub-images of a given height stacked vertically: released,
// then pressed.
#pragma once

#include "gui/ccontrol.h"

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                CBitmap* background, const CPoint& offset = CPoint(0, 0));
    // Sub-image height = the rectangle's height.
    CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                const CPoint& offset = CPoint(0, 0));

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;

    void setHeightOfOneImage(CCoord height) { heightOfOneImage = height; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }

    bool isTypeOf(const char* type) const override;
    CView* newCopy() const override { return new CKickButton(*this); }

protected:
    CCoord heightOfOneImage;
    CPoint offset;

private:
    bool pressed = false;
};
