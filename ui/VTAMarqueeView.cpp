#include "ui/VTAMarqueeView.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>
#include <cmath>

VTAMarqueeView::VTAMarqueeView(const CGRect& frame)
    : UIView(frame), font_(UIFont::systemFontOfSize(14)), color_(UIColor::whiteColor()) {
    setClipsToBounds(true);
    setUserInteractionEnabled(false);
}

VTAMarqueeView::~VTAMarqueeView() {
    if (timer_) timer_->invalidate();
}

void VTAMarqueeView::setText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    offset_ = 0;
    update();
    setNeedsDisplay();
}

void VTAMarqueeView::setFont(std::shared_ptr<UIFont> font) {
    font_ = font ? std::move(font) : UIFont::systemFontOfSize(14);
    offset_ = 0;
    update();
    setNeedsDisplay();
}

void VTAMarqueeView::setTextColor(std::shared_ptr<UIColor> color) {
    color_ = color ? std::move(color) : UIColor::whiteColor();
    setNeedsDisplay();
}

void VTAMarqueeView::setSpeed(double pointsPerSecond) { speed_ = std::max(1.0, pointsPerSecond); }

void VTAMarqueeView::setGap(double points) {
    gap_ = std::max(0.0, points);
    setNeedsDisplay();
}

double VTAMarqueeView::textWidth() const { return text_.empty() ? 0 : sizeWithFont(text_, *font_).width; }

void VTAMarqueeView::setFrame(const CGRect& frame) {
    UIView::setFrame(frame);
    update();
}

void VTAMarqueeView::didMoveToWindow() { update(); }

void VTAMarqueeView::update() {
    bool wants = window() != nullptr && textWidth() > bounds().size.width;
    if (!wants) {
        if (timer_) {
            timer_->invalidate();
            timer_.reset();
        }
        if (textWidth() <= bounds().size.width) offset_ = 0;
        return;
    }
    if (timer_) return;
    // The loop keeps the timer; the marquee only refers to itself weakly in it.
    std::weak_ptr<UIView> weak = shared();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        kTick,
        [weak](NSTimer& t) {
            auto self = std::static_pointer_cast<VTAMarqueeView>(weak.lock());
            if (!self) {
                t.invalidate();
                return;
            }
            self->step();
        },
        true);
}

void VTAMarqueeView::step() {
    double cycle = textWidth() + gap_;
    if (cycle <= 0) return;
    offset_ = std::fmod(offset_ + speed_ * kTick, cycle);
    setNeedsDisplay();
}

void VTAMarqueeView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || text_.empty()) return;
    double h = font_->lineHeight();
    double y = (bounds().size.height - h) / 2;
    double w = textWidth();
    ctx->setFillColor(*color_);
    drawStringAtPoint(text_, CGPointMake(-offset_, y), *font_);
    if (timer_ && -offset_ + w + gap_ < bounds().size.width)
        drawStringAtPoint(text_, CGPointMake(-offset_ + w + gap_, y), *font_);
}
