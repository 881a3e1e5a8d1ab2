// The fund lists of the simulated server (functions, keys and columns named
// in core/contracts/FundContract.h), over the room of SimFunds.h. The paged
// ones page as SimQueries.h says (Key::kCount rows after the Key::kCursor
// sent; the last row's cursor is empty); the field descriptors are the
// client's column titles.
//
// Without a trade session:
// 100/21 fund companies, 100/22 fund types, 100/23 fund statuses: field 0
//   the code ("tacode", "style", "status"), field 1 its name.
// 100/24 without "ofcode": every fund, "ofcode" and "ofname".
// 504/22 the fund types, as 100/22.
// 504/24 the funds: "ofcode" (one code, or codes joined by ",": those funds
//   in that order), "status" (1 offering, 2 open for purchase), paged.
//   Rows "TradingCode", "SecuAbbr", "UnitNetValue", "~ofstatus",
//   "~ofriskvalue", "company".
// 504/25 "style", "ordertype" 1-5: the type's funds by their return over a
//   day, a week, a month, half a year or a year, best first; not paged.
// 504/26 "style", "qryflag", "count", "poststr": the type's funds by rating,
//   best first, paged.
// With the session (the customer's fund side settled first):
// 100/26 exactly one of "tacode", "style", "status" or "ofname" (a part of
//   the name, hex-encoded as the finder sends it, or as it stands); paged,
//   rows as 504/24's. "查询条件错误" without one.
// 500/40 the day's fund orders still open: "sno", "ofcode", "ofname",
//   "business", "amount" (元 or 份), "orderdate", "ordertime", "status".
// 500/41 the fund shares held (a wealth plan's at 1.0000): "ofcode", "ofname",
//   "ofavl", "ofbal", "nav", "mktval" (simFundValue), "~dividmethod".
// 500/42 every fund order, newest first: as 500/40's rows.
// 500/50 "qryflag" 1: the funds open for fixed-investment plans, paged:
//   "ofcode", "ofname", "tacode", "nav", "schedueleflag" ("1": plans run;
//   "0" for a fund whose plans are paused).
#include <algorithm>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/FundContract.h"
#include "sim/SimFunds.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimQuoteColumns.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"
#include "sim/SimWealth.h"

namespace {

using namespace FundContract;

constexpr const char* kNoCondition = "查询条件错误";

// Two columns: a code and its name, one row per pair.
std::vector<uint8_t> codeNameSet(const char* codeField, const char* codeTitle, const char* nameTitle,
                                 const std::vector<std::pair<std::string, std::string>>& rows) {
    TCRSWriter w;
    w.beginSet()
        .addField(codeField, TCRSFieldType::VarText, 0, codeTitle)
        .addField("name", TCRSFieldType::VarText, 0, nameTitle);
    for (const auto& [code, name] : rows) w.addRecord({code, name});
    return w.bytes();
}

std::vector<uint8_t> companies(SimCall& c) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& co : c.server.view<SimFundsRoom>().companies) rows.push_back({co.tacode, co.name});
    return codeNameSet(Key::kCompany, "公司代码", "基金公司", rows);
}

std::vector<uint8_t> types(SimCall& c) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& t : c.server.view<SimFundsRoom>().types) rows.push_back({t.style, t.name});
    return codeNameSet(Key::kStyle, "类型代码", "基金类型", rows);
}

// The finder's statuses, as 504/24's and 100/26's "status" reads them.
const std::pair<const char*, const char*> kStatusNames[] = {
    {"1", "认购期"}, {"2", "可申购"}, {"3", "暂停申购"}, {"4", "暂停赎回"}};

bool hasStatus(const SimFund& f, const std::string& status) {
    if (status == "1") return f.status == SimFundStatus::Offering;
    if (status == "2") return f.status == SimFundStatus::Open || f.status == SimFundStatus::RedemptionSuspended;
    if (status == "3") return f.status == SimFundStatus::PurchaseSuspended;
    if (status == "4") return f.status == SimFundStatus::RedemptionSuspended;
    return false;
}

std::vector<uint8_t> statuses(SimCall&) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& [code, name] : kStatusNames) rows.push_back({code, name});
    return codeNameSet(Key::kStatus, "状态代码", "基金状态", rows);
}

const std::vector<SimListColumn> kFundColumns = {{Col::kTradingCode, "基金代码"}, {Col::kShortName, "基金简称"},
                                                 {Col::kNetValueCol, "单位净值"}, {Col::kStatusText, "状态"},
                                                 {Col::kRiskText, "风险级别"},    {"company", "基金公司"}};

