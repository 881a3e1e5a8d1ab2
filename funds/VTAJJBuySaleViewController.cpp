#include "funds/VTAJJBuySaleViewController.h"

#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAMessage.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/FundContract.h"
#include "funds/FundRules.h"
#include "funds/VTAJJQueryViewController.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace Col = FundContract::Col;

VTAJJBuySaleViewController::VTAJJBuySaleViewController() : FundForm(kOrderTag, true) {
    bindRequest(kLookupTag, [this](const RequestReply& r) { lookupReplied(r); }, {.handlesErrorSet = true});
}

VTATextField* VTAJJBuySaleViewController::fundCode() {
    view();
    return fundCode_.get();
}
VTATextField* VTAJJBuySaleViewController::tradePrice() {
    view();
    return tradePrice_.get();
}
UILabel* VTAJJBuySaleViewController::fundName() {
    view();
    return fundName_.get();
}
UILabel* VTAJJBuySaleViewController::fundState() {
    view();
    return fundState_.get();
}
UILabel* VTAJJBuySaleViewController::fundValue() {
    view();
    return fundValue_.get();
}
UILabel* VTAJJBuySaleViewController::riskLabel() {
    view();
    return riskLabel_.get();
}
UILabel* VTAJJBuySaleViewController::moneyCanUsed() {
    view();
    return moneyCanUsed_.get();
}
UILabel* VTAJJBuySaleViewController::suiteLabel() {
    view();
    return suiteLabel_.get();
}

// ---- the form ----

void VTAJJBuySaleViewController::buildForm() {
    fundCode_ = inputField(6, "<基金代码>", 4);
    tradePrice_ = inputField(10, "<成交金额>", 2, "元");
    fundName_ = valueLabel();
    fundState_ = valueLabel();
    fundValue_ = valueLabel();
    riskLabel_ = valueLabel();
    moneyCanUsed_ = valueLabel();
    suiteLabel_ = valueLabel();
    scrollsForKeyboard(tradePrice_.get());
    watchFields({fundCode_.get(), tradePrice_.get()});

    if (auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer)) {
        if (customer->isEOF()) customer->fetchFirst();
        suiteLabel_->setText(customer->toStringWithFieldName(Col::kRiskText).value_or(""));
    }
    auto message = viewMessage();
    if (message && message->type() == 1)
        if (auto code = queryValue(message->dataText().value_or(""), FundContract::Key::kFundCode))
            fundCode_->setText(*code);
}

std::shared_ptr<UITableViewCell> VTAJJBuySaleViewController::formCell(int row) {
    const bool subscription = tradeType_ == kSubscriptionType;
    switch (row) {
        case 0:
            return listRow(subscription ? "查询可认购基金" : "查询可申购基金");
        case 1:
            return formRow("基金代码", fundCode_);
        case 2:
            return formRow("基金名称", fundName_);
        case 3:
            return formRow("今日状态", fundState_);
        case 4:
            return formRow(subscription ? "认购净值" : "昨日净值", fundValue_);
        case 5:
            return formRow(subscription ? "认购金额" : "申购金额", tradePrice_);
        case 6:
            return formRow("可用资金", moneyCanUsed_);
        case 7:
            return formRow("风险级别", riskLabel_);
        default:
            return formRow("您的风险承受能力", suiteLabel_);
    }
}

void VTAJJBuySaleViewController::formRowTapped(int row) {
    if (row == 0) openFundList();
}

void VTAJJBuySaleViewController::openFundList() {
    const std::string link = "of_jjxx?tc_mfuncno=" + std::to_string(FundContract::kFundInformation.main) +
                             "&tc_sfuncno=" + std::to_string(FundContract::kFundInformation.sub) +
                             "&position=poststr&status=" + std::to_string(tradeType_);
    auto vc = VTAUIFactory::viewControllerWithLink(
        link, tradeType_ == kSubscriptionType ? "可认购基金列表" : "可申购基金列表");
    auto* hub = dynamic_cast<VTAJJQueryViewController*>(vc.get());
    if (!hub) return;
    hub->setPageType(VTAJJQueryViewController::kPickForOrder);
    pushViewController(vc);
}

