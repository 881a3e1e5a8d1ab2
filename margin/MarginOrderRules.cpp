#include "margin/MarginOrderRules.h"

#include "core/RequestText.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"

namespace Flag = MarginContract::CreditFlag;
namespace Key = TradeContract::Key;
using TradeContract::AccountType::kShanghaiA;
using TradeContract::AccountType::kShenzhenA;

namespace {
constexpr const char* kCodeKey = "code";
}

int creditFlagOfDirection(int direction) { return direction == kBuy ? Flag::kFinancingBuy : Flag::kShortSell; }

std::vector<OrderType> creditOrderTypesFor(int creditFlag, const std::string& market) {
    const bool aShares = market == kShenzhenA || market == kShanghaiA;
    switch (creditFlag) {
        case Flag::kFinancingBuy:
            return orderTypesFor(market, kBuy);
        case Flag::kShortSell:
            return {{kLimitOrderLabel, limitOrderCode(kSell)}};
        case Flag::kBuyToReturn:
            return aShares ? orderTypesFor(market, kBuy) : std::vector<OrderType>{};
        case Flag::kSellToRepay:
            return aShares ? orderTypesFor(market, kSell) : std::vector<OrderType>{};
        default:
            return {};
    }
}

RequestBuilder creditMaxRequest(const CreditMaxQuery& q) {
    RequestBuilder r = RequestBuilder::trade(TradeContract::kStockInfo.sub);
    r.add(Key::kStockCode, q.code);
    if (q.codeTwice) r.add(kCodeKey, q.code);
    if (q.price) r.add(Key::kPrice, *q.price);
    if (!q.bsflag.empty()) r.add(Key::kBsFlag, q.bsflag);
    if (q.creditFlag)
        r.add(MarginContract::Key::kCreditId, MarginContract::Value::kCreditId)
            .add(MarginContract::Key::kCreditFlag, *q.creditFlag);
    // The link as it stands: its command and "?" lead its first key.
    r.appendFields(q.link);
    return r;
}

RequestBuilder creditOrderRequest(const CreditOrder& o) {
    RequestBuilder r = RequestBuilder::trade(TradeContract::kOrder.sub);
    r.appendFields(o.stockholder).add(Key::kFundId, tradeFundId()).add(Key::kStockCode, o.code);
    if (!o.orderType.empty())
        r.add(Key::kBsFlag, o.orderType).add(Key::kPrice, isLimitOrderCode(o.orderType) ? o.price : std::string());
    r.add(Key::kQuantity, o.quantity)
        .add(MarginContract::Key::kCreditId, MarginContract::Value::kCreditId)
        .add(MarginContract::Key::kCreditFlag, o.creditFlag);
    return r;
}

std::string marginFormRefusal(const OrderInput& input) {
    if (input.code.empty()) return kFormNoCodeText;
    if (isLimitOrderCode(input.orderType) && !isPriceText(input.price)) return kFormBadPriceText;
    if (input.quantity.empty()) return kFormNoQuantityText;
    return "";
}

std::string marginFormConfirmationText(int direction, const std::string& name, const std::string& code,
                                       const std::string& orderType, const std::string& typeLabel,
                                       const std::string& price, const std::string& quantity) {
    const bool buy = direction == kBuy;
    std::string text = "您确定要发送如下信息吗？\n";
    text += (buy ? "买入证券：" : "卖出证券：") + name + " \n";
    text += "证券代码：" + code + " \n";
    if (isLimitOrderCode(orderType))
        text += (buy ? "买入价格：" : "卖出价格：") + price + " \n";
    else
        text += "报价方式：" + typeLabel + " \n";
    text += (buy ? "买入数量：" : "卖出数量：") + quantity + " \n";
    return text;
}
