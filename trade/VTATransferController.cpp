#include "trade/VTATransferController.h"

#include <algorithm>

#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/BankContract.h"
#include "platform/uikit/UILabel.h"
#include "trade/BankTransferRules.h"
#include "trade/TradeFormViews.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

using namespace BankContract;

namespace {

// The older screens' currency names: "港元", not "港币".
const std::vector<BankCurrency>& allCurency() {
    static const std::vector<BankCurrency> all = {{"人民币", "0"}, {"港元", "1"}, {"美元", "2"}};
    return all;
}

std::string currencyLabel(int currency) { return allCurency()[static_cast<size_t>(std::clamp(currency, 0, 2))].label; }

std::string currencyCode(const std::string& label) {
    for (const auto& c : allCurency())
        if (c.label == label) return c.code;
    return "";
}

std::string bankKey(const VTABank& b) { return b.name + "." + std::to_string(b.currentcy); }

}  // namespace

VTATransferController::VTATransferController(int direction)
    : direction_(direction == Operation::kSecuritiesToBank ? Operation::kSecuritiesToBank
                                                           : Operation::kBankToSecurities) {
    bindRequest(kBankListTag, [this](const RequestReply& r) { bankListArrived(r); });
    bindRequest(kTransferTag, [this](const RequestReply& r) { transferArrived(r); },
                {.order = true, .unknownOutcomeText = kTransferSubmittedText});
    bankPicker_ = addStrip([this] { return userBankNames_; }, [this](int row) { chooseBank(row); });
    currencyPicker_ = addStrip([this] { return curencyNames_; }, [this](int row) { pickCurrency(row); });
    for (const auto& c : allCurency()) curencyNames_.push_back(c.label);
}

VTATransferController::~VTATransferController() {
    for (auto* f : {password_.get(), money_.get()})
        if (f) f->setFieldDelegate(nullptr);
}

UILabel* VTATransferController::bankName() {
    view();
    return bankName_.get();
}
UILabel* VTATransferController::currency() {
    view();
    return currency_.get();
}
VTATextField* VTATransferController::password() {
    view();
    return password_.get();
}
VTATextField* VTATransferController::money() {
    view();
    return money_.get();
}

void VTATransferController::makeFormViews() {
    bankName_ = tradeValueLabel();
    bankName_->setFont(defaultFont());
    currency_ = tradeValueLabel();
    currency_->setFont(defaultFont());
    currency_->setFrame(CGRectMake(0, 0, 150, 30));
    currency_->setText(allCurency()[0].label);
    password_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 10, "", 4);
    password_->setSecureTextEntry(true);
    money_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 10, "请输入金额", 2);
    money_->setTellsLimit(true);
    money_->setUnit("元");
    for (auto* f : {password_.get(), money_.get()}) {
        f->setFont(defaultFont());
        f->setFieldDelegate(this);
    }
}

void VTATransferController::viewWillAppear(bool animated) {
    BankForm::viewWillAppear(animated);
    if (listArrived_) return;
    sureToTransfer_ = false;
    sendRequest(kBankListTag, RequestBuilder::trade(kBankList.sub), 4);
}

std::shared_ptr<UITableViewCell> VTATransferController::cellForRow(int row) {
    if (row == 0) return tradeFormCell("选择银行", bankName_, true);
    if (row == 1) return tradeFormCell("币  种", currency_, true);
    if (row == 2)
        return tradeFormCell(direction_ == Operation::kBankToSecurities ? "银行密码" : "资金密码", password_, false);
    return tradeFormCell("转帐金额", money_, false);
}

void VTATransferController::rowTapped(int row) {
    if (row == 0) openStrip(bankPicker_, bankRow_);
    if (row == 1) openStrip(currencyPicker_, currencyRow());
}

int VTATransferController::currencyRow() const {
    auto it = std::find(curencyNames_.begin(), curencyNames_.end(), currency_ ? currency_->text() : "");
    return it == curencyNames_.end() ? 0 : static_cast<int>(it - curencyNames_.begin());
}

