#include "gui/cframe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cdrawcontext.h"
#include "gui/pixel_scale.h"
#include "gui/pixel_surface.h"
#include "gui/platform_window.h"

namespace {

// Holds a reference for the length of a call into a view, so that a handler that removes
// and releases its own view (a modal view closing itself) leaves a live object behind until
// the frame is done with it.
class KeepAlive {
public:
    explicit KeepAlive(CBaseObject* object) : object(object) {
        if (object) object->remember();
    }
    ~KeepAlive() {
        if (object) object->forget();
    }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

private:
    CBaseObject* object;
};

// Button bits that say a button is down (the rest are modifiers and click counts).
constexpr std::int32_t kAnyButton = kLButton | kMButton | kRButton;

}  // namespace

CFrame::CFrame(const CRect& size, VSTGUIEditorInterface* editor)
    : CView(size),
      editor(editor),
      backBuffer(std::make_unique<PixelSurface>(static_cast<int>(size.getWidth()),
                                                static_cast<int>(size.getHeight()))) {
    frame = this;
}

CFrame::CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor) : CFrame(size, editor) {
    if (systemWindow) open(systemWindow);
}

CFrame::~CFrame() {
    if (modalView) setModalView(nullptr);
    removeAll(true);
    window.reset();
    frame = nullptr;
}

bool CFrame::open(void* systemWindow) {
    if (window) return true;
    if (!systemWindow || !backBuffer->isValid()) return false;
    window = createPlatformWindow(systemWindow, *this, *backBuffer);
    if (!window) return false;
    fullRedraw = true;
    return true;
}

bool CFrame::setScale(double newScale) {
    if (!(newScale > 0)) return false;
    if (newScale == scale) return true;
    auto buffer = std::make_unique<PixelSurface>(pixel_scale::toPixels(size.getWidth(), newScale),
                                                 pixel_scale::toPixels(size.getHeight(), newScale));
    if (!buffer->isValid()) return false;
    std::unique_ptr<PixelSurface> old = std::move(backBuffer);
    backBuffer = std::move(buffer);
    scale = newScale;
    // Drawn whole before the window shows it, so the window never shows an empty picture;
    // the window lets go of the old back buffer before it goes.
    if (!inIdle) {
        CDrawContext context(*backBuffer, scale);
        drawRegion(context, bounds());
    }
    if (window) window->resize(*backBuffer);
    old.reset();
    fullRedraw = true;
    return true;
}

void CFrame::close() {
    setFocusView(nullptr);
    setModalView(nullptr);
    removeAll(true);
    window.reset();
    forget();
}

CRect CFrame::bounds() const {
    if (scale == 1.0) return CRect(0, 0, backBuffer->getWidth(), backBuffer->getHeight());
    return CRect(0, 0, size.getWidth(), size.getHeight());
}

bool CFrame::addView(CView* view) {
    if (!view || view == this || holds(view)) return false;
    children.push_back(view);
    view->attached(this);
    view->setDirty(true);
    return true;
}

bool CFrame::removeView(CView* view, bool withForget) {
    const auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return false;
    if (view == focusView) setFocusView(nullptr);
    children.erase(it);
    dropReferencesTo(view);
    invalidRect(view->getViewSize());
    view->removed(this);
    if (withForget) view->forget();
    return true;
}

bool CFrame::removeAll(bool withForget) {
    if (focusView && isChild(focusView)) setFocusView(nullptr);
    // Taken out first: a view's destructor must find the list already consistent.
    std::vector<CView*> views;
    views.swap(children);
    for (CView* view : views) {
        dropReferencesTo(view);
        view->removed(this);
        if (withForget) view->forget();
    }
    fullRedraw = true;
    return true;
}

bool CFrame::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CFrame::getView(std::int32_t index) const {
    return index >= 0 && index < getNbViews() ? children[static_cast<std::size_t>(index)] : nullptr;
}

bool CFrame::holds(const CView* view) const { return view && (view == modalView || isChild(view)); }

bool CFrame::setModalView(CView* view) {
    if (view && modalView) return false;
    if (view) {
        if (isChild(view)) return false;
        // Views under the modal view no longer see the pointer.
        if (hoverView) {
            CView* old = hoverView;
            hoverView = nullptr;
            KeepAlive keep(old);
            CPoint where = lastMouse;
            old->onMouseExited(where, lastButtons);
        }
        modalView = view;
        view->attached(this);
        view->setDirty(true);
        return true;
    }
    if (!modalView) return true;
    CView* old = modalView;
    if (old == focusView) setFocusView(nullptr);
    modalView = nullptr;
    dropReferencesTo(old);
    invalidRect(old->getViewSize());
    old->removed(this);
    return true;
}

void CFrame::dropReferencesTo(const CView* view) {
    if (mouseCapture == view) endMouseCapture();
    if (hoverView == view) hoverView = nullptr;
    if (focusView == view) focusView = nullptr;
}

void CFrame::endMouseCapture() {
    if (!mouseCapture) return;
    mouseCapture = nullptr;
    if (window) window->releaseMouse();
}

