#pragma once
// What the two fixed-investment plan forms share (the opening form
// IFIOpenViewController and the modification form IFIModifyViewController):
// a fund form (FundForm.h) with the plan's amount, its start and end dates, a
// weekly or monthly period and the pay day within it.
//
// The dates are yyyyMMdd in the customer's calendar; each date row opens a
// date picker in a strip sliding up from the bottom (the start date is the
// earliest either may take); moving the start past the end takes the end
// along. The period segment ("按周", "按月") sets the pay day back to the
// first of the period; the pay-day row opens a picker of Monday to Friday or
// 1号 to 28号. The pay day a form was loaded with (a plan's own, even a
// Saturday) stays until the customer picks another or changes the period.
//
// The order is the plan as the customer confirmed it (pending): the sheet
// shows it, the request carries it, and a resend after the risk warning
// carries the same plan though the amount field was emptied meanwhile.
#include <memory>
#include <optional>
#include <string>

#include "funds/FundForm.h"
#include "funds/PlanRules.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSDateFormatter.h"
#include "ui/QZTabView.h"

class TradePickerStrip;
class UIDatePicker;
class UISegmentedControl;

class IFIForm : public FundForm, public QZTabViewDelegate {
public:
    ~IFIForm() override;

    VTATextField* investAmountTF();
    UISegmentedControl* payPeriodSeg();
    UIDatePicker* datePicker() const { return datePicker_.get(); }
    QZTabView* datePickerTab() const { return dateTab_.get(); }
    TradePickerStrip* payDatePicker() const { return payDayStrip_.get(); }
    const std::string& startDate() const { return startDate_; }
    const std::string& endDate() const { return endDate_; }
    // The pay day shown ("星期一", "15号").
    std::string payDate() const;
    int payDay() const { return payDay_; }
    bool weekly() const;
    // The plan confirmed last (the one the order carries).
    const PlanOrder& pendingPlan() const { return pending_; }

    void viewWillDisappear(bool animated) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    void tabViewDidSlideDown(QZTabView& tab) override;

protected:
    IFIForm(int orderTag, bool takesRiskWarning, double defaultSpan);

    // Makes the shared fields; the form calls it from buildForm.
    void buildPlanFields();
    // The shared rows' cells.
    std::shared_ptr<UITableViewCell> amountRow();
    std::shared_ptr<UITableViewCell> startRow();
    std::shared_ptr<UITableViewCell> endRow();
    std::shared_ptr<UITableViewCell> periodRow();
    std::shared_ptr<UITableViewCell> payDayRow();
    // The pickers of the date rows and the pay-day row; `offset` the table's scroll.
    void openDatePicker(bool start, double offset);
    void openPayDayPicker();
    // Slides every open strip down (a form's own strips too: closeOwnStrips).
    void closeStrips();
    virtual void closeOwnStrips() {}
    // Loads dates (yyyyMMdd; one that does not read leaves its row empty),
    // the period and the pay day.
    void loadPlan(const std::string& begin, const std::string& end, bool weekly, int payDay);

    std::string amountText() const;
    // The plan of the form's fields as they stand, for `pending`.
    virtual PlanOrder currentPlan() const = 0;
    // The form's own checks before the shared ones ("" when they pass).
    virtual std::string planRefusal() const = 0;
    virtual std::string operationName() const = 0;
    std::string orderRefusal() final;
    std::string orderSummary() const final;

    PlanOrder pending_;
    NSDateFormatter dateFormatter_{"yyyyMMdd"};

private:
    void dateChangedAction();
    void periodChanged();
    void refreshPlanRows();

    std::shared_ptr<VTATextField> amountField_;
    std::shared_ptr<UILabel> startLabel_, endLabel_, payDayLabel_;
    std::shared_ptr<UISegmentedControl> periodSeg_;
    std::shared_ptr<UIDatePicker> datePicker_;
    std::shared_ptr<QZTabView> dateTab_;
    std::unique_ptr<TradePickerStrip> payDayStrip_;
    std::optional<NSDate> dates_[2];
    std::string startDate_, endDate_;
    int payDay_ = 1;
    bool pickingStart_ = true;
};
