#include "platform/graphics/CGContext.h"

#include "platform/graphics/UIImage.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

bool isFinite(double v) { return std::isfinite(v); }
bool isFinite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }
bool finiteRect(const CGRect& r) { return isFinite(r.origin.x, r.origin.y) && isFinite(r.size.width, r.size.height); }

cairo_operator_t toCairo(CGBlendMode m) {
    switch (m) {
        case CGBlendMode::Normal:
            return CAIRO_OPERATOR_OVER;
        case CGBlendMode::Multiply:
            return CAIRO_OPERATOR_MULTIPLY;
        case CGBlendMode::Screen:
            return CAIRO_OPERATOR_SCREEN;
        case CGBlendMode::Overlay:
            return CAIRO_OPERATOR_OVERLAY;
        case CGBlendMode::Darken:
            return CAIRO_OPERATOR_DARKEN;
        case CGBlendMode::Lighten:
            return CAIRO_OPERATOR_LIGHTEN;
        case CGBlendMode::ColorDodge:
            return CAIRO_OPERATOR_COLOR_DODGE;
        case CGBlendMode::ColorBurn:
            return CAIRO_OPERATOR_COLOR_BURN;
        case CGBlendMode::SoftLight:
            return CAIRO_OPERATOR_SOFT_LIGHT;
        case CGBlendMode::HardLight:
            return CAIRO_OPERATOR_HARD_LIGHT;
        case CGBlendMode::Difference:
            return CAIRO_OPERATOR_DIFFERENCE;
        case CGBlendMode::Exclusion:
            return CAIRO_OPERATOR_EXCLUSION;
        case CGBlendMode::Hue:
            return CAIRO_OPERATOR_HSL_HUE;
        case CGBlendMode::Saturation:
            return CAIRO_OPERATOR_HSL_SATURATION;
        case CGBlendMode::Color:
            return CAIRO_OPERATOR_HSL_COLOR;
        case CGBlendMode::Luminosity:
            return CAIRO_OPERATOR_HSL_LUMINOSITY;
        case CGBlendMode::Clear:
            return CAIRO_OPERATOR_CLEAR;
        case CGBlendMode::Copy:
            return CAIRO_OPERATOR_SOURCE;
        case CGBlendMode::SourceIn:
            return CAIRO_OPERATOR_IN;
        case CGBlendMode::SourceOut:
            return CAIRO_OPERATOR_OUT;
        case CGBlendMode::SourceAtop:
            return CAIRO_OPERATOR_ATOP;
        case CGBlendMode::DestinationOver:
            return CAIRO_OPERATOR_DEST_OVER;
        case CGBlendMode::DestinationIn:
            return CAIRO_OPERATOR_DEST_IN;
        case CGBlendMode::DestinationOut:
            return CAIRO_OPERATOR_DEST_OUT;
        case CGBlendMode::DestinationAtop:
            return CAIRO_OPERATOR_DEST_ATOP;
        case CGBlendMode::XOR:
            return CAIRO_OPERATOR_XOR;
        case CGBlendMode::PlusDarker:
            return CAIRO_OPERATOR_MULTIPLY;  // nearest cairo has
        case CGBlendMode::PlusLighter:
            return CAIRO_OPERATOR_ADD;
    }
    return CAIRO_OPERATOR_OVER;
}

// Three passes of a box blur over an 8-bit alpha plane approximate a Gaussian.
void boxBlurAlpha(uint8_t* data, int w, int h, int stride, int radius) {
    if (radius <= 0 || w <= 0 || h <= 0) return;
    std::vector<uint8_t> line(static_cast<size_t>(std::max(w, h)));
    const int window = 2 * radius + 1;
    auto blurLine = [&](uint8_t* first, int count, int step) {
        for (int i = 0; i < count; ++i) line[i] = first[static_cast<ptrdiff_t>(i) * step];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < count) ? line[i] : 0;
        for (int i = 0; i < count; ++i) {
            first[static_cast<ptrdiff_t>(i) * step] = static_cast<uint8_t>(sum / window);
            int out = i - radius, in = i + radius + 1;
            if (out >= 0) sum -= line[out];
            if (in < count) sum += line[in];
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) blurLine(data + static_cast<ptrdiff_t>(y) * stride, w, 1);
        for (int x = 0; x < w; ++x) blurLine(data + x, h, stride);
    }
}

struct ImageContext {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    std::unique_ptr<CGContext> context;
    double scale = 1;
    ~ImageContext() {
        context.reset();
        if (cr) cairo_destroy(cr);
        if (surface) cairo_surface_destroy(surface);
    }
};