void CFrame::setFocusView(CView* view) {
    if (view == focusView) return;
    CView* old = focusView;
    focusView = view;
    if (old) {
        KeepAlive keep(old);
        old->looseFocus();
    }
    if (view && focusView == view) view->takeFocus();
}

void CFrame::setBackgroundColor(const CColor& color) {
    backgroundColor = color;
    fullRedraw = true;
}

// ---- drawing ----

void CFrame::invalidRect(const CRect& rect) {
    CRect r = rect;
    r.makeIntegral();
    pendingInvalid.unite(r);
}

void CFrame::setDirty(bool state) {
    fullRedraw = state;
    if (!state) pendingInvalid = CRect();
}

bool CFrame::isDirty() const { return fullRedraw || !pendingInvalid.isEmpty(); }

CRect CFrame::drawRegion(CDrawContext& context, const CRect& area) {
    CRect region = area;
    region.makeIntegral();
    region.bound(bounds());
    if (region.isEmpty()) return CRect();
    const double s = context.getScale();
    CRect pixels = region;
    if (s != 1.0) {
        // Whole pixels of the back buffer, and the region grown to them, so that background
        // and views cover every pixel presented.
        pixels = CRect(std::floor(region.left * s), std::floor(region.top * s), std::ceil(region.right * s),
                       std::ceil(region.bottom * s));
        pixels.bound(CRect(0, 0, context.getWidth() * s, context.getHeight() * s));
        region = CRect(pixels.left / s, pixels.top / s, pixels.right / s, pixels.bottom / s);
    }
    context.saveGlobalState();
    context.setClipRect(region);
    context.clearRect(region, backgroundColor);
    if (background) background->draw(&context, region, region.getTopLeft());
    auto drawView = [&](CView* view) {
        if (!view->isVisible() || !view->getViewSize().rectOverlap(region)) return;
        CRect clip = view->getViewSize();
        clip.bound(region);
        context.saveGlobalState();
        context.setClipRect(clip);
        view->draw(&context);
        context.restoreGlobalState();
    };
    for (CView* view : children) drawView(view);
    if (modalView) drawView(modalView);
    context.restoreGlobalState();
    return pixels;
}

void CFrame::draw(CDrawContext* context) {
    if (context) drawRegion(*context, bounds());
}

void CFrame::idle() {
    if (inIdle || !backBuffer->isValid()) return;
    inIdle = true;
    KeepAlive keep(this);
    CDrawContext context(*backBuffer, scale);
    std::vector<CRect> presented;
    // What the window is shown: at 100 % the region itself, else the pixels drawn.
    auto drawAndPresent = [&](const CRect& area) {
        const CRect pixels = drawRegion(context, area);
        presented.push_back(scale == 1.0 ? area : pixels);
    };

    if (fullRedraw) {
        fullRedraw = false;
        pendingInvalid = CRect();
        for (CView* view : children) view->setDirty(false);
        if (modalView) modalView->setDirty(false);
        drawAndPresent(bounds());
    } else {
        if (!pendingInvalid.isEmpty()) {
            const CRect area = pendingInvalid;
            pendingInvalid = CRect();
            drawAndPresent(area);
        }
        // Collected first: drawing one view may clear the mark of another lying over it,
        // which still needs its own full pass.
        redrawList.clear();
        for (CView* view : children)
            if (view->isDirty()) redrawList.push_back(view);
        if (modalView && modalView->isDirty()) redrawList.push_back(modalView);
        for (CView* view : redrawList) {
            // The mark is cleared before drawing: a value stored meanwhile marks it again.
            view->setDirty(false);
            if (!view->isVisible()) continue;
            CRect area = view->getViewSize();
            area.makeIntegral();
            area.bound(bounds());
            if (area.isEmpty()) continue;
            drawAndPresent(area);
        }
        redrawList.clear();
    }

    if (window && !presented.empty()) {
        for (const CRect& r : presented) window->present(r);
        window->flush();
    }
    inIdle = false;
}

bool CFrame::writePng(const char* path) const { return backBuffer->writePng(path); }

// ---- input ----

bool CFrame::getCurrentMouseLocation(CPoint& where) const {
    where = lastMouse;
    return mouseSeen;
}

void CFrame::noteMouse(const CPoint& where, const CButtonState& buttons) {
    lastMouse = where;
    lastButtons = buttons;
    mouseSeen = true;
}

