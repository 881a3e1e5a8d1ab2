#include "funds/VTAKVRTradeViewController.h"

#include "core/Utilities.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/contracts/RepoContract.h"
#include "funds/RepoRules.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UILabel.h"
#include "trade/TradePickerStrip.h"
#include "ui/Alerts.h"
#include "ui/Drawing.h"

namespace Col = RepoContract::Col;

namespace {

std::string productTitle(const std::string& name, const std::string& code) { return name + "(" + code + ")"; }

// As wide as the fund forms' values: the longest row title, 提前终止收益率, keeps its room.
std::shared_ptr<UILabel> blueLabel() {
    auto l = std::make_shared<UILabel>(CGRectMake(0, 0, 150, 20));
    l->setFont(defaultFont());
    l->setTextAlignment(UITextAlignment::Right);
    l->setBackgroundColor(UIColor::clearColor());
    l->setTextColor(UIColor::blueColor());
    return l;
}

std::string textOf(const VTATCRS& set, const char* field) { return set.toStringWithFieldName(field).value_or(""); }

}  // namespace

VTAKVRTradeViewController::VTAKVRTradeViewController() : FundForm(kOrderTag, false) {
    bindRequest(kListTag, [this](const RequestReply& r) { listReplied(r); }, {.handlesErrorSet = true});
    bindRequest(kInfoTag, [this](const RequestReply& r) { infoReplied(r); }, {.handlesErrorSet = true});
}

VTAKVRTradeViewController::~VTAKVRTradeViewController() = default;

UILabel* VTAKVRTradeViewController::nameLabel() {
    view();
    return nameLabel_.get();
}
VTATextField* VTAKVRTradeViewController::moneyField() {
    view();
    return moneyField_.get();
}
UILabel* VTAKVRTradeViewController::moneyLabel() {
    view();
    return moneyLabel_.get();
}
UILabel* VTAKVRTradeViewController::maxIncomeLabel() {
    view();
    return maxIncomeLabel_.get();
}
UILabel* VTAKVRTradeViewController::minIncomeLabel() {
    view();
    return minIncomeLabel_.get();
}
UILabel* VTAKVRTradeViewController::deadLineLabel() {
    view();
    return deadLineLabel_.get();
}

// ---- the form ----

void VTAKVRTradeViewController::buildForm() {
    nameLabel_ = blueLabel();
    moneyLabel_ = blueLabel();
    maxIncomeLabel_ = blueLabel();
    minIncomeLabel_ = blueLabel();
    deadLineLabel_ = blueLabel();
    moneyField_ = std::make_shared<VTATextField>(CGRectMake(0, 0, 150, 30), 13, "请输入金额", 2);
    moneyField_->setTellsLimit(true);
    moneyField_->setFont(defaultFont());
    moneyField_->setUnit("元");
    scrollsForKeyboard(moneyField_.get());
    watchFields({moneyField_.get()});
    picker_ = std::make_unique<TradePickerStrip>(
        [this] {
            std::vector<std::string> titles;
            for (const auto& p : productData_) titles.push_back(productTitle(p->name(), p->code()));
            return titles;
        },
        [this](int row) {
            if (isOrdering() || row < 0 || row >= static_cast<int>(productData_.size())) return;
            selectedIndex_ = row;
            choose(productData_[row]->code(), productData_[row]->name());
        });
}

std::shared_ptr<UITableViewCell> VTAKVRTradeViewController::formCell(int row) {
    switch (row) {
        case 0:
            return formRow("证券名称", nameLabel_, true);
        case 1:
            return formRow("委托金额", moneyField_);
        case 2:
            return formRow("可买资金", moneyLabel_);
        case 3:
            return formRow("收益率", maxIncomeLabel_);
        case 4:
            return formRow("提前终止收益率", minIncomeLabel_);
        default:
            return formRow("期限", deadLineLabel_);
    }
}

void VTAKVRTradeViewController::formRowTapped(int row) {
    if (row != 0 || isOrdering()) return;
    view()->endEditing(true);
    picker_->showIn(*view(), selectedIndex_);
}

// ---- the product and its information ----

