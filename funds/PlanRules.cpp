#include "funds/PlanRules.h"

#include "core/Utilities.h"
#include "core/VTATCRS.h"
#include "core/contracts/PlanContract.h"
#include "funds/FundRules.h"
#include "shell/RequestBinding.h"
#include "ui/Alerts.h"

namespace Key = PlanContract::Key;
namespace Col = PlanContract::Col;

namespace {
const char* const kWeekdays[] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
constexpr int kWeekdaysOffered = 5;
constexpr int kMonthDaysOffered = 28;

std::string textOf(const VTATCRS& set, const char* field) { return set.toStringWithFieldName(field).value_or(""); }

RequestBuilder planRequest(int sub, const PlanOrder& plan) {
    RequestBuilder r = RequestBuilder::trade(sub);
    r.add(Key::kCompany, plan.tacode)
        .add(Key::kFundCode, plan.code)
        .add(Key::kAmount, plan.amount)
        .add(Key::kBeginDate, plan.beginDate)
        .add(Key::kEndDate, plan.endDate)
        .add(Key::kPeriod, plan.weekly ? PlanContract::Period::kWeekly : PlanContract::Period::kMonthly)
        .add(Key::kPayDay, plan.payDay);
    return r;
}
}  // namespace

IFIFundInfo IFIFundInfo::fromRecord(const VTATCRS& record) {
    IFIFundInfo info;
    info.fundSymbol = textOf(record, Col::kFundCode);
    info.fundName = textOf(record, Col::kFundName);
    info.netValue = textOf(record, Col::kNetValue);
    info.investAmount = textOf(record, Col::kAmount);
    info.fundCompanyCode = textOf(record, Col::kCompany);
    info.payPeriod = textOf(record, Col::kPeriod);
    info.payDate = intValueOfText(textOf(record, Col::kPayDay));
    info.startDate = std::to_string(intValueOfText(textOf(record, Col::kBeginDate)));
    info.endDate = std::to_string(intValueOfText(textOf(record, Col::kEndDate)));
    return info;
}

std::optional<std::vector<IFIFundInfo>> plansOfReply(const RequestReply& reply) {
    auto set = reply.sharedSet(0);
    if (!set) {
        showAlert(kPlanNoDataTitle, kPlanNoDataMessage);
        return std::nullopt;
    }
    if (set->isError()) {
        showAlert(set->getError());
        return std::nullopt;
    }
    std::vector<IFIFundInfo> plans;
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) plans.push_back(IFIFundInfo::fromRecord(*set));
    set->fetchFirst();
    return plans;
}

std::string planPayDayTitle(bool weekly, int day) {
    if (weekly) return day >= 1 && day <= 7 ? kWeekdays[day - 1] : "";
    return std::to_string(day) + "号";
}

std::vector<std::string> planPayDayTitles(bool weekly) {
    std::vector<std::string> titles;
    for (int day = 1; day <= (weekly ? kWeekdaysOffered : kMonthDaysOffered); ++day)
        titles.push_back(planPayDayTitle(weekly, day));
    return titles;
}

std::string planPeriodTitle(bool weekly) { return weekly ? "按周" : "按月"; }

std::string investAmountRefusal(const std::string& amount) {
    return gtm_matchesPattern(amount, kFundDecimalPattern) ? "" : kBadAmountText;
}

std::string planSummary(const std::string& operation, const PlanOrder& plan) {
    return "交易确认\n操作类型:" + operation + "\n基金名称:" + plan.name + "\n基金代码:" + plan.code +
           "\n定投金额:" + plan.amount + "\n开始日期:" + plan.beginDate + "\n结束日期:" + plan.endDate +
           "\n扣款周期:" + planPeriodTitle(plan.weekly) + "\n扣款日:" + std::to_string(plan.payDay) + "\n";
}

std::string planCloseSummary(const IFIFundInfo& plan) {
    return "交易确认\n操作类型:终止智能定投\n基金名称:" + plan.fundName + "\n基金代码:" + plan.fundSymbol +
           "\n定投金额:" + plan.investAmount + "\n";
}

RequestBuilder planOpenRequest(const PlanOrder& plan, const std::string& checkRisk) {
    RequestBuilder r = planRequest(PlanContract::kOpen.sub, plan);
    r.add(Key::kCheckRisk, checkRisk);
    return r;
}

RequestBuilder planModifyRequest(const PlanOrder& plan) { return planRequest(PlanContract::kModify.sub, plan); }

RequestBuilder planCloseRequest(const std::string& code, const std::string& tacode) {
    RequestBuilder r = RequestBuilder::trade(PlanContract::kClose.sub);
    r.add(Key::kFundCode, code).add(Key::kCompany, tacode);
    return r;
}

RequestBuilder planListRequest() {
    RequestBuilder r = RequestBuilder::trade(PlanContract::kList.sub);
    r.add(Key::kQueryFlag, 1).add(Key::kCount, kOpenedPlansCount).add(Key::kCursor, "");
    return r;
}
