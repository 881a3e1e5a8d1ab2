#include "ui/UIGlossyButton.h"

#include <algorithm>

namespace {
std::shared_ptr<UIColor> shade(const UIColor& c, double f) {
    auto mix = [f](double v) { return f >= 0 ? v + (1 - v) * f : v * (1 + f); };
    return UIColor::colorWithRed(mix(c.red()), mix(c.green()), mix(c.blue()), c.alpha());
}
}  // namespace

UIGlossyButton::UIGlossyButton(const CGRect& frame) : UIButton(UIButtonType::Custom, frame) {
    tint_ = UIColor::colorWithRed(0.6, 0.6, 0.6, 1);
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    setTitleColor(UIColor::blackColor());
    setFont(UIFont::boldSystemFontOfSize(15));
}

void UIGlossyButton::useWhiteLabel(bool white) {
    setTitleColor(white ? UIColor::whiteColor() : UIColor::blackColor());
    setTitleColor(white ? UIColor::lightGrayColor() : UIColor::darkGrayColor(), UIControlStateHighlighted);
    setTitleShadowColor(white ? UIColor::colorWithWhite(0, 0.5) : UIColor::colorWithWhite(1, 0.5));
}

void UIGlossyButton::setTintColor(std::shared_ptr<UIColor> c) {
    tint_ = c ? std::move(c) : UIColor::grayColor();
    setNeedsDisplay();
}

void UIGlossyButton::setActionSheetButtonWithColor(std::shared_ptr<UIColor> color) {
    setTintColor(std::move(color));
    useWhiteLabel(true);
    setGradientType(UIGlossyButtonGradientType::LinearGlossyStandard);
    setButtonCornerRadius(8);
    setFont(UIFont::boldSystemFontOfSize(17));
    rim_ = true;
    setNeedsDisplay();
}

void UIGlossyButton::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = CGRectInset(bounds(), 1, 1);
    if (b.size.width <= 0 || b.size.height <= 0) return;
    double r = std::min(radius_, b.size.height / 2);
    UIColor base = *tint_;
    auto tint = isHighlighted() ? shade(base, -0.3) : shade(base, 0);
    ctx->saveGState();
    if (!isEnabled()) ctx->setAlpha(0.5);
    ctx->beginPath();
    ctx->addRoundedRect(b, r);
    ctx->clip();
    CGPoint top = CGPointMake(0, b.origin.y), bottom = CGPointMake(0, CGRectGetMaxY(b));
    switch (gradient_) {
        case UIGlossyButtonGradientType::SolidColor:
            ctx->setFillColor(*tint);
            ctx->fillRect(b);
            break;
        case UIGlossyButtonGradientType::LinearGlossyStandard:
            ctx->drawLinearGradient({shade(*tint, 0.45), shade(*tint, 0.15), tint, shade(*tint, -0.1)},
                                    {0, 0.5, 0.5, 1}, top, bottom);
            break;
        case UIGlossyButtonGradientType::LinearSmoothExtreme:
            ctx->drawLinearGradient({shade(*tint, 0.6), shade(*tint, -0.35)}, {}, top, bottom);
            break;
        case UIGlossyButtonGradientType::LinearSmoothBrightToNormal:
            ctx->drawLinearGradient({shade(*tint, 0.5), tint}, {0, 0.5}, top, bottom);
            break;
        case UIGlossyButtonGradientType::LinearSmoothStandard:
            ctx->drawLinearGradient({shade(*tint, 0.3), shade(*tint, -0.15)}, {}, top, bottom);
            break;
    }
    ctx->restoreGState();
    ctx->setLineWidth(1);
    if (rim_)
        ctx->setStrokeColor(0, 0, 0, 0.6);
    else
        ctx->setStrokeColor(*shade(*tint, -0.4));
    ctx->beginPath();
    ctx->addRoundedRect(CGRectInset(b, 0.5, 0.5), r);
    ctx->strokePath();
}
