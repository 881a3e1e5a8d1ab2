#pragma once
// What the margin forms that repay or move shares share with the credit
// account's own screens: the request texts of the debt (500/75), the cash
// repayment (500/76) and the automatic repayment (500/86, 500/87), the
// checks of an amount and of a price, and the confirmation texts of the
// forms (buy-to-return, securities repayment, sell-to-repay, collateral
// transfer).
#include <string>
#include <vector>

#include "core/RequestBuilder.h"

// The debt: "creditid=0", the fund account again, "moneytype=0".
RequestBuilder marginDebtRequest();
// The cash repayment of the amount as typed.
RequestBuilder marginCashRepayRequest(const std::string& amount);
RequestBuilder marginAutoRepayStatusRequest();
RequestBuilder marginAutoRepaySetRequest(bool on);

inline constexpr const char* kBadAmountText = "输入金额有误！";
inline constexpr const char* kBadStockPriceText = "股票价格有误！";
inline constexpr const char* kNoStockQuantityText = "股票数量为空！";
inline constexpr const char* kNoRowText = "没有相关信息";
// A price or an amount: digits with at most one point and at least one
// digit ("12.", ".5"), worth more than 0. A price below 1 such as 0.05 is
// one.
bool isPositiveDecimalText(const std::string& text);

// "您确定要发送如下信息吗？\n" and each line as "<caption>：<value> \n".
std::string marginSheetText(const std::vector<std::pair<std::string, std::string>>& lines);
