#include "funds/FundPickerSheet.h"

#include "ui/VTASheetPicker.h"

FundPickerSheet::FundPickerSheet(Chosen chosen, Closed closed)
    : chosen_(std::move(chosen)), closed_(std::move(closed)) {}

FundPickerSheet::~FundPickerSheet() { release(); }

void FundPickerSheet::release() {
    if (picker_) {
        picker_->setDataSource(nullptr);
        picker_->setDelegate(nullptr);
    }
    if (sheet_) sheet_->setDelegate(static_cast<UIActionSheetDelegate*>(nullptr));
}

void FundPickerSheet::show(UIView& view, int tag, const std::string& title, std::vector<std::string> rows, int selected,
                           int pickerTag) {
    if (isVisible()) sheet_->dismissWithClickedButtonIndex(1, false);
    release();
    rows_ = std::move(rows);
    picker_ = std::make_shared<UIPickerView>();
    picker_->setTag(pickerTag < 0 ? tag : pickerTag);
    picker_->setShowsSelectionIndicator(true);
    picker_->setDataSource(this);
    picker_->setDelegate(this);
    if (selected >= 0 && selected < static_cast<int>(rows_.size())) picker_->selectRow(selected, 0, false);
    sheet_ = std::make_shared<VTASheetPicker>(title, picker_, this, "取消", "确定");
    sheet_->setTag(tag);
    sheet_->showInView(&view);
}

void FundPickerSheet::dismiss() {
    if (isVisible()) sheet_->dismissWithClickedButtonIndex(1, false);
}

bool FundPickerSheet::isVisible() const { return sheet_ && sheet_->isVisible(); }

std::string FundPickerSheet::pickerViewTitleForRow(UIPickerView&, int row, int) {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row] : "";
}

void FundPickerSheet::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    const int tag = sheet.tag();
    if (buttonIndex == 0 && picker_) {
        const int row = picker_->selectedRowInComponent(0);
        if (row >= 0 && row < static_cast<int>(rows_.size()) && chosen_) chosen_(tag, row);
    }
    if (closed_) closed_(tag);
}
