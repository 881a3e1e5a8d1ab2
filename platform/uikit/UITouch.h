#pragma once
// One finger on the screen (UITouch) and the set of fingers of one event (UIEvent).
// Locations are kept in window (screen) points and converted on request.
#include "platform/graphics/Geometry.h"

#include <memory>
#include <vector>

class UIView;
class UIWindow;
class UIScrollView;

enum class UITouchPhase { Began, Moved, Stationary, Ended, Cancelled };

class UITouch {
public:
    // In the coordinates of `view`; window (screen) coordinates for null.
    CGPoint locationInView(const UIView* view) const;
    CGPoint previousLocationInView(const UIView* view) const;
    UIView* view() const { return view_.get(); }
    UIWindow* window() const { return window_; }
    int tapCount() const { return tapCount_; }
    UITouchPhase phase() const { return phase_; }
    double timestamp() const { return timestamp_; }

    // Set by the application when it injects the touch.
    std::shared_ptr<UIView> view_;
    UIWindow* window_ = nullptr;
    CGPoint location_;
    CGPoint previous_;
    CGPoint start_;
    int tapCount_ = 1;
    UITouchPhase phase_ = UITouchPhase::Began;
    double timestamp_ = 0;
    int finger_ = 0;
    bool scrollDecided_ = false;  // the window decided whether a scroll view takes it over
};

class UITouchSet : public std::vector<std::shared_ptr<UITouch>> {
public:
    using std::vector<std::shared_ptr<UITouch>>::vector;
    UITouch* anyObject() const { return empty() ? nullptr : front().get(); }
    size_t count() const { return size(); }
};

enum class UIEventType { Touches, Motion, RemoteControl };

class UIEvent {
public:
    UIEventType type() const { return UIEventType::Touches; }
    const UITouchSet& allTouches() const { return touches_; }
    UITouchSet touchesForView(const UIView* view) const;
    UITouchSet touchesForWindow(const UIWindow* window) const;
    double timestamp() const { return timestamp_; }

    UITouchSet touches_;
    double timestamp_ = 0;
};