void VTAKVRTradeViewController::viewDidAppear(bool animated) {
    FundForm::viewDidAppear(animated);
    view();
    if (!handedTaken_) {
        handedTaken_ = true;
        auto message = viewMessage();
        if (message && message->type() == 1)
            if (auto stock = message->dataStock(); stock && !stock->code().empty())
                choose(stock->code(), stock->name());
    }
    requestKVRInfo();
}

void VTAKVRTradeViewController::onCommandRefresh() {
    if (!isOrdering()) FundForm::onCommandRefresh();
}

void VTAKVRTradeViewController::requestKVRInfo() { sendQuery(kListTag, repoProductsRequest(), 5); }

void VTAKVRTradeViewController::requestKVRTrade() { sendQuery(kInfoTag, repoInfoRequest(tradeCode_)); }

void VTAKVRTradeViewController::choose(const std::string& code, const std::string& name) {
    tradeCode_ = code;
    nameLabel_->setText(productTitle(name, code));
    baseRs_.reset();
    fundRs_.reset();
    requestKVRTrade();
}

void VTAKVRTradeViewController::listReplied(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) return;
    if (set->isError()) {
        showAlert(set->getError());
        return;
    }
    // The list replaces the picker's rows: coming back never repeats them.
    productData_.clear();
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext())
        productData_.push_back(std::make_shared<VTAStock>(textOf(*set, Col::kCode), textOf(*set, Col::kName), 0));
    set->fetchFirst();
    if (!tradeCode_.empty()) {
        for (size_t i = 0; i < productData_.size(); ++i)
            if (productData_[i]->code() == tradeCode_) {
                selectedIndex_ = static_cast<int>(i);
                break;
            }
        return;
    }
    if (productData_.empty() || isOrdering()) return;  // nothing to choose: nothing is asked
    selectedIndex_ = 0;
    choose(productData_[0]->code(), productData_[0]->name());
}

void VTAKVRTradeViewController::infoReplied(const RequestReply& reply) {
    auto base = reply.sharedSet(0);
    if (!base) return;
    if (base->isError()) {  // the server's own words first, even alone
        showAlert(base->getError());
        return;
    }
    if (reply.sets.size() < 2) {
        showAlert("证券交易信息错误！", "请检查代码后刷新!");
        return;
    }
    if (base->rowsAffected() == 0) {
        showAlert(kRepoUnknownText);
        return;
    }
    base->fetchFirst();
    if (textOf(*base, Col::kCode) != tradeCode_) return;  // a product chosen before this one
    baseRs_ = base;
    nameLabel_->setText(productTitle(textOf(*base, Col::kName), textOf(*base, Col::kCode)));
    maxIncomeLabel_->setText(textOf(*base, Col::kYield));
    minIncomeLabel_->setText(textOf(*base, Col::kEarlyYield));
    deadLineLabel_->setText(textOf(*base, Col::kTerm));
    auto cash = reply.sharedSet(1);
    if (cash->isError()) {
        showAlert(cash->getError());
        return;
    }
    cash->fetchFirst();
    fundRs_ = cash;
    moneyLabel_->setText(textOf(*cash, Col::kCash) + "元");
}

// ---- the order ----

std::string VTAKVRTradeViewController::orderRefusal() {
    if (!repoQuantityOfAmount(moneyField()->getText())) return kRepoBadAmountText;
    if (!baseRs_) return kRepoUnknownText;
    if (repoSecuIdOfMarket(intValueOfText(textOf(*baseRs_, Col::kMarket))).empty()) return kRepoNoAccountText;
    return "";
}

std::string VTAKVRTradeViewController::orderSummary() const {
    return repoBuySummary(nameLabel_->text(), moneyField_->getText());
}

std::optional<RequestBuilder> VTAKVRTradeViewController::orderRequest() {
    const std::string refusal = orderRefusal();
    if (!refusal.empty()) {
        showAlert(refusal);
        return std::nullopt;
    }
    const int market = intValueOfText(textOf(*baseRs_, Col::kMarket));
    return repoBuyRequest(market, repoSecuIdOfMarket(market), tradeCode_,
                          *repoQuantityOfAmount(moneyField_->getText()));
}

void VTAKVRTradeViewController::actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) {
    FundForm::actionSheetClickedButtonAtIndex(sheet, buttonIndex);
    if (isOrdering()) moneyField_->setText("");
}
