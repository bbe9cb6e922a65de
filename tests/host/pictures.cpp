#include "pictures.h"

#include <cairo.h>

namespace hosttest {

Picture readPng(const std::filesystem::path& path) {
    Picture picture;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        picture.width = cairo_image_surface_get_width(surface);
        picture.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        for (int y = 0; y < picture.height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(row[x] & 0xffffffu);
        }
    }
    cairo_surface_destroy(surface);
    return picture;
}

bool writePng(const Picture& picture, const std::filesystem::path& path) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height);
    bool written = false;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        for (int y = 0; y < picture.height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
            for (int x = 0; x < picture.width; ++x) row[x] = picture.at(x, y);
        }
        cairo_surface_mark_dirty(surface);
        written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_destroy(surface);
    return written;
}

double differingShare(const Picture& a, const Picture& b, int left, int top, int right, int bottom) {
    if (a.width != b.width || a.height != b.height || right <= left || bottom <= top) return 0.0;
    int differing = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (a.at(x, y) != b.at(x, y)) ++differing;
    return static_cast<double>(differing) / static_cast<double>((right - left) * (bottom - top));
}

}  // namespace hosttest
