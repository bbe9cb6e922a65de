// The preset bar's kick button (PRESET, BANK and the memory arrows): lit while the pointer is
// over it, sunk while pressed. With the double-click guard (the default buttons) a single
// click does nothing: a left double-click acts with the value 1, with Ctrl held with 0.5.
// Without it (the memory buttons) every left press acts once. The listener hears of the
// press only, never of the release.
#pragma once

#include "gui/ckickbutton.h"

class CPSKickButton : public CKickButton {
public:
    CPSKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                  CBitmap* background, const CPoint& offset, bool doubleClickGuard);

    // Sub-images: 0 normal, 1 under the pointer, 2 pressed.
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    bool isHovered() const { return hover; }
    bool isPressed() const { return pressed; }

private:
    bool hover = false;
    bool pressed = false;
    bool guard;
};
