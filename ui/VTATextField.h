#pragma once
// The one-line input of the older forms: a text field with a maximum length,
// an optional unit label after it ("元"), and a "完成" bar above number
// keyboards. Callbacks to the field delegate, in the order they happen:
//   myTextFieldWillShowKeyboard  before editing begins (false refuses it)
//   myTextFieldDidShowKeyboard   after it began
//   myTextFieldDidHideKeyboard   after editing ended (keyboard hidden, by
//                                "完成", by the code, or by reaching the max)
//   myTextFieldReachMax          when an edit makes the text exactly the
//                                maximum length: the field has taken the text
//                                and given up the keyboard first
// A paste longer than the room left keeps the part that fits. An amount or a
// quantity field (setTellsLimit) says why the keyboard went when it fills
// up: "最多可输入N位", in the error overlay.
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"

class VTATextField;

class VTATextFieldDelegate {
public:
    virtual ~VTATextFieldDelegate() = default;
    virtual void myTextFieldReachMax(VTATextField& field, int maxLength) {}
    virtual bool myTextFieldWillShowKeyboard(VTATextField& field) { return true; }
    virtual void myTextFieldDidShowKeyboard(VTATextField& field) {}
    virtual void myTextFieldDidHideKeyboard(VTATextField& field) {}
};

class VTATextField : public UIView, private UITextFieldDelegate {
public:
    // keyBoardType: the platform's keyboard type number (1 ASCII, 2 numbers and
    // punctuation, 4 number pad, 8 decimal pad...); unknown numbers give the default.
    VTATextField(const CGRect& frame, int length, const std::string& hoderText, int keyBoardType);
    ~VTATextField() override;
    std::string className() const override { return "VTATextField"; }

    // The text trimmed of blanks at both ends; the field shows the trimmed text too.
    std::string getText();
    const std::string& text() const { return field_->text(); }
    void setText(const std::string& text);
    void setFont(std::shared_ptr<UIFont> font);
    void setSecureTextEntry(bool secure) { field_->setSecureTextEntry(secure); }
    // Allows or blocks input; a blocked field still shows its text.
    void setEnable(bool enable);
    bool isEnable() const { return field_->isEnabled(); }
    void setPlaceHolder(const std::string& text) { field_->setPlaceholder(text); }
    void setUnit(const std::string& unit);
    const std::string& unit() const { return unit_->text(); }
    // The unit label (black on clear, for the white form rows; screens on a
    // dark background give it a light colour).
    UILabel* unitLabel() const { return unit_.get(); }
    // Not owned; null drops it.
    void setFieldDelegate(VTATextFieldDelegate* d) { fieldDelegate_ = d; }
    int maxLength() const { return maxLength_; }
    // Whether filling up tells the customer the limit (amounts and quantities).
    void setTellsLimit(bool tells) { tellsLimit_ = tells; }
    bool tellsLimit() const { return tellsLimit_; }

    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool isEditing() const { return field_->isEditing(); }
    UITextField* textField() const { return field_.get(); }
    // The "完成" key of number keyboards (null for other keyboards).
    UIButton* doneButton() const { return done_.get(); }

    void layoutSubviews() override;
    std::string accessibilityText() const override { return field_->accessibilityText(); }

private:
    bool textFieldShouldBeginEditing(UITextField& field) override;
    void textFieldDidBeginEditing(UITextField& field) override;
    void textFieldDidEndEditing(UITextField& field) override;
    bool textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                const std::string& replacement) override;
    bool textFieldShouldReturn(UITextField& field) override;

    int maxLength_;
    bool tellsLimit_ = false;
    std::shared_ptr<UITextField> field_;
    std::shared_ptr<UILabel> unit_;
    std::shared_ptr<UIButton> done_;
    VTATextFieldDelegate* fieldDelegate_ = nullptr;
};

// The text without blanks (spaces, tabs, line breaks, ideographic spaces) at both ends.
std::string trimBlanks(const std::string& text);
