// Screen scales of the editor: the factors offered, and the one rounding rule that turns a
// length in window units (the pixels of the editor at 100 %) into whole pixels. The artwork
// program shares this header, so a control's picture and the place it is drawn at agree.
#pragma once

#include <cmath>
#include <cstdlib>

namespace pixel_scale {

inline constexpr int kPercents[] = {100, 125, 150, 175, 200, 250, 300};
inline constexpr int kDefaultPercent = 100;

// Halves round up, the same way for every caller.
inline int toPixels(double units, double scale) { return static_cast<int>(std::floor(units * scale + 0.5)); }

inline bool isOffered(int percent) {
    for (int p : kPercents)
        if (p == percent) return true;
    return false;
}

// The offered factor nearest to `percent` (the smaller one on a tie); 100 for anything not
// positive.
inline int nearestOffered(double percent) {
    if (!(percent > 0)) return kDefaultPercent;
    int best = kPercents[0];
    for (int p : kPercents)
        if (std::abs(p - percent) < std::abs(best - percent)) best = p;
    return best;
}

inline double factorOf(int percent) { return percent / 100.0; }

}  // namespace pixel_scale
