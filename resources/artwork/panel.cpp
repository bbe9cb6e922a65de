#include "resources/artwork/panel.h"

#include <cmath>
#include <string_view>

#include "resources/artwork/bypass.h"
#include "resources/artwork/knobs.h"
#include "resources/artwork/preset_bar.h"

namespace artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr TextStyle kLabelText{7.5, true, 1.0};
constexpr TextStyle kLogoMaker{12.0, true, 2.0};
constexpr TextStyle kLogoName{22.0, false, 0.5};
constexpr TextStyle kLogoInfo{9.0, true, 0.0};
constexpr double kLogoBaseline = 36.0;
constexpr double kLogoGap = 7.0;  // between the maker's mark and the product name
constexpr double kLabelGap = 3.5;  // between a label's baseline and its knob's scale

// The logo's mark: twelve strings whose lengths fall by a semitone each, like a harp's.
constexpr int kStrings = 12;
constexpr int kStringLeft = 62;
constexpr int kStringPitch = 2;
constexpr int kStringFoot = 41;
constexpr double kLongestString = 25.0;

// The info mark at the right end of the logo plate says the plate can be clicked.
constexpr double kInfoX = 266.5;
constexpr double kInfoY = 28.5;
constexpr double kInfoRadius = 6.5;

constexpr double kScrewRadius = 4.0;
constexpr double kScrewY = 28.5;
constexpr double kScrewXs[] = {24.5, 295.5};

struct Labelled {
    std::string_view label;
    Rect knob;
    Rect display;
    const KnobStyle* style;
};

constexpr Labelled kKnobs[] = {
    {"DECAY", layout::kDecayKnob, layout::kDecayDisplay, &kLargeKnob},
    {"DAMP", layout::kDampKnob, layout::kDampDisplay, &kLargeKnob},
    {"TRANSPOSE", layout::kTransposeKnob, layout::kTransposeDisplay, &kSmallKnob},
    {"TUNE", layout::kTuneKnob, layout::kTuneDisplay, &kSmallKnob},
    {"DETUNE", layout::kDetuneKnob, layout::kDetuneDisplay, &kSmallKnob},
    {"MIX", layout::kMixKnob, layout::kMixDisplay, &kSmallKnob},
    {"OUTPUT", layout::kOutputKnob, layout::kOutputDisplay, &kSmallKnob},
};

// Readout windows are narrower than the displays: the value texts are short, and the room
// at the sides keeps the windows clear of neighbouring labels. The window's lit lower edge
// is its last row, inside the display.
constexpr int kReadoutInset = 4;

void drawPanelSurface(cairo_t* cr) {
    const Rect panel{0, layout::kTitleBandBottom, layout::kWindowWidth, layout::kBarTop};
    setVerticalGradient(cr, panel.top, panel.bottom, palette::kPanelTop, palette::kPanelBottom);
    rectPath(cr, panel);
    cairo_fill(cr);
    drawBrushedTexture(cr, panel, 1128u, 0.022);
}

