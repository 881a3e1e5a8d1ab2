#pragma once
// A picker of one wheel in a strip that slides up from the bottom of a view
// (QZTabView): the account-type and saved-account pickers of the trade forms.
// The titles are asked for each time the strip is shown; the wheel settling
// on a row reports it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIPickerView.h"

class QZTabView;
class UIView;

class TradePickerStrip : public UIPickerViewDataSource, public UIPickerViewDelegate {
public:
    using Titles = std::function<std::vector<std::string>()>;
    using Picked = std::function<void(int row)>;

    TradePickerStrip(Titles titles, Picked picked);
    ~TradePickerStrip() override;
    TradePickerStrip(const TradePickerStrip&) = delete;
    TradePickerStrip& operator=(const TradePickerStrip&) = delete;

    // Puts the strip in the view (once), selects the row and slides it up.
    void showIn(UIView& view, int row);
    void slideDown();
    bool isOpen() const;
    UIPickerView* picker() const { return picker_.get(); }
    QZTabView* tab() const { return tab_.get(); }

    int numberOfComponentsInPickerView(UIPickerView&) override { return 1; }
    int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) override;
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;
    void pickerViewDidSelectRow(UIPickerView& picker, int row, int component) override;

private:
    Titles titles_;
    Picked picked_;
    std::vector<std::string> shown_;
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<QZTabView> tab_;
};
