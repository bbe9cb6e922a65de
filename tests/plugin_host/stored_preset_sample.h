// The preset that dll_settings_client stores as the user's default in one process and that
// dll_tests expects a new instance to start with in another.
#pragma once

#include <utility>

#include "vst/aeffect.h"

namespace storedpreset {

inline constexpr char kName[] = "Stored next door";
// Parameter index and value; each differs from every factory preset's.
inline constexpr std::pair<VstInt32, float> kValues[] = {{2, 0.125f}, {3, 0.8125f}, {4, 0.75f}, {5, 0.3125f},
                                                          {6, 0.4375f}};

}  // namespace storedpreset
