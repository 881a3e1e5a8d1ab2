#pragma once
// Keeps one control of a screen within reach while the on-screen keyboard
// (or an input view) covers the bottom of the screen. When the keyboard is
// about to show, the control's bottom edge plus a margin is compared with the
// keyboard's top, both on screen; the difference (never negative) is the lift
// handed to the screen, which moves its views up by that much. When the
// keyboard is about to hide, the lift goes back to 0.
//
// A control that is hidden or not on a window is left alone: the keyboard then
// belongs to another screen.
#include <functional>
#include <memory>

struct NSNotification;
class UIView;

class KeyboardLift {
public:
    // `apply(lift)` moves the screen's views up by `lift` points (0: back in place).
    KeyboardLift(std::weak_ptr<UIView> control, std::function<void(double)> apply, double margin = 0);
    ~KeyboardLift();
    KeyboardLift(const KeyboardLift&) = delete;
    KeyboardLift& operator=(const KeyboardLift&) = delete;

    double lift() const { return lift_; }

private:
    void keyboardWillShow(const NSNotification& note);
    void keyboardWillHide();
    void setLift(double lift);

    std::weak_ptr<UIView> control_;
    std::function<void(double)> apply_;
    double margin_ = 0;
    double lift_ = 0;
};
