// The one window system the plug-in's editor embeds in on this system, as CLAP names it, and
// the parent window a host's record names in it (clap/window_api_x11.cpp, window_api_win32.cpp).
#pragma once

#include "clap/clap_abi.h"

namespace chordwell_clap {

const char* windowApi();
// The parent as the editor's open() takes it.
void* parentWindowOf(const clap::Window& window);

}  // namespace chordwell_clap
