#include "presets/cpsrockerswitch.h"

#include "gui/cbitmap.h"

CPSRockerSwitch::CPSRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag,
                                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset,
                                 std::int32_t style)
    : CRockerSwitch(size, listener, tag, heightOfOneImage, background, offset, style) {}

int CPSRockerSwitch::sideUnder(const CPoint& where) const { return where.x < size.getCenter().x ? -1 : 1; }

void CPSRockerSwitch::draw(CDrawContext* context) {
    if (!background) return;
    const float v = getValue();
    int image = 0;
    if (v == -1.0f)
        image = 3;
    else if (v == 1.0f)
        image = 4;
    else if (hoverSide < 0)
        image = 1;
    else if (hoverSide > 0)
        image = 2;
    background->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage), 1.0f);
}

CMouseEventResult CPSRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(static_cast<float>(sideUnder(where)));
    setDirty(true);
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons & kLButton) return kMouseEventHandled;
    return onMouseEntered(where, buttons);
}

CMouseEventResult CPSRockerSwitch::onMouseEntered(CPoint& where, const CButtonState&) {
    hoverSide = sideUnder(where);
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult CPSRockerSwitch::onMouseExited(CPoint&, const CButtonState&) {
    hoverSide = 0;
    setDirty(true);
    return kMouseEventHandled;
}
