#pragma once
// Trading functions (family 500) and the keys every trade request shares.
//
// The login (kLogin) answers the trade session text (set 0, one column: its
// keys Session::kCustId, kBranch and kAuthId); the client adds "&operway=i"
// and every later trade request carries the whole text (core/RequestText.h),
// so the server knows the login by its "authid". A later login of the same
// customer, or a password change, supersedes the authid, and a session idle
// too long ends: a request with such an authid (or one of another phone) is
// refused with an error set of code Error::kSessionEndedCode and text
// Error::kSessionEnded, and the client ends its trade session. Most trade
// requests also carry the login's fund account as Key::kFundId.
//
// Login reply: set 0 the session text; set 1 the customer, one record per
// shareholder account (Col::kCustId ... kSecuId, kRiskTolerance); set 2 the shareholder
// accounts (Col::kMarket, kMarketName, kSecuId, kFundId).
//
// Soft-token application (kTokenApplication) answers the token: Col::kSeed
// (hex), kOrgId, kCustId, kFundIdList and kSecuIdList (comma-separated, the
// accounts in the form normalizeTokenAccount of core/Utilities.h gives).
//
// Stock information (kStockInfo) and the order (kOrder): below, with their
// keys and columns.
//
// Later screens add their functions here.
#include <string_view>

