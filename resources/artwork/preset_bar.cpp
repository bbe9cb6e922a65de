#include "resources/artwork/preset_bar.h"

#include <cmath>
#include <string_view>

#include "resources/artwork/keys.h"
#include "resources/artwork/stack.h"

namespace artwork {
namespace {

constexpr int kButtonStates = 3;  // normal, hover, pressed
constexpr int kWordSubHeight = 10;
constexpr int kArrowSubHeight = 14;
constexpr int kRockerStates = 5;
constexpr int kRockerSubHeight = 14;
constexpr double kKeyCorner = 2.0;
constexpr TextStyle kWordText{7.0, true, 1.0};
constexpr double kWordBaseline = 8.0;
constexpr TextStyle kMemoryText{9.0, true, 0.0};

// The bar's groups are parted by engraved lines at these columns.
constexpr int kGroupDividers[] = {92, 265};
// The menu symbol's key: the part of the menu's area that the rocker leaves uncovered.
constexpr Rect kMenuKey{215, 234, 229, 248};

void fillTriangle(cairo_t* cr, double x0, double y0, double x1, double y1, double x2, double y2) {
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void drawDivider(cairo_t* cr, int x) {
    verticalLine(cr, x, layout::kBarTop + 4, layout::kWindowHeight - 3, palette::kBlack, 0.5);
    verticalLine(cr, x + 1, layout::kBarTop + 4, layout::kWindowHeight - 3, palette::kWhite, 0.07);
}

void drawNameBox(cairo_t* cr) {
    const Rect& box = layout::kNameField;
    setVerticalGradient(cr, box.top, box.bottom, palette::kReadoutTop, palette::kReadoutBottom);
    rectPath(cr, box);
    cairo_fill(cr);
    horizontalLine(cr, box.left + 1, box.right - 1, box.top + 1, palette::kBlack, 0.18);
    strokeRectInside(cr, box, palette::kReadoutFrame);
    horizontalLine(cr, box.left, box.right, box.bottom, palette::kWhite, 0.12);
}

void drawMenuSymbol(cairo_t* cr) {
    drawKey(cr, kMenuKey, kKeyCorner, KeyLook::kRaised);
    // A list with a drop-down mark: three short lines over a small downward triangle.
    const int x0 = kMenuKey.left + 4;
    const int x1 = kMenuKey.right - 4;
    for (int i = 0; i < 3; ++i) {
        horizontalLine(cr, x0, x1, kMenuKey.top + 3 + 2 * i, palette::kEngraving, 0.9);
    }
    setColour(cr, palette::kAccent);
    const double cx = kMenuKey.centreX();
    const double top = kMenuKey.top + 9.0;
    fillTriangle(cr, cx - 3.0, top, cx + 3.0, top, cx, top + 3.0);
}

void drawMemoryLabels(cairo_t* cr) {
    drawEngravedText(cr, "A", layout::kMemoryLabelX, layout::kStoreA.bottom - 3.0, kMemoryText,
                     Align::kCentre, palette::kAccent);
    drawEngravedText(cr, "B", layout::kMemoryLabelX, layout::kStoreB.bottom - 2.0, kMemoryText,
                     Align::kCentre, palette::kAccent);
}

// A word that works as a button: engraved at rest, brighter on a faint pill under the
// mouse, on a dark pill while pressed.
void drawWordFace(cairo_t* cr, std::string_view word, int width, int state) {
    const double x = width / 2.0;
    if (state == 0) {
        drawEngravedText(cr, word, x, kWordBaseline, kWordText, Align::kCentre, palette::kEngraving);
        return;
    }
    roundedRectPath(cr, 0.5, 0.5, width - 1.0, kWordSubHeight - 1.0, 3.0);
    setColour(cr, state == 1 ? palette::kWhite : palette::kBlack, state == 1 ? 0.1 : 0.45);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, state == 1 ? palette::kAccent : palette::kOutline, state == 1 ? 0.45 : 0.9);
    cairo_stroke(cr);
    drawText(cr, word, x, kWordBaseline, kWordText, Align::kCentre,
             state == 1 ? palette::kAccentBright : palette::kAccent);
}

// A key with an arrow: down for loading, up for saving.
void drawArrowFace(cairo_t* cr, ArrowKind kind, int width, int height, int state) {
    const KeyLook look = state == 0 ? KeyLook::kRaised : state == 1 ? KeyLook::kLit : KeyLook::kPressed;
    drawKey(cr, Rect{0, 0, width, height}, kKeyCorner, look);
    const bool load = kind == ArrowKind::kLoad;
    const Colour colour = state == 0 ? (load ? palette::kLoadGreen : palette::kSavePink)
                                     : (load ? palette::kLoadGreenBright : palette::kSavePinkBright);
    const double shift = state == 2 ? kPressedShift : 0.0;
    const double cx = width / 2.0;
    // Whole-pixel rows for the head's base and the shaft keep their edges sharp; the head
    // is seven pixels wide and four long, the shaft two wide and three long.
    constexpr double kHalfHead = 3.5;
    constexpr double kHeadLength = 4.0;
    constexpr double kShaftLength = 3.0;
    const double middle = std::floor(height / 2.0) + shift;
    const double tip = load ? middle + kHeadLength : middle - kHeadLength;
    const double base = middle;
    setColour(cr, colour);
    fillTriangle(cr, cx - kHalfHead, base, cx + kHalfHead, base, cx, tip);
    cairo_rectangle(cr, cx - 1.0, load ? base - kShaftLength : base, 2.0, kShaftLength);
    cairo_fill(cr);
}

// The rocker: two halves with a left and a right triangle; the hovered half is lit, the
// pressed half sinks.
void drawRockerFace(cairo_t* cr, int state) {
    const int width = layout::kPresetRocker.width();
    const int height = kRockerSubHeight;
    const int half = width / 2;  // the middle column is the divider
    const KeyLook leftLook =
        state == 1 ? KeyLook::kLit : state == 3 ? KeyLook::kPressed : KeyLook::kRaised;
    const KeyLook rightLook =
        state == 2 ? KeyLook::kLit : state == 4 ? KeyLook::kPressed : KeyLook::kRaised;
    drawKey(cr, Rect{0, 0, half + 1, height}, kKeyCorner, leftLook);
    drawKey(cr, Rect{half, 0, width, height}, kKeyCorner, rightLook);

    const double cy = height / 2.0;
    const double leftShift = state == 3 ? kPressedShift : 0.0;
    const double rightShift = state == 4 ? kPressedShift : 0.0;
    const double leftX = half / 2.0 + 0.5;
    const double rightX = half + (width - half) / 2.0;
    setColour(cr, leftLook == KeyLook::kRaised ? palette::kEngraving : palette::kAccentBright);
    fillTriangle(cr, leftX - 2.0, cy + leftShift, leftX + 2.0, cy - 3.5 + leftShift, leftX + 2.0,
                 cy + 3.5 + leftShift);
    setColour(cr, rightLook == KeyLook::kRaised ? palette::kEngraving : palette::kAccentBright);
    fillTriangle(cr, rightX + 2.0, cy + rightShift, rightX - 2.0, cy - 3.5 + rightShift,
                 rightX - 2.0, cy + 3.5 + rightShift);
}

}  // namespace

void drawPresetBarBand(cairo_t* cr) {
    const Rect band{0, layout::kBarTop, layout::kWindowWidth, layout::kWindowHeight};
    setVerticalGradient(cr, band.top, band.bottom, palette::kBarTop, palette::kBarBottom);
    rectPath(cr, band);
    cairo_fill(cr);
    drawBrushedTexture(cr, band, 224u, 0.025);
    horizontalLine(cr, band.left, band.right, band.top, palette::kOutline);
    horizontalLine(cr, band.left, band.right, band.top + 1, palette::kWhite, 0.06);
    for (int x : kGroupDividers) drawDivider(cr, x);
    drawNameBox(cr);
    drawMenuSymbol(cr);
    drawMemoryLabels(cr);
}

Surface paintPresetWordButton(cairo_surface_t* background) {
    const Rect& place = layout::kPresetWord;
    return stackFaces(background, place, kWordSubHeight, kButtonStates, [&](cairo_t* cr, int state) {
        drawWordFace(cr, "PRESET", place.width(), state);
    });
}

Surface paintBankWordButton(cairo_surface_t* background) {
    const Rect& place = layout::kBankWord;
    return stackFaces(background, place, kWordSubHeight, kButtonStates, [&](cairo_t* cr, int state) {
        drawWordFace(cr, "BANK", place.width(), state);
    });
}

Surface paintArrowButton(cairo_surface_t* background, const Rect& place, ArrowKind kind) {
    const int visible = place.height() < kArrowSubHeight ? place.height() : kArrowSubHeight;
    return stackFaces(background, place, kArrowSubHeight, kButtonStates, [&](cairo_t* cr, int state) {
        drawArrowFace(cr, kind, place.width(), visible, state);
    });
}

Surface paintPresetRocker(cairo_surface_t* background) {
    return stackFaces(background, layout::kPresetRocker, kRockerSubHeight, kRockerStates,
                      drawRockerFace);
}

}  // namespace artwork
