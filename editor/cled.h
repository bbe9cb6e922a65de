// A lamp that shows the Bypass parameter: two frames stacked in one bitmap, the upper unlit,
// the lower lit. It only shows the value it is given and does not take the mouse.
#pragma once

#include "gui/vstgui.h"

class CLED : public CControl {
public:
    CLED(const CRect& size, CBitmap* bitmap);
    ~CLED() override;
    CLED(const CLED& other);

    bool isTypeOf(const char* type) const override;
    CView* newCopy() const override { return new CLED(*this); }
    // The lit frame for values above 0.5, the unlit one otherwise.
    void draw(CDrawContext* context) override;

private:
    CBitmap* bitmap;
    CPoint unlitOffset;
    CPoint litOffset;
    CRect drawRect;
};
