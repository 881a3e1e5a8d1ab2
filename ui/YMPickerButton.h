#pragma once
// A button that becomes the first responder when tapped and then shows its
// input view (a picker) with its accessory bar in place of the keyboard.
#include "platform/uikit/UIButton.h"

class YMPickerButton : public UIButton {
public:
    explicit YMPickerButton(const CGRect& frame = CGRectZero);
    std::string className() const override { return "YMPickerButton"; }

    void setInputView(std::shared_ptr<UIView> v) { input_ = std::move(v); }
    std::shared_ptr<UIView> inputView() const override { return input_; }
    void setInputAccessoryView(std::shared_ptr<UIView> v) { accessory_ = std::move(v); }
    std::shared_ptr<UIView> inputAccessoryView() const override { return accessory_; }
    bool canBecomeFirstResponder() const override { return isEnabled(); }

private:
    std::shared_ptr<UIView> input_, accessory_;
};
