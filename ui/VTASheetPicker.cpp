#include "ui/VTASheetPicker.h"

VTASheetPicker::VTASheetPicker(const std::string& title, std::shared_ptr<UIView> customePicker,
                               UIActionSheetDelegate* delegate, const std::string& cancelButtonTitle,
                               const std::string& otherButtonTitle)
    : UIActionSheet(title, delegate, cancelButtonTitle, std::nullopt, {otherButtonTitle}),
      picker_(std::move(customePicker)) {
    if (picker_) {
        setExtraContentHeight(picker_->frame().size.height > 0 ? picker_->frame().size.height : 216);
        addSubview(picker_);
    }
}

void VTASheetPicker::layoutSubviews() {
    UIActionSheet::layoutSubviews();
    if (picker_) {
        CGRect area = extraContentFrame();
        picker_->setFrame(area);
        bringSubviewToFront(picker_.get());
    }
}
