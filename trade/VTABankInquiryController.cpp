#include "trade/VTABankInquiryController.h"

#include <algorithm>
#include <cstdlib>

#include "core/RequestBuilder.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/BankContract.h"
#include "platform/uikit/UILabel.h"
#include "shell/TradeSession.h"
#include "trade/BankTransferRules.h"
#include "trade/TradeFormViews.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

using namespace BankContract;

namespace {

// The balance screen's currency names, blanks and all.
const std::vector<BankCurrency>& currencyData() {
    static const std::vector<BankCurrency> data = {{"人民币", "0"}, {"港 币", "1"}, {"美 元", "2"}};
    return data;
}

// A positive function number of the link's query; `fallback` otherwise.
int linkNumber(const std::shared_ptr<VTAMenu>& menu, const char* key, int fallback) {
    if (!menu) return fallback;
    const std::string text = queryValue(menu->link(), key).value_or("");
    const long n = std::strtol(text.c_str(), nullptr, 10);
    return n > 0 ? static_cast<int>(n) : fallback;
}

std::shared_ptr<UILabel> valueLabel(std::shared_ptr<UIColor> colour) {
    auto l = tradeValueLabel();
    l->setFrame(CGRectMake(0, 0, 180, 30));
    l->setFont(defaultFont());
    l->setTextColor(std::move(colour));
    return l;
}

}  // namespace

VTABankInquiryController::VTABankInquiryController() {
    bindRequest(kBankListTag, [this](const RequestReply& r) { bankListArrived(r); });
    bindRequest(kBalanceTag, [this](const RequestReply& r) { balanceArrived(r); });
    bankPicker_ = addStrip([this] { return bankNames(); }, [this](int row) { pickBank(row); });
    currencyPicker_ = addStrip(
        [] {
            std::vector<std::string> labels;
            for (const auto& c : currencyData()) labels.push_back(c.label);
            return labels;
        },
        [this](int row) { pickCurrency(row); });
}

VTABankInquiryController::~VTABankInquiryController() {
    if (password_) password_->setFieldDelegate(nullptr);
}

UILabel* VTABankInquiryController::bankNameLabel() {
    view();
    return bankNameLabel_.get();
}
UILabel* VTABankInquiryController::currencyLabel() {
    view();
    return currencyLabel_.get();
}
VTATextField* VTABankInquiryController::passwordField() {
    view();
    return password_.get();
}

void VTABankInquiryController::makeFormViews() {
    bankNameLabel_ = valueLabel(UIColor::blueColor());
    currencyLabel_ = valueLabel(UIColor::blackColor());
    currencyLabel_->setText(currencyData()[0].label);
    password_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 180, 30), 6, "请输入密码", 4);
    password_->setSecureTextEntry(true);
    password_->setFont(defaultFont());
    password_->setFieldDelegate(this);
}

void VTABankInquiryController::viewWillAppear(bool animated) {
    BankForm::viewWillAppear(animated);
    setFrameStatus(kAwaitingList);
    sendRequest(kBankListTag, RequestBuilder::trade(kBankList.sub), 4);
}

bool VTABankInquiryController::myTextFieldWillShowKeyboard(VTATextField&) {
    closeStrips();
    return true;
}

std::shared_ptr<UITableViewCell> VTABankInquiryController::cellForRow(int row) {
    if (row == 0) return tradeFormCell("银行", bankNameLabel_, true);
    if (row == 1) return tradeFormCell("币种", currencyLabel_, true);
    return tradeFormCell("银行密码", password_, false);
}

std::vector<std::string> VTABankInquiryController::bankNames() const {
    std::vector<std::string> names;
    for (const auto& b : bankData_)
        if (std::find(names.begin(), names.end(), b.name) == names.end()) names.push_back(b.name);
    return names;
}

const VTABank* VTABankInquiryController::firstBankNamed(const std::string& name) const {
    for (const auto& b : bankData_)
        if (b.name == name) return &b;
    return nullptr;
}

