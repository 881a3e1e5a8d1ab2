#pragma once
// A sheet holding a one-wheel picker of texts (VTASheetPicker, "取消" and
// "确定"), as the fund forms choose a held fund, a large-redemption handling,
// a dividend method or a fund company. Each show makes a new picker with the
// rows as they are then, the row given preselected; "确定" (index 0) reports
// the sheet's tag and the selected row, every button reports that the sheet
// went.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIPickerView.h"

class UIView;
class VTASheetPicker;

class FundPickerSheet : public UIPickerViewDataSource, public UIPickerViewDelegate, public UIActionSheetDelegate {
public:
    using Chosen = std::function<void(int tag, int row)>;
    using Closed = std::function<void(int tag)>;

    explicit FundPickerSheet(Chosen chosen, Closed closed = {});
    ~FundPickerSheet() override;
    FundPickerSheet(const FundPickerSheet&) = delete;
    FundPickerSheet& operator=(const FundPickerSheet&) = delete;

    // The picker's own tag may differ from the sheet's (pickerTag < 0: the sheet's).
    void show(UIView& view, int tag, const std::string& title, std::vector<std::string> rows, int selected,
              int pickerTag = -1);
    // Closes a sheet still up, as its "取消" would.
    void dismiss();
    bool isVisible() const;
    UIPickerView* picker() const { return picker_.get(); }
    VTASheetPicker* sheet() const { return sheet_.get(); }

    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView&, int) override { return static_cast<int>(rows_.size()); }
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

private:
    void release();

    Chosen chosen_;
    Closed closed_;
    std::vector<std::string> rows_;
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<VTASheetPicker> sheet_;
};
