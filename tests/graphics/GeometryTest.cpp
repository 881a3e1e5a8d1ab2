#include "platform/graphics/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Geometry, RectEdgesAndContainment) {
    CGRect r = CGRectMake(10, 20, 30, 40);
    EXPECT_EQ(CGRectGetMinX(r), 10);
    EXPECT_EQ(CGRectGetMaxX(r), 40);
    EXPECT_EQ(CGRectGetMidY(r), 40);
    EXPECT_TRUE(CGRectContainsPoint(r, CGPointMake(10, 20)));
    EXPECT_FALSE(CGRectContainsPoint(r, CGPointMake(40, 30)));  // max edge excluded
    EXPECT_FALSE(CGRectContainsPoint(CGRectMake(0, 0, 0, 10), CGPointMake(0, 0)));

    // A negative size is the same rectangle seen from the other corner.
    CGRect n = CGRectMake(40, 60, -30, -40);
    EXPECT_EQ(CGRectGetMinX(n), 10);
    EXPECT_EQ(CGRectGetHeight(n), 40);
    EXPECT_TRUE(CGRectEqualToRect(n, r));
    EXPECT_TRUE(CGRectContainsPoint(n, CGPointMake(15, 25)));
}

TEST(Geometry, IntersectionUnionInset) {
    CGRect a = CGRectMake(0, 0, 10, 10), b = CGRectMake(5, 5, 10, 10);
    EXPECT_EQ(CGRectIntersection(a, b), CGRectMake(5, 5, 5, 5));
    EXPECT_EQ(CGRectUnion(a, b), CGRectMake(0, 0, 15, 15));
    // Touching edges do not intersect.
    EXPECT_FALSE(CGRectIntersectsRect(a, CGRectMake(10, 0, 5, 5)));
    EXPECT_TRUE(CGRectIsEmpty(CGRectIntersection(a, CGRectMake(20, 20, 1, 1))));
    // An empty rectangle does not grow a union.
    EXPECT_EQ(CGRectUnion(CGRectZero, b), b);
    EXPECT_EQ(CGRectInset(a, 2, 3), CGRectMake(2, 3, 6, 4));
    EXPECT_EQ(CGRectInset(a, -1, -1), CGRectMake(-1, -1, 12, 12));
    EXPECT_TRUE(CGRectIsEmpty(CGRectInset(a, 6, 0)));
    EXPECT_EQ(CGRectIntegral(CGRectMake(0.5, 0.2, 1.2, 1.0)), CGRectMake(0, 0, 2, 2));
    EXPECT_TRUE(CGRectIsEmpty(CGRectMake(0, 0, NAN, 3)));
}

TEST(Geometry, TransformsComposeAndInvert) {
    CGAffineTransform t =
        CGAffineTransformConcat(CGAffineTransformMakeScale(2, 3), CGAffineTransformMakeTranslation(10, 20));
    CGPoint p = CGPointApplyAffineTransform(CGPointMake(1, 1), t);
    EXPECT_DOUBLE_EQ(p.x, 12);  // scaled first, then moved
    EXPECT_DOUBLE_EQ(p.y, 23);
    CGPoint back = CGPointApplyAffineTransform(p, CGAffineTransformInvert(t));
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 1, 1e-12);

    // Rotation by 90 degrees turns +x into +y (down on screen).
    CGPoint r = CGPointApplyAffineTransform(CGPointMake(1, 0), CGAffineTransformMakeRotation(M_PI / 2));
    EXPECT_NEAR(r.x, 0, 1e-12);
    EXPECT_NEAR(r.y, 1, 1e-12);

    CGRect box = CGRectApplyAffineTransform(CGRectMake(0, 0, 10, 20), CGAffineTransformMakeRotation(M_PI / 2));
    EXPECT_NEAR(box.origin.x, -20, 1e-9);
    EXPECT_NEAR(box.size.width, 20, 1e-9);
    EXPECT_NEAR(box.size.height, 10, 1e-9);

    CGAffineTransform singular = CGAffineTransformMakeScale(0, 1);
    EXPECT_EQ(CGAffineTransformInvert(singular), singular);
    EXPECT_TRUE(CGAffineTransformIsIdentity(CGAffineTransformIdentity));
    EXPECT_FALSE(CGAffineTransformIsIdentity(CGAffineTransformTranslate(CGAffineTransformIdentity, 1, 0)));
}

TEST(Geometry, EdgeInsets) {
    CGRect r = UIEdgeInsetsInsetRect(CGRectMake(0, 0, 100, 50), UIEdgeInsetsMake(1, 2, 3, 4));
    EXPECT_EQ(r, CGRectMake(2, 1, 94, 46));
}