void drawScrew(cairo_t* cr, double x, double y) {
    setColour(cr, palette::kBlack, 0.5);
    cairo_arc(cr, x, y + 0.5, kScrewRadius + 0.5, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    setVerticalGradient(cr, y - kScrewRadius, y + kScrewRadius, rgb(120, 126, 134), rgb(52, 56, 62));
    cairo_arc(cr, x, y, kScrewRadius, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    // A slot turned to a slant, as real screws never line up.
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.35);
    cairo_rectangle(cr, -kScrewRadius + 1.0, -0.6, 2.0 * kScrewRadius - 2.0, 1.2);
    setColour(cr, palette::kOutline, 0.85);
    cairo_fill(cr);
    cairo_restore(cr);
}

void drawHarpMark(cairo_t* cr) {
    for (int i = 0; i < kStrings; ++i) {
        const double length = std::round(kLongestString * std::pow(2.0, -i / 12.0));
        const int x = kStringLeft + kStringPitch * i;
        const int top = kStringFoot - static_cast<int>(length);
        verticalLine(cr, x, top, kStringFoot, palette::kAccent, 1.0 - 0.03 * i);
    }
    horizontalLine(cr, kStringLeft - 2, kStringLeft + kStringPitch * kStrings + 1, kStringFoot,
                   palette::kEngravingDim, 0.8);
}

void drawLogoPlate(cairo_t* cr) {
    const Rect& plate = layout::kAboutClick;
    // A raised plate with a drop shadow, so it reads as something to press.
    horizontalLine(cr, plate.left + 2, plate.right - 2, plate.bottom, palette::kBlack, 0.45);
    setVerticalGradient(cr, plate.top, plate.bottom, rgb(66, 71, 79), rgb(36, 39, 45));
    roundedRectPath(cr, plate.left + 0.5, plate.top + 0.5, plate.width() - 1.0, plate.height() - 1.0, 4.0);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kOutline);
    cairo_stroke(cr);
    horizontalLine(cr, plate.left + 4, plate.right - 4, plate.top + 1, palette::kWhite, 0.18);
    drawBrushedTexture(cr, Rect{plate.left + 2, plate.top + 2, plate.right - 2, plate.bottom - 2},
                       50u, 0.03);

    drawHarpMark(cr);
    const double makerWidth = textWidth(cr, "QZA", kLogoMaker);
    const double nameWidth = textWidth(cr, "Chordwell", kLogoName);
    // The name is centred in the room between the string mark and the info mark.
    const double roomLeft = kStringLeft + kStringPitch * kStrings;
    const double roomRight = kInfoX - kInfoRadius;
    const double left = (roomLeft + roomRight) / 2.0 - (makerWidth + kLogoGap + nameWidth) / 2.0;
    drawText(cr, "QZA", left, kLogoBaseline - 1.0, kLogoMaker, Align::kLeft, palette::kAccent);
    drawText(cr, "Chordwell", left + makerWidth + kLogoGap, kLogoBaseline + 1.0, kLogoName,
             Align::kLeft, palette::kBlack, 0.5);
    drawText(cr, "Chordwell", left + makerWidth + kLogoGap, kLogoBaseline, kLogoName, Align::kLeft,
             rgb(228, 233, 238));

    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kAccent, 0.8);
    cairo_arc(cr, kInfoX, kInfoY, kInfoRadius, 0.0, 2.0 * kPi);
    cairo_stroke(cr);
    drawText(cr, "i", kInfoX, kInfoY + 3.5, kLogoInfo, Align::kCentre, palette::kAccent);
}

void drawTitleBand(cairo_t* cr) {
    const Rect band{0, 0, layout::kWindowWidth, layout::kTitleBandBottom};
    setVerticalGradient(cr, band.top, band.bottom, palette::kTitleTop, palette::kTitleBottom);
    rectPath(cr, band);
    cairo_fill(cr);
    drawBrushedTexture(cr, band, 0u, 0.025);
    horizontalLine(cr, 0, band.right, band.bottom, palette::kOutline);
    horizontalLine(cr, 0, band.right, band.bottom + 1, palette::kWhite, 0.07);
    horizontalLine(cr, 0, band.right, 0, palette::kWhite, 0.08);
    for (double x : kScrewXs) drawScrew(cr, x, kScrewY);
    drawLogoPlate(cr);
}

void drawKnobSection(cairo_t* cr, const Labelled& knob) {
    drawKnob(cr, knob.knob, *knob.style);
    const double baseline =
        std::floor(knob.knob.centreY() - knob.style->tickMajor - kLabelGap);
    drawEngravedText(cr, knob.label, knob.knob.centreX(), baseline, kLabelText, Align::kCentre,
                     palette::kEngraving);
    const Rect& d = knob.display;
    drawRecess(cr, Rect{d.left + kReadoutInset, d.top, d.right - kReadoutInset, d.bottom - 1},
               palette::kReadoutTop, palette::kReadoutBottom);
}

}  // namespace

Surface paintPanel() {
    Surface surface = makeSurface(layout::kWindowWidth, layout::kWindowHeight, false);
    Context context = makeContext(surface.get());
    cairo_t* cr = context.get();
    drawPanelSurface(cr);
    drawTitleBand(cr);
    for (const Labelled& knob : kKnobs) drawKnobSection(cr, knob);
    drawBypassSockets(cr);
    drawPresetBarBand(cr);
    return surface;
}

}  // namespace artwork
