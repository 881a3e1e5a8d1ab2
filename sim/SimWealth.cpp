// The wealth family of the simulated server: the wealth plans, conversions
// between funds, dividend settings and fund company accounts (SimWealth.h),
// beside the fund family's catalogue, holdings and orders (SimFunds.h).
// Keys and columns are named in core/contracts/WealthContract.h and
// FundContract.h. Every function of a customer settles the customer's fund
// side first (the fund orders and this family's conversions of earlier days).
//
// 500/50 "ofcode": the fund (or plan) of that code: "ofcode", "ofname",
//   "tacode"; no record for an unknown code.
// 500/50 "qryflag=2": the wealth plans, paged (SimQueries.h): "ofcode",
//   "ofname", "~ofstatus", "term", "yield", "minimum", "~ofriskvalue".
// 100/24, 100/25 and 500/36 for a plan's code: as for a fund (SimFunds.cpp),
//   the plan at 1.0000.
// 500/34, 500/35 for a plan's code: "ofcode", "orderamt", "chkriskflag".
//   Refusals, in order: "基金代码不存在"; "该产品不在认购期" (34 outside the
//   offering), "该产品当前不能申购" (35 of a plan not open); "委托金额错误"
//   (no positive amount); "委托金额必须为1000元的整数倍"; "委托金额低于最低限额
//   %s元"; the risk warning "[88001]..." above the customer's tolerance until
//   "chkriskflag=0"; "可用资金不足". Answers "sno" (a fund order).
// 500/38 "ofcode", "orderqty", "otherofcode", "redeemtype": refusals
//   "理财产品不能转换" (either code a wealth plan: a plan is not converted),
//   "基金代码不存在" (either fund), "转入基金不能与转出基金相同", "只能在同一基金公司
//   的基金之间转换", "您尚未开立该基金公司的基金帐户", "该基金暂停赎回",
//   "转入基金当前不能申购", "委托份额错误", "巨额赎回方式错误", "您没有持有该基金",
//   "可用份额不足". Holds the units; answers "sno".
// 500/39 "ofcode", "dividmethod": "理财产品不分红，不能设置分红方式" (a wealth
//   plan: it pays none; books kept under earlier rules took a method for
//   one, and their records still do), "您没有持有该基金", "分红方式错误";
//   answers "sno".
// 500/48 the fund companies: field 0 "tacode", field 1 the name.
// 500/49 the customer: "custname", "~sex", "idno", "idtype", "addr", "postid".
// 500/44 "tacode", "taacc" (to add), "name", "fullname", "addr" (hex),
//   "idtype", "idno", "sex", "postid", "telno". Refusals: "基金公司代码错误";
//   "您已开立该基金公司的基金帐户"; "客户资料不符" (name, id or sex not the
//   customer's); "基金帐号错误" (taacc not 2 to 20 letters and digits);
//   "请填写联系电话" / "联系电话错误" (7 to 18 digits and "-"); "邮政编码错误"
//   (6 digits); "请填写通信地址"; "通信地址不能超过100个字" (as the form
//   takes it). Answers "sno"; the account is open at once.
// 500/43 the day's fund business (基金当日委托), newest first, paged: "sno",
//   "ofcode", "ofname", "business" (认购, 申购, 赎回, 转换, 分红设置, 开户),
//   "amount" (元, 份, the dividend method or the account), "ordertime",
//   "status"; the fund orders (wealth plans' among them), conversions,
//   dividend settings and account openings of the day.
#include "sim/SimOrders.h"
#include "sim/SimWealth.h"

#include <algorithm>
#include <map>

#include "core/TCRSWriter.h"
#include "core/Utilities.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/WealthContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

namespace Fund = FundContract;
namespace Key = WealthContract::Key;
namespace Col = WealthContract::Col;

constexpr const char* kUnknownFund = "基金代码不存在";
constexpr const char* kPlanNotConverted = "理财产品不能转换";
constexpr const char* kPlanPaysNoDividend = "理财产品不分红，不能设置分红方式";
constexpr size_t kAddressCharacters = 100;
constexpr const char* kRiskText = "[88001]该产品风险等级高于您的风险承受能力，是否确认继续购买？";

