#include "resources/artwork/stack.h"

namespace artwork {

Surface stackFaces(cairo_surface_t* background, const Rect& place, int subHeight, int states,
                   const FacePainter& face) {
    // Each sub-image is as many surface pixels high as the control's rectangle at the
    // drawing's scale, so the states stay whole pixels apart at every scale.
    const int width = toPixels(place.width());
    const int pitch = toPixels(subHeight);
    Surface stacked = makePixelSurface(width, pitch * states, false);
    Context context = makeContext(stacked.get());
    cairo_t* cr = context.get();
    const Surface under =
        crop(background, Rect{place.left, place.top, place.right, place.top + subHeight});
    for (int state = 0; state < states; ++state) {
        const double top = static_cast<double>(state * pitch) / scale();
        cairo_save(cr);
        cairo_rectangle(cr, 0.0, top, width / scale(), pitch / scale());
        cairo_clip(cr);
        blit(cr, under.get(), 0.0, top);
        cairo_translate(cr, 0.0, top);
        face(cr, state);
        cairo_restore(cr);
    }
    return stacked;
}

void placeRestingFace(cairo_t* cr, cairo_surface_t* stacked, const Rect& place) {
    const double s = scale();
    const double left = toPixels(place.left) / s;
    const double top = toPixels(place.top) / s;
    cairo_save(cr);
    cairo_rectangle(cr, left, top, toPixels(place.width()) / s, toPixels(place.height()) / s);
    cairo_clip(cr);
    blit(cr, stacked, left, top);
    cairo_restore(cr);
}

}  // namespace artwork