CView* CFrame::viewAt(const CPoint& where, const CButtonState& buttons) const {
    if (modalView) {
        // Nothing under the modal view gets the mouse; the modal view's own hit test decides
        // whether the event reaches it.
        return modalView->isVisible() && modalView->getMouseEnabled() && modalView->hitTest(where, buttons)
                   ? modalView
                   : nullptr;
    }
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* view = *it;
        if (view->isVisible() && view->getMouseEnabled() && view->hitTest(where, buttons)) return view;
    }
    return nullptr;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    KeepAlive keepFrame(this);
    noteMouse(where, buttons);
    if (mouseCapture) {
        // Another button while one view holds the mouse: it stays with that view.
        KeepAlive keep(mouseCapture);
        CPoint p = where;
        return mouseCapture->onMouseDown(p, buttons);
    }
    CView* target = viewAt(where, buttons);
    // A press anywhere else ends the focus of the focused view (an edit in progress ends).
    if (focusView && focusView != target) setFocusView(target && target->getWantsFocus() ? target : nullptr);
    if (!target && !modalView && backgroundPress) {
        // The handler may close the frame: a copy runs, with the frame kept alive above.
        const BackgroundPressHandler handler = backgroundPress;
        return handler(where, buttons);
    }
    if (!target) return kMouseEventNotHandled;
    KeepAlive keep(target);
    CPoint p = where;
    const CMouseEventResult result = target->onMouseDown(p, buttons);
    // The handler may have removed its own view (and released it): only a view still on
    // this frame takes the mouse or the focus.
    if (holds(target)) {
        if (result == kMouseEventHandled) {
            mouseCapture = target;
            captureWantsMoves = true;
            if (window) window->captureMouse();
        }
        if ((result == kMouseEventHandled || result == kMouseDownEventHandledButDontNeedMovedOrUpEvents) &&
            target->getWantsFocus())
            setFocusView(target);
    }
    return result;
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    KeepAlive keepFrame(this);
    noteMouse(where, buttons & ~kAnyButton);
    if (!mouseCapture) return kMouseEventNotHandled;
    CView* target = mouseCapture;
    endMouseCapture();
    CMouseEventResult result;
    {
        KeepAlive keep(target);
        CPoint p = where;
        result = target->onMouseUp(p, buttons);
    }
    // The pointer may have been released over another view.
    CPoint p = where;
    updateHover(p, lastButtons);
    return result;
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    KeepAlive keepFrame(this);
    noteMouse(where, buttons);
    if (mouseCapture) {
        if (!captureWantsMoves) return kMouseEventHandled;
        CView* target = mouseCapture;
        KeepAlive keep(target);
        CPoint p = where;
        const CMouseEventResult result = target->onMouseMoved(p, buttons);
        if (result == kMouseMoveEventHandledButDontNeedMoreEvents && mouseCapture == target)
            captureWantsMoves = false;
        return result;
    }
    updateHover(where, buttons);
    if (!hoverView) return kMouseEventNotHandled;
    CView* target = hoverView;
    KeepAlive keep(target);
    CPoint p = where;
    return target->onMouseMoved(p, buttons);
}

CMouseEventResult CFrame::onMouseEntered(CPoint& where, const CButtonState& buttons) {
    return onMouseMoved(where, buttons);
}

CMouseEventResult CFrame::onMouseExited(CPoint& where, const CButtonState& buttons) {
    KeepAlive keepFrame(this);
    noteMouse(where, buttons);
    // A view holding the mouse keeps it until the release, inside the window or not.
    if (mouseCapture || !hoverView) return kMouseEventHandled;
    CView* old = hoverView;
    hoverView = nullptr;
    KeepAlive keep(old);
    CPoint p = where;
    old->onMouseExited(p, buttons);
    return kMouseEventHandled;
}

void CFrame::updateHover(CPoint& where, const CButtonState& buttons) {
    CView* target = viewAt(where, buttons);
    if (target == hoverView) return;
    CView* old = hoverView;
    hoverView = target;
    if (old) {
        KeepAlive keep(old);
        CPoint p = where;
        old->onMouseExited(p, buttons);
    }
    // The exit handler may have changed the frame; enter only a view still on it.
    if (target && hoverView == target && holds(target)) {
        KeepAlive keep(target);
        CPoint p = where;
        target->onMouseEntered(p, buttons);
    }
}

bool CFrame::onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) {
    KeepAlive keepFrame(this);
    noteMouse(where, buttons);
    CView* target = viewAt(where, buttons);
    if (!target) return false;
    KeepAlive keep(target);
    return target->onWheel(where, distance, buttons);
}

std::int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
    KeepAlive keepFrame(this);
    if (modalView) {
        KeepAlive keep(modalView);
        return modalView->onKeyDown(keyCode);
    }
    if (focusView) {
        CView* target = focusView;
        KeepAlive keep(target);
        const std::int32_t result = target->onKeyDown(keyCode);
        if (result != kKeyNotHandled) return result;
    }
    // Without a focused taker, the view under the pointer may take the key.
    if (hoverView && hoverView != focusView) {
        KeepAlive keep(hoverView);
        return hoverView->onKeyDown(keyCode);
    }
    return kKeyNotHandled;
}

std::int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
    KeepAlive keepFrame(this);
    if (modalView) {
        KeepAlive keep(modalView);
        return modalView->onKeyUp(keyCode);
    }
    if (focusView) {
        CView* target = focusView;
        KeepAlive keep(target);
        const std::int32_t result = target->onKeyUp(keyCode);
        if (result != kKeyNotHandled) return result;
    }
    if (hoverView && hoverView != focusView) {
        KeepAlive keep(hoverView);
        return hoverView->onKeyUp(keyCode);
    }
    return kKeyNotHandled;
}

bool CFrame::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CFrame") == 0) || CView::isTypeOf(type);
}
