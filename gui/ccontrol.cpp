#include "gui/ccontrol.h"

#include <algorithm>
#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cframe.h"
#include "gui/vstguieditorinterface.h"

CControl::CControl(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bitmap)
    : CView(size), listener(listener), tag(tag) {
    setBackground(bitmap);
    setDirty(false);
}

CControl::CControl(const CControl& other)
    : CView(other),
      listener(other.listener),
      tag(other.tag),
      value(other.getValue()),
      lastDrawnValue(other.lastDrawnValue),
      vmin(other.vmin),
      vmax(other.vmax),
      defaultValue(other.defaultValue),
      wheelInc(other.wheelInc),
      backOffset(other.backOffset) {}

void CControl::setValue(float newValue) {
    // max before min: a range set upside down still gives a value inside one of its ends.
    value.store(std::max(std::min(newValue, vmax), vmin), std::memory_order_relaxed);
}

float CControl::getValueNormalized() const {
    const float range = getRange();
    return range == 0.0f ? 0.0f : (getValue() - vmin) / range;
}

void CControl::setValueNormalized(float normalized) {
    setValue(vmin + std::clamp(normalized, 0.0f, 1.0f) * getRange());
}

void CControl::bounceValue() { setValue(getValue()); }

void CControl::valueChanged() {
    if (listener) listener->valueChanged(this);
}

void CControl::beginEdit() {
    ++editing;
    if (frame && frame->getEditor()) frame->getEditor()->beginEdit(tag);
}

void CControl::endEdit() {
    if (editing == 0) return;
    --editing;
    if (frame && frame->getEditor()) frame->getEditor()->endEdit(tag);
}

void CControl::removed(CFrame* parent) {
    while (editing > 0) endEdit();
    CView::removed(parent);
}

void CControl::setDirty(bool state) {
    if (!state) lastDrawnValue = getValue();
    CView::setDirty(state);
}

bool CControl::isDirty() const { return CView::isDirty() || getValue() != lastDrawnValue; }

void CControl::draw(CDrawContext* context) {
    if (background) background->draw(context, size, backOffset);
}

bool CControl::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CControl") == 0) || CView::isTypeOf(type);
}
