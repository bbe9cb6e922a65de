// The few colours every picture is drawn with: a dark slate panel, pale blue-grey readouts,
// light grey engraving and one light cyan accent; green and pink mark load and save.
#pragma once

namespace artwork {

struct Colour {
    double red;
    double green;
    double blue;
};

// Colours are given in 8-bit steps for readability.
constexpr Colour rgb(int red, int green, int blue) {
    return Colour{red / 255.0, green / 255.0, blue / 255.0};
}

namespace palette {

// Panel surfaces, from the title band down to the preset bar.
inline constexpr Colour kTitleTop = rgb(36, 39, 44);
inline constexpr Colour kTitleBottom = rgb(24, 26, 30);
inline constexpr Colour kPanelTop = rgb(56, 60, 67);
inline constexpr Colour kPanelBottom = rgb(42, 45, 51);
inline constexpr Colour kBarTop = rgb(31, 33, 38);
inline constexpr Colour kBarBottom = rgb(24, 26, 30);

// Raised parts (logo plate, knob skirts, key caps).
inline constexpr Colour kRaisedTop = rgb(80, 86, 95);
inline constexpr Colour kRaisedBottom = rgb(40, 43, 49);
inline constexpr Colour kSunkenTop = rgb(30, 32, 37);
inline constexpr Colour kSunkenBottom = rgb(48, 52, 58);
inline constexpr Colour kCapCentre = rgb(104, 111, 120);
inline constexpr Colour kCapEdge = rgb(50, 54, 61);

// Lines.
inline constexpr Colour kOutline = rgb(12, 13, 15);
inline constexpr Colour kEngraving = rgb(196, 204, 212);
inline constexpr Colour kEngravingDim = rgb(140, 149, 158);
inline constexpr Colour kScale = rgb(128, 138, 148);
inline constexpr Colour kAccent = rgb(122, 200, 236);
inline constexpr Colour kAccentBright = rgb(186, 230, 250);

// Readouts and the name field: light, so that the black value text reads well.
inline constexpr Colour kReadoutTop = rgb(176, 196, 208);
inline constexpr Colour kReadoutBottom = rgb(206, 220, 229);
inline constexpr Colour kReadoutFrame = rgb(36, 36, 32);

// Light plate of the about picture, and the dark text on it.
inline constexpr Colour kPlateTop = rgb(230, 235, 239);
inline constexpr Colour kPlateBottom = rgb(204, 213, 220);
inline constexpr Colour kInk = rgb(36, 36, 32);
inline constexpr Colour kInkSoft = rgb(92, 100, 108);

// Lamp.
inline constexpr Colour kLampOffCentre = rgb(98, 34, 26);
inline constexpr Colour kLampOffEdge = rgb(42, 13, 10);
inline constexpr Colour kLampOnCentre = rgb(255, 214, 140);
inline constexpr Colour kLampOnMiddle = rgb(255, 96, 36);
inline constexpr Colour kLampOnEdge = rgb(178, 30, 12);
inline constexpr Colour kBypassOnText = rgb(255, 168, 84);

// Preset bar arrows: green loads or recalls, pink saves or stores.
inline constexpr Colour kLoadGreen = rgb(98, 204, 118);
inline constexpr Colour kLoadGreenBright = rgb(160, 240, 170);
inline constexpr Colour kSavePink = rgb(236, 112, 170);
inline constexpr Colour kSavePinkBright = rgb(255, 176, 214);

inline constexpr Colour kWhite = rgb(255, 255, 255);
inline constexpr Colour kBlack = rgb(0, 0, 0);

}  // namespace palette
}  // namespace artwork
