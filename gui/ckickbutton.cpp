#include "gui/ckickbutton.h"

#include <cstring>

#include "gui/cbitmap.h"

CKickButton::CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CCoord heightOfOneImage,
                         CBitmap* bitmap, const CPoint& offset)
    : CControl(size, listener, tag, bitmap), heightOfOneImage(heightOfOneImage), offset(offset) {
    setValue(getMin());
    setDirty(false);
}

CKickButton::CKickButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bitmap,
                         const CPoint& offset)
    : CKickButton(size, listener, tag, size.getHeight(), bitmap, offset) {}

void CKickButton::draw(CDrawContext* context) {
    if (!background) return;
    const CCoord imageTop = getValue() == getMax() ? heightOfOneImage : 0;
    background->draw(context, size, CPoint(offset.x, offset.y + imageTop));
}

CMouseEventResult CKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    pressed = true;
    beginEdit();
    setValue(getMax());
    valueChanged();
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!pressed || !(buttons & kLButton)) return kMouseEventNotHandled;
    // Sliding off the button releases it visually; sliding back presses it again.
    const float wanted = size.pointInside(where) ? getMax() : getMin();
    if (wanted != getValue()) {
        setValue(wanted);
        valueChanged();
    }
    return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint&, const CButtonState&) {
    if (!pressed) return kMouseEventNotHandled;
    pressed = false;
    if (getValue() != getMin()) {
        setValue(getMin());
        valueChanged();
    }
    endEdit();
    return kMouseEventHandled;
}

bool CKickButton::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CKickButton") == 0) || CControl::isTypeOf(type);
}
