// The fixed-investment plans of the simulated server (functions, keys and
// columns named in core/contracts/PlanContract.h), over the room of
// SimPlans.h and the fund catalogue of SimFunds.h.
//
// 500/1801 "tacode", "ofcode", "orderamt", "begindate", "enddate",
//   "actionmode" (1 weekly, 2 monthly), "sendday", "chkriskflag". Refusals,
//   in order: "基金代码不存在"; "该基金不支持定投"; "基金公司代码不符";
//   "您尚未开立该基金公司的基金帐户"; "该基金已开通定投"; the plan's checks
//   (below); the risk warning "[88001]..." for a fund above the customer's
//   tolerance until "chkriskflag=0". Answers "msg" "智能定投开通成功".
// 500/1802 the same keys but "chkriskflag": "未找到该定投计划" without a running
//   plan of the fund and company; the plan's checks. Answers "msg"
//   "智能定投修改成功".
//   A plan past its end date is running nowhere (SimPlans.h): 1801 opens a
//   new plan of its fund, 1802 and 1803 answer as for no plan, 1804 leaves
//   it out (under the books' earlier rules, SimBooksRules.h, it ran on).
//   The plan's checks: "定投金额错误" (no positive amount of at most two
//   decimals), "定投金额不能低于100元", "日期错误" (no real yyyymmdd day, or
//   the end before the beginning), "扣款周期错误", "扣款日错误" (weekly 1-7,
//   monthly 1-28).
// 500/1803 "ofcode", "tacode": ends the running plan, "msgcode" "0" and "msg"
//   "智能定投已终止"; without one "msgcode" "1" and "msg" "未找到该定投计划"
//   (a record, not an error set).
// 500/1804 "qryflag", "count", "poststr": the running plans, paged: "ofcode",
//   "ofname", "nav", "orderamt", "~actionmode", "~sendday", "begindate",
//   "enddate", "tacode", "actionmode", "sendday".
// A plan's purchases are fund orders (business "定投"): 基金当日委托 (500/43)
// and 基金交易查询 (500/42) list them, one not carried out as "资金不足未扣款".
#include "sim/SimOrders.h"
#include "sim/SimPlans.h"

#include <algorithm>
#include <set>

#include "core/TCRSWriter.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/PlanContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"
#include "sim/SimWealth.h"

