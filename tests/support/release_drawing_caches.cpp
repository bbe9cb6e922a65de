// Linked into test programs that draw text: frees the font caches of the drawing backend when
// the tests end, so the leak checker of sanitizer builds sees only what the tests allocated.
#include <gtest/gtest.h>

#include "gui/drawing_backend.h"

namespace {

class ReleaseDrawingCaches : public ::testing::Environment {
public:
    void TearDown() override { releaseDrawingCaches(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ReleaseDrawingCaches);

}  // namespace
