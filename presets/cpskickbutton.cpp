#include "presets/cpskickbutton.h"

#include "gui/cbitmap.h"

namespace {
constexpr float kPressValue = 1.0f;
constexpr float kControlPressValue = 0.5f;  // Ctrl+double-click on a guarded button
}  // namespace

CPSKickButton::CPSKickButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                             CCoord heightOfOneImage, CBitmap* background, const CPoint& offset, bool doubleClickGuard)
    : CKickButton(size, listener, tag, heightOfOneImage, background, offset), guard(doubleClickGuard) {}

void CPSKickButton::draw(CDrawContext* context) {
    if (!background) return;
    const int image = pressed ? 2 : (hover ? 1 : 0);
    background->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage), 1.0f);
}

CMouseEventResult CPSKickButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    if (guard && !(buttons & kDoubleClick)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    pressed = true;
    setValue(guard && (buttons & kControl) ? kControlPressValue : kPressValue);
    valueChanged();
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseUp(CPoint&, const CButtonState&) {
    setValue(0.0f);
    pressed = false;
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseEntered(CPoint&, const CButtonState&) {
    hover = true;
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult CPSKickButton::onMouseExited(CPoint&, const CButtonState&) {
    hover = false;
    setDirty(true);
    return kMouseEventHandled;
}