thread_local std::vector<CGContext*> contextStack;
thread_local std::vector<std::unique_ptr<ImageContext>> imageContexts;
std::atomic<double> mainScreenScale{2.0};

}  // namespace

struct CGContext::State {
    UIColor fill{0, 0, 0, 1};
    UIColor stroke{0, 0, 0, 1};
    double alpha = 1;
    bool shadow = false;
    CGSize shadowOffset;
    double shadowBlur = 0;
    UIColor shadowColor{0, 0, 0, 1.0 / 3.0};
    CGBlendMode blend = CGBlendMode::Normal;
    // A transform made the user space degenerate: nothing draws until restore.
    bool singular = false;
};

CGContext::CGContext(cairo_t* cr) : cr_(cr) {
    states_.emplace_back();
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    baseMatrix_[0] = m.xx;
    baseMatrix_[1] = m.yx;
    baseMatrix_[2] = m.xy;
    baseMatrix_[3] = m.yy;
    baseMatrix_[4] = m.x0;
    baseMatrix_[5] = m.y0;
    double det = std::fabs(m.xx * m.yy - m.xy * m.yx);
    baseScale_ = det > 0 ? std::sqrt(det) : 1;
    cairo_set_source_rgba(cr_, 0, 0, 0, 1);
}

CGContext::~CGContext() = default;

CGContext::State& CGContext::state() { return states_.back(); }
const CGContext::State& CGContext::state() const { return states_.back(); }

void CGContext::saveGState() {
    cairo_save(cr_);
    states_.push_back(states_.back());
}

void CGContext::restoreGState() {
    if (states_.size() <= 1) return;  // unbalanced restore: ignore rather than corrupt cairo's stack
    cairo_restore(cr_);
    states_.pop_back();
}

void CGContext::setFillColor(const UIColor& c) { state().fill = c; }
void CGContext::setFillColor(double r, double g, double b, double a) { state().fill = UIColor(r, g, b, a); }
void CGContext::setStrokeColor(const UIColor& c) { state().stroke = c; }
void CGContext::setStrokeColor(double r, double g, double b, double a) { state().stroke = UIColor(r, g, b, a); }
const UIColor& CGContext::fillColor() const { return state().fill; }
const UIColor& CGContext::strokeColor() const { return state().stroke; }

void CGContext::setSourceColor(const UIColor& c) {
    if (auto image = c.patternImage(); image && image->surface()) {
        cairo_pattern_t* p = cairo_pattern_create_for_surface(image->surface());
        cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, image->scale(), image->scale());
        cairo_pattern_set_matrix(p, &m);
        cairo_set_source(cr_, p);
        cairo_pattern_destroy(p);
        return;
    }
    cairo_set_source_rgba(cr_, c.red(), c.green(), c.blue(), c.alpha());
}

void CGContext::applyFillSource() { setSourceColor(state().fill); }
void CGContext::applyStrokeSource() { setSourceColor(state().stroke); }

void CGContext::setLineWidth(double w) {
    if (isFinite(w)) cairo_set_line_width(cr_, std::max(0.0, w));
}
double CGContext::lineWidth() const { return cairo_get_line_width(cr_); }

void CGContext::setLineCap(CGLineCap cap) {
    cairo_set_line_cap(cr_, cap == CGLineCap::Round    ? CAIRO_LINE_CAP_ROUND
                            : cap == CGLineCap::Square ? CAIRO_LINE_CAP_SQUARE
                                                       : CAIRO_LINE_CAP_BUTT);
}

void CGContext::setLineJoin(CGLineJoin join) {
    cairo_set_line_join(cr_, join == CGLineJoin::Round   ? CAIRO_LINE_JOIN_ROUND
                             : join == CGLineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL
                                                         : CAIRO_LINE_JOIN_MITER);
}

void CGContext::setMiterLimit(double limit) {
    if (isFinite(limit) && limit >= 1) cairo_set_miter_limit(cr_, limit);
}

void CGContext::setLineDash(double phase, const std::vector<double>& lengths) {
    // Cairo puts the whole context in an error state for negative or all-zero
    // dashes; such a pattern means a solid line here.
    bool valid = !lengths.empty() && isFinite(phase);
    double total = 0;
    for (double l : lengths) {
        if (!isFinite(l) || l < 0)
            valid = false;
        else
            total += l;
    }
    if (!valid || total <= 0) {
        cairo_set_dash(cr_, nullptr, 0, 0);
        return;
    }
    cairo_set_dash(cr_, lengths.data(), static_cast<int>(lengths.size()), phase);
}

