#include "platform/uikit/UIScrollView.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSTimer.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kFrame = 1.0 / 60;
constexpr double kDragStart = 5;       // points before a touch on the scroll view drags it
constexpr double kMinFlingSpeed = 60;  // points per second
constexpr double kStopSpeed = 12;
constexpr double kBounceBackSeconds = 0.3;
constexpr double kPageSeconds = 0.3;
constexpr double kPageFlingSpeed = 250;

double easeOut(double f) { return 1 - (1 - f) * (1 - f) * (1 - f); }
}  // namespace

UIScrollView::UIScrollView(const CGRect& frame) : UIView(frame) { setClipsToBounds(true); }

UIScrollView::~UIScrollView() {
    if (timer_) timer_->invalidate();
}

void UIScrollView::setContentSize(CGSize s) {
    contentSize_ = s;
    setNeedsLayout();
}

CGPoint UIScrollView::minimumContentOffset() const { return CGPointMake(-contentInset_.left, -contentInset_.top); }

CGPoint UIScrollView::maximumContentOffset() const {
    CGSize b = bounds().size;
    CGPoint min = minimumContentOffset();
    return CGPointMake(std::max(min.x, contentSize_.width + contentInset_.right - b.width),
                       std::max(min.y, contentSize_.height + contentInset_.bottom - b.height));
}

CGPoint UIScrollView::clamped(CGPoint p) const {
    CGPoint lo = minimumContentOffset(), hi = maximumContentOffset();
    return CGPointMake(std::clamp(p.x, lo.x, hi.x), std::clamp(p.y, lo.y, hi.y));
}

bool UIScrollView::canScrollHorizontally() const {
    return contentSize_.width + contentInset_.left + contentInset_.right > bounds().size.width + 0.5 ||
           (bounces_ && alwaysBounceHorizontal_);
}

bool UIScrollView::canScrollVertically() const {
    return contentSize_.height + contentInset_.top + contentInset_.bottom > bounds().size.height + 0.5 ||
           (bounces_ && alwaysBounceVertical_);
}

bool UIScrollView::canTakeOverDrag(double dx, double dy) const {
    if (!scrollEnabled_ || !isUserInteractionEnabled() || isHidden() || !canCancelContentTouches_) return false;
    return std::fabs(dx) > std::fabs(dy) ? canScrollHorizontally() : canScrollVertically();
}

void UIScrollView::flashScrollIndicators() {
    indicatorsUntil_ = Clock::now() + 0.5;
    setNeedsDisplay();
}

void UIScrollView::drawOverlay(CGContext& ctx) {
    bool moving = dragging_ || decelerating_ || Clock::now() < indicatorsUntil_;
    if (!moving) return;
    CGRect b = bounds();
    double light = indicatorStyle_ == UIScrollViewIndicatorStyle::White ? 1 : 0;
    ctx.setFillColor(light, light, light, 0.45);
    // Length in proportion to what shows, position in proportion to the offset.
    if (showsV_ && contentSize_.height > b.size.height) {
        double track = b.size.height - 4;
        double len = std::max(20.0, track * b.size.height / contentSize_.height);
        double span = std::max(1.0, contentSize_.height - b.size.height);
        double f = std::clamp(b.origin.y / span, 0.0, 1.0);
        ctx.beginPath();
        ctx.addRoundedRect(CGRectMake(CGRectGetMaxX(b) - 5, b.origin.y + 2 + (track - len) * f, 3, len), 1.5);
        ctx.fillPath();
    }
    if (showsH_ && contentSize_.width > b.size.width) {
        double track = b.size.width - 4;
        double len = std::max(20.0, track * b.size.width / contentSize_.width);
        double span = std::max(1.0, contentSize_.width - b.size.width);
        double f = std::clamp(b.origin.x / span, 0.0, 1.0);
        ctx.beginPath();
        ctx.addRoundedRect(CGRectMake(b.origin.x + 2 + (track - len) * f, CGRectGetMaxY(b) - 5, len, 3), 1.5);
        ctx.fillPath();
    }
}

void UIScrollView::applyOffset(CGPoint p) {
    CGRect b = bounds();
    if (b.origin == p) return;
    b.origin = p;
    setBounds(b);
    didChangeContentOffset();
    auto keep = shared();
    if (delegate_) delegate_->scrollViewDidScroll(*this);
}

void UIScrollView::setContentOffset(CGPoint p) { setContentOffset(p, false); }

void UIScrollView::setContentOffset(CGPoint p, bool animated) {
    stopMotion();
    if (!animated) {
        applyOffset(p);
        return;
    }
    animateTo(p, kPageSeconds, false);
}

void UIScrollView::scrollRectToVisible(const CGRect& rect, bool animated) {
    CGRect b = bounds();
    CGPoint p = b.origin;
    if (rect.origin.y < b.origin.y)
        p.y = rect.origin.y;
    else if (CGRectGetMaxY(rect) > CGRectGetMaxY(b))
        p.y = CGRectGetMaxY(rect) - b.size.height;
    if (rect.origin.x < b.origin.x)
        p.x = rect.origin.x;
    else if (CGRectGetMaxX(rect) > CGRectGetMaxX(b))
        p.x = CGRectGetMaxX(rect) - b.size.width;
    setContentOffset(clamped(p), animated);
}

