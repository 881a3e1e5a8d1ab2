#pragma once
// The rules of the bond, exchange-fund, wealth-plan, conversion and
// dividend screens apart from their views: what typed numbers must look
// like, and the summaries their confirmation sheets show.
#include <string>

// Digits with at most one point and at least one digit ("12", "12.", ".5").
bool isPlainDecimal(const std::string& text);
// A plain decimal above 0.
bool isPositiveDecimal(const std::string& text);
// Digits only, above 0.
bool isPositiveWhole(const std::string& text);

// The bond screen's sheet: conversion (direction 0) or put-back.
std::string bondOrderSummary(int direction, const std::string& code, const std::string& name, const std::string& price,
                             const std::string& quantity);
// The exchange-fund screen's sheet: subscription (direction 0) or redemption.
std::string exchangeFundSummary(int direction, const std::string& code, const std::string& name,
                                const std::string& amount);

// A wealth plan's amount: "请输入金额" empty, "请输入正确的金额" no plain
// decimal, "输入金额的金额必须为1000的整数倍" unless a whole multiple of 1000
// above 0; "" when it passes.
std::string planAmountRefusal(const std::string& amount);

inline constexpr const char* kBadUnitsText = "请输入正确的份额";
// The conversion form's sheet.
std::string conversionSummary(const std::string& fromCode, const std::string& fromName, const std::string& toCode,
                              const std::string& toName, const std::string& units);
// The dividend form's sheet.
std::string dividendSummary(const std::string& code, const std::string& name, const std::string& method);
