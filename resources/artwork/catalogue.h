// Every bitmap of the plug-in, painted and ready to encode, under its resource id.
#pragma once

#include <vector>

#include "resources/artwork/canvas.h"

namespace artwork {

namespace ids {
inline constexpr int kBackground = 1128;
inline constexpr int kLargeHandle = 1129;
inline constexpr int kSmallHandle = 1130;
inline constexpr int kLamp = 1131;
inline constexpr int kBypassButton = 1132;
inline constexpr int kAboutPicture = 1200;
inline constexpr int kPresetWord = 19899;
inline constexpr int kBankWord = 19990;
inline constexpr int kRecallA = 19991;
inline constexpr int kRecallB = 19992;
inline constexpr int kLoadBank = 19993;
inline constexpr int kSaveBank = 19994;
inline constexpr int kStoreA = 19995;
inline constexpr int kStoreB = 19996;
inline constexpr int kPresetRocker = 19997;
inline constexpr int kLoadPreset = 19998;
inline constexpr int kSavePreset = 19999;
}  // namespace ids

struct Bitmap {
    int id;
    Surface surface;
};

// All bitmaps in ascending id order, drawn at `scale` (1 = the 100 % artwork): each as
// many surface pixels as its size in window pixels times the scale, rounded; a stacked
// bitmap's sub-images each as high as the control's rounded height.
std::vector<Bitmap> paintAllBitmaps(double scale = 1.0);

}  // namespace artwork