void CGContext::setAlpha(double a) {
    if (isFinite(a)) state().alpha = std::clamp(a, 0.0, 1.0);
}
double CGContext::alpha() const { return state().alpha; }

void CGContext::setShouldAntialias(bool on) {
    cairo_set_antialias(cr_, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

// ---- path ----

void CGContext::beginPath() { cairo_new_path(cr_); }

void CGContext::moveToPoint(double x, double y) {
    if (isFinite(x, y)) cairo_move_to(cr_, x, y);
}

void CGContext::addLineToPoint(double x, double y) {
    if (!isFinite(x, y)) return;
    if (cairo_has_current_point(cr_))
        cairo_line_to(cr_, x, y);
    else
        cairo_move_to(cr_, x, y);
}

void CGContext::addLines(const std::vector<CGPoint>& points) {
    for (size_t i = 0; i < points.size(); ++i) {
        if (i == 0)
            moveToPoint(points[i].x, points[i].y);
        else
            addLineToPoint(points[i].x, points[i].y);
    }
}

void CGContext::addRect(const CGRect& r) {
    if (!finiteRect(r)) return;
    CGRect s = CGRectStandardize(r);
    cairo_rectangle(cr_, s.origin.x, s.origin.y, s.size.width, s.size.height);
}

void CGContext::addRects(const std::vector<CGRect>& rects) {
    for (const CGRect& r : rects) addRect(r);
}

void CGContext::addEllipseInRect(const CGRect& r) {
    if (!finiteRect(r)) return;
    CGRect s = CGRectStandardize(r);
    double rx = s.size.width / 2, ry = s.size.height / 2;
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr_);
    cairo_translate(cr_, s.origin.x + rx, s.origin.y + ry);
    cairo_scale(cr_, rx, ry);
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr_);
    cairo_restore(cr_);
}

void CGContext::addArc(double x, double y, double radius, double startAngle, double endAngle, bool clockwise) {
    if (!isFinite(x, y) || !isFinite(startAngle, endAngle) || !isFinite(radius)) return;
    radius = std::fabs(radius);
    if (clockwise)
        cairo_arc_negative(cr_, x, y, radius, startAngle, endAngle);
    else
        cairo_arc(cr_, x, y, radius, startAngle, endAngle);
}

void CGContext::addArcToPoint(double x1, double y1, double x2, double y2, double radius) {
    if (!isFinite(x1, y1) || !isFinite(x2, y2) || !isFinite(radius)) return;
    if (!cairo_has_current_point(cr_)) {
        cairo_move_to(cr_, x1, y1);
        return;
    }
    double x0, y0;
    cairo_get_current_point(cr_, &x0, &y0);
    double v1x = x0 - x1, v1y = y0 - y1, v2x = x2 - x1, v2y = y2 - y1;
    double l1 = std::hypot(v1x, v1y), l2 = std::hypot(v2x, v2y);
    double cross = v1x * v2y - v1y * v2x;
    if (radius <= 0 || l1 == 0 || l2 == 0 || std::fabs(cross) < 1e-12 * l1 * l2) {
        cairo_line_to(cr_, x1, y1);
        return;
    }
    v1x /= l1, v1y /= l1, v2x /= l2, v2y /= l2;
    double theta = std::acos(std::clamp(v1x * v2x + v1y * v2y, -1.0, 1.0));
    double d = radius / std::tan(theta / 2);
    double t1x = x1 + v1x * d, t1y = y1 + v1y * d, t2x = x1 + v2x * d, t2y = y1 + v2y * d;
    double bx = v1x + v2x, by = v1y + v2y, bl = std::hypot(bx, by);
    double h = radius / std::sin(theta / 2);
    double cx = x1 + bx / bl * h, cy = y1 + by / bl * h;
    double a1 = std::atan2(t1y - cy, t1x - cx), a2 = std::atan2(t2y - cy, t2x - cx);
    double delta = std::remainder(a2 - a1, 2 * M_PI);
    cairo_line_to(cr_, t1x, t1y);
    if (delta > 0)
        cairo_arc(cr_, cx, cy, radius, a1, a1 + delta);
    else
        cairo_arc_negative(cr_, cx, cy, radius, a1, a1 + delta);
}

