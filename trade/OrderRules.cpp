#include "trade/OrderRules.h"

#include <cstdlib>

#include "core/RequestText.h"
#include "core/Utilities.h"
#include "core/VTAChoice.h"
#include "core/contracts/TradeContract.h"

namespace {

namespace Flag = TradeContract::BsFlag;
using TradeContract::AccountType::kShanghaiA;
using TradeContract::AccountType::kShanghaiB;
using TradeContract::AccountType::kShenzhenA;
using TradeContract::AccountType::kShenzhenB;

struct TypeRow {
    const char* label;
    const char* buy;
    const char* sell;
};

const TypeRow kShenzhenTypes[] = {
    {kLimitOrderLabel, Flag::kLimitBuy, Flag::kLimitSell},
    {"对方最优价格", Flag::kBestOppositeBuy, Flag::kBestOppositeSell},
    {"本方最优价格", Flag::kBestOwnBuy, Flag::kBestOwnSell},
    {"即时成交剩余撤销", Flag::kImmediateBuy, Flag::kImmediateSell},
    {"五档即成剩撤", Flag::kFiveLevelsBuy, Flag::kFiveLevelsSell},
    {"全部成交或撤销", Flag::kAllOrNothingBuy, Flag::kAllOrNothingSell},
};
const TypeRow kShanghaiTypes[] = {
    {kLimitOrderLabel, Flag::kLimitBuy, Flag::kLimitSell},
    {"五档即成剩撤", Flag::kFiveLevelsBuy, Flag::kFiveLevelsSell},
    {"五档即成转限价", Flag::kFiveLevelsToLimitBuy, Flag::kFiveLevelsToLimitSell},
};
const TypeRow kOtherTypes[] = {
    {kLimitOrderLabel, Flag::kLimitBuy, Flag::kLimitSell},
};

template <size_t N>
std::vector<OrderType> rowsOf(const TypeRow (&rows)[N], int direction) {
    std::vector<OrderType> types;
    for (const auto& r : rows) types.push_back({r.label, direction == kBuy ? r.buy : r.sell});
    return types;
}

// Digits with at most one point, at least one digit.
constexpr const char* kPricePattern = "([0-9]+\\.[0-9]*)|([0-9]*\\.[0-9]+)|([0-9]+)";

}  // namespace

std::vector<OrderType> orderTypesFor(const std::string& market, int direction) {
    if (market == kShenzhenA || market == kShenzhenB) return rowsOf(kShenzhenTypes, direction);
    if (market == kShanghaiA || market == kShanghaiB) return rowsOf(kShanghaiTypes, direction);
    return rowsOf(kOtherTypes, direction);
}

void fillOrderTypes(VTAChoice& list, const std::string& market, int direction) {
    fillOrderTypes(list, orderTypesFor(market, direction));
}

void fillOrderTypes(VTAChoice& list, const std::vector<OrderType>& types) {
    list.clear();
    for (const auto& t : types) list.setItemWithTitle(t.label, t.code);
}

std::string limitOrderCode(int direction) { return direction == kBuy ? Flag::kLimitBuy : Flag::kLimitSell; }

bool isLimitOrderCode(const std::string& code) { return code == Flag::kLimitBuy || code == Flag::kLimitSell; }

int lotSizeOf(const std::string& code, const std::string& market) {
    if (code.size() != 6) return kShareLot;
    if (market == kShanghaiA || market == kShanghaiB) return code[0] == '0' || code[0] == '1' ? kBondLot : kShareLot;
    if (market == kShenzhenA || market == kShenzhenB)
        return code[0] == '1' && code[1] >= '0' && code[1] <= '3' ? kBondLot : kShareLot;
    return kShareLot;
}

std::optional<int> quantityForShortcut(int segment, int maxQuantity, int direction, bool oddLotSells, int lot) {
    if (maxQuantity < 0 || segment < 0 || segment > 4 || lot < 1) return std::nullopt;
    if (segment == 4) return maxQuantity;
    const int divisor = 5 - segment;  // 1/5, 1/4, 1/3, 1/2
    const int lots = maxQuantity / (divisor * lot) * lot;
    return direction != kBuy && oddLotSells ? lots + maxQuantity % lot : lots;
}

bool isPriceText(const std::string& text) { return gtm_matchesPattern(text, kPricePattern); }

std::string orderCheckRefusal(const OrderInput& input) {
    if (input.code.empty()) return kNoCodeText;
    if (isLimitOrderCode(input.orderType) && !isPriceText(input.price)) return kBadPriceText;
    // "0", "00" and the like order nothing.
    if (input.quantity.empty() || input.quantity.find_first_not_of('0') == std::string::npos) return kNoQuantityText;
    return "";
}

std::string orderConfirmationText(int direction, const std::string& name, const std::string& code,
                                  const std::string& typeLabel, const std::string& price, const std::string& quantity) {
    const bool buy = direction == kBuy;
    std::string text = "您确定要发送如下信息吗？\n";
    text += (buy ? "买入证券：" : "卖出证券：") + name + " \n";
    text += "证券代码：" + code + " \n";
    text += "报价方式：" + typeLabel + " \n";
    text += (buy ? "买入价格：" : "卖出价格：") + price + " \n";
    text += (buy ? "买入数量：" : "卖出数量：") + quantity + " \n";
    return text;
}

RequestBuilder stockInfoRequest(int direction, const std::string& code, const std::optional<std::string>& price) {
    namespace Key = TradeContract::Key;
    RequestBuilder r = RequestBuilder::trade(TradeContract::kStockInfo.sub);
    r.add(Key::kBsFlag, limitOrderCode(direction)).add(Key::kStockCode, code);
    if (price) r.add(Key::kPrice, *price);
    return r;
}

RequestBuilder orderRequest(const OrderTicket& t) {
    namespace Key = TradeContract::Key;
    RequestBuilder r = RequestBuilder::trade(TradeContract::kOrder.sub);
    r.add(Key::kFundId, tradeFundId())
        .add(Key::kBsFlag, t.orderType)
        .add(Key::kPrice, isLimitOrderCode(t.orderType) ? t.price : std::string())
        .add(Key::kQuantity, t.quantity)
        .add(Key::kStockCode, t.code)
        .appendFields(t.stockholder);
    if (t.direction == kBuy)
        r.add(Key::kCheckRisk, t.riskAccepted ? TradeContract::Value::kRiskAccepted : TradeContract::Value::kCheckRisk);
    return r;
}

int quoteMarketOfShareholderMarket(const std::string& market) {
    return static_cast<int>(std::strtol(market.c_str(), nullptr, 10) % 2 + 1);
}
