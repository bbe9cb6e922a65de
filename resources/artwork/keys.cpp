#include "resources/artwork/keys.h"

namespace artwork {
namespace {

// Shading of a lit key over a raised one: a thin veil of white.
constexpr double kLitVeil = 0.09;

}  // namespace

void drawKey(cairo_t* cr, const Rect& box, double radius, KeyLook look) {
    cairo_save(cr);
    const double x = box.left + 0.5;
    const double y = box.top + 0.5;
    const double w = box.width() - 1.0;
    const double h = box.height() - 1.0;

    if (look == KeyLook::kPressed) {
        setVerticalGradient(cr, box.top, box.bottom, palette::kSunkenTop, palette::kSunkenBottom);
    } else {
        setVerticalGradient(cr, box.top, box.bottom, palette::kRaisedTop, palette::kRaisedBottom);
    }
    roundedRectPath(cr, x, y, w, h, radius);
    cairo_fill_preserve(cr);
    if (look == KeyLook::kLit) {
        setColour(cr, palette::kWhite, kLitVeil);
        cairo_fill_preserve(cr);
    }
    cairo_set_line_width(cr, 1.0);
    setColour(cr, palette::kOutline, 0.95);
    cairo_stroke(cr);

    // Inner edge on pixel rows just inside the outline: a highlight along the top of a
    // raised key, a shadow along the top of a pressed one.
    const int inset = radius >= 2.0 ? static_cast<int>(radius) : 2;
    if (look == KeyLook::kPressed) {
        horizontalLine(cr, box.left + 1, box.right - 1, box.top + 1, palette::kBlack, 0.45);
        horizontalLine(cr, box.left + 1, box.right - 1, box.top + 2, palette::kBlack, 0.18);
    } else {
        horizontalLine(cr, box.left + inset, box.right - inset, box.top + 1, palette::kWhite,
                       look == KeyLook::kLit ? 0.32 : 0.2);
        horizontalLine(cr, box.left + inset, box.right - inset, box.bottom - 2, palette::kBlack, 0.25);
    }
    cairo_restore(cr);
}

}  // namespace artwork
