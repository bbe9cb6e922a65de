#include "gui/cknob.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cdrawcontext.h"
#include "gui/pixel_scale.h"
#include "gui/vstguieditorinterface.h"
#include "gui/virtual_keys.h"

CKnob::CKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bitmap, CBitmap* handleBitmap,
             const CPoint& offset)
    : CControl(size, listener, tag, bitmap) {
    setBackOffset(offset);
    setHandleBitmap(handleBitmap);
    setWantsFocus(true);
}

CKnob::CKnob(const CKnob& other)
    : CControl(other),
      handle(other.handle),
      startAngle(other.startAngle),
      rangeAngle(other.rangeAngle),
      inset(other.inset),
      zoomFactor(other.zoomFactor),
      colorHandle(other.colorHandle) {
    if (handle) handle->remember();
}

CKnob::~CKnob() {
    if (handle) handle->forget();
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    if (bitmap == handle) return;
    if (bitmap) bitmap->remember();
    if (handle) handle->forget();
    handle = bitmap;
    inset = handle ? handle->getWidth() / 2 + kHandleMargin : kLineHandleInset;
    setDirty(true);
}

void CKnob::valueToPoint(CPoint& point) const {
    const double cx = getWidth() / 2;
    const double cy = getHeight() / 2;
    const double angle = startAngle + getValueNormalized() * rangeAngle;
    point.x = cx + std::cos(angle) * (cx - inset) + 0.5;
    point.y = cy + std::sin(angle) * (cy - inset) + 0.5;
}

float CKnob::valueFromPoint(const CPoint& where) const {
    const CPoint centre = size.getCenter();
    const double alpha = std::atan2(where.y - centre.y, where.x - centre.x);
    // Angle from the arc's start, clockwise, in [0, 2 pi).
    double fromStart = std::fmod(alpha - startAngle, 2 * std::numbers::pi);
    if (fromStart < 0) fromStart += 2 * std::numbers::pi;
    if (fromStart <= rangeAngle) return static_cast<float>(fromStart / rangeAngle);
    // In the gap between the ends: stay at the end the value is nearer to.
    return getValueNormalized() >= 0.5f ? 1.0f : 0.0f;
}

void CKnob::draw(CDrawContext* context) {
    if (background) background->draw(context, size, backOffset);
    CPoint p;
    valueToPoint(p);
    if (handle && handle->isLoaded() && context->getScale() != 1.0) {
        drawScaledHandle(context);
    } else if (handle && handle->isLoaded()) {
        const CCoord w = handle->getWidth();
        const CCoord h = handle->getHeight();
        const CPoint topLeft(std::floor(size.left + p.x - w / 2), std::floor(size.top + p.y - h / 2));
        handle->draw(context, CRect(topLeft, CPoint(w, h)));
    } else {
        context->setFrameColor(colorHandle);
        context->setDrawMode(kAntiAliasing);
        context->drawLine(size.getCenter(), CPoint(size.left + p.x, size.top + p.y));
    }
}

// The handle's path at the context's scale: the same circle as at 100 %, worked out in the
// scaled pixels of the knob's rectangle and its scaled handle, so the handle lands on whole
// pixels and stays sharp.
void CKnob::drawScaledHandle(CDrawContext* context) {
    const double scale = context->getScale();
    const CRect box = context->toPixels(size);
    const CCoord w = pixel_scale::toPixels(handle->getWidth(), scale);
    const CCoord h = pixel_scale::toPixels(handle->getHeight(), scale);
    const double cx = box.getWidth() / 2;
    const double cy = box.getHeight() / 2;
    const double scaledInset = w / 2 + (inset - handle->getWidth() / 2) * scale;
    const double angle = startAngle + getValueNormalized() * rangeAngle;
    const double px = cx + std::cos(angle) * (cx - scaledInset) + 0.5;
    const double py = cy + std::sin(angle) * (cy - scaledInset) + 0.5;
    const CCoord left = std::floor(box.left + px - w / 2);
    const CCoord top = std::floor(box.top + py - h / 2);
    handle->draw(context, CRect(left / scale, top / scale, (left + w) / scale, (top + h) / scale));
}

void CKnob::applyValue(float newValue) {
    const float old = getValue();
    setValue(newValue);
    if (getValue() != old) valueChanged();
}

CMouseEventResult CKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    // Another press while a drag holds the mouse (a second button, a release the window
    // system never delivered): the drag and its one edit go on to the next release.
    if (dragging) return kMouseEventHandled;
    if (buttons.getModifierState() == kControl) {
        // Reset gesture (Ctrl and no other modifier): the default value, as one complete edit.
        beginEdit();
        setValue(getDefaultValue());
        valueChanged();
        endEdit();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    beginEdit();
    dragging = true;
    const std::int32_t mode = VSTGUIEditorInterface::getKnobMode();
    dragLinear = (mode == kLinearMode) != ((buttons & kAlt) != 0);
    firstPoint = where;
    startValue = getValueNormalized();
    fineDrag = (buttons & kShift) != 0;
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!dragging || !(buttons & kLButton)) return kMouseEventNotHandled;
    if (dragLinear) {
        const bool fine = (buttons & kShift) != 0;
        if (fine != fineDrag) {
            // Shift pressed or released mid-drag: continue from here at the new rate.
            fineDrag = fine;
            firstPoint = where;
            startValue = getValueNormalized();
        }
        const CCoord range = fine ? kLinearDragRange * zoomFactor : kLinearDragRange;
        const CCoord diff = (firstPoint.y - where.y) + (where.x - firstPoint.x);
        const double normalized = std::clamp(startValue + diff / range, 0.0, 1.0);
        applyValue(getMin() + static_cast<float>(normalized) * getRange());
    } else {
        const float current = getValueNormalized();
        const float target = valueFromPoint(where);
        // A jump across more than half the arc is the pointer crossing the gap, not a turn.
        if (std::fabs(target - current) <= 0.5f) applyValue(getMin() + target * getRange());
    }
    return kMouseEventHandled;
}

CMouseEventResult CKnob::onMouseUp(CPoint&, const CButtonState&) {
    if (!dragging) return kMouseEventNotHandled;
    dragging = false;
    endEdit();
    return kMouseEventHandled;
}

void CKnob::removed(CFrame* parent) {
    dragging = false;
    CControl::removed(parent);
}

void CKnob::stepBy(float normalizedDelta) {
    const float before = getValue();
    setValueNormalized(getValueNormalized() + normalizedDelta);
    if (getValue() == before) return;
    beginEdit();
    valueChanged();
    endEdit();
}

bool CKnob::onWheel(const CPoint&, const float& distance, const CButtonState& buttons) {
    const float step = (buttons & kShift) ? wheelInc * kFineStepFactor : wheelInc;
    stepBy(distance * step);
    return true;
}

std::int32_t CKnob::onKeyDown(VstKeyCode& keyCode) {
    float direction = 0;
    switch (keyCode.virt) {
    case VKEY_UP:
    case VKEY_RIGHT:
        direction = 1;
        break;
    case VKEY_DOWN:
    case VKEY_LEFT:
        direction = -1;
        break;
    default:
        return kKeyNotHandled;
    }
    const float step = (keyCode.modifier & MODIFIER_SHIFT) ? wheelInc * kFineStepFactor : wheelInc;
    stepBy(direction * step);
    return kKeyHandled;
}

bool CKnob::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CKnob") == 0) || CControl::isTypeOf(type);
}
