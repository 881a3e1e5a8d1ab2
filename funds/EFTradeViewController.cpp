#include "funds/EFTradeViewController.h"

#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/WealthContract.h"
#include "funds/WealthRules.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "ui/Drawing.h"

namespace Col = TradeContract::Col;
namespace Key = TradeContract::Key;

EFTradeViewController::EFTradeViewController() : ExchangeOrderScreen({"基金申购", "基金赎回"}, kLookupTag, kOrderTag) {}

UILabel* EFTradeViewController::availableLabel() {
    view();
    return available_.get();
}
UILabel* EFTradeViewController::maxAmountLabel() {
    view();
    return maxLabel_.get();
}
UIButton* EFTradeViewController::maxAmountBtn() {
    view();
    return maxButton_.get();
}

void EFTradeViewController::buildWidgets() {
    name_ = makeLabel();
    available_ = makeLabel();
    // The limit row: the limit with its unit, and "全部".
    maxRow_ = std::make_shared<UIView>(CGRectMake(0, 0, 300, 44));
    maxRow_->setBackgroundColor(UIColor::clearColor());
    maxLabel_ = makeLabel();
    maxLabel_->setFrame(CGRectMake(100, 6, 126, 32));
    maxLabel_->setText(unit());
    maxButton_ = UIButton::buttonWithType(UIButtonType::RoundedRect);
    maxButton_->setFrame(CGRectMake(236, 6, 60, 32));
    maxButton_->setTitle("全部");
    maxButton_->addTarget(
        this, [this](UIControl&) { maxAmountAction(); }, UIControlEventTouchUpInside);
    maxRow_->addSubview(maxLabel_);
    maxRow_->addSubview(maxButton_);
}

std::string EFTradeViewController::rowTitle(int row) const {
    const bool subscribe = direction() == 0;
    switch (row) {
        case 1:
            return "基金代码";
        case 2:
            return "基金名称";
        case 3:
            return subscribe ? "可用资金" : "赎回份额";
        case 4:
            return subscribe ? "申购金额" : "赎回上限";
        default:
            return "申购上限";
    }
}

std::shared_ptr<UIView> EFTradeViewController::rowWidget(int row) {
    const bool subscribe = direction() == 0;
    auto amount = [&] {
        tradeAmountTF()->setPlaceholder(subscribe ? "<输入申购金额>" : "<输入赎回份额>");
        return tradeAmountTF()->shared();
    };
    switch (row) {
        case 1:
            tradeSymbolTF()->setPlaceholder("<输入基金代码>");
            return tradeSymbolTF()->shared();
        case 2:
            name_->setText(fundName_);
            return name_;
        case 3:
            if (!subscribe) return amount();
            available_->setText(availableAmount_);
            return available_;
        case 4:
            return subscribe ? amount() : maxRow_;
        default:
            return maxRow_;
    }
}

RequestBuilder EFTradeViewController::lookupRequest(const std::string& code) const {
    RequestBuilder r = RequestBuilder::trade(TradeContract::kStockInfo, true);
    r.add(Key::kStockCode, code).add(Key::kBsFlag, orderFlag());
    return r;
}

void EFTradeViewController::lookupArrived(VTATCRS& set) {
    fundName_ = set.toStringWithFieldName(Col::kStockName).value_or("");
    if (direction() == 0) availableAmount_ = set.toStringWithFieldName(WealthContract::Col::kCash).value_or("");
    maxAmount_ =
        static_cast<int>(std::strtol(set.toStringWithFieldName(Col::kMaxQuantity).value_or("").c_str(), nullptr, 10));
    maxLabel_->setText(std::to_string(maxAmount_) + " " + unit());
}

void EFTradeViewController::directionChanged() {
    fundName_.clear();
    maxLabel_->setText(unit());
}

void EFTradeViewController::maxAmountAction() { tradeAmountTF()->setText(std::to_string(maxAmount_)); }

std::string EFTradeViewController::orderFlag() const {
    return direction() == 0 ? WealthContract::BsFlag::kSubscribe : WealthContract::BsFlag::kRedeem;
}

std::string EFTradeViewController::orderRefusal() const {
    const bool ok = direction() == 0 ? isPositiveDecimal(amountText()) : isPositiveWhole(amountText());
    return ok ? "" : kNoQuantityText;
}

std::string EFTradeViewController::orderSummary() const {
    return exchangeFundSummary(direction(), codeText(), fundName_, amountText());
}
