#include "trade/GTPAccountBalance.h"

#include "core/RequestBuilder.h"
#include "core/contracts/BankContract.h"
#include "platform/uikit/UIApplication.h"
#include "trade/BankTransferRules.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"

using namespace BankContract;

GTPAccountBalance::GTPAccountBalance() : GTPBankForm(kEditingOffset) {
    bindRequest(kBalanceTag, [this](const RequestReply& r) { balanceArrived(r); });
    bankPicker_ = addBankStrip([this](int row) { pickBank(row); });
    accountPicker_ = addFundStrip(choice_, [this](int row) { pickAccount(row); });
    currencyPicker_ = addCurrencyStrip([this](int row) { pickCurrency(row); });
}

UITextField* GTPAccountBalance::passwordTextField() {
    view();
    return password_.get();
}

void GTPAccountBalance::makeFormViews() { password_ = makeField("<银行密码>", true); }

std::shared_ptr<UITableViewCell> GTPAccountBalance::cellForRow(int row) {
    const GTPBankInfo* bank = choice_.bank();
    const GTPBankInfo* fund = choice_.fund();
    if (row == 0) return choiceCell("银行", bank ? bank->bankName : "");
    if (row == 1) return choiceCell("资金帐号", fund ? fund->bankFundId : "");
    if (row == 2) return choiceCell("币种", textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.label; }));
    return fieldCell("银行密码", password_);
}

void GTPAccountBalance::rowTapped(int row) {
    if (row == 0) openStrip(bankPicker_, choice_.bankIndex());
    if (row == 1) openStrip(accountPicker_, choice_.fundIndex());
    if (row == 2) openStrip(currencyPicker_, currencyIndex_);
}

void GTPAccountBalance::pickBank(int row) {
    if (choice_.pickBank(row)) reloadForm();
}

void GTPAccountBalance::pickAccount(int row) {
    if (choice_.pickFund(row)) reloadForm();
}

void GTPAccountBalance::pickCurrency(int row) {
    if (row < 0 || row >= static_cast<int>(bankCurrencies().size())) return;
    currencyIndex_ = row;
    reloadForm();
}

void GTPAccountBalance::bankListChanged() { choice_.listChanged(); }

void GTPAccountBalance::onCommandOK() {
    if (isAccountBalanceQuery_) return;
    if (UIApplication::sharedApplication().isNetworkActivityIndicatorVisible()) return;
    if (!hasBindings()) return;
    const GTPBankInfo* bank = choice_.bank();
    const GTPBankInfo* fund = choice_.fund();
    if (!bank || !fund) return;
    RequestBuilder request = RequestBuilder::trade(kBankBalance.sub);
    request.add(Key::kFundId, fund->bankFundId)
        .add(Key::kBankCode, bank->bankCode)
        .add(Key::kBankPassword, password_->text())
        .add(Key::kMoneyType, textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.code; }));
    if (sendRequest(kBalanceTag, request, 4)) isAccountBalanceQuery_ = true;
}

void GTPAccountBalance::balanceArrived(const RequestReply&) {
    isAccountBalanceQuery_ = false;
    showAlert(kTransferSubmittedText);
}

void GTPAccountBalance::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kBalanceTag) isAccountBalanceQuery_ = false;
    GTPBankForm::requestDidFail(failure);
}
