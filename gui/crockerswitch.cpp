#include "gui/crockerswitch.h"

#include <cstring>

#include "gui/cbitmap.h"

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CCoord heightOfOneImage, CBitmap* bitmap, const CPoint& offset, std::int32_t style)
    : CControl(size, listener, tag, bitmap), heightOfOneImage(heightOfOneImage), offset(offset), style(style) {
    setMin(-1.0f);
    setMax(1.0f);
    setDefaultValue(0.0f);
    setValue(0.0f);
    setDirty(false);
}

float CRockerSwitch::sideOf(const CPoint& where) const {
    if (!size.pointInside(where)) return 0.0f;
    if (style & kVertical) return where.y < size.getCenter().y ? -1.0f : 1.0f;
    return where.x < size.getCenter().x ? -1.0f : 1.0f;
}

void CRockerSwitch::draw(CDrawContext* context) {
    if (!background) return;
    const float v = getValue();
    const int image = v < 0 ? 0 : (v > 0 ? 2 : 1);
    background->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage));
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    pressed = true;
    beginEdit();
    setValue(sideOf(where));
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!pressed || !(buttons & kLButton)) return kMouseEventNotHandled;
    const float side = sideOf(where);
    if (side != getValue()) {
        setValue(side);
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const CButtonState&) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    if (getValue() != 0.0f) {
        setValue(0.0f);
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}

bool CRockerSwitch::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CRockerSwitch") == 0) || CControl::isTypeOf(type);
}
