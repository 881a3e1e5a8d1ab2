#include "platform/graphics/UIColor.h"

#include "platform/graphics/CGContext.h"
#include "platform/graphics/UIImage.h"

#include <algorithm>
#include <cmath>

namespace {
double clamp01(double v) {
    if (!(v >= 0)) return 0;  // negative or NaN
    return std::min(v, 1.0);
}
}  // namespace

UIColor::UIColor(double r, double g, double b, double a)
    : r_(clamp01(r)), g_(clamp01(g)), b_(clamp01(b)), a_(clamp01(a)) {}

std::shared_ptr<UIColor> UIColor::colorWithRed(double r, double g, double b, double a) {
    return std::make_shared<UIColor>(r, g, b, a);
}

std::shared_ptr<UIColor> UIColor::colorWithWhite(double w, double a) { return std::make_shared<UIColor>(w, w, w, a); }

std::shared_ptr<UIColor> UIColor::colorWithPatternImage(std::shared_ptr<UIImage> image) {
    auto c = std::make_shared<UIColor>(0, 0, 0, image ? 1.0 : 0.0);
    c->pattern_ = std::move(image);
    return c;
}

std::shared_ptr<UIColor> UIColor::colorWithRGBHex(unsigned rgb, double a) {
    return colorWithRed(((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, a);
}

std::shared_ptr<UIColor> UIColor::blackColor() { return colorWithWhite(0, 1); }
std::shared_ptr<UIColor> UIColor::whiteColor() { return colorWithWhite(1, 1); }
std::shared_ptr<UIColor> UIColor::clearColor() { return colorWithWhite(0, 0); }
std::shared_ptr<UIColor> UIColor::redColor() { return colorWithRed(1, 0, 0, 1); }
std::shared_ptr<UIColor> UIColor::greenColor() { return colorWithRed(0, 1, 0, 1); }
std::shared_ptr<UIColor> UIColor::blueColor() { return colorWithRed(0, 0, 1, 1); }
std::shared_ptr<UIColor> UIColor::grayColor() { return colorWithWhite(0.5, 1); }
std::shared_ptr<UIColor> UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }
std::shared_ptr<UIColor> UIColor::lightGrayColor() { return colorWithWhite(2.0 / 3.0, 1); }
std::shared_ptr<UIColor> UIColor::yellowColor() { return colorWithRed(1, 1, 0, 1); }
std::shared_ptr<UIColor> UIColor::orangeColor() { return colorWithRed(1, 0.5, 0, 1); }
std::shared_ptr<UIColor> UIColor::cyanColor() { return colorWithRed(0, 1, 1, 1); }
std::shared_ptr<UIColor> UIColor::magentaColor() { return colorWithRed(1, 0, 1, 1); }
std::shared_ptr<UIColor> UIColor::brownColor() { return colorWithRed(0.6, 0.4, 0.2, 1); }
std::shared_ptr<UIColor> UIColor::purpleColor() { return colorWithRed(0.5, 0, 0.5, 1); }
// The grouped-table background: a plain blue-grey instead of the old pinstripes.
std::shared_ptr<UIColor> UIColor::groupTableViewBackgroundColor() {
    return colorWithRed(197 / 255.0, 204 / 255.0, 212 / 255.0, 1);
}

std::shared_ptr<UIColor> UIColor::colorWithAlphaComponent(double a) const {
    auto c = std::make_shared<UIColor>(*this);
    c->a_ = clamp01(a);
    return c;
}

void UIColor::set() const {
    setFill();
    setStroke();
}

void UIColor::setFill() const {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) ctx->setFillColor(*this);
}

void UIColor::setStroke() const {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) ctx->setStrokeColor(*this);
}

bool UIColor::operator==(const UIColor& o) const {
    return r_ == o.r_ && g_ == o.g_ && b_ == o.b_ && a_ == o.a_ && pattern_ == o.pattern_;
}
