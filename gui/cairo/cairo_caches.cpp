#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include "gui/drawing_backend.h"

void releaseDrawingCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}
