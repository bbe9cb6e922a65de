// The window an editor opened inside the host's X11 window: the parent's newest child. The
// LV2 UI hands it to the host as its widget.
#pragma once

#include <cstdint>

namespace chordwell_lv2 {

// 0 when the parent has no child or the display cannot be reached.
std::uintptr_t newestChildWindow(std::uintptr_t parent);

}  // namespace chordwell_lv2