// ---- the lookup ----

void VTAJJBuySaleViewController::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);
    view();
    auto& defaults = NSUserDefaults::standardUserDefaults();
    if (auto picked = defaults.stringForKey(kPickedCodeKey)) {
        fundCode_->setText(*picked);
        defaults.removeObjectForKey(kPickedCodeKey);
    }
    if (utf8Length(fundCode_->text()) == 6 && !isOrdering()) requestFundTrade();
}

void VTAJJBuySaleViewController::myTextFieldReachMax(VTATextField& field, int) {
    if (&field == fundCode_.get() && !isOrdering()) requestFundTrade();
}

void VTAJJBuySaleViewController::requestFundTrade() {
    if (isOrdering()) {
        sendOrder();
        return;
    }
    const std::string code = fundCode()->getText();
    // The code's lookup on its way answers for it (a slow line, the code completed again).
    if (code == lookupCode_ && isRequestInFlight(kLookupTag)) return;
    if (sendQuery(kLookupTag, fundLookupRequest(code))) lookupCode_ = code;
}

void VTAJJBuySaleViewController::showFund(const std::string& name, const std::string& state, const std::string& value,
                                          const std::string& risk) {
    fundName_->setText(name);
    fundState_->setText(state);
    fundValue_->setText(value);
    riskLabel_->setText(risk);
}

void VTAJJBuySaleViewController::lookupReplied(const RequestReply& reply) {
    VTATCRS* fund = reply.first();
    if (!fund) return;
    if (fund->isError()) {
        showAlert(fund->getError());
        return;
    }
    if (fund->rowsAffected() == 0) {
        if (emptiesRowsOfUnknownFund()) {
            showFund("", "", "", "");
            moneyCanUsed_->setText("");
        }
        showAlert(kUnknownFundText);
        return;
    }
    auto text = [&](const char* name) { return fund->toStringWithFieldName(name).value_or(""); };
    showFund(text(Col::kFundName), text(Col::kStatusText), text(Col::kNetValue), text(Col::kRiskText));
    if (VTATCRS* cash = reply.set(1)) {
        if (cash->isError())
            showAlert(cash->getError());
        else
            moneyCanUsed_->setText(cash->toStringWithFieldName(Col::kCash).value_or(""));
    }
}

// ---- the order ----

std::string VTAJJBuySaleViewController::orderRefusal() {
    if (fundCode()->getText().empty()) return kNoFundCodeText;
    return fundAmountRefusal(tradePrice()->getText());
}

std::string VTAJJBuySaleViewController::orderSummary() const {
    return buySaleSummary(tradeType_, fundCode_->text(), fundName_->text(), tradePrice_->text());
}

std::optional<RequestBuilder> VTAJJBuySaleViewController::orderRequest() {
    const std::string code = fundCode()->getText();
    const std::string amount = tradePrice()->getText();
    if (code.empty() || amount.empty()) {
        showAlert(code.empty() ? kNoFundCodeText : kNoAmountText);
        return std::nullopt;
    }
    return fundBuyRequest(tradeType_, code, amount, riskCheckValue());
}

std::string VTAJJBuySaleViewController::successText() const {
    return tradeType_ == kSubscriptionType ? "认购已提交，请在当日委托中查询!" : "申购已提交，请在当日委托中查询!";
}

void VTAJJBuySaleViewController::orderSucceeded(const RequestReply& reply) {
    tradePrice_->setText("");
    FundForm::orderSucceeded(reply);
}

void VTAJJBuySaleViewController::orderRefused(const std::string& text) {
    tradePrice_->setText("");
    FundForm::orderRefused(text);
}

void VTAJJBuySaleViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kLookupTag && failure.kind == RequestFailure::Kind::Unreadable) return;
    FundForm::requestDidFail(failure);
}