void VTATransferController::bankListArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set) return;
    listArrived_ = true;
    userBanks_.clear();
    userBankNames_.clear();
    for (const VTABank& b : VTABank::banksForOperation(*set, direction_)) {
        auto same = std::find_if(userBanks_.begin(), userBanks_.end(),
                                 [&](const VTABank& kept) { return bankKey(kept) == bankKey(b); });
        if (same != userBanks_.end())
            *same = b;  // a later row of the same key replaces the earlier
        else
            userBanks_.push_back(b);
        if (std::find(userBankNames_.begin(), userBankNames_.end(), b.name) == userBankNames_.end())
            userBankNames_.push_back(b.name);
    }
    if (!userBankNames_.empty()) chooseBank(0);
}

void VTATransferController::chooseBank(int index) {
    if (index < 0 || index >= static_cast<int>(userBankNames_.size())) return;
    bankRow_ = index;
    const std::string& name = userBankNames_[static_cast<size_t>(index)];
    curencyNames_.clear();
    for (const auto& b : userBanks_)
        if (b.name == name) curencyNames_.push_back(currencyLabel(b.currentcy));
    if (currencyPicker_->isOpen()) currencyPicker_->showIn(*contentView(), 0);
    currency_->setText(curencyNames_.front());
    setTransferInfoWithBankName(name + "." + currencyCode(curencyNames_.front()));
}

const VTABank* VTATransferController::bankOfKey(const std::string& key) const {
    for (const auto& b : userBanks_)
        if (bankKey(b) == key) return &b;
    return nullptr;
}

void VTATransferController::setTransferInfoWithBankName(const std::string& key) {
    view();
    const VTABank* bank = bankOfKey(key);
    if (!bank) return;
    bankName_->setText(bank->name);
    currency_->setText(currencyLabel(bank->currentcy));
    if (direction_ == Operation::kBankToSecurities) {
        needPwd_ = bank->bankFlag;
        password_->setPlaceHolder(needPwd_ ? "请输入银行密码！" : "不用输入银行密码！");
    } else {
        needPwd_ = bank->funkFlag;
        password_->setPlaceHolder(needPwd_ ? "" : "不用输入资金密码！");
    }
    password_->setEnable(needPwd_);
}

void VTATransferController::pickCurrency(int row) {
    if (row < 0 || row >= static_cast<int>(curencyNames_.size())) return;
    const std::string& label = curencyNames_[static_cast<size_t>(row)];
    currency_->setText(label);
    // The same bank may ask for a password in one currency and not in another.
    const std::string key = bankName_->text() + "." + currencyCode(label);
    if (bankOfKey(key)) setTransferInfoWithBankName(key);
}

std::string VTATransferController::bankCodeForKey(const std::string& name, const std::string& currencyCode) const {
    if (currencyCode.empty()) return "";
    const VTABank* bank = bankOfKey(name + "." + currencyCode);
    return bank ? bank->code : "";
}

void VTATransferController::onCommandOK() {
    if (sureToTransfer_) return;
    const std::string amount = money_->getText();
    if (!checkAmount(amount)) return;
    const std::string bank = bankName_->text();
    std::string summary = "您确定要发送如下信息吗？\n";
    if (direction_ == Operation::kSecuritiesToBank)
        summary += "从资金帐号转到银行 \n转入银行：" + bank + " \n转入金额：" + amount + " \n";
    else
        summary += "从银行转出到资金帐号 \n转出银行：" + bank + " \n转出金额：" + amount + " \n";
    askToConfirm(summary);
}

void VTATransferController::confirmed() {
    sureToTransfer_ = true;
    transfer();
}

void VTATransferController::transfer() {
    const std::string code = currencyCode(currency_->text());
    const std::string bankCode = bankCodeForKey(bankName_->text(), code);
    if (bankCode.empty()) {
        sureToTransfer_ = false;
        showAlert(kBankInfoWrongText);
        return;
    }
    RequestBuilder request = RequestBuilder::trade(kTransfer.sub);
    request.add(Key::kMoneyType, code)
        .add(Key::kBankCode, bankCode)
        .add(Key::kTransferType, direction_)
        .add(Key::kAmount, money_->getText());
    if (needPwd_)
        request.add(direction_ == Operation::kBankToSecurities ? Key::kBankPassword : Key::kFundPassword,
                    password_->getText());
    if (!sendRequest(kTransferTag, request, 4)) sureToTransfer_ = false;
}

void VTATransferController::transferArrived(const RequestReply&) {
    sureToTransfer_ = false;
    showAlert(kTransferSubmittedText);
}

void VTATransferController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kTransferTag) sureToTransfer_ = false;
    BankForm::requestDidFail(failure);
}
