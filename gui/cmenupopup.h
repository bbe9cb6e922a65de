// The open list of an option menu: one row per entry, the current one checked, the row under
// the pointer lit. It lies over the frame as its modal view, so every press reaches it: a
// press on a row chooses that row, a press anywhere else dismisses the list. Up and Down move
// the lit row, Return chooses it, Escape dismisses.
#pragma once

#include <cstdint>

#include "gui/cview.h"

class COptionMenu;

class CMenuPopup : public CView {
public:
    static constexpr CCoord kRowHeight = 16;
    static constexpr CCoord kCheckColumn = 14;  // room for the check mark left of the titles
    static constexpr CCoord kTextMargin = 8;   // room right of the longest title

    // Lays the list out for the menu's entries inside `frameSize`.
    CMenuPopup(COptionMenu& menu, const CRect& frameSize);
    ~CMenuPopup() override;

    // The rectangle of a row in frame coordinates (empty for no such row).
    CRect rowRect(std::int32_t index) const;
    std::int32_t getLitRow() const { return lit; }
    // The menu goes before its list: the list then tells nobody.
    void detachMenu() { menu = nullptr; }

    void draw(CDrawContext* context) override;
    // Every point of the frame belongs to the list while it is open.
    bool hitTest(const CPoint& where, const CButtonState& buttons = -1) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;
    void removed(CFrame* parent) override;

private:
    std::int32_t rowAt(const CPoint& where) const;
    void setLit(std::int32_t row);
    // Takes the list off the frame; the menu then hears of the choice (-1: none).
    void finish(std::int32_t chosen);

    COptionMenu* menu;
    std::int32_t rows = 0;
    std::int32_t perColumn = 1;
    CCoord columnWidth = 0;
    std::int32_t lit = -1;
    std::int32_t chosenRow = -1;
};
