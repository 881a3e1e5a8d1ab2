#include "platform/uikit/UIControl.h"

#include <algorithm>

namespace {
// UIKit keeps a touch "inside" up to about 70 points beyond the bounds.
constexpr double kTouchSlack = 70;
}  // namespace

UIControl::UIControl(const CGRect& frame) : UIView(frame) {}

void UIControl::addTarget(const void* owner, Action action, unsigned events) {
    if (action && events) targets_.push_back({owner, std::move(action), events});
}

void UIControl::removeTarget(const void* owner, unsigned events) {
    for (auto& t : targets_)
        if (!owner || t.owner == owner) t.events &= ~events;
    targets_.erase(std::remove_if(targets_.begin(), targets_.end(), [](const Target& t) { return t.events == 0; }),
                   targets_.end());
}

std::vector<const void*> UIControl::allTargets() const {
    std::vector<const void*> out;
    for (auto& t : targets_)
        if (std::find(out.begin(), out.end(), t.owner) == out.end()) out.push_back(t.owner);
    return out;
}

unsigned UIControl::allControlEvents() const {
    unsigned e = 0;
    for (auto& t : targets_) e |= t.events;
    return e;
}

void UIControl::sendActionsForControlEvents(unsigned events) {
    auto keep = shared();
    // Actions may add or remove targets: call a snapshot.
    auto snapshot = targets_;
    for (auto& t : snapshot)
        if (t.events & events) t.action(*this);
}

void UIControl::setEnabled(bool e) {
    enabled_ = e;
    if (!e) highlighted_ = false;
    setNeedsLayout();
    setNeedsDisplay();
}

void UIControl::setSelected(bool s) {
    selected_ = s;
    setNeedsLayout();
    setNeedsDisplay();
}

void UIControl::setHighlighted(bool h) {
    highlighted_ = h;
    setNeedsLayout();
    setNeedsDisplay();
}

unsigned UIControl::state() const {
    unsigned s = UIControlStateNormal;
    if (highlighted_) s |= UIControlStateHighlighted;
    if (!enabled_) s |= UIControlStateDisabled;
    if (selected_) s |= UIControlStateSelected;
    return s;
}

bool UIControl::touchIsInside(const UITouch& touch) const {
    return CGRectContainsPoint(CGRectInset(bounds(), -kTouchSlack, -kTouchSlack), touch.locationInView(this));
}

void UIControl::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!enabled_ || !t) {
        UIView::touchesBegan(touches, event);
        return;
    }
    auto keep = shared();
    touchInside_ = true;
    tracking_ = beginTrackingWithTouch(*t, event);
    setHighlighted(true);
    sendActionsForControlEvents(t->tapCount() > 1 ? (UIControlEventTouchDown | UIControlEventTouchDownRepeat)
                                                  : UIControlEventTouchDown);
}

void UIControl::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!enabled_ || !t) {
        UIView::touchesMoved(touches, event);
        return;
    }
    auto keep = shared();
    bool inside = touchIsInside(*t);
    bool was = touchInside_;
    touchInside_ = inside;
    if (tracking_) tracking_ = continueTrackingWithTouch(*t, event);
    setHighlighted(inside);
    if (inside != was) sendActionsForControlEvents(inside ? UIControlEventTouchDragEnter : UIControlEventTouchDragExit);
    sendActionsForControlEvents(inside ? UIControlEventTouchDragInside : UIControlEventTouchDragOutside);
}

void UIControl::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    UITouch* t = touches.anyObject();
    if (!enabled_ || !t) {
        UIView::touchesEnded(touches, event);
        return;
    }
    auto keep = shared();
    bool inside = touchIsInside(*t);
    touchInside_ = inside;
    if (tracking_) endTrackingWithTouch(t, event);
    tracking_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(inside ? UIControlEventTouchUpInside : UIControlEventTouchUpOutside);
}

void UIControl::touchesCancelled(const UITouchSet& touches, UIEvent* event) {
    if (!enabled_) {
        UIView::touchesCancelled(touches, event);
        return;
    }
    auto keep = shared();
    if (tracking_) cancelTrackingWithEvent(event);
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(UIControlEventTouchCancel);
}
