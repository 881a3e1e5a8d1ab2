#include "platform/uikit/UISwitch.h"

#include "platform/graphics/TextDrawing.h"

UISwitch::UISwitch(const CGRect& frame) : UIControl(CGRectMake(frame.origin.x, frame.origin.y, 94, 27)) {
    setOpaque(false);
}

void UISwitch::setFrame(const CGRect& f) { UIControl::setFrame(CGRectMake(f.origin.x, f.origin.y, 94, 27)); }

void UISwitch::setOn(bool on, bool) {
    on_ = on;
    setNeedsDisplay();
}

void UISwitch::endTrackingWithTouch(UITouch* touch, UIEvent*) {
    if (!touch || !CGRectContainsPoint(CGRectInset(bounds(), -20, -20), touch->locationInView(this))) return;
    on_ = !on_;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
}

void UISwitch::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = CGRectInset(bounds(), 0.5, 0.5);
    ctx->saveGState();
    ctx->beginPath();
    ctx->addRoundedRect(b, 6);
    ctx->clip();
    if (on_)
        ctx->drawLinearGradient({UIColor::colorWithRed(0.0, 0.35, 0.85, 1), UIColor::colorWithRed(0.2, 0.55, 0.98, 1)},
                                {}, b.origin, CGPointMake(b.origin.x, CGRectGetMaxY(b)));
    else
        ctx->drawLinearGradient({UIColor::colorWithWhite(0.85, 1), UIColor::colorWithWhite(0.98, 1)}, {}, b.origin,
                                CGPointMake(b.origin.x, CGRectGetMaxY(b)));
    auto font = UIFont::boldSystemFontOfSize(16);
    double h = font->lineHeight();
    if (on_) {
        ctx->setFillColor(1, 1, 1, 1);
        drawString(kOnText, CGRectMake(b.origin.x, CGRectGetMidY(b) - h / 2, 54, h), *font, UILineBreakMode::Clip,
                   UITextAlignment::Center);
    } else {
        ctx->setFillColor(0.45, 0.45, 0.45, 1);
        drawString(kOffText, CGRectMake(CGRectGetMaxX(b) - 54, CGRectGetMidY(b) - h / 2, 54, h), *font,
                   UILineBreakMode::Clip, UITextAlignment::Center);
    }
    // The knob.
    CGRect knob = on_ ? CGRectMake(CGRectGetMaxX(b) - 40, b.origin.y, 40, b.size.height)
                      : CGRectMake(b.origin.x, b.origin.y, 40, b.size.height);
    ctx->saveGState();
    ctx->clipToRect(knob);
    ctx->drawLinearGradient({UIColor::colorWithWhite(isHighlighted() ? 0.8 : 0.98, 1), UIColor::colorWithWhite(0.8, 1)},
                            {}, knob.origin, CGPointMake(knob.origin.x, CGRectGetMaxY(knob)));
    ctx->restoreGState();
    ctx->restoreGState();
    ctx->beginPath();
    ctx->addRoundedRect(b, 6);
    ctx->setStrokeColor(0.5, 0.5, 0.5, 1);
    ctx->setLineWidth(1);
    ctx->strokePath();
    ctx->beginPath();
    ctx->addRoundedRect(on_ ? CGRectMake(CGRectGetMaxX(b) - 40, b.origin.y, 40, b.size.height)
                            : CGRectMake(b.origin.x, b.origin.y, 40, b.size.height),
                        6);
    ctx->strokePath();
}
