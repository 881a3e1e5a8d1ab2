#pragma once
// The rules of the fixed-investment plan screens (智能定投), apart from their
// views: the plan as the customer confirmed it, the pay days and their names,
// the checks of the opening and modification forms, the confirmation texts,
// and the request texts of the plan functions.
#include <optional>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"

struct RequestReply;
class VTATCRS;

inline constexpr const char* kPlanNoDataTitle = "数据处理错误";
inline constexpr const char* kPlanNoDataMessage = "请退出程序重试，如有问题请致电恒岳咨询";

// One plan as a form sends it: the days are yyyyMMdd texts; the pay day is
// 1-7 (Monday to Sunday) in a weekly plan, the day of the month in a monthly one.
struct PlanOrder {
    std::string tacode, code, name, amount, beginDate, endDate;
    bool weekly = true;
    int payDay = 1;
};

// An opened plan as the plan list (500/1804) gives it.
struct IFIFundInfo {
    std::string fundSymbol, fundName, netValue, investAmount, fundCompanyCode;
    std::string payPeriod;  // "1" weekly, anything else monthly
    int payDate = 0;
    std::string startDate, endDate;
    bool weekly() const { return payPeriod == "1"; }
    // The current record of a plan list.
    static IFIFundInfo fromRecord(const VTATCRS& record);
};

// The plans of a plan list reply, in its order; nullopt once the customer
// was told why it holds none to read (no record set: "数据处理错误"; an
// error set: its text).
std::optional<std::vector<IFIFundInfo>> plansOfReply(const RequestReply& reply);

// "星期一" ... "星期日" for 1-7 of a weekly plan (another day: ""); "15号" in a monthly one.
std::string planPayDayTitle(bool weekly, int day);
// The pay days the picker offers: Monday to Friday, or 1号 to 28号.
std::vector<std::string> planPayDayTitles(bool weekly);
// "按周" or "按月".
std::string planPeriodTitle(bool weekly);

// The first check an amount fails ("请输入正确的金额" for anything but
// digits with at most one point, empty included); "" when it passes.
std::string investAmountRefusal(const std::string& amount);

// "交易确认\n操作类型:<operation>\n基金名称:..\n基金代码:..\n定投金额:..\n开始日期:..\n
// 结束日期:..\n扣款周期:..\n扣款日:<n>\n".
std::string planSummary(const std::string& operation, const PlanOrder& plan);
// "交易确认\n操作类型:终止智能定投\n基金名称:..\n基金代码:..\n定投金额:..\n".
std::string planCloseSummary(const IFIFundInfo& plan);

RequestBuilder planOpenRequest(const PlanOrder& plan, const std::string& checkRisk);
RequestBuilder planModifyRequest(const PlanOrder& plan);
RequestBuilder planCloseRequest(const std::string& code, const std::string& tacode);
// The plans running: the first kOpenedPlansCount (500/1804, an empty cursor),
// asked under kOpenedPlansTag by each screen that lists them.
inline constexpr int kOpenedPlansTag = 1106;
inline constexpr int kOpenedPlansCount = 100;
RequestBuilder planListRequest();
