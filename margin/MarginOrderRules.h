#pragma once
// What the margin order screens share (the newer MarginTradeViewController,
// the older VTARZRQTradeViewController and the other older margin forms):
// the order types of each kind of credit order, the texts of the maximum
// query (500/4) and of the credit order (500/6), and the older forms'
// confirmation and refusal texts. The shareholder accounts are the stock
// order screens' (trade/StockholderList.h), the checks and the quantity
// shortcuts theirs too (trade/OrderRules.h).
//
// A credit flag (MarginContract::CreditFlag) names the kind: 0 financing
// buy, 1 short sell, 2 buy-to-return, 4 securities repayment, 5 and 6
// collateral in and out, 7 sell-to-repay.
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"
#include "trade/OrderRules.h"

// The credit flag of the two orders that open a position, by direction (0 buy, 1 sell).
int creditFlagOfDirection(int direction);

// The order types a credit order of the flag offers on the shareholder
// market, in the order offered:
//   financing buy   the stock buy's types of the market (orderTypesFor)
//   short sell      the limit order alone, whatever the market
//   buy-to-return   Shenzhen A ("0") the six buy types, Shanghai A ("1") the three; none elsewhere
//   sell-to-repay   Shenzhen A the six sell types, Shanghai A the three; none elsewhere
//   other flags     none (those orders have no order type)
std::vector<OrderType> creditOrderTypesFor(int creditFlag, const std::string& market);

// The maximum a credit order may have (500/4), in this order: "stkcode"
// (and "code" with it again for a buy-to-return), then "price" when given (empty too), "bsflag" when not empty,
// "creditid=0&creditflag=" when a flag is given, and the menu item's link
// appended whole when there is one (it names the flag for the server).
struct CreditMaxQuery {
    std::string code;
    bool codeTwice = false;
    std::optional<std::string> price;
    std::string bsflag;
    std::optional<int> creditFlag;
    std::string link;
};
RequestBuilder creditMaxRequest(const CreditMaxQuery& query);

// One credit order as the customer confirmed it.
struct CreditOrder {
    int creditFlag = 0;
    std::string stockholder;  // "market=..&secuid=.."
    std::string code;
    std::string orderType;  // "bsflag"; "" for the kinds without one (then no price either)
    std::string price;      // sent empty for a market type
    std::string quantity;
};
// The order (500/6): the shareholder account, "fundid", "stkcode", "bsflag"
// and "price" (for kinds with an order type), "qty", "creditid=0" and
// "creditflag".
RequestBuilder creditOrderRequest(const CreditOrder& order);

// The older margin forms' texts.
inline constexpr const char* kFormNoCodeText = "证券代码为空！";
inline constexpr const char* kFormBadPriceText = "证券价格有误！";
inline constexpr const char* kFormNoQuantityText = "证券数量为空！";
// The first check an older form's input fails ("" none): a code (blanks
// alone are none), a price for a limit order (digits with at most one
// point), a quantity that is not empty. The brokerage judges the rest.
std::string marginFormRefusal(const OrderInput& input);
// "您确定要发送如下信息吗？" and the order's lines: the stock, its code, the
// price of a limit order or the order type of a market type, the quantity.
std::string marginFormConfirmationText(int direction, const std::string& name, const std::string& code,
                                       const std::string& orderType, const std::string& typeLabel,
                                       const std::string& price, const std::string& quantity);
