#pragma once
// A scrolling, optionally editable, multi-line text. Return inserts a line break.
#include "platform/graphics/UIFont.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UITextInput.h"

class UITextView;

inline const char* const UITextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";

class UITextViewDelegate : public UIScrollViewDelegate {
public:
    virtual bool textViewShouldBeginEditing(UITextView& tv) { return true; }
    virtual void textViewDidBeginEditing(UITextView& tv) {}
    virtual bool textViewShouldEndEditing(UITextView& tv) { return true; }
    virtual void textViewDidEndEditing(UITextView& tv) {}
    virtual bool textViewShouldChangeTextInRange(UITextView& tv, NSRange range, const std::string& text) {
        return true;
    }
    virtual void textViewDidChange(UITextView& tv) {}
};

class UITextView : public UIScrollView, public UIKeyInput {
public:
    explicit UITextView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UITextView"; }

    UITextViewDelegate* delegate() const { return delegate_; }
    void setDelegate(UITextViewDelegate* d) {
        delegate_ = d;
        UIScrollView::setDelegate(d);
    }
    const std::string& text() const { return text_; }
    void setText(const std::string& t);
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
        updateContentSize();
    }
    bool isEditable() const { return editable_; }
    void setEditable(bool e) {
        editable_ = e;
        if (!e && isFirstResponder()) resignFirstResponder();
    }
    void setKeyboardType(UIKeyboardType t) { keyboardType_ = t; }
    UIKeyboardType keyboardType() const override { return keyboardType_; }
    void setReturnKeyType(UIReturnKeyType t) { returnKeyType_ = t; }
    UIReturnKeyType returnKeyType() const override { return returnKeyType_; }
    void setInputView(std::shared_ptr<UIView> v) { inputView_ = std::move(v); }
    std::shared_ptr<UIView> inputView() const override { return inputView_; }
    void setInputAccessoryView(std::shared_ptr<UIView> v) { accessory_ = std::move(v); }
    std::shared_ptr<UIView> inputAccessoryView() const override { return accessory_; }
    void scrollRangeToVisible(NSRange range);
    bool isEditing() const { return editing_; }

    bool canBecomeFirstResponder() const override { return editable_; }
    bool canResignFirstResponder() const override;
    bool becomeFirstResponder() override;
    bool acceptsTextInput() const override { return editable_; }
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    bool hasText() const override { return !text_.empty(); }
    void returnKeyPressed() override { insertText("\n"); }

    void setFrame(const CGRect& frame) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return text_; }

protected:
    void didBecomeFirstResponder() override;
    void didResignFirstResponder() override;

private:
    void updateContentSize();
    void change(NSRange range, const std::string& text);

    UITextViewDelegate* delegate_ = nullptr;
    std::string text_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    UITextAlignment alignment_ = UITextAlignment::Left;
    bool editable_ = true, editing_ = false;
    UIKeyboardType keyboardType_ = UIKeyboardType::Default;
    UIReturnKeyType returnKeyType_ = UIReturnKeyType::Default;
    std::shared_ptr<UIView> inputView_, accessory_;
};
