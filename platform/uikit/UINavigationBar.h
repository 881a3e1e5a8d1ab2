#pragma once
// The bar at the top of a navigation stack: the top item's title (or title
// view), its left item or a back button titled by the previous item, its right
// item. A back title too long to leave the title room is shown as "返回".
#include "platform/uikit/UINavigationItem.h"
#include "platform/uikit/UIView.h"

#include <functional>
#include <vector>

class UINavigationBar : public UIView {
public:
    explicit UINavigationBar(const CGRect& frame = CGRectMake(0, 0, 320, 44));
    std::string className() const override { return "UINavigationBar"; }

    UIBarStyle barStyle() const { return barStyle_; }
    void setBarStyle(UIBarStyle s) {
        barStyle_ = s;
        setNeedsLayout();
    }
    const std::shared_ptr<UIColor>& tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c) {
        tint_ = std::move(c);
        setNeedsLayout();
    }
    bool isTranslucent() const { return barStyle_ == UIBarStyle::BlackTranslucent; }

    const std::vector<std::shared_ptr<UINavigationItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<UINavigationItem>> items) {
        items_ = std::move(items);
        setNeedsLayout();
    }
    void pushNavigationItem(std::shared_ptr<UINavigationItem> item) {
        items_.push_back(std::move(item));
        setNeedsLayout();
    }
    void popNavigationItem() {
        if (!items_.empty()) items_.pop_back();
        setNeedsLayout();
    }
    UINavigationItem* topItem() const { return items_.empty() ? nullptr : items_.back().get(); }
    UINavigationItem* backItem() const { return items_.size() < 2 ? nullptr : items_[items_.size() - 2].get(); }
    // The back button's title for the top item ("返回" when the previous screen has no title).
    std::string backButtonTitle() const;
    // What the back button shows: its title, or "返回" when that title is so
    // long that the top item's title could not stand beside it at full size.
    std::string shownBackButtonTitle() const { return shownBackTitle_; }
    // Called when the back button is tapped (the navigation controller pops).
    void setBackAction(std::function<void()> f) { backAction_ = std::move(f); }

    // The views made for the items (tests tap them).
    UIView* backButtonView() const { return backView_.get(); }
    UIView* leftButtonView() const { return leftView_.get(); }
    UIView* rightButtonView() const { return rightView_.get(); }
    UIView* titleViewShown() const { return titleShown_.get(); }

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

protected:
    bool contentChangedSinceLayout() const override;

private:
    void rebuild();
    void makeBackButton(const std::string& title);
    // Places the bar buttons from the sides inwards; returns the insets left free
    // for the title on the left and on the right.
    std::pair<double, double> placeButtons();

    UIBarStyle barStyle_ = UIBarStyle::Default;
    std::shared_ptr<UIColor> tint_;
    std::vector<std::shared_ptr<UINavigationItem>> items_;
    std::function<void()> backAction_;
    std::shared_ptr<UIView> backView_, leftView_, rightView_, titleShown_;
    std::string shownBackTitle_;
    bool needsRebuild() const;

    // The item the bar was built for: weak, so that an item popped and freed
    // is never mistaken for a new one made at the same address.
    std::weak_ptr<UINavigationItem> builtFor_;
    unsigned long long builtVersion_ = ~0ull;
    size_t builtDepth_ = 0;
};

class UIToolbar : public UIView {
public:
    explicit UIToolbar(const CGRect& frame = CGRectMake(0, 0, 320, 44));
    std::string className() const override { return "UIToolbar"; }

    UIBarStyle barStyle() const { return barStyle_; }
    void setBarStyle(UIBarStyle s) {
        barStyle_ = s;
        built_ = false;
        setNeedsLayout();
    }
    const std::shared_ptr<UIColor>& tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c) {
        tint_ = std::move(c);
        built_ = false;
        setNeedsLayout();
    }
    bool isTranslucent() const { return barStyle_ == UIBarStyle::BlackTranslucent; }
    const std::vector<std::shared_ptr<UIBarButtonItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool animated = false);
    // The view shown for an item (null for spaces).
    UIView* viewForItem(const UIBarButtonItem* item) const;

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;

protected:
    bool contentChangedSinceLayout() const override;

private:
    unsigned long long itemsVersion() const;

    UIBarStyle barStyle_ = UIBarStyle::Default;
    std::shared_ptr<UIColor> tint_;
    std::vector<std::shared_ptr<UIBarButtonItem>> items_;
    std::vector<std::shared_ptr<UIView>> views_;
    bool built_ = false;
    unsigned long long builtVersion_ = 0;
};

// Draws a bar's gradient for a style and tint (navigation bars, toolbars, search bars).
void drawBarBackground(CGContext& ctx, const CGRect& rect, UIBarStyle style, const std::shared_ptr<UIColor>& tint);
