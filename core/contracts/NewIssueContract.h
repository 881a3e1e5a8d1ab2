#pragma once
// New-issue subscription (system function 100 with the trade session text):
// the list of new issues, and one order for several issues in three steps:
// the limits, the quantities a strategy gives, the order.
//
// List (kList): Key::kMarkets, the customer's shareholder markets joined
// by "," ("0,1"): the issues of those markets. Columns in this order:
// Col::kName, kCode (the subscription code), kPrice, kIssueDate, kIssueQty,
// kPE, kMaxQty, kListDate, kMarket (shareholder market), kStatus
// (Status::kToday: subscribable today; others not).
// Limits (kLimits): Key::kStockCode, the codes joined by ",". Set 0
// Col::kFundAvl (the money available); set 1 one record per code, in the
// order sent: kName, kCode, kPrice, kMaxQty (the issue's upper limit) and
// kMaxBuy (what the customer may subscribe now).
// Calculation (kCalculation): Key::kPolicy (Policy), kCodes, kMarkets and
// kParams (one value per code joined by ",": shares, percentages or yuan
// by the policy; empty for the policies without input). Set 0, one record
// per code, read by position: code, name, price, quantity (whole lots),
// amount, market.
// Order (kSubscribe): Key::kFundIds, kPrice, kMarkets, kSecuIds, kQty and
// kCodes, each one value per issue joined by ",". Set 0, one record per
// issue: the code and, in field 1, the issue's result line.
#include "core/contracts/FunctionId.h"

namespace NewIssueContract {
inline constexpr FunctionId kList{100, 18};
inline constexpr FunctionId kLimits{100, 30};
inline constexpr FunctionId kCalculation{100, 19};
inline constexpr FunctionId kSubscribe{100, 20};

namespace Key {
inline constexpr const char* kMarkets = "markets";
inline constexpr const char* kListMarkets = "market";  // the list's markets ("0,1")
inline constexpr const char* kStockCode = "stkcode";
inline constexpr const char* kPolicy = "policyid";
inline constexpr const char* kCodes = "codes";
inline constexpr const char* kParams = "params";
inline constexpr const char* kFundIds = "fundids";
inline constexpr const char* kPrice = "price";
inline constexpr const char* kSecuIds = "secuids";
inline constexpr const char* kQty = "qty";
}  // namespace Key

namespace Policy {                      // strategies, by "policyid"
inline constexpr int kShares = 0;       // 自定义: shares per issue
inline constexpr int kEqualFunds = 1;   // 等资金: the money shared equally
inline constexpr int kPercentages = 2;  // 自定义比例: a share of the money per issue
inline constexpr int kAmounts = 3;      // 自定义资金: yuan per issue
inline constexpr int kUpperLimit = 4;   // 按上限申购: each issue's upper limit, as the money allows
}  // namespace Policy

namespace Col {
inline constexpr const char* kName = "stkname";
inline constexpr const char* kCode = "stkcode";
inline constexpr const char* kPrice = "price";
inline constexpr const char* kIssueDate = "issuedate";  // yyyyMMdd
inline constexpr const char* kIssueQty = "issueqty";    // 万股
inline constexpr const char* kPE = "pe";
inline constexpr const char* kMaxQty = "maxqty";
inline constexpr const char* kListDate = "listdate";
inline constexpr const char* kMarket = "market";
inline constexpr const char* kStatus = "status";
inline constexpr const char* kFundAvl = "fundavl";
inline constexpr const char* kMaxBuy = "maxbuy";
inline constexpr const char* kResult = "result";
}  // namespace Col

namespace Status {
inline constexpr int kToday = 0;
inline constexpr int kLater = 1;
}  // namespace Status
}  // namespace NewIssueContract