// Confirms the customer's conversions of earlier days.
void settleConversions(SimServer& server, SimCustomer& who, double now) {
    auto& room = server.room<SimWealthRoom>();
    auto& funds = server.room<SimFundsRoom>();
    const int today = SimClock::local(now).yyyymmdd();
    SimWealthCustomer& side = room.customers[who.custid];
    if (side.settledDay >= today) return;
    side.settledDay = today;
    SimFundCustomer& held = funds.customer(who.custid);
    for (auto& cv : side.conversions) {
        if (cv.status != SimWealthOrderStatus::Reported || cv.date >= today) continue;
        if (SimFundHolding* from = held.holding(cv.code)) from->units -= cv.units;
        const int64_t into =
            simConvertedUnits(cv.units, simProductNav(server, cv.code), simProductNav(server, cv.otherCode));
        SimFundHolding* to = held.holding(cv.otherCode);
        if (!to) {
            held.holdings.push_back({cv.otherCode, 0, 0, 0});
            to = &held.holdings.back();
        }
        to->units += into;
        to->available += into;
        cv.status = SimWealthOrderStatus::Confirmed;
    }
    held.holdings.erase(std::remove_if(held.holdings.begin(), held.holdings.end(),
                                       [](const SimFundHolding& h) { return h.units <= 0; }),
                        held.holdings.end());
}

// The customer of a request, the fund side and the conversions settled; null with the refusal.
const SimCustomer* readerOf(SimCall& c, SimRefusal* refusal) { return simTradeCustomerToRead(c, refusal); }

std::vector<uint8_t> orderNumberSet(int64_t sno) {
    return TCRSWriter()
        .beginSet()
        .addField(Fund::Col::kOrderNumber, TCRSFieldType::VarText, 0, "委托号")
        .addRecord({std::to_string(sno)})
        .bytes();
}

SimClock::Local localOf(double now) { return SimClock::local(now); }
int timeOf(const SimClock::Local& t) { return t.hour * 10000 + t.minute * 100 + t.second; }

// ---- 500/50 ----

std::vector<uint8_t> fundByCode(SimCall& c) {
    SimRefusal refusal;
    if (!readerOf(c, &refusal)) return simErrorSet(refusal);
    const std::string code = c.request.value(Fund::Key::kFundCode);
    TCRSWriter w;
    w.beginSet()
        .addField(Fund::Col::kFundCode, TCRSFieldType::VarText, 0, "基金代码")
        .addField(Fund::Col::kFundName, TCRSFieldType::VarText, 0, "基金名称")
        .addField(Fund::Col::kCompany, TCRSFieldType::VarText, 0, "基金公司");
    if (const SimFund* f = c.server.view<SimFundsRoom>().fund(code))
        w.addRecord({f->code, f->name, f->tacode});
    else if (const SimWealthPlan* p = c.server.view<SimWealthRoom>().plan(code))
        w.addRecord({p->code, p->name, ""});
    return w.bytes();
}

std::vector<uint8_t> planList(SimCall& c) {
    SimRefusal refusal;
    if (!readerOf(c, &refusal)) return simErrorSet(refusal);
    std::vector<SimListRow> rows;
    for (const auto& p : c.server.view<SimWealthRoom>().plans)
        rows.push_back({p.code, p.name, simFundStatusText(p.status), std::to_string(p.days) + "天",
                        simMoneyText(p.expectedYield) + "%", simMoneyText(p.minimum), simFundRiskText(p.risk)});
    return simPagedList(c.request,
                        {{Fund::Col::kFundCode, "产品代码"},
                         {Fund::Col::kFundName, "产品名称"},
                         {Fund::Col::kStatusText, "状态"},
                         {"term", "期限"},
                         {"yield", "预期年化收益"},
                         {"minimum", "最低金额"},
                         {Fund::Col::kRiskText, "风险级别"}},
                        rows);
}

