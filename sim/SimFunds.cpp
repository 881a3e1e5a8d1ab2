// The fund family of the simulated server: the lookups and orders of open-end
// funds (functions, keys and columns named in core/contracts/FundContract.h;
// the lists are in SimFundLists.cpp), over the room of SimFunds.h and the
// books' cash. Every function of a customer confirms the orders of earlier
// days first.
//
// 100/24 with "ofcode": the trade session text. Set 0 the fund (or wealth
//   plan, SimWealth.h): "ofcode", "ofname", "~ofstatus", "nav",
//   "~ofriskvalue", "tacode" (no record for an unknown code); set 1
//   "fundavl", the customer's cash in 元.
// 100/25 "ofcode", with the session: set 0 the fund or plan as 100/24's;
//   set 1 the customer's holding of it: "ofcode", "ofname", "ofavl" (no
//   record when none is held).
// 500/34 subscription, 500/35 purchase: "ofcode", "orderamt", "chkriskflag".
//   Refusals, in order: "基金代码不存在"; "该基金不在认购期" (34 of a fund not
//   offering), "该基金当前不能申购" (35 of a fund offering, suspended or
//   closed); "委托金额错误" (no positive amount: SimAmounts.h);
//   "委托金额低于最低限额%s元"; "您尚未开立该基金公司的基金帐户"; the risk warning
//   "[88001]..." for a fund above the customer's tolerance until
//   "chkriskflag=0"; "可用资金不足". An accepted order holds its money and
//   answers "sno".
// 500/36 redemption of a fund or wealth plan: "ofcode", "orderqty",
//   "redeemtype" (0 or 1). Refusals:
//   "基金代码不存在", "该基金暂停赎回", "委托份额错误", "巨额赎回方式错误",
//   "您没有持有该基金", "可用份额不足". An accepted order holds its units and
//   answers "sno".
// 500/37 cancel: "sno", an open fund order of the customer ("该委托不能撤单"
//   otherwise; a plan's purchase of the day too); its money or units come
//   back. Answers "sno".
#include "sim/SimFunds.h"

#include <utility>
#include <algorithm>
#include <cstdio>

#include "core/TCRSWriter.h"
#include "core/contracts/FundContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"
#include "sim/SimWealth.h"

