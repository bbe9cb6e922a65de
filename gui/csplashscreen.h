// An invisible click area that shows a picture over the frame as its modal view. The base
// shows the picture (its background bitmap from `offset`, in `toDisplay`) and a left click
// on the picture closes it; subclasses may show a view of their own instead.
#pragma once

#include "gui/ccontrol.h"

class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = CPoint(0, 0));

    // The click area draws nothing.
    void draw(CDrawContext* context) override;
    // Left press: value 1 and the picture becomes the frame's modal view.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // Returns the value to the minimum; the frame is left alone.
    virtual void unSplash();

    // Leaving the frame (the frame closing) also takes down and releases the picture this
    // class showed, so that it does not outlive the click area.
    void removed(CFrame* parent) override;
    ~CSplashScreen() override;

    const CRect& getDisplayRect() const { return toDisplay; }
    const CPoint& getDisplayOffset() const { return offset; }

    bool isTypeOf(const char* type) const override;

protected:
    friend class CSplashScreenView;
    void closeShownView();

    CRect toDisplay;
    CPoint offset;

private:
    CView* shownView = nullptr;  // the picture this class put up, while it is up
};
