#include "ui/VTATextField.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIButton.h"
#include "ui/Drawing.h"
#include "ui/SVProgressHUD.h"
#include "ui/TextLimits.h"

#include <cmath>

namespace {
bool isNumberKeyboard(UIKeyboardType t) {
    return t == UIKeyboardType::NumberPad || t == UIKeyboardType::DecimalPad || t == UIKeyboardType::PhonePad;
}

bool startsWithBlank(const std::string& s, size_t pos, size_t* len) {
    if (pos >= s.size()) return false;
    char c = s[pos];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
        *len = 1;
        return true;
    }
    if (s.compare(pos, 3, "\xE3\x80\x80") == 0) {  // U+3000 ideographic space
        *len = 3;
        return true;
    }
    return false;
}
}  // namespace

std::string trimBlanks(const std::string& text) {
    size_t begin = 0, len = 0;
    while (startsWithBlank(text, begin, &len)) begin += len;
    size_t end = text.size();
    while (end > begin) {
        if (startsWithBlank(text, end - 1, &len) && len == 1) {
            --end;
        } else if (end >= begin + 3 && startsWithBlank(text, end - 3, &len) && len == 3) {
            end -= 3;
        } else {
            break;
        }
    }
    return text.substr(begin, end - begin);
}

VTATextField::VTATextField(const CGRect& frame, int length, const std::string& hoderText, int keyBoardType)
    : UIView(frame), maxLength_(length) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    field_ = std::make_shared<UITextField>();
    field_->setBorderStyle(UITextBorderStyle::RoundedRect);
    field_->setPlaceholder(hoderText);
    field_->setFont(defaultFont());
    field_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    UIKeyboardType type =
        keyBoardType >= 0 && keyBoardType <= 8 ? static_cast<UIKeyboardType>(keyBoardType) : UIKeyboardType::Default;
    field_->setKeyboardType(type);
    field_->setReturnKeyType(UIReturnKeyType::Done);
    field_->setDelegate(this);
    addSubview(field_);

    unit_ = std::make_shared<UILabel>();
    unit_->setBackgroundColor(UIColor::clearColor());
    unit_->setFont(defaultFont());
    unit_->setHidden(true);
    addSubview(unit_);

    if (isNumberKeyboard(type)) {
        auto bar = std::make_shared<UIView>(CGRectMake(0, 0, 320, 40));
        bar->setBackgroundColor(UIColor::colorWithRed(0.55, 0.58, 0.63, 1));
        done_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(250, 5, 64, 30));
        done_->setTitle("完成");
        done_->setTitleColor(UIColor::whiteColor());
        done_->setFont(UIFont::boldSystemFontOfSize(15));
        done_->setBackgroundColor(UIColor::colorWithRed(0.2, 0.4, 0.8, 1));
        done_->setCornerRadius(5);
        done_->addTarget(
            this, [this](UIControl&) { resignFirstResponder(); }, UIControlEventTouchUpInside);
        bar->addSubview(done_);
        field_->setInputAccessoryView(bar);
    }
    layoutSubviews();
}

VTATextField::~VTATextField() {
    field_->setDelegate(nullptr);
    if (done_) done_->removeTarget(this);
}

void VTATextField::layoutSubviews() {
    CGRect b = bounds();
    double unitW = 0;
    if (!unit_->isHidden()) unitW = std::ceil(sizeWithFont(unit_->text(), *unit_->font()).width) + 6;
    field_->setFrame(CGRectMake(0, 0, std::max(0.0, b.size.width - unitW), b.size.height));
    unit_->setFrame(CGRectMake(b.size.width - unitW + 4, 0, std::max(0.0, unitW - 4), b.size.height));
}

std::string VTATextField::getText() {
    std::string t = trimBlanks(field_->text());
    if (t != field_->text()) field_->setText(t);
    return t;
}

void VTATextField::setText(const std::string& text) { field_->setText(text); }

void VTATextField::setFont(std::shared_ptr<UIFont> font) {
    field_->setFont(font);
    unit_->setFont(font);
    setNeedsLayout();
}

void VTATextField::setEnable(bool enable) {
    if (!enable && field_->isFirstResponder()) field_->resignFirstResponder();
    field_->setEnabled(enable);
    field_->setTextColor(enable ? UIColor::blackColor() : UIColor::darkGrayColor());
}

void VTATextField::setUnit(const std::string& unit) {
    unit_->setText(unit);
    unit_->setHidden(unit.empty());
    layoutSubviews();
}

bool VTATextField::becomeFirstResponder() { return field_->becomeFirstResponder(); }

bool VTATextField::resignFirstResponder() {
    if (!field_->isFirstResponder()) return true;
    return field_->resignFirstResponder();
}

bool VTATextField::textFieldShouldBeginEditing(UITextField&) {
    if (!field_->isEnabled()) return false;
    return fieldDelegate_ ? fieldDelegate_->myTextFieldWillShowKeyboard(*this) : true;
}

void VTATextField::textFieldDidBeginEditing(UITextField&) {
    if (fieldDelegate_) fieldDelegate_->myTextFieldDidShowKeyboard(*this);
}

void VTATextField::textFieldDidEndEditing(UITextField&) {
    if (fieldDelegate_) fieldDelegate_->myTextFieldDidHideKeyboard(*this);
}

bool VTATextField::textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                          const std::string& replacement) {
    if (maxLength_ <= 0 || replacement.empty()) return true;
    std::string result = replaceWithinLimit(field.text(), range, replacement, maxLength_);
    if (utf16Length(result) < static_cast<size_t>(maxLength_)) return true;
    // Exactly full now: take the text, give up the keyboard, then tell.
    bool wasFull = utf16Length(field.text()) >= static_cast<size_t>(maxLength_);
    if (wasFull && result == field.text()) return false;  // nothing more fits
    auto keep = shared();
    field.setText(result);
    field.resignFirstResponder();
    if (tellsLimit_) SVProgressHUD::dismissWithError("最多可输入" + std::to_string(maxLength_) + "位");
    if (fieldDelegate_) fieldDelegate_->myTextFieldReachMax(*this, maxLength_);
    return false;
}

bool VTATextField::textFieldShouldReturn(UITextField&) {
    resignFirstResponder();
    return true;
}