void VTABankInquiryController::rowTapped(int row) {
    if (bankData_.empty()) return;
    if (row == 0) {
        auto names = bankNames();
        auto it = std::find(names.begin(), names.end(), bankNameLabel_->text());
        openStrip(bankPicker_, it == names.end() ? 0 : static_cast<int>(it - names.begin()));
    }
    if (row == 1) {
        int shown = 0;
        for (size_t i = 0; i < currencyData().size(); ++i)
            if (currencyData()[i].label == currencyLabel_->text()) shown = static_cast<int>(i);
        openStrip(currencyPicker_, shown);
    }
}

void VTABankInquiryController::bankListArrived(const RequestReply& reply) {
    setFrameStatus(kIdle);
    VTATCRS* set = reply.first();
    if (!set) return;
    bankData_ = VTABank::banksForOperation(*set, Operation::kBalanceQuery);
    if (bankData_.empty()) {
        bankNameLabel_->setText(kNoBankText);
        return;
    }
    setTransferInfoWithBankName(bankData_.front().name);
}

void VTABankInquiryController::setTransferInfoWithBankName(const std::string& name) {
    view();
    const VTABank* bank = firstBankNamed(name);
    if (!bank) return;
    bankNameLabel_->setText(bank->name);
    currencyLabel_->setText(currencyData()[static_cast<size_t>(std::clamp(bank->currentcy, 0, 2))].label);
    password_->setEnable(bank->bankFlag);
    if (bank->bankFlag) {
        password_->setPlaceHolder("请输入银行密码！");
    } else {
        password_->setText("");
        password_->setPlaceHolder("不用输入银行密码！");
    }
}

void VTABankInquiryController::pickBank(int row) {
    auto names = bankNames();
    if (row >= 0 && row < static_cast<int>(names.size())) setTransferInfoWithBankName(names[size_t(row)]);
}

void VTABankInquiryController::pickCurrency(int row) {
    if (row >= 0 && row < static_cast<int>(currencyData().size()))
        currencyLabel_->setText(currencyData()[static_cast<size_t>(row)].label);
}

FunctionId VTABankInquiryController::balanceFunction() const {
    return {linkNumber(viewMenu(), "tc_mfuncno", kBankBalance.main),
            linkNumber(viewMenu(), "tc_sfuncno", kBankBalance.sub)};
}

void VTABankInquiryController::onCommandOK() {
    if (bankData_.empty()) {
        showAlert(kNoBankText);
        return;
    }
    if (frameStatus() == kQuerying) return;
    askToConfirm("您确定要发送如下信息吗？\n查询银行余额 \n银行名称：" + bankNameLabel_->text() + " \n");
}

void VTABankInquiryController::confirmed() {
    std::string moneyType;
    for (const auto& c : currencyData())
        if (c.label == currencyLabel_->text()) moneyType = c.code;
    const VTABank* bank = firstBankNamed(bankNameLabel_->text());
    RequestBuilder request = RequestBuilder::trade(balanceFunction(), true);
    request.add(Key::kFundPassword, VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kPassword))
        .add(Key::kMoneyType, moneyType)
        .add(Key::kBankCode, bank ? bank->code : std::string())
        .add(Key::kBankPassword, password_->getText());
    if (sendRequest(kBalanceTag, request, 4)) setFrameStatus(kQuerying);
}

void VTABankInquiryController::balanceArrived(const RequestReply&) {
    setFrameStatus(kIdle);
    showAlert(kSubmittedText);
}

void VTABankInquiryController::requestDidFail(const RequestFailure& failure) {
    const bool transport =
        failure.kind == RequestFailure::Kind::Network || failure.kind == RequestFailure::Kind::Service;
    setFrameStatus(transport ? kAwaitingList : kIdle);
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kUnreadableReplyText);
        return;
    }
    BankForm::requestDidFail(failure);
}
