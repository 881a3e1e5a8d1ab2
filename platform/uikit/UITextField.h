#pragma once
// A one-line editable text. A tap makes it the first responder (the keyboard
// of its type appears); typed text passes the keyboard's character filter and
// the delegate's shouldChangeCharactersInRange before it lands. The caret sits
// at the end of the text.
#include "platform/graphics/UIFont.h"
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UITextInput.h"

class UITextField;

inline const char* const UITextFieldTextDidBeginEditingNotification = "UITextFieldTextDidBeginEditingNotification";
inline const char* const UITextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";
inline const char* const UITextFieldTextDidEndEditingNotification = "UITextFieldTextDidEndEditingNotification";

class UITextFieldDelegate {
public:
    virtual ~UITextFieldDelegate() = default;
    virtual bool textFieldShouldBeginEditing(UITextField& field) { return true; }
    virtual void textFieldDidBeginEditing(UITextField& field) {}
    virtual bool textFieldShouldEndEditing(UITextField& field) { return true; }
    virtual void textFieldDidEndEditing(UITextField& field) {}
    virtual bool textFieldShouldChangeCharactersInRange(UITextField& field, NSRange range,
                                                        const std::string& replacement) {
        return true;
    }
    virtual bool textFieldShouldClear(UITextField& field) { return true; }
    virtual bool textFieldShouldReturn(UITextField& field) { return true; }
};

enum class UITextBorderStyle { None, Line, Bezel, RoundedRect };
enum class UITextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

class UITextField : public UIControl, public UIKeyInput {
public:
    explicit UITextField(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UITextField"; }

    UITextFieldDelegate* delegate() const { return delegate_; }
    // Not owned: the owner clears it.
    void setDelegate(UITextFieldDelegate* d) { delegate_ = d; }

    const std::string& text() const { return text_; }
    // Programmatic: no delegate call, no filter.
    void setText(const std::string& t);
    const std::string& placeholder() const { return placeholder_; }
    // The size the placeholder is drawn at: the font's, or smaller (down to
    // 12 points) when that keeps a slightly long placeholder whole.
    double placeholderFontSize() const;
    void setPlaceholder(const std::string& p) {
        placeholder_ = p;
        setNeedsDisplay();
    }
    const std::shared_ptr<UIFont>& font() const { return font_; }
    void setFont(std::shared_ptr<UIFont> f);
    const std::shared_ptr<UIColor>& textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> c) {
        textColor_ = c ? std::move(c) : UIColor::blackColor();
        setNeedsDisplay();
    }
    UITextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(UITextAlignment a) {
        alignment_ = a;
        setNeedsDisplay();
    }
    UITextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(UITextBorderStyle s) {
        borderStyle_ = s;
        setNeedsDisplay();
    }
    UITextFieldViewMode clearButtonMode() const { return clearButtonMode_; }
    void setClearButtonMode(UITextFieldViewMode m) {
        clearButtonMode_ = m;
        setNeedsDisplay();
    }
    bool clearsOnBeginEditing() const { return clearsOnBegin_; }
    void setClearsOnBeginEditing(bool c) { clearsOnBegin_ = c; }
    bool isSecureTextEntry() const { return secure_; }
    void setSecureTextEntry(bool s) {
        secure_ = s;
        setNeedsDisplay();
    }
    void setKeyboardType(UIKeyboardType t);
    UIKeyboardType keyboardType() const override { return keyboardType_; }
    void setReturnKeyType(UIReturnKeyType t) { returnKeyType_ = t; }
    UIReturnKeyType returnKeyType() const override { return returnKeyType_; }
    void setAutocapitalizationType(UITextAutocapitalizationType) {}
    void setAutocorrectionType(UITextAutocorrectionType) {}
    bool adjustsFontSizeToFitWidth() const { return adjustsFont_; }
    void setAdjustsFontSizeToFitWidth(bool a) { adjustsFont_ = a; }
    void setMinimumFontSize(double s) { minimumFontSize_ = s; }
    const std::shared_ptr<UIView>& leftView() const { return leftView_; }
    void setLeftView(std::shared_ptr<UIView> v);
    void setLeftViewMode(UITextFieldViewMode m) {
        leftViewMode_ = m;
        setNeedsLayout();
    }
    const std::shared_ptr<UIView>& rightView() const { return rightView_; }
    void setRightView(std::shared_ptr<UIView> v);
    void setRightViewMode(UITextFieldViewMode m) {
        rightViewMode_ = m;
        setNeedsLayout();
    }
    void setInputView(std::shared_ptr<UIView> v) { inputView_ = std::move(v); }
    std::shared_ptr<UIView> inputView() const override { return inputView_; }
    void setInputAccessoryView(std::shared_ptr<UIView> v) { accessory_ = std::move(v); }
    std::shared_ptr<UIView> inputAccessoryView() const override { return accessory_; }

    bool isEditing() const { return editing_; }
    // The rectangles of the parts, in bounds.
    virtual CGRect textRectForBounds(const CGRect& bounds) const;
    CGRect clearButtonRectForBounds(const CGRect& bounds) const;

    // ---- responder and key input ----
    bool canBecomeFirstResponder() const override;
    bool canResignFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool acceptsTextInput() const override { return true; }
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    bool hasText() const override { return !text_.empty(); }
    void returnKeyPressed() override;

    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return secure_ ? std::string() : text_; }

protected:
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

private:
    bool viewModeShows(UITextFieldViewMode m) const;
    bool showsClearButton() const;
    void changeText(NSRange range, const std::string& replacement);

    UITextFieldDelegate* delegate_ = nullptr;
    std::string text_, placeholder_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    UITextAlignment alignment_ = UITextAlignment::Left;
    UITextBorderStyle borderStyle_ = UITextBorderStyle::None;
    UITextFieldViewMode clearButtonMode_ = UITextFieldViewMode::Never;
    bool clearsOnBegin_ = false;
    bool secure_ = false;
    UIKeyboardType keyboardType_ = UIKeyboardType::Default;
    UIReturnKeyType returnKeyType_ = UIReturnKeyType::Default;
    bool adjustsFont_ = false;
    double minimumFontSize_ = 0;
    std::shared_ptr<UIView> leftView_, rightView_;
    UITextFieldViewMode leftViewMode_ = UITextFieldViewMode::Never, rightViewMode_ = UITextFieldViewMode::Never;
    std::shared_ptr<UIView> inputView_, accessory_;
    bool editing_ = false;
};