namespace {

using namespace FundContract;

constexpr const char* kUnknownFund = "基金代码不存在";
constexpr const char* kNotOffering = "该基金不在认购期";
constexpr const char* kNoPurchase = "该基金当前不能申购";
constexpr const char* kNoRedemption = "该基金暂停赎回";
constexpr const char* kBadAmount = "委托金额错误";
constexpr const char* kNoCompanyAccount = "您尚未开立该基金公司的基金帐户";
constexpr const char* kNoMoney = "可用资金不足";
constexpr const char* kBadUnits = "委托份额错误";
constexpr const char* kBadRedeemType = "巨额赎回方式错误";
constexpr const char* kNotHeld = "您没有持有该基金";
constexpr const char* kNoUnits = "可用份额不足";
constexpr const char* kNotCancellable = "该委托不能撤单";
constexpr const char* kRiskText = "[88001]该基金风险等级高于您的风险承受能力，是否确认继续购买？";

// Set 0 of the lookups: the fund or plan, no record for none.
TCRSWriter& fundSet(TCRSWriter& w, const std::optional<SimProduct>& f) {
    w.beginSet()
        .addField(Col::kFundCode, TCRSFieldType::VarText, 0, "基金代码")
        .addField(Col::kFundName, TCRSFieldType::VarText, 0, "基金名称")
        .addField(Col::kStatusText, TCRSFieldType::VarText, 0, "今日状态")
        .addField(Col::kNetValue, TCRSFieldType::VarText, 0, "净值")
        .addField(Col::kRiskText, TCRSFieldType::VarText, 0, "风险级别")
        .addField(Col::kCompany, TCRSFieldType::VarText, 0, "基金公司");
    if (f)
        w.addRecord({f->code, f->name, simFundStatusText(f->status), simNetValueText(f->nav), simFundRiskText(f->risk),
                     f->tacode});
    return w;
}

std::vector<uint8_t> fundInfo(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto f = simProduct(c.server, c.request.value(Key::kFundCode));
    TCRSWriter w;
    fundSet(w, f);
    w.beginSet()
        .addField(Col::kFundCode, TCRSFieldType::VarText, 0, "基金代码")
        .addField(Col::kFundName, TCRSFieldType::VarText, 0, "基金名称")
        .addField(Col::kAvailableUnits, TCRSFieldType::VarText, 0, "可用份额");
    if (f)
        if (const SimFundHolding* h = c.server.view<SimFundsRoom>().customer(who->custid).holding(f->code))
            w.addRecord({f->code, f->name, simUnitsText(h->available)});
    return w.bytes();
}

std::vector<uint8_t> orderNumberSet(int64_t sno) {
    return TCRSWriter()
        .beginSet()
        .addField(Col::kOrderNumber, TCRSFieldType::VarText, 0, "委托号")
        .addRecord({std::to_string(sno)})
        .bytes();
}

// A new order of the request's customer, dated now.
SimFundOrder& newOrder(SimCall& c, const std::string& custid, int business, const std::string& code,
                       const std::string& name) {
    const SimClock::Local t = SimClock::local(c.now);
    return simNewFundOrder(c.server.room<SimFundsRoom>(), custid, business, code, name, t.yyyymmdd(),
                           t.hour * 10000 + t.minute * 100 + t.second);
}

std::vector<uint8_t> buy(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const auto& funds = c.server.view<SimFundsRoom>();
    const SimFund* f = funds.fund(c.request.value(Key::kFundCode));
    if (!f) return simErrorSet(-1, kUnknownFund);
    const bool subscription = c.request.subFunction() == kSubscribe.sub;
    if (subscription && f->status != SimFundStatus::Offering) return simErrorSet(-1, kNotOffering);
    if (!subscription && f->status != SimFundStatus::Open && f->status != SimFundStatus::RedemptionSuspended)
        return simErrorSet(-1, kNoPurchase);
    const SimMoney amount = simParseHundredths(c.request.value(Key::kAmount));
    if (amount <= 0) return simErrorSet(-1, kBadAmount);
    if (amount < f->minimum) {
        char text[96];
        std::snprintf(text, sizeof text, "委托金额低于最低限额%lld.%02lld元", static_cast<long long>(f->minimum / 100),
                      static_cast<long long>(f->minimum % 100));
        return simErrorSet(-1, text);
    }
    if (!funds.customer(reader->custid).companyAccounts.count(f->tacode)) return simErrorSet(-1, kNoCompanyAccount);
    if (f->risk > reader->riskTolerance && c.request.value(Key::kCheckRisk) != FundContract::Value::kRiskAccepted)
        return simErrorSet(-1, kRiskText);
    if (simAvailableCash(*reader) < amount) return simErrorSet(-1, kNoMoney);
    simFundCash(simTradeCustomerToChange(c, *reader)).hold(amount);
    SimFundOrder& o = newOrder(c, reader->custid, c.request.subFunction(), f->code, f->name);
    o.amount = amount;
    return orderNumberSet(o.sno);
}

std::vector<uint8_t> redeem(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const auto& funds = c.server.view<SimFundsRoom>();
    const auto f = simProduct(c.server, c.request.value(Key::kFundCode));
    if (!f) return simErrorSet(-1, kUnknownFund);
    if (f->status == SimFundStatus::RedemptionSuspended || f->status == SimFundStatus::Offering ||
        f->status == SimFundStatus::Closed)
        return simErrorSet(-1, kNoRedemption);
    const int64_t units = simParseHundredths(c.request.value(Key::kUnits));
    if (units <= 0) return simErrorSet(-1, kBadUnits);
    const std::string type = c.request.value(Key::kRedeemType);
    if (type != std::to_string(RedeemType::kCancel) && type != std::to_string(RedeemType::kDefer))
        return simErrorSet(-1, kBadRedeemType);
    const SimFundHolding* held = funds.customer(reader->custid).holding(f->code);
    if (!held || held->units <= 0) return simErrorSet(-1, kNotHeld);
    if (units > held->available) return simErrorSet(-1, kNoUnits);
    c.server.room<SimFundsRoom>().customer(reader->custid).holding(f->code)->available -= units;
    SimFundOrder& o = newOrder(c, reader->custid, kRedeem.sub, f->code, f->name);
    o.units = units;
    o.redeemType = type == std::to_string(RedeemType::kDefer) ? RedeemType::kDefer : RedeemType::kCancel;
    return orderNumberSet(o.sno);
}

std::vector<uint8_t> cancel(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const std::string sno = c.request.value(Key::kOrderNumber);
    const auto& orders = c.server.view<SimFundsRoom>().customer(reader->custid).orders;
    const auto found =
        std::find_if(orders.begin(), orders.end(), [&](const SimFundOrder& o) { return std::to_string(o.sno) == sno; });
    if (found == orders.end() || found->status != SimFundOrderStatus::Reported) return simErrorSet(-1, kNotCancellable);
    SimFundCustomer& side = c.server.room<SimFundsRoom>().customer(reader->custid);
    SimFundOrder& o = side.orders[size_t(found - orders.begin())];
    if (o.business == kRedeem.sub) {
        if (SimFundHolding* h = side.holding(o.code)) h->available += o.units;
    } else {
        simFundCash(simTradeCustomerToChange(c, *reader)).release(o.amount);
    }
    o.status = SimFundOrderStatus::Cancelled;
    return orderNumberSet(o.sno);
}

// Two hex digits of UTF-16LE bytes, or -1.
int hexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return -1;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

// ---- the room ----

const SimFundHolding* SimFundCustomer::holding(const std::string& code) const {
    for (const auto& h : holdings)
        if (h.code == code) return &h;
    return nullptr;
}

SimFundHolding* SimFundCustomer::holding(const std::string& code) {
    return const_cast<SimFundHolding*>(std::as_const(*this).holding(code));
}

const SimFund* SimFundsRoom::fund(const std::string& code) const {
    for (const auto& f : funds)
        if (f.code == code) return &f;
    return nullptr;
}

const SimFundCompany* SimFundsRoom::company(const std::string& tacode) const {
    for (const auto& co : companies)
        if (co.tacode == tacode) return &co;
    return nullptr;
}

const SimFundType* SimFundsRoom::type(const std::string& style) const {
    for (const auto& t : types)
        if (t.style == style) return &t;
    return nullptr;
}

// ---- units at net values: units in 1/100 份, net values in 1/10000 元 ----

SimMoney simFundValue(int64_t units, int64_t nav) { return simDivideRounded(units * nav, 10000); }

int64_t simFundUnits(SimMoney amount, int64_t nav) { return simDivideRounded(amount * 10000, nav); }

int64_t simConvertedUnits(int64_t units, int64_t fromNav, int64_t intoNav) {
    return simDivideRounded(units * fromNav, intoNav);
}

SimBalance& simFundCash(SimCustomer& who) { return who.fundAccounts.front().balances[SimCurrency::kRMB]; }

SimFundOrder& simNewFundOrder(SimFundsRoom& room, const std::string& custid, int business, const std::string& code,
                              const std::string& name, int date, int time) {
    SimFundOrder o;
    o.sno = room.nextOrderNumber();
    o.date = date;
    o.time = time;
    o.business = business;
    o.code = code;
    o.name = name;
    auto& orders = room.customer(custid).orders;
    orders.push_back(std::move(o));
    return orders.back();
}

namespace {

// Whether the open order is confirmed by `day`: from the next day on; a
// plan's purchase, dated its trading day, from the trading day after (the
// books' earlier rules confirmed it the next calendar day, SimPlans.h).
bool confirmedBy(const SimServer& server, const SimFundOrder& o, int day) {
    if (o.date >= day) return false;
    return o.business != kSimPlanPurchase || server.booksRules() < SimBooksRules::Current ||
           simNextTradingDay(o.date) <= day;
}

}  // namespace

void simConfirmFundOrders(SimServer& server, SimCustomer& who, int day) {
    SimFundCustomer& side = server.room<SimFundsRoom>().customer(who.custid);
    SimBalance& cash = simFundCash(who);
    for (auto& o : side.orders) {
        if (o.status != SimFundOrderStatus::Reported || !confirmedBy(server, o, day)) continue;
        const int64_t nav = simProductNav(server, o.code);
        if (o.business == FundContract::kRedeem.sub) {
            if (SimFundHolding* h = side.holding(o.code)) h->units -= o.units;
            cash.deposit(simFundValue(o.units, nav));
        } else {
            cash.payHeld(o.amount);
            const int64_t units = simFundUnits(o.amount, nav);
            SimFundHolding* h = side.holding(o.code);
            if (!h) {
                side.holdings.push_back({o.code, 0, 0, 0});
                h = &side.holdings.back();
            }
            h->units += units;
            h->available += units;
        }
        o.status = SimFundOrderStatus::Confirmed;
    }
    side.holdings.erase(std::remove_if(side.holdings.begin(), side.holdings.end(),
                                       [](const SimFundHolding& h) { return h.units <= 0; }),
                        side.holdings.end());
}

void simSettleFunds(SimServer& server, SimCustomer& who, double now) {
    const int today = SimClock::local(now).yyyymmdd();
    SimFundCustomer& side = server.room<SimFundsRoom>().customer(who.custid);
    if (side.settledDay >= today) return;
    side.settledDay = today;
    simConfirmFundOrders(server, who, today);
}

// ---- texts ----

std::string simFundStatusText(SimFundStatus status) {
    switch (status) {
        case SimFundStatus::Open:
            return "正常开放";
        case SimFundStatus::Offering:
            return "认购期";
        case SimFundStatus::PurchaseSuspended:
            return "暂停申购";
        case SimFundStatus::RedemptionSuspended:
            return "暂停赎回";
        case SimFundStatus::Closed:
            return "停止交易";
    }
    return "";
}

std::string simFundRiskText(int risk) {
    static const char* const kTexts[] = {"低风险", "中低风险", "中风险", "中高风险", "高风险"};
    return risk >= 1 && risk <= 5 ? kTexts[risk - 1] : "";
}

std::string simFundBusinessText(int business) {
    if (business == FundContract::kSubscribe.sub) return "认购";
    if (business == FundContract::kPurchase.sub) return "申购";
    if (business == FundContract::kRedeem.sub) return "赎回";
    if (business == kSimPlanPurchase) return "定投";
    return "";
}

std::string simFundOrderStatusText(SimFundOrderStatus status) {
    switch (status) {
        case SimFundOrderStatus::Reported:
            return "已报";
        case SimFundOrderStatus::Cancelled:
            return "已撤";
        case SimFundOrderStatus::Confirmed:
            return "已确认";
        case SimFundOrderStatus::NotCarriedOut:
            return "资金不足未扣款";
    }
    return "";
}

std::string simNetValueText(int64_t nav) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%04lld", static_cast<long long>(nav / 10000),
                  static_cast<long long>(nav % 10000));
    return text;
}

