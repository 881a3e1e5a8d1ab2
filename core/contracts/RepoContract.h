#pragma once
// The quoted repo (澄穗通): the brokerage lends the customer's cash for a fixed
// term at a quoted yield; a deal may be ended before its term at the lower
// early-termination yield. Family 500 with the trade session text and
// "fundid", the product information in family 100.
//
//   kProducts  the products, paged (Key::kCount, kCursor): Col::kCode,
//              kName, kMarket, kYield, kEarlyYield, kTerm and kCursor.
//   kInfo      Key::kCode: set 0 the product (Col::kName, kCode, kYield,
//              kEarlyYield, kTerm, kMarket; no record for an unknown code),
//              set 1 the cash the customer may lend (Col::kCash, 元).
//   kBuy       Key::kMarket, kSecuId (the customer's account of that market),
//              kCode, kQuantity: the amount in hundreds of 元, at most two
//              decimals ("100.00" lends 10,000 元). Set 0 Col::kMatchCode.
//   kDeals     the customer's deals still running, paged: Col::kCode, kName,
//              kMarket, kQuantity, kMatchDate, kMatchCode, display columns.
//   kEnd       Key::kMarket, kSecuId, kCode, kQuantity (the deal's whole
//              quantity), kMatchDate, kMatchCode: ends the deal early. Set 0
//              Col::kMatchCode.
#include "core/contracts/FunctionId.h"
namespace RepoContract {
inline constexpr FunctionId kProducts{500, 54};
inline constexpr FunctionId kBuy{500, 56};
inline constexpr FunctionId kDeals{500, 57};
inline constexpr FunctionId kEnd{500, 58};
inline constexpr FunctionId kInfo{100, 27};

namespace Key {
inline constexpr const char* kCode = "stkcode";
inline constexpr const char* kMarket = "market";
inline constexpr const char* kSecuId = "secuid";
inline constexpr const char* kQuantity = "orderqty";
inline constexpr const char* kMatchDate = "matchdate";
inline constexpr const char* kMatchCode = "matchcode";
inline constexpr const char* kUnlist = "unlist";  // the product list's link key: "|market|"
}  // namespace Key

namespace Col {
inline constexpr const char* kCode = "stkcode";
inline constexpr const char* kName = "stkname";
inline constexpr const char* kMarket = "market";
inline constexpr const char* kYield = "dueprice";         // % a year held to term
inline constexpr const char* kEarlyYield = "interprice";  // % a year ended early
inline constexpr const char* kTerm = "gh_days";           // days
inline constexpr const char* kCash = "t0fundavl";
inline constexpr const char* kQuantity = "matchqty";
inline constexpr const char* kMatchDate = "matchdate";
inline constexpr const char* kMatchCode = "matchcode";
inline constexpr const char* kCursor = "poststr";
}  // namespace Col
}  // namespace RepoContract
