// Small drawing helpers on top of cairo: owned surfaces and contexts, PNG encoding, crisp
// pixel-aligned lines, gradients, tracked label text and a brushed-metal texture.
#pragma once

#include <cairo.h>

#include <memory>
#include <string_view>
#include <vector>

#include "resources/artwork/layout.h"
#include "resources/artwork/palette.h"

namespace artwork {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// The scale every picture is drawn at: window pixels (the editor at 100 %) to surface
// pixels. Every size and position below is in window pixels; the helpers land hard edges on
// whole surface pixels with the editor's own rounding (gui/pixel_scale.h), so a picture at
// 200 % is as sharp as at 100 %. Drawing at 1 is exactly the 100 % artwork.
void setScale(double scale);
double scale();
// A length in window pixels as whole surface pixels.
int toPixels(double length);

// An image surface of this size in window pixels, cleared to transparent (with alpha) or
// black (without).
Surface makeSurface(int width, int height, bool withAlpha);
// The same with the size in surface pixels.
Surface makePixelSurface(int width, int height, bool withAlpha);

// A context on the surface with the text settings every picture shares, drawing in window
// pixels.
Context makeContext(cairo_surface_t* surface);

// The PNG file bytes of a surface.
std::vector<unsigned char> encodePng(cairo_surface_t* surface);

// A copy of one rectangle of a surface, as a surface of the same format: its left and top
// edges and its size each rounded to surface pixels, as the editor places controls.
Surface crop(cairo_surface_t* source, const Rect& area);

// Paints a whole surface, unscaled, with its top-left corner at the surface pixel nearest
// to (x, y).
void blit(cairo_t* cr, cairo_surface_t* source, double x, double y);

void setColour(cairo_t* cr, Colour colour, double alpha = 1.0);

// Sets a vertical linear gradient from `top` at y = y0 to `bottom` at y = y1 as source.
void setVerticalGradient(cairo_t* cr, double y0, double y1, Colour top, Colour bottom);

// A rectangle path with its edges on the nearest surface pixels.
void rectPath(cairo_t* cr, const Rect& area);

void fillRect(cairo_t* cr, const Rect& area, Colour colour, double alpha = 1.0);

// A 1-pixel frame along the inside edge of the rectangle, on pixel centres.
void strokeRectInside(cairo_t* cr, const Rect& area, Colour colour, double alpha = 1.0);

// One pixel row y from x0 up to (not including) x1, and one pixel column x likewise.
void horizontalLine(cairo_t* cr, int x0, int x1, int y, Colour colour, double alpha = 1.0);
void verticalLine(cairo_t* cr, int x, int y0, int y1, Colour colour, double alpha = 1.0);

void roundedRectPath(cairo_t* cr, double x, double y, double width, double height, double radius);

// A recessed window: dark shadow along the top and left, light edge along the bottom and
// right, filled with a vertical gradient.
void drawRecess(cairo_t* cr, const Rect& area, Colour top, Colour bottom);

enum class Align { kLeft, kCentre, kRight };

struct TextStyle {
    double size;      // pixels
    bool bold;
    double tracking;  // extra pixels after every character
};

double textWidth(cairo_t* cr, std::string_view utf8, const TextStyle& style);

// Draws text with its baseline at `baseline`, anchored at x as `align` says.
void drawText(cairo_t* cr, std::string_view utf8, double x, double baseline,
              const TextStyle& style, Align align, Colour colour, double alpha = 1.0);

// Text cut into the panel: a dark copy one pixel lower under the text itself.
void drawEngravedText(cairo_t* cr, std::string_view utf8, double x, double baseline,
                      const TextStyle& style, Align align, Colour colour);

// Fine horizontal streaks of light and shade over the rectangle, as brushed metal shows.
// The same seed always gives the same streaks.
void drawBrushedTexture(cairo_t* cr, const Rect& area, unsigned seed, double strength);

}  // namespace artwork
