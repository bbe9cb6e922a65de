// Key caps: the rounded buttons of the window in their three looks. Every clickable part
// (bypass, preset bar arrows, rocker, menu) is built from them so they read as one family.
#pragma once

#include <cairo.h>

#include "resources/artwork/canvas.h"

namespace artwork {

enum class KeyLook {
    kRaised,   // at rest
    kLit,      // under the mouse: a little brighter
    kPressed,  // held down: sunk into the panel
};

// A key cap filling the given box (whole pixels), with rounded corners of `radius`.
void drawKey(cairo_t* cr, const Rect& box, double radius, KeyLook look);

// How far the symbol on a key moves down while the key is pressed.
inline constexpr double kPressedShift = 1.0;

}  // namespace artwork
