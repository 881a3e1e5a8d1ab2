#include "platform/uikit/UIPageControl.h"

#include "platform/foundation/NSTimer.h"

#include <algorithm>
#include <cmath>

UIPageControl::UIPageControl(const CGRect& frame) : UIControl(frame) { setOpaque(false); }

void UIPageControl::setNumberOfPages(int n) {
    pages_ = std::max(0, n);
    current_ = std::clamp(current_, 0, std::max(0, pages_ - 1));
    setNeedsDisplay();
}

void UIPageControl::setCurrentPage(int p) {
    current_ = std::clamp(p, 0, std::max(0, pages_ - 1));
    setNeedsDisplay();
}

void UIPageControl::endTrackingWithTouch(UITouch* touch, UIEvent*) {
    if (!touch || pages_ < 2 || !CGRectContainsPoint(bounds(), touch->locationInView(this))) return;
    int next = touch->locationInView(this).x < CGRectGetMidX(bounds()) ? current_ - 1 : current_ + 1;
    if (next < 0 || next >= pages_) return;
    current_ = next;
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventValueChanged);
}

void UIPageControl::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || pages_ == 0 || (hidesForSingle_ && pages_ == 1)) return;
    CGRect b = bounds();
    double spacing = 16, d = 7;
    double x = CGRectGetMidX(b) - (pages_ * spacing) / 2 + (spacing - d) / 2;
    for (int i = 0; i < pages_; ++i) {
        ctx->setFillColor(1, 1, 1, i == current_ ? 1 : 0.35);
        ctx->fillEllipseInRect(CGRectMake(x + i * spacing, CGRectGetMidY(b) - d / 2, d, d));
    }
}

// ---------------------------------------------------------------- activity indicator

UIActivityIndicatorView::UIActivityIndicatorView(UIActivityIndicatorViewStyle style) : style_(style) {
    double s = style == UIActivityIndicatorViewStyle::WhiteLarge ? 37 : 20;
    setFrame(CGRectMake(0, 0, s, s));
    setOpaque(false);
    setUserInteractionEnabled(false);
    setHidden(true);
}

UIActivityIndicatorView::~UIActivityIndicatorView() {
    if (timer_) timer_->invalidate();
}

void UIActivityIndicatorView::setActivityIndicatorViewStyle(UIActivityIndicatorViewStyle s) {
    style_ = s;
    setNeedsDisplay();
}

void UIActivityIndicatorView::setHidesWhenStopped(bool h) {
    hidesWhenStopped_ = h;
    setHidden(h && !animating_);
}

void UIActivityIndicatorView::startAnimating() {
    if (animating_) return;
    animating_ = true;
    setHidden(false);
    std::weak_ptr<UIView> weak = shared();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        1.0 / 12,
        [weak](NSTimer& t) {
            auto v = weak.lock();
            if (!v) {
                t.invalidate();
                return;
            }
            auto* self = static_cast<UIActivityIndicatorView*>(v.get());
            self->step_ = (self->step_ + 1) % 12;
            self->setNeedsDisplay();
        },
        true);
}

void UIActivityIndicatorView::stopAnimating() {
    animating_ = false;
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    if (hidesWhenStopped_) setHidden(true);
}

void UIActivityIndicatorView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    double cx = CGRectGetMidX(b), cy = CGRectGetMidY(b), r = std::min(b.size.width, b.size.height) / 2;
    double g = style_ == UIActivityIndicatorViewStyle::Gray ? 0.35 : 1;
    ctx->setLineWidth(r / 4.5);
    ctx->setLineCap(CGLineCap::Round);
    for (int i = 0; i < 12; ++i) {
        double a = (i - step_) * M_PI / 6 - M_PI / 2;
        ctx->setStrokeColor(g, g, g, 0.25 + 0.75 * ((12 - i) % 12) / 12.0);
        ctx->beginPath();
        ctx->moveToPoint(cx + r * 0.5 * std::cos(a), cy + r * 0.5 * std::sin(a));
        ctx->addLineToPoint(cx + r * 0.9 * std::cos(a), cy + r * 0.9 * std::sin(a));
        ctx->strokePath();
    }
}

// ---------------------------------------------------------------- progress

UIProgressView::UIProgressView(UIProgressViewStyle style) : UIView(CGRectMake(0, 0, 150, 9)), style_(style) {
    setOpaque(false);
}

void UIProgressView::setProgress(double p) {
    progress_ = std::clamp(p, 0.0, 1.0);
    setNeedsDisplay();
}

void UIProgressView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = CGRectInset(bounds(), 0.5, 0.5);
    ctx->beginPath();
    ctx->addRoundedRect(b, b.size.height / 2);
    ctx->setFillColor(style_ == UIProgressViewStyle::Bar ? 0.3 : 0.9, style_ == UIProgressViewStyle::Bar ? 0.3 : 0.9,
                      style_ == UIProgressViewStyle::Bar ? 0.3 : 0.9, 1);
    ctx->fillPath();
    CGRect done = CGRectMake(b.origin.x, b.origin.y, b.size.width * progress_, b.size.height);
    if (done.size.width > 0) {
        ctx->beginPath();
        ctx->addRoundedRect(done, b.size.height / 2);
        ctx->setFillColor(0.2, 0.45, 0.9, 1);
        ctx->fillPath();
    }
    ctx->beginPath();
    ctx->addRoundedRect(b, b.size.height / 2);
    ctx->setStrokeColor(0.45, 0.45, 0.45, 1);
    ctx->setLineWidth(1);
    ctx->strokePath();
}
