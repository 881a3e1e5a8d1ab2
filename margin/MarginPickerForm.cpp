#include "margin/MarginPickerForm.h"

#include <algorithm>

#include "ui/VTASheetPicker.h"

MarginPickerForm::~MarginPickerForm() { closePicker(); }

void MarginPickerForm::viewWillDisappear(bool animated) {
    TradeOrderScreen::viewWillDisappear(animated);
    closePicker();
}

void MarginPickerForm::showStockholderPicker() {
    showPicker(kStockholderPickerTag, "股东代码", stockholders().selected());
}

void MarginPickerForm::showPriceTypePicker() {
    showPicker(kPriceTypePickerTag, "报价方式", std::max(0, priceTypeChoice().indexOfValue(priceType())));
}

void MarginPickerForm::showPicker(int tag, const std::string& title, int row) {
    view()->endEditing(true);
    closePicker();
    sheetPicker_ = std::make_shared<UIPickerView>();
    sheetPicker_->setTag(tag);
    sheetPicker_->setShowsSelectionIndicator(true);
    sheetPicker_->setDataSource(this);
    sheetPicker_->setDelegate(this);
    sheetPicker_->reloadAllComponents();
    if (row >= 0 && row < sheetPicker_->numberOfRowsInComponent(0)) sheetPicker_->selectRow(row, 0, false);
    pickerSheet_ = std::make_shared<VTASheetPicker>(title, sheetPicker_, this, "取消", "确定");
    pickerSheet_->setTag(tag);
    pickerSheet_->showInView(view().get());
}

void MarginPickerForm::closePicker() {
    if (pickerSheet_) {
        pickerSheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
        if (pickerSheet_->isVisible()) pickerSheet_->dismissWithClickedButtonIndex(-1, false);
    }
    if (sheetPicker_) {
        sheetPicker_->setDataSource(nullptr);
        sheetPicker_->setDelegate(nullptr);
    }
    pickerSheet_.reset();
    sheetPicker_.reset();
}

int MarginPickerForm::pickerViewNumberOfRowsInComponent(UIPickerView& picker, int) {
    return picker.tag() == kStockholderPickerTag ? stockholders().count() : reloadPriceTypes();
}

std::string MarginPickerForm::pickerViewTitleForRow(UIPickerView& picker, int row, int) {
    if (picker.tag() == kStockholderPickerTag) return stockholders().display(row);
    const auto& items = priceTypeChoice().items();
    return row >= 0 && row < static_cast<int>(items.size()) ? items[size_t(row)].title() : std::string();
}

void MarginPickerForm::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    if (&sheet != pickerSheet_.get()) {
        TradeOrderScreen::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
        return;
    }
    // "确定" takes the wheel's row (nothing from an empty list); "取消" keeps the choice.
    if (buttonIndex == 0 && sheetPicker_) {
        const int row = sheetPicker_->selectedRowInComponent(0);
        if (sheet.tag() == kStockholderPickerTag)
            chooseStockholder(row);
        else
            choosePriceType(row);
    }
}