void CGContext::addRoundedRect(const CGRect& r, double radius) {
    if (!finiteRect(r) || !isFinite(radius)) return;
    CGRect s = CGRectStandardize(r);
    double rad = std::clamp(radius, 0.0, std::min(s.size.width, s.size.height) / 2);
    if (rad <= 0) {
        addRect(s);
        return;
    }
    double x0 = s.origin.x, y0 = s.origin.y, x1 = x0 + s.size.width, y1 = y0 + s.size.height;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x1 - rad, y0 + rad, rad, -M_PI / 2, 0);
    cairo_arc(cr_, x1 - rad, y1 - rad, rad, 0, M_PI / 2);
    cairo_arc(cr_, x0 + rad, y1 - rad, rad, M_PI / 2, M_PI);
    cairo_arc(cr_, x0 + rad, y0 + rad, rad, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr_);
}

void CGContext::addCurveToPoint(double cp1x, double cp1y, double cp2x, double cp2y, double x, double y) {
    if (!isFinite(cp1x, cp1y) || !isFinite(cp2x, cp2y) || !isFinite(x, y)) return;
    if (!cairo_has_current_point(cr_)) cairo_move_to(cr_, cp1x, cp1y);
    cairo_curve_to(cr_, cp1x, cp1y, cp2x, cp2y, x, y);
}

void CGContext::addQuadCurveToPoint(double cpx, double cpy, double x, double y) {
    if (!isFinite(cpx, cpy) || !isFinite(x, y)) return;
    if (!cairo_has_current_point(cr_)) cairo_move_to(cr_, cpx, cpy);
    double x0, y0;
    cairo_get_current_point(cr_, &x0, &y0);
    cairo_curve_to(cr_, x0 + 2.0 / 3.0 * (cpx - x0), y0 + 2.0 / 3.0 * (cpy - y0), x + 2.0 / 3.0 * (cpx - x),
                   y + 2.0 / 3.0 * (cpy - y), x, y);
}

void CGContext::closePath() {
    if (cairo_has_current_point(cr_)) cairo_close_path(cr_);
}

bool CGContext::isPathEmpty() const { return !cairo_has_current_point(cr_); }

CGPoint CGContext::pathCurrentPoint() const {
    if (!cairo_has_current_point(cr_)) return CGPointZero;
    double x, y;
    cairo_get_current_point(cr_, &x, &y);
    return {x, y};
}

