// The top of the view tree: owns its views, routes mouse, wheel and key input to them,
// keeps the back buffer they are drawn into and redraws changed views on idle(). A frame
// either shows its back buffer in a child window of the host's window, or lives offscreen
// with no window system at all (tests, screenshots).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gui/ccolor.h"
#include "gui/cview.h"

class CDrawContext;
class PixelSurface;
class PlatformWindow;
class VSTGUIEditorInterface;

class CFrame : public CView {
public:
    // An offscreen frame: a back buffer the size of `size`, no window.
    explicit CFrame(const CRect& size, VSTGUIEditorInterface* editor = nullptr);
    // The same, then a window inside `systemWindow` when that is not null (see open).
    CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor);
    ~CFrame() override;

    // Creates the child window inside the host's window. False when the parent is null or
    // unusable or the window system cannot be reached; the frame then stays offscreen.
    bool open(void* systemWindow);
    // Whether the frame has its window.
    bool isOpen() const { return window != nullptr; }
    // Ends the modal view (without releasing it), removes and releases every view,
    // destroys the window and releases the frame's own reference.
    void close();

    // Screen scale: views keep their rectangles in window units (the editor's pixels at 100 %);
    // the back buffer and the window have that size times the scale, and everything is drawn
    // at the scale. A change makes a new back buffer and resizes the window to it; false when
    // the back buffer cannot be had (the frame then keeps its old scale).
    bool setScale(double newScale);
    double getScale() const { return scale; }
    // A point in the window's pixels as a point in window units, for the window backends.
    CPoint fromPixels(CCoord x, CCoord y) const { return scale == 1.0 ? CPoint(x, y) : CPoint(x / scale, y / scale); }

    VSTGUIEditorInterface* getEditor() const { return editor; }
    void setEditor(VSTGUIEditorInterface* newEditor) { editor = newEditor; }

    // Children, drawn in the order added: the last added lies on top. The frame takes over
    // the caller's reference to a view it adds and releases it when the view is removed
    // (unless told not to).
    bool addView(CView* view);
    bool removeView(CView* view, bool withForget = true);
    bool removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    std::int32_t getNbViews() const { return static_cast<std::int32_t>(children.size()); }
    CView* getView(std::int32_t index) const;

    // The modal view lies above every child and gets every mouse event alone. Only one at a
    // time (false when another is set). The frame neither takes nor releases a reference:
    // setModalView(nullptr) removes the view without destroying it.
    bool setModalView(CView* view);
    CView* getModalView() const { return modalView; }

    // The view that gets key events first. A press moves it to the pressed view when that
    // wants focus, otherwise clears it; the views are told (takeFocus / looseFocus).
    CView* getFocusView() const { return focusView; }
    void setFocusView(CView* view);

    // Called with a press that no view takes, while no modal view is open (a menu of the
    // window itself); its answer is the press's. Empty: such presses are not handled.
    using BackgroundPressHandler = std::function<CMouseEventResult(const CPoint& where, const CButtonState& buttons)>;
    void setBackgroundPressHandler(BackgroundPressHandler handler) { backgroundPress = std::move(handler); }

    // What lies under the views where there is no background bitmap.
    void setBackgroundColor(const CColor& color);
    const CColor& getBackgroundColor() const { return backgroundColor; }

    // Redraws every changed view into the back buffer, each clipped to its own rectangle over
    // the background (views lying over it are drawn again on top), clears their marks and
    // shows the redrawn rectangles in the window.
    void idle();
    // Marks an area to repaint completely on the next idle pass.
    void invalidRect(const CRect& rect);
    // Marking the frame dirty repaints everything on the next idle pass.
    void setDirty(bool dirty = true) override;
    bool isDirty() const override;
    // Paints the whole frame (background, children, modal view) into `context`.
    void draw(CDrawContext* context) override;

    // Input, in frame coordinates: the window backend and tests call these.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    // The pointer left the frame's window.
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;

    // Where the pointer was last seen and with which buttons and modifiers.
    bool getCurrentMouseLocation(CPoint& where) const;
    CButtonState getCurrentMouseButtons() const { return lastButtons; }

    // The pixels as last drawn.
    const PixelSurface& getBackBuffer() const { return *backBuffer; }
    bool writePng(const char* path) const;

    PlatformWindow* getPlatformWindow() const { return window.get(); }
    // The view under the pointer while no button is captured (null when none).
    CView* getMouseOverView() const { return hoverView; }
    // The view that holds the mouse after a handled press (null when none).
    CView* getMouseCaptureView() const { return mouseCapture; }

    bool isTypeOf(const char* type) const override;

private:
    CRect bounds() const;
    CView* viewAt(const CPoint& where, const CButtonState& buttons) const;
    void noteMouse(const CPoint& where, const CButtonState& buttons);
    void updateHover(CPoint& where, const CButtonState& buttons);
    void dropReferencesTo(const CView* view);
    // The view holding the mouse lets go of it, and so does the window.
    void endMouseCapture();
    bool holds(const CView* view) const;
    // Draws the region (window units) and answers the back-buffer pixels it covered.
    CRect drawRegion(CDrawContext& context, const CRect& region);

    VSTGUIEditorInterface* editor;
    double scale = 1.0;
    std::unique_ptr<PixelSurface> backBuffer;
    std::unique_ptr<PlatformWindow> window;
    std::vector<CView*> children;
    std::vector<CView*> redrawList;  // reused by idle()
    CView* modalView = nullptr;
    CView* mouseCapture = nullptr;
    bool captureWantsMoves = true;
    CView* hoverView = nullptr;
    CView* focusView = nullptr;
    CColor backgroundColor = kBlackCColor;
    CRect pendingInvalid;
    bool fullRedraw = true;
    bool inIdle = false;
    CPoint lastMouse;
    bool mouseSeen = false;
    CButtonState lastButtons;
    BackgroundPressHandler backgroundPress;
};
