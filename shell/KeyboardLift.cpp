#include "shell/KeyboardLift.h"

#include <algorithm>

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIView.h"

KeyboardLift::KeyboardLift(std::weak_ptr<UIView> control, std::function<void(double)> apply, double margin)
    : control_(std::move(control)), apply_(std::move(apply)), margin_(margin) {
    auto& centre = NSNotificationCenter::defaultCenter();
    centre.addObserver(this, UIKeyboardWillShowNotification, [this](const NSNotification& n) { keyboardWillShow(n); });
    centre.addObserver(this, UIKeyboardWillHideNotification, [this](const NSNotification&) { keyboardWillHide(); });
}

KeyboardLift::~KeyboardLift() { NSNotificationCenter::defaultCenter().removeObserver(this); }

void KeyboardLift::keyboardWillShow(const NSNotification& note) {
    auto control = control_.lock();
    if (!control || !control->window() || control->isHidden()) return;
    CGRect keyboard = keyboardRectFromUserInfo(note.userInfo, UIKeyboardFrameEndUserInfoKey);
    if (CGRectIsEmpty(keyboard)) return;
    // Where the control's bottom would be without the present lift.
    CGRect onScreen = control->convertRectToView(control->bounds(), nullptr);
    double bottom = CGRectGetMaxY(onScreen) + lift_;
    setLift(std::max(0.0, bottom + margin_ - CGRectGetMinY(keyboard)));
}

void KeyboardLift::keyboardWillHide() { setLift(0); }

void KeyboardLift::setLift(double lift) {
    if (lift == lift_) return;
    lift_ = lift;
    if (apply_) apply_(lift);
}
