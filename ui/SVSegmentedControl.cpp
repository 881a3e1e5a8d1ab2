#include "ui/SVSegmentedControl.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UITouch.h"

#include <algorithm>
#include <cmath>

SVSegmentedControl::SVSegmentedControl(const std::vector<std::string>& sectionTitles)
    : UIControl(CGRectZero), titles_(sectionTitles) {
    font_ = UIFont::boldSystemFontOfSize(15);
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    resize();
}

void SVSegmentedControl::resize() {
    double widest = 0;
    for (const auto& t : titles_) widest = std::max(widest, std::ceil(sizeWithFont(t, *font_).width));
    double seg = widest + titleInsets_.left + titleInsets_.right;
    CGPoint c = center();
    bool placed = frame().size.width > 0;
    setBounds(CGRectMake(0, 0, seg * std::max<size_t>(1, titles_.size()), height_));
    if (placed)
        setCenter(c);
    else
        setFrame(CGRectMake(0, 0, bounds().size.width, height_));
    setNeedsDisplay();
}

void SVSegmentedControl::setHeight(double h) {
    height_ = std::max(1.0, h);
    resize();
}

void SVSegmentedControl::setTitleEdgeInsets(UIEdgeInsets e) {
    titleInsets_ = e;
    resize();
}

void SVSegmentedControl::setFont(std::shared_ptr<UIFont> f) {
    if (f) font_ = std::move(f);
    resize();
}

void SVSegmentedControl::setEnabled(bool e) {
    UIControl::setEnabled(e);
    setNeedsDisplay();
}

CGRect SVSegmentedControl::segmentRect(int index) const {
    CGRect b = bounds();
    double w = titles_.empty() ? b.size.width : b.size.width / titles_.size();
    return CGRectMake(w * index, 0, w, b.size.height);
}

CGRect SVSegmentedControl::thumbRect() const {
    CGRect s = segmentRect(selected_);
    if (dragging_) s.origin.x = thumbX_;
    return CGRectMake(s.origin.x + thumbInset_.left, s.origin.y + thumbInset_.top,
                      s.size.width - thumbInset_.left - thumbInset_.right,
                      s.size.height - thumbInset_.top - thumbInset_.bottom);
}

int SVSegmentedControl::segmentAt(double x) const {
    if (titles_.empty()) return 0;
    double w = bounds().size.width / titles_.size();
    return std::clamp(static_cast<int>(std::floor(x / w)), 0, static_cast<int>(titles_.size()) - 1);
}

void SVSegmentedControl::setSelectedIndex(int index) { moveThumbToIndex(index, false); }

void SVSegmentedControl::moveThumbToIndex(int index, bool animate) {
    if (index < 0 || index >= static_cast<int>(titles_.size())) return;
    selected_ = index;
    dragging_ = false;
    if (animate) UIView::animateWithDuration(0.2, [this] { setNeedsDisplay(); });
    setNeedsDisplay();
}

bool SVSegmentedControl::beginTrackingWithTouch(UITouch& touch, UIEvent*) {
    CGPoint p = touch.locationInView(this);
    CGRect t = segmentRect(selected_);
    dragging_ = CGRectContainsPoint(t, p);
    thumbX_ = t.origin.x;
    grab_ = p.x - t.origin.x;
    return true;
}

bool SVSegmentedControl::continueTrackingWithTouch(UITouch& touch, UIEvent*) {
    if (dragging_) {
        double w = segmentRect(0).size.width;
        thumbX_ = std::clamp(touch.locationInView(this).x - grab_, 0.0, bounds().size.width - w);
        setNeedsDisplay();
    }
    return true;
}

void SVSegmentedControl::endTrackingWithTouch(UITouch* touch, UIEvent*) {
    if (!touch) return;
    int target;
    if (dragging_)
        target = segmentAt(thumbX_ + segmentRect(0).size.width / 2);
    else if (touchIsInside(*touch))
        target = segmentAt(touch->locationInView(this).x);
    else
        target = selected_;
    bool changed = target != selected_;
    moveThumbToIndex(target, true);
    if (changed) sendActionsForControlEvents(UIControlEventValueChanged);
}

void SVSegmentedControl::cancelTrackingWithEvent(UIEvent*) {
    dragging_ = false;
    setNeedsDisplay();
}

std::string SVSegmentedControl::accessibilityText() const {
    return selected_ < static_cast<int>(titles_.size()) ? titles_[static_cast<size_t>(selected_)] : "";
}

void SVSegmentedControl::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    ctx->saveGState();
    if (!isEnabled()) ctx->setAlpha(0.5);
    if (backgroundImage_) {
        backgroundImage_->drawInRect(b);
    } else {
        ctx->beginPath();
        ctx->addRoundedRect(b, b.size.height / 2);
        ctx->clip();
        ctx->drawLinearGradient({UIColor::colorWithWhite(0, 0.6), tint_}, {}, CGPointMake(0, 0),
                                CGPointMake(0, b.size.height));
        ctx->clipToRect(b);
    }
    auto drawTitle = [&](const std::string& t, const CGRect& r, const UIColor& color,
                         const std::shared_ptr<UIColor>& shadow, CGSize off) {
        CGSize s = sizeWithFont(t, *font_, r.size.width, UILineBreakMode::TailTruncation);
        CGPoint p = CGPointMake(CGRectGetMidX(r) - s.width / 2, CGRectGetMidY(r) - s.height / 2);
        UIGraphicsPushContext(ctx);
        if (shadow) {
            ctx->setFillColor(*shadow);
            drawStringAtPoint(t, CGPointMake(p.x + off.width, p.y + off.height), r.size.width, *font_,
                              UILineBreakMode::TailTruncation);
        }
        ctx->setFillColor(color);
        drawStringAtPoint(t, p, r.size.width, *font_, UILineBreakMode::TailTruncation);
        UIGraphicsPopContext();
    };
    for (size_t i = 0; i < titles_.size(); ++i)
        if (static_cast<int>(i) != selected_ || dragging_)
            drawTitle(titles_[i], segmentRect(static_cast<int>(i)), *textColor_, textShadowColor_, textShadowOffset_);

    CGRect t = thumbRect();
    auto& img =
        isTracking() && thumb_.highlightedBackgroundImage ? thumb_.highlightedBackgroundImage : thumb_.backgroundImage;
    if (img) {
        img->drawInRect(t);
    } else {
        ctx->saveGState();
        ctx->beginPath();
        ctx->addRoundedRect(t, t.size.height / 2);
        ctx->clip();
        const UIColor& c = *thumb_.tintColor;
        ctx->drawLinearGradient({UIColor::colorWithRed(std::min(1.0, c.red() + 0.25), std::min(1.0, c.green() + 0.25),
                                                       std::min(1.0, c.blue() + 0.25), 1),
                                 thumb_.tintColor},
                                {}, CGPointMake(0, t.origin.y), CGPointMake(0, CGRectGetMaxY(t)));
        ctx->restoreGState();
    }
    if (selected_ < static_cast<int>(titles_.size()))
        drawTitle(titles_[static_cast<size_t>(selected_)], t, *thumb_.textColor, thumb_.textShadowColor,
                  thumb_.textShadowOffset);
    ctx->restoreGState();
}