void UIScrollView::scrollViewIntoSightAbove(const UIView& view, double screenLimit) {
    const CGPoint rest = restingContentOffset();
    const double still = rest.y - contentOffset().y;  // how much further the content moves up
    const CGRect shown = convertRectToView(bounds(), nullptr);
    const CGRect f = view.convertRectToView(view.bounds(), nullptr);
    const double top = CGRectGetMinY(f) - still, bottom = CGRectGetMaxY(f) - still;
    double dy = std::max(0.0, bottom - std::min(screenLimit, CGRectGetMaxY(shown)));
    if (top - dy < CGRectGetMinY(shown)) dy = top - CGRectGetMinY(shown);
    if (std::abs(dy) > 0.5) setContentOffset(CGPointMake(rest.x, rest.y + dy), true);
}

void UIScrollView::stopMotion() {
    if (decelerating_ || dragging_) indicatorsUntil_ = Clock::now() + 0.3;
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    decelerating_ = false;
    animDuration_ = 0;
}

// ---------------------------------------------------------------- touches

void UIScrollView::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!t || !scrollEnabled_) {
        UIView::touchesBegan(touches, event);
        return;
    }
    // A finger on moving content stops it where it is.
    if (timer_) {
        bool wasDecelerating = decelerating_;
        stopMotion();
        if (wasDecelerating && delegate_) delegate_->scrollViewDidEndDecelerating(*this);
    }
    tracking_ = true;
    dragging_ = false;
    touchStart_ = lastTouch_ = t->locationInView(nullptr);
    offsetAtStart_ = contentOffset();
    samples_.clear();
    samples_.push_back({t->timestamp(), touchStart_});
}

void UIScrollView::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!t || !tracking_) {
        UIView::touchesMoved(touches, event);
        return;
    }
    auto keep = shared();
    CGPoint p = t->locationInView(nullptr);
    double dx = p.x - touchStart_.x, dy = p.y - touchStart_.y;
    if (!dragging_) {
        if (std::fabs(dx) < kDragStart && std::fabs(dy) < kDragStart) return;
        dragging_ = true;
        if (delegate_) delegate_->scrollViewWillBeginDragging(*this);
    }
    bool h = canScrollHorizontally(), v = canScrollVertically();
    if (directionalLock_) {
        if (std::fabs(dx) > std::fabs(dy))
            v = false;
        else
            h = false;
    }
    CGPoint target = offsetAtStart_;
    if (h) target.x -= dx;
    if (v) target.y -= dy;
    // Past an edge the content follows the finger at half speed, or stops.
    CGPoint lo = minimumContentOffset(), hi = maximumContentOffset();
    auto band = [&](double value, double min, double max) {
        if (value < min) return bounces_ ? min - (min - value) / 2 : min;
        if (value > max) return bounces_ ? max + (value - max) / 2 : max;
        return value;
    };
    target.x = band(target.x, lo.x, hi.x);
    target.y = band(target.y, lo.y, hi.y);
    lastTouch_ = p;
    samples_.push_back({t->timestamp(), p});
    if (samples_.size() > 8) samples_.erase(samples_.begin());
    applyOffset(target);
}

void UIScrollView::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!t || !tracking_) {
        UIView::touchesEnded(touches, event);
        return;
    }
    auto keep = shared();
    tracking_ = false;
    if (!dragging_) {
        // A tap on the scroll view itself goes on up the chain.
        UIView::touchesEnded(touches, event);
        return;
    }
    dragging_ = false;
    // Speed over the last tenth of a second of samples.
    CGPoint velocity;
    CGPoint p = t->locationInView(nullptr);
    samples_.push_back({t->timestamp(), p});
    const Sample& last = samples_.back();
    const Sample* first = &samples_.front();
    for (auto& s : samples_)
        if (last.t - s.t <= 0.1) {
            first = &s;
            break;
        }
    double dt = last.t - first->t;
    if (dt <= 1e-6) dt = kFrame * std::max<size_t>(1, samples_.size() - 1);
    velocity = CGPointMake(-(last.p.x - first->p.x) / dt, -(last.p.y - first->p.y) / dt);
    if (!canScrollHorizontally()) velocity.x = 0;
    if (!canScrollVertically()) velocity.y = 0;

    CGPoint offset = contentOffset();
    if (pagingEnabled_) {
        CGPoint target = pageTarget(velocity);
        bool moves = target != offset;
        if (delegate_) delegate_->scrollViewDidEndDragging(*this, moves);
        if (moves) {
            if (delegate_) delegate_->scrollViewWillBeginDecelerating(*this);
            decelerating_ = true;
            animateTo(target, kPageSeconds, true);
        }
        return;
    }
    bool outside = clamped(offset) != offset;
    bool fling = std::hypot(velocity.x, velocity.y) >= kMinFlingSpeed;
    if (delegate_) delegate_->scrollViewDidEndDragging(*this, fling || outside);
    if (!fling && !outside) return;
    if (delegate_) delegate_->scrollViewWillBeginDecelerating(*this);
    if (outside && !fling) {
        decelerating_ = true;
        animateTo(clamped(offset), kBounceBackSeconds, true);
        return;
    }
    startDeceleration(velocity);
}

