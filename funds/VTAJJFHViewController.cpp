#include "funds/VTAJJFHViewController.h"

#include "core/RequestText.h"
#include "core/VTAMessage.h"
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

std::shared_ptr<UILabel> smallLabel(std::shared_ptr<UILabel> label) {
    label->setFrame(CGRectMake(0, 0, 150, 20));
    return label;
}

}  // namespace

VTAJJFHViewController::VTAJJFHViewController()
    : FundForm(kOrderTag, false), pickers_([this](int tag, int row) { picked(tag, row); }) {
    bindRequest(kHoldingsTag, [this](const RequestReply& r) { holdingsReplied(r); }, {.handlesErrorSet = true});
    bindRequest(kNetValuesTag, [this](const RequestReply& r) { netValuesReplied(r); }, {.handlesErrorSet = true});
}

UILabel* VTAJJFHViewController::fundName() {
    view();
    return fundName_.get();
}
UILabel* VTAJJFHViewController::fundCode() {
    view();
    return fundCode_.get();
}
UILabel* VTAJJFHViewController::fundPrice() {
    view();
    return fundPrice_.get();
}
UILabel* VTAJJFHViewController::fundFH() {
    view();
    return fundFH_.get();
}

// ---- the form ----

void VTAJJFHViewController::buildForm() {
    fundName_ = smallLabel(valueLabel(UIColor::blueColor()));
    fundCode_ = smallLabel(valueLabel());
    fundPrice_ = smallLabel(valueLabel());
    fundFH_ = smallLabel(valueLabel(UIColor::blueColor()));
    fundFH_->setText(fenHongData_.front());
    if (auto funds = sessionHeldFunds(); funds && !funds->isError()) takeHoldings(*funds);
}

std::shared_ptr<UITableViewCell> VTAJJFHViewController::formCell(int row) {
    switch (row) {
        case 0:
            return formRow("基金名称", fundName_, true);
        case 1:
            return formRow("基金代码", fundCode_);
        case 2:
            return formRow("昨日净值", fundPrice_);
        default:
            return formRow("新分红方式", fundFH_, true);
    }
}

void VTAJJFHViewController::formRowTapped(int row) {
    if (row == 0)
        pickers_.show(*view(), kFundPickerTag, "请选择您要设置的基金",
                      myFundsdata_.value_or(std::vector<std::string>{}),
                      rowOfText(myFundsdata_.value_or(std::vector<std::string>{}), fundName_->text()));
    else if (row == 3)
        pickers_.show(*view(), kMethodSheetTag, "选择分红方式", fenHongData_, rowOfText(fenHongData_, fundFH_->text()),
                      kMethodPickerTag);
}

void VTAJJFHViewController::picked(int tag, int row) {
    if (tag == kMethodSheetTag) {
        fundFH_->setText(fenHongData_[row]);
        return;
    }
    auto funds = sessionHeldFunds();
    if (!funds || row >= funds->rowsAffected()) return;
    funds->moveToIndex(row);
    fundName_->setText(fieldText(*funds, Col::kFundName));
    fundCode_->setText(fieldText(*funds, Col::kFundCode));
    if (myFundsHqData_)
        showNetValue();
    else
        requestFundBonus();
}

// ---- the funds held and their net values ----

void VTAJJFHViewController::takeHoldings(VTATCRS& set) {
    myFundsdata_.emplace();
    int start = 0;
    // The fund the query hub handed in, when it is held.
    std::string handed;
    if (auto message = viewMessage(); message && message->type() == 1)
        handed = queryValue(message->dataText().value_or(""), FundContract::Key::kFundCode).value_or("");
    int i = 0;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext(), ++i) {
        myFundsdata_->push_back(fieldText(set, Col::kFundName));
        if (!handed.empty() && fieldText(set, Col::kFundCode) == handed) start = i;
    }
    if (myFundsdata_->empty()) return;
    set.moveToIndex(start);
    fundName_->setText(fieldText(set, Col::kFundName));
    fundCode_->setText(fieldText(set, Col::kFundCode));
}

void VTAJJFHViewController::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);
    view();
    if (!isOrdering()) requestFundBonus();
}

void VTAJJFHViewController::viewWillDisappear(bool animated) {
    pickers_.dismiss();
    FundForm::viewWillDisappear(animated);
}

void VTAJJFHViewController::requestFundBonus() {
    view();
    if (!myFundsdata_) {
        sendQuery(kHoldingsTag, heldFundsRequest());
        return;
    }
    auto funds = sessionHeldFunds();
    if (!funds || funds->rowsAffected() == 0) return;  // no fund held, no net value to ask for
    std::string codes;
    const int at = funds->currentIndex();
    for (funds->fetchFirst(); !funds->isEOF(); funds->fetchNext()) {
        if (codes.size() >= 2) codes += ",";
        codes += fieldText(*funds, Col::kFundCode);
    }
    funds->moveToIndex(at);
    RequestBuilder r(FundContract::kFundInformation);
    r.add(FundContract::Key::kCount, funds->rowsAffected()).add(FundContract::Key::kFundCode, codes);
    sendQuery(kNetValuesTag, r, 4);
}

void VTAJJFHViewController::holdingsReplied(const RequestReply& reply) {
    auto set = heldFundsOfReply(reply, kNoFundsText);
    if (!set) return;
    keepHeldFunds(set);
    takeHoldings(*set);
    requestFundBonus();
}

void VTAJJFHViewController::netValuesReplied(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) return;
    if (set->isError()) {
        showAlert(set->getError());
        return;
    }
    myFundsHqData_ = set;
    showNetValue();
}

void VTAJJFHViewController::showNetValue() {
    VTATCRS& values = *myFundsHqData_;
    for (values.fetchFirst(); !values.isEOF(); values.fetchNext())
        if (fieldText(values, Col::kTradingCode) == fundCode_->text()) {
            fundPrice_->setText(fieldText(values, Col::kNetValueCol));
            break;
        }
    values.fetchFirst();
}

// ---- the order ----

std::string VTAJJFHViewController::orderRefusal() { return fundCode_->text().empty() ? kNoHeldFundText : ""; }

std::string VTAJJFHViewController::orderSummary() const {
    return dividendSummary(fundCode_->text(), fundName_->text(), fundFH_->text());
}

std::optional<RequestBuilder> VTAJJFHViewController::orderRequest() {
    if (fundCode_->text().empty()) {
        showAlert(kNoHeldFundText);
        return std::nullopt;
    }
    RequestBuilder r = RequestBuilder::trade(WealthContract::kDividend.sub);
    r.add(FundContract::Key::kFundCode, fundCode_->text())
        .add(WealthContract::Key::kDividendMethod, rowOfText(fenHongData_, fundFH_->text()));
    return r;
}
