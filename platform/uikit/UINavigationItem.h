#pragma once
// What the navigation bar shows for one screen: title or title view, left and
// right items, and the back item shown on the next screen's bar.
#include "platform/uikit/UIBarButtonItem.h"

class UINavigationItem {
public:
    explicit UINavigationItem(const std::string& title = "") : title_(title) {}

    const std::string& title() const { return title_; }
    void setTitle(const std::string& t) {
        title_ = t;
        ++version_;
    }
    const std::shared_ptr<UIView>& titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<UIView> v) {
        titleView_ = std::move(v);
        ++version_;
    }
    const std::string& prompt() const { return prompt_; }
    void setPrompt(const std::string& p) {
        prompt_ = p;
        ++version_;
    }
    const std::shared_ptr<UIBarButtonItem>& leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(std::shared_ptr<UIBarButtonItem> i, bool animated = false) {
        left_ = std::move(i);
        ++version_;
    }
    const std::shared_ptr<UIBarButtonItem>& rightBarButtonItem() const { return right_; }
    void setRightBarButtonItem(std::shared_ptr<UIBarButtonItem> i, bool animated = false) {
        right_ = std::move(i);
        ++version_;
    }
    const std::shared_ptr<UIBarButtonItem>& backBarButtonItem() const { return back_; }
    void setBackBarButtonItem(std::shared_ptr<UIBarButtonItem> i) {
        back_ = std::move(i);
        ++version_;
    }
    bool hidesBackButton() const { return hidesBack_; }
    void setHidesBackButton(bool h, bool animated = false) {
        hidesBack_ = h;
        ++version_;
    }

    // Grows with every change, including changes of its items.
    unsigned long long version() const {
        return version_ + (left_ ? left_->version() : 0) + (right_ ? right_->version() : 0) +
               (back_ ? back_->version() : 0);
    }

private:
    std::string title_;
    std::shared_ptr<UIView> titleView_;
    std::string prompt_;
    std::shared_ptr<UIBarButtonItem> left_, right_, back_;
    bool hidesBack_ = false;
    unsigned long long version_ = 0;
};
