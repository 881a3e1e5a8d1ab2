#pragma once
// A push button: title, title colour, image and background image per control
// state (falling back to the normal state's), in the custom or rounded-rect style.
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

#include <map>

enum class UIButtonType { Custom, RoundedRect, DetailDisclosure, InfoLight, InfoDark, ContactAdd };

class UIButton : public UIControl {
public:
    explicit UIButton(UIButtonType type = UIButtonType::Custom, const CGRect& frame = CGRectZero);
    static std::shared_ptr<UIButton> buttonWithType(UIButtonType type);
    std::string className() const override { return "UIButton"; }

    UIButtonType buttonType() const { return type_; }

    void setTitle(const std::string& title, unsigned state = UIControlStateNormal);
    void setTitleColor(std::shared_ptr<UIColor> color, unsigned state = UIControlStateNormal);
    void setTitleShadowColor(std::shared_ptr<UIColor> color, unsigned state = UIControlStateNormal);
    void setImage(std::shared_ptr<UIImage> image, unsigned state = UIControlStateNormal);
    void setBackgroundImage(std::shared_ptr<UIImage> image, unsigned state = UIControlStateNormal);
    // The value for a state, falling back to the normal state's (empty/null when none).
    std::string titleForState(unsigned state) const;
    std::shared_ptr<UIColor> titleColorForState(unsigned state) const;
    std::shared_ptr<UIImage> imageForState(unsigned state) const;
    std::shared_ptr<UIImage> backgroundImageForState(unsigned state) const;
    std::string currentTitle() const { return titleForState(state()); }
    std::shared_ptr<UIImage> currentImage() const { return imageForState(state()); }
    std::shared_ptr<UIImage> currentBackgroundImage() const { return backgroundImageForState(state()); }

    UILabel* titleLabel() const { return titleLabel_.get(); }
    UIImageView* imageView() const { return imageView_.get(); }
    // Sets the title label's font (UIKit's older `font` property).
    void setFont(std::shared_ptr<UIFont> font);
    UIEdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(UIEdgeInsets e) {
        contentInsets_ = e;
        setNeedsLayout();
    }
    UIEdgeInsets titleEdgeInsets() const { return titleInsets_; }
    void setTitleEdgeInsets(UIEdgeInsets e) {
        titleInsets_ = e;
        setNeedsLayout();
    }
    UIEdgeInsets imageEdgeInsets() const { return imageInsets_; }
    void setImageEdgeInsets(UIEdgeInsets e) {
        imageInsets_ = e;
        setNeedsLayout();
    }
    bool adjustsImageWhenHighlighted() const { return adjustsWhenHighlighted_; }
    void setAdjustsImageWhenHighlighted(bool a) { adjustsWhenHighlighted_ = a; }
    bool showsTouchWhenHighlighted() const { return showsTouch_; }
    void setShowsTouchWhenHighlighted(bool s) { showsTouch_ = s; }

    void layoutSubviews() override;
    void drawRect(const CGRect& rect) override;
    CGSize sizeThatFits(CGSize size) const override;
    std::string accessibilityText() const override {
        return currentTitle().empty() ? accessibilityLabel() : currentTitle();
    }
    void setHighlighted(bool h) override;
    void setEnabled(bool e) override;
    void setSelected(bool s) override;

private:
    template <class T>
    static T lookup(const std::map<unsigned, T>& m, unsigned state);
    void refresh();
    void applyState();

    UIButtonType type_;
    std::map<unsigned, std::string> titles_;
    std::map<unsigned, std::shared_ptr<UIColor>> titleColors_;
    std::map<unsigned, std::shared_ptr<UIColor>> shadowColors_;
    std::map<unsigned, std::shared_ptr<UIImage>> images_;
    std::map<unsigned, std::shared_ptr<UIImage>> backgrounds_;
    std::shared_ptr<UILabel> titleLabel_;
    std::shared_ptr<UIImageView> imageView_;
    UIEdgeInsets contentInsets_, titleInsets_, imageInsets_;
    bool adjustsWhenHighlighted_ = true;
    bool showsTouch_ = false;
};
