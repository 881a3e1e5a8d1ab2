#pragma once
// The buttons of alerts and action sheets (toolkit-internal).
#include "platform/uikit/UIButton.h"

enum class PopupButtonStyle { Alert, AlertCancel, Sheet, SheetDestructive, SheetCancel };

class PopupButton : public UIButton {
public:
    PopupButton(const std::string& title, PopupButtonStyle style);
    std::string className() const override { return "UIThreePartButton"; }
    void drawRect(const CGRect& rect) override;

private:
    PopupButtonStyle style_;
};
