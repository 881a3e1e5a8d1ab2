#include "trade/GTPStockBankTransactionVC.h"

#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/BankContract.h"
#include "platform/uikit/UISegmentedControl.h"
#include "trade/BankTransferRules.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"

using namespace BankContract;

GTPStockBankTransactionVC::GTPStockBankTransactionVC() : GTPBankForm(kEditingOffset) {
    bindRequest(kTransferableTag, [this](const RequestReply& r) { transferableArrived(r); });
    bindRequest(kTransferTag, [this](const RequestReply& r) { transferArrived(r); },
                {.order = true, .unknownOutcomeText = kTransferSubmittedText});
    bankPicker_ = addBankStrip([this](int row) { pickBank(row); });
    fundPicker_ = addFundStrip(choice_, [this](int row) { pickFund(row); });
    currencyPicker_ = addCurrencyStrip([this](int row) { pickCurrency(row); });
}

UISegmentedControl* GTPStockBankTransactionVC::segment() {
    view();
    return segment_.get();
}
UITextField* GTPStockBankTransactionVC::passwordTextField() {
    view();
    return password_.get();
}
UITextField* GTPStockBankTransactionVC::amountTextField() {
    view();
    return amount_.get();
}

void GTPStockBankTransactionVC::makeFormViews() {
    auto header = std::make_shared<UIView>(CGRectMake(0, 0, 320, 38));
    header->setBackgroundColor(UIColor::clearColor());
    segment_ = std::make_shared<UISegmentedControl>(std::vector<std::string>{"银行转证券", "证券转银行"});
    segment_->setFrame(CGRectMake(60, 8, 200, 32));
    segment_->setSegmentedControlStyle(UISegmentedControlStyle::Bar);
    segment_->setSelectedSegmentIndex(0);
    segment_->addTarget(
        this, [this](UIControl&) { segmentAction(segment_->selectedSegmentIndex()); }, UIControlEventValueChanged);
    header->addSubview(segment_);
    table_->setTableHeaderView(header);
    password_ = makeField("<输入密码>", true);
    amount_ = makeField("<输入转帐金额>", false);
}

std::shared_ptr<UITableViewCell> GTPStockBankTransactionVC::cellForRow(int row) {
    const GTPBankInfo* bank = choice_.bank();
    const GTPBankInfo* fund = choice_.fund();
    if (row == 0) return choiceCell("选择银行", bank ? bank->bankName : "");
    if (row == 1) return choiceCell("资金帐号", fund ? fund->bankFundId : "");
    if (row == 2) return choiceCell("币种", textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.label; }));
    if (segmentIndex_ == 0) {
        if (row == 3) return fieldCell("银行密码 ", password_);
        return fieldCell("转帐金额", amount_);
    }
    if (row == 3) return valueCell("可转金额", avaliableAmount_);
    if (row == 4) return fieldCell("资金密码", password_);
    return fieldCell("转帐金额", amount_);
}

void GTPStockBankTransactionVC::rowTapped(int row) {
    if (row == 0) openStrip(bankPicker_, choice_.bankIndex());
    if (row == 1) openStrip(fundPicker_, choice_.fundIndex());
    if (row == 2) openStrip(currencyPicker_, currencyIndex_);
    scrollToTop();
}

void GTPStockBankTransactionVC::segmentAction(int index) {
    view();
    segmentIndex_ = index == 1 ? 1 : 0;
    if (segment_->selectedSegmentIndex() != segmentIndex_) segment_->setSelectedSegmentIndex(segmentIndex_);
    password_->setText("");
    amount_->setText("");
    if (segmentIndex_ == 1) {
        queryTransferable();
    } else {
        isAvaliableQuery_ = false;
        askAgain_ = false;
    }
    reloadForm();
    closeStrips();
    endEditing();
}

void GTPStockBankTransactionVC::pickBank(int row) {
    if (choice_.pickBank(row)) afterPick();
}

void GTPStockBankTransactionVC::pickFund(int row) {
    if (choice_.pickFund(row)) afterPick();
}

