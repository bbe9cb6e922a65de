#include "gui/cmenupopup.h"

#include <algorithm>
#include <cmath>

#include "gui/cdrawcontext.h"
#include "gui/cframe.h"
#include "gui/coptionmenu.h"
#include "gui/pixel_surface.h"
#include "gui/virtual_keys.h"

namespace {

constexpr CColor kListBack(244, 244, 240);
constexpr CColor kListFrame(60, 60, 60);
constexpr CColor kLitBack(56, 110, 190);
constexpr CColor kText(20, 20, 20);
constexpr CColor kLitText(255, 255, 255);
constexpr CCoord kBorder = 1;

// Widest title in the list's font. Measuring needs a drawing context, which needs pixels:
// one is enough.
CCoord widestTitle(const COptionMenu& menu) {
    PixelSurface scratch(1, 1);
    CDrawContext context(scratch);
    context.setFont(kNormalFontSmall);
    CCoord widest = 0;
    for (std::int32_t i = 0; i < menu.getNbEntries(); ++i)
        widest = std::max(widest, context.getStringWidth(menu.getEntry(i)->getTitle()));
    return std::ceil(widest);
}

}  // namespace

CMenuPopup::CMenuPopup(COptionMenu& owner, const CRect& frameSize) : CView(CRect()), menu(&owner) {
    rows = owner.getNbEntries();
    const std::int32_t wanted = owner.getNbItemsPerColumn();
    perColumn = wanted > 0 ? std::min(wanted, rows) : rows;
    perColumn = std::max<std::int32_t>(perColumn, 1);
    const std::int32_t columns = (rows + perColumn - 1) / perColumn;
    const CRect& control = owner.getViewSize();
    columnWidth = std::max(control.getWidth(), kCheckColumn + widestTitle(owner) + kTextMargin);
    const CCoord width = columns * columnWidth + 2 * kBorder;
    const CCoord height = perColumn * kRowHeight + 2 * kBorder;

    const std::int32_t current = std::clamp(owner.getCurrentIndex(), 0, std::max(rows - 1, 0));
    CCoord left = control.left;
    CCoord top = control.bottom;
    if (owner.getStyle() & kPopupStyle) {
        // The current row lies over the control, centred on it.
        const CCoord rowTop = std::round(control.top + (control.getHeight() - kRowHeight) / 2);
        top = rowTop - kBorder - (current % perColumn) * kRowHeight;
        left = control.left - kBorder - (current / perColumn) * columnWidth;
    }
    // Kept inside the frame: pushed back from the right and bottom edges, then from the left
    // and top ones (a list larger than the frame shows its top left part).
    left = std::max(std::min(left, frameSize.right - width), frameSize.left);
    top = std::max(std::min(top, frameSize.bottom - height), frameSize.top);
    size = CRect(left, top, left + width, top + height);
}

CMenuPopup::~CMenuPopup() = default;

CRect CMenuPopup::rowRect(std::int32_t index) const {
    if (index < 0 || index >= rows) return CRect();
    const CCoord left = size.left + kBorder + (index / perColumn) * columnWidth;
    const CCoord top = size.top + kBorder + (index % perColumn) * kRowHeight;
    return CRect(left, top, left + columnWidth, top + kRowHeight);
}

std::int32_t CMenuPopup::rowAt(const CPoint& where) const {
    for (std::int32_t i = 0; i < rows; ++i)
        if (rowRect(i).pointInside(where)) return i;
    return -1;
}

void CMenuPopup::setLit(std::int32_t row) {
    if (row == lit) return;
    lit = row;
    setDirty(true);
}

void CMenuPopup::draw(CDrawContext* context) {
    if (!menu) return;
    context->setFillColor(kListBack);
    context->fillRect(size);
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFrameColor(kListFrame);
    context->frameRect(size);
    context->setFont(kNormalFontSmall);
    const bool checks = (menu->getStyle() & kCheckStyle) != 0;
    for (std::int32_t i = 0; i < rows; ++i) {
        const CRect row = rowRect(i);
        if (i == lit) {
            context->setFillColor(kLitBack);
            context->fillRect(row);
        }
        const CColor ink = i == lit ? kLitText : kText;
        if (checks && i == menu->getCurrentIndex()) {
            // A tick: a short stroke down to the right, a long one up.
            const CCoord x = row.left + 3;
            const CCoord y = row.top + kRowHeight / 2;
            context->setDrawMode(kAntiAliasing);
            context->setLineWidth(1.5);
            context->setFrameColor(ink);
            context->drawLine(CPoint(x, y), CPoint(x + 3, y + 3));
            context->drawLine(CPoint(x + 3, y + 3), CPoint(x + 8, y - 4));
            context->setLineWidth(1);
            context->setDrawMode(kAliasing);
        }
        CRect textRect = row;
        textRect.left += kCheckColumn;
        textRect.right -= 2;
        context->setFontColor(ink);
        context->drawString(menu->getEntry(i)->getTitle(), textRect, kLeftText, true);
    }
}

bool CMenuPopup::hitTest(const CPoint&, const CButtonState&) { return true; }

CMouseEventResult CMenuPopup::onMouseDown(CPoint& where, const CButtonState&) {
    finish(rowAt(where));
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult CMenuPopup::onMouseMoved(CPoint& where, const CButtonState&) {
    setLit(rowAt(where));
    return kMouseEventHandled;
}

CMouseEventResult CMenuPopup::onMouseEntered(CPoint& where, const CButtonState& buttons) {
    return onMouseMoved(where, buttons);
}

CMouseEventResult CMenuPopup::onMouseExited(CPoint&, const CButtonState&) {
    setLit(-1);
    return kMouseEventHandled;
}

std::int32_t CMenuPopup::onKeyDown(VstKeyCode& key) {
    switch (key.virt) {
    case VKEY_ESCAPE:
        finish(-1);
        break;
    case VKEY_RETURN:
    case VKEY_ENTER:
        finish(lit);
        break;
    case VKEY_UP:
        if (rows > 0) setLit(lit <= 0 ? rows - 1 : lit - 1);
        break;
    case VKEY_DOWN:
        if (rows > 0) setLit(lit < 0 || lit >= rows - 1 ? 0 : lit + 1);
        break;
    default:
        break;
    }
    // The list is modal: no key goes past it while it is open.
    return kKeyHandled;
}

std::int32_t CMenuPopup::onKeyUp(VstKeyCode&) { return kKeyHandled; }

void CMenuPopup::finish(std::int32_t chosen) {
    chosenRow = chosen;
    if (frame) frame->setModalView(nullptr);  // removed() follows and tells the menu
}

void CMenuPopup::removed(CFrame* parent) {
    CView::removed(parent);
    COptionMenu* owner = menu;
    menu = nullptr;
    // The menu may release this list: nothing of it is touched afterwards.
    if (owner) owner->listClosed(this, chosenRow);
}
