#include "margin/MarginAutoRepaymentViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginRepayRules.h"
#include "platform/uikit/UISwitch.h"

namespace Col = MarginContract::Col;

namespace {
constexpr const char* kOn = "开通";
constexpr const char* kOff = "关闭";
}  // namespace

MarginAutoRepaymentViewController::MarginAutoRepaymentViewController() {
    bindRequest(kStatusTag, [this](const RequestReply& r) { statusArrived(r); });
    bindRequest(kSetTag, [this](const RequestReply& r) { setArrived(r); },
                {.order = true, .unknownOutcomeText = kUnknownOutcomeText});
}

MarginAutoRepaymentViewController::~MarginAutoRepaymentViewController() {
    if (table_) {
        table_->setDataSource(nullptr);
        table_->setDelegate(nullptr);
    }
}

UISwitch* MarginAutoRepaymentViewController::repaySwitch() {
    view();
    return switch_.get();
}

UITableView* MarginAutoRepaymentViewController::tableView() {
    view();
    return table_.get();
}

void MarginAutoRepaymentViewController::viewWillDidLoad() {
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setScrollEnabled(false);
    switch_ = std::make_shared<UISwitch>(CGRectMake(200, 8, 94, 28));
    switch_->setEnabled(false);  // until the brokerage said what it is
    switch_->addTarget(
        this, [this](UIControl&) { repayAction(); }, UIControlEventValueChanged);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

std::string MarginAutoRepaymentViewController::tableViewTitleForHeaderInSection(UITableView&, int) {
    return "当前自动还款设置为:" + currentStatus_.value_or(" ");
}

std::shared_ptr<UITableViewCell> MarginAutoRepaymentViewController::tableViewCellForRowAtIndexPath(UITableView&,
                                                                                                   const NSIndexPath&) {
    auto cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "Cell");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->textLabel()->setText("现在设置自动还款为:");
    cell->contentView()->addSubview(switch_);
    return cell;
}

void MarginAutoRepaymentViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    requestStatus();
}

void MarginAutoRepaymentViewController::requestStatus() { sendRequest(kStatusTag, marginAutoRepayStatusRequest(), 4); }

void MarginAutoRepaymentViewController::statusArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) return;
    const bool on = set->toStringWithFieldName(Col::kRepayFlag).value_or("") == "1";
    currentStatus_ = on ? kOn : kOff;
    switch_->setOn(on);
    switch_->setEnabled(true);
    table_->reloadData();
}

void MarginAutoRepaymentViewController::repayAction() {
    // One setting at a time: the switch waits for the brokerage's answer.
    if (sendRequest(kSetTag, marginAutoRepaySetRequest(switch_->isOn()), 4))
        switch_->setEnabled(false);
    else
        restoreSwitch();
}

void MarginAutoRepaymentViewController::setArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (set && !set->toStringWithFieldName(Col::kMessageOk).value_or("").empty())
        requestStatus();
    else
        restoreSwitch();
}

void MarginAutoRepaymentViewController::restoreSwitch() {
    if (!currentStatus_) return;
    switch_->setOn(*currentStatus_ == kOn);
    switch_->setEnabled(true);
}

void MarginAutoRepaymentViewController::requestDidFail(const RequestFailure& failure) {
    // A setting whose answer was lost may have been made: the brokerage says which it is now.
    if (failure.tag == kSetTag)
        failure.outcomeUnknown ? requestStatus() : restoreSwitch();
    else if (currentStatus_)
        switch_->setEnabled(true);  // the state asked after a setting did not come: the switch stays as set
    VTAViewControllers::requestDidFail(failure);
}
