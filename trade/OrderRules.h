#pragma once
// The rules both stock order screens share (the newer TradeViewController and
// the older VTATradeController; the margin order screens use the table of
// order types): the order types a shareholder market offers, the quantity
// shortcuts, the checks before an order with their messages, the
// confirmation text, and the texts of the stock-information (500/4) and
// order (500/6) requests.
//
// Direction: 0 buy, 1 sell (kBuy, kSell). Market key: the shareholder
// market as text, "0" 深A, "1" 沪A, "2" 深B, "3" 沪B.
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"

class VTAChoice;

inline constexpr int kBuy = 0;
inline constexpr int kSell = 1;

struct OrderType {
    std::string label;  // "限价委托"
    std::string code;   // "bsflag"
};

// The order types of the market for the direction, in the order offered:
// Shenzhen ("0", "2") the limit order and five market types, Shanghai ("1",
// "3") the limit order and two, any other key the limit order alone.
std::vector<OrderType> orderTypesFor(const std::string& market, int direction);
// Fills the picker's list with them, or with the types given (title the
// label, value the code).
void fillOrderTypes(VTAChoice& list, const std::string& market, int direction);
void fillOrderTypes(VTAChoice& list, const std::vector<OrderType>& types);
// "0B" for a buy, "0S" for a sell.
std::string limitOrderCode(int direction);
bool isLimitOrderCode(const std::string& code);
inline constexpr const char* kLimitOrderLabel = "限价委托";
// What the price field shows for a market type in the newer screen.
inline constexpr const char* kMarketPriceText = "市价委托";

// The shortcut segments, left to right.
inline const std::vector<std::string> kQuantityShortcuts = {"1/5", "1/4", "1/3", "1/2", "全部"};
// The lot the brokerage trades a security in: 10 张 for a bond (Shanghai
// codes beginning with 0 or 1, Shenzhen codes 10xxxx to 13xxxx), 100 shares
// for every other; market is the shareholder market key.
inline constexpr int kShareLot = 100;
inline constexpr int kBondLot = 10;
int lotSizeOf(const std::string& code, const std::string& market);

// The quantity a shortcut gives for the maximum, counted in the security's
// lot: the fraction rounded down to whole lots, except for "全部" (the whole
// maximum) and, with `oddLotSells`, a sell's fractions, which carry the odd
// lot of the maximum along: the whole lots of the fraction plus the
// maximum's odd remainder (in lots of 100, 1/3 of 500 is 100, 1/2 of 1,234
// is 600 + 34; in lots of 10, 1/2 of 25 张 is 10 + 5). The exchanges take an
// odd lot only whole, so an unrounded fraction (166 of 500) would be
// refused, while this one sells the odd lot with the first fraction and
// every later one in whole lots. Nothing for a negative maximum, an unknown
// segment or a lot below 1.
std::optional<int> quantityForShortcut(int segment, int maxQuantity, int direction, bool oddLotSells, int lot);

// What the customer typed, as the checks read it.
struct OrderInput {
    std::string code;
    std::string orderType;  // the chosen "bsflag"
    std::string price;
    std::string quantity;
};
inline constexpr const char* kNoStockInfoText = "委托数据错误";
inline constexpr const char* kNoCodeText = "请选择证券";
inline constexpr const char* kBadPriceText = "价格输入错误";
inline constexpr const char* kNoQuantityText = "请输入数量";
inline constexpr const char* kNoStockholderText = "无对应股东代码";
// Whether a text is a price as the checks take it: digits with at most one
// point, at least one digit ("12.", ".5").
bool isPriceText(const std::string& text);
// The first check the input fails, in order: a code, a price for a limit
// order (digits with at most one point), a quantity above 0; "" when it
// passes. Neither the price limits nor the maximum are checked: the
// brokerage judges both.
std::string orderCheckRefusal(const OrderInput& input);

// "您确定要发送如下信息吗？" and the five lines of the order.
std::string orderConfirmationText(int direction, const std::string& name, const std::string& code,
                                  const std::string& typeLabel, const std::string& price, const std::string& quantity);

// The stock-information request: the limit code of the direction, the code
// and, when given, the price.
RequestBuilder stockInfoRequest(int direction, const std::string& code,
                                const std::optional<std::string>& price = std::nullopt);

// One order as the customer confirmed it.
struct OrderTicket {
    int direction = kBuy;
    std::string orderType;
    std::string price;  // sent empty for a market type
    std::string quantity;
    std::string code;
    std::string stockholder;  // "market=..&secuid=.."
    bool riskAccepted = false;
};
// The order request; a buy asks about the risk until it was accepted.
RequestBuilder orderRequest(const OrderTicket& ticket);

inline constexpr const char* kOrderSentText = "委托已提交，请进入当日委托查询!";
inline constexpr const char* kOrderSendingText = "委托请求中...";

// The quote market id of a shareholder market: "0" and "2" Shenzhen (1), "1"
// and "3" Shanghai (2).
int quoteMarketOfShareholderMarket(const std::string& market);
