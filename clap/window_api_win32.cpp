#include "clap/window_api.h"

namespace chordwell_clap {

const char* windowApi() { return clap::kWindowApiWin32; }

void* parentWindowOf(const clap::Window& window) { return window.win32; }

}  // namespace chordwell_clap
