#include "gui/cview.h"

#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cframe.h"

CView::CView(const CRect& size) : size(size) {}

CView::CView(const CView& other)
    : CBaseObject(other),
      size(other.size),
      background(other.background),
      visible(other.visible),
      mouseEnabled(other.mouseEnabled),
      wantsFocus(other.wantsFocus) {
    if (background) background->remember();
}

CView::~CView() {
    if (background) background->forget();
}

void CView::draw(CDrawContext* context) {
    if (background) background->draw(context, size);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) { return kMouseEventNotImplemented; }
bool CView::onWheel(const CPoint&, const float&, const CButtonState&) { return false; }
std::int32_t CView::onKeyDown(VstKeyCode&) { return kKeyNotHandled; }
std::int32_t CView::onKeyUp(VstKeyCode&) { return kKeyNotHandled; }

bool CView::hitTest(const CPoint& where, const CButtonState&) { return size.pointInside(where); }

void CView::setDirty(bool state) { dirty.store(state, std::memory_order_relaxed); }

bool CView::isDirty() const { return dirty.load(std::memory_order_relaxed); }

void CView::setViewSize(const CRect& newSize, bool invalidate) {
    // The area the view leaves must be repainted too.
    if (frame) frame->invalidRect(size);
    size = newSize;
    if (invalidate) setDirty(true);
}

void CView::setVisible(bool state) {
    if (visible == state) return;
    visible = state;
    if (frame) frame->invalidRect(size);
}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap == background) return;
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty(true);
}

bool CView::isTypeOf(const char* type) const { return type && std::strcmp(type, "CView") == 0; }
