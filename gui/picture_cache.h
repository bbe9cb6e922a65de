// The artwork's pixels, one copy per picture and screen scale for the whole process: every
// bitmap that shows a picture at a scale holds the same pixels, and they are freed with the
// last holder. An editor opened at 300 % and closed again gives its pictures back, and two
// editors open at once share theirs.
#pragma once

#include <cstddef>
#include <memory>

#include "gui/pixel_surface.h"

namespace picture_cache {

// The picture under this resource id at this scale (percent; 100 is the artwork as
// embedded), shared with every other holder; null when there is no such picture.
std::shared_ptr<const PixelSurface> picture(int id, int percent);

// How many bytes of pixels the pictures that some bitmap holds now take.
std::size_t bytesInUse();

}  // namespace picture_cache
