#pragma once
// Open-end funds: the lookups of family 100, the fund information of family
// 504 and the fund orders and lists of family 500.
//
// Lookups (the trade session text and "fundid" ride along where a screen
// has them; the finder's category lists need none):
//   kCompanies, kStyles, kStatuses  the finder's categories: field 0 the
//                                   code (tacode / style / status), field 1
//                                   its name.
//   kFundLookup  with Key::kFundCode: set 0 the fund (Col::kFundName,
//                kStatusText, kNetValue, kRiskText, kCompany, kFundCode; no
//                record for an unknown code), set 1 the customer's cash
//                (Col::kCash). Without a code: every fund, field 0 the code,
//                field 1 the name (a finder category list).
//   kFundInfo    Key::kFundCode: set 0 the fund as kFundLookup's, set 1 the
//                customer's holding of it (Col::kFundCode, kFundName,
//                kAvailableUnits; no record when none is held).
//   kFundList    the funds of one category: exactly one of Key::kCompany,
//                kStyle, kStatus or kFundName (the name's UTF-16LE bytes in
//                lower-case hex: a part of the name), paged (Key::kCount,
//                kCursor). Rows: Col::kTradingCode, kShortName, kNetValueCol,
//                kCursor and display columns.
// Information (no trade session):
//   kFundTypes   the fund types: field 0 the type (a Key::kStyle value),
//                field 1 its name.
//   kFundInformation  Key::kFundCode (one code, or codes joined by ","),
//                kStatus (Status::kSubscription / kPurchase), kCount and
//                kCursor, all optional. Rows as kFundList's.
//   kRanking     Key::kStyle and kOrderType (Period: 1 a day ... 5 a year),
//                the type's funds by their return over the period, best
//                first, not paged.
//   kRating      Key::kStyle, kQueryFlag 0, kCount, kCursor: the type's funds
//                by rating, paged.
// Orders (500/N with the trade session text and "fundid"):
//   kSubscribe / kPurchase  Key::kFundCode, kAmount (元 as typed),
//                kCheckRisk: Value::kCheckRisk the first time; a fund above
//                the customer's tolerance answers an error whose text holds
//                Error::kRiskWarning until Value::kRiskAccepted. Set 0
//                Col::kOrderNumber.
//   kRedeem      Key::kFundCode, kUnits, kRedeemType (RedeemType). Set 0
//                Col::kOrderNumber.
//   kCancel      Key::kOrderNumber: a fund order of the day still open.
// Lists (500/N paged by kCursor, with the session; the menu links name them):
//   kCancellable the day's fund orders that can be cancelled: Col::kOrderNumber,
//                kFundCode, kFundName and display columns.
//   kHoldings    the fund shares held: Col::kFundCode, kFundName,
//                kAvailableUnits, kTradingCode, kShortName and display columns.
//   kOrderHistory every fund order, newest first.
//   kPlanFunds   Key::kQueryFlag 1: the funds open for fixed-investment plans,
//                pages of Key::kCount after kCursor: Col::kFundCode,
//                kFundName, kCompany, kPlanScheduled ("1" when plans run).
#include "core/contracts/FunctionId.h"
namespace FundContract {
inline constexpr FunctionId kCompanies{100, 21};
inline constexpr FunctionId kStyles{100, 22};
inline constexpr FunctionId kStatuses{100, 23};
inline constexpr FunctionId kFundLookup{100, 24};
inline constexpr FunctionId kFundInfo{100, 25};
inline constexpr FunctionId kFundList{100, 26};
inline constexpr FunctionId kFundTypes{504, 22};
inline constexpr FunctionId kFundInformation{504, 24};
inline constexpr FunctionId kRanking{504, 25};
inline constexpr FunctionId kRating{504, 26};
inline constexpr FunctionId kSubscribe{500, 34};
inline constexpr FunctionId kPurchase{500, 35};
inline constexpr FunctionId kRedeem{500, 36};
inline constexpr FunctionId kCancel{500, 37};
inline constexpr FunctionId kCancellable{500, 40};
inline constexpr FunctionId kHoldings{500, 41};
inline constexpr FunctionId kOrderHistory{500, 42};
inline constexpr FunctionId kPlanFunds{500, 50};

namespace Key {                                     // request keys
inline constexpr const char* kFundCode = "ofcode";  // one code (a list of codes joined by "," for kFundInformation)
inline constexpr const char* kFundName = "ofname";  // kFundList: a part of the name, hex-encoded
inline constexpr const char* kAmount = "orderamt";  // 元
inline constexpr const char* kUnits = "orderqty";   // 份
inline constexpr const char* kCheckRisk = "chkriskflag";
inline constexpr const char* kRedeemType = "redeemtype";
inline constexpr const char* kOrderNumber = "sno";
inline constexpr const char* kCompany = "tacode";
inline constexpr const char* kStyle = "style";
inline constexpr const char* kStatus = "status";
inline constexpr const char* kOrderType = "ordertype";  // kRanking: the period
inline constexpr const char* kQueryFlag = "qryflag";
inline constexpr const char* kCount = "count";
inline constexpr const char* kCursor = "poststr";
inline constexpr const char* kPosition = "position";  // link key: the name of the cursor field
}  // namespace Key
namespace Value {
inline constexpr const char* kCheckRisk = "1";
inline constexpr const char* kRiskAccepted = "0";
}  // namespace Value
namespace Status {                       // Key::kStatus of kFundInformation
inline constexpr int kSubscription = 1;  // in its offering period (认购)
inline constexpr int kPurchase = 2;      // open for purchase (申购)
}  // namespace Status
namespace RedeemType {             // what happens to a large redemption's excess
inline constexpr int kCancel = 0;  // 取消
inline constexpr int kDefer = 1;   // 顺延
}  // namespace RedeemType
namespace QueryFlag {                 // Key::kQueryFlag
inline constexpr int kRating = 0;     // kRating
inline constexpr int kPlanFunds = 1;  // kPlanFunds
}  // namespace QueryFlag
namespace Period {  // Key::kOrderType of kRanking
inline constexpr int kDay = 1;
inline constexpr int kYear = 5;
}  // namespace Period

namespace Col {                                     // reply columns
inline constexpr const char* kFundCode = "ofcode";  // lookups, holdings, orders
inline constexpr const char* kFundName = "ofname";
inline constexpr const char* kStatusText = "~ofstatus";  // today's status as text
inline constexpr const char* kNetValue = "nav";
inline constexpr const char* kRiskText = "~ofriskvalue";  // the fund's risk level; in the login's customer
                                                          // set, the customer's tolerance
inline constexpr const char* kCompany = "tacode";
inline constexpr const char* kCash = "fundavl";
inline constexpr const char* kAvailableUnits = "ofavl";
inline constexpr const char* kTradingCode = "TradingCode";  // the information lists
inline constexpr const char* kShortName = "SecuAbbr";
inline constexpr const char* kNetValueCol = "UnitNetValue";
inline constexpr const char* kOrderNumber = "sno";
inline constexpr const char* kCursor = "poststr";
inline constexpr const char* kPlanScheduled = "schedueleflag";
}  // namespace Col

namespace Error {
inline constexpr const char* kRiskWarning = "88001";  // within the text of a fund order's risk warning
}
}  // namespace FundContract
