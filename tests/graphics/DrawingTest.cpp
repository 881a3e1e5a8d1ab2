#include "tests/graphics/Canvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
bool isDark(const Pixel& p) { return p.a > 200 && p.r < 60 && p.g < 60 && p.b < 60; }
bool isWhite(const Pixel& p) { return p.a > 250 && p.r > 245 && p.g > 245 && p.b > 245; }
bool isEmpty(const Pixel& p) { return p.a < 8; }
bool isSolid(const Pixel& p) { return p.a > 247; }
}  // namespace

TEST(Drawing, DashedLineHasGapsAndBadDashesDrawSolid) {
    Canvas c(100, 10, 1, true);
    c.ctx().setStrokeColor(0, 0, 0, 1);
    c.ctx().setLineWidth(2);
    c.ctx().setLineDash(0, {10, 10});
    c.ctx().strokeLineSegments({CGPointMake(0, 5), CGPointMake(100, 5)});
    auto img = c.image();
    EXPECT_TRUE(isDark(pixelOf(*img, 5, 4)));
    EXPECT_TRUE(isWhite(pixelOf(*img, 15, 4)));
    EXPECT_TRUE(isDark(pixelOf(*img, 25, 4)));
    EXPECT_TRUE(isWhite(pixelOf(*img, 5, 8)));  // the line is only 2 wide

    // Cairo would stop drawing for good on these; here they mean a solid line.
    Canvas d(100, 10, 1, true);
    d.ctx().setLineWidth(2);
    d.ctx().setLineDash(0, {0, 0});
    d.ctx().setLineDash(0, {-3, 4});
    d.ctx().strokeLineSegments({CGPointMake(0, 5), CGPointMake(100, 5)});
    auto solid = d.image();
    for (int x = 1; x < 99; x += 7) EXPECT_TRUE(isDark(pixelOf(*solid, x, 4))) << x;
}

TEST(Drawing, LineCapsExtendPastTheEnds) {
    auto capAt = [](CGLineCap cap) {
        Canvas c(40, 20);
        c.ctx().setLineWidth(6);
        c.ctx().setLineCap(cap);
        c.ctx().strokeLineSegments({CGPointMake(10, 10), CGPointMake(30, 10)});
        return pixelOf(*c.image(), 8, 9);
    };
    EXPECT_TRUE(isEmpty(capAt(CGLineCap::Butt)));
    EXPECT_TRUE(isSolid(capAt(CGLineCap::Square)));
    EXPECT_GT(capAt(CGLineCap::Round).a, 100);
}

TEST(Drawing, RoundedRectLeavesCornersEmpty) {
    Canvas c(40, 40);
    c.ctx().beginPath();
    c.ctx().addRoundedRect(CGRectMake(0, 0, 40, 40), 10);
    c.ctx().fillPath();
    auto img = c.image();
    EXPECT_TRUE(isEmpty(pixelOf(*img, 0, 0)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 1, 1)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 39, 39)));
    EXPECT_TRUE(isSolid(pixelOf(*img, 20, 0)));
    EXPECT_TRUE(isSolid(pixelOf(*img, 20, 20)));
    EXPECT_TRUE(isSolid(pixelOf(*img, 5, 5)));  // inside the corner arc
}

TEST(Drawing, ClearBlendModeAndClearRectMakeTransparent) {
    Canvas c(40, 40);
    c.ctx().setFillColor(1, 0, 0, 1);
    c.ctx().fillRect(CGRectMake(0, 0, 40, 40));
    c.ctx().saveGState();
    c.ctx().setBlendMode(CGBlendMode::Clear);
    c.ctx().fillRect(CGRectMake(10, 10, 10, 10));
    c.ctx().restoreGState();
    c.ctx().clearRect(CGRectMake(30, 30, 5, 5));
    auto img = c.image();
    EXPECT_TRUE(isEmpty(pixelOf(*img, 15, 15)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 32, 32)));
    Pixel kept = pixelOf(*img, 5, 5);
    EXPECT_TRUE(isSolid(kept));
    EXPECT_EQ(kept.r, 255);
    // After restore the blend mode is normal again.
    c.ctx().fillRect(CGRectMake(10, 10, 10, 10));
    EXPECT_TRUE(isSolid(pixelOf(*c.image(), 15, 15)));
}

