#pragma once
// The stock-code keyboard of the stock finder: shown in place of the platform
// keyboard while its text field is being edited (it is the field's input
// view). Two layouts share the 320 x 216 area:
//   digits   "600" "1" "2" "3" "删除"      letters  Q W E R T Y U I O P
//            "601" "4" "5" "6" "清空"               A S D F G H J K L
//            "000" "7" "8" "9" "隐藏"               "123" Z X C V B N M "删除"
//            "300" "002" "0" "ABC" "确定"           "清空" "隐藏" "确定"
// The prefix keys type the usual code beginnings at once; letters type the
// capital initials of a stock's pinyin name. "ABC" and "123" switch layouts.
//
// Keys edit the attached field the way typing does (its delegate can refuse
// an edit, its editing-changed actions run). "清空" empties it (the field's
// delegate is asked with textFieldShouldClear). "确定" tells onConfirm with
// the text, then hides the keyboard (the field ends editing); "隐藏" only
// hides it. onTextChanged hears every change of the field's text made while
// editing, by these keys or by any other input.
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIView.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class VTAStockKeyboard : public UIView {
public:
    static constexpr double kHeight = 216;
    enum class Mode { Digits, Letters };

    explicit VTAStockKeyboard(const CGRect& frame = CGRectMake(0, 0, 320, kHeight));
    ~VTAStockKeyboard() override;
    std::string className() const override { return "VTAStockKeyboard"; }

    // A new keyboard made the field's input view.
    static std::shared_ptr<VTAStockKeyboard> attachToTextField(const std::shared_ptr<UITextField>& field);
    // Makes this keyboard the field's input view (the field keeps the keyboard;
    // the keyboard only refers to the field). A previous field is let go.
    void attachTo(const std::shared_ptr<UITextField>& field);
    // The attached field, or null when none (or it is gone).
    std::shared_ptr<UITextField> textField() const { return field_.lock(); }

    // After every change of the field's text by the user: the new text.
    std::function<void(const std::string& text)> onTextChanged;
    // "确定": the field's text (before the keyboard hides).
    std::function<void(const std::string& text)> onConfirm;
    // After "隐藏" or "确定" hid the keyboard.
    std::function<void()> onHide;

    // Most characters the keys let the field hold (0: no limit); a prefix key
    // that does not fit types the part that does.
    void setMaxLength(size_t n) { maxLength_ = n; }
    size_t maxLength() const { return maxLength_; }

    Mode mode() const { return mode_; }
    void setMode(Mode m);

    // What a key does, by its title (the key views call it).
    void pressKey(const std::string& title);
    // The key of the current layout showing the title, or null.
    UIView* keyWithTitle(const std::string& title) const;
    std::vector<std::string> keyTitles() const;

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

private:
    void rebuild();
    void typeText(const std::string& text);
    void deleteBackward();
    void clearText();
    void hideKeyboard();
    void fieldChanged();

    std::weak_ptr<UITextField> field_;
    Mode mode_ = Mode::Digits;
    size_t maxLength_ = 0;
    std::vector<std::shared_ptr<UIView>> keys_;
};
