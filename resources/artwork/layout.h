// Where everything sits on the 320 x 257 editor window, in window pixels. The control
// rectangles mirror the ones the editor and the preset bar build their controls with, so
// the artwork under each control lines up with it exactly.
#pragma once

namespace artwork {

// A pixel rectangle: left and top inclusive, right and bottom exclusive.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr double centreX() const { return (left + right) / 2.0; }
    constexpr double centreY() const { return (top + bottom) / 2.0; }
};

namespace layout {

inline constexpr int kWindowWidth = 320;
inline constexpr int kWindowHeight = 257;

// Title band with the logo plate; the plate is the click area that opens the about screen.
inline constexpr int kTitleBandBottom = 50;
inline constexpr Rect kAboutClick{50, 10, 280, 47};

// Knobs. The background carries the knob bodies; the knob controls draw only a handle dot.
inline constexpr Rect kDecayKnob{50, 71, 95, 116};
inline constexpr Rect kDampKnob{224, 71, 269, 116};
inline constexpr Rect kTransposeKnob{149, 86, 171, 108};
inline constexpr Rect kTuneKnob{108, 123, 130, 145};
inline constexpr Rect kDetuneKnob{189, 123, 211, 145};
inline constexpr Rect kMixKnob{64, 164, 86, 186};
inline constexpr Rect kOutputKnob{233, 164, 255, 186};

// Value readouts; the editor prints black text centred in each.
inline constexpr Rect kDecayDisplay{48, 120, 98, 134};
inline constexpr Rect kDampDisplay{222, 120, 272, 134};
inline constexpr Rect kTransposeDisplay{135, 112, 185, 126};
inline constexpr Rect kTuneDisplay{95, 148, 145, 162};
inline constexpr Rect kDetuneDisplay{176, 148, 226, 162};
inline constexpr Rect kMixDisplay{51, 189, 101, 203};
inline constexpr Rect kOutputDisplay{219, 189, 269, 203};

// Bypass button (62 x 28 frames) and the lamp above it (10 x 10 frames).
inline constexpr Rect kBypassButton{131, 162, 193, 190};
inline constexpr Rect kBypassLamp{155, 135, 165, 145};

// Preset bar: the band along the bottom and the controls that lie over it.
inline constexpr int kBarTop = 224;
inline constexpr Rect kNameField{96, 233, 212, 248};
inline constexpr Rect kPresetMenu{214, 224, 237, 251};
inline constexpr Rect kPresetRocker{230, 234, 261, 248};
inline constexpr Rect kLoadBank{76, 241, 88, 255};
inline constexpr Rect kSaveBank{11, 241, 23, 255};
inline constexpr Rect kBankWord{32, 243, 69, 253};
inline constexpr Rect kLoadPreset{76, 226, 88, 240};
inline constexpr Rect kSavePreset{11, 226, 23, 240};
inline constexpr Rect kPresetWord{27, 229, 74, 239};
inline constexpr Rect kRecallA{293, 226, 305, 240};
inline constexpr Rect kStoreA{269, 226, 281, 240};
inline constexpr Rect kRecallB{293, 241, 305, 253};
inline constexpr Rect kStoreB{269, 241, 281, 253};

// The memory labels sit in the gap between the store and recall arrows.
inline constexpr double kMemoryLabelX = 287.0;

// About picture: its size, and the box where the editor prints the version text, relative
// to the picture's top-left corner (kept free of artwork, light enough for black text).
inline constexpr int kAboutWidth = 260;
inline constexpr int kAboutHeight = 204;
inline constexpr Rect kAboutVersionBox{172, 80, 272, 95};

}  // namespace layout
}  // namespace artwork
