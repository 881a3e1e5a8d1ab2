#pragma once
// Fixed-investment plans (智能定投): a fund bought for a fixed amount on a pay
// day of every week or month between two dates. Family 500 with the trade
// session text and "fundid"; one plan per fund of the customer.
//
//   kOpen    Key::kCompany, kFundCode, kAmount (元), kBeginDate, kEndDate
//            (yyyyMMdd), kPeriod (Period), kPayDay (1-7 Monday to Sunday a
//            week, 1-28 a month), kCheckRisk (FundContract's values: a fund
//            above the customer's tolerance answers the risk warning until
//            the check is waived). Set 0 Col::kMessage.
//   kModify  the same keys but kCheckRisk: changes the plan of the fund.
//            Set 0 Col::kMessage.
//   kClose   Key::kFundCode, kCompany: ends the plan. Set 0 Col::kMessageCode
//            (0 ended; another number, with the reason, is no error set)
//            and Col::kMessage.
//   kList    Key::kQueryFlag 1, kCount, kCursor: the plans running. Col::
//            kFundCode, kFundName, kNetValue, kAmount, kCompany, kPeriod,
//            kPayDay, kBeginDate, kEndDate, kCursor and display columns.
#include "core/contracts/FunctionId.h"
namespace PlanContract {
inline constexpr FunctionId kOpen{500, 1801};
inline constexpr FunctionId kModify{500, 1802};
inline constexpr FunctionId kClose{500, 1803};
inline constexpr FunctionId kList{500, 1804};

namespace Key {
inline constexpr const char* kCompany = "tacode";
inline constexpr const char* kFundCode = "ofcode";
inline constexpr const char* kAmount = "orderamt";
inline constexpr const char* kBeginDate = "begindate";
inline constexpr const char* kEndDate = "enddate";
inline constexpr const char* kPeriod = "actionmode";
inline constexpr const char* kPayDay = "sendday";
inline constexpr const char* kCheckRisk = "chkriskflag";
inline constexpr const char* kQueryFlag = "qryflag";
inline constexpr const char* kCount = "count";
inline constexpr const char* kCursor = "poststr";
}  // namespace Key

namespace Period {
inline constexpr const char* kWeekly = "1";
inline constexpr const char* kMonthly = "2";
}  // namespace Period

namespace Col {
inline constexpr const char* kFundCode = "ofcode";
inline constexpr const char* kFundName = "ofname";
inline constexpr const char* kNetValue = "nav";
inline constexpr const char* kAmount = "orderamt";
inline constexpr const char* kCompany = "tacode";
inline constexpr const char* kPeriod = "actionmode";
inline constexpr const char* kPayDay = "sendday";
inline constexpr const char* kBeginDate = "begindate";
inline constexpr const char* kEndDate = "enddate";
inline constexpr const char* kMessage = "msg";
inline constexpr const char* kMessageCode = "msgcode";
inline constexpr const char* kCursor = "poststr";
}  // namespace Col
}  // namespace PlanContract
