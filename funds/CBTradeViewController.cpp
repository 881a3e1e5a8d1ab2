#include "funds/CBTradeViewController.h"

#include "core/RequestText.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/WealthContract.h"
#include "funds/WealthRules.h"
#include "platform/uikit/UILabel.h"
#include "shell/TradeSession.h"

namespace Col = TradeContract::Col;
namespace Key = TradeContract::Key;

CBTradeViewController::CBTradeViewController()
    : ExchangeOrderScreen({"可转债转股", "可转债回售"}, kLookupTag, kOrderTag) {}

UITextField* CBTradeViewController::tradePriceTF() {
    view();
    return price_.get();
}

UILabel* CBTradeViewController::tradeNameLabel() {
    view();
    return name_.get();
}

void CBTradeViewController::buildWidgets() {
    price_ = makeField(kPriceFieldTag);
    price_->setPlaceholder("<输入委托价格>");
    tradeAmountTF()->setPlaceholder("<输入委托数量>");
    name_ = makeLabel();
}

std::string CBTradeViewController::rowTitle(int row) const {
    const bool convert = direction() == 0;
    switch (row) {
        case 1:
            return convert ? "转债代码" : "回售代码";
        case 2:
            return convert ? "转债名称" : "回售名称";
        case 3:
            return "委托价格";
        default:
            return convert ? "转股数量" : "回售数量";
    }
}

std::shared_ptr<UIView> CBTradeViewController::rowWidget(int row) {
    switch (row) {
        case 1: {
            auto code = tradeSymbolTF()->shared();
            tradeSymbolTF()->setPlaceholder(direction() == 0 ? "<输入转债代码>" : "<输入回售代码>");
            return code;
        }
        case 2:
            name_->setText(bondName_);
            return name_;
        case 3:
            return price_;
        default:
            return tradeAmountTF()->shared();
    }
}

double CBTradeViewController::editingOffset(int fieldTag) const {
    if (fieldTag == kPriceFieldTag) return 60;
    if (fieldTag == kAmountFieldTag) return 100;
    return 0;
}

RequestBuilder CBTradeViewController::lookupRequest(const std::string& code) const {
    // The bond lookup's function keys go in capitals, as the brokerage has them.
    RequestBuilder r = RequestBuilder::fromText("TC_MFUNCNO=" + std::to_string(WealthContract::kBondInfo.main) +
                                                "&TC_SFUNCNO=" + std::to_string(WealthContract::kBondInfo.sub));
    r.add(Key::kStockCode, code)
        .add(Key::kBsFlag, orderFlag())
        .appendFields(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""))
        .add(Key::kFundId, tradeFundId());
    return r;
}

void CBTradeViewController::lookupArrived(VTATCRS& set) {
    bondName_ = set.toStringWithFieldName(Col::kStockName).value_or("");
    price_->setText(set.toStringWithFieldName(Col::kPrice).value_or(""));
}

void CBTradeViewController::directionChanged() {
    price_->setText("");
    bondName_.clear();
}

std::string CBTradeViewController::orderFlag() const {
    return direction() == 0 ? WealthContract::BsFlag::kConvert : WealthContract::BsFlag::kPutBack;
}

std::string CBTradeViewController::orderRefusal() const {
    if (!isPlainDecimal(price_->text())) return kBadPriceText;
    if (!isPositiveWhole(amountText())) return kNoQuantityText;
    return "";
}

std::string CBTradeViewController::orderSummary() const {
    return bondOrderSummary(direction(), codeText(), bondName_, price_->text(), amountText());
}

std::optional<std::string> CBTradeViewController::orderPrice() const { return price_->text(); }
