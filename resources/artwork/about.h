// The about screen's picture: a title plate with the product's name and credits.
#pragma once

#include "resources/artwork/canvas.h"

namespace artwork {

// Bitmap 1200: 260 x 204. The editor prints the version text in black into the box at
// (172, 80), which this picture leaves empty and light.
Surface paintAboutPicture();

}  // namespace artwork