bool asksFundByCode(const SimRequest& r) {
    return r.has(Fund::Key::kFundCode) && !r.value(Fund::Key::kFundCode).empty();
}
bool asksPlans(const SimRequest& r) {
    return r.value(Fund::Key::kQueryFlag) == std::to_string(WealthContract::QueryFlag::kPlans);
}

// ---- plan orders ----

std::vector<uint8_t> planOrder(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimWealthPlan* p = c.server.view<SimWealthRoom>().plan(c.request.value(Fund::Key::kFundCode));
    if (!p) return simErrorSet(-1, kUnknownFund);
    const bool subscription = c.request.subFunction() == Fund::kSubscribe.sub;
    if (subscription && p->status != SimFundStatus::Offering) return simErrorSet(-1, "该产品不在认购期");
    if (!subscription && p->status != SimFundStatus::Open) return simErrorSet(-1, "该产品当前不能申购");
    const SimMoney amount = simParseHundredths(c.request.value(Fund::Key::kAmount));
    if (amount <= 0) return simErrorSet(-1, "委托金额错误");
    if (amount % 100000 != 0) return simErrorSet(-1, "委托金额必须为1000元的整数倍");
    if (amount < p->minimum) return simErrorSet(-1, "委托金额低于最低限额" + simMoneyText(p->minimum) + "元");
    if (p->risk > who->riskTolerance && c.request.value(Fund::Key::kCheckRisk) != Fund::Value::kRiskAccepted)
        return simErrorSet(-1, kRiskText);
    if (simAvailableCash(*who) < amount) return simErrorSet(-1, "可用资金不足");
    simFundCash(simTradeCustomerToChange(c, *who)).hold(amount);
    const SimClock::Local t = localOf(c.now);
    SimFundOrder& o = simNewFundOrder(c.server.room<SimFundsRoom>(), who->custid, c.request.subFunction(), p->code,
                                      p->name, t.yyyymmdd(), timeOf(t));
    o.amount = amount;
    return orderNumberSet(o.sno);
}

bool ordersPlan(const SimRequest& r) { return simIsPlanCode(r.value(Fund::Key::kFundCode)); }

// ---- conversion and dividend method ----

std::vector<uint8_t> convert(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const std::string fromCode = c.request.value(Fund::Key::kFundCode), intoCode = c.request.value(Key::kOtherFund);
    const auto& plans = c.server.view<SimWealthRoom>();
    if (plans.plan(fromCode) || plans.plan(intoCode)) return simErrorSet(-1, kPlanNotConverted);
    const auto& catalogue = c.server.view<SimFundsRoom>();
    const SimFund* from = catalogue.fund(fromCode);
    const SimFund* into = catalogue.fund(intoCode);
    if (!from || !into) return simErrorSet(-1, kUnknownFund);
    if (from == into) return simErrorSet(-1, "转入基金不能与转出基金相同");
    if (from->tacode != into->tacode) return simErrorSet(-1, "只能在同一基金公司的基金之间转换");
    const SimFundCustomer& side = catalogue.customer(who->custid);
    if (!side.companyAccounts.count(from->tacode)) return simErrorSet(-1, "您尚未开立该基金公司的基金帐户");
    if (from->status == SimFundStatus::RedemptionSuspended || from->status == SimFundStatus::Closed)
        return simErrorSet(-1, "该基金暂停赎回");
    if (into->status != SimFundStatus::Open && into->status != SimFundStatus::RedemptionSuspended)
        return simErrorSet(-1, "转入基金当前不能申购");
    const int64_t units = simParseHundredths(c.request.value(Fund::Key::kUnits));
    if (units <= 0) return simErrorSet(-1, "委托份额错误");
    const std::string type = c.request.value(Fund::Key::kRedeemType);
    if (type != "0" && type != "1") return simErrorSet(-1, "巨额赎回方式错误");
    const SimFundHolding* h = side.holding(from->code);
    if (!h) return simErrorSet(-1, "您没有持有该基金");
    if (h->available < units) return simErrorSet(-1, "可用份额不足");
    auto& funds = c.server.room<SimFundsRoom>();
    funds.customer(who->custid).holding(from->code)->available -= units;
    const SimClock::Local t = localOf(c.now);
    SimConversion cv;
    cv.sno = funds.nextOrderNumber();
    cv.date = t.yyyymmdd();
    cv.time = timeOf(t);
    cv.code = from->code;
    cv.otherCode = into->code;
    cv.units = units;
    cv.redeemType = type == "1" ? 1 : 0;
    c.server.room<SimWealthRoom>().customers[who->custid].conversions.push_back(cv);
    return orderNumberSet(cv.sno);
}

