#pragma once
// An alert with one text field of the given keyboard type that takes at most
// `allowLen` characters; the cancel button has index 0, the other button 1.
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UITextField.h"

class VTAAlertTextField : public UIAlertView, private UITextFieldDelegate {
public:
    VTAAlertTextField(const std::string& title, UIKeyboardType keyBoard, int allowLen, UIAlertViewDelegate* delegate,
                      const std::string& cancelButtonTitle, const std::string& otherButtonTitle);
    std::string className() const override { return "VTAAlertTextField"; }

    std::shared_ptr<UITextField> textField() const { return textFieldAtIndex(0); }
    int allowLen() const { return allowLen_; }

private:
    bool textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                const std::string& replacement) override;
    int allowLen_;
};
