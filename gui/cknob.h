// A rotary knob: a handle (bitmap or line) that travels on an arc over the background
// piece. Dragging follows the process-wide knob mode (Alt swaps linear and circular for one
// drag); the wheel and the arrow keys step by the wheel increment; Ctrl-click restores the
// default value.
#pragma once

#include <numbers>

#include "gui/ccolor.h"
#include "gui/ccontrol.h"

class CKnob : public CControl {
public:
    // Arc of the handle: from lower left (minimum) clockwise over the top to lower right.
    static constexpr double kDefaultStartAngle = 3.0 * std::numbers::pi / 4.0;
    static constexpr double kDefaultRangeAngle = 3.0 * std::numbers::pi / 2.0;
    // Pixels of linear drag for the whole range; the zoom factor multiplies them with Shift.
    static constexpr CCoord kLinearDragRange = 200;
    static constexpr float kDefaultZoomFactor = 1.5f;
    // Distance of a handle bitmap's centre path from the edge, beyond half its width.
    static constexpr CCoord kHandleMargin = 2.5;
    // Inset of the drawn line handle when there is no handle bitmap.
    static constexpr CCoord kLineHandleInset = 3;
    // With Shift, wheel and arrow steps shrink to this fraction of the wheel increment.
    static constexpr float kFineStepFactor = 0.1f;

    CKnob(const CRect& size, CControlListener* listener, std::int32_t tag, CBitmap* background, CBitmap* handle,
          const CPoint& offset = CPoint(0, 0));
    CKnob(const CKnob& other);
    ~CKnob() override;

    void draw(CDrawContext* context) override;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const float& distance, const CButtonState& buttons) override;
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;
    // A drag cut short by the knob leaving the frame ends there (its edit with it).
    void removed(CFrame* parent) override;

    // The handle's centre for the current value, relative to the knob's top-left corner.
    void valueToPoint(CPoint& point) const;
    // The normalised value (0..1) for a point in frame coordinates, following the arc;
    // points beyond its ends stick to the end nearer to the current value.
    float valueFromPoint(const CPoint& where) const;

    void setHandleBitmap(CBitmap* bitmap);
    CBitmap* getHandleBitmap() const { return handle; }
    void setStartAngle(double angle) { startAngle = angle; }
    double getStartAngle() const { return startAngle; }
    void setRangeAngle(double angle) { rangeAngle = angle; }
    double getRangeAngle() const { return rangeAngle; }
    // Distance of the handle's path from the knob's edge.
    void setInsetValue(CCoord value) { inset = value; }
    CCoord getInsetValue() const { return inset; }
    void setZoomFactor(float factor) { zoomFactor = factor; }
    float getZoomFactor() const { return zoomFactor; }
    void setColorHandle(const CColor& color) { colorHandle = color; }
    const CColor& getColorHandle() const { return colorHandle; }

    bool isTypeOf(const char* type) const override;
    CView* newCopy() const override { return new CKnob(*this); }

private:
    void drawScaledHandle(CDrawContext* context);
    // Sets a new value from a user gesture already inside an edit bracket and tells the
    // listener when it changed.
    void applyValue(float newValue);
    // One step of the wheel or the arrow keys, inside its own edit bracket.
    void stepBy(float normalizedDelta);

    CBitmap* handle = nullptr;
    double startAngle = kDefaultStartAngle;
    double rangeAngle = kDefaultRangeAngle;
    CCoord inset = kLineHandleInset;
    float zoomFactor = kDefaultZoomFactor;
    CColor colorHandle = kWhiteCColor;

    // Drag state.
    bool dragging = false;
    bool dragLinear = true;
    CPoint firstPoint;
    float startValue = 0;  // normalised
    bool fineDrag = false;
};
