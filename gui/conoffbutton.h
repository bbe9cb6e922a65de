// A two-state button: its bitmap holds two frames stacked, upper = off (minimum), lower =
// on (maximum). A left press flips the value at once, as one complete edit.
#pragma once

#include "gui/ccontrol.h"

class COnOffButton : public CControl {
public:
    COnOffButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                 std::int32_t style = 0);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    void setStyle(std::int32_t newStyle) { style = newStyle; }
    std::int32_t getStyle() const { return style; }

    bool isTypeOf(const char* type) const override;
    CView* newCopy() const override { return new COnOffButton(*this); }

private:
    std::int32_t style;
};