std::string simUnitsText(int64_t units) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", units < 0 ? "-" : "",
                  static_cast<long long>(std::llabs(units) / 100), static_cast<long long>(std::llabs(units) % 100));
    return text;
}

std::string simDecodeFundName(const std::string& text) {
    if (text.empty() || text.size() % 4 != 0) return text;
    std::vector<uint16_t> units;
    for (size_t i = 0; i < text.size(); i += 4) {
        int d[4];
        for (int k = 0; k < 4; ++k)
            if ((d[k] = hexDigit(text[i + k])) < 0) return text;
        units.push_back(static_cast<uint16_t>((d[2] << 12) | (d[3] << 8) | (d[0] << 4) | d[1]));
    }
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        appendUtf8(out, u);
    }
    return out;
}

// ---- registration ----

namespace {

// The 理财 group's items (and, hidden at the board's level, the fund
// information list the query hub's "资讯" opens).
const SimMenuItem kFundMenu[] = {
    {8, -1, "基金资讯", "of_jjzx", "", true},
    {301, 3, "基金认购", "of_jjrg"},
    {302, 3, "基金申购", "of_jjsg"},
    {303, 3, "基金赎回", "of_jjsh"},
    {304, 3, "基金转换", "of_jjzh"},
    {305, 3, "分红设置", "of_fhsz"},
    {306, 3, "基金开户", "of_jjkh"},
    {307, 3, "基金查询", "of_jjcx?tc_mfuncno=100&tc_sfuncno=22"},
    {308, 3, "基金份额", "of_fecx?tc_mfuncno=500&tc_sfuncno=41&position=poststr"},
    {309, 3, "理财产品", "jlccp?tc_mfuncno=500&tc_sfuncno=50&qryflag=2&position=poststr"},
    {310, 3, "智能定投", "zndt_kt"},
    {311, 3, "报价回购", "kvrmr"},
    {312, 3, "基金信息", "of_jjxx?tc_mfuncno=504&tc_sfuncno=24&position=poststr"},
    {313, 3, "基金撤单", "of_wtcd?tc_mfuncno=500&tc_sfuncno=40&position=poststr"},
    {314, 3, "我的基金", "of_wdjj?tc_mfuncno=504&tc_sfuncno=24"},
    {315, 3, "基金排行", "of_jjpx"},
    {316, 3, "基金评级", "of_jjpj"},
    {317, 3, "基金交易查询", "of_jycx?tc_mfuncno=500&tc_sfuncno=42&position=poststr"},
    {318, 3, "基金名称查询", "of_jjmc"},
    {319, 3, "开放式基金", "openfund"},
    {320, 3, "基金超市", "sgb"},
    {321, 319, "基金认购", "of_jjrg"},
    {322, 319, "基金申购", "of_jjsg"},
    {323, 319, "基金赎回", "of_jjsh"},
    {324, 319, "基金撤单", "of_wtcd?tc_mfuncno=500&tc_sfuncno=40&position=poststr"},
    {325, 320, "按基金公司", "of_jjcx?tc_mfuncno=100&tc_sfuncno=21"},
    {326, 320, "按基金状态", "of_jjcx?tc_mfuncno=100&tc_sfuncno=23"},
    {327, 320, "全部基金", "of_jjcx?tc_mfuncno=100&tc_sfuncno=24"},
    {328, 8, "基金要闻", "newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=01&count=20"},
    {329, 8, "研究报告", "newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=03&count=20"},
};

// With a code the fund and the cash; without, the finder's list of every fund.
std::vector<uint8_t> fundLookup(SimCall& c) {
    if (!c.request.has(Key::kFundCode)) return simFundNameList(c);
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    TCRSWriter w;
    fundSet(w, simProduct(c.server, c.request.value(Key::kFundCode)));
    w.beginSet().addField(Col::kCash, TCRSFieldType::VarText, 0, "可用资金");
    w.addRecord({simMoneyText(simAvailableCash(*who))});
    return w.bytes();
}

}  // namespace

void registerFundFunctions(SimRegistry& r) {
    r.addDaySettler(SimNightStep::FundOrders,
                    [](SimCall& c, SimCustomer& who) { simSettleFunds(c.server, who, c.now); });
    r.add(kFundLookup, fundLookup);
    r.add(kFundInfo, fundInfo);
    r.add(kSubscribe, buy);
    r.add(kPurchase, buy);
    r.add(kRedeem, redeem);
    r.add(kCancel, cancel);
    registerFundListFunctions(r);
    for (const auto& item : kFundMenu) r.menu().add(item);
}
