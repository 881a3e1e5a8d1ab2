#include "platform/graphics/Geometry.h"

#include <algorithm>

const CGRect CGRectZero{};
const CGPoint CGPointZero{};
const CGSize CGSizeZero{};
const CGAffineTransform CGAffineTransformIdentity{};
const UIEdgeInsets UIEdgeInsetsZero{};

bool operator==(const CGPoint& a, const CGPoint& b) { return a.x == b.x && a.y == b.y; }
bool operator==(const CGSize& a, const CGSize& b) { return a.width == b.width && a.height == b.height; }
bool operator==(const CGRect& a, const CGRect& b) { return a.origin == b.origin && a.size == b.size; }

CGRect CGRectMake(double x, double y, double w, double h) { return CGRect{{x, y}, {w, h}}; }
CGPoint CGPointMake(double x, double y) { return CGPoint{x, y}; }
CGSize CGSizeMake(double w, double h) { return CGSize{w, h}; }

CGRect CGRectStandardize(const CGRect& r) {
    CGRect s = r;
    if (s.size.width < 0) {
        s.origin.x += s.size.width;
        s.size.width = -s.size.width;
    }
    if (s.size.height < 0) {
        s.origin.y += s.size.height;
        s.size.height = -s.size.height;
    }
    return s;
}

double CGRectGetMinX(const CGRect& r) { return CGRectStandardize(r).origin.x; }
double CGRectGetMinY(const CGRect& r) { return CGRectStandardize(r).origin.y; }
double CGRectGetWidth(const CGRect& r) { return std::fabs(r.size.width); }
double CGRectGetHeight(const CGRect& r) { return std::fabs(r.size.height); }
double CGRectGetMaxX(const CGRect& r) { return CGRectGetMinX(r) + CGRectGetWidth(r); }
double CGRectGetMaxY(const CGRect& r) { return CGRectGetMinY(r) + CGRectGetHeight(r); }
double CGRectGetMidX(const CGRect& r) { return CGRectGetMinX(r) + CGRectGetWidth(r) / 2; }
double CGRectGetMidY(const CGRect& r) { return CGRectGetMinY(r) + CGRectGetHeight(r) / 2; }

bool CGRectIsEmpty(const CGRect& r) {
    // Written so that NaN sizes count as empty.
    return !(std::fabs(r.size.width) > 0) || !(std::fabs(r.size.height) > 0);
}

bool CGRectContainsPoint(const CGRect& r, CGPoint p) {
    if (CGRectIsEmpty(r)) return false;
    return p.x >= CGRectGetMinX(r) && p.x < CGRectGetMaxX(r) && p.y >= CGRectGetMinY(r) && p.y < CGRectGetMaxY(r);
}

bool CGRectContainsRect(const CGRect& outer, const CGRect& inner) {
    if (CGRectIsEmpty(outer)) return false;
    return CGRectGetMinX(inner) >= CGRectGetMinX(outer) && CGRectGetMaxX(inner) <= CGRectGetMaxX(outer) &&
           CGRectGetMinY(inner) >= CGRectGetMinY(outer) && CGRectGetMaxY(inner) <= CGRectGetMaxY(outer);
}