CGRect CGContext::pathBoundingBox() const {
    if (isPathEmpty()) return CGRectZero;
    double x0, y0, x1, y1;
    cairo_path_extents(cr_, &x0, &y0, &x1, &y1);
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

// ---- painting ----

void CGContext::paintWithEffects(const CGRect* bounds, const std::function<void()>& draw) {
    const State& s = state();
    if (s.singular) return;
    bool group = (s.alpha < 1 || s.shadow) && s.blend != CGBlendMode::Clear;
    if (!group) {
        draw();
        return;
    }
    if (s.alpha <= 0) return;

    cairo_save(cr_);
    if (bounds && finiteRect(*bounds)) {
        CGRect b = CGRectInset(CGRectStandardize(*bounds), -2, -2);
        cairo_new_path(cr_);
        cairo_rectangle(cr_, b.origin.x, b.origin.y, b.size.width, b.size.height);
        cairo_clip(cr_);
    }
    cairo_push_group(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    draw();
    cairo_pattern_t* content = cairo_pop_group(cr_);
    cairo_restore(cr_);

    if (s.shadow) {
        cairo_surface_t* gs = nullptr;
        if (cairo_pattern_get_surface(content, &gs) == CAIRO_STATUS_SUCCESS && gs) {
            cairo_surface_t* img = cairo_surface_map_to_image(gs, nullptr);
            int w = cairo_image_surface_get_width(img), h = cairo_image_surface_get_height(img);
            int radius = static_cast<int>(std::lround(s.shadowBlur * baseScale_ / 2));
            int margin = 3 * radius + 1;
            cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w + 2 * margin, h + 2 * margin);
            if (cairo_surface_status(mask) == CAIRO_STATUS_SUCCESS && w > 0 && h > 0 &&
                cairo_image_surface_get_format(img) == CAIRO_FORMAT_ARGB32) {
                cairo_surface_flush(img);
                cairo_surface_flush(mask);
                const uint8_t* src = cairo_image_surface_get_data(img);
                int sstride = cairo_image_surface_get_stride(img);
                uint8_t* dst = cairo_image_surface_get_data(mask);
                int dstride = cairo_image_surface_get_stride(mask);
                for (int y = 0; y < h; ++y) {
                    const uint32_t* row = reinterpret_cast<const uint32_t*>(src + static_cast<ptrdiff_t>(y) * sstride);
                    uint8_t* out = dst + static_cast<ptrdiff_t>(y + margin) * dstride + margin;
                    for (int x = 0; x < w; ++x) out[x] = static_cast<uint8_t>(row[x] >> 24);
                }
                boxBlurAlpha(dst, w + 2 * margin, h + 2 * margin, dstride, radius);
                cairo_surface_mark_dirty(mask);
                double dox = 0, doy = 0;
                cairo_surface_get_device_offset(gs, &dox, &doy);
                cairo_save(cr_);
                cairo_identity_matrix(cr_);
                const UIColor& c = s.shadowColor;
                cairo_set_source_rgba(cr_, c.red(), c.green(), c.blue(), c.alpha() * s.alpha);
                cairo_mask_surface(cr_, mask, -dox - margin + s.shadowOffset.width * baseScale_,
                                   -doy - margin + s.shadowOffset.height * baseScale_);
                cairo_restore(cr_);
            }
            cairo_surface_destroy(mask);
            cairo_surface_unmap_image(gs, img);
        }
    }

    cairo_save(cr_);
    cairo_set_source(cr_, content);
    if (s.alpha < 1)
        cairo_paint_with_alpha(cr_, s.alpha);
    else
        cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_pattern_destroy(content);
}

namespace {
enum class PaintKind { Fill, EOFill, Stroke, FillStroke, EOFillStroke };
}

static void paintPath(CGContext& ctx, cairo_t* cr, PaintKind kind, bool effects) {
    auto run = [&ctx, cr, kind](bool preserve) {
        bool fill = kind != PaintKind::Stroke;
        bool stroke = kind == PaintKind::Stroke || kind == PaintKind::FillStroke || kind == PaintKind::EOFillStroke;
        bool eo = kind == PaintKind::EOFill || kind == PaintKind::EOFillStroke;
        if (fill) {
            cairo_set_fill_rule(cr, eo ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
            ctx.applyFillSource();
            if (stroke || preserve)
                cairo_fill_preserve(cr);
            else
                cairo_fill(cr);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        }
        if (stroke) {
            ctx.applyStrokeSource();
            if (preserve)
                cairo_stroke_preserve(cr);
            else
                cairo_stroke(cr);
        }
    };
    if (!effects) {
        run(false);
        return;
    }
    double x0, y0, x1, y1;
    if (kind == PaintKind::Fill || kind == PaintKind::EOFill)
        cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    else
        cairo_stroke_extents(cr, &x0, &y0, &x1, &y1);
    CGRect bounds = CGRectMake(x0, y0, x1 - x0, y1 - y0);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    ctx.paintWithEffects(&bounds, [&] {
        cairo_new_path(cr);
        cairo_append_path(cr, path);
        run(false);
    });
    cairo_path_destroy(path);
    cairo_new_path(cr);
}

void CGContext::drawPath(CGPathDrawingMode mode) {
    if (state().singular || isPathEmpty()) {
        cairo_new_path(cr_);
        return;
    }
    PaintKind kind = PaintKind::Fill;
    switch (mode) {
        case CGPathDrawingMode::Fill:
            kind = PaintKind::Fill;
            break;
        case CGPathDrawingMode::EOFill:
            kind = PaintKind::EOFill;
            break;
        case CGPathDrawingMode::Stroke:
            kind = PaintKind::Stroke;
            break;
        case CGPathDrawingMode::FillStroke:
            kind = PaintKind::FillStroke;
            break;
        case CGPathDrawingMode::EOFillStroke:
            kind = PaintKind::EOFillStroke;
            break;
    }
    const State& s = state();
    bool effects = (s.alpha < 1 || s.shadow) && s.blend != CGBlendMode::Clear;
    paintPath(*this, cr_, kind, effects);
}

void CGContext::strokePath() { drawPath(CGPathDrawingMode::Stroke); }
void CGContext::fillPath() { drawPath(CGPathDrawingMode::Fill); }
void CGContext::eoFillPath() { drawPath(CGPathDrawingMode::EOFill); }

void CGContext::clip() {
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr_);
}

void CGContext::eoClip() {
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

void CGContext::fillRect(const CGRect& r) {
    cairo_new_path(cr_);
    addRect(r);
    fillPath();
}

void CGContext::fillRects(const std::vector<CGRect>& rects) {
    cairo_new_path(cr_);
    addRects(rects);
    fillPath();
}

void CGContext::strokeRect(const CGRect& r) {
    cairo_new_path(cr_);
    addRect(r);
    strokePath();
}

void CGContext::strokeRectWithWidth(const CGRect& r, double width) {
    cairo_save(cr_);
    setLineWidth(width);
    strokeRect(r);
    cairo_restore(cr_);
}

void CGContext::clearRect(const CGRect& r) {
    if (!finiteRect(r) || state().singular) return;
    CGRect s = CGRectStandardize(r);
    cairo_save(cr_);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, s.origin.x, s.origin.y, s.size.width, s.size.height);
    cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr_);
    cairo_restore(cr_);
}

