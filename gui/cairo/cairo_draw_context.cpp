// CDrawContext drawn with cairo onto a PixelSurface's image surface.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "gui/cairo/cairo_pixel_surface.h"
#include "gui/cdrawcontext.h"
#include "gui/utf8.h"

struct CDrawContext::Impl {
    cairo_t* cr = nullptr;
    CCoord width = 0;
    CCoord height = 0;

    ~Impl() {
        if (cr) cairo_destroy(cr);
    }
};

namespace {

void setSource(cairo_t* cr, const CColor& c, float globalAlpha) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0 * globalAlpha);
}

// Selects the family, face and pixel size for cairo's text calls; fontconfig resolves the
// family (Arial becomes its metric-compatible substitute where Arial is not installed).
void selectFont(cairo_t* cr, const CFontDesc& font, bool antialias) {
    cairo_select_font_face(cr, font.getName(),
                           (font.getStyle() & kItalicFace) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           (font.getStyle() & kBoldFace) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.getSize());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

}  // namespace

CDrawContext::CDrawContext(PixelSurface& surface, double scale) : impl(std::make_unique<Impl>()), scale(scale > 0 ? scale : 1.0) {
    if (cairo_surface_t* s = cairoSurfaceOf(surface)) {
        impl->cr = cairo_create(s);
        impl->width = surface.getWidth();
        impl->height = surface.getHeight();
    }
    resetClipRect();
}

CDrawContext::~CDrawContext() {
    if (impl->cr) cairo_surface_flush(cairo_get_target(impl->cr));
}

CCoord CDrawContext::pixelWidth() const { return impl->width; }

CCoord CDrawContext::pixelHeight() const { return impl->height; }

void CDrawContext::applyClip() {
    if (!impl->cr) return;
    cairo_reset_clip(impl->cr);
    cairo_rectangle(impl->cr, pixelClip.left, pixelClip.top, pixelClip.getWidth(), pixelClip.getHeight());
    cairo_clip(impl->cr);
}


void CDrawContext::pixelRect(const CRect& rect, CDrawStyle style, CCoord lineWidth) {
    cairo_t* cr = impl->cr;
    if (!cr) return;
    cairo_save(cr);
    if (style == kDrawFilled || style == kDrawFilledAndStroked) {
        cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
        setSource(cr, fillColor, globalAlpha);
        cairo_fill(cr);
    }
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        // The frame lies inside the rectangle: its outer edge is the rectangle's edge.
        const CCoord half = lineWidth / 2;
        cairo_rectangle(cr, rect.left + half, rect.top + half, rect.getWidth() - lineWidth,
                        rect.getHeight() - lineWidth);
        cairo_set_line_width(cr, lineWidth);
        cairo_set_antialias(cr, drawMode == kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        setSource(cr, frameColor, globalAlpha);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void CDrawContext::pixelLine(const CPoint& from, const CPoint& to, CCoord lineWidth) {
    cairo_t* cr = impl->cr;
    if (!cr) return;
    cairo_save(cr);
    // In aliased mode a line between whole-pixel points covers the pixels to the right of
    // and below its path, like the pixel grid of the rectangle functions.
    const CCoord shift = drawMode == kAntiAliasing ? 0 : 0.5;
    cairo_set_antialias(cr, drawMode == kAntiAliasing ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_move_to(cr, from.x + shift, from.y + shift);
    cairo_line_to(cr, to.x + shift, to.y + shift);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    setSource(cr, frameColor, globalAlpha);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void CDrawContext::pixelClear(const CRect& rect, const CColor& color) {
    cairo_t* cr = impl->cr;
    if (!cr) return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    setSource(cr, color, 1.0f);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CDrawContext::pixelString(const char* rawText, const CRect& rect, CHoriTxtAlign align, bool antialias,
                               const CFontDesc& font) {
    cairo_t* cr = impl->cr;
    if (!cr || !rawText || !*rawText || rect.isEmpty()) return;
    // cairo refuses malformed UTF-8 by putting the whole context into an error state, which
    // would stop every later drawing call of this pass: names from files may be 8-bit text.
    const std::string safe = utf8::wellFormed(rawText);
    const char* text = safe.c_str();
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.getWidth(), rect.getHeight());
    cairo_clip(cr);
    selectFont(cr, font, antialias);

    cairo_text_extents_t textExtents;
    cairo_text_extents(cr, text, &textExtents);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cr, &fontExtents);

    CCoord x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.getWidth() - textExtents.x_advance) / 2;
    else if (align == kRightText)
        x = rect.right - textExtents.x_advance;
    // Baseline so that the font's ascent and descent sit centred in the rectangle, on a whole
    // pixel so that glyphs stay sharp.
    const CCoord baseline = rect.top + (rect.getHeight() + fontExtents.ascent - fontExtents.descent) / 2;
    cairo_move_to(cr, std::round(x), std::round(baseline));
    setSource(cr, fontColor, globalAlpha);
    cairo_show_text(cr, text);
    cairo_restore(cr);
}

CCoord CDrawContext::pixelStringWidth(const char* text, const CFontDesc& font) {
    cairo_t* cr = impl->cr;
    if (!cr || !text) return 0;
    const std::string safe = utf8::wellFormed(text);
    cairo_save(cr);
    selectFont(cr, font, true);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, safe.c_str(), &extents);
    cairo_restore(cr);
    return extents.x_advance;
}

void CDrawContext::pixelCopy(const PixelSurface& source, const CRect& dest, const CPoint& offset, float alpha) {
    cairo_t* cr = impl->cr;
    cairo_surface_t* src = cairoSurfaceOf(source);
    if (!cr || !src || dest.isEmpty()) return;
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.getWidth(), dest.getHeight());
    cairo_clip(cr);
    cairo_set_source_surface(cr, src, dest.left - offset.x, dest.top - offset.y);
    // Unscaled copies: sample whole pixels, never blend neighbours.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint_with_alpha(cr, std::clamp(alpha, 0.0f, 1.0f) * globalAlpha);
    cairo_restore(cr);
}

