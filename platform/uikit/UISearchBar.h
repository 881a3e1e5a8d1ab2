#pragma once
// A search field on a bar, with an optional prompt and cancel button. The
// keyboard's return key is "搜索".
#include "platform/uikit/UIBarButtonItem.h"
#include "platform/uikit/UITextField.h"

class UISearchBar;
class UIButton;
class UILabel;

class UISearchBarDelegate {
public:
    virtual ~UISearchBarDelegate() = default;
    virtual bool searchBarShouldBeginEditing(UISearchBar& bar) { return true; }
    virtual void searchBarTextDidBeginEditing(UISearchBar& bar) {}
    virtual bool searchBarShouldEndEditing(UISearchBar& bar) { return true; }
    virtual void searchBarTextDidEndEditing(UISearchBar& bar) {}
    virtual void searchBarTextDidChange(UISearchBar& bar, const std::string& text) {}
    virtual bool searchBarShouldChangeTextInRange(UISearchBar& bar, NSRange range, const std::string& text) {
        return true;
    }
    virtual void searchBarSearchButtonClicked(UISearchBar& bar) {}
    virtual void searchBarCancelButtonClicked(UISearchBar& bar) {}
};

class UISearchBar : public UIView, private UITextFieldDelegate {
public:
    explicit UISearchBar(const CGRect& frame = CGRectMake(0, 0, 320, 44));
    ~UISearchBar() override;
    std::string className() const override { return "UISearchBar"; }

    UISearchBarDelegate* delegate() const { return delegate_; }
    void setDelegate(UISearchBarDelegate* d) { delegate_ = d; }
    std::string text() const;
    void setText(const std::string& t);
    std::string placeholder() const;
    void setPlaceholder(const std::string& p);
    const std::string& prompt() const { return prompt_; }
    void setPrompt(const std::string& p);
    UIBarStyle barStyle() const { return barStyle_; }
    void setBarStyle(UIBarStyle s) {
        barStyle_ = s;
        setNeedsDisplay();
    }
    const std::shared_ptr<UIColor>& tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c) {
        tint_ = std::move(c);
        setNeedsDisplay();
    }
    bool showsCancelButton() const { return showsCancel_; }
    void setShowsCancelButton(bool s, bool animated = false);
    void setKeyboardType(UIKeyboardType t) { field_->setKeyboardType(t); }
    UITextField* textField() const { return field_.get(); }
    UIButton* cancelButton() const;

    bool becomeFirstResponder() override { return field_->becomeFirstResponder(); }
    bool resignFirstResponder() override { return field_->resignFirstResponder(); }
    bool isFirstResponder() const { return field_->isFirstResponder(); }

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

private:
    bool textFieldShouldBeginEditing(UITextField& f) override;
    void textFieldDidBeginEditing(UITextField& f) override;
    bool textFieldShouldEndEditing(UITextField& f) override;
    void textFieldDidEndEditing(UITextField& f) override;
    bool textFieldShouldChangeCharactersInRange(UITextField& f, NSRange r, const std::string& s) override;
    bool textFieldShouldReturn(UITextField& f) override;

    UISearchBarDelegate* delegate_ = nullptr;
    std::shared_ptr<UITextField> field_;
    std::shared_ptr<UIButton> cancel_;
    std::shared_ptr<UILabel> promptLabel_;
    std::string prompt_;
    UIBarStyle barStyle_ = UIBarStyle::Default;
    std::shared_ptr<UIColor> tint_;
    bool showsCancel_ = false;
};
