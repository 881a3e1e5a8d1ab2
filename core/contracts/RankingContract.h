#pragma once
// Rankings: quote boards of a market's class sorted by one figure. 191/7
// answers how many stocks the ranking holds; 31000/3 answers a window of it
// (rows "offset" to "offset" + "count" - 1). A window's rows carry the
// snapshot columns of QuoteContract ("field" asks for them by number and they
// come first in the asked order).
//
// The markets, classes and sorts the client offers come from the server's
// configuration ("market", "type", "sort" of "commomdSettingForHQ", items
// "code^name" joined by "#"): the codes below are the server's.
#include "core/contracts/FunctionId.h"
namespace RankingContract {
inline constexpr FunctionId kTotal{191, 7};
inline constexpr FunctionId kWindow{31000, 3};
namespace Key {                                   // request keys
inline constexpr const char* kMarket = "market";  // "1", "2", "3", or "1|2" for both mainland markets
inline constexpr const char* kClass = "class";    // Class
inline constexpr const char* kSort = "type";      // window: Sort
inline constexpr const char* kOffset = "offset";  // window: the first row, from 0
inline constexpr const char* kCount = "count";    // window: rows asked for
inline constexpr const char* kDirect = "direct";  // window: 1 the largest first, 0 the smallest first
inline constexpr const char* kField = "field";    // window: snapshot column numbers; total: "0|1|2"
}  // namespace Key
namespace Class {                                    // the classes of stocks a ranking holds
inline constexpr const char* kStocks = "3";          // shares of every kind (A, B, Hong Kong)
inline constexpr const char* kMainBoardA = "100";    // A shares of the main boards (000, 001, 600, 601, 603)
inline constexpr const char* kAllA = "101";          // every A share (with 002, 300, 688)
inline constexpr const char* kBShares = "102";       // B shares
inline constexpr const char* kFunds = "4";           // listed funds
inline constexpr const char* kOpenEndFunds = "103";  // listed open-end funds (ETF, LOF)
inline constexpr const char* kBonds = "6";           // bonds
inline constexpr const char* kWarrants = "5";        // warrants
inline constexpr const char* kIndices = "2";         // indices
}  // namespace Class
namespace Sort {                                     // the figure a ranking is sorted by
inline constexpr const char* kChangePercent = "21";  // 涨幅
inline constexpr const char* kChange = "22";         // 涨跌
inline constexpr const char* kLast = "23";           // 现价
inline constexpr const char* kVolume = "24";         // 成交量
inline constexpr const char* kAmount = "25";         // 成交额
inline constexpr const char* kTurnover = "26";       // 换手率
}  // namespace Sort
// The lists of the configuration, as the server sends them.
namespace Config {
inline constexpr const char* kMarkets = "1|2^深沪#1^深圳#2^上海#3^香港";
inline constexpr const char* kClasses = "3^股票#100^A股#101^全部A股#102^B股#4^基金#103^开放式基金#6^债券#5^权证#2^指数";
inline constexpr const char* kSorts = "21^涨幅#22^涨跌#23^现价#24^成交量#25^成交额#26^换手率";
}  // namespace Config
namespace Col {  // the total's one row: its stocks counted by their change (the sum is the total)
inline constexpr const char* kRising = "szjs";
inline constexpr const char* kFalling = "xdjs";
inline constexpr const char* kFlat = "pljs";
}  // namespace Col
}  // namespace RankingContract
