// The bypass section: the lamp with its socket and the bypass button with its recess.
#pragma once

#include <cairo.h>

#include "resources/artwork/canvas.h"

namespace artwork {

// The sockets the lamp and the button sit in, drawn into the background.
void drawBypassSockets(cairo_t* cr);

// Bitmap 1131: the lamp, 10 x 20, upper frame unlit, lower frame lit.
Surface paintLamp(cairo_surface_t* background);

// Bitmap 1132: the bypass button, 62 x 56, upper frame off, lower frame on.
Surface paintBypassButton(cairo_surface_t* background);

}  // namespace artwork