namespace {

using namespace PlanContract;

constexpr const char* kUnknownFund = "基金代码不存在";
constexpr const char* kNoPlans = "该基金不支持定投";
constexpr const char* kWrongCompany = "基金公司代码不符";
constexpr const char* kNoCompanyAccount = "您尚未开立该基金公司的基金帐户";
constexpr const char* kAlreadyOpen = "该基金已开通定投";
constexpr const char* kNoPlan = "未找到该定投计划";
constexpr const char* kBadAmount = "定投金额错误";
constexpr const char* kBelowMinimum = "定投金额不能低于100元";
constexpr const char* kBadDates = "日期错误";
constexpr const char* kBadPeriod = "扣款周期错误";
constexpr const char* kBadPayDay = "扣款日错误";
constexpr const char* kRiskText = "[88001]该基金风险等级高于您的风险承受能力，是否确认继续定投？";
constexpr SimMoney kMinimum = 10000;  // 100 元

const SimCustomer* readerOf(SimCall& c, SimRefusal* refusal) { return simTradeCustomerToRead(c, refusal); }

// The day whose open plans the request sees: a plan past its end date is
// open nowhere under today's rules; the earlier rules' requests found it (0).
int openOn(const SimCall& c) {
    return c.server.booksRules() >= SimBooksRules::Current ? SimClock::local(c.now).yyyymmdd() : 0;
}

// Whether the plan runs on `today` (0: whatever its end date).
bool isOpen(const SimPlan& p, int today) { return p.running && (today == 0 || p.endDate >= today); }

std::vector<uint8_t> messageSet(const std::string& code, const std::string& message) {
    return TCRSWriter()
        .beginSet()
        .addField(Col::kMessageCode, TCRSFieldType::VarText, 0, "返回码")
        .addField(Col::kMessage, TCRSFieldType::VarText, 0, "返回信息")
        .addRecord({code, message})
        .bytes();
}

// The plan the request describes, or the first check it fails.
std::string readPlan(const SimRequest& r, SimPlan& plan) {
    plan.amount = simParseHundredths(r.value(Key::kAmount));
    if (plan.amount <= 0) return kBadAmount;
    if (plan.amount < kMinimum) return kBelowMinimum;
    const auto begin = SimClock::validDate(r.intValue(Key::kBeginDate, -1));
    const auto end = SimClock::validDate(r.intValue(Key::kEndDate, -1));
    if (!begin || !end || *end < *begin) return kBadDates;
    plan.beginDate = *begin;
    plan.endDate = *end;
    const std::string period = r.value(Key::kPeriod);
    if (period != Period::kWeekly && period != Period::kMonthly) return kBadPeriod;
    plan.weekly = period == Period::kWeekly;
    const long long day = r.intValue(Key::kPayDay, 0);
    if (day < 1 || day > (plan.weekly ? 7 : 28)) return kBadPayDay;
    plan.payDay = static_cast<int>(day);
    return "";
}

std::vector<uint8_t> openPlan(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& funds = c.server.view<SimFundsRoom>();
    const SimFund* f = funds.fund(c.request.value(Key::kFundCode));
    if (!f) return simErrorSet(-1, kUnknownFund);
    if (!f->fixedInvestment) return simErrorSet(-1, kNoPlans);
    if (c.request.value(Key::kCompany) != f->tacode) return simErrorSet(-1, kWrongCompany);
    if (!funds.customer(who->custid).companyAccounts.count(f->tacode)) return simErrorSet(-1, kNoCompanyAccount);
    if (c.server.view<SimPlansRoom>().running(who->custid, f->code, f->tacode, openOn(c)))
        return simErrorSet(-1, kAlreadyOpen);
    SimPlan plan;
    if (std::string bad = readPlan(c.request, plan); !bad.empty()) return simErrorSet(-1, bad);
    if (f->risk > who->riskTolerance && c.request.value(Key::kCheckRisk) != FundContract::Value::kRiskAccepted)
        return simErrorSet(-1, kRiskText);
    plan.code = f->code;
    plan.tacode = f->tacode;
    c.server.room<SimPlansRoom>().plans[who->custid].push_back(plan);
    return messageSet("0", "智能定投开通成功");
}

std::vector<uint8_t> modifyPlan(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const std::string code = c.request.value(Key::kFundCode), company = c.request.value(Key::kCompany);
    const SimPlan* plan = c.server.view<SimPlansRoom>().running(who->custid, code, company, openOn(c));
    if (!plan) return simErrorSet(-1, kNoPlan);
    SimPlan changed = *plan;
    if (std::string bad = readPlan(c.request, changed); !bad.empty()) return simErrorSet(-1, bad);
    *c.server.room<SimPlansRoom>().running(who->custid, code, company, openOn(c)) = changed;
    return messageSet("0", "智能定投修改成功");
}

std::vector<uint8_t> closePlan(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = readerOf(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const std::string code = c.request.value(Key::kFundCode), company = c.request.value(Key::kCompany);
    if (!c.server.view<SimPlansRoom>().running(reader->custid, code, company, openOn(c)))
        return messageSet("1", kNoPlan);
    SimPlan* plan = c.server.room<SimPlansRoom>().running(reader->custid, code, company, openOn(c));
    plan->running = false;
    return messageSet("0", "智能定投已终止");
}

std::string payDayText(const SimPlan& p) {
    static const char* const kDays[] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
    return p.weekly ? kDays[p.payDay - 1] : std::to_string(p.payDay) + "号";
}

std::vector<uint8_t> listPlans(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& funds = c.server.view<SimFundsRoom>();
    std::vector<SimListRow> rows;
    for (const auto& p : simKeptOr(c.server.view<SimPlansRoom>().plans, who->custid)) {
        if (!isOpen(p, openOn(c))) continue;
        const SimFund* f = funds.fund(p.code);
        rows.push_back({p.code, f ? f->name : "", f ? simNetValueText(f->nav) : "", simMoneyText(p.amount),
                        p.weekly ? "按周" : "按月", payDayText(p), std::to_string(p.beginDate),
                        std::to_string(p.endDate), p.tacode, p.weekly ? Period::kWeekly : Period::kMonthly,
                        std::to_string(p.payDay)});
    }
    return simPagedList(c.request,
                        {{Col::kFundCode, "基金代码"},
                         {Col::kFundName, "基金名称"},
                         {Col::kNetValue, "净值"},
                         {Col::kAmount, "定投金额"},
                         {"~actionmode", "扣款周期"},
                         {"~sendday", "扣款日"},
                         {Col::kBeginDate, "开始日期"},
                         {Col::kEndDate, "结束日期"},
                         {Col::kCompany, "基金公司"},
                         {Col::kPeriod, "周期代码"},
                         {Col::kPayDay, "扣款日代码"}},
                        rows);
}

const SimMenuItem kPlanMenu[] = {
    {362, 3, "修改智能定投", "zndt_xg"},
    {363, 3, "终止智能定投", "zndt_zz"},
    {364, 3, "已开通的智能定投",
     "zndt_cx?tc_mfuncno=500&tc_sfuncno=1804&qryflag=1&position=poststr&unlist=|tacode|actionmode|sendday|"},
};

}  // namespace

SimPlansRoom::SimPlansRoom(SimServer& server) {
    // Customer A pays 500.00 元 into 恒岳增利债券 on the 15th of every month
    // since a month ago, for a year.
    const long today = SimClock::dayNumber(SimClock::local(server.clock().now()).yyyymmdd());
    SimPlan p;
    p.code = "270003";
    p.tacode = "01";
    p.amount = 50000;
    p.weekly = false;
    p.payDay = 15;
    p.beginDate = SimClock::dateOfDay(today - 30);
    p.endDate = SimClock::dateOfDay(today + 335);
    plans["110001234"].push_back(p);
    // The books open before the first night: a pay day today is met.
    settledDay["110001234"] = SimClock::dateOfDay(today - 1);
}

const SimPlan* SimPlansRoom::running(const std::string& custid, const std::string& code, const std::string& tacode,
                                     int today) const {
    for (const auto& p : simKeptOr(plans, custid))
        if (isOpen(p, today) && p.code == code && p.tacode == tacode) return &p;
    return nullptr;
}

SimPlan* SimPlansRoom::running(const std::string& custid, const std::string& code, const std::string& tacode,
                               int today) {
    return const_cast<SimPlan*>(std::as_const(*this).running(custid, code, tacode, today));
}

namespace {

// Whether the plan pays on the day (days since 1970): a weekly plan on its
// weekday (1 Monday ... 7 Sunday), a monthly one on its day of the month.
bool paysOn(const SimPlan& p, long dayNumber) {
    if (p.weekly) {
        const int weekday = SimClock::weekdayOfDay(dayNumber);  // 0 Sunday
        return (weekday == 0 ? 7 : weekday) == p.payDay;
    }
    return SimClock::dateOfDay(dayNumber) % 100 == p.payDay;
}

// The days in (after, upTo] (yyyymmdd) on which a running plan of the
// customer pays, in order, each once.
std::vector<int> payDays(const SimPlansRoom& room, const std::string& custid, int after, int upTo) {
    std::set<long> days;
    for (const auto& p : simKeptOr(room.plans, custid)) {
        if (!p.running) continue;
        long first = SimClock::dayNumber(p.beginDate);
        if (after > 0) first = std::max(first, SimClock::dayNumber(after) + 1);
        const long last = SimClock::dayNumber(std::min(upTo, p.endDate));
        for (long d = first; d <= last; ++d)
            if (paysOn(p, d)) days.insert(d);
    }
    std::vector<int> out;
    for (long d : days) out.push_back(SimClock::dateOfDay(d));
    return out;
}

// The purchases of the customer's running plans that pay on `payDay`, dated `date`.
void carryOutPlans(SimServer& server, SimCustomer& who, int payDay, int date) {
    const long dayNumber = SimClock::dayNumber(payDay);
    for (const auto& p : simKeptOr(server.view<SimPlansRoom>().plans, who.custid)) {
        if (!p.running || payDay < p.beginDate || payDay > p.endDate || !paysOn(p, dayNumber)) continue;
        SimFundOrder& o = simNewFundOrder(server.room<SimFundsRoom>(), who.custid, kSimPlanPurchase, p.code,
                                          simProductName(server, p.code), date, 0);
        o.amount = p.amount;
        if (!simFundCash(who).hold(p.amount)) o.status = SimFundOrderStatus::NotCarriedOut;
    }
}

// The night up to `reached` (yyyymmdd): every pay day since the last met,
// each met on the day `metOn` gives it and dated it (a purchase, or one not
// carried out), once, and each purchase whose confirming day has come
// confirmed (SimFunds.h).
void meetPayDays(SimServer& server, SimCustomer& who, int today, int reached, int (*metOn)(int)) {
    const auto& settled = server.view<SimPlansRoom>().settledDay;
    const auto found = settled.find(who.custid);
    if (found != settled.end() && found->second >= reached) return;
    const int after = found == settled.end() ? reached : found->second;
    server.room<SimPlansRoom>().settledDay[who.custid] = reached;
    for (int day : payDays(server.view<SimPlansRoom>(), who.custid, after, reached)) {
        const int date = metOn(day);
        simConfirmFundOrders(server, who, date);  // the purchases met before it
        carryOutPlans(server, who, day, date);
    }
    simConfirmFundOrders(server, who, today);
}

}  // namespace

void simSettlePlans(SimServer& server, SimCustomer& who, double now) {
    const int today = SimClock::local(now).yyyymmdd();
    switch (server.booksRules()) {
        case SimBooksRules::PlansPayNothing:
            // Its nights met no plan (simPlansMetUpTo when the books open).
            return;
        case SimBooksRules::PlansByCalendar:
            // Each pay day on its calendar day.
            return meetPayDays(server, who, today, today, [](int day) { return day; });
        case SimBooksRules::Current:
            // Each on its trading day: those of closed days after the last trading day wait.
            return meetPayDays(server, who, today,
                               SimMarket::isTradingDay(today) ? today : server.market().previousTradingDay(today),
                               simTradingDayOnOrAfter);
    }
}

void simPlansMetUpTo(SimPlansRoom& room, const std::map<std::string, int>& nights) {
    for (const auto& [custid, day] : nights) {
        int& met = room.settledDay[custid];
        met = std::max(met, day);
    }
}

void registerPlanFunctions(SimRegistry& r) {
    r.addDaySettler(SimNightStep::Plans, [](SimCall& c, SimCustomer& who) { simSettlePlans(c.server, who, c.now); });
    r.add(kOpen, openPlan);
    r.add(kModify, modifyPlan);
    r.add(kClose, closePlan);
    r.add(kList, listPlans);
    for (const auto& item : kPlanMenu) r.menu().add(item);
}