void CGContext::fillEllipseInRect(const CGRect& r) {
    cairo_new_path(cr_);
    addEllipseInRect(r);
    fillPath();
}

void CGContext::strokeEllipseInRect(const CGRect& r) {
    cairo_new_path(cr_);
    addEllipseInRect(r);
    strokePath();
}

void CGContext::strokeLineSegments(const std::vector<CGPoint>& points) {
    cairo_new_path(cr_);
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        moveToPoint(points[i].x, points[i].y);
        addLineToPoint(points[i + 1].x, points[i + 1].y);
    }
    strokePath();
}

void CGContext::clipToRect(const CGRect& r) {
    cairo_new_path(cr_);
    if (finiteRect(r)) {
        CGRect s = CGRectStandardize(r);
        cairo_rectangle(cr_, s.origin.x, s.origin.y, s.size.width, s.size.height);
    }
    cairo_clip(cr_);  // an empty path clips everything away
}

void CGContext::clipToRects(const std::vector<CGRect>& rects) {
    cairo_new_path(cr_);
    addRects(rects);
    cairo_clip(cr_);
}

CGRect CGContext::clipBoundingBox() const {
    double x0, y0, x1, y1;
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

// ---- transforms ----

void CGContext::concatCTM(const CGAffineTransform& t) {
    if (!isFinite(t.a, t.b) || !isFinite(t.c, t.d) || !isFinite(t.tx, t.ty)) return;
    if (std::fabs(t.a * t.d - t.b * t.c) < 1e-12) {
        // Cairo refuses singular matrices (and would stop drawing for good); a
        // degenerate user space draws nothing until the state is restored.
        state().singular = true;
        return;
    }
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr_, &m);
}

void CGContext::translateCTM(double tx, double ty) { concatCTM(CGAffineTransformMakeTranslation(tx, ty)); }
void CGContext::scaleCTM(double sx, double sy) { concatCTM(CGAffineTransformMakeScale(sx, sy)); }
void CGContext::rotateCTM(double radians) { concatCTM(CGAffineTransformMakeRotation(radians)); }

CGAffineTransform CGContext::getCTM() const {
    cairo_matrix_t m, base;
    cairo_get_matrix(cr_, &m);
    cairo_matrix_init(&base, baseMatrix_[0], baseMatrix_[1], baseMatrix_[2], baseMatrix_[3], baseMatrix_[4],
                      baseMatrix_[5]);
    if (cairo_matrix_invert(&base) != CAIRO_STATUS_SUCCESS) return CGAffineTransformIdentity;
    cairo_matrix_t rel;
    cairo_matrix_multiply(&rel, &m, &base);  // m then base^-1
    return CGAffineTransform{rel.xx, rel.yx, rel.xy, rel.yy, rel.x0, rel.y0};
}

// ---- gradients ----

namespace {
void addStops(cairo_pattern_t* p, const std::vector<std::shared_ptr<UIColor>>& colors,
              const std::vector<double>& locations) {
    size_t n = colors.size();
    for (size_t i = 0; i < n; ++i) {
        double loc = i < locations.size() ? locations[i] : (n > 1 ? double(i) / double(n - 1) : 0.0);
        if (!std::isfinite(loc)) loc = 0;
        const UIColor* c = colors[i].get();
        if (c)
            cairo_pattern_add_color_stop_rgba(p, std::clamp(loc, 0.0, 1.0), c->red(), c->green(), c->blue(),
                                              c->alpha());
        else
            cairo_pattern_add_color_stop_rgba(p, std::clamp(loc, 0.0, 1.0), 0, 0, 0, 0);
    }
}
}  // namespace

