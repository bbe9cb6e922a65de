#include "resources/artwork/stack.h"

namespace artwork {

Surface stackFaces(cairo_surface_t* background, const Rect& place, int subHeight, int states,
                   const FacePainter& face) {
    const int width = place.width();
    Surface stacked = makeSurface(width, subHeight * states, false);
    Context context = makeContext(stacked.get());
    cairo_t* cr = context.get();
    const Surface under =
        crop(background, Rect{place.left, place.top, place.right, place.top + subHeight});
    for (int state = 0; state < states; ++state) {
        const double top = static_cast<double>(state * subHeight);
        cairo_save(cr);
        cairo_rectangle(cr, 0.0, top, width, subHeight);
        cairo_clip(cr);
        blit(cr, under.get(), 0.0, top);
        cairo_translate(cr, 0.0, top);
        face(cr, state);
        cairo_restore(cr);
    }
    return stacked;
}

void placeRestingFace(cairo_t* cr, cairo_surface_t* stacked, const Rect& place) {
    cairo_save(cr);
    cairo_rectangle(cr, place.left, place.top, place.width(), place.height());
    cairo_clip(cr);
    blit(cr, stacked, place.left, place.top);
    cairo_restore(cr);
}

}  // namespace artwork
