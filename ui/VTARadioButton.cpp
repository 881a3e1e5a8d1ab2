#include "ui/VTARadioButton.h"

#include "platform/uikit/UITouch.h"

#include <algorithm>

VTARadioButton::VTARadioButton(const CGRect& frame) : UIControl(frame) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
}

void VTARadioButton::setEnable(bool enable) {
    enable_ = enable;
    setNeedsDisplay();
}

void VTARadioButton::setSelected(bool selected) {
    UIControl::setSelected(selected);
    setNeedsDisplay();
}

bool VTARadioButton::toggle() {
    if (!enable_) return false;
    setSelected(!isSelected());
    sendActionsForControlEvents(UIControlEventValueChanged);
    return true;
}

void VTARadioButton::endTrackingWithTouch(UITouch* touch, UIEvent*) {
    if (touch && touchIsInside(*touch)) toggle();
}

void VTARadioButton::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    double d = std::min(std::min(b.size.width, b.size.height) - 8, 20.0);
    if (d <= 2) return;
    CGRect circle = CGRectMake(CGRectGetMidX(b) - d / 2, CGRectGetMidY(b) - d / 2, d, d);
    double a = enable_ ? 1.0 : 0.35;
    ctx->setFillColor(1, 1, 1, a);
    ctx->fillEllipseInRect(circle);
    ctx->setLineWidth(1.5);
    ctx->setStrokeColor(0.45, 0.45, 0.45, a);
    ctx->strokeEllipseInRect(CGRectInset(circle, 0.75, 0.75));
    if (isSelected()) {
        ctx->setFillColor(0.0, 0.478, 1.0, a);
        ctx->fillEllipseInRect(CGRectInset(circle, d * 0.22, d * 0.22));
    }
}
