// The base of everything placed on a frame: a rectangle in frame coordinates, drawing, mouse,
// wheel and key handlers, and the dirty mark that tells the frame's idle pass what to redraw.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/cbaseobject.h"
#include "gui/cgeometry.h"
#include "gui/gui_constants.h"
#include "vst/aeffect.h"

class CBitmap;
class CDrawContext;
class CFrame;

class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    CView(const CView& other);
    CView& operator=(const CView&) = delete;
    ~CView() override;

    // Drawing, in frame coordinates. The base draws the background bitmap, if any, over the
    // view's rectangle.
    virtual void draw(CDrawContext* context);

    // Mouse. `where` is in frame coordinates. The defaults handle nothing.
    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // Wheel notches (positive = up); true when handled.
    virtual bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons);
    // Keys: kKeyHandled (1) or kKeyNotHandled (-1).
    virtual std::int32_t onKeyDown(VstKeyCode& keyCode);
    virtual std::int32_t onKeyUp(VstKeyCode& keyCode);

    // Whether a press at `where` belongs to this view.
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = -1);

    // The dirty mark: set means "redraw on the next idle pass".
    virtual void setDirty(bool dirty = true);
    virtual bool isDirty() const;
    void invalid() { setDirty(true); }

    const CRect& getViewSize() const { return size; }
    CRect& getViewSize(CRect& rect) const {
        rect = size;
        return rect;
    }
    virtual void setViewSize(const CRect& newSize, bool invalidate = true);
    CCoord getWidth() const { return size.getWidth(); }
    CCoord getHeight() const { return size.getHeight(); }

    void setVisible(bool state);
    bool isVisible() const { return visible; }
    void setMouseEnabled(bool state) { mouseEnabled = state; }
    bool getMouseEnabled() const { return mouseEnabled; }
    void setWantsFocus(bool state) { wantsFocus = state; }
    // The frame's key focus arrives or goes (a press elsewhere, the window closing).
    virtual void takeFocus() {}
    virtual void looseFocus() {}
    bool getWantsFocus() const { return wantsFocus; }

    // The background bitmap; the view holds a reference to it.
    virtual void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background; }

    // Type test by class name, answering for the class and each of its bases.
    virtual bool isTypeOf(const char* type) const;
    // A copy of the view (null where a class does not copy).
    virtual CView* newCopy() const { return nullptr; }

    // The frame the view is on: set while it is a child or the modal view of a frame.
    CFrame* getFrame() const { return frame; }
    bool isAttached() const { return frame != nullptr; }
    virtual void attached(CFrame* parent) { frame = parent; }
    virtual void removed(CFrame* /*parent*/) { frame = nullptr; }

protected:
    CRect size;
    CBitmap* background = nullptr;
    CFrame* frame = nullptr;

private:
    std::atomic<bool> dirty{false};
    bool visible = true;
    bool mouseEnabled = true;
    bool wantsFocus = false;
};
