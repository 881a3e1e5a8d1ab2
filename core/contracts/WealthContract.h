#pragma once
// Convertible bonds and exchange-listed funds, the brokerage's wealth plans,
// and what a customer does with the open-end funds held: conversion into
// another fund, the dividend method, accounts with fund companies.
//
// Convertible bonds and exchange funds ride on the stock road:
//   kBondInfo  (3500/1, keys in capitals as the brokerage has them)
//              TradeContract::Key::kStockCode and kBsFlag (BsFlag::kConvert
//              or kPutBack), with the session text and "fundid". Set 0:
//              TradeContract::Col::kStockName, kPrice (the conversion or
//              put-back price), kMarket (the shareholder market).
//   TradeContract::kStockInfo (500/4) with BsFlag::kSubscribe / kRedeem:
//              the exchange fund: kStockName, kMarket, Col::kCash (the cash,
//              a subscription's), TradeContract::Col::kMaxQuantity (the most
//              a subscription may spend in 元, or the shares that may be
//              redeemed).
//   TradeContract::kOrder (500/6) with one of these flags: kFundId, kBsFlag,
//              kPrice (bonds only), kQuantity (张, 元 or 份), kStockCode,
//              kMarket and kSecuId. Set 0 TradeContract::Col::kOrderNumber;
//              the order is among the day's stock orders.
// The open-end funds held (500/N with the session text and "fundid"; the
// holdings are FundContract::kHoldings, the net values kFundInformation):
//   kConversion  FundContract::Key::kFundCode (the fund held),
//                FundContract::Key::kUnits, Key::kOtherFund (the fund to
//                convert into), FundContract::Key::kRedeemType. Set 0
//                FundContract::Col::kOrderNumber.
//   kDividend    FundContract::Key::kFundCode, Key::kDividendMethod
//                (DividendMethod). Set 0 FundContract::Col::kOrderNumber.
//   kFundQuery   with FundContract::Key::kFundCode: the fund (set 0
//                FundContract::Col::kFundCode, kFundName, kCompany; no record
//                for an unknown code). With FundContract::Key::kQueryFlag
//                QueryFlag::kPlans: the wealth plans, paged (Key kCount,
//                kCursor): kFundCode, kFundName, kCursor and display columns.
// Fund company accounts:
//   kCompanies   set 0: field 0 the company's code (tacode), field 1 its name.
//   kCustomer    set 0 the customer: Col::kCustomerName, kSexText, kIdNo,
//                kIdType, kAddress, kPostCode.
//   kOpenAccount FundContract::Key::kCompany, Key::kTaAccount (an account the
//                customer has with the company already, to be added; none
//                opens a new one), kName and kFullName (the customer's name
//                as its UTF-16LE bytes in lower-case hex), kIdType, kIdNo,
//                kSex (Sex), kAddress (hex as the name), kPostCode, kPhone.
//                Set 0 FundContract::Col::kOrderNumber.
// The wealth plans are ordered as funds are (FundContract::kSubscribe,
// kPurchase), in whole thousands of 元.
// The day's fund business (the menu's link names it, paged by Key kCount and
// kCursor): kTodayBusiness, every fund and plan order, conversion, dividend
// setting and fund account opening of the day, newest first:
// FundContract::Col::kOrderNumber, kFundCode, kFundName and display columns.
#include "core/contracts/FunctionId.h"
namespace WealthContract {
inline constexpr FunctionId kBondInfo{3500, 1};
inline constexpr FunctionId kConversion{500, 38};
inline constexpr FunctionId kDividend{500, 39};
inline constexpr FunctionId kTodayBusiness{500, 43};
inline constexpr FunctionId kOpenAccount{500, 44};
inline constexpr FunctionId kCompanies{500, 48};
inline constexpr FunctionId kCustomer{500, 49};
inline constexpr FunctionId kFundQuery{500, 50};

namespace BsFlag {
inline constexpr const char* kConvert = "0G";    // 可转债转股
inline constexpr const char* kPutBack = "0H";    // 可转债回售
inline constexpr const char* kSubscribe = "03";  // 基金申购
inline constexpr const char* kRedeem = "04";     // 基金赎回
}  // namespace BsFlag

namespace Key {
inline constexpr const char* kOtherFund = "otherofcode";
inline constexpr const char* kDividendMethod = "dividmethod";
inline constexpr const char* kTaAccount = "taacc";
inline constexpr const char* kName = "name";
inline constexpr const char* kFullName = "fullname";
inline constexpr const char* kIdType = "idtype";
inline constexpr const char* kIdNo = "idno";
inline constexpr const char* kSex = "sex";
inline constexpr const char* kAddress = "addr";
inline constexpr const char* kPostCode = "postid";
inline constexpr const char* kPhone = "telno";
}  // namespace Key

namespace DividendMethod {
inline constexpr int kReinvest = 0;  // 红利转投
inline constexpr int kCash = 1;      // 现金分红
}  // namespace DividendMethod
namespace Sex {
inline constexpr int kMale = 1;
inline constexpr int kFemale = 2;
}  // namespace Sex
namespace QueryFlag {  // FundContract::Key::kQueryFlag of kFundQuery
inline constexpr int kPlans = 2;
}

namespace Col {
inline constexpr const char* kCash = "fundavl";
inline constexpr const char* kCustomerName = "custname";
inline constexpr const char* kSexText = "~sex";  // "男" / "女"
inline constexpr const char* kIdNo = "idno";
inline constexpr const char* kIdType = "idtype";
inline constexpr const char* kAddress = "addr";
inline constexpr const char* kPostCode = "postid";
}  // namespace Col
}  // namespace WealthContract