std::vector<uint8_t> dividend(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const std::string code = c.request.value(Fund::Key::kFundCode);
    if (c.server.booksRules() >= SimBooksRules::Current && c.server.view<SimWealthRoom>().plan(code))
        return simErrorSet(-1, kPlanPaysNoDividend);
    if (!c.server.view<SimFundsRoom>().customer(who->custid).holding(code)) return simErrorSet(-1, "您没有持有该基金");
    const std::string method = c.request.value(Key::kDividendMethod);
    if (method != "0" && method != "1") return simErrorSet(-1, "分红方式错误");
    auto& funds = c.server.room<SimFundsRoom>();
    SimFundHolding* h = funds.customer(who->custid).holding(code);
    h->dividendMethod =
        method == "1" ? WealthContract::DividendMethod::kCash : WealthContract::DividendMethod::kReinvest;
    const SimClock::Local t = localOf(c.now);
    SimDividendSetting s{funds.nextOrderNumber(), t.yyyymmdd(), timeOf(t), h->code, h->dividendMethod};
    c.server.room<SimWealthRoom>().customers[who->custid].dividendSettings.push_back(s);
    return orderNumberSet(s.sno);
}

// ---- fund company accounts ----

std::vector<uint8_t> companies(SimCall& c) {
    SimRefusal refusal;
    if (!readerOf(c, &refusal)) return simErrorSet(refusal);
    TCRSWriter w;
    w.beginSet()
        .addField(Fund::Key::kCompany, TCRSFieldType::VarText, 0, "公司代码")
        .addField("name", TCRSFieldType::VarText, 0, "基金公司");
    for (const auto& co : c.server.view<SimFundsRoom>().companies) w.addRecord({co.tacode, co.name});
    return w.bytes();
}

std::vector<uint8_t> customerData(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimPersonalData d = simKeptOr(c.server.view<SimWealthRoom>().personal, who->custid);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kCustomerName, TCRSFieldType::VarText, 0, "姓名")
        .addField(Col::kSexText, TCRSFieldType::VarText, 0, "性别")
        .addField(Col::kIdNo, TCRSFieldType::VarText, 0, "证件号码")
        .addField(Col::kIdType, TCRSFieldType::VarText, 0, "证件类型")
        .addField(Col::kAddress, TCRSFieldType::VarText, 0, "通信地址")
        .addField(Col::kPostCode, TCRSFieldType::VarText, 0, "邮政编码")
        .addRecord({who->name, d.sex, d.idNo, d.idType, d.address, d.postCode})
        .bytes();
}

bool allOf(const std::string& s, const char* chars) {
    return !s.empty() && s.find_first_not_of(chars) == std::string::npos;
}

