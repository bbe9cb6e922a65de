#include "gui/conoffbutton.h"

#include <cstring>

#include "gui/cbitmap.h"

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bitmap,
                           std::int32_t style)
    : CControl(size, listener, tag, bitmap), style(style) {}

void COnOffButton::draw(CDrawContext* context) {
    if (!background) return;
    const CCoord frameTop = getValue() == getMax() ? getHeight() : 0;
    background->draw(context, size, CPoint(0, frameTop));
}

CMouseEventResult COnOffButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    setValue(getValue() == getMax() ? getMin() : getMax());
    invalid();
    beginEdit();
    valueChanged();
    endEdit();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COnOffButton::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "COnOffButton") == 0) || CControl::isTypeOf(type);
}
