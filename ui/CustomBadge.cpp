#include "ui/CustomBadge.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>
#include <cmath>

namespace {
std::shared_ptr<UIFont> badgeFont() { return UIFont::boldSystemFontOfSize(13); }
}  // namespace

CustomBadge::CustomBadge(const std::string& text)
    : text_(text), inset_(UIColor::redColor()), frame_(UIColor::whiteColor()), textColor_(UIColor::whiteColor()) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(false);
    resize();
}

std::shared_ptr<CustomBadge> CustomBadge::customBadgeWithString(const std::string& text) {
    return std::make_shared<CustomBadge>(text);
}

void CustomBadge::setBadgeText(const std::string& text) {
    text_ = text;
    resize();
    setNeedsDisplay();
}

void CustomBadge::resize() {
    double w = std::ceil(sizeWithFont(text_, *badgeFont()).width) + 14;
    CGPoint c = center();
    setBounds(CGRectMake(0, 0, std::max(kHeight, w), kHeight));
    setCenter(c);
}

void CustomBadge::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = CGRectInset(bounds(), 1.5, 1.5);
    double r = b.size.height / 2;
    ctx->saveGState();
    ctx->setShadow(CGSizeMake(0, 1), 2, UIColor::colorWithWhite(0, 0.5));
    ctx->setFillColor(*frame_);
    ctx->beginPath();
    ctx->addRoundedRect(b, r);
    ctx->fillPath();
    ctx->restoreGState();
    CGRect inner = CGRectInset(b, 2, 2);
    ctx->setFillColor(*inset_);
    ctx->beginPath();
    ctx->addRoundedRect(inner, inner.size.height / 2);
    ctx->fillPath();
    // A gloss over the upper half.
    ctx->saveGState();
    ctx->beginPath();
    ctx->addRoundedRect(inner, inner.size.height / 2);
    ctx->clip();
    ctx->drawLinearGradient({UIColor::colorWithWhite(1, 0.45), UIColor::colorWithWhite(1, 0.0)}, {},
                            CGPointMake(0, inner.origin.y), CGPointMake(0, CGRectGetMidY(inner)));
    ctx->restoreGState();
    auto font = badgeFont();
    CGSize s = sizeWithFont(text_, *font);
    ctx->setFillColor(*textColor_);
    UIGraphicsPushContext(ctx);
    drawStringAtPoint(text_, CGPointMake(CGRectGetMidX(b) - s.width / 2, CGRectGetMidY(b) - s.height / 2), *font);
    UIGraphicsPopContext();
}
