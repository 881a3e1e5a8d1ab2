// Property animations and view transitions. A change made inside an animation
// takes its final value at once (what tests and screens read); the picture
// jumps to it. The callbacks keep UIKit's timing: will-start after the delay,
// did-stop (and completions) after delay + duration, on the main loop's timers,
// so virtual time in tests sees them fire exactly when the customer would.
#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UIView.h"

#include <vector>

namespace {
struct AnimationBlock {
    std::string id;
    void* context = nullptr;
    double duration = 0.2;
    double delay = 0;
    std::function<void(const std::string&, void*)> willStart;
    std::function<void(const std::string&, bool, void*)> didStop;
};

std::vector<AnimationBlock> gOpen;
bool gEnabled = true;
int gPending = 0;

AnimationBlock* current() { return gOpen.empty() ? nullptr : &gOpen.back(); }

void schedule(double delay, double duration, std::function<void()> start, std::function<void()> stop) {
    ++gPending;
    if (!gEnabled) duration = 0;
    if (start) {
        NSTimer::scheduledTimerWithTimeInterval(
            delay, [start = std::move(start)](NSTimer&) { start(); }, false);
    }
    NSTimer::scheduledTimerWithTimeInterval(
        delay + duration,
        [stop = std::move(stop)](NSTimer&) {
            --gPending;
            if (stop) stop();
        },
        false);
}

UIViewAnimationTransition transitionOf(unsigned options) {
    switch ((options >> 20) & 7u) {
        case 1:
            return UIViewAnimationTransition::FlipFromLeft;
        case 2:
            return UIViewAnimationTransition::FlipFromRight;
        case 3:
            return UIViewAnimationTransition::CurlUp;
        case 4:
            return UIViewAnimationTransition::CurlDown;
        default:
            return UIViewAnimationTransition::None;
    }
}
}  // namespace

void UIView::beginAnimations(const std::string& animationID, void* context) {
    AnimationBlock b;
    b.id = animationID;
    b.context = context;
    gOpen.push_back(std::move(b));
}

void UIView::commitAnimations() {
    if (gOpen.empty()) return;
    AnimationBlock b = std::move(gOpen.back());
    gOpen.pop_back();
    std::function<void()> start, stop;
    if (b.willStart) start = [f = b.willStart, id = b.id, ctx = b.context] { f(id, ctx); };
    if (b.didStop) stop = [f = b.didStop, id = b.id, ctx = b.context] { f(id, true, ctx); };
    schedule(b.delay, b.duration, std::move(start), std::move(stop));
}

void UIView::setAnimationDuration(double s) {
    if (auto* b = current()) b->duration = s < 0 ? 0 : s;
}

void UIView::setAnimationDelay(double s) {
    if (auto* b = current()) b->delay = s < 0 ? 0 : s;
}

void UIView::setAnimationCurve(UIViewAnimationCurve) {}
void UIView::setAnimationRepeatCount(double) {}
void UIView::setAnimationBeginsFromCurrentState(bool) {}
void UIView::setAnimationDelegate(const void*) {}

void UIView::setAnimationWillStartSelector(std::function<void(const std::string&, void*)> f) {
    if (auto* b = current()) b->willStart = std::move(f);
}

void UIView::setAnimationDidStopSelector(std::function<void(const std::string&, bool, void*)> f) {
    if (auto* b = current()) b->didStop = std::move(f);
}

void UIView::setAnimationTransition(UIViewAnimationTransition transition, UIView* view, bool) {
    if (view) {
        view->setLastTransition(transition);
        view->setNeedsDisplay();
    }
}

void UIView::setAnimationsEnabled(bool enabled) { gEnabled = enabled; }
bool UIView::areAnimationsEnabled() { return gEnabled; }
int UIView::pendingAnimationCount() { return gPending; }

void UIView::resetAnimationState() {
    gOpen.clear();
    gPending = 0;
    gEnabled = true;
}

void UIView::animateWithDuration(double duration, const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
    animateWithDuration(duration, 0, 0, animations, std::move(completion));
}

void UIView::animateWithDuration(double duration, double delay, unsigned, const std::function<void()>& animations,
                                 std::function<void(bool)> completion) {
    if (animations) animations();
    std::function<void()> stop;
    if (completion) stop = [c = std::move(completion)] { c(true); };
    schedule(delay, duration, nullptr, std::move(stop));
}

void UIView::transitionWithView(UIView* view, double duration, unsigned options,
                                const std::function<void()>& animations, std::function<void(bool)> completion) {
    if (view) view->setLastTransition(transitionOf(options));
    animateWithDuration(duration, 0, options, animations, std::move(completion));
}

void UIView::transitionFromView(UIView* from, const std::shared_ptr<UIView>& to, double duration, unsigned options,
                                std::function<void(bool)> completion) {
    if (from && to && from->superview()) {
        UIView* parent = from->superview();
        parent->insertSubviewAbove(to, from);
        from->removeFromSuperview();
        parent->setLastTransition(transitionOf(options));
    }
    animateWithDuration(duration, 0, options, nullptr, std::move(completion));
}

void UIView::addAnimation(const CATransition& transition, const std::string& key) {
    layerTransition_ = transition;
    layerTransition_.didStop = nullptr;
    layerTransitionKey_ = key;
    hasLayerTransition_ = true;
    setNeedsDisplay();
    std::function<void()> stop;
    if (transition.didStop) stop = [f = transition.didStop] { f(true); };
    schedule(0, transition.duration, nullptr, std::move(stop));
}