void CGContext::drawLinearGradient(const std::vector<std::shared_ptr<UIColor>>& colors,
                                   const std::vector<double>& locations, CGPoint start, CGPoint end, unsigned options) {
    if (colors.empty() || !isFinite(start.x, start.y) || !isFinite(end.x, end.y)) return;
    double dx = end.x - start.x, dy = end.y - start.y, len = std::hypot(dx, dy);
    if (len == 0) return;
    bool before = options & kCGGradientDrawsBeforeStartLocation;
    bool after = options & kCGGradientDrawsAfterEndLocation;
    cairo_pattern_t* p = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    addStops(p, colors, locations);
    cairo_pattern_set_extend(p, (before || after) ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    cairo_save(cr_);
    if (before != after) {
        // Padding one side only: clip away the half plane of the other side.
        const double L = 1e5;
        double ux = dx / len, uy = dy / len, nx = -uy, ny = ux;
        CGPoint o = after ? start : end;
        double dir = after ? 1 : -1;
        cairo_new_path(cr_);
        cairo_move_to(cr_, o.x + nx * L, o.y + ny * L);
        cairo_line_to(cr_, o.x - nx * L, o.y - ny * L);
        cairo_line_to(cr_, o.x - nx * L + dir * ux * L, o.y - ny * L + dir * uy * L);
        cairo_line_to(cr_, o.x + nx * L + dir * ux * L, o.y + ny * L + dir * uy * L);
        cairo_close_path(cr_);
        cairo_clip(cr_);
    }
    paintWithEffects(nullptr, [&] {
        cairo_set_source(cr_, p);
        cairo_paint(cr_);
    });
    cairo_restore(cr_);
    cairo_pattern_destroy(p);
}

void CGContext::drawRadialGradient(const std::vector<std::shared_ptr<UIColor>>& colors,
                                   const std::vector<double>& locations, CGPoint startCenter, double startRadius,
                                   CGPoint endCenter, double endRadius, unsigned options) {
    if (colors.empty() || !isFinite(startCenter.x, startCenter.y) || !isFinite(endCenter.x, endCenter.y) ||
        !isFinite(startRadius, endRadius))
        return;
    cairo_pattern_t* p = cairo_pattern_create_radial(startCenter.x, startCenter.y, std::fabs(startRadius), endCenter.x,
                                                     endCenter.y, std::fabs(endRadius));
    addStops(p, colors, locations);
    // Cairo pads both ends or neither; the area before the start circle is
    // usually empty (a start radius of 0), so "after" decides.
    cairo_pattern_set_extend(p, (options & kCGGradientDrawsAfterEndLocation) ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    cairo_save(cr_);
    paintWithEffects(nullptr, [&] {
        cairo_set_source(cr_, p);
        cairo_paint(cr_);
    });
    cairo_restore(cr_);
    cairo_pattern_destroy(p);
}

// ---- shadow, blend ----

void CGContext::setShadow(CGSize offset, double blur, std::shared_ptr<UIColor> color) {
    State& s = state();
    UIColor c = color ? *color : UIColor(0, 0, 0, 1.0 / 3.0);
    if (!isFinite(offset.width, offset.height) || !isFinite(blur)) return;
    blur = std::max(0.0, blur);
    s.shadow = c.alpha() > 0 && (offset.width != 0 || offset.height != 0 || blur > 0);
    s.shadowOffset = offset;
    s.shadowBlur = blur;
    s.shadowColor = c;
}

void CGContext::clearShadow() { state().shadow = false; }

void CGContext::setBlendMode(CGBlendMode mode) {
    state().blend = mode;
    cairo_set_operator(cr_, toCairo(mode));
}

CGBlendMode CGContext::blendMode() const { return state().blend; }

// ---- images ----

void CGContext::drawImage(const CGRect& rect, const UIImage& image) {
    CGSize sz = image.size();
    drawImage(rect, image, CGRectMake(0, 0, sz.width, sz.height));
}

void CGContext::drawImage(const CGRect& dstIn, const UIImage& image, const CGRect& srcIn) {
    if (!image.surface() || !finiteRect(dstIn) || !finiteRect(srcIn) || state().singular) return;
    CGRect dst = CGRectStandardize(dstIn);
    CGRect src = CGRectStandardize(srcIn);
    if (CGRectIsEmpty(dst) || CGRectIsEmpty(src)) return;
    double sc = image.scale();
    double px0 = std::clamp(src.origin.x * sc, 0.0, double(image.pixelWidth()));
    double py0 = std::clamp(src.origin.y * sc, 0.0, double(image.pixelHeight()));
    double px1 = std::clamp((src.origin.x + src.size.width) * sc, 0.0, double(image.pixelWidth()));
    double py1 = std::clamp((src.origin.y + src.size.height) * sc, 0.0, double(image.pixelHeight()));
    if (px1 - px0 <= 0 || py1 - py0 <= 0) return;
    cairo_surface_t* sub = cairo_surface_create_for_rectangle(image.surface(), px0, py0, px1 - px0, py1 - py0);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(sub);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(p, CAIRO_FILTER_GOOD);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, (px1 - px0) / dst.size.width, (py1 - py0) / dst.size.height);
    cairo_matrix_translate(&m, -dst.origin.x, -dst.origin.y);
    cairo_pattern_set_matrix(p, &m);
    paintWithEffects(&dst, [&] {
        cairo_save(cr_);
        cairo_new_path(cr_);
        cairo_rectangle(cr_, dst.origin.x, dst.origin.y, dst.size.width, dst.size.height);
        cairo_set_source(cr_, p);
        cairo_fill(cr_);
        cairo_restore(cr_);
    });
    cairo_pattern_destroy(p);
    cairo_surface_destroy(sub);
}

void CGContext::drawTiledImage(const CGRect& rectIn, const UIImage& image) {
    if (!image.surface() || !finiteRect(rectIn) || state().singular) return;
    CGRect r = CGRectStandardize(rectIn);
    cairo_pattern_t* p = cairo_pattern_create_for_surface(image.surface());
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, image.scale(), image.scale());
    cairo_pattern_set_matrix(p, &m);
    paintWithEffects(&r, [&] {
        cairo_save(cr_);
        cairo_new_path(cr_);
        cairo_rectangle(cr_, r.origin.x, r.origin.y, r.size.width, r.size.height);
        cairo_set_source(cr_, p);
        cairo_fill(cr_);
        cairo_restore(cr_);
    });
    cairo_pattern_destroy(p);
}

