#include "gui/cairo/cairo_pixel_surface.h"

#include <cstdint>
#include <cstring>

namespace {

// Reads PNG bytes from memory for cairo's stream decoder.
struct PngReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->size - reader->pos < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->pos, length);
    reader->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t appendPng(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

// Turns a failed surface into null so that every surface we keep is usable.
cairo_surface_t* usable(cairo_surface_t* s) {
    if (s && cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return s;
}

}  // namespace

PixelSurface::PixelSurface(int width, int height)
    : pimpl(std::make_unique<Impl>(width > 0 && height > 0
                                       ? usable(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height))
                                       : nullptr)) {}

PixelSurface::PixelSurface(std::unique_ptr<Impl> impl) : pimpl(std::move(impl)) {}

PixelSurface::~PixelSurface() = default;

std::unique_ptr<PixelSurface> PixelSurface::fromPng(const unsigned char* data, std::size_t size) {
    if (!data || size == 0) return nullptr;
    PngReader reader{data, size, 0};
    cairo_surface_t* decoded = usable(cairo_image_surface_create_from_png_stream(readPng, &reader));
    if (!decoded) return nullptr;
    // Every surface is ARGB32, whatever the PNG's own format, so that pixel reads and
    // drawing treat all of them alike.
    if (cairo_image_surface_get_format(decoded) != CAIRO_FORMAT_ARGB32) {
        cairo_surface_t* argb = usable(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                                  cairo_image_surface_get_width(decoded),
                                                                  cairo_image_surface_get_height(decoded)));
        if (argb) {
            cairo_t* cr = cairo_create(argb);
            cairo_set_source_surface(cr, decoded, 0, 0);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
            cairo_paint(cr);
            cairo_destroy(cr);
        }
        cairo_surface_destroy(decoded);
        decoded = argb;
        if (!decoded) return nullptr;
    }
    return std::unique_ptr<PixelSurface>(new PixelSurface(std::make_unique<Impl>(decoded)));
}

std::unique_ptr<PixelSurface> PixelSurface::fromPixels(const PixelView& source) {
    if (!source.isValid() || source.format != PixelFormat::premultipliedArgb32) return nullptr;
    auto copy = std::unique_ptr<PixelSurface>(new PixelSurface(source.width, source.height));
    cairo_surface_t* s = copy->pimpl->surface;
    if (!s) return nullptr;
    cairo_surface_flush(s);
    unsigned char* to = cairo_image_surface_get_data(s);
    const std::ptrdiff_t toStride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < source.height; ++y)
        std::memcpy(to + y * toStride, source.data + y * source.stride, static_cast<std::size_t>(source.width) * 4);
    cairo_surface_mark_dirty(s);
    return copy;
}

bool PixelSurface::isValid() const { return pimpl->surface != nullptr; }

int PixelSurface::getWidth() const { return pimpl->surface ? cairo_image_surface_get_width(pimpl->surface) : 0; }

int PixelSurface::getHeight() const {
    return pimpl->surface ? cairo_image_surface_get_height(pimpl->surface) : 0;
}

PixelView PixelSurface::pixels() const {
    PixelView view;
    if (!pimpl->surface) return view;
    // Drawing may still sit in cairo's queue: the memory must show all of it.
    cairo_surface_flush(pimpl->surface);
    view.data = cairo_image_surface_get_data(pimpl->surface);
    view.width = cairo_image_surface_get_width(pimpl->surface);
    view.height = cairo_image_surface_get_height(pimpl->surface);
    view.stride = cairo_image_surface_get_stride(pimpl->surface);
    view.format = PixelFormat::premultipliedArgb32;  // what CAIRO_FORMAT_ARGB32 is
    return view;
}

std::vector<unsigned char> PixelSurface::encodePng() const {
    std::vector<unsigned char> out;
    if (!pimpl->surface) return out;
    if (cairo_surface_write_to_png_stream(pimpl->surface, appendPng, &out) != CAIRO_STATUS_SUCCESS) out.clear();
    return out;
}

bool PixelSurface::writePng(const char* path) const {
    if (!pimpl->surface || !path) return false;
    return cairo_surface_write_to_png(pimpl->surface, path) == CAIRO_STATUS_SUCCESS;
}