SimListRow fundRow(const SimFundsRoom& room, const SimFund& f) {
    const SimFundCompany* co = room.company(f.tacode);
    return {f.code,
            f.name,
            simNetValueText(f.nav),
            simFundStatusText(f.status),
            simFundRiskText(f.risk),
            co ? co->name : ""};
}

std::vector<uint8_t> information(SimCall& c) {
    const auto& room = c.server.view<SimFundsRoom>();
    std::vector<SimListRow> rows;
    if (c.request.has(Key::kFundCode)) {
        for (const auto& code : simSplit(c.request.value(Key::kFundCode), ','))
            if (const SimFund* f = room.fund(code)) rows.push_back(fundRow(room, *f));
    } else {
        const std::string status = c.request.value(Key::kStatus);
        for (const auto& f : room.funds)
            if (status.empty() || hasStatus(f, status)) rows.push_back(fundRow(room, f));
    }
    return simPagedList(c.request, kFundColumns, rows);
}

std::string percentText(int hundredths) {
    std::string sign = hundredths < 0 ? "-" : "";
    int v = std::abs(hundredths);
    std::string frac = std::to_string(v % 100);
    return sign + std::to_string(v / 100) + "." + (frac.size() == 1 ? "0" : "") + frac;
}

std::vector<uint8_t> ranking(SimCall& c) {
    const auto& room = c.server.view<SimFundsRoom>();
    const std::string style = c.request.value(Key::kStyle);
    const long long period =
        std::clamp<long long>(c.request.intValue(Key::kOrderType, Period::kDay), Period::kDay, Period::kYear);
    std::vector<const SimFund*> funds;
    for (const auto& f : room.funds)
        if (f.style == style && f.status != SimFundStatus::Offering) funds.push_back(&f);
    std::stable_sort(funds.begin(), funds.end(), [&](const SimFund* a, const SimFund* b) {
        return a->returns[period - 1] > b->returns[period - 1];
    });
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kTradingCode, TCRSFieldType::VarText, 0, "基金代码")
        .addField(Col::kShortName, TCRSFieldType::VarText, 0, "基金简称")
        .addField(Col::kNetValueCol, TCRSFieldType::VarText, 0, "单位净值")
        .addField("rate", TCRSFieldType::VarText, 0, "收益率(%)");
    for (const SimFund* f : funds)
        w.addRecord({f->code, f->name, simNetValueText(f->nav), percentText(f->returns[period - 1])});
    return w.bytes();
}

std::vector<uint8_t> rating(SimCall& c) {
    const auto& room = c.server.view<SimFundsRoom>();
    const std::string style = c.request.value(Key::kStyle);
    std::vector<const SimFund*> funds;
    for (const auto& f : room.funds)
        if (f.style == style && f.rating > 0) funds.push_back(&f);
    std::stable_sort(funds.begin(), funds.end(),
                     [](const SimFund* a, const SimFund* b) { return a->rating > b->rating; });
    std::vector<SimListRow> rows;
    for (const SimFund* f : funds) {
        std::string stars;
        for (int i = 0; i < f->rating; ++i) stars += "★";
        rows.push_back({f->code, f->name, simNetValueText(f->nav), stars});
    }
    return simPagedList(c.request,
                        {{Col::kTradingCode, "基金代码"},
                         {Col::kShortName, "基金简称"},
                         {Col::kNetValueCol, "单位净值"},
                         {"rating", "评级"}},
                        rows);
}

std::vector<uint8_t> fundList(SimCall& c) {
    SimRefusal refusal;
    if (!simTradeCustomerToRead(c, &refusal)) return simErrorSet(refusal);
    const auto& room = c.server.view<SimFundsRoom>();
    const char* const filters[] = {Key::kCompany, Key::kStyle, Key::kStatus, Key::kFundName};
    const char* filter = nullptr;
    for (const char* key : filters)
        if (c.request.has(key)) filter = filter ? "" : key;
    if (!filter || !*filter) return simErrorSet(-1, kNoCondition);
    const std::string value =
        std::string(filter) == Key::kFundName ? simDecodeFundName(c.request.value(filter)) : c.request.value(filter);
    std::vector<SimListRow> rows;
    for (const auto& f : room.funds) {
        const std::string key = filter;
        bool match = key == Key::kCompany  ? f.tacode == value
                     : key == Key::kStyle  ? f.style == value
                     : key == Key::kStatus ? hasStatus(f, value)
                                           : f.name.find(value) != std::string::npos;
        if (match) rows.push_back(fundRow(room, f));
    }
    return simPagedList(c.request, kFundColumns, rows);
}

