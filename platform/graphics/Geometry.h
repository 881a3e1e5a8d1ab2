#pragma once
// Points, sizes, rectangles, affine transforms and edge insets in points,
// with the y axis pointing down (the screen's coordinate system).
#include <cmath>

struct CGPoint {
    double x = 0, y = 0;
};
struct CGSize {
    double width = 0, height = 0;
};
struct CGRect {
    CGPoint origin;
    CGSize size;
};

bool operator==(const CGPoint& a, const CGPoint& b);
bool operator==(const CGSize& a, const CGSize& b);
bool operator==(const CGRect& a, const CGRect& b);
inline bool operator!=(const CGPoint& a, const CGPoint& b) { return !(a == b); }
inline bool operator!=(const CGSize& a, const CGSize& b) { return !(a == b); }
inline bool operator!=(const CGRect& a, const CGRect& b) { return !(a == b); }

extern const CGRect CGRectZero;
extern const CGPoint CGPointZero;
extern const CGSize CGSizeZero;

CGRect CGRectMake(double x, double y, double w, double h);
CGPoint CGPointMake(double x, double y);
CGSize CGSizeMake(double w, double h);

// Min/Max/Width/Height work on the standardized rectangle (negative sizes allowed).
double CGRectGetMinX(const CGRect& r);
double CGRectGetMidX(const CGRect& r);
double CGRectGetMaxX(const CGRect& r);
double CGRectGetMinY(const CGRect& r);
double CGRectGetMidY(const CGRect& r);
double CGRectGetMaxY(const CGRect& r);
double CGRectGetWidth(const CGRect& r);
double CGRectGetHeight(const CGRect& r);

CGRect CGRectStandardize(const CGRect& r);
// Contains: min edges inclusive, max edges exclusive.
bool CGRectContainsPoint(const CGRect& r, CGPoint p);
bool CGRectContainsRect(const CGRect& outer, const CGRect& inner);
bool CGRectIntersectsRect(const CGRect& a, const CGRect& b);
CGRect CGRectInset(const CGRect& r, double dx, double dy);
CGRect CGRectOffset(const CGRect& r, double dx, double dy);
CGRect CGRectIntegral(const CGRect& r);
// CGRectZero when they do not intersect.
CGRect CGRectIntersection(const CGRect& a, const CGRect& b);
// An empty rectangle is ignored (the union is the other one).
CGRect CGRectUnion(const CGRect& a, const CGRect& b);
// True when width or height is zero (or negative, or not a number).
bool CGRectIsEmpty(const CGRect& r);
bool CGRectEqualToRect(const CGRect& a, const CGRect& b);
bool CGPointEqualToPoint(CGPoint a, CGPoint b);
bool CGSizeEqualToSize(CGSize a, CGSize b);

// x' = a*x + c*y + tx ; y' = b*x + d*y + ty
struct CGAffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};
bool operator==(const CGAffineTransform& l, const CGAffineTransform& r);
inline bool operator!=(const CGAffineTransform& l, const CGAffineTransform& r) { return !(l == r); }

extern const CGAffineTransform CGAffineTransformIdentity;
CGAffineTransform CGAffineTransformMake(double a, double b, double c, double d, double tx, double ty);
CGAffineTransform CGAffineTransformMakeTranslation(double tx, double ty);
CGAffineTransform CGAffineTransformMakeScale(double sx, double sy);
CGAffineTransform CGAffineTransformMakeRotation(double radians);
// t1 then t2.
CGAffineTransform CGAffineTransformConcat(const CGAffineTransform& t1, const CGAffineTransform& t2);
CGAffineTransform CGAffineTransformTranslate(const CGAffineTransform& t, double tx, double ty);
CGAffineTransform CGAffineTransformScale(const CGAffineTransform& t, double sx, double sy);
CGAffineTransform CGAffineTransformRotate(const CGAffineTransform& t, double radians);
// A singular transform is returned unchanged.
CGAffineTransform CGAffineTransformInvert(const CGAffineTransform& t);
bool CGAffineTransformIsIdentity(const CGAffineTransform& t);
CGPoint CGPointApplyAffineTransform(CGPoint p, const CGAffineTransform& t);
CGSize CGSizeApplyAffineTransform(CGSize s, const CGAffineTransform& t);
// The bounding box of the transformed rectangle.
CGRect CGRectApplyAffineTransform(const CGRect& r, const CGAffineTransform& t);

struct UIEdgeInsets {
    double top = 0, left = 0, bottom = 0, right = 0;
};
extern const UIEdgeInsets UIEdgeInsetsZero;
UIEdgeInsets UIEdgeInsetsMake(double top, double left, double bottom, double right);
CGRect UIEdgeInsetsInsetRect(const CGRect& r, const UIEdgeInsets& insets);
bool operator==(const UIEdgeInsets& a, const UIEdgeInsets& b);
inline bool operator!=(const UIEdgeInsets& a, const UIEdgeInsets& b) { return !(a == b); }
