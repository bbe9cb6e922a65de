#include "resources/artwork/bypass.h"

#include "resources/artwork/keys.h"
#include "resources/artwork/stack.h"

namespace artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kLampFrames = 2;
constexpr int kButtonFrames = 2;
constexpr double kSocketRadius = 6.5;
constexpr double kBezelRadius = 4.75;
constexpr double kLensRadius = 3.5;
constexpr double kButtonCorner = 3.0;
constexpr TextStyle kButtonText{8.5, true, 1.0};
constexpr double kButtonBaseline = 17.0;

void addStop(cairo_pattern_t* pattern, double offset, Colour colour) {
    cairo_pattern_add_color_stop_rgb(pattern, offset, colour.red, colour.green, colour.blue);
}

void drawLampFace(cairo_t* cr, bool lit) {
    const double c = layout::kBypassLamp.width() / 2.0;
    // Bezel: a dark ring, lighter towards the bottom where it faces the light.
    setVerticalGradient(cr, c - kBezelRadius, c + kBezelRadius, rgb(16, 17, 20), rgb(78, 83, 90));
    cairo_arc(cr, c, c, kBezelRadius, 0.0, 2.0 * kPi);
    cairo_fill(cr);

    cairo_pattern_t* lens = cairo_pattern_create_radial(c - 0.8, c - 0.9, 0.0, c, c, kLensRadius);
    if (lit) {
        addStop(lens, 0.0, palette::kLampOnCentre);
        addStop(lens, 0.45, palette::kLampOnMiddle);
        addStop(lens, 1.0, palette::kLampOnEdge);
    } else {
        addStop(lens, 0.0, palette::kLampOffCentre);
        addStop(lens, 1.0, palette::kLampOffEdge);
    }
    cairo_set_source(cr, lens);
    cairo_arc(cr, c, c, kLensRadius, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(lens);

    // A small reflection on the glass.
    setColour(cr, palette::kWhite, lit ? 0.6 : 0.2);
    cairo_arc(cr, c - 1.1, c - 1.3, 1.0, 0.0, 2.0 * kPi);
    cairo_fill(cr);
}

void drawBypassFace(cairo_t* cr, bool on) {
    const Rect box{0, 0, layout::kBypassButton.width(), layout::kBypassButton.height()};
    drawKey(cr, box, kButtonCorner, on ? KeyLook::kPressed : KeyLook::kRaised);
    const double x = box.centreX();
    const double baseline = kButtonBaseline + (on ? kPressedShift : 0.0);
    if (on) {
        // The lit lettering glows faintly into the key.
        drawText(cr, "BYPASS", x, baseline, kButtonText, Align::kCentre, palette::kBypassOnText, 1.0);
        setColour(cr, palette::kBypassOnText, 0.06);
        roundedRectPath(cr, 3.5, 3.5, box.width() - 7.0, box.height() - 7.0, 2.0);
        cairo_fill(cr);
    } else {
        drawText(cr, "BYPASS", x, baseline + 1.0, kButtonText, Align::kCentre, palette::kBlack, 0.5);
        drawText(cr, "BYPASS", x, baseline, kButtonText, Align::kCentre, palette::kEngraving);
    }
}

}  // namespace

void drawBypassSockets(cairo_t* cr) {
    const Rect& lamp = layout::kBypassLamp;
    setColour(cr, palette::kBlack, 0.4);
    cairo_arc(cr, lamp.centreX(), lamp.centreY(), kSocketRadius, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kWhite, 0.14);
    cairo_arc(cr, lamp.centreX(), lamp.centreY(), kSocketRadius - 0.5, 0.15 * kPi, 0.85 * kPi);
    cairo_stroke(cr);

    // The button sits in a dark recess that shows at its rounded corners; its lower edge
    // catches the light.
    const Rect& button = layout::kBypassButton;
    fillRect(cr, button, palette::kOutline, 0.9);
    horizontalLine(cr, button.left, button.right, button.bottom, palette::kWhite, 0.12);
}

Surface paintLamp(cairo_surface_t* background) {
    const Rect& place = layout::kBypassLamp;
    return stackFaces(background, place, place.height(), kLampFrames,
                      [](cairo_t* cr, int state) { drawLampFace(cr, state == 1); });
}

Surface paintBypassButton(cairo_surface_t* background) {
    const Rect& place = layout::kBypassButton;
    return stackFaces(background, place, place.height(), kButtonFrames,
                      [](cairo_t* cr, int state) { drawBypassFace(cr, state == 1); });
}

}  // namespace artwork