const std::vector<SimListColumn> kOrderColumns = {
    {Col::kOrderNumber, "委托号"}, {Col::kFundCode, "基金代码"}, {Col::kFundName, "基金名称"}, {"business", "业务"},
    {"amount", "金额/份额"},       {"orderdate", "委托日期"},    {"ordertime", "委托时间"},    {"status", "状态"}};

SimListRow orderRow(const SimFundOrder& o) {
    char time[8];
    std::snprintf(time, sizeof time, "%06d", o.time);
    return {std::to_string(o.sno),
            o.code,
            o.name,
            simFundBusinessText(o.business),
            o.business == kRedeem.sub ? simUnitsText(o.units) + "份" : simMoneyText(o.amount) + "元",
            std::to_string(o.date),
            time,
            simFundOrderStatusText(o.status)};
}

std::vector<uint8_t> orders(SimCall& c, bool openOnly) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& side = c.server.view<SimFundsRoom>().customer(who->custid);
    std::vector<SimListRow> rows;
    for (auto it = side.orders.rbegin(); it != side.orders.rend(); ++it)
        if (!openOnly || it->status == SimFundOrderStatus::Reported) rows.push_back(orderRow(*it));
    return simPagedList(c.request, kOrderColumns, rows);
}

std::vector<uint8_t> cancellable(SimCall& c) { return orders(c, true); }
std::vector<uint8_t> history(SimCall& c) { return orders(c, false); }

std::vector<uint8_t> holdings(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    std::vector<SimListRow> rows;
    for (const auto& h : c.server.view<SimFundsRoom>().customer(who->custid).holdings) {
        const int64_t nav = simProductNav(c.server, h.code);
        rows.push_back({h.code, simProductName(c.server, h.code), simUnitsText(h.available), simUnitsText(h.units),
                        simNetValueText(nav), simMoneyText(simFundValue(h.units, nav)),
                        h.dividendMethod == 1 ? "现金分红" : "红利转投"});
    }
    return simPagedList(c.request,
                        {{Col::kFundCode, "基金代码"},
                         {Col::kFundName, "基金名称"},
                         {Col::kAvailableUnits, "可用份额"},
                         {"ofbal", "份额"},
                         {Col::kNetValue, "净值"},
                         {"mktval", "市值"},
                         {"~dividmethod", "分红方式"}},
                        rows);
}

std::vector<uint8_t> planFunds(SimCall& c) {
    SimRefusal refusal;
    if (!simTradeCustomerToRead(c, &refusal)) return simErrorSet(refusal);
    if (c.request.intValue(Key::kQueryFlag, -1) != QueryFlag::kPlanFunds) return simErrorSet(-1, kNoCondition);
    std::vector<SimListRow> rows;
    for (const auto& f : c.server.view<SimFundsRoom>().funds)
        if (f.fixedInvestment || f.status == SimFundStatus::PurchaseSuspended)
            rows.push_back({f.code, f.name, f.tacode, simNetValueText(f.nav), f.fixedInvestment ? "1" : "0"});
    return simPagedList(c.request,
                        {{Col::kFundCode, "基金代码"},
                         {Col::kFundName, "基金名称"},
                         {Col::kCompany, "基金公司"},
                         {Col::kNetValue, "净值"},
                         {Col::kPlanScheduled, "定投状态"}},
                        rows);
}

}  // namespace

std::vector<uint8_t> simFundNameList(SimCall& c) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const auto& f : c.server.view<SimFundsRoom>().funds) rows.push_back({f.code, f.name});
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kFundCode, TCRSFieldType::VarText, 0, "基金代码")
        .addField(Col::kFundName, TCRSFieldType::VarText, 0, "基金名称");
    for (const auto& [code, name] : rows) w.addRecord({code, name});
    return w.bytes();
}

void registerFundListFunctions(SimRegistry& r) {
    r.add(kCompanies, companies);
    r.add(kStyles, types);
    r.add(kStatuses, statuses);
    r.add(kFundList, fundList);
    r.add(kFundTypes, types);
    r.add(kFundInformation, information);
    r.add(kRanking, ranking);
    r.add(kRating, rating);
    r.add(kCancellable, cancellable);
    r.add(kHoldings, holdings);
    r.add(kOrderHistory, history);
    r.add(kPlanFunds, planFunds);
}
