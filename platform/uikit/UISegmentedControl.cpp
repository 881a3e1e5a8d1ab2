#include "platform/uikit/UISegmentedControl.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>

UISegmentedControl::UISegmentedControl(const std::vector<std::string>& items) : UIControl(CGRectZero), titles_(items) {
    images_.resize(titles_.size());
    enabled_.assign(titles_.size(), true);
    widths_.assign(titles_.size(), 0);
    setOpaque(false);
    double w = 0;
    for (auto& t : titles_) w += std::max(44.0, sizeWithFont(t, *UIFont::boldSystemFontOfSize(13)).width + 20);
    setFrame(CGRectMake(0, 0, w, 44));
}

void UISegmentedControl::setSegmentedControlStyle(UISegmentedControlStyle s) {
    style_ = s;
    CGRect f = frame();
    if (s == UISegmentedControlStyle::Bar) setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width, 30));
    setNeedsDisplay();
}

void UISegmentedControl::setSelectedSegmentIndex(int i) {
    selected_ = (i >= 0 && i < numberOfSegments()) ? i : UISegmentedControlNoSegment;
    setNeedsDisplay();
}

std::string UISegmentedControl::titleForSegmentAtIndex(int i) const {
    return i >= 0 && i < numberOfSegments() ? titles_[static_cast<size_t>(i)] : "";
}

void UISegmentedControl::setTitle(const std::string& title, int s) {
    if (s >= 0 && s < numberOfSegments()) titles_[static_cast<size_t>(s)] = title;
    setNeedsDisplay();
}

void UISegmentedControl::setImage(std::shared_ptr<UIImage> image, int s) {
    if (s >= 0 && s < numberOfSegments()) images_[static_cast<size_t>(s)] = std::move(image);
    setNeedsDisplay();
}

void UISegmentedControl::insertSegmentWithTitle(const std::string& title, int index, bool) {
    size_t i = static_cast<size_t>(std::clamp(index, 0, numberOfSegments()));
    titles_.insert(titles_.begin() + static_cast<long>(i), title);
    images_.insert(images_.begin() + static_cast<long>(i), nullptr);
    enabled_.insert(enabled_.begin() + static_cast<long>(i), true);
    widths_.insert(widths_.begin() + static_cast<long>(i), 0);
    if (selected_ >= static_cast<int>(i)) ++selected_;
    setNeedsDisplay();
}

void UISegmentedControl::removeSegmentAtIndex(int index, bool) {
    if (index < 0 || index >= numberOfSegments()) return;
    size_t i = static_cast<size_t>(index);
    titles_.erase(titles_.begin() + static_cast<long>(i));
    images_.erase(images_.begin() + static_cast<long>(i));
    enabled_.erase(enabled_.begin() + static_cast<long>(i));
    widths_.erase(widths_.begin() + static_cast<long>(i));
    if (selected_ == index)
        selected_ = UISegmentedControlNoSegment;
    else if (selected_ > index)
        --selected_;
    setNeedsDisplay();
}

void UISegmentedControl::removeAllSegments() {
    titles_.clear();
    images_.clear();
    enabled_.clear();
    widths_.clear();
    selected_ = UISegmentedControlNoSegment;
    setNeedsDisplay();
}

void UISegmentedControl::setEnabled(bool e, int s) {
    if (s >= 0 && s < numberOfSegments()) enabled_[static_cast<size_t>(s)] = e;
    setNeedsDisplay();
}

bool UISegmentedControl::isEnabledForSegmentAtIndex(int s) const {
    return s >= 0 && s < numberOfSegments() && enabled_[static_cast<size_t>(s)];
}

void UISegmentedControl::setWidth(double w, int s) {
    if (s >= 0 && s < numberOfSegments()) widths_[static_cast<size_t>(s)] = w;
    setNeedsDisplay();
}

CGRect UISegmentedControl::rectForSegment(int s) const {
    CGRect b = bounds();
    double fixed = 0;
    int autoCount = 0;
    for (double w : widths_) {
        if (w > 0)
            fixed += w;
        else
            ++autoCount;
    }
    double autoW = autoCount ? std::max(0.0, b.size.width - fixed) / autoCount : 0;
    double x = 0;
    for (int i = 0; i < numberOfSegments(); ++i) {
        double w = widths_[static_cast<size_t>(i)] > 0 ? widths_[static_cast<size_t>(i)] : autoW;
        if (i == s) return CGRectMake(x, 0, w, b.size.height);
        x += w;
    }
    return CGRectZero;
}

