#pragma once
// A round tick box of the older lists (30 x 37 in the grids). An enabled button
// toggles on a tap of its own; a disabled one never changes by touch and is
// drawn dimmed. Inside a VTATableView the grid toggles it on a double tap.
#include "platform/uikit/UIControl.h"

class VTARadioButton : public UIControl {
public:
    explicit VTARadioButton(const CGRect& frame = CGRectMake(0, 0, 30, 37));
    std::string className() const override { return "VTARadioButton"; }

    void setEnable(bool enable);
    bool isEnable() const { return enable_; }
    bool isSeclected() const { return isSelected(); }
    void setSelected(bool selected) override;
    // Flips the selection when enabled; true when it changed.
    bool toggle();

    void drawRect(const CGRect& rect) override;

protected:
    void endTrackingWithTouch(UITouch* touch, UIEvent* event) override;

private:
    bool enable_ = true;
};
