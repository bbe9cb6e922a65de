// Process-wide state of the drawing backend.
#pragma once

// Frees the backend's process-wide caches (fonts and glyphs, the font library's
// configuration). Only for the very end of a program that draws no more and whose other code
// does not use the font library: test programs and command-line tools, never a plug-in
// inside a host.
void releaseDrawingCaches();
