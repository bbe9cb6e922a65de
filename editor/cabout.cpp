#include "editor/cabout.h"

#include <cstring>

namespace {
constexpr CCoord kVersionTextWidth = 100;
constexpr CCoord kVersionTextHeight = 15;
}  // namespace

CAbout::CAbout(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* pictureBitmap,
               const CRect& toDisplay, const CPoint& offset, const CPoint& versionPosition)
    : CSplashScreen(size, listener, tag, pictureBitmap, toDisplay, offset), versionTextPosition(versionPosition) {}

CAbout::~CAbout() { dropPicture(); }

bool CAbout::isTypeOf(const char* type) const { return std::strcmp(type, "CAbout") == 0 || CSplashScreen::isTypeOf(type); }

CMouseEventResult CAbout::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    setValue(getValue() == 0.0f ? 1.0f : 0.0f);
    if (getValue() == 0.0f) return kMouseEventHandled;

    CFrame* parent = getFrame();
    auto* view = new CSplashScreenMyView(toDisplay, this, versionTextPosition);
    if (!parent || !parent->setModalView(view)) {
        view->forget();
        setValue(0.0f);
        return kMouseEventHandled;
    }
    picture = view;  // the view's own reference keeps it alive until it closes itself
    setDirty();
    return kMouseEventHandled;
}

void CAbout::pictureClosed(CSplashScreenMyView* view) {
    if (view == picture) picture = nullptr;
}

void CAbout::removed(CFrame* parent) {
    dropPicture();
    CSplashScreen::removed(parent);
}

// A picture still open when the window closes would otherwise never be released: the frame
// ends a modal view without releasing it.
void CAbout::dropPicture() {
    if (!picture) return;
    CSplashScreenMyView* view = picture;
    picture = nullptr;
    view->about = nullptr;
    if (CFrame* parent = getFrame(); parent && parent->getModalView() == view) parent->setModalView(nullptr);
    unSplash();
    view->forget();
}

CSplashScreenMyView::CSplashScreenMyView(const CRect& size, CAbout* owner, const CPoint& versionPosition)
    : CControl(size, nullptr, 0, owner ? owner->getBackground() : nullptr),
      about(owner),
      versionTextPosition(versionPosition) {}

bool CSplashScreenMyView::isTypeOf(const char* type) const {
    return std::strcmp(type, "CSplashScreenMyView") == 0 || CControl::isTypeOf(type);
}

void CSplashScreenMyView::draw(CDrawContext* context) {
    if (CBitmap* picture = getBackground()) picture->draw(context, size, CPoint(0, 0), 1.0f);
    context->setFontColor(kBlackCColor);
    context->setFont(kNormalFontVerySmall);
    const CPoint topLeft(size.left + versionTextPosition.x, size.top + versionTextPosition.y);
    const CRect textRect(topLeft, CPoint(kVersionTextWidth, kVersionTextHeight));
    context->drawString(kVersionText, textRect, kLeftText, true);
    setDirty(false);
}

CMouseEventResult CSplashScreenMyView::onMouseDown(CPoint&, const CButtonState& buttons) {
    if (!buttons.isLeftButton()) return kMouseEventNotHandled;
    if (about) {
        about->unSplash();
        about->pictureClosed(this);
    }
    if (CFrame* parent = getFrame()) {
        parent->setDirty();
        parent->setModalView(nullptr);
    }
    forget();
    return kMouseEventHandled;
}