void GTPStockBankTransactionVC::pickCurrency(int row) {
    if (row < 0 || row >= static_cast<int>(bankCurrencies().size())) return;
    currencyIndex_ = row;
    afterPick();
}

void GTPStockBankTransactionVC::afterPick() {
    if (segmentIndex_ == 1) {
        avaliableAmount_.clear();
        queryTransferable();
    }
    reloadForm();
}

void GTPStockBankTransactionVC::bankListChanged() {
    choice_.listChanged();
    // The amount asked before any binding was here goes out now.
    if (segmentIndex_ == 1 && avaliableAmount_.empty() && !isRequestInFlight(kTransferableTag)) queryTransferable();
}

void GTPStockBankTransactionVC::queryTransferable() {
    const GTPBankInfo* fund = choice_.fund();
    if (!fund) return;  // asked again when the bindings arrive
    isAvaliableQuery_ = true;
    if (isRequestInFlight(kTransferableTag)) {
        askAgain_ = true;
        return;
    }
    RequestBuilder request = RequestBuilder::trade(kTransferable.sub);
    request.add(Key::kFundId, fund->bankFundId)
        .add(Key::kMoneyType, textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.code; }));
    sendRequest(kTransferableTag, request, 4);
}

void GTPStockBankTransactionVC::transferableArrived(const RequestReply& reply) {
    if (askAgain_) {  // the choice changed since: this amount is not the one shown
        askAgain_ = false;
        queryTransferable();
        return;
    }
    if (!isAvaliableQuery_) return;  // back in direction 0
    isAvaliableQuery_ = false;
    VTATCRS* set = reply.first();
    avaliableAmount_ = set ? set->toStringWithFieldName(Col::kFundCash).value_or("") : "";
    reloadForm();
}

void GTPStockBankTransactionVC::onCommandOK() {
    if (isConfirm_) return;
    if (!hasBindings()) return;
    const std::string amount = amount_->text();
    if (!checkAmount(amount)) return;
    const GTPBankInfo* bank = choice_.bank();
    const GTPBankInfo* fund = choice_.fund();
    std::string summary = kConfirmTitle;
    summary += segmentIndex_ == 0 ? "转帐方式：银行转证券 \n" : "转帐方式：证券转银行 \n";
    summary += "货币类型：" + textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.label; }) + " \n";
    summary += "银行名称：" + (bank ? bank->bankName : std::string()) + " \n";
    summary += "资金帐号：" + (fund ? fund->bankFundId : std::string()) + " \n";
    summary += "转帐金额：" + amount + " \n";
    askToConfirm(summary);
}

void GTPStockBankTransactionVC::confirmed() {
    const GTPBankInfo* bank = choice_.bank();
    const GTPBankInfo* fund = choice_.fund();
    if (!bank || !fund) {
        showAlert(kBankInfoLoadingText);
        return;
    }
    const bool in = segmentIndex_ == 0;
    RequestBuilder request = RequestBuilder::trade(kTransfer.sub);  // carries the login's fund account first
    request.add(Key::kFundId, fund->bankFundId)
        .add(Key::kTransferType, in ? Operation::kBankToSecurities : Operation::kSecuritiesToBank)
        .add(Key::kBankCode, bank->bankCode)
        .add(in ? Key::kBankPassword : Key::kFundPassword, password_->text())
        .add(Key::kMoneyType, textAt(bankCurrencies(), currencyIndex_, [](auto& c) { return c.code; }))
        .add(Key::kAmount, amount_->text());
    if (!sendRequest(kTransferTag, request, 4)) return;
    isConfirm_ = true;
    password_->setText("");
    amount_->setText("");
    avaliableAmount_.clear();
    reloadForm();
}

void GTPStockBankTransactionVC::transferArrived(const RequestReply&) {
    isConfirm_ = false;
    showAlert(kTransferSubmittedText);
}

void GTPStockBankTransactionVC::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kTransferTag) isConfirm_ = false;
    if (failure.tag == kTransferableTag) {
        isAvaliableQuery_ = false;
        askAgain_ = false;
    }
    GTPBankForm::requestDidFail(failure);
}
