#pragma once
// The older margin forms' pickers (the margin order form and the forms of
// repayment): the shareholder account or the order type picked on a sheet
// (VTASheetPicker, "取消" and "确定") that opens on the current choice;
// "确定" takes the wheel's row, and an empty list takes nothing. The sheet
// closes when the form leaves.
#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/UIPickerView.h"
#include "trade/TradeOrderScreen.h"

class VTASheetPicker;

class MarginPickerForm : public TradeOrderScreen, public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    static constexpr int kStockholderPickerTag = 0;
    static constexpr int kPriceTypePickerTag = 1;

    ~MarginPickerForm() override;

    // The picker sheet on screen (null when none).
    VTASheetPicker* pickerSheet() const { return pickerSheet_.get(); }
    UIPickerView* sheetPicker() const { return sheetPicker_.get(); }

    void viewWillDisappear(bool animated) override;
    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) override;
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

protected:
    using TradeOrderScreen::TradeOrderScreen;
    // The maximum is the stock information's, asked without a price; a buy
    // form that offers market types asks it again at the limit-up price.
    std::optional<RequestBuilder> makeMaximumRequest(const std::optional<std::string>&) const override {
        return std::nullopt;
    }
    // The sheets of the two pickers, on the current choice.
    void showStockholderPicker();
    void showPriceTypePicker();

private:
    void showPicker(int tag, const std::string& title, int row);
    void closePicker();

    std::shared_ptr<UIPickerView> sheetPicker_;
    std::shared_ptr<VTASheetPicker> pickerSheet_;
};
