#include "funds/IFIModifyViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/PlanContract.h"
#include "platform/uikit/UILabel.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"

IFIModifyViewController::IFIModifyViewController() : IFIForm(kOrderTag, false, kDefaultSpan) {
    bindRequest(kListTag, [this](const RequestReply& r) { listReplied(r); }, {.handlesErrorSet = true});
}

IFIModifyViewController::~IFIModifyViewController() = default;

UILabel* IFIModifyViewController::fundSymbol() {
    view();
    return codeLabel_.get();
}
UILabel* IFIModifyViewController::fundName() {
    view();
    return nameLabel_.get();
}
UILabel* IFIModifyViewController::netValue() {
    view();
    return navLabel_.get();
}

// ---- the form ----

void IFIModifyViewController::buildForm() {
    codeLabel_ = valueLabel();
    nameLabel_ = valueLabel();
    navLabel_ = valueLabel();
    buildPlanFields();
    watchFields({investAmountTF()});
    // No plan is loaded yet: no dates to show.
    loadPlan("", "", true, 1);
    planStrip_ = std::make_unique<TradePickerStrip>(
        [this] {
            std::vector<std::string> titles;
            for (const auto& plan : openedFunds_) titles.push_back(plan.fundName + "(" + plan.fundSymbol + ")");
            return titles;
        },
        [this](int row) { reloadTableViewWithObjectAtIndex(row); });
    planStrip_->tab()->setDelegate(this);
}

std::shared_ptr<UITableViewCell> IFIModifyViewController::formCell(int row) {
    switch (row) {
        case 0:
            return formRow("基金代码", codeLabel_, true);
        case 1:
            return formRow("基金名称", nameLabel_);
        case 2:
            return formRow("净值", navLabel_);
        case 3:
            return amountRow();
        case 4:
            return startRow();
        case 5:
            return endRow();
        case 6:
            return periodRow();
        default:
            return payDayRow();
    }
}

void IFIModifyViewController::formRowTapped(int row) {
    switch (row) {
        case 0:
            openPlanPicker();
            break;
        case 4:
            openDatePicker(true, 160);
            break;
        case 5:
            openDatePicker(false, 160);
            break;
        case 7:
            openPayDayPicker();
            break;
        default:
            break;
    }
}

void IFIModifyViewController::openPlanPicker() {
    closeStrips();
    view()->endEditing(true);
    planStrip_->showIn(*view(), loaded_);
}

void IFIModifyViewController::closeOwnStrips() {
    if (planStrip_) planStrip_->slideDown();
}

// ---- the plans ----

void IFIModifyViewController::viewDidAppear(bool animated) {
    IFIForm::viewDidAppear(animated);
    view();
    if (fundInfo_) {
        openedFunds_ = {*fundInfo_};
        reloadTableViewWithObjectAtIndex(0);
    } else {
        requestOpenedFunds();
    }
}

void IFIModifyViewController::requestOpenedFunds() { sendQuery(kListTag, planListRequest()); }

void IFIModifyViewController::listReplied(const RequestReply& reply) {
    auto plans = plansOfReply(reply);
    if (!plans || plans->empty()) return;  // an empty list leaves the form as it was
    openedFunds_ = std::move(*plans);
    reloadTableViewWithObjectAtIndex(0);
}

void IFIModifyViewController::reloadTableViewWithObjectAtIndex(int index) {
    if (index < 0 || index >= static_cast<int>(openedFunds_.size()) || isOrdering()) return;
    view();
    const IFIFundInfo& plan = openedFunds_[index];
    loaded_ = index;
    codeLabel_->setText(plan.fundSymbol);
    nameLabel_->setText(plan.fundName);
    navLabel_->setText(plan.netValue);
    investAmountTF()->setText(plan.investAmount);
    loadPlan(plan.startDate, plan.endDate, plan.weekly(), plan.payDate);
    formTable()->reloadData();
}

void IFIModifyViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kListTag && failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kPlanNoDataTitle, kPlanNoDataMessage);
        return;
    }
    IFIForm::requestDidFail(failure);
}

// ---- the change ----

std::string IFIModifyViewController::planRefusal() const {
    if (loaded_ < 0) return kNoPlanText;
    return "";
}

PlanOrder IFIModifyViewController::currentPlan() const {
    const IFIFundInfo& plan = openedFunds_[loaded_];
    PlanOrder order;
    order.tacode = plan.fundCompanyCode;
    order.code = plan.fundSymbol;
    order.name = plan.fundName;
    return order;
}

void IFIModifyViewController::orderSucceeded(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    showSuccess(set ? set->toStringWithFieldName(PlanContract::Col::kMessage).value_or("") : "");
}
