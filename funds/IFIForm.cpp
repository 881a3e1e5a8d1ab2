#include "funds/IFIForm.h"

#include "platform/uikit/UIDatePicker.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/TradePickerStrip.h"

namespace {
constexpr const char* kNoDatesText = "请选择开始日期和结束日期";
}

IFIForm::IFIForm(int orderTag, bool takesRiskWarning, double defaultSpan) : FundForm(orderTag, takesRiskWarning) {
    const NSDate now = NSDate::date();
    dates_[0] = now;
    dates_[1] = now.dateByAddingTimeInterval(defaultSpan);
}

IFIForm::~IFIForm() {
    if (dateTab_) {
        dateTab_->setDelegate(nullptr);
        dateTab_->removeFromSuperview();
    }
    if (datePicker_) datePicker_->removeTarget(this);
    if (periodSeg_) periodSeg_->removeTarget(this);
}

VTATextField* IFIForm::investAmountTF() {
    view();
    return amountField_.get();
}

UISegmentedControl* IFIForm::payPeriodSeg() {
    view();
    return periodSeg_.get();
}

std::string IFIForm::amountText() const { return amountField_->getText(); }

bool IFIForm::weekly() const { return !periodSeg_ || periodSeg_->selectedSegmentIndex() == 0; }

std::string IFIForm::payDate() const { return planPayDayTitle(weekly(), payDay_); }

// ---- the fields ----

void IFIForm::buildPlanFields() {
    amountField_ = inputField(10, "<定投金额>", 2, "元");
    scrollsForKeyboard(amountField_.get());
    startLabel_ = valueLabel();
    endLabel_ = valueLabel();
    payDayLabel_ = valueLabel();
    periodSeg_ = std::make_shared<UISegmentedControl>(std::vector<std::string>{"按周", "按月"});
    periodSeg_->setFrame(CGRectMake(0, 0, 100, 32));
    periodSeg_->setSegmentedControlStyle(UISegmentedControlStyle::Bordered);
    periodSeg_->setSelectedSegmentIndex(0);
    periodSeg_->addTarget(
        this, [this](UIControl&) { periodChanged(); }, UIControlEventValueChanged);
    payDayStrip_ = std::make_unique<TradePickerStrip>([this] { return planPayDayTitles(weekly()); },
                                                      [this](int row) {
                                                          payDay_ = row + 1;
                                                          refreshPlanRows();
                                                      });
    payDayStrip_->tab()->setDelegate(this);
    if (dates_[0]) startDate_ = dateFormatter_.stringFromDate(*dates_[0]);
    if (dates_[1]) endDate_ = dateFormatter_.stringFromDate(*dates_[1]);
    refreshPlanRows();
}

std::shared_ptr<UITableViewCell> IFIForm::amountRow() { return formRow("定投金额", amountField_); }
std::shared_ptr<UITableViewCell> IFIForm::startRow() { return formRow("开始日期", startLabel_, true); }
std::shared_ptr<UITableViewCell> IFIForm::endRow() { return formRow("结束日期", endLabel_, true); }
std::shared_ptr<UITableViewCell> IFIForm::periodRow() { return formRow("扣款周期", periodSeg_); }
std::shared_ptr<UITableViewCell> IFIForm::payDayRow() { return formRow("扣款日", payDayLabel_, true); }

void IFIForm::refreshPlanRows() {
    startLabel_->setText(startDate_);
    endLabel_->setText(endDate_);
    payDayLabel_->setText(payDate());
}

void IFIForm::loadPlan(const std::string& begin, const std::string& end, bool weeklyPlan, int payDay) {
    dates_[0] = dateFormatter_.dateFromString(begin);
    dates_[1] = dateFormatter_.dateFromString(end);
    startDate_ = dates_[0] ? begin : "";
    endDate_ = dates_[1] ? end : "";
    periodSeg_->setSelectedSegmentIndex(weeklyPlan ? 0 : 1);
    payDay_ = payDay;
    refreshPlanRows();
}

// ---- the pickers ----

void IFIForm::openDatePicker(bool start, double offset) {
    if (!dates_[start ? 0 : 1]) return;  // no date to turn from
    if (!datePicker_) {
        datePicker_ = std::make_shared<UIDatePicker>(CGRectMake(0, 0, 320, 216));
        datePicker_->setDatePickerMode(UIDatePickerMode::Date);
        datePicker_->addTarget(
            this, [this](UIControl&) { dateChangedAction(); }, UIControlEventValueChanged);
        dateTab_ = QZTabView::initWithDatePicker(datePicker_);
        dateTab_->setDelegate(this);
    }
    pickingStart_ = start;
    datePicker_->setMinimumDate(dates_[0]);
    datePicker_->setDate(*dates_[start ? 0 : 1], true);
    if (dateTab_->superview() != view().get()) view()->addSubview(dateTab_);
    payDayStrip_->slideDown();
    closeOwnStrips();
    view()->endEditing(true);
    formTable()->setContentOffset(CGPointMake(0, offset), true);
    if (!dateTab_->open()) dateTab_->slideUp();
}

void IFIForm::dateChangedAction() {
    const NSDate date = datePicker_->date();
    const std::string text = dateFormatter_.stringFromDate(date);
    if (pickingStart_) {
        dates_[0] = date;
        startDate_ = text;
        // The plan cannot end before it starts: the end moves along.
        if (!endDate_.empty() && endDate_ < startDate_) {
            dates_[1] = date;
            endDate_ = text;
        }
    } else {
        dates_[1] = date;
        endDate_ = text;
    }
    refreshPlanRows();
}

void IFIForm::openPayDayPicker() {
    if (dateTab_) dateTab_->slideDown();
    closeOwnStrips();
    view()->endEditing(true);
    payDayStrip_->showIn(*view(), payDay_ - 1);
}

void IFIForm::periodChanged() {
    payDay_ = 1;
    refreshPlanRows();
    if (payDayStrip_->isOpen()) payDayStrip_->showIn(*view(), 0);
}

void IFIForm::closeStrips() {
    if (dateTab_) dateTab_->slideDown();
    if (payDayStrip_) payDayStrip_->slideDown();
    closeOwnStrips();
}

void IFIForm::tabViewDidSlideDown(QZTabView&) {
    if (auto selected = formTable()->indexPathForSelectedRow()) formTable()->deselectRowAtIndexPath(*selected, true);
    formTable()->setContentOffset(CGPointMake(0, 0), true);
}

void IFIForm::viewWillDisappear(bool animated) {
    closeStrips();
    FundForm::viewWillDisappear(animated);
}

// ---- the order ----

std::string IFIForm::orderRefusal() {
    if (std::string refusal = planRefusal(); !refusal.empty()) return refusal;
    if (std::string refusal = investAmountRefusal(amountField_->getText()); !refusal.empty()) return refusal;
    if (startDate_.empty() || endDate_.empty()) return kNoDatesText;
    pending_ = currentPlan();
    pending_.amount = amountField_->getText();
    pending_.beginDate = startDate_;
    pending_.endDate = endDate_;
    pending_.weekly = weekly();
    pending_.payDay = payDay_;
    return "";
}

std::string IFIForm::orderSummary() const { return planSummary(operationName(), pending_); }

void IFIForm::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    closeStrips();
    FundForm::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
}
