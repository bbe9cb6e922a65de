// The plug-in's artwork, embedded in the library at build time as PNG files and found by
// the integer resource id the editor uses for each bitmap.
#pragma once

#include <cstddef>

namespace resources {

struct Resource {
    const unsigned char* data = nullptr;  // PNG bytes, or null when no such id exists
    std::size_t size = 0;
};

// The embedded PNG with this id (1128 background, 1129/1130 knob handles, 1131 lamp,
// 1132 bypass button, 1200 about picture, 19899 and 19990..19999 preset bar buttons).
Resource find(int id);

}  // namespace resources
