// A view with a value: range, default, tag, listener, background offset and wheel step.
// Every control remembers the value it last drew; setValue only stores (clamped) and so
// leaves the control changed, and the frame's idle pass redraws it.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/cview.h"

class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
             CBitmap* background = nullptr);
    CControl(const CControl& other);

    // Value, clamped to [min, max]. Safe to call from another thread than the drawing one:
    // it only stores the value.
    virtual void setValue(float value);
    virtual float getValue() const { return value.load(std::memory_order_relaxed); }
    // The value mapped to 0..1 over [min, max], and back.
    float getValueNormalized() const;
    void setValueNormalized(float normalized);
    // Pulls the value back into [min, max] after the range changed.
    void bounceValue();

    virtual void setMin(float newMin) { vmin = newMin; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float newMax) { vmax = newMax; }
    virtual float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    void setDefaultValue(float v) { defaultValue = v; }
    float getDefaultValue() const { return defaultValue; }
    void setWheelInc(float inc) { wheelInc = inc; }
    float getWheelInc() const { return wheelInc; }

    void setTag(std::int32_t newTag) { tag = newTag; }
    std::int32_t getTag() const { return tag; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    CControlListener* getListener() const { return listener; }

    // Where in the background bitmap the control's rectangle starts.
    void setBackOffset(const CPoint& offset) { backOffset = offset; }
    const CPoint& getBackOffset() const { return backOffset; }

    // Tells the listener (if any) that the value changed.
    virtual void valueChanged();
    // Edit brackets of a user gesture: reach the editor of the frame, if there is one. An end
    // with no open bracket reaches nobody, so every end the editor hears has its begin.
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    // Leaving the frame in the middle of a gesture (the window closing mid-drag) ends it, while
    // the frame's editor can still hear of it.
    void removed(CFrame* parent) override;

    // Changed = marked, or the value differs from the one last drawn. Clearing the mark
    // records the current value as drawn.
    void setDirty(bool dirty = true) override;
    bool isDirty() const override;

    // The background bitmap piece at the back offset.
    void draw(CDrawContext* context) override;

    bool isTypeOf(const char* type) const override;

protected:
    CControlListener* listener;
    std::int32_t tag;
    std::atomic<float> value{0.0f};
    float lastDrawnValue = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    CPoint backOffset;
    std::int32_t editing = 0;
};
