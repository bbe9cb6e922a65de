#include "resources/artwork/about.h"

#include <cmath>

namespace artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr int kHeaderBottom = 72;
constexpr int kMargin = 14;
constexpr TextStyle kMakerText{15.0, true, 2.5};
constexpr TextStyle kNameText{28.0, false, 0.5};
constexpr TextStyle kSubtitleText{10.0, false, 2.0};
constexpr TextStyle kNoteText{9.0, false, 0.0};
constexpr TextStyle kRoleText{8.0, true, 1.5};
constexpr TextStyle kCreditText{14.0, true, 0.5};
constexpr TextStyle kSmallText{8.0, false, 0.0};
constexpr double kNameBaseline = 40.0;
constexpr double kSubtitleBaseline = 60.0;
constexpr double kVersionBaseline = 91.0;  // level with the version text the editor prints

// Twelve strings across the plate, each ringing in its own mode.
constexpr int kStrings = 12;
constexpr double kStringTop = 102.5;
constexpr double kStringPitch = 3.5;
constexpr double kStringLeft = kMargin;
constexpr double kStringRight = layout::kAboutWidth - kMargin;

void drawHeader(cairo_t* cr) {
    const Rect header{0, 0, layout::kAboutWidth, kHeaderBottom};
    setVerticalGradient(cr, header.top, header.bottom, palette::kTitleTop, palette::kTitleBottom);
    rectPath(cr, header);
    cairo_fill(cr);
    drawBrushedTexture(cr, header, 1200u, 0.03);

    const double makerWidth = textWidth(cr, "QZA", kMakerText);
    const double nameWidth = textWidth(cr, "Chordwell", kNameText);
    constexpr double kGap = 9.0;
    const double left = layout::kAboutWidth / 2.0 - (makerWidth + kGap + nameWidth) / 2.0;
    drawText(cr, "QZA", left, kNameBaseline - 1.0, kMakerText, Align::kLeft, palette::kAccent);
    drawText(cr, "Chordwell", left + makerWidth + kGap, kNameBaseline + 1.0, kNameText,
             Align::kLeft, palette::kBlack, 0.5);
    drawText(cr, "Chordwell", left + makerWidth + kGap, kNameBaseline, kNameText, Align::kLeft,
             rgb(228, 233, 238));
    drawText(cr, "string resonator", layout::kAboutWidth / 2.0, kSubtitleBaseline, kSubtitleText,
             Align::kCentre, palette::kAccentBright, 0.9);

    horizontalLine(cr, 0, header.right, header.bottom, palette::kOutline);
    horizontalLine(cr, 0, header.right, header.bottom + 1, palette::kAccent, 0.7);
}

void drawPlate(cairo_t* cr) {
    const Rect plate{0, kHeaderBottom + 2, layout::kAboutWidth, layout::kAboutHeight};
    setVerticalGradient(cr, plate.top, plate.bottom, palette::kPlateTop, palette::kPlateBottom);
    rectPath(cr, plate);
    cairo_fill(cr);
    drawBrushedTexture(cr, plate, 204u, 0.035);
}

void drawStrings(cairo_t* cr) {
    cairo_save(cr);
    cairo_set_line_width(cr, 1.0);
    constexpr double kStep = 0.5;
    const double length = kStringRight - kStringLeft;
    for (int i = 0; i < kStrings; ++i) {
        const double rest = kStringTop + kStringPitch * i;
        // Higher strings ring in higher modes and with smaller swings.
        const int mode = 1 + i % 4;
        const double swing = 0.8 - 0.04 * i;
        for (double x = kStringLeft; x <= kStringRight; x += kStep) {
            const double t = (x - kStringLeft) / length;
            const double y = rest + swing * std::sin(kPi * t) * std::sin(mode * kPi * t);
            if (x == kStringLeft) {
                cairo_move_to(cr, x, y);
            } else {
                cairo_line_to(cr, x, y);
            }
        }
        setColour(cr, i % 2 == 0 ? palette::kInkSoft : rgb(60, 120, 150), 0.75);
        cairo_stroke(cr);
    }
    // The bridges the strings run between.
    for (double x : {kStringLeft - 1.0, kStringRight + 1.0}) {
        cairo_rectangle(cr, x - 1.0, kStringTop - 3.0, 2.0, kStringPitch * (kStrings - 1) + 6.0);
        setColour(cr, palette::kInk, 0.8);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void drawCredits(cairo_t* cr) {
    const double centre = layout::kAboutWidth / 2.0;
    drawText(cr, "Stereo VST 2.4 effect", kMargin, kVersionBaseline, kNoteText, Align::kLeft,
             palette::kInkSoft);
    drawText(cr, "CONCEPT, SOUND AND CODE", centre, 154.0, kRoleText, Align::kCentre,
             palette::kInkSoft);
    drawText(cr, "QZA-tonefold", centre, 171.0, kCreditText, Align::kCentre, palette::kInk);
    horizontalLine(cr, kMargin, layout::kAboutWidth - kMargin, 180, palette::kInkSoft, 0.35);
    horizontalLine(cr, kMargin, layout::kAboutWidth - kMargin, 181, palette::kWhite, 0.5);
    drawText(cr, "\u00A9 2026 QZA-tonefold. All rights reserved.", kMargin, 194.0, kSmallText,
             Align::kLeft, palette::kInkSoft);
    drawText(cr, "click to close", layout::kAboutWidth - kMargin, 194.0, kSmallText,
             Align::kRight, palette::kInkSoft, 0.8);
}

void drawFrame(cairo_t* cr) {
    const Rect all{0, 0, layout::kAboutWidth, layout::kAboutHeight};
    strokeRectInside(cr, all, palette::kOutline);
    strokeRectInside(cr, Rect{1, 1, all.right - 1, all.bottom - 1}, palette::kWhite, 0.12);
}

}  // namespace

Surface paintAboutPicture() {
    Surface surface = makeSurface(layout::kAboutWidth, layout::kAboutHeight, false);
    Context context = makeContext(surface.get());
    cairo_t* cr = context.get();
    drawHeader(cr);
    drawPlate(cr);
    drawStrings(cr);
    drawCredits(cr);
    drawFrame(cr);
    return surface;
}

}  // namespace artwork
