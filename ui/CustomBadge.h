#pragma once
// A drawn badge: white bold text on a red round-ended shape with a white rim
// and a soft shadow, sized to its text (at least a circle). The caller places
// it by its centre; a new text keeps the centre.
#include "platform/uikit/UIView.h"

class CustomBadge : public UIView {
public:
    explicit CustomBadge(const std::string& text);
    static std::shared_ptr<CustomBadge> customBadgeWithString(const std::string& text);
    std::string className() const override { return "CustomBadge"; }

    const std::string& badgeText() const { return text_; }
    void setBadgeText(const std::string& text);
    void setBadgeInsetColor(std::shared_ptr<UIColor> c) {
        inset_ = std::move(c);
        setNeedsDisplay();
    }
    void setBadgeFrameColor(std::shared_ptr<UIColor> c) {
        frame_ = std::move(c);
        setNeedsDisplay();
    }
    void setBadgeTextColor(std::shared_ptr<UIColor> c) {
        textColor_ = std::move(c);
        setNeedsDisplay();
    }

    static constexpr double kHeight = 25;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return text_; }

private:
    void resize();
    std::string text_;
    std::shared_ptr<UIColor> inset_, frame_, textColor_;
};