#include "core/contracts/FunctionId.h"
namespace TradeContract {
inline constexpr FunctionId kLogin{500, 1};
inline constexpr FunctionId kTokenApplication{500, 69};
namespace Key {                                         // request keys
inline constexpr const char* kOperWay = "operway";      // Value::kOperWayPhone
inline constexpr const char* kInputType = "inputtype";  // AccountType
inline constexpr const char* kBranch = "custorgid";     // branch code
inline constexpr const char* kInputId = "inputid";      // the account of kInputType
inline constexpr const char* kPassword = "trdpwd";      // trading password
inline constexpr const char* kAuthType = "authtype";    // AuthType
inline constexpr const char* kAuthData = "authdata";    // typed code or one-time code
inline constexpr const char* kMobile = "mobileno";      // token application: the registered phone
inline constexpr const char* kFundId = "fundid";        // the fund account acted on (the last one given)
inline constexpr const char* kAuthId = "authid";        // of the session text
}  // namespace Key
namespace Value {
inline constexpr const char* kOperWayPhone = "i";
}
namespace AccountType {  // what Key::kInputType names
inline constexpr const char* kFund = "Z";
inline constexpr const char* kShenzhenA = "0";
inline constexpr const char* kShanghaiA = "1";
inline constexpr const char* kShenzhenB = "2";
inline constexpr const char* kShanghaiB = "3";
}  // namespace AccountType
namespace AuthType {
inline constexpr const char* kPasswordOnly = "0";
inline constexpr const char* kTypedCode = "2";
inline constexpr const char* kSoftToken = "5";
}  // namespace AuthType
namespace Session {  // keys of the session text
inline constexpr const char* kCustId = "custid";
inline constexpr const char* kBranch = "custorgid";
inline constexpr const char* kAuthId = "authid";
}  // namespace Session
namespace Col {                                          // reply columns
inline constexpr const char* kSessionText = "userinfo";  // login set 0: the one column
inline constexpr const char* kCustId = "custid";
inline constexpr const char* kCustName = "custname";
inline constexpr const char* kOrgId = "orgid";
inline constexpr const char* kFundId = "fundid";
inline constexpr const char* kMarket = "market";               // shareholder market "0".."3" (AccountType)
inline constexpr const char* kMarketName = "~market";          // "深A", "沪A", "深B", "沪B"
inline constexpr const char* kSecuId = "secuid";               // shareholder account
inline constexpr const char* kRiskTolerance = "~ofriskvalue";  // the customer's tolerance for fund risk, as text
inline constexpr const char* kSeed = "seed";                   // token application
inline constexpr const char* kFundIdList = "fundidlist";
inline constexpr const char* kSecuIdList = "secuidlist";
}  // namespace Col
namespace Error {  // texts the client recognises
inline constexpr const char* kTokenCheckFailed = "令牌验证失败";
inline constexpr const char* kTokenNotFound = "找不到令牌";
inline constexpr const char* kTokenRequired = "认证失败，您已经申请了动态口令";
inline constexpr const char* kAuthNotApplied = "此认证方式没有申请";
inline constexpr const char* kSessionEnded = "会话已失效，请重新登录";
// The error set's code of a trade request the server refuses because it no
// longer knows the trade session: the one refusal after which the client ends
// its own trade session (no other refusal carries it).
inline constexpr int kSessionEndedCode = -410;
}  // namespace Error

// ---- stock orders ----
// Stock information (kStockInfo): Key::kBsFlag (the limit code of the
// direction, BsFlag::kLimitBuy or kLimitSell), kStockCode and, optionally,
// kPrice (the price a buy's maximum is reckoned at). Set 0: Col::kStockName,
// kMaxQuantity (what may be bought at the price in whole lots, or the
// holding that may be sold), kPrice (a price to offer: the last one),
// kMarket (the shareholder market of the stock), kStockCode, kLimitUp and
// kLimitDown (the day's price limits, as texts).
//
// Order (kOrder): kFundId, kBsFlag (the limit code or a market type the
// market offers), kPrice (empty for a market type), kQuantity, kStockCode,
// kMarket and kSecuId (the shareholder account), and for a buy kCheckRisk:
// Value::kCheckRisk the first time, when a stock with the risk flag answers
// an error whose text holds Error::kRiskWarning; Value::kRiskAccepted once
// the customer has read it lets the order through. Set 0: Col::kOrderNumber.
inline constexpr FunctionId kStockInfo{500, 4};
inline constexpr FunctionId kOrder{500, 6};
namespace Key {
inline constexpr const char* kBsFlag = "bsflag";
inline constexpr const char* kStockCode = "stkcode";
inline constexpr const char* kPrice = "price";    // yuan as typed ("12.5")
inline constexpr const char* kQuantity = "qty";   // shares
inline constexpr const char* kMarket = "market";  // shareholder market (AccountType)
inline constexpr const char* kSecuId = "secuid";
inline constexpr const char* kCheckRisk = "chkriskflag";
}  // namespace Key
namespace Value {
inline constexpr const char* kCheckRisk = "1";
inline constexpr const char* kRiskAccepted = "0";
}  // namespace Value
// Order types ("bsflag"): the limit order and the market types, whose price
// the exchange sets. Shenzhen (markets "0", "2") offers the first five
// market types, Shanghai ("1", "3") 五档即成剩撤 and 五档即成转限价.
namespace BsFlag {
inline constexpr const char* kLimitBuy = "0B";
inline constexpr const char* kLimitSell = "0S";
inline constexpr const char* kBestOppositeBuy = "0a";  // 对方最优价格
inline constexpr const char* kBestOppositeSell = "0f";
inline constexpr const char* kBestOwnBuy = "0b";  // 本方最优价格
inline constexpr const char* kBestOwnSell = "0g";
inline constexpr const char* kImmediateBuy = "0c";  // 即时成交剩余撤销
inline constexpr const char* kImmediateSell = "0h";
inline constexpr const char* kFiveLevelsBuy = "0d";  // 五档即成剩撤
inline constexpr const char* kFiveLevelsSell = "0i";
inline constexpr const char* kAllOrNothingBuy = "0e";  // 全部成交或撤销
inline constexpr const char* kAllOrNothingSell = "0j";
inline constexpr const char* kFiveLevelsToLimitBuy = "0q";  // 五档即成转限价
inline constexpr const char* kFiveLevelsToLimitSell = "0r";
}  // namespace BsFlag
namespace Col {
inline constexpr const char* kStockName = "stkname";
inline constexpr const char* kStockCode = "stkcode";
inline constexpr const char* kMaxQuantity = "num";
inline constexpr const char* kPrice = "price";
inline constexpr const char* kLimitUp = "maxrisevalue";
inline constexpr const char* kLimitDown = "maxdownvalue";
inline constexpr const char* kOrderNumber = "ordersno";
}  // namespace Col
namespace Error {
inline constexpr const char* kRiskWarning = "88001";  // within the text of an order's risk warning
}  // namespace Error

// Request keys whose values are secrets (passwords, one-time codes): never
// logged, never kept in clear.
inline constexpr const char* kSecretKeys[] = {"trdpwd", "authdata", "bankpwd", "fundpwd", "oldpwd", "newpwd"};
inline bool isSecretKey(std::string_view key) {
    for (const char* k : kSecretKeys)
        if (key.size() == std::string_view(k).size()) {
            bool same = true;
            for (size_t i = 0; i < key.size() && same; ++i)
                same = (key[i] | 0x20) == (k[i] | 0x20);  // the server reads keys without regard to case
            if (same) return true;
        }
    return false;
}
}  // namespace TradeContract
