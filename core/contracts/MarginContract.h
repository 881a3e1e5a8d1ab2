#pragma once
// Margin (credit) trading. A credit order is the stock order of
// TradeContract (kOrder, 500/6) with Key::kCreditId ("0") and Key::kCreditFlag,
// the kind of credit order (CreditFlag); its reply's set 0 carries
// Col::kOrderId. The maximum of a credit order is the stock information
// (TradeContract::kStockInfo, 500/4) with the same columns; it names the
// kind by its "bsflag" and by the credit flag that the screen's menu link
// carries: the link is appended whole ("rzrq_rzmr?creditflag=0"), so the
// flag may arrive under a key that still holds the link's command and "?"
// (creditFlagKeyMatches).
//
// Financing buy: a buy paid with the brokerage's money, which becomes the
// customer's financing debt; the stock must be one the brokerage finances.
// Short sell: a sale of shares the brokerage lends, which the customer owes
// until they are bought back or returned; only the limit order ("0S").
#include <string_view>

#include "core/contracts/FunctionId.h"
namespace MarginContract {
namespace Key {
inline constexpr const char* kCreditId = "creditid";
inline constexpr const char* kCreditFlag = "creditflag";
}  // namespace Key
namespace Value {
inline constexpr const char* kCreditId = "0";
}
// What "creditflag" names.
namespace CreditFlag {
inline constexpr int kFinancingBuy = 0;         // 融资买入
inline constexpr int kShortSell = 1;            // 融券卖出
inline constexpr int kBuyToReturn = 2;          // 买券还券
inline constexpr int kSecuritiesRepayment = 4;  // 直接还券
inline constexpr int kCollateralIn = 5;         // 担保品转入
inline constexpr int kCollateralOut = 6;        // 担保品转出
inline constexpr int kSellToRepay = 7;          // 卖券还款
}  // namespace CreditFlag
namespace Col {
inline constexpr const char* kOrderId = "orderid";
}
// Whether a request key names the credit flag: "creditflag", or a menu
// link's command and "?" before it ("rzrq_rzmr?creditflag"), in any case.
inline bool creditFlagKeyMatches(std::string_view key) {
    if (auto q = key.rfind('?'); q != std::string_view::npos) key.remove_prefix(q + 1);
    constexpr std::string_view flag = Key::kCreditFlag;
    if (key.size() != flag.size()) return false;
    for (size_t i = 0; i < key.size(); ++i)
        if ((key[i] | 0x20) != flag[i]) return false;
    return true;
}
}  // namespace MarginContract
