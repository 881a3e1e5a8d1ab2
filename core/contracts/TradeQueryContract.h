#pragma once
// The trade menu's paged queries and the changes made from them (family
// 500): the lists of funds, holdings, orders and deals, the cancel of an
// order, the change of a holding's cost price and of the trading password.
// Every request carries the trade session text (TradeContract.h).
//
// Lists. The menu link names the list's function and fixed fields, and
// three keys of the list screen itself (LinkKey): which field is the paging
// cursor, which one carries the sign that colours a row, and the fields not
// to show. A list request carries Key::kCount (rows wanted, all without it)
// and, after the first page, the cursor of the last row of the page before
// under the cursor key (Col::kCursor): the rows after it come back. Every
// row carries its cursor; the last row of the list has an empty one. The
// field descriptors are the column titles.
//   kFunds          one row per currency of the fund account
//   kHoldings       the holdings (Col::kIncome: the floating profit, signed)
//   kTodayOrders    the day's orders, newest first (Col::kDirection signs them)
//   kTodayDeals     the day's deals, newest first
//   kCancellable    the day's orders still open
//   kHistoryOrders  orders of the days Key::kStartDate to kEndDate
//   kHistoryDeals   deals of those days (both: before today, newest first)
// Order rows carry Col::kOrderNumber, kStockCode, kStockName, kMarketName,
// kSecuId, kOrderPrice and kOrderQty; holding rows kStockCode, kStockName,
// kMarketName, kSecuId, kMarket and kCost.
//
// Cancel (kCancel): Key::kFundId, kOrderNumber, kQuoteMarket (1 Shenzhen, 2
// Shanghai) and kSecuId. An order that is not the customer's, or no longer
// open, is refused (Error::kNotCancellable).
// Cost change (kCostChange): Key::kMarket (shareholder market), kStockCode,
// kCostPrice (yuan) and kSecuId.
// Password change (kPasswordChange; the menu link may name another sub
// function): Key::kOldPassword, kNewPassword. The reply's Col::kAuthId
// replaces the "authid" of the session text: the old one is ended.
#include "core/contracts/FunctionId.h"

namespace TradeQueryContract {
inline constexpr FunctionId kFunds{500, 9};
inline constexpr FunctionId kHoldings{500, 10};
inline constexpr FunctionId kTodayOrders{500, 13};
inline constexpr FunctionId kTodayDeals{500, 14};
inline constexpr FunctionId kCancellable{500, 15};
inline constexpr FunctionId kHistoryOrders{500, 16};
inline constexpr FunctionId kHistoryDeals{500, 17};
inline constexpr FunctionId kCancel{500, 7};
inline constexpr FunctionId kCostChange{500, 82};
inline constexpr FunctionId kPasswordChange{500, 12};

namespace LinkKey {                                   // keys of a list's menu link, for the screen
inline constexpr const char* kPosition = "position";  // the name of the cursor field
inline constexpr const char* kSign = "sign";          // the field whose sign colours the row
inline constexpr const char* kUnlist = "unlist";      // a text naming the fields not shown
}  // namespace LinkKey
namespace Value {
inline constexpr const char* kIncomeSign = "income";  // the sign field of holdings lists
}

namespace Key {
inline constexpr const char* kCount = "count";
inline constexpr const char* kStartDate = "strdate";  // yyyyMMdd
inline constexpr const char* kEndDate = "enddate";    // yyyyMMdd
inline constexpr const char* kQueryFlag = "qryflag";
inline constexpr const char* kFundId = "fundid";
inline constexpr const char* kOrderNumber = "ordersno";
inline constexpr const char* kQuoteMarket = "market";  // cancel: 1 Shenzhen, 2 Shanghai
inline constexpr const char* kMarket = "market";       // cost change: shareholder market "0".."3"
inline constexpr const char* kSecuId = "secuid";
inline constexpr const char* kStockCode = "stkcode";
inline constexpr const char* kCostPrice = "costprice";
inline constexpr const char* kOldPassword = "oldpwd";
inline constexpr const char* kNewPassword = "newpwd";
}  // namespace Key

namespace Col {
inline constexpr const char* kCursor = "poststr";
inline constexpr const char* kStockCode = "stkcode";
inline constexpr const char* kStockName = "stkname";
inline constexpr const char* kMarketName = "~market";  // "深A" ...
inline constexpr const char* kMarket = "market";       // shareholder market "0".."3"
inline constexpr const char* kSecuId = "secuid";
inline constexpr const char* kCost = "profitprice";
inline constexpr const char* kIncome = "income";
inline constexpr const char* kDirection = "bsname";  // "买入" / "卖出"
inline constexpr const char* kOrderNumber = "ordersno";
inline constexpr const char* kOrderPrice = "orderprice";
inline constexpr const char* kOrderQty = "orderqty";
inline constexpr const char* kPlanScheduled = "schedueleflag";  // fixed-investment plan lists: "1" runs
inline constexpr const char* kAuthId = "authid";
}  // namespace Col

namespace Error {
inline constexpr const char* kNotCancellable = "该委托不能撤单";
inline constexpr const char* kWrongPassword = "原交易密码错误";
}  // namespace Error
}  // namespace TradeQueryContract
