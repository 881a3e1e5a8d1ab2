#include "ui/YMPickerButton.h"

YMPickerButton::YMPickerButton(const CGRect& frame) : UIButton(UIButtonType::Custom, frame) {
    addTarget(
        this, [this](UIControl&) { becomeFirstResponder(); }, UIControlEventTouchUpInside);
}