// ---- UIGraphics context stack ----

CGContext* UIGraphicsGetCurrentContext() { return contextStack.empty() ? nullptr : contextStack.back(); }

void UIGraphicsPushContext(CGContext* context) { contextStack.push_back(context); }

void UIGraphicsPopContext() {
    if (!contextStack.empty()) contextStack.pop_back();
}

double UIGraphicsMainScreenScale() { return mainScreenScale.load(); }
void UIGraphicsSetMainScreenScale(double scale) {
    if (std::isfinite(scale) && scale > 0) mainScreenScale.store(scale);
}

void UIGraphicsBeginImageContext(CGSize size) { UIGraphicsBeginImageContextWithOptions(size, false, 1.0); }

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, double scale) {
    if (!(scale > 0) || !std::isfinite(scale)) scale = UIGraphicsMainScreenScale();
    auto ic = std::make_unique<ImageContext>();
    ic->scale = scale;
    double pw = std::ceil(size.width * scale), ph = std::ceil(size.height * scale);
    const double maxSide = 16384;
    if (pw >= 1 && ph >= 1 && pw <= maxSide && ph <= maxSide) {
        ic->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(pw), int(ph));
        if (cairo_surface_status(ic->surface) == CAIRO_STATUS_SUCCESS) {
            ic->cr = cairo_create(ic->surface);
            if (opaque) {
                cairo_set_source_rgb(ic->cr, 0, 0, 0);
                cairo_paint(ic->cr);
            }
            cairo_scale(ic->cr, scale, scale);
            ic->context = std::make_unique<CGContext>(ic->cr);
        } else {
            cairo_surface_destroy(ic->surface);
            ic->surface = nullptr;
        }
    }
    // A failed context still takes its place on the stacks so begin/end stay paired;
    // drawing then finds no current context.
    contextStack.push_back(ic->context.get());
    imageContexts.push_back(std::move(ic));
}

std::shared_ptr<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
    if (imageContexts.empty() || contextStack.empty()) return nullptr;
    ImageContext& ic = *imageContexts.back();
    if (!ic.context || contextStack.back() != ic.context.get()) return nullptr;
    cairo_surface_flush(ic.surface);
    int w = cairo_image_surface_get_width(ic.surface), h = cairo_image_surface_get_height(ic.surface);
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_source_surface(cr, ic.surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    return UIImage::imageWithSurface(copy, ic.scale);
}

void UIGraphicsEndImageContext() {
    if (imageContexts.empty()) return;
    CGContext* ctx = imageContexts.back()->context.get();
    for (auto it = contextStack.rbegin(); it != contextStack.rend(); ++it) {
        if (*it == ctx) {
            contextStack.erase(std::next(it).base());
            break;
        }
    }
    imageContexts.pop_back();
}
