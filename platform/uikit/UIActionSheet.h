#pragma once
// A sheet of buttons rising from the bottom of the screen. Button indices
// follow UIKit: the destructive button first, then the other buttons in
// order, then the cancel button.
#include "platform/uikit/UIView.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class UIActionSheet;
class UIButton;
class UILabel;

class UIActionSheetDelegate {
public:
    virtual ~UIActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {}
    virtual void actionSheetCancel(UIActionSheet& sheet) {}
    virtual void willPresentActionSheet(UIActionSheet& sheet) {}
    virtual void didPresentActionSheet(UIActionSheet& sheet) {}
    virtual void actionSheetWillDismissWithButtonIndex(UIActionSheet& sheet, int buttonIndex) {}
    virtual void actionSheetDidDismissWithButtonIndex(UIActionSheet& sheet, int buttonIndex) {}
};

enum class UIActionSheetStyle { Automatic = -1, Default = 0, BlackTranslucent = 2, BlackOpaque = 1 };

class UIActionSheet : public UIView {
public:
    UIActionSheet(const std::string& title, UIActionSheetDelegate* delegate,
                  std::optional<std::string> cancelButtonTitle, std::optional<std::string> destructiveButtonTitle,
                  const std::vector<std::string>& otherButtonTitles);
    ~UIActionSheet() override;
    std::string className() const override { return "UIActionSheet"; }

    UIActionSheetDelegate* delegate() const;
    void setDelegate(UIActionSheetDelegate* d);
    void setDelegate(std::weak_ptr<UIActionSheetDelegate> d);

    const std::string& title() const { return title_; }
    void setTitle(const std::string& t) {
        title_ = t;
        setNeedsLayout();
    }
    UIActionSheetStyle actionSheetStyle() const { return style_; }
    void setActionSheetStyle(UIActionSheetStyle s) {
        style_ = s;
        setNeedsDisplay();
    }
    // Appended before the cancel button when there is one.
    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return static_cast<int>(buttons_.size()); }
    std::string buttonTitleAtIndex(int index) const;
    int cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(int i) {
        cancelIndex_ = i;
        setNeedsLayout();
    }
    int destructiveButtonIndex() const { return destructiveIndex_; }
    void setDestructiveButtonIndex(int i) {
        destructiveIndex_ = i;
        setNeedsLayout();
    }
    int firstOtherButtonIndex() const;

    // Shown over the window of the view (the key window when it has none).
    void showInView(UIView* view);
    bool isVisible() const { return visible_; }
    void dismissWithClickedButtonIndex(int index, bool animated);
    void tapButtonAtIndex(int index);
    UIButton* buttonViewAtIndex(int index) const;
    // The sheet's panel (title and buttons), in the overlay's coordinates.
    CGRect sheetFrame() const { return sheet_; }
    // Height to reserve above the buttons for content added by the caller (a picker).
    void setExtraContentHeight(double h) {
        extraHeight_ = h;
        setNeedsLayout();
    }
    CGRect extraContentFrame() const;

    static std::vector<std::shared_ptr<UIActionSheet>> visibleSheets();

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return title_; }

private:
    void rebuildButtons();
    void finishDismiss(int index);

    std::string title_;
    UIActionSheetDelegate* delegate_ = nullptr;
    std::weak_ptr<UIActionSheetDelegate> weakDelegate_;
    bool weak_ = false;
    std::vector<std::string> buttons_;
    std::vector<std::shared_ptr<UIButton>> buttonViews_;
    int cancelIndex_ = -1, destructiveIndex_ = -1;
    UIActionSheetStyle style_ = UIActionSheetStyle::Automatic;
    std::shared_ptr<UILabel> titleLabel_;
    CGRect sheet_;
    double extraHeight_ = 0;
    double titleHeight_ = 0;
    bool visible_ = false;
};
