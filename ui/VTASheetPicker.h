#pragma once
// An action sheet holding a picker under its title: the other button ("确定")
// has index 0, the cancel button ("取消") index 1. The delegate hears
// actionSheetClickedButtonAtIndex; `picker` is the held picker.
#include "platform/uikit/UIActionSheet.h"

class VTASheetPicker : public UIActionSheet {
public:
    VTASheetPicker(const std::string& title, std::shared_ptr<UIView> customePicker, UIActionSheetDelegate* delegate,
                   const std::string& cancelButtonTitle, const std::string& otherButtonTitle);
    std::string className() const override { return "VTASheetPicker"; }

    const std::shared_ptr<UIView>& picker() const { return picker_; }
    void layoutSubviews() override;

private:
    std::shared_ptr<UIView> picker_;
};