TEST(Drawing, ClipLimitsPaintingUntilRestore) {
    Canvas c(40, 40);
    c.ctx().saveGState();
    c.ctx().clipToRect(CGRectMake(0, 0, 20, 20));
    c.ctx().fillRect(CGRectMake(0, 0, 40, 40));
    auto clipped = c.image();
    EXPECT_TRUE(isSolid(pixelOf(*clipped, 10, 10)));
    EXPECT_TRUE(isEmpty(pixelOf(*clipped, 30, 30)));
    EXPECT_TRUE(isEmpty(pixelOf(*clipped, 25, 5)));
    c.ctx().restoreGState();
    c.ctx().fillRect(CGRectMake(0, 0, 40, 40));
    EXPECT_TRUE(isSolid(pixelOf(*c.image(), 30, 30)));

    // A path clip: only the inside of the ellipse.
    Canvas e(40, 40);
    e.ctx().addEllipseInRect(CGRectMake(0, 0, 40, 40));
    e.ctx().clip();
    e.ctx().fillRect(CGRectMake(0, 0, 40, 40));
    auto ell = e.image();
    EXPECT_TRUE(isEmpty(pixelOf(*ell, 1, 1)));
    EXPECT_TRUE(isSolid(pixelOf(*ell, 20, 20)));
}

TEST(Drawing, TransformsMoveScaleAndRotateAtTwoX) {
    Canvas c(50, 50, 2);
    c.ctx().saveGState();
    c.ctx().translateCTM(10, 10);
    c.ctx().scaleCTM(2, 2);
    c.ctx().fillRect(CGRectMake(0, 0, 5, 5));  // points 10..20, pixels 20..40
    CGAffineTransform ctm = c.ctx().getCTM();
    EXPECT_DOUBLE_EQ(ctm.a, 2);
    EXPECT_DOUBLE_EQ(ctm.tx, 10);
    c.ctx().restoreGState();
    auto img = c.image();
    EXPECT_EQ(img->pixelWidth(), 100);
    EXPECT_TRUE(isSolid(pixelOf(*img, 21, 21)));
    EXPECT_TRUE(isSolid(pixelOf(*img, 38, 38)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 41, 41)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 18, 18)));
    EXPECT_TRUE(CGAffineTransformIsIdentity(c.ctx().getCTM()));

    Canvas r(40, 20);
    r.ctx().translateCTM(30, 0);
    r.ctx().rotateCTM(M_PI / 2);                // x -> down, y -> left
    r.ctx().fillRect(CGRectMake(0, 0, 10, 5));  // lands on x 25..30, y 0..10
    auto rot = r.image();
    EXPECT_TRUE(isSolid(pixelOf(*rot, 27, 5)));
    EXPECT_TRUE(isEmpty(pixelOf(*rot, 32, 5)));
    EXPECT_TRUE(isEmpty(pixelOf(*rot, 27, 15)));
}

TEST(Drawing, SingularTransformDrawsNothingUntilRestore) {
    Canvas c(20, 20);
    c.ctx().saveGState();
    c.ctx().scaleCTM(0, 1);
    c.ctx().fillRect(CGRectMake(0, 0, 20, 20));
    EXPECT_EQ(countInk(*c.image()), 0);
    c.ctx().restoreGState();
    c.ctx().fillRect(CGRectMake(0, 0, 20, 20));
    EXPECT_TRUE(isSolid(pixelOf(*c.image(), 10, 10)));
}

