// The preset bar's previous/next rocker. A left press on the left half acts with -1, on the
// right half with +1 (the listener hears of the press only); the value is 0 again on
// release. The half under the pointer is lit.
#pragma once

#include "gui/crockerswitch.h"

class CPSRockerSwitch : public CRockerSwitch {
public:
    CPSRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                    CBitmap* background, const CPoint& offset, std::int32_t style);

    // Sub-images: 0 plain, 1 left lit, 2 right lit, 3 left pressed, 4 right pressed.
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    // -1 left half, +1 right half, 0 pointer elsewhere.
    int getHoverSide() const { return hoverSide; }

private:
    int sideUnder(const CPoint& where) const;

    int hoverSide = 0;
};
