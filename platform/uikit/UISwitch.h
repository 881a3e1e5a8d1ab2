#pragma once
// The on/off switch (94 x 27): a tap flips it and sends value-changed. It
// reads as a Chinese phone shows it: "开" beside the knob when on, "关" when off.
#include "platform/uikit/UIControl.h"

class UISwitch : public UIControl {
public:
    explicit UISwitch(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UISwitch"; }
    bool isOn() const { return on_; }
    // Programmatic: no value-changed event.
    void setOn(bool on, bool animated = false);
    void setFrame(const CGRect& frame) override;
    CGSize sizeThatFits(CGSize) const override { return CGSizeMake(94, 27); }
    void drawRect(const CGRect& rect) override;
    static constexpr const char* kOnText = "开";
    static constexpr const char* kOffText = "关";
    std::string accessibilityText() const override { return on_ ? kOnText : kOffText; }

protected:
    void endTrackingWithTouch(UITouch* touch, UIEvent* event) override;

private:
    bool on_ = false;
};
