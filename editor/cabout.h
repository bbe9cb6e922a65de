// The about screen: an invisible click area over the title band, and the picture with the
// version text that a left click on it lays over the window until a left click on the picture.
#pragma once

#include "gui/vstgui.h"

class CSplashScreenMyView;

class CAbout : public CSplashScreen {
public:
    CAbout(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* picture, const CRect& toDisplay,
           const CPoint& offset, const CPoint& versionTextPosition);
    ~CAbout() override;

    // Left press: opens the picture (or, with it open, only flips the value back).
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    // The window is closing: a picture still open goes with it.
    void removed(CFrame* parent) override;

    bool isTypeOf(const char* type) const override;

    // Called by the picture when it closes itself.
    void pictureClosed(CSplashScreenMyView* view);
    bool isPictureOpen() const { return picture != nullptr; }

private:
    void dropPicture();

    CPoint versionTextPosition;
    CSplashScreenMyView* picture = nullptr;  // the open picture, while it is open
};

class CSplashScreenMyView : public CControl {
public:
    static constexpr const char* kVersionText = "v.1.5.0";

    CSplashScreenMyView(const CRect& size, CAbout* about, const CPoint& versionTextPosition);

    bool isTypeOf(const char* type) const override;
    void draw(CDrawContext* context) override;
    // Left press: closes the picture and releases it.
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

private:
    friend class CAbout;
    CAbout* about;  // not owned
    CPoint versionTextPosition;
};
