#include "trade/AccountTransferViewController.h"

#include "core/RequestBuilder.h"
#include "core/contracts/BankContract.h"
#include "platform/uikit/UILabel.h"
#include "trade/BankTransferRules.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"

using namespace BankContract;

AccountTransferViewController::AccountTransferViewController() : GTPBankForm(kEditingOffset) {
    bindRequest(kTransferTag, [this](const RequestReply& r) { transferArrived(r); },
                {.order = true, .unknownOutcomeText = kFundTransferSubmittedText});
    currencyPicker_ = addCurrencyStrip([this](int row) { pickCurrency(row); });
    transferOutPicker_ = addBankStrip([this](int row) { pickTransferOut(row); });
    transferInPicker_ = addBankStrip([this](int row) { pickTransferIn(row); });
}

UITextField* AccountTransferViewController::amountTextField() {
    view();
    return amount_.get();
}

void AccountTransferViewController::makeFormViews() {
    mainFundId_ = GTPBankManager::sessionFundId();
    amount_ = makeField("<输入转帐金额>", false);
}

std::shared_ptr<UITableViewCell> AccountTransferViewController::accountCell(const std::string& title, int index) {
    auto cell =
        choiceCell(title, textAt(bankData(), index, [](auto& b) { return b.bankName + "(" + b.bankFundId + ")"; }));
    cell->detailTextLabel()->setFont(UIFont::systemFontOfSize(14));
    cell->detailTextLabel()->setAdjustsFontSizeToFitWidth(true);
    return cell;
}

std::shared_ptr<UITableViewCell> AccountTransferViewController::cellForRow(int row) {
    if (row == 0) return valueCell("主资金帐号", mainFundId_);
    if (row == 1) return choiceCell("币种", textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.label; }));
    if (row == 2) return accountCell("转出帐号", transferOutIndex_);
    if (row == 3) return accountCell("转入帐号", transferInIndex_);
    return fieldCell("转帐金额", amount_);
}

void AccountTransferViewController::rowTapped(int row) {
    if (row == 1) openStrip(currencyPicker_, currencyIndex_);
    if (row == 2) openStrip(transferOutPicker_, transferOutIndex_);
    if (row == 3) openStrip(transferInPicker_, transferInIndex_);
    scrollToTop();
}

bool AccountTransferViewController::pick(int& index, int row, size_t count) {
    if (row < 0 || row >= static_cast<int>(count)) return false;
    index = row;
    reloadForm();
    return true;
}

void AccountTransferViewController::pickCurrency(int row) { pick(currencyIndex_, row, bankCurrencies().size()); }
void AccountTransferViewController::pickTransferOut(int row) { pick(transferOutIndex_, row, bankData().size()); }
void AccountTransferViewController::pickTransferIn(int row) { pick(transferInIndex_, row, bankData().size()); }

void AccountTransferViewController::bankListChanged() {
    const int count = static_cast<int>(bankData().size());
    if (transferOutIndex_ >= count) transferOutIndex_ = 0;
    if (transferInIndex_ >= count) transferInIndex_ = 0;
}

void AccountTransferViewController::onCommandOK() {
    if (isConfirm_) return;
    if (!hasBindings()) return;
    const std::string amount = amount_->text();
    if (!checkAmount(amount)) return;
    auto name = [](const GTPBankInfo& b) { return b.bankName; };
    std::string summary = kConfirmTitle;
    summary += "交易类型：帐户资金转帐 \n";
    summary += "货币类型：" + textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.label; }) + " \n";
    summary += "转出帐号：" + textAt(bankData(), transferOutIndex_, name) + " \n";
    summary += "转入帐号：" + textAt(bankData(), transferInIndex_, name) + " \n";
    summary += "转帐金额：" + amount + " \n";
    askToConfirm(summary);
}

void AccountTransferViewController::confirmed() {
    auto fund = [](const GTPBankInfo& b) { return b.bankFundId; };
    RequestBuilder request = RequestBuilder::trade(kFundTransfer.sub);  // with the login's fund account
    request.add(Key::kOutFundId, textAt(bankData(), transferOutIndex_, fund))
        .add(Key::kInFundId, textAt(bankData(), transferInIndex_, fund))
        .add(Key::kMoneyType, textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.code; }))
        .add(Key::kFundAmount, amount_->text());
    if (!sendRequest(kTransferTag, request, 4)) return;
    isConfirm_ = true;
    amount_->setText("");
}

void AccountTransferViewController::transferArrived(const RequestReply&) {
    isConfirm_ = false;
    showAlert(kFundTransferSubmittedText);
}

void AccountTransferViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kTransferTag) isConfirm_ = false;
    GTPBankForm::requestDidFail(failure);
}
