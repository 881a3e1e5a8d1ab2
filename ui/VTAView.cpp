#include "ui/VTAView.h"

#include <cmath>

VTATouchAction classifyTouchSequence(const VTATouchSequence& s) {
    if (s.fingers <= 0) return VTATouchAction::None;
    if (s.fingers == 1) {
        double dx = s.end[0].x - s.start[0].x;
        double dy = s.end[0].y - s.start[0].y;
        if (std::fabs(dx) < VTAView::kTapSlop && std::fabs(dy) < VTAView::kTapSlop)
            return s.tapCount >= 2 ? VTATouchAction::DoubleClick : VTATouchAction::Click;
        if (std::fabs(dx) >= std::fabs(dy)) return dx > 0 ? VTATouchAction::SwipeRight : VTATouchAction::SwipeLeft;
        return dy > 0 ? VTATouchAction::SwipeDown : VTATouchAction::SwipeUp;
    }
    double w0 = std::fabs(s.start[0].x - s.start[1].x), w1 = std::fabs(s.end[0].x - s.end[1].x);
    double h0 = std::fabs(s.start[0].y - s.start[1].y), h1 = std::fabs(s.end[0].y - s.end[1].y);
    double dw = w1 - w0, dh = h1 - h0;
    if (std::fabs(dw) < VTAView::kTapSlop && std::fabs(dh) < VTAView::kTapSlop) return VTATouchAction::None;
    if (std::fabs(dw) >= std::fabs(dh))
        return dw < 0 ? VTATouchAction::PinchHorizontal : VTATouchAction::SpreadHorizontal;
    return dh < 0 ? VTATouchAction::PinchVertical : VTATouchAction::SpreadVertical;
}

VTAView::VTAView(const CGRect& frame) : UIView(frame) { setMultipleTouchEnabled(true); }

void VTAView::track(const UITouchSet& touches, bool ended) {
    for (const auto& t : touches) {
        if (!t) continue;
        auto it = fingers_.find(t.get());
        if (it == fingers_.end()) continue;
        it->second.last = t->locationInView(this);
        if (ended) it->second.down = false;
    }
}

void VTAView::touchesBegan(const UITouchSet& touches, UIEvent*) {
    for (const auto& t : touches) {
        if (!t) continue;
        if (fingers_.empty()) tapCount_ = t->tapCount();
        Finger f;
        f.order = static_cast<int>(fingers_.size());
        f.start = f.last = t->locationInView(this);
        fingers_[t.get()] = f;
    }
}

void VTAView::touchesMoved(const UITouchSet& touches, UIEvent*) { track(touches, false); }

void VTAView::touchesEnded(const UITouchSet& touches, UIEvent*) {
    track(touches, true);
    for (const auto& [touch, f] : fingers_)
        if (f.down) return;  // more fingers to lift
    finish();
}

void VTAView::touchesCancelled(const UITouchSet&, UIEvent*) { fingers_.clear(); }

void VTAView::finish() {
    VTATouchSequence s;
    s.tapCount = tapCount_;
    s.fingers = static_cast<int>(fingers_.size());
    for (const auto& [touch, f] : fingers_) {
        if (f.order < 2) {
            s.start[f.order] = f.start;
            s.end[f.order] = f.last;
        }
    }
    fingers_.clear();
    if (s.fingers > 2) s.fingers = 2;
    VTATouchAction action = classifyTouchSequence(s);
    if (action == VTATouchAction::None) return;
    auto keep = shared();
    lastAction_ = action;
    doAction(action, s);
    if (!delegate_) return;
    delegate_->viewDoAction(*this, action, s.start[0]);
    switch (action) {
        case VTATouchAction::Click:
            delegate_->viewDidClick(*this, s.start[0]);
            break;
        case VTATouchAction::DoubleClick:
            delegate_->viewDidDoubleClick(*this, s.start[0]);
            break;
        case VTATouchAction::SwipeRight:
        case VTATouchAction::SwipeLeft:
        case VTATouchAction::SwipeDown:
        case VTATouchAction::SwipeUp:
            delegate_->viewDidSwipe(*this, action, s.start[0], s.end[0]);
            break;
        default: {
            bool horizontal = action == VTATouchAction::PinchHorizontal || action == VTATouchAction::SpreadHorizontal;
            double d0 = horizontal ? std::fabs(s.start[0].x - s.start[1].x) : std::fabs(s.start[0].y - s.start[1].y);
            double d1 = horizontal ? std::fabs(s.end[0].x - s.end[1].x) : std::fabs(s.end[0].y - s.end[1].y);
            delegate_->viewDidPinch(*this, action, d0 > 0 ? d1 / d0 : 0);
            break;
        }
    }
}
