#pragma once
// A button drawn as a rounded gradient in its tint colour, brighter at the
// top; pressed it darkens, disabled it fades. Titles are dark, or white with
// useWhiteLabel.
#include "platform/uikit/UIButton.h"

enum class UIGlossyButtonGradientType {
    LinearSmoothStandard = 0,  // smooth top-to-bottom shade
    LinearGlossyStandard = 1,  // a glossy upper half
    LinearSmoothExtreme = 2,   // stronger shade
    LinearSmoothBrightToNormal = 3,
    SolidColor = 4,
};

class UIGlossyButton : public UIButton {
public:
    explicit UIGlossyButton(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UIGlossyButton"; }

    void useWhiteLabel(bool white);
    const std::shared_ptr<UIColor>& tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c);
    UIGlossyButtonGradientType gradientType() const { return gradient_; }
    void setGradientType(UIGlossyButtonGradientType t) {
        gradient_ = t;
        setNeedsDisplay();
    }
    double buttonCornerRadius() const { return radius_; }
    void setButtonCornerRadius(double r) {
        radius_ = r;
        setNeedsDisplay();
    }
    // The look of an action-sheet button in the colour: glossy, white bold
    // title, rounded 8, a dark rim.
    void setActionSheetButtonWithColor(std::shared_ptr<UIColor> color);

    void drawRect(const CGRect& rect) override;

private:
    std::shared_ptr<UIColor> tint_;
    UIGlossyButtonGradientType gradient_ = UIGlossyButtonGradientType::LinearSmoothStandard;
    double radius_ = 6;
    bool rim_ = false;
};
