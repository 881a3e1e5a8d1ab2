#include "platform/uikit/UIApplication.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/InputHooks.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIViewController.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {
std::shared_ptr<UIApplication>& instance() {
    static std::shared_ptr<UIApplication> app = std::make_shared<UIApplication>();
    return app;
}

constexpr double kMultiTapInterval = 0.35;
constexpr double kMultiTapDistance = 25;
constexpr double kTapMovement = 12;

void post(const char* name) { NSNotificationCenter::defaultCenter().postNotificationName(name); }
}  // namespace

// ---------------------------------------------------------------- screen and device

UIScreen& UIScreen::mainScreen() {
    static UIScreen screen;
    return screen;
}

CGRect UIScreen::applicationFrame() const {
    if (UIApplication::sharedApplication().isStatusBarHidden()) return bounds();
    return CGRectMake(0, 20, 320, 460);
}

UIDevice& UIDevice::currentDevice() {
    static UIDevice device;
    return device;
}

int compareVersionStrings(const std::string& a, const std::string& b) {
    std::istringstream sa(a), sb(b);
    std::string pa, pb;
    while (true) {
        bool ha = static_cast<bool>(std::getline(sa, pa, '.'));
        bool hb = static_cast<bool>(std::getline(sb, pb, '.'));
        if (!ha && !hb) return 0;
        long na = ha ? std::strtol(pa.c_str(), nullptr, 10) : 0;
        long nb = hb ? std::strtol(pb.c_str(), nullptr, 10) : 0;
        if (na != nb) return na < nb ? -1 : 1;
    }
}

// ---------------------------------------------------------------- application

UIApplication::UIApplication() = default;
UIApplication::~UIApplication() = default;

UIApplication& UIApplication::sharedApplication() { return *instance(); }

void UIApplication::setSharedApplication(std::shared_ptr<UIApplication> app) {
    if (app) instance() = std::move(app);
}

void UIApplication::resetSharedApplication() {
    if (auto* fr = UIResponder::currentFirstResponder()) fr->resignFirstResponder();
    modalPopupsReset();
    inputAreaReset();
    UIViewController::dropPendingTransitions();
    UIView::resetAnimationState();
    instance() = std::make_shared<UIApplication>();
}

void UIApplication::addWindow(std::shared_ptr<UIWindow> w) {
    if (w && std::find(windows_.begin(), windows_.end(), w) == windows_.end()) windows_.push_back(std::move(w));
}

void UIApplication::setKeyWindow(UIWindow* w) { keyWindow_ = w; }

void UIApplication::removeWindow(UIWindow* w) {
    if (keyWindow_ == w) keyWindow_ = nullptr;
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [&](auto& x) { return x.get() == w; }),
                   windows_.end());
}

void UIApplication::setNetworkActivityIndicatorVisible(bool v) {
    networkActivityIndicatorVisible_ = v;
    if (keyWindow_) keyWindow_->setNeedsDisplay();
}

CGRect UIApplication::statusBarFrame() const { return statusBarHidden_ ? CGRectZero : CGRectMake(0, 0, 320, 20); }

void UIApplication::sendEvent(UIEvent& event) {
    std::vector<UIWindow*> seen;
    for (auto& t : event.allTouches())
        if (t->window_ && std::find(seen.begin(), seen.end(), t->window_) == seen.end()) seen.push_back(t->window_);
    for (UIWindow* w : seen) w->sendEvent(event);
}

void UIApplication::registerForRemoteNotificationTypes(unsigned types) {
    enabledTypes_ = types;
    if (registrationHandler_) registrationHandler_(types);
}

void UIApplication::unregisterForRemoteNotifications() { enabledTypes_ = 0; }

bool UIApplication::openURL(const std::string& url) {
    openedURLs_.push_back(url);
    return openURLHandler_ ? openURLHandler_(url) : true;
}

// ---------------------------------------------------------------- life cycle

bool UIApplication::launch(const Value& options) {
    bool ok = true;
    if (delegate_) ok = delegate_->applicationDidFinishLaunchingWithOptions(*this, options);
    post(UIApplicationDidFinishLaunchingNotification);
    becomeActive();
    return ok;
}

void UIApplication::resignActive() {
    if (state_ != UIApplicationState::Active) return;
    touchesCancelledAll();
    if (delegate_) delegate_->applicationWillResignActive(*this);
    post(UIApplicationWillResignActiveNotification);
    state_ = UIApplicationState::Inactive;
}

void UIApplication::becomeActive() {
    if (state_ == UIApplicationState::Active) return;
    state_ = UIApplicationState::Active;
    if (delegate_) delegate_->applicationDidBecomeActive(*this);
    post(UIApplicationDidBecomeActiveNotification);
}

void UIApplication::enterBackground() {
    if (state_ == UIApplicationState::Background) return;
    resignActive();
    state_ = UIApplicationState::Background;
    if (delegate_) delegate_->applicationDidEnterBackground(*this);
    post(UIApplicationDidEnterBackgroundNotification);
}

void UIApplication::enterForeground() {
    if (state_ != UIApplicationState::Background) return;
    if (delegate_) delegate_->applicationWillEnterForeground(*this);
    post(UIApplicationWillEnterForegroundNotification);
    state_ = UIApplicationState::Inactive;
    becomeActive();
}

void UIApplication::terminate() {
    if (state_ == UIApplicationState::Active) resignActive();
    if (delegate_) delegate_->applicationWillTerminate(*this);
    post(UIApplicationWillTerminateNotification);
}