CGRect CGRectIntersection(const CGRect& a, const CGRect& b) {
    if (CGRectIsEmpty(a) || CGRectIsEmpty(b)) return CGRectZero;
    double x0 = std::max(CGRectGetMinX(a), CGRectGetMinX(b));
    double y0 = std::max(CGRectGetMinY(a), CGRectGetMinY(b));
    double x1 = std::min(CGRectGetMaxX(a), CGRectGetMaxX(b));
    double y1 = std::min(CGRectGetMaxY(a), CGRectGetMaxY(b));
    if (x1 <= x0 || y1 <= y0) return CGRectZero;
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

bool CGRectIntersectsRect(const CGRect& a, const CGRect& b) { return !CGRectIsEmpty(CGRectIntersection(a, b)); }

CGRect CGRectUnion(const CGRect& a, const CGRect& b) {
    if (CGRectIsEmpty(a)) return CGRectStandardize(b);
    if (CGRectIsEmpty(b)) return CGRectStandardize(a);
    double x0 = std::min(CGRectGetMinX(a), CGRectGetMinX(b));
    double y0 = std::min(CGRectGetMinY(a), CGRectGetMinY(b));
    double x1 = std::max(CGRectGetMaxX(a), CGRectGetMaxX(b));
    double y1 = std::max(CGRectGetMaxY(a), CGRectGetMaxY(b));
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

CGRect CGRectInset(const CGRect& r, double dx, double dy) {
    CGRect s = CGRectStandardize(r);
    s.origin.x += dx;
    s.origin.y += dy;
    s.size.width -= 2 * dx;
    s.size.height -= 2 * dy;
    if (s.size.width < 0 || s.size.height < 0) return CGRectZero;
    return s;
}

CGRect CGRectOffset(const CGRect& r, double dx, double dy) {
    CGRect s = CGRectStandardize(r);
    s.origin.x += dx;
    s.origin.y += dy;
    return s;
}

CGRect CGRectIntegral(const CGRect& r) {
    if (CGRectIsEmpty(r)) return CGRectZero;
    double x0 = std::floor(CGRectGetMinX(r)), y0 = std::floor(CGRectGetMinY(r));
    double x1 = std::ceil(CGRectGetMaxX(r)), y1 = std::ceil(CGRectGetMaxY(r));
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

bool CGRectEqualToRect(const CGRect& a, const CGRect& b) { return CGRectStandardize(a) == CGRectStandardize(b); }
bool CGPointEqualToPoint(CGPoint a, CGPoint b) { return a == b; }
bool CGSizeEqualToSize(CGSize a, CGSize b) { return a == b; }

bool operator==(const CGAffineTransform& l, const CGAffineTransform& r) {
    return l.a == r.a && l.b == r.b && l.c == r.c && l.d == r.d && l.tx == r.tx && l.ty == r.ty;
}

CGAffineTransform CGAffineTransformMake(double a, double b, double c, double d, double tx, double ty) {
    return CGAffineTransform{a, b, c, d, tx, ty};
}
CGAffineTransform CGAffineTransformMakeTranslation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
CGAffineTransform CGAffineTransformMakeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
CGAffineTransform CGAffineTransformMakeRotation(double radians) {
    double c = std::cos(radians), s = std::sin(radians);
    return {c, s, -s, c, 0, 0};
}

CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2) {
    return {t1.a * t2.a + t1.b * t2.c, t1.a * t2.b + t1.b * t2.d,           t1.c * t2.a + t1.d * t2.c,
            t1.c * t2.b + t1.d * t2.d, t1.tx * t2.a + t1.ty * t2.c + t2.tx, t1.tx * t2.b + t1.ty * t2.d + t2.ty};
}

CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, double tx, double ty) {
    return CGAffineTransformConcat(CGAffineTransformMakeTranslation(tx, ty), t);
}
CGAffineTransform CGAffineTransformScale(const CGAffineTransform& t, double sx, double sy) {
    return CGAffineTransformConcat(CGAffineTransformMakeScale(sx, sy), t);
}
CGAffineTransform CGAffineTransformRotate(const CGAffineTransform& t, double radians) {
    return CGAffineTransformConcat(CGAffineTransformMakeRotation(radians), t);
}

CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t) {
    double det = t.a * t.d - t.b * t.c;
    if (det == 0 || !std::isfinite(det)) return t;
    CGAffineTransform r;
    r.a = t.d / det;
    r.b = -t.b / det;
    r.c = -t.c / det;
    r.d = t.a / det;
    r.tx = (t.c * t.ty - t.d * t.tx) / det;
    r.ty = (t.b * t.tx - t.a * t.ty) / det;
    return r;
}

bool CGAffineTransformIsIdentity(const CGAffineTransform& t) { return t == CGAffineTransformIdentity; }

CGPoint CGPointApplyAffineTransform(CGPoint p, const CGAffineTransform& t) {
    return {t.a * p.x + t.c * p.y + t.tx, t.b * p.x + t.d * p.y + t.ty};
}

CGSize CGSizeApplyAffineTransform(CGSize s, const CGAffineTransform& t) {
    return {t.a * s.width + t.c * s.height, t.b * s.width + t.d * s.height};
}

CGRect CGRectApplyAffineTransform(const CGRect& r, const CGAffineTransform& t) {
    CGRect s = CGRectStandardize(r);
    CGPoint pts[4] = {CGPointApplyAffineTransform(s.origin, t),
                      CGPointApplyAffineTransform({CGRectGetMaxX(s), CGRectGetMinY(s)}, t),
                      CGPointApplyAffineTransform({CGRectGetMinX(s), CGRectGetMaxY(s)}, t),
                      CGPointApplyAffineTransform({CGRectGetMaxX(s), CGRectGetMaxY(s)}, t)};
    double x0 = pts[0].x, x1 = pts[0].x, y0 = pts[0].y, y1 = pts[0].y;
    for (const CGPoint& p : pts) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return CGRectMake(x0, y0, x1 - x0, y1 - y0);
}

UIEdgeInsets UIEdgeInsetsMake(double top, double left, double bottom, double right) {
    return UIEdgeInsets{top, left, bottom, right};
}

CGRect UIEdgeInsetsInsetRect(const CGRect& r, const UIEdgeInsets& i) {
    CGRect s = r;
    s.origin.x += i.left;
    s.origin.y += i.top;
    s.size.width -= i.left + i.right;
    s.size.height -= i.top + i.bottom;
    return s;
}

bool operator==(const UIEdgeInsets& a, const UIEdgeInsets& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
