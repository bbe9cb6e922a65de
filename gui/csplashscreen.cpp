#include "gui/csplashscreen.h"

#include <cstring>

#include "gui/cbitmap.h"
#include "gui/cframe.h"

// The picture while it is shown: closes itself on a left click.
class CSplashScreenView : public CView {
public:
    CSplashScreenView(CSplashScreen* splash, const CRect& size, CBitmap* picture, const CPoint& offset)
        : CView(size), splash(splash), offset(offset) {
        setBackground(picture);
    }

    void draw(CDrawContext* context) override {
        if (background) background->draw(context, size, offset);
    }

    CMouseEventResult onMouseDown(CPoint&, const CButtonState& buttons) override {
        if (!(buttons & kLButton)) return kMouseEventNotHandled;
        if (splash) splash->closeShownView();
        return kMouseEventHandled;
    }

    void detach() { splash = nullptr; }

private:
    CSplashScreen* splash;
    CPoint offset;
};

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* bitmap,
                             const CRect& toDisplay, const CPoint& offset)
    : CControl(size, listener, tag, bitmap), toDisplay(toDisplay), offset(offset) {}

CSplashScreen::~CSplashScreen() { closeShownView(); }

void CSplashScreen::draw(CDrawContext*) {}

CMouseEventResult CSplashScreen::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    CFrame* f = getFrame();
    if (!f || shownView) return kMouseEventHandled;
    auto* view = new CSplashScreenView(this, toDisplay, background, offset);
    if (!f->setModalView(view)) {
        // Another modal view is up: nothing is shown.
        view->forget();
        return kMouseEventHandled;
    }
    shownView = view;
    setValue(getMax());
    valueChanged();
    return kMouseEventHandled;
}

void CSplashScreen::unSplash() {
    setValue(getMin());
    setDirty(true);
}

void CSplashScreen::closeShownView() {
    if (!shownView) return;
    auto* view = static_cast<CSplashScreenView*>(shownView);
    shownView = nullptr;
    view->detach();
    unSplash();
    if (CFrame* f = view->getFrame(); f && f->getModalView() == view) f->setModalView(nullptr);
    view->forget();
}

void CSplashScreen::removed(CFrame* parent) {
    closeShownView();
    CControl::removed(parent);
}

bool CSplashScreen::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CSplashScreen") == 0) || CControl::isTypeOf(type);
}