void UIScrollView::touchesCancelled(const UITouchSet& touches, UIEvent* event) {
    if (!tracking_) {
        UIView::touchesCancelled(touches, event);
        return;
    }
    tracking_ = false;
    bool wasDragging = dragging_;
    dragging_ = false;
    CGPoint offset = contentOffset();
    if (wasDragging && delegate_) delegate_->scrollViewDidEndDragging(*this, clamped(offset) != offset);
    if (clamped(offset) != offset) {
        decelerating_ = true;
        animateTo(clamped(offset), kBounceBackSeconds, true);
    }
}

CGPoint UIScrollView::pageTarget(CGPoint velocity) const {
    CGSize page = bounds().size;
    CGPoint offset = contentOffset();
    CGPoint target = offset;
    auto pick = [&](double value, double start, double pageSize, double speed) {
        if (pageSize <= 0) return value;
        double startPage = std::round(start / pageSize);
        double nearest = std::round(value / pageSize);
        if (speed > kPageFlingSpeed)
            nearest = std::max(nearest, startPage + 1);
        else if (speed < -kPageFlingSpeed)
            nearest = std::min(nearest, startPage - 1);
        // One page at most per flick.
        nearest = std::clamp(nearest, startPage - 1, startPage + 1);
        return nearest * pageSize;
    };
    if (canScrollHorizontally()) target.x = pick(offset.x, offsetAtStart_.x, page.width, velocity.x);
    if (canScrollVertically()) target.y = pick(offset.y, offsetAtStart_.y, page.height, velocity.y);
    return clamped(target);
}

// ---------------------------------------------------------------- motion on timers

void UIScrollView::startDeceleration(CGPoint velocity) {
    stopMotion();
    decelerating_ = true;
    velocity_ = velocity;
    lastTick_ = Clock::now();
    std::weak_ptr<UIView> weak = shared();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        kFrame,
        [weak](NSTimer&) {
            if (auto v = weak.lock()) static_cast<UIScrollView*>(v.get())->stepDeceleration();
        },
        true);
}

void UIScrollView::stepDeceleration() {
    auto keep = shared();
    double now = Clock::now();
    double dt = std::clamp(now - lastTick_, 0.0, 0.1);
    lastTick_ = now;
    if (animDuration_ > 0) {
        double f = std::min(1.0, (now - animStart_) / animDuration_);
        double e = easeOut(f);
        applyOffset(
            CGPointMake(animFrom_.x + (animTo_.x - animFrom_.x) * e, animFrom_.y + (animTo_.y - animFrom_.y) * e));
        if (f >= 1) {
            bool endsDeceleration = animEndsDeceleration_;
            stopMotion();
            if (delegate_) {
                if (endsDeceleration)
                    delegate_->scrollViewDidEndDecelerating(*this);
                else
                    delegate_->scrollViewDidEndScrollingAnimation(*this);
            }
        }
        return;
    }
    double factor = std::pow(decelerationRate_, dt * 1000);
    velocity_.x *= factor;
    velocity_.y *= factor;
    CGPoint p = contentOffset();
    p.x += velocity_.x * dt;
    p.y += velocity_.y * dt;
    CGPoint c = clamped(p);
    if (c != p) {
        // Hitting an edge: overshoot a little when bouncing, then settle back.
        if (bounces_) {
            applyOffset(CGPointMake(p.x + (c.x - p.x) * 0.7, p.y + (c.y - p.y) * 0.7));
        } else {
            applyOffset(c);
        }
        timer_->invalidate();
        timer_.reset();
        animateTo(c, kBounceBackSeconds, true);
        return;
    }
    applyOffset(p);
    if (std::hypot(velocity_.x, velocity_.y) < kStopSpeed) {
        stopMotion();
        if (delegate_) delegate_->scrollViewDidEndDecelerating(*this);
    }
}

void UIScrollView::animateTo(CGPoint target, double seconds, bool endsDeceleration) {
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    animFrom_ = contentOffset();
    animTo_ = target;
    animStart_ = Clock::now();
    animDuration_ = std::max(seconds, kFrame);
    animEndsDeceleration_ = endsDeceleration;
    lastTick_ = animStart_;
    std::weak_ptr<UIView> weak = shared();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        kFrame,
        [weak](NSTimer&) {
            if (auto v = weak.lock()) static_cast<UIScrollView*>(v.get())->stepDeceleration();
        },
        true);
}