std::vector<uint8_t> openAccount(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimRequest& r = c.request;
    const auto& catalogue = c.server.view<SimFundsRoom>();
    const std::string tacode = r.value(Fund::Key::kCompany);
    if (!catalogue.company(tacode)) return simErrorSet(-1, "基金公司代码错误");
    if (catalogue.customer(who->custid).companyAccounts.count(tacode))
        return simErrorSet(-1, "您已开立该基金公司的基金帐户");
    const SimPersonalData d = simKeptOr(c.server.view<SimWealthRoom>().personal, who->custid);
    const std::string sex = d.sex == "女" ? "2" : "1";
    if (simDecodeFundName(r.value(Key::kName)) != who->name ||
        simDecodeFundName(r.value(Key::kFullName)) != who->name || r.value(Key::kIdNo) != d.idNo ||
        r.value(Key::kIdType) != d.idType || r.value(Key::kSex) != sex)
        return simErrorSet(-1, "客户资料不符");
    const bool adding = r.has(Key::kTaAccount);
    const std::string taacc = r.value(Key::kTaAccount);
    if (adding && (taacc.size() < 2 || taacc.size() > 20 ||
                   !allOf(taacc, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")))
        return simErrorSet(-1, "基金帐号错误");
    const std::string phone = r.value(Key::kPhone);
    if (phone.empty()) return simErrorSet(-1, "请填写联系电话");
    if (phone.size() < 7 || phone.size() > 18 || !allOf(phone, "0123456789-")) return simErrorSet(-1, "联系电话错误");
    const std::string post = r.value(Key::kPostCode);
    if (post.size() != 6 || !allOf(post, "0123456789")) return simErrorSet(-1, "邮政编码错误");
    const std::string address = simDecodeFundName(r.value(Key::kAddress));
    if (address.empty()) return simErrorSet(-1, "请填写通信地址");
    // The form takes 100 characters; books kept under earlier rules took any.
    if (c.server.booksRules() >= SimBooksRules::Current && utf8Length(address) > kAddressCharacters)
        return simErrorSet(-1, "通信地址不能超过100个字");

    auto& funds = c.server.room<SimFundsRoom>();
    SimAccountOpening o;
    o.sno = funds.nextOrderNumber();
    const SimClock::Local t = localOf(c.now);
    o.date = t.yyyymmdd();
    o.time = timeOf(t);
    o.tacode = tacode;
    o.added = adding;
    o.account = adding ? taacc : tacode + who->custid.substr(who->custid.size() > 8 ? who->custid.size() - 8 : 0);
    o.name = who->name;
    o.idType = r.value(Key::kIdType);
    o.idNo = r.value(Key::kIdNo);
    o.sex = r.value(Key::kSex);
    o.address = address;
    o.postCode = post;
    o.phone = phone;
    funds.customer(who->custid).companyAccounts[tacode] = o.account;
    c.server.room<SimWealthRoom>().customers[who->custid].openings.push_back(o);
    return orderNumberSet(o.sno);
}

// ---- the day's fund business ----

std::vector<uint8_t> todayBusiness(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& funds = c.server.view<SimFundsRoom>();
    const SimWealthCustomer& side = simKeptOr(c.server.view<SimWealthRoom>().customers, who->custid);
    const int today = localOf(c.now).yyyymmdd();
    const std::string confirmed = simFundOrderStatusText(SimFundOrderStatus::Confirmed);
    std::map<int64_t, SimListRow> rows;  // by number: they are the fund orders' own
    auto add = [&](int64_t sno, const std::string& code, const std::string& name, const std::string& business,
                   const std::string& amount, int time, const std::string& status) {
        rows[sno] = {std::to_string(sno), code, name, business, amount, simTimeText(time), status};
    };
    for (const auto& o : funds.customer(who->custid).orders)
        if (o.date == today)
            add(o.sno, o.code, o.name, simFundBusinessText(o.business),
                o.business == Fund::kRedeem.sub ? simUnitsText(o.units) + "份" : simMoneyText(o.amount) + "元", o.time,
                simFundOrderStatusText(o.status));
    for (const auto& cv : side.conversions)
        if (cv.date == today)
            add(cv.sno, cv.code, simProductName(c.server, cv.code), "转换",
                simUnitsText(cv.units) + "份转" + cv.otherCode, cv.time,
                simFundOrderStatusText(cv.status == SimWealthOrderStatus::Confirmed ? SimFundOrderStatus::Confirmed
                                                                                    : SimFundOrderStatus::Reported));
    for (const auto& d : side.dividendSettings)
        if (d.date == today)
            add(d.sno, d.code, simProductName(c.server, d.code), "分红设置",
                d.method == WealthContract::DividendMethod::kCash ? "现金分红" : "红利转投", d.time, confirmed);
    for (const auto& o : side.openings)
        if (o.date == today) {
            const SimFundCompany* co = funds.company(o.tacode);
            add(o.sno, o.tacode, co ? co->name : "", o.added ? "增开基金帐户" : "开户", o.account, o.time, confirmed);
        }
    std::vector<SimListRow> newestFirst;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) newestFirst.push_back(it->second);
    return simPagedList(c.request,
                        {{Fund::Col::kOrderNumber, "委托号"},
                         {Fund::Col::kFundCode, "基金代码"},
                         {Fund::Col::kFundName, "基金名称"},
                         {"business", "业务"},
                         {"amount", "金额/份额"},
                         {"ordertime", "委托时间"},
                         {"status", "状态"}},
                        newestFirst);
}

SimWealthPlan makePlan(const char* code, const char* name, SimFundStatus status, int risk, SimMoney minimum, int days,
                       int yield) {
    return SimWealthPlan{code, name, status, risk, minimum, days, yield};
}

}  // namespace

// The plans and personal data the brokerage opens with (the project's seed
// list): 900001 稳盈集合计划 first, in its offering period, 低风险; 900002
// 恒岳稳健增利 open for purchase, 中风险; 900003 恒岳进取一号 open, 高风险
// (above A's tolerance); A 张明 男, B 李华 女, C 王芳 女, each with an
// identity card, an address and a post code.
SimWealthRoom::SimWealthRoom()
    : plans{makePlan("900001", "稳盈集合计划", SimFundStatus::Offering, 2, 1000000, 180, 450),
            makePlan("900002", "恒岳稳健增利", SimFundStatus::Open, 3, 5000000, 365, 520),
            makePlan("900003", "恒岳进取一号", SimFundStatus::Open, 5, 10000000, 365, 800)},
      personal{{"110001234", {"男", "0", "110101198001011234", "北京市朝阳区建国路1号", "100020"}},
               {"110005678", {"女", "0", "310101198505054321", "上海市浦东新区世纪大道8号", "200120"}},
               {"120009999", {"女", "0", "440301199002023456", "深圳市福田区深南大道100号", "518000"}}} {}

const SimWealthPlan* SimWealthRoom::plan(const std::string& code) const {
    for (const auto& p : plans)
        if (p.code == code) return &p;
    return nullptr;
}

bool simIsPlanCode(const std::string& code) { return code.size() == 6 && code[0] == '9'; }

std::optional<SimProduct> simProduct(SimServer& server, const std::string& code) {
    if (const SimFund* f = server.view<SimFundsRoom>().fund(code))
        return SimProduct{f->code, f->name, f->tacode, f->status, f->nav, f->risk};
    if (const SimWealthPlan* p = simIsPlanCode(code) ? server.view<SimWealthRoom>().plan(code) : nullptr)
        return SimProduct{p->code, p->name, "", p->status, 10000, p->risk};
    return std::nullopt;
}

std::string simProductName(SimServer& server, const std::string& code) {
    const auto product = simProduct(server, code);
    return product ? product->name : "";
}

int64_t simProductNav(SimServer& server, const std::string& code) {
    const auto product = simProduct(server, code);
    return product && product->nav > 0 ? product->nav : 10000;
}

void registerWealthFunctions(SimRegistry& r) {
    r.addDaySettler(SimNightStep::Conversions,
                    [](SimCall& c, SimCustomer& who) { settleConversions(c.server, who, c.now); });
    r.addVariant(WealthContract::kFundQuery, asksFundByCode, fundByCode);
    r.addVariant(WealthContract::kFundQuery, asksPlans, planList);
    r.addVariant(Fund::kSubscribe, ordersPlan, planOrder);
    r.addVariant(Fund::kPurchase, ordersPlan, planOrder);
    r.add(WealthContract::kConversion, convert);
    r.add(WealthContract::kDividend, dividend);
    r.add(WealthContract::kCompanies, companies);
    r.add(WealthContract::kCustomer, customerData);
    r.add(WealthContract::kOpenAccount, openAccount);
    r.add(WealthContract::kTodayBusiness, todayBusiness);
    r.menu().add({332, 3, "集合理财", "collist"});
    r.menu().add({333, 332, "理财认购", "jlcrg"});
    r.menu().add({334, 332, "理财申购", "jlcsg"});
    r.menu().add({335, 3, "基金当日委托", "of_jycx?tc_mfuncno=500&tc_sfuncno=43&position=poststr"});
}
