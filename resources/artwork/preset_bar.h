// The preset bar along the bottom of the window: its band with the name field's box, the
// menu symbol and the memory labels, and the stacked bitmaps of its buttons.
#pragma once

#include <cairo.h>

#include "resources/artwork/canvas.h"

namespace artwork {

// What an arrow button does: green arrows point down (load, recall), pink arrows point up
// (save, store).
enum class ArrowKind { kLoad, kSave };

// The band and everything on it that is not a button bitmap, drawn into the background.
void drawPresetBarBand(cairo_t* cr);

// Bitmap 19899: the word PRESET, 47 x 30, normal, hover and pressed.
Surface paintPresetWordButton(cairo_surface_t* background);

// Bitmap 19990: the word BANK, 37 x 30, normal, hover and pressed.
Surface paintBankWordButton(cairo_surface_t* background);

// Bitmaps 19991 to 19996, 19998 and 19999: a 12 x 42 arrow button at `place`, normal,
// hover and pressed. A place less than 14 pixels high shows only the upper part of each
// sub-image, so the key is drawn to fit the place's height.
Surface paintArrowButton(cairo_surface_t* background, const Rect& place, ArrowKind kind);

// Bitmap 19997: the previous/next rocker, 31 x 70: plain, left lit, right lit, left
// pressed, right pressed.
Surface paintPresetRocker(cairo_surface_t* background);

}  // namespace artwork
