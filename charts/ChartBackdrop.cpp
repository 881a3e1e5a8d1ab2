#include "charts/ChartBackdrop.h"

#include <atomic>
#include <cmath>

namespace {

constexpr double kMargin = 4;  // points around the view

std::atomic<bool> gKeepsPictures{true};

bool isWhole(double v) { return std::fabs(v - std::round(v)) < 1e-9; }

}  // namespace

ChartBackdrop::~ChartBackdrop() { clear(); }

void ChartBackdrop::setKeepsPictures(bool on) { gKeepsPictures = on; }

void ChartBackdrop::clear() {
    if (surface_) cairo_surface_destroy(surface_);
    surface_ = nullptr;
}

void ChartBackdrop::paint(CGContext& ctx, const CGSize& size, bool changed,
                          const std::function<void(CGContext&)>& draw) {
    cairo_t* cr = ctx.cairo();
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const double scale = m.xx;
    const bool aligned = m.xy == 0 && m.yx == 0 && m.yy == scale && scale > 0 && isWhole(m.x0) && isWhole(m.y0) &&
                         size.width > 0 && size.height > 0 && isWhole(size.width * scale) &&
                         isWhole(size.height * scale) && isWhole(kMargin * scale);
    drewLast_ = true;
    if (!aligned || !gKeepsPictures) {
        clear();
        draw(ctx);
        return;
    }
    if (changed || !surface_ || scale != scale_ || size != size_) {
        clear();
        // A margin keeps what strokes along the edges spill past them (half a
        // line, a round cap), as direct drawing would leave it.
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::lround((size.width + 2 * kMargin) * scale)),
                                              int(std::lround((size.height + 2 * kMargin) * scale)));
        cairo_t* own = cairo_create(surface_);
        cairo_scale(own, scale, scale);
        cairo_translate(own, kMargin, kMargin);
        {
            CGContext picture(own);
            picture.setBaseScale(ctx.baseScale());
            UIGraphicsPushContext(&picture);
            draw(picture);
            UIGraphicsPopContext();
        }
        cairo_destroy(own);
        cairo_surface_flush(surface_);
        size_ = size;
        scale_ = scale;
    } else {
        drewLast_ = false;
    }
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, surface_, m.x0 - kMargin * scale, m.y0 - kMargin * scale);
    cairo_paint(cr);
    cairo_restore(cr);
}
