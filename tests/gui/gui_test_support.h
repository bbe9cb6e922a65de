// Helpers for the toolkit's tests: pictures made in memory, a listener and an editor that
// record what reaches them, and a view that counts its drawing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/vstgui.h"
#include "gui/vstguieditorinterface.h"

namespace guitest {

// PNG bytes of a w x h picture whose pixel (x, y) is colourAt(x, y).
std::vector<unsigned char> makePng(int w, int h, const std::function<CColor(int, int)>& colourAt);
// A bitmap (one reference, the caller's) of one colour.
CBitmap* solidBitmap(int w, int h, const CColor& colour);
// A bitmap whose pixel (x, y) has red = x and green = y, opaque: every pixel tells where
// it came from.
CBitmap* coordinateBitmap(int w, int h);

struct RecordingListener : CControlListener {
    std::vector<std::pair<std::int32_t, float>> changes;  // tag, value
    std::function<void(CControl*)> onChange;
    void valueChanged(CControl* control) override;
};

// Records edit brackets and the calls between them, in order: "begin 3", "end 3".
struct RecordingEditor : VSTGUIEditorInterface {
    std::vector<std::string> events;
    void beginEdit(std::int32_t tag) override;
    void endEdit(std::int32_t tag) override;
};

// A view that records how often it was drawn and fills its rectangle with one colour.
class CountingView : public CView {
public:
    CountingView(const CRect& size, const CColor& colour, CMouseEventResult pressResult = kMouseEventHandled);
    ~CountingView() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    int draws = 0;
    int downs = 0;
    int ups = 0;
    int moves = 0;
    int enters = 0;
    int exits = 0;
    CColor colour;
    CMouseEventResult pressResult;
    bool* destroyed = nullptr;  // set to true by the destructor when given
};

}  // namespace guitest
