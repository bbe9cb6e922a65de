#include "resources/artwork/canvas.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "gui/pixel_scale.h"

namespace artwork {
namespace {

constexpr const char* kFontFamily = "Liberation Sans";

cairo_status_t appendToVector(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

void selectFont(cairo_t* cr, const TextStyle& style) {
    cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, style.size);
}

// Length in bytes of the UTF-8 sequence that starts with this byte.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    return 4;
}

// Calls f(character, advance) for every character, the advance including the tracking.
template <typename F>
void forEachCharacter(cairo_t* cr, std::string_view utf8, const TextStyle& style, F f) {
    selectFont(cr, style);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t n = sequenceLength(static_cast<unsigned char>(utf8[i]));
        const std::string character(utf8.substr(i, n));
        cairo_text_extents_t extents;
        cairo_text_extents(cr, character.c_str(), &extents);
        f(character, extents.x_advance + style.tracking);
        i += n;
    }
}

// A small linear congruential generator, fully defined here so the texture never depends on
// the standard library's distributions.
class Streaks {
public:
    explicit Streaks(unsigned seed) : state(seed * 2654435761u + 1u) {}
    // A number in [0, 1).
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
    }

private:
    std::uint32_t state;
};

double drawingScale = 1.0;

// The surface pixel nearest to a point in user space, back in user space: with the context
// scaled and translated by whole surface pixels this is where a hard edge must lie.
void snap(cairo_t* cr, double& x, double& y) {
    if (drawingScale == 1.0) return;
    cairo_user_to_device(cr, &x, &y);
    x = std::floor(x + 0.5);
    y = std::floor(y + 0.5);
    cairo_device_to_user(cr, &x, &y);
}

}  // namespace

void setScale(double newScale) { drawingScale = newScale > 0 ? newScale : 1.0; }

double scale() { return drawingScale; }

int toPixels(double length) { return pixel_scale::toPixels(length, drawingScale); }

Surface makeSurface(int width, int height, bool withAlpha) {
    return makePixelSurface(toPixels(width), toPixels(height), withAlpha);
}

Surface makePixelSurface(int width, int height, bool withAlpha) {
    Surface surface(cairo_image_surface_create(withAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
                                               width, height));
    Context cr(cairo_create(surface.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr.get());
    return surface;
}

Context makeContext(cairo_surface_t* surface) {
    Context cr(cairo_create(surface));
    // Grey antialiasing with light hinting keeps small labels crisp without colour fringes;
    // hinted metrics keep letter spacing on whole pixels.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr.get(), options);
    cairo_font_options_destroy(options);
    if (drawingScale != 1.0) cairo_scale(cr.get(), drawingScale, drawingScale);
    return cr;
}

std::vector<unsigned char> encodePng(cairo_surface_t* surface) {
    std::vector<unsigned char> bytes;
    cairo_surface_flush(surface);
    cairo_surface_write_to_png_stream(surface, appendToVector, &bytes);
    return bytes;
}

Surface crop(cairo_surface_t* source, const Rect& area) {
    const bool withAlpha = cairo_image_surface_get_format(source) == CAIRO_FORMAT_ARGB32;
    Surface part = makeSurface(area.width(), area.height(), withAlpha);
    Context cr(cairo_create(part.get()));
    cairo_set_source_surface(cr.get(), source, -toPixels(area.left), -toPixels(area.top));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    return part;
}

void blit(cairo_t* cr, cairo_surface_t* source, double x, double y) {
    cairo_save(cr);
    if (drawingScale != 1.0) {
        snap(cr, x, y);
        cairo_user_to_device(cr, &x, &y);
        cairo_identity_matrix(cr);
    }
    cairo_set_source_surface(cr, source, x, y);
    cairo_paint(cr);
    cairo_restore(cr);
}

void setColour(cairo_t* cr, Colour colour, double alpha) {
    cairo_set_source_rgba(cr, colour.red, colour.green, colour.blue, alpha);
}

void setVerticalGradient(cairo_t* cr, double y0, double y1, Colour top, Colour bottom) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0.0, y0, 0.0, y1);
    cairo_pattern_add_color_stop_rgb(gradient, 0.0, top.red, top.green, top.blue);
    cairo_pattern_add_color_stop_rgb(gradient, 1.0, bottom.red, bottom.green, bottom.blue);
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
}

void rectPath(cairo_t* cr, const Rect& area) {
    double x0 = area.left, y0 = area.top, x1 = area.right, y1 = area.bottom;
    snap(cr, x0, y0);
    snap(cr, x1, y1);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
}

void fillRect(cairo_t* cr, const Rect& area, Colour colour, double alpha) {
    setColour(cr, colour, alpha);
    rectPath(cr, area);
    cairo_fill(cr);
}

