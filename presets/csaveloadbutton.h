// The preset bar's load and save arrows. A left press acts with the value 1; a right press
// with no modifier acts with 0.5 (a load arrow then reads the file with its byte order
// reversed; a save arrow saves as for a left press). The value is back at 0 as soon as the
// listener returns, so the button takes no move or release. Lit while the pointer is over it.
#pragma once

#include "gui/ckickbutton.h"

class CSaveLoadButton : public CKickButton {
public:
    CSaveLoadButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                    CBitmap* background, const CPoint& offset);

    // Sub-images: 0 normal, 1 under the pointer, 2 while the value is not 0.
    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    bool isHovered() const { return hover; }

private:
    bool hover = false;
};
