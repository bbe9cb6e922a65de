// The editor background without the resting faces of the controls that have bitmaps of
// their own: panel, title band with the logo plate, knob bodies and scales, labels, readout
// windows, the bypass sockets and the preset bar's band.
#pragma once

#include "resources/artwork/canvas.h"

namespace artwork {

// The 320 x 257 panel that every control's bitmap is cut from.
Surface paintPanel();

}  // namespace artwork
