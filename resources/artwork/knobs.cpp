#include "resources/artwork/knobs.h"

#include <cmath>

namespace artwork {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The scale runs clockwise from the lower left (135 degrees, y pointing down) through the
// top to the lower right (405 degrees), as the knob controls move their handles.
constexpr double kScaleStart = 0.75 * kPi;
constexpr double kScaleSweep = 1.5 * kPi;

void drawScale(cairo_t* cr, double cx, double cy, const KnobStyle& style) {
    cairo_save(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    const int last = style.ticks - 1;
    for (int i = 0; i <= last; ++i) {
        const bool major = i == 0 || i == last || 2 * i == last;
        const double angle = kScaleStart + kScaleSweep * i / last;
        const double outer = major ? style.tickMajor : style.tickMinor;
        const double dx = std::cos(angle);
        const double dy = std::sin(angle);
        setColour(cr, major ? palette::kEngraving : palette::kScale, major ? 1.0 : 0.9);
        cairo_move_to(cr, cx + dx * style.tickInner, cy + dy * style.tickInner);
        cairo_line_to(cr, cx + dx * outer, cy + dy * outer);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void drawSoftShadow(cairo_t* cr, double cx, double cy, double radius) {
    constexpr double kDrop = 1.5;
    constexpr double kSpread = 3.0;
    cairo_pattern_t* shadow =
        cairo_pattern_create_radial(cx, cy + kDrop, radius - 1.0, cx, cy + kDrop, radius + kSpread);
    cairo_pattern_add_color_stop_rgba(shadow, 0.0, 0.0, 0.0, 0.0, 0.6);
    cairo_pattern_add_color_stop_rgba(shadow, 1.0, 0.0, 0.0, 0.0, 0.0);
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx, cy + kDrop, radius + kSpread, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);
}

void drawSkirt(cairo_t* cr, double cx, double cy, double radius) {
    setVerticalGradient(cr, cy - radius, cy + radius, palette::kRaisedTop, palette::kRaisedBottom);
    cairo_arc(cr, cx, cy, radius, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kOutline, 0.9);
    cairo_arc(cr, cx, cy, radius - 0.5, 0.0, 2.0 * kPi);
    cairo_stroke(cr);
    // The upper rim catches the light.
    setColour(cr, palette::kWhite, 0.16);
    cairo_arc(cr, cx, cy, radius - 1.5, 1.15 * kPi, 1.85 * kPi);
    cairo_stroke(cr);
}

void drawCap(cairo_t* cr, double cx, double cy, double radius) {
    // A groove around the cap sets it off from the skirt.
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kBlack, 0.35);
    cairo_arc(cr, cx, cy, radius + 0.5, 0.0, 2.0 * kPi);
    cairo_stroke(cr);

    cairo_pattern_t* face = cairo_pattern_create_radial(cx - 0.3 * radius, cy - 0.4 * radius, 0.0,
                                                        cx, cy, radius * 1.25);
    cairo_pattern_add_color_stop_rgb(face, 0.0, palette::kCapCentre.red, palette::kCapCentre.green,
                                     palette::kCapCentre.blue);
    cairo_pattern_add_color_stop_rgb(face, 1.0, palette::kCapEdge.red, palette::kCapEdge.green,
                                     palette::kCapEdge.blue);
    cairo_set_source(cr, face);
    cairo_arc(cr, cx, cy, radius, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(face);

    // Turned-metal rings on the cap, faint enough to read as texture only.
    for (double r = 2.0; r < radius - 1.0; r += 1.5) {
        setColour(cr, palette::kWhite, 0.035);
        cairo_arc(cr, cx, cy, r, 0.0, 2.0 * kPi);
        cairo_stroke(cr);
    }

    // Bevel: light upper edge, dark lower edge.
    cairo_pattern_t* bevel = cairo_pattern_create_linear(0.0, cy - radius, 0.0, cy + radius);
    cairo_pattern_add_color_stop_rgba(bevel, 0.0, 1.0, 1.0, 1.0, 0.35);
    cairo_pattern_add_color_stop_rgba(bevel, 0.5, 1.0, 1.0, 1.0, 0.0);
    cairo_pattern_add_color_stop_rgba(bevel, 1.0, 0.0, 0.0, 0.0, 0.45);
    cairo_set_source(cr, bevel);
    cairo_arc(cr, cx, cy, radius - 0.5, 0.0, 2.0 * kPi);
    cairo_stroke(cr);
    cairo_pattern_destroy(bevel);
}

// A light dot with a small drop shadow, centred in a size x size picture. The shadow's
// reach stays inside the inscribed circle so the corners remain fully transparent.
Surface paintHandle(int size, double dotRadius, double shadowDrop, double shadowSpread) {
    Surface surface = makeSurface(size, size, true);
    Context context = makeContext(surface.get());
    cairo_t* cr = context.get();
    const double c = size / 2.0;
    setColour(cr, palette::kBlack, 0.55);
    cairo_arc(cr, c, c + shadowDrop, dotRadius + shadowSpread, 0.0, 2.0 * kPi);
    cairo_fill(cr);

    cairo_pattern_t* dot =
        cairo_pattern_create_radial(c - 0.35 * dotRadius, c - 0.4 * dotRadius, 0.0, c, c, dotRadius);
    cairo_pattern_add_color_stop_rgb(dot, 0.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(dot, 0.55, palette::kAccentBright.red,
                                     palette::kAccentBright.green, palette::kAccentBright.blue);
    cairo_pattern_add_color_stop_rgb(dot, 1.0, palette::kAccent.red, palette::kAccent.green,
                                     palette::kAccent.blue);
    cairo_set_source(cr, dot);
    cairo_arc(cr, c, c, dotRadius, 0.0, 2.0 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(dot);
    return surface;
}

}  // namespace

void drawKnob(cairo_t* cr, const Rect& area, const KnobStyle& style) {
    const double cx = area.centreX();
    const double cy = area.centreY();
    cairo_save(cr);
    drawScale(cr, cx, cy, style);
    drawSoftShadow(cr, cx, cy, style.bodyRadius);
    drawSkirt(cr, cx, cy, style.bodyRadius);
    drawCap(cr, cx, cy, style.capRadius);
    cairo_restore(cr);
}

Surface paintLargeHandle() {
    constexpr int kSize = 9;
    constexpr double kDotRadius = 3.4;
    return paintHandle(kSize, kDotRadius, 0.4, 0.5);
}

Surface paintSmallHandle() {
    constexpr int kSize = 6;
    constexpr double kDotRadius = 2.1;
    return paintHandle(kSize, kDotRadius, 0.3, 0.4);
}

}  // namespace artwork
