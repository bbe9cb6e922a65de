// The knobs: bodies and scales that the background carries, and the two handle dots that
// the knob controls move around over them.
#pragma once

#include <cairo.h>

#include "resources/artwork/canvas.h"

namespace artwork {

// Proportions of one knob size, in pixels from the knob's centre.
struct KnobStyle {
    double bodyRadius;  // outer edge of the skirt
    double capRadius;   // the raised centre cap, inside the circle the handle travels on
    double tickInner;   // scale ticks start here, outside the body
    double tickMinor;   // and end here,
    double tickMajor;   // or here for the end and centre ticks
    int ticks;
};

// The knob controls are 45 and 22 pixels square; their handles travel 3 pixels inside the
// edge, so the cap stays clear of the handle and the skirt fills the rest.
inline constexpr KnobStyle kLargeKnob{22.0, 13.5, 25.0, 27.5, 29.0, 11};
inline constexpr KnobStyle kSmallKnob{10.5, 5.0, 12.5, 14.5, 15.5, 11};

// Draws the scale and the body of a knob whose control occupies `area`.
void drawKnob(cairo_t* cr, const Rect& area, const KnobStyle& style);

// Bitmap 1129: the 9 x 9 handle dot of the large knobs, on transparency.
Surface paintLargeHandle();

// Bitmap 1130: the 6 x 6 handle dot of the small knobs, on transparency.
Surface paintSmallHandle();

}  // namespace artwork
