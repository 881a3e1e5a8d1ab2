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
// Buy-to-return (2) buys owed shares back, securities repayment (4) returns
// them from the credit account's own, sell-to-repay (7) sells the credit
// account's shares to repay the financing debt, collateral in (5) and out (6)
// move shares between the ordinary and the credit account; 4, 5 and 6 carry
// no order type and no price. Their maximums are 500/4 with the flag.
//
// The credit account's own functions (request type 4): the debt (kDebt:
// Col::kMayRepay the cash that may repay, Col::kRepay the debt owed), the cash
// repayment (kCashRepay with Key::kPayOffAsset; Col::kMessageOk), the
// automatic repayment's state (kAutoRepayStatus: Col::kRepayFlag "1" on) and
// its setting (kAutoRepaySet with Key::kRepayFlag 1 or 0; Col::kMessageOk).
// The margin lists are named by the menu links; the simulator serves them as
// kCreditLimits, kCreditAssets, kOwedSecurities, kCreditHoldings,
// kTransferable (Key::kBusiFlag "0" out of, "1" into the credit account),
// kCollateralSecurities and kTargetSecurities (both by "stkcode").
#include <string_view>

#include "core/contracts/FunctionId.h"
namespace MarginContract {
inline constexpr FunctionId kDebt{500, 75};
inline constexpr FunctionId kCashRepay{500, 76};
inline constexpr FunctionId kAutoRepayStatus{500, 86};
inline constexpr FunctionId kAutoRepaySet{500, 87};
inline constexpr FunctionId kCreditLimits{500, 90};
inline constexpr FunctionId kCreditAssets{500, 91};
inline constexpr FunctionId kOwedSecurities{500, 92};
inline constexpr FunctionId kCreditHoldings{500, 93};
inline constexpr FunctionId kTransferable{500, 94};
inline constexpr FunctionId kCollateralSecurities{500, 95};
inline constexpr FunctionId kTargetSecurities{500, 96};
namespace Key {
inline constexpr const char* kCreditId = "creditid";
inline constexpr const char* kCreditFlag = "creditflag";
inline constexpr const char* kMoneyType = "moneytype";  // "0" 人民币
inline constexpr const char* kPayOffAsset = "payoffasset";
inline constexpr const char* kRepayFlag = "repayflag";
inline constexpr const char* kBusiFlag = "busiflag";
}  // namespace Key
namespace Value {
inline constexpr const char* kCreditId = "0";
inline constexpr const char* kRMB = "0";
inline constexpr const char* kOutOfCredit = "0";  // busiflag
inline constexpr const char* kIntoCredit = "1";
}  // namespace Value
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
inline constexpr const char* kMayRepay = "mayrepay";
inline constexpr const char* kRepay = "repay";
inline constexpr const char* kMessageOk = "msgok";
inline constexpr const char* kRepayFlag = "repayflag";
inline constexpr const char* kAvailable = "stkavl";
}  // namespace Col
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
