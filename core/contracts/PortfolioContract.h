#pragma once
// Own stocks kept on the server (family 3710), one list per phone. Ids are
// "code.market" joined by "|". Every reply's set 0 is ResultContract's result
// set, its "code" the resulting list.
#include "core/contracts/FunctionId.h"
namespace PortfolioContract {
inline constexpr FunctionId kUpload{3710, 1};  // adds the uploaded ids in their order
inline constexpr FunctionId kDownload{3710, 2};
inline constexpr FunctionId kAdd{3710, 3};          // one id
inline constexpr FunctionId kDelete{3710, 4};       // one id
inline constexpr FunctionId kReplace{3710, 5};      // the whole list (may be empty)
inline constexpr FunctionId kAddHoldings{3710, 6};  // the trading account's holdings
inline constexpr int kMaxStocks = 100;
namespace Key {                                          // request keys
inline constexpr const char* kCode = "code";             // one id or ids joined by "|"
inline constexpr const char* kWithNames = "isreturnhq";  // download: 1 adds set 1 (the stocks)
inline constexpr const char* kField = "field";           // download: the columns of set 1 ("3|1|4")
inline constexpr const char* kFundAccount = "inputid";   // add holdings: the capital account
}  // namespace Key
namespace Col {  // reply columns of set 1 of a download
inline constexpr const char* kCode = "code";
inline constexpr const char* kMarket = "exchid";
inline constexpr const char* kName = "name";
}  // namespace Col
}  // namespace PortfolioContract
