#include "gui/coptionmenu.h"

#include <algorithm>
#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cframe.h"
#include "gui/cmenupopup.h"

COptionMenu::COptionMenu(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                         CBitmap* bgWhenClick, std::int32_t style)
    : CParamDisplay(size, background, style), bgWhenClick(bgWhenClick) {
    setListener(listener);
    setTag(tag);
    if (bgWhenClick) bgWhenClick->remember();
    updateMaximum();
    setDirty(false);
}

COptionMenu::~COptionMenu() {
    if (openList) {
        openList->detachMenu();
        openList->forget();
    }
    removeAllEntry();
    if (bgWhenClick) bgWhenClick->forget();
}

void COptionMenu::updateMaximum() {
    setMin(0.0f);
    setMax(static_cast<float>(std::max<std::int32_t>(getNbEntries() - 1, 0)));
    bounceValue();
}

CMenuItem* COptionMenu::addEntry(const char* title, std::int32_t index) {
    auto* item = new CMenuItem(title);
    if (index < 0 || index >= getNbEntries())
        entries.push_back(item);
    else
        entries.insert(entries.begin() + index, item);
    updateMaximum();
    setDirty(true);
    return item;
}

bool COptionMenu::removeEntry(std::int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    entries[static_cast<std::size_t>(index)]->forget();
    entries.erase(entries.begin() + index);
    if (current >= getNbEntries()) current = std::max<std::int32_t>(getNbEntries() - 1, 0);
    updateMaximum();
    setDirty(true);
    return true;
}

void COptionMenu::removeAllEntry() {
    for (CMenuItem* item : entries) item->forget();
    entries.clear();
    current = 0;
    updateMaximum();
    setDirty(true);
}

CMenuItem* COptionMenu::getEntry(std::int32_t index) const {
    return index >= 0 && index < getNbEntries() ? entries[static_cast<std::size_t>(index)] : nullptr;
}

bool COptionMenu::setCurrent(std::int32_t index) {
    if (index < 0 || index >= getNbEntries()) return false;
    current = index;
    setDirty(true);
    return true;
}

bool COptionMenu::popup() {
    if (!frame || entries.empty() || openList) return false;
    auto* list = new CMenuPopup(*this, frame->getViewSize());
    if (!frame->setModalView(list)) {
        list->detachMenu();
        list->forget();
        return false;
    }
    openList = list;
    setDirty(true);
    return true;
}

void COptionMenu::listClosed(CMenuPopup* list, std::int32_t chosen) {
    if (!list || list != openList) return;
    openList = nullptr;
    setDirty(true);
    // Kept alive through the listener's call, which may do anything to the frame.
    remember();
    list->forget();
    if (chosen >= 0 && chosen < getNbEntries()) {
        setValue(static_cast<float>(chosen));
        setCurrent(chosen);
        valueChanged();
    }
    forget();
}

void COptionMenu::draw(CDrawContext* context) {
    if (openList && bgWhenClick)
        bgWhenClick->draw(context, size, backOffset);
    else if (background || !(style & kNoDrawStyle))
        drawBack(context);
    if (style & kNoDrawStyle) return;
    if (const CMenuItem* item = getCurrent()) drawText(context, item->getTitle());
}

CMouseEventResult COptionMenu::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void COptionMenu::removed(CFrame* parent) {
    // Leaving the frame takes the open list with it, as a dismissal.
    if (openList && openList->getFrame()) openList->getFrame()->setModalView(nullptr);
    CParamDisplay::removed(parent);
}

bool COptionMenu::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "COptionMenu") == 0) || CParamDisplay::isTypeOf(type);
}
