#include <cstdint>

#include "clap/window_api.h"

namespace chordwell_clap {

const char* windowApi() { return clap::kWindowApiX11; }

void* parentWindowOf(const clap::Window& window) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window.x11));
}

}  // namespace chordwell_clap
