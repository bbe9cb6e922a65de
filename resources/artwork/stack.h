// Builds the stacked bitmaps of the controls: equal sub-images one above the other, each
// starting from the exact part of the background under the control so that the states
// blend into the window, then carrying the control's face in that state.
#pragma once

#include <cairo.h>

#include <functional>

#include "resources/artwork/canvas.h"

namespace artwork {

// Draws state number `state` of a control's face, in the control's own coordinates
// (0, 0 at its top-left corner).
using FacePainter = std::function<void(cairo_t* cr, int state)>;

// A bitmap of `states` sub-images, each as wide as `place` and `subHeight` tall.
Surface stackFaces(cairo_surface_t* background, const Rect& place, int subHeight, int states,
                   const FacePainter& face);

// Paints the first sub-image of a stacked bitmap into the window at `place`, clipped to the
// place's size, so that the background shows the control at rest.
void placeRestingFace(cairo_t* cr, cairo_surface_t* stacked, const Rect& place);

}  // namespace artwork