void UIApplication::deliverDeviceToken(const std::vector<uint8_t>& token) {
    if (delegate_) delegate_->applicationDidRegisterForRemoteNotificationsWithDeviceToken(*this, token);
}

void UIApplication::failRemoteNotificationRegistration(const std::string& error) {
    if (delegate_) delegate_->applicationDidFailToRegisterForRemoteNotificationsWithError(*this, error);
}

void UIApplication::receiveRemoteNotification(const Value& userInfo) {
    if (delegate_) delegate_->applicationDidReceiveRemoteNotification(*this, userInfo);
}

// ---------------------------------------------------------------- touches

void UIApplication::dispatch(UITouchPhase phase, const std::vector<CGPoint>& points) {
    UIEvent event;
    event.timestamp_ = Clock::now();
    for (size_t i = 0; i < active_.size(); ++i) {
        auto& t = active_[i];
        t->timestamp_ = event.timestamp_;
        t->previous_ = t->location_;
        if (i < points.size()) t->location_ = points[i];
        t->phase_ = phase;
        if (phase == UITouchPhase::Moved && i >= points.size()) t->phase_ = UITouchPhase::Stationary;
        event.touches_.push_back(t);
    }
    sendEvent(event);
}

void UIApplication::touchesBeganAt(const std::vector<CGPoint>& points) {
    if (!active_.empty()) touchesCancelledAll();
    UIWindow* w = keyWindow_;
    if (!w || points.empty() || ignoring_ > 0 || state_ == UIApplicationState::Background) return;
    w->layoutIfNeeded();
    double now = Clock::now();
    int taps = 1;
    if (points.size() == 1 && now - lastTapTime_ <= kMultiTapInterval &&
        std::hypot(points[0].x - lastTapPoint_.x, points[0].y - lastTapPoint_.y) <= kMultiTapDistance)
        taps = lastTapCount_ + 1;
    UIEvent event;
    event.timestamp_ = now;
    std::vector<UIView*> singleTouchViews;
    for (size_t i = 0; i < points.size(); ++i) {
        auto t = std::make_shared<UITouch>();
        t->window_ = w;
        t->location_ = t->previous_ = t->start_ = points[i];
        t->timestamp_ = now;
        t->tapCount_ = taps;
        t->finger_ = static_cast<int>(i);
        t->phase_ = UITouchPhase::Began;
        UIView* hit = w->hitTest(w->convertPointFromView(points[i], nullptr), &event);
        if (hit) {
            // A view without multiple touch gets only its first finger.
            if (!hit->isMultipleTouchEnabled() &&
                std::find(singleTouchViews.begin(), singleTouchViews.end(), hit) != singleTouchViews.end())
                hit = nullptr;
            else
                singleTouchViews.push_back(hit);
        }
        if (hit) t->view_ = hit->shared();
        active_.push_back(t);
        event.touches_.push_back(t);
    }
    sendEvent(event);
}

void UIApplication::touchesMovedTo(const std::vector<CGPoint>& points) {
    if (active_.empty()) return;
    dispatch(UITouchPhase::Moved, points);
}

void UIApplication::touchesEndedAt(const std::vector<CGPoint>& points) {
    if (active_.empty()) return;
    auto first = active_.front();
    dispatch(UITouchPhase::Ended, points.empty() ? std::vector<CGPoint>{first->location_} : points);
    if (active_.size() == 1 &&
        std::hypot(first->location_.x - first->start_.x, first->location_.y - first->start_.y) <= kTapMovement) {
        lastTapTime_ = Clock::now();
        lastTapPoint_ = first->location_;
        lastTapCount_ = first->tapCount_;
    } else {
        lastTapCount_ = 0;
        lastTapTime_ = -1e9;
    }
    active_.clear();
}

void UIApplication::touchesCancelledAll() {
    if (active_.empty()) return;
    dispatch(UITouchPhase::Cancelled, {});
    active_.clear();
}

void UIApplication::tapAt(CGPoint p) {
    touchesBeganAt({p});
    RunLoop::main().runFor(0.05);
    touchesEndedAt({p});
    RunLoop::main().runOnce();
}

void UIApplication::doubleTapAt(CGPoint p) {
    tapAt(p);
    RunLoop::main().runFor(0.1);
    tapAt(p);
}

void UIApplication::dragFrom(CGPoint from, CGPoint to, double seconds, int steps) {
    steps = std::max(1, steps);
    touchesBeganAt({from});
    for (int i = 1; i <= steps; ++i) {
        RunLoop::main().runFor(seconds / steps);
        double f = double(i) / steps;
        touchesMovedTo({CGPointMake(from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f)});
    }
    touchesEndedAt({to});
    RunLoop::main().runOnce();
}

void UIApplication::pinch(CGPoint a0, CGPoint b0, CGPoint a1, CGPoint b1, double seconds, int steps) {
    steps = std::max(1, steps);
    touchesBeganAt({a0, b0});
    for (int i = 1; i <= steps; ++i) {
        RunLoop::main().runFor(seconds / steps);
        double f = double(i) / steps;
        touchesMovedTo({CGPointMake(a0.x + (a1.x - a0.x) * f, a0.y + (a1.y - a0.y) * f),
                        CGPointMake(b0.x + (b1.x - b0.x) * f, b0.y + (b1.y - b0.y) * f)});
    }
    touchesEndedAt({a1, b1});
    RunLoop::main().runOnce();
}
