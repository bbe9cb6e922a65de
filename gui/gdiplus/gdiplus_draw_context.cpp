// CDrawContext on Windows. Rectangles, straight lines along the pixel grid and bitmap pieces
// are written into the surface's memory here, with the same arithmetic as the Linux backend's
// (premultiplied colour over what is there, rounded alike), so that everything but text comes
// out the same to the bit on both systems. Text and slanted or smoothed lines go through GDI+,
// drawing into the same memory.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "gui/cdrawcontext.h"
#include "gui/gdiplus/gdiplus_pixel_surface.h"
#include "gui/gdiplus/gdiplus_session.h"
#include "gui/utf8.h"
#include "platform/utf16_win32.h"

using namespace Gdiplus;

namespace {

// a * b / 255, rounded to the nearest, for 8-bit a and b.
inline unsigned mul255(unsigned a, unsigned b) {
    const unsigned t = a * b + 0x80;
    return ((t >> 8) + t) >> 8;
}

inline std::uint32_t scaleWord(std::uint32_t word, unsigned alpha) {
    if (alpha == 255) return word;
    return mul255(word >> 24, alpha) << 24 | mul255((word >> 16) & 0xff, alpha) << 16 |
           mul255((word >> 8) & 0xff, alpha) << 8 | mul255(word & 0xff, alpha);
}

// A premultiplied pixel over another.
inline std::uint32_t over(std::uint32_t source, std::uint32_t dest) {
    const unsigned keep = 255 - (source >> 24);
    if (keep == 0) return source;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const unsigned c = ((source >> shift) & 0xff) + mul255((dest >> shift) & 0xff, keep);
        out |= std::min(c, 255u) << shift;
    }
    return out;
}

unsigned alpha8(float alpha) { return static_cast<unsigned>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f)); }

// A colour as a premultiplied word, its alpha multiplied by `alpha` first.
std::uint32_t premultiplied(const CColor& c, float alpha) {
    const unsigned a = mul255(c.alpha, alpha8(alpha));
    return a << 24 | mul255(c.red, a) << 16 | mul255(c.green, a) << 8 | mul255(c.blue, a);
}

ARGB argbOf(const CColor& c, float alpha) {
    const unsigned a = mul255(c.alpha, alpha8(alpha));
    return static_cast<ARGB>(a) << 24 | static_cast<ARGB>(c.red) << 16 | static_cast<ARGB>(c.green) << 8 | c.blue;
}

// The pixels whose centres lie inside the rectangle: [x0, x1) by [y0, y1).
struct PixelSpan {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
};

PixelSpan spanOf(const CRect& r) {
    auto edge = [](CCoord v) { return static_cast<int>(std::ceil(std::clamp(v - 0.5, -1e6, 1e6))); };
    return {edge(r.left), edge(r.top), edge(r.right), edge(r.bottom)};
}

PixelSpan intersect(PixelSpan a, const PixelSpan& b) {
    a.x0 = std::max(a.x0, b.x0);
    a.y0 = std::max(a.y0, b.y0);
    a.x1 = std::min(a.x1, b.x1);
    a.y1 = std::min(a.y1, b.y1);
    return a;
}

}  // namespace

struct CDrawContext::Impl {
    PixelSurface::Impl* target = nullptr;
    CCoord width = 0;
    CCoord height = 0;

    // GDI+, set up on first use: most passes draw bitmap pieces only.
    std::optional<gdiplus_backend::Session> session;
    GpBitmap* bitmap = nullptr;
    GpGraphics* graphics = nullptr;
    GpStringFormat* format = nullptr;
    bool gdiplusFailed = false;

    ~Impl() {
        if (format) DllExports::GdipDeleteStringFormat(format);
        if (graphics) {
            DllExports::GdipFlush(graphics, FlushIntentionSync);
            DllExports::GdipDeleteGraphics(graphics);
        }
        if (bitmap) DllExports::GdipDisposeImage(bitmap);
    }

    bool valid() const { return target && target->isValid(); }

    bool ensureGraphics(const CRect& clip) {
        if (graphics) return true;
        if (gdiplusFailed || !valid()) return false;
        gdiplusFailed = true;
        session.emplace();
        if (!session->ok()) return false;
        if (DllExports::GdipCreateBitmapFromScan0(target->width, target->height, static_cast<INT>(target->stride()),
                                                  PixelFormat32bppPARGB,
                                                  reinterpret_cast<BYTE*>(target->words.get()), &bitmap) != Ok)
            return false;
        if (DllExports::GdipGetImageGraphicsContext(bitmap, &graphics) != Ok) {
            graphics = nullptr;
            return false;
        }
        // Pixel centres at half coordinates, as in the Linux backend.
        DllExports::GdipSetPixelOffsetMode(graphics, PixelOffsetModeHalf);
        // Text laid out without the extra space GDI+ adds around a string by default, on one
        // line, trailing spaces measured.
        GpStringFormat* typographic = nullptr;
        if (DllExports::GdipStringFormatGetGenericTypographic(&typographic) == Ok && typographic &&
            DllExports::GdipCloneStringFormat(typographic, &format) == Ok) {
            INT flags = 0;
            DllExports::GdipGetStringFormatFlags(format, &flags);
            DllExports::GdipSetStringFormatFlags(
                format, flags | StringFormatFlagsNoWrap | StringFormatFlagsNoClip | StringFormatFlagsMeasureTrailingSpaces);
        } else {
            format = nullptr;
        }
        gdiplusFailed = false;
        applyClip(clip);
        return true;
    }