TEST(Drawing, ArcDirectionFollowsTheClockwiseFlag) {
    auto slice = [](bool clockwise) {
        Canvas c(40, 40);
        c.ctx().moveToPoint(20, 20);
        c.ctx().addArc(20, 20, 15, 0, M_PI / 2, clockwise);
        c.ctx().closePath();
        c.ctx().fillPath();
        return c.image();
    };
    // Increasing angles sweep through the lower right quarter on a y-down screen.
    auto shortWay = slice(false);
    EXPECT_TRUE(isSolid(pixelOf(*shortWay, 26, 26)));
    EXPECT_TRUE(isEmpty(pixelOf(*shortWay, 14, 14)));
    auto longWay = slice(true);
    EXPECT_TRUE(isEmpty(pixelOf(*longWay, 26, 26)));
    EXPECT_TRUE(isSolid(pixelOf(*longWay, 14, 14)));
}

TEST(Drawing, ArcToPointRoundsACorner) {
    Canvas c(40, 40);
    c.ctx().moveToPoint(0, 0);
    c.ctx().addArcToPoint(40, 0, 40, 40, 20);
    c.ctx().addLineToPoint(40, 40);
    c.ctx().addLineToPoint(0, 40);
    c.ctx().closePath();
    c.ctx().fillPath();
    auto img = c.image();
    EXPECT_TRUE(isEmpty(pixelOf(*img, 38, 1)));  // cut corner
    EXPECT_TRUE(isSolid(pixelOf(*img, 10, 1)));  // straight top edge before the arc
    EXPECT_TRUE(isSolid(pixelOf(*img, 30, 20)));
}

TEST(Drawing, AlphaAndShadow) {
    Canvas a(10, 10);
    a.ctx().setAlpha(0.5);
    a.ctx().fillRect(CGRectMake(0, 0, 10, 10));
    EXPECT_NEAR(pixelOf(*a.image(), 5, 5).a, 128, 2);

    auto shadowed = [](double blur) {
        Canvas c(60, 60, 1, true);
        c.ctx().setShadow(CGSizeMake(10, 10), blur, UIColor::blackColor());
        c.ctx().setFillColor(1, 0, 0, 1);
        c.ctx().fillRect(CGRectMake(10, 10, 20, 20));
        return c.image();
    };
    auto sharp = shadowed(0);
    Pixel body = pixelOf(*sharp, 15, 15);
    EXPECT_EQ(body.r, 255);
    EXPECT_LT(body.g, 10);
    EXPECT_TRUE(isDark(pixelOf(*sharp, 35, 35)));   // the shadow, offset down-right
    EXPECT_TRUE(isWhite(pixelOf(*sharp, 42, 35)));  // beyond its edge
    EXPECT_TRUE(isWhite(pixelOf(*sharp, 5, 5)));

    auto soft = shadowed(8);
    Pixel edge = pixelOf(*soft, 41, 30);
    EXPECT_LT(edge.r, 240);  // the blur reaches past the sharp edge
    EXPECT_GT(edge.r, 20);
    EXPECT_TRUE(isDark(pixelOf(*soft, 32, 32)) || pixelOf(*soft, 32, 32).r < 80);
}

TEST(Drawing, LinearGradientEndsAndExtension) {
    auto draw = [](unsigned options) {
        Canvas c(100, 10);
        c.ctx().drawLinearGradient({UIColor::redColor(), UIColor::blueColor()}, {}, CGPointMake(20, 0),
                                   CGPointMake(80, 0), options);
        return c.image();
    };
    auto plain = draw(0);
    Pixel start = pixelOf(*plain, 21, 5), end = pixelOf(*plain, 78, 5), mid = pixelOf(*plain, 50, 5);
    EXPECT_GT(start.r, 230);
    EXPECT_GT(end.b, 230);
    EXPECT_NEAR(mid.r, 128, 10);
    EXPECT_NEAR(mid.b, 128, 10);
    EXPECT_TRUE(isEmpty(pixelOf(*plain, 10, 5)));
    EXPECT_TRUE(isEmpty(pixelOf(*plain, 90, 5)));

    auto before = draw(kCGGradientDrawsBeforeStartLocation);
    EXPECT_GT(pixelOf(*before, 10, 5).r, 250);
    EXPECT_TRUE(isEmpty(pixelOf(*before, 90, 5)));
    auto after = draw(kCGGradientDrawsAfterEndLocation);
    EXPECT_TRUE(isEmpty(pixelOf(*after, 10, 5)));
    EXPECT_GT(pixelOf(*after, 90, 5).b, 250);

    Canvas r(40, 40);
    r.ctx().drawRadialGradient({UIColor::whiteColor(), UIColor::blackColor()}, {0, 1}, CGPointMake(20, 20), 0,
                               CGPointMake(20, 20), 20);
    auto rad = r.image();
    EXPECT_GT(pixelOf(*rad, 20, 20).r, 240);
    EXPECT_LT(pixelOf(*rad, 20, 2).r, 40);
    EXPECT_TRUE(isEmpty(pixelOf(*rad, 0, 0)));
}

