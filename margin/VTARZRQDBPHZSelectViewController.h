#pragma once
// The collateral transfer list ("rzrq_dbphz", 担保品划转): the shares that may
// move in the chosen direction, "划出信用帐户" ("0", at first) or
// "划入信用帐户" ("1"), picked with "划转方向" on a sheet; the title says it
// ("担保品划转-划出" / "担保品划转-划入"), the menu item bringing none. The
// request is the base list's with "busiflag" the direction, request type 4;
// a new direction asks from the first page. "确定" opens the transfer form
// for the selected row ("stkcode", "stkname", "stkavl", "market").
#include "core/VTAChoice.h"
#include "margin/MarginQueryList.h"
#include "platform/uikit/UIPickerView.h"

class VTASheetPicker;

class VTARZRQDBPHZSelectViewController : public MarginStockList,
                                         public UIPickerViewDataSource,
                                         public UIPickerViewDelegate {
public:
    VTARZRQDBPHZSelectViewController();
    ~VTARZRQDBPHZSelectViewController() override;

    const std::string& dirTypeValue() const { return dirTypeValue_; }
    const std::string& dirTypeDesc() const { return dirTypeDesc_; }
    VTASheetPicker* dirSheet() const { return dirSheet_.get(); }
    UIPickerView* dirPicker() const { return dirPicker_.get(); }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    RequestBuilder tradeInfoRequest() const override;
    void onCommandOK() override;
    // "划转方向": the direction picker on a sheet.
    void onChoiceDir();
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int) override { return dirChoice_.count(); }
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;

protected:
    std::shared_ptr<VTAViewControllers> formFor(VTATCRS& record) override;
    std::string formTitle() const override { return "担保品划转交易"; }

private:
    void chooseDirection(int row);
    void closeSheet();

    VTAChoice dirChoice_;
    std::string dirTypeValue_, dirTypeDesc_;
    std::shared_ptr<UIPickerView> dirPicker_;
    std::shared_ptr<VTASheetPicker> dirSheet_;
};
