#include "funds/VTAJJExchangeViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/WealthContract.h"
#include "funds/FundRules.h"
#include "funds/HeldFunds.h"
#include "funds/WealthRules.h"
#include "platform/uikit/UILabel.h"
#include "ui/Alerts.h"

namespace Col = FundContract::Col;

namespace {

std::shared_ptr<UILabel> leftLabel(std::shared_ptr<UILabel> label) {
    label->setTextAlignment(UITextAlignment::Left);
    return label;
}

}  // namespace

VTAJJExchangeViewController::VTAJJExchangeViewController()
    : FundForm(kOrderTag, false), pickers_([this](int tag, int row) { picked(tag, row); }) {
    bindRequest(kHoldingsTag, [this](const RequestReply& r) { holdingsReplied(r); }, {.handlesErrorSet = true});
    bindRequest(kTargetTag, [this](const RequestReply& r) { targetReplied(r); }, {.handlesErrorSet = true});
}

UILabel* VTAJJExchangeViewController::fundName() {
    view();
    return fundName_.get();
}
UILabel* VTAJJExchangeViewController::fundCode() {
    view();
    return fundCode_.get();
}
VTATextField* VTAJJExchangeViewController::newFundCode() {
    view();
    return newFundCode_.get();
}
UILabel* VTAJJExchangeViewController::newFundName() {
    view();
    return newFundName_.get();
}
UILabel* VTAJJExchangeViewController::numCanUsed() {
    view();
    return numCanUsed_.get();
}
VTATextField* VTAJJExchangeViewController::numOfChange() {
    view();
    return numOfChange_.get();
}
UILabel* VTAJJExchangeViewController::typeLabel() {
    view();
    return typeLabel_.get();
}

// ---- the form ----

void VTAJJExchangeViewController::buildForm() {
    fundName_ = leftLabel(valueLabel(UIColor::blueColor()));
    fundCode_ = leftLabel(valueLabel(UIColor::blueColor()));
    newFundName_ = leftLabel(valueLabel());
    numCanUsed_ = leftLabel(valueLabel());
    typeLabel_ = leftLabel(valueLabel(UIColor::blueColor()));
    typeLabel_->setText(typeArray_.front());
    newFundCode_ = inputField(6, "<代码>", 4);
    numOfChange_ = inputField(10, "<份额>", 2, "份");
    scrollsForKeyboard(numOfChange_.get());
    watchFields({newFundCode_.get(), numOfChange_.get()});
}

std::shared_ptr<UITableViewCell> VTAJJExchangeViewController::formCell(int row) {
    switch (row) {
        case 0:
            return formRow("基金名称", fundName_, true);
        case 1:
            return formRow("转出代码", fundCode_);
        case 2:
            return formRow("转入代码", newFundCode_);
        case 3:
            return formRow("基金名称", newFundName_);
        case 4:
            return formRow("可用份额", numCanUsed_);
        case 5:
            return formRow("转换份额", numOfChange_);
        default:
            return formRow("巨额方式", typeLabel_, true);
    }
}

void VTAJJExchangeViewController::formRowTapped(int row) {
    view()->endEditing(true);
    if (row == 0)
        pickers_.show(*view(), kFundPickerTag, "请选择您要转换的基金", myFunds_,
                      rowOfText(myFunds_, fundName_->text()));
    else if (row == 6)
        pickers_.show(*view(), kTypePickerTag, "请选择巨额方式", typeArray_, rowOfText(typeArray_, typeLabel_->text()));
}

void VTAJJExchangeViewController::picked(int tag, int row) {
    if (tag == kTypePickerTag) {
        typeLabel_->setText(typeArray_[row]);
        return;
    }
    auto funds = sessionHeldFunds();
    if (!funds || row >= funds->rowsAffected()) return;
    funds->moveToIndex(row);
    showHolding(*funds);
}

void VTAJJExchangeViewController::showHolding(VTATCRS& set) {
    fundName_->setText(fieldText(set, Col::kFundName));
    fundCode_->setText(fieldText(set, Col::kFundCode));
    numCanUsed_->setText(fieldText(set, Col::kAvailableUnits) + "份");
}

// ---- the funds held and the target ----

void VTAJJExchangeViewController::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);
    view();
    auto funds = sessionHeldFunds();
    if (funds && !funds->isError() && funds->rowsAffected() > 0) {
        setFrameStatus(1);
        funds->fetchFirst();
        myFunds_ = heldFundNames(*funds);
        showHolding(*funds);
        return;
    }
    setFrameStatus(0);
    requestFundExchange();
}

void VTAJJExchangeViewController::viewWillDisappear(bool animated) {
    pickers_.dismiss();
    FundForm::viewWillDisappear(animated);
}

void VTAJJExchangeViewController::myTextFieldReachMax(VTATextField& field, int) {
    if (&field != newFundCode_.get() || isOrdering()) return;
    setFrameStatus(1);
    requestFundExchange();
}

void VTAJJExchangeViewController::requestFundExchange() {
    view();
    if (isOrdering()) {
        sendOrder();
    } else if (frameStatus() == 0) {
        sendQuery(kHoldingsTag, heldFundsRequest(), 5);
    } else if (!newFundCode_->text().empty()) {
        RequestBuilder r = RequestBuilder::trade(WealthContract::kFundQuery.sub);
        r.add(FundContract::Key::kFundCode, newFundCode_->text());
        sendQuery(kTargetTag, r, 5);
    }
}

void VTAJJExchangeViewController::holdingsReplied(const RequestReply& reply) {
    auto set = heldFundsOfReply(reply, kNoFundsText);
    if (!set) return;
    setFrameStatus(1);
    keepHeldFunds(set);
    set->fetchFirst();
    myFunds_ = heldFundNames(*set);
    showHolding(*set);
}

void VTAJJExchangeViewController::targetReplied(const RequestReply& reply) {
    VTATCRS* fund = reply.first();
    if (fund && fund->isError()) {
        showAlert(fund->getError());
        return;
    }
    if (!fund || fund->rowsAffected() == 0) {
        showAlert(kUnknownFundText);
        return;
    }
    newFundName_->setText(fieldText(*fund, Col::kFundName));
}

// ---- the order ----

std::string VTAJJExchangeViewController::orderRefusal() {
    if (newFundCode()->getText().empty()) return kNoFundCodeText;
    if (fundCode_->text().empty()) return kNoHeldFundText;
    if (!isPositiveDecimal(numOfChange_->getText())) return kBadUnitsText;
    return "";
}

std::string VTAJJExchangeViewController::orderSummary() const {
    return conversionSummary(fundCode_->text(), fundName_->text(), newFundCode_->text(), newFundName_->text(),
                             numOfChange_->text());
}

std::optional<RequestBuilder> VTAJJExchangeViewController::orderRequest() {
    if (std::string refusal = orderRefusal(); !refusal.empty()) {
        showAlert(refusal);
        return std::nullopt;
    }
    RequestBuilder r = RequestBuilder::trade(WealthContract::kConversion.sub);
    r.add(FundContract::Key::kFundCode, fundCode_->text())
        .add(FundContract::Key::kUnits, numOfChange_->getText())
        .add(WealthContract::Key::kOtherFund, newFundCode_->getText())
        .add(FundContract::Key::kRedeemType, rowOfText(typeArray_, typeLabel_->text()));
    numOfChange_->setText("");
    return r;
}

void VTAJJExchangeViewController::orderSucceeded(const RequestReply& reply) {
    forgetHeldFunds();  // the units held changed
    FundForm::orderSucceeded(reply);
}
