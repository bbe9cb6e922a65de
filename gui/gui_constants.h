// The toolkit's numbers: mouse results, button and modifier bits, control styles, text
// alignment, knob modes and drawing styles. The values are those plug-in editors written
// for this toolkit family expect and must not change.
#pragma once

#include <cstdint>

enum CMouseEventResult : std::int32_t {
    kMouseEventNotImplemented = 0,
    // The view captures the mouse: it gets every move and the release, even outside itself.
    kMouseEventHandled = 1,
    kMouseEventNotHandled = 2,
    // The press is consumed but the view wants no moves and no release.
    kMouseDownEventHandledButDontNeedMovedOrUpEvents = 3,
    kMouseMoveEventHandledButDontNeedMoreEvents = 4,
};

enum CButton : std::int32_t {
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5,
    kAlt = 1 << 6,
    // A press whose click count is above 1.
    kDoubleClick = 1 << 10,
};

// Buttons and modifiers of one mouse event. Converts to and from the plain bit set so that
// both `buttons & kLButton` and `buttons == kRButton` read naturally.
class CButtonState {
public:
    constexpr CButtonState(std::int32_t state = 0) : state(state) {}
    constexpr operator std::int32_t() const { return state; }
    constexpr std::int32_t getButtonState() const { return state; }
    constexpr bool isLeftButton() const { return (state & kLButton) != 0; }
    constexpr bool isRightButton() const { return (state & kRButton) != 0; }
    constexpr bool isDoubleClick() const { return (state & kDoubleClick) != 0; }
    constexpr std::int32_t getModifierState() const { return state & (kShift | kControl | kAlt); }

private:
    std::int32_t state;
};

// Control styles.
enum CControlStyle : std::int32_t {
    kHorizontal = 1 << 0,
    kVertical = 1 << 1,
    kShadowText = 1 << 2,
    k3DIn = 1 << 7,
    k3DOut = 1 << 8,
    kPopupStyle = 1 << 9,
    kCheckStyle = 1 << 10,
    kNoTextStyle = 1 << 11,
    kNoDrawStyle = 1 << 12,
    kDoubleClickStyle = 1 << 13,
    kNoFrame = 1 << 14,
};

enum CHoriTxtAlign : std::int32_t {
    kLeftText = 0,
    kCenterText = 1,
    kRightText = 2,
};

// Knob modes; the relative circular mode acts as the circular one.
enum CKnobMode : std::int32_t {
    kCircularMode = 0,
    kRelativCircularMode = 1,
    kLinearMode = 2,
};

enum CDrawStyle : std::int32_t {
    kDrawStroked = 0,
    kDrawFilled = 1,
    kDrawFilledAndStroked = 2,
};

enum CDrawMode : std::int32_t {
    kAliasing = 0,
    kAntiAliasing = 1,
};

// Answers of key handlers: handled, or not handled so that someone else may take the key.
constexpr std::int32_t kKeyHandled = 1;
constexpr std::int32_t kKeyNotHandled = -1;
