// A control that offers a list of entries. A left or right press pops the list up over the
// frame; a click on a row sets the menu's value to the row's index, makes it the current
// entry and tells the listener; a press outside the list, Escape or the window closing
// dismisses it without a call. The current entry is the one the closed menu shows and the
// list checks (kCheckStyle); with kPopupStyle the list opens with the current row over the
// control, otherwise below it, and it is always kept inside the frame. With kNoDrawStyle and
// kNoTextStyle the closed menu draws only its background piece.
#pragma once

#include <string>
#include <vector>

#include "gui/cbaseobject.h"
#include "gui/cparamdisplay.h"

class CMenuPopup;

// One entry of a menu: its title.
class CMenuItem : public CBaseObject {
public:
    explicit CMenuItem(const char* title) : title(title ? title : "") {}
    const char* getTitle() const { return title.c_str(); }
    void setTitle(const char* newTitle) { title = newTitle ? newTitle : ""; }

private:
    std::string title;
};

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background = nullptr,
                CBitmap* bgWhenClick = nullptr, std::int32_t style = 0);
    ~COptionMenu() override;

    // Appends an entry (or inserts it before `index`); the value's maximum follows the count.
    CMenuItem* addEntry(const char* title, std::int32_t index = -1);
    bool removeEntry(std::int32_t index);
    void removeAllEntry();
    std::int32_t getNbEntries() const { return static_cast<std::int32_t>(entries.size()); }
    CMenuItem* getEntry(std::int32_t index) const;

    // The entry shown and checked; setting it leaves the value alone.
    bool setCurrent(std::int32_t index);
    std::int32_t getCurrentIndex() const { return current; }
    CMenuItem* getCurrent() const { return getEntry(current); }

    // Entries per column of the list; more entries open further columns (0: one column).
    void setNbItemsPerColumn(std::int32_t count) { itemsPerColumn = count; }
    std::int32_t getNbItemsPerColumn() const { return itemsPerColumn; }

    // Pops the list up, as a press does; false without a frame, without entries, or while
    // another view holds the frame's modal place.
    bool popup();
    // The open list (null while closed).
    CMenuPopup* getOpenList() const { return openList; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    void removed(CFrame* parent) override;
    bool isTypeOf(const char* type) const override;

    // From the open list as it goes: the row chosen, or -1 when it was dismissed.
    void listClosed(CMenuPopup* list, std::int32_t chosen);

private:
    void updateMaximum();

    std::vector<CMenuItem*> entries;
    std::int32_t current = 0;
    std::int32_t itemsPerColumn = 0;
    CBitmap* bgWhenClick = nullptr;
    CMenuPopup* openList = nullptr;
};
