#pragma once
// A modal alert: title, message, buttons, optionally one or two text fields.
// Button indices follow UIKit: the cancel button (when given) is 0 and the
// other buttons follow in order; addButtonWithTitle appends. show() puts it
// above everything in the key window; the alerts on screen can be listed and
// their buttons pressed (tests, the host's script driver).
#include "platform/uikit/UIView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIAlertView;
class UIButton;
class UILabel;
class UITextField;
class UITextView;

class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) {}
    virtual void alertViewCancel(UIAlertView& alert) {}
    virtual void willPresentAlertView(UIAlertView& alert) {}
    virtual void didPresentAlertView(UIAlertView& alert) {}
    virtual void alertViewWillDismissWithButtonIndex(UIAlertView& alert, int buttonIndex) {}
    virtual void alertViewDidDismissWithButtonIndex(UIAlertView& alert, int buttonIndex) {}
    virtual bool alertViewShouldEnableFirstOtherButton(UIAlertView& alert) { return true; }
};

enum class UIAlertViewStyle { Default, SecureTextInput, PlainTextInput, LoginAndPasswordInput };

class UIAlertView : public UIView {
public:
    UIAlertView(const std::string& title, const std::string& message, UIAlertViewDelegate* delegate,
                std::optional<std::string> cancelButtonTitle, const std::vector<std::string>& otherButtonTitles);
    ~UIAlertView() override;
    std::string className() const override { return "UIAlertView"; }

    UIAlertViewDelegate* delegate() const;
    // Not owned; the owner clears it (or use the weak form).
    void setDelegate(UIAlertViewDelegate* d);
    void setDelegate(std::weak_ptr<UIAlertViewDelegate> d);

    const std::string& title() const { return title_; }
    void setTitle(const std::string& t);
    const std::string& message() const { return message_; }
    void setMessage(const std::string& m);
    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
    // Empty for an index out of range.
    std::string buttonTitleAtIndex(int index) const;
    int cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(int i) {
        cancelIndex_ = i;
        setNeedsLayout();
    }
    // -1 when there is no other button.
    int firstOtherButtonIndex() const;
    UIAlertViewStyle alertViewStyle() const { return style_; }
    void setAlertViewStyle(UIAlertViewStyle s);
    // The text field at 0 (and 1 for login and password); null otherwise.
    std::shared_ptr<UITextField> textFieldAtIndex(int index) const;

    void show();
    bool isVisible() const { return visible_; }
    // Dismisses as code does: will/did-dismiss, no clicked call.
    void dismissWithClickedButtonIndex(int index, bool animated);
    // Presses a button as a finger does: clicked, then will/did-dismiss.
    void tapButtonAtIndex(int index);
    // The view of a button (null out of range).
    UIButton* buttonViewAtIndex(int index) const;
    // The box holding the texts and buttons, in the alert's coordinates.
    CGRect boxFrame() const { return box_; }

    // Alerts shown and not yet dismissed, oldest first.
    static std::vector<std::shared_ptr<UIAlertView>> visibleAlerts();
    static std::shared_ptr<UIAlertView> topAlert();

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return title_; }

private:
    void rebuildButtons();
    void finishDismiss(int index);

    std::string title_, message_;
    UIAlertViewDelegate* delegate_ = nullptr;
    std::weak_ptr<UIAlertViewDelegate> weakDelegate_;
    bool weak_ = false;
    std::vector<std::string> buttons_;
    std::vector<std::shared_ptr<UIButton>> buttonViews_;
    int cancelIndex_ = -1;
    UIAlertViewStyle style_ = UIAlertViewStyle::Default;
    std::vector<std::shared_ptr<UITextField>> fields_;
    std::shared_ptr<UILabel> titleLabel_, messageLabel_;
    // A message too long for the screen scrolls in a text view.
    std::shared_ptr<UITextView> messageScroll_;
    CGRect box_;
    bool visible_ = false;
};
