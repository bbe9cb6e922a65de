// The cairo side of PixelSurface, for the backend files only.
#pragma once

#include <cairo.h>

#include "gui/pixel_surface.h"

struct PixelSurface::Impl {
    cairo_surface_t* surface = nullptr;  // an ARGB32 image surface (premultiplied alpha)

    explicit Impl(cairo_surface_t* s) : surface(s) {}
    ~Impl() {
        if (surface) cairo_surface_destroy(surface);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
};

// The image surface behind a PixelSurface, or null when it has none.
inline cairo_surface_t* cairoSurfaceOf(const PixelSurface& s) { return s.impl() ? s.impl()->surface : nullptr; }
