#include "ui/VTAAlertTextField.h"

#include "ui/TextLimits.h"

VTAAlertTextField::VTAAlertTextField(const std::string& title, UIKeyboardType keyBoard, int allowLen,
                                     UIAlertViewDelegate* delegate, const std::string& cancelButtonTitle,
                                     const std::string& otherButtonTitle)
    : UIAlertView(title, "", delegate, cancelButtonTitle, {otherButtonTitle}), allowLen_(allowLen) {
    setAlertViewStyle(UIAlertViewStyle::PlainTextInput);
    if (auto f = textField()) {
        f->setKeyboardType(keyBoard);
        f->setDelegate(this);
    }
}

bool VTAAlertTextField::textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                               const std::string& replacement) {
    if (allowLen_ <= 0) return true;
    std::string result = replaceWithinLimit(field.text(), range, replacement, allowLen_);
    size_t current = utf16Length(field.text());
    size_t removed = std::min(range.length, current);
    if (current - removed + utf16Length(replacement) <= static_cast<size_t>(allowLen_)) return true;
    // A paste longer than the room left: keep what fits.
    field.setText(result);
    return false;
}