void strokeRectInside(cairo_t* cr, const Rect& area, Colour colour, double alpha) {
    if (drawingScale != 1.0) {
        // Four bands one window pixel wide, each edge on a whole surface pixel.
        horizontalLine(cr, area.left, area.right, area.top, colour, alpha);
        horizontalLine(cr, area.left, area.right, area.bottom - 1, colour, alpha);
        verticalLine(cr, area.left, area.top + 1, area.bottom - 1, colour, alpha);
        verticalLine(cr, area.right - 1, area.top + 1, area.bottom - 1, colour, alpha);
        return;
    }
    setColour(cr, colour, alpha);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, area.left + 0.5, area.top + 0.5, area.width() - 1.0, area.height() - 1.0);
    cairo_stroke(cr);
}

void horizontalLine(cairo_t* cr, int x0, int x1, int y, Colour colour, double alpha) {
    fillRect(cr, Rect{x0, y, x1, y + 1}, colour, alpha);
}

void verticalLine(cairo_t* cr, int x, int y0, int y1, Colour colour, double alpha) {
    fillRect(cr, Rect{x, y0, x + 1, y1}, colour, alpha);
}

void roundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius) {
    constexpr double kQuarter = 1.5707963267948966;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -kQuarter, 0.0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0.0, kQuarter);
    cairo_arc(cr, x + radius, y + height - radius, radius, kQuarter, 2.0 * kQuarter);
    cairo_arc(cr, x + radius, y + radius, radius, 2.0 * kQuarter, 3.0 * kQuarter);
    cairo_close_path(cr);
}

void drawRecess(cairo_t* cr, const Rect& area, Colour top, Colour bottom) {
    setVerticalGradient(cr, area.top, area.bottom, top, bottom);
    rectPath(cr, area);
    cairo_fill(cr);
    // Light falls from above: the upper and left inner edges are in shadow, the lower and
    // right outer edges catch the light.
    horizontalLine(cr, area.left, area.right, area.top, palette::kOutline, 0.85);
    verticalLine(cr, area.left, area.top + 1, area.bottom, palette::kOutline, 0.55);
    horizontalLine(cr, area.left + 1, area.right, area.top + 1, palette::kBlack, 0.18);
    horizontalLine(cr, area.left, area.right + 1, area.bottom, palette::kWhite, 0.16);
    verticalLine(cr, area.right, area.top, area.bottom, palette::kWhite, 0.10);
}

double textWidth(cairo_t* cr, std::string_view utf8, const TextStyle& style) {
    double width = 0.0;
    forEachCharacter(cr, utf8, style, [&](const std::string&, double advance) { width += advance; });
    return width - style.tracking;
}

void drawText(cairo_t* cr, std::string_view utf8, double x, double baseline,
              const TextStyle& style, Align align, Colour colour, double alpha) {
    const double width = textWidth(cr, utf8, style);
    double pen = x;
    if (align == Align::kCentre) pen = x - width / 2.0;
    if (align == Align::kRight) pen = x - width;
    // Whole-pixel start positions keep the stems of small letters sharp.
    pen = static_cast<double>(static_cast<long>(pen + 0.5));
    if (drawingScale != 1.0) {
        // The same at the drawing's scale: pen and baseline on whole surface pixels.
        double unused = 0.0;
        pen = x;
        if (align == Align::kCentre) pen = x - width / 2.0;
        if (align == Align::kRight) pen = x - width;
        snap(cr, pen, unused);
        unused = 0.0;
        snap(cr, unused, baseline);
    }
    cairo_save(cr);
    setColour(cr, colour, alpha);
    forEachCharacter(cr, utf8, style, [&](const std::string& character, double advance) {
        cairo_move_to(cr, pen, baseline);
        cairo_show_text(cr, character.c_str());
        pen += advance;
    });
    // Showing text leaves a current point behind; drop it so the next shape starts afresh.
    cairo_new_path(cr);
    cairo_restore(cr);
}

void drawEngravedText(cairo_t* cr, std::string_view utf8, double x, double baseline,
                      const TextStyle& style, Align align, Colour colour) {
    drawText(cr, utf8, x, baseline + 1.0, style, align, palette::kBlack, 0.55);
    drawText(cr, utf8, x, baseline, style, align, colour);
}

void drawBrushedTexture(cairo_t* cr, const Rect& area, unsigned seed, double strength) {
    Streaks random(seed);
    constexpr int kStreaksPerRow = 5;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int i = 0; i < kStreaksPerRow; ++i) {
            const double start = area.left + random.next() * area.width();
            const double length = 12.0 + random.next() * 90.0;
            const bool light = random.next() < 0.5;
            const double alpha = strength * (0.3 + 0.7 * random.next());
            const double end = start + length < area.right ? start + length : area.right;
            setColour(cr, light ? palette::kWhite : palette::kBlack, alpha);
            cairo_rectangle(cr, start, y, end - start, 1.0);
            cairo_fill(cr);
        }
    }
}

}  // namespace artwork
