#include "platform/uikit/PopupButton.h"

PopupButton::PopupButton(const std::string& title, PopupButtonStyle style)
    : UIButton(UIButtonType::Custom), style_(style) {
    setTitle(title);
    titleLabel()->setFont(UIFont::boldSystemFontOfSize(
        style == PopupButtonStyle::Alert || style == PopupButtonStyle::AlertCancel ? 17 : 19));
    bool darkText = style == PopupButtonStyle::Sheet;
    setTitleColor(darkText ? UIColor::blackColor() : UIColor::whiteColor());
    setTitleColor(UIColor::whiteColor(), UIControlStateHighlighted);
    titleLabel()->setLineBreakMode(UILineBreakMode::TailTruncation);
}

void PopupButton::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect r = CGRectInset(bounds(), 0.5, 0.5);
    std::shared_ptr<UIColor> top, bottom;
    switch (style_) {
        case PopupButtonStyle::Alert:
            top = UIColor::colorWithWhite(1, 0.35);
            bottom = UIColor::colorWithWhite(1, 0.12);
            break;
        case PopupButtonStyle::AlertCancel:
            top = UIColor::colorWithWhite(1, 0.2);
            bottom = UIColor::colorWithWhite(0, 0.15);
            break;
        case PopupButtonStyle::Sheet:
            top = UIColor::colorWithWhite(1, 1);
            bottom = UIColor::colorWithWhite(0.85, 1);
            break;
        case PopupButtonStyle::SheetDestructive:
            top = UIColor::colorWithRed(0.95, 0.35, 0.33, 1);
            bottom = UIColor::colorWithRed(0.78, 0.08, 0.06, 1);
            break;
        case PopupButtonStyle::SheetCancel:
            top = UIColor::colorWithWhite(0.45, 1);
            bottom = UIColor::colorWithWhite(0.2, 1);
            break;
    }
    if (isHighlighted()) {
        top = UIColor::colorWithRed(0.35, 0.55, 0.95, 1);
        bottom = UIColor::colorWithRed(0.1, 0.3, 0.8, 1);
    }
    ctx->saveGState();
    ctx->beginPath();
    ctx->addRoundedRect(r, 8);
    ctx->clip();
    ctx->drawLinearGradient({top, bottom}, {}, r.origin, CGPointMake(r.origin.x, CGRectGetMaxY(r)));
    ctx->restoreGState();
    ctx->beginPath();
    ctx->addRoundedRect(r, 8);
    ctx->setStrokeColor(0, 0, 0, 0.45);
    ctx->setLineWidth(1);
    ctx->strokePath();
}
