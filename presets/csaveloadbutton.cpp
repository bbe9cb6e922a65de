#include "presets/csaveloadbutton.h"

#include "gui/cbitmap.h"

namespace {
constexpr float kLeftValue = 1.0f;
constexpr float kRightValue = 0.5f;
}  // namespace

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, std::int32_t tag,
                                 CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKickButton(size, listener, tag, heightOfOneImage, background, offset) {}

void CSaveLoadButton::draw(CDrawContext* context) {
    if (!background) return;
    const int image = getValue() != 0.0f ? 2 : (hover ? 1 : 0);
    background->draw(context, size, CPoint(offset.x, offset.y + image * heightOfOneImage), 1.0f);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    if (!listener) return kMouseEventNotHandled;
    setValue(buttons == kRButton ? kRightValue : kLeftValue);
    valueChanged();
    setValue(0.0f);
    setDirty(true);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CSaveLoadButton::onMouseEntered(CPoint&, const CButtonState&) {
    hover = true;
    setDirty(true);
    return kMouseEventHandled;
}

CMouseEventResult CSaveLoadButton::onMouseExited(CPoint&, const CButtonState&) {
    hover = false;
    setDirty(true);
    return kMouseEventHandled;
}