    void applyClip(const CRect& clip) {
        if (!graphics) return;
        DllExports::GdipSetClipRect(graphics, static_cast<REAL>(clip.left), static_cast<REAL>(clip.top),
                                    static_cast<REAL>(clip.getWidth()), static_cast<REAL>(clip.getHeight()),
                                    CombineModeReplace);
    }

    // GDI+ may keep drawing queued: memory written here must see all of it first.
    void settle() {
        if (graphics) DllExports::GdipFlush(graphics, FlushIntentionSync);
    }

    // Fills the pixels of `area` inside the clip with a premultiplied colour, over what is
    // there or replacing it.
    void fill(const CRect& area, const CRect& clip, std::uint32_t colour, bool replace) {
        if (!valid()) return;
        const PixelSpan span = intersect(spanOf(area), spanOf(clip));
        if (span.isEmpty()) return;
        settle();
        for (int y = span.y0; y < span.y1; ++y) {
            std::uint32_t* row = target->row(y);
            for (int x = span.x0; x < span.x1; ++x) row[x] = replace ? colour : over(colour, row[x]);
        }
    }
};

CDrawContext::CDrawContext(PixelSurface& surface, double scale) : impl(std::make_unique<Impl>()), scale(scale > 0 ? scale : 1.0) {
    impl->target = pixelsOf(surface);
    if (impl->valid()) {
        impl->width = impl->target->width;
        impl->height = impl->target->height;
    }
    resetClipRect();
}

CDrawContext::~CDrawContext() = default;

CCoord CDrawContext::pixelWidth() const { return impl->width; }

CCoord CDrawContext::pixelHeight() const { return impl->height; }

void CDrawContext::applyClip() { impl->applyClip(pixelClip); }


void CDrawContext::pixelRect(const CRect& rect, CDrawStyle style, CCoord lineWidth) {
    if (style == kDrawFilled || style == kDrawFilledAndStroked)
        impl->fill(rect, pixelClip, premultiplied(fillColor, globalAlpha), false);
    if (style == kDrawStroked || style == kDrawFilledAndStroked) {
        // The frame lies inside the rectangle: four bands of the line's width along its edges.
        const std::uint32_t colour = premultiplied(frameColor, globalAlpha);
        const CCoord w = lineWidth;
        impl->fill(CRect(rect.left, rect.top, rect.right, rect.top + w), pixelClip, colour, false);
        impl->fill(CRect(rect.left, rect.bottom - w, rect.right, rect.bottom), pixelClip, colour, false);
        impl->fill(CRect(rect.left, rect.top + w, rect.left + w, rect.bottom - w), pixelClip, colour, false);
        impl->fill(CRect(rect.right - w, rect.top + w, rect.right, rect.bottom - w), pixelClip, colour, false);
    }
}

void CDrawContext::pixelLine(const CPoint& from, const CPoint& to, CCoord lineWidth) {
    const bool alongGrid = from.x == to.x || from.y == to.y;
    if (drawMode == kAliasing && alongGrid) {
        // Whole pixels to the right of and below the path, the ends included, as the Linux
        // backend's square-capped line half a pixel off the grid covers them.
        const CCoord half = lineWidth / 2;
        const CRect band(std::min(from.x, to.x) + 0.5 - half, std::min(from.y, to.y) + 0.5 - half,
                         std::max(from.x, to.x) + 0.5 + half, std::max(from.y, to.y) + 0.5 + half);
        impl->fill(band, pixelClip, premultiplied(frameColor, globalAlpha), false);
        return;
    }
    if (!impl->ensureGraphics(pixelClip)) return;
    GpPen* pen = nullptr;
    if (DllExports::GdipCreatePen1(argbOf(frameColor, globalAlpha), static_cast<REAL>(lineWidth), UnitPixel, &pen) != Ok)
        return;
    DllExports::GdipSetPenStartCap(pen, LineCapSquare);
    DllExports::GdipSetPenEndCap(pen, LineCapSquare);
    DllExports::GdipSetSmoothingMode(impl->graphics,
                                     drawMode == kAntiAliasing ? SmoothingModeAntiAlias : SmoothingModeNone);
    const REAL shift = drawMode == kAntiAliasing ? 0.0f : 0.5f;
    DllExports::GdipDrawLine(impl->graphics, pen, static_cast<REAL>(from.x) + shift, static_cast<REAL>(from.y) + shift,
                             static_cast<REAL>(to.x) + shift, static_cast<REAL>(to.y) + shift);
    DllExports::GdipDeletePen(pen);
}