TEST(Drawing, PatternColourTilesAnImage) {
    std::shared_ptr<UIImage> tile;
    {
        Canvas t(2, 2, 1, true);
        t.ctx().fillRect(CGRectMake(0, 0, 1, 1));
        tile = t.image();
    }
    Canvas c(8, 8);
    c.ctx().setFillColor(*UIColor::colorWithPatternImage(tile));
    c.ctx().fillRect(CGRectMake(0, 0, 8, 8));
    auto img = c.image();
    EXPECT_TRUE(isDark(pixelOf(*img, 0, 0)));
    EXPECT_TRUE(isWhite(pixelOf(*img, 1, 0)));
    EXPECT_TRUE(isDark(pixelOf(*img, 6, 4)));
    EXPECT_TRUE(isWhite(pixelOf(*img, 7, 7)));
}

TEST(Drawing, ImageContextsNestAndFailedOnesStayPaired) {
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(10, 10), false, 2);
    CGContext* outer = UIGraphicsGetCurrentContext();
    ASSERT_NE(outer, nullptr);
    UIGraphicsBeginImageContext(CGSizeMake(5, 5));
    CGContext* inner = UIGraphicsGetCurrentContext();
    ASSERT_NE(inner, nullptr);
    EXPECT_NE(inner, outer);
    auto img = UIGraphicsGetImageFromCurrentImageContext();
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixelWidth(), 5);
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);

    UIGraphicsBeginImageContext(CGSizeMake(0, 10));  // cannot exist
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    EXPECT_EQ(UIGraphicsGetImageFromCurrentImageContext(), nullptr);
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), outer);

    auto big = UIGraphicsGetImageFromCurrentImageContext();
    ASSERT_TRUE(big);
    EXPECT_EQ(big->pixelWidth(), 20);
    EXPECT_DOUBLE_EQ(big->scale(), 2);
    EXPECT_DOUBLE_EQ(big->size().width, 10);
    UIGraphicsEndImageContext();
    EXPECT_EQ(UIGraphicsGetCurrentContext(), nullptr);
    UIGraphicsEndImageContext();  // unbalanced end is harmless
    UIGraphicsPopContext();
}

TEST(Drawing, ImagesScaleIntoTheirRect) {
    std::shared_ptr<UIImage> red;
    {
        Canvas t(4, 4);
        t.ctx().setFillColor(1, 0, 0, 1);
        t.ctx().fillRect(CGRectMake(0, 0, 4, 4));
        red = t.image();
    }
    Canvas c(20, 20, 2);
    red->drawInRect(CGRectMake(2, 2, 8, 8));
    auto img = c.image();
    EXPECT_TRUE(isSolid(pixelOf(*img, 10, 10)));
    EXPECT_TRUE(isSolid(pixelOf(*img, 18, 18)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 22, 22)));
    EXPECT_TRUE(isEmpty(pixelOf(*img, 2, 2)));
    red->drawAtPoint(CGPointMake(14, 14), CGBlendMode::Normal, 0.5);
    EXPECT_NEAR(pixelOf(*c.image(), 30, 30).a, 128, 2);
}
