#include "gui/drawing_backend.h"
#include "gui/gdiplus/gdiplus_session.h"

void releaseDrawingCaches() { gdiplus_backend::releaseFonts(); }