void CDrawContext::pixelClear(const CRect& rect, const CColor& color) {
    impl->fill(rect, pixelClip, premultiplied(color, 1.0f), true);
}

void CDrawContext::pixelString(const char* rawText, const CRect& rect, CHoriTxtAlign align, bool antialias,
                               const CFontDesc& font) {
    if (!rawText || !*rawText || rect.isEmpty() || !impl->ensureGraphics(pixelClip)) return;
    // Names from files may be 8-bit text: every byte that is not UTF-8 shows as Latin-1.
    const std::optional<std::wstring> text = platform::toUtf16(utf8::wellFormed(rawText));
    if (!text || text->empty()) return;
    const gdiplus_backend::FontMetrics metrics = gdiplus_backend::fontFor(font);
    if (!metrics.font) return;
    GpGraphics* g = impl->graphics;
    DllExports::GdipSetTextRenderingHint(
        g, antialias ? TextRenderingHintAntiAliasGridFit : TextRenderingHintSingleBitPerPixelGridFit);

    const CCoord advance = pixelStringWidth(rawText, font);
    CCoord x = rect.left;
    if (align == kCenterText)
        x = rect.left + (rect.getWidth() - advance) / 2;
    else if (align == kRightText)
        x = rect.right - advance;
    // The baseline where the font's ascent and descent sit centred in the rectangle, on a
    // whole pixel so that glyphs stay sharp; GDI+ places a line's baseline one ascent below
    // the top of its layout box.
    const CCoord baseline = std::round(rect.top + (rect.getHeight() + metrics.ascent - metrics.descent) / 2);
    const RectF layout(static_cast<REAL>(std::round(x)), static_cast<REAL>(baseline - metrics.ascent),
                       static_cast<REAL>(advance + rect.getWidth() + 16), static_cast<REAL>(rect.getHeight() + 16));

    CRect clip = rect;
    clip.bound(pixelClip);
    impl->applyClip(clip);
    GpSolidFill* brush = nullptr;
    if (DllExports::GdipCreateSolidFill(argbOf(fontColor, globalAlpha), &brush) == Ok) {
        DllExports::GdipDrawString(g, text->c_str(), static_cast<INT>(text->size()), metrics.font, &layout,
                                   impl->format, brush);
        DllExports::GdipDeleteBrush(brush);
    }
    impl->applyClip(pixelClip);
}

CCoord CDrawContext::pixelStringWidth(const char* rawText, const CFontDesc& font) {
    if (!rawText || !*rawText || !impl->ensureGraphics(pixelClip)) return 0;
    const std::optional<std::wstring> text = platform::toUtf16(utf8::wellFormed(rawText));
    const gdiplus_backend::FontMetrics metrics = gdiplus_backend::fontFor(font);
    if (!text || !metrics.font) return 0;
    const RectF unbounded(0, 0, 1e6f, 1e6f);
    RectF bounds;
    if (DllExports::GdipMeasureString(impl->graphics, text->c_str(), static_cast<INT>(text->size()), metrics.font,
                                      &unbounded, impl->format, &bounds, nullptr, nullptr) != Ok)
        return 0;
    return bounds.Width;
}

void CDrawContext::pixelCopy(const PixelSurface& source, const CRect& dest, const CPoint& offset, float alpha) {
    const PixelSurface::Impl* from = pixelsOf(source);
    if (!impl->valid() || !from || !from->isValid() || dest.isEmpty()) return;
    // Where the whole source lands, then the part of it inside the destination and the clip.
    const CCoord originX = dest.left - offset.x;
    const CCoord originY = dest.top - offset.y;
    const CRect placed(originX, originY, originX + from->width, originY + from->height);
    const PixelSpan whole = spanOf(placed);
    const PixelSpan span = intersect(intersect(spanOf(dest), spanOf(pixelClip)), whole);
    if (span.isEmpty()) return;
    impl->settle();
    const unsigned a = alpha8(std::clamp(alpha, 0.0f, 1.0f) * globalAlpha);
    // Unscaled: every destination pixel takes the one source pixel that lands on it.
    const int dx = whole.x0;
    const int dy = whole.y0;
    for (int y = span.y0; y < span.y1; ++y) {
        const std::uint32_t* sourceRow = from->row(y - dy);
        std::uint32_t* row = impl->target->row(y);
        for (int x = span.x0; x < span.x1; ++x) row[x] = over(scaleWord(sourceRow[x - dx], a), row[x]);
    }
}

