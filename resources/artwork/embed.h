// Turns encoded bitmaps into a C++ source file that holds them as byte arrays, together
// with the table that the resource lookup searches.
#pragma once

#include <string>
#include <vector>

namespace artwork {

struct EncodedBitmap {
    int id;
    std::vector<unsigned char> png;
};

// The complete text of the generated source, declared by resources/embedded_artwork.h.
std::string embeddedSource(const std::vector<EncodedBitmap>& bitmaps);

}  // namespace artwork
