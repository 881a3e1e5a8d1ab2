#pragma once
// The rules of the fund screens, apart from their views: the checks of what
// the customer typed with the texts they show, the order summaries of the
// confirmation sheets, the request texts of the lookups and orders, and the
// hex text a fund name travels as.
#include <string>

#include "core/RequestBuilder.h"

inline constexpr const char* kNoFundCodeText = "请输入基金代码";
inline constexpr const char* kNoAmountText = "请输入金额";
inline constexpr const char* kBadAmountText = "请输入正确的金额";
inline constexpr const char* kAmountPatternText = "价格输入错误";
inline constexpr const char* kUnknownFundText = "查无此基金信息！";
inline constexpr const char* kNoUnitsText = "请输入份额";
inline constexpr const char* kNoRedeemUnitsText = "请输入赎回份额";
inline constexpr const char* kNoHeldFundText = "请选择持有的基金";

// Digits with at most one point, at least one digit ("12.", ".5", "100").
inline constexpr const char* kFundDecimalPattern = "([0-9]+\\.[0-9]*)|([0-9]*\\.[0-9]+)|([0-9]+)";

// Trade types of the order form: 认购 in the offering period, 申购 after.
inline constexpr int kSubscriptionType = 1;
inline constexpr int kPurchaseType = 2;

// The first check an amount (trimmed) fails, in order: empty "请输入金额",
// an inner blank or a second point "请输入正确的金额", anything but digits
// with at most one point "价格输入错误"; "" when it passes.
std::string fundAmountRefusal(const std::string& amount);
// Units to redeem: digits with at most one point, above 0; "请输入份额" otherwise.
std::string redeemUnitsRefusal(const std::string& units);

// "交易类型：基金申购 \n基金代码：..\n基金名称：..\n申购金额：..\n" (认购 for type 1).
std::string buySaleSummary(int tradeType, const std::string& code, const std::string& name, const std::string& amount);
// "交易类型：基金赎回 \n基金代码：..\n基金名称：..\n赎回份额：..\n".
std::string redeemSummary(const std::string& code, const std::string& name, const std::string& units);

// The fund lookup 100/24 for a code, with the session and the fund account.
RequestBuilder fundLookupRequest(const std::string& code);
// The fund's information and the holding of it, 100/25.
RequestBuilder fundInfoRequest(const std::string& code);
// The subscription (type 1, 500/34) or purchase (500/35) by amount, with the
// risk-check value ("1", or "0" once the warning was accepted).
RequestBuilder fundBuyRequest(int tradeType, const std::string& code, const std::string& amount,
                              const std::string& checkRisk);
// The fund shares held, 500/41.
RequestBuilder heldFundsRequest();
// The redemption 500/36: the units and the large-redemption handling (0 取消, 1 顺延).
RequestBuilder redeemRequest(const std::string& code, const std::string& units, int redeemType);

// A name as the fund finder sends it: its UTF-16LE bytes in lower-case hex
// ("abc" -> "610062006300").
std::string hexFundName(const std::string& name);