int UISegmentedControl::segmentAt(CGPoint p) const {
    if (!CGRectContainsPoint(bounds(), p)) return -1;
    for (int i = 0; i < numberOfSegments(); ++i)
        if (CGRectContainsPoint(rectForSegment(i), p)) return i;
    return -1;
}

bool UISegmentedControl::beginTrackingWithTouch(UITouch& touch, UIEvent*) {
    pressed_ = segmentAt(touch.locationInView(this));
    setNeedsDisplay();
    return true;
}

void UISegmentedControl::endTrackingWithTouch(UITouch* touch, UIEvent*) {
    int s = touch ? segmentAt(touch->locationInView(this)) : -1;
    pressed_ = -1;
    setNeedsDisplay();
    if (s < 0 || !isEnabledForSegmentAtIndex(s)) return;
    if (s == selected_ && !momentary_) return;
    selected_ = s;
    sendActionsForControlEvents(UIControlEventValueChanged);
}

std::string UISegmentedControl::accessibilityText() const {
    std::string out;
    for (size_t i = 0; i < titles_.size(); ++i) {
        if (i) out += "|";
        out += (static_cast<int>(i) == selected_ && !momentary_ ? "*" : "") + titles_[i];
    }
    return out;
}

void UISegmentedControl::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = CGRectInset(bounds(), 0.5, 0.5);
    const bool bar = style_ == UISegmentedControlStyle::Bar || style_ == UISegmentedControlStyle::Bezeled;
    std::shared_ptr<UIColor> base = tint_ ? tint_ : bar ? UIColor::colorWithRed(0.45, 0.52, 0.62, 1) : nullptr;
    double radius = bar ? 5 : 8;
    ctx->saveGState();
    ctx->beginPath();
    ctx->addRoundedRect(b, radius);
    ctx->clip();
    for (int i = 0; i < numberOfSegments(); ++i) {
        CGRect r = rectForSegment(i);
        bool on = (i == selected_ && !momentary_) || i == pressed_;
        std::shared_ptr<UIColor> top, bottom;
        if (on) {
            if (base) {
                top = UIColor::colorWithRed(base->red() * 0.7, base->green() * 0.7, base->blue() * 0.7, 1);
                bottom = UIColor::colorWithRed(base->red() * 0.85, base->green() * 0.85, base->blue() * 0.85, 1);
            } else {
                top = UIColor::colorWithRed(0.16, 0.4, 0.85, 1);
                bottom = UIColor::colorWithRed(0.35, 0.6, 0.95, 1);
            }
        } else if (base) {
            top = UIColor::colorWithRed(std::min(1.0, base->red() + 0.25), std::min(1.0, base->green() + 0.25),
                                        std::min(1.0, base->blue() + 0.25), 1);
            bottom = base;
        } else {
            top = UIColor::whiteColor();
            bottom = UIColor::colorWithWhite(0.88, 1);
        }
        ctx->saveGState();
        ctx->clipToRect(r);
        ctx->drawLinearGradient({top, bottom}, {}, r.origin, CGPointMake(r.origin.x, CGRectGetMaxY(r)));
        ctx->restoreGState();
        if (i > 0) {
            ctx->setFillColor(0.4, 0.4, 0.4, 1);
            ctx->fillRect(CGRectMake(r.origin.x, r.origin.y, 1, r.size.height));
        }
        bool enabled = isEnabled() && isEnabledForSegmentAtIndex(i);
        if (auto img = images_[static_cast<size_t>(i)]) {
            CGSize s = img->size();
            img->drawInRect(
                CGRectMake(CGRectGetMidX(r) - s.width / 2, CGRectGetMidY(r) - s.height / 2, s.width, s.height));
        } else {
            auto font = UIFont::boldSystemFontOfSize(bar ? 12 : 13);
            double h = font->lineHeight();
            double gray = (on || base) ? 1 : 0.3;
            ctx->setFillColor(gray, gray, gray, enabled ? 1 : 0.4);
            drawString(titles_[static_cast<size_t>(i)],
                       CGRectMake(r.origin.x + 3, CGRectGetMidY(r) - h / 2, r.size.width - 6, h), *font,
                       UILineBreakMode::TailTruncation, UITextAlignment::Center);
        }
    }
    ctx->restoreGState();
    ctx->beginPath();
    ctx->addRoundedRect(b, radius);
    ctx->setStrokeColor(0.35, 0.35, 0.35, 1);
    ctx->setLineWidth(1);
    ctx->strokePath();
}
