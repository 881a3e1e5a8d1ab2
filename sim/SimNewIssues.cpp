// The new-issue family of the simulated server (functions, keys and columns
// named in core/contracts/NewIssueContract.h; the issues in SimNewIssues.h).
// A request of an ended session is refused ("会话已失效，请重新登录"), but for
// the list, which is the same for everyone and carries no session.
//
// 100/18 list: the issues of the markets named ("0,1"; all when none), the
//   day's first; "status" 0 for the issues subscribable today, 1 for later
//   ones; issues whose day has passed are not listed.
// 100/30 limits: set 0 "fundavl" (the customer's available 人民币); set 1
//   per code sent: "maxbuy" is the issue's upper limit as far as the money
//   pays for it in whole lots, 0 when the issue is not subscribable today or
//   the customer subscribed it already. "<code>不是可申购的新股" for a code
//   that is no issue.
// 100/19 calculation: the quantities of the strategy, in whole lots, each
//   within the issue's upper limit and together within the money (the
//   upper-limit strategy fills the issues in the order sent). Refusals:
//   "申购参数错误" (a value that is no number, or one value short),
//   "资金比例合计不能超过100%", "可用资金不足" (amounts beyond the money).
// 100/20 order: each issue on its own, with its result line: "非申购日不能
//   申购", "不能重复申购", "股东代码不存在", "申购数量错误" (not whole lots, or
//   beyond the limit), "可用资金不足"; an accepted subscription freezes its
//   amount and answers its contract number. "申购参数错误" when the lists do
//   not hold one value per code. A subscription is an order of the day:
//   当日委托 and the history list it (申购, 已报 until its allotment, then
//   已中签 with the shares allotted, or 未中签); it cannot be cancelled, so
//   the cancel list leaves it out; its allotment is a deal of the allotment
//   day (SimNewIssues.h).
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/NewIssueContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimNewIssues.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace NewIssueContract;

constexpr const char* kBadParams = "申购参数错误";
constexpr const char* kNoMoney = "可用资金不足";

int today(const SimCall& c) { return SimClock::local(c.now).yyyymmdd(); }

std::vector<std::string> listOf(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    size_t from = 0;
    for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        out.push_back(text.substr(from, comma - from));
    out.push_back(text.substr(from));
    return out;
}

SimMoney amountOf(const SimNewIssue& issue, int64_t quantity) { return quantity * issue.price / 10; }
// The whole lots of the issue that `money` pays for.
int64_t lotsFor(const SimNewIssue& issue, SimMoney money) {
    if (money <= 0) return 0;
    return money * 10 / issue.price / issue.lot() * issue.lot();
}

SimBalance& rmbOf(SimCustomer& who) { return who.fundAccounts.front().balances[SimCurrency::kRMB]; }

// A subscription's books: it holds its money until the allotment, which
// brings the shares allotted at the issue price and frees the rest; the
// market never meets it and the customer cannot cancel it.
class SubscriptionLedger : public SimOrderLedger {
public:
    explicit SubscriptionLedger(SimNewIssue issue) : issue_(std::move(issue)) {}

    void release(SimCustomer& who, const SimOrder&, SimMoney amount) const override { rmbOf(who).release(amount); }
    void fill(SimCustomer&, const SimOrder&, int64_t, SimPrice, SimMoney) const override {}
    void unsold(SimCustomer&, const SimOrder&, int64_t) const override {}
    bool meetsMarket(const SimOrder&) const override { return false; }
    bool cancellable(const SimOrder&) const override { return false; }
    std::string direction(const SimOrder&) const override { return "申购"; }
    std::string snapshotName() const override { return "subscription " + issue_.code; }
    std::string statusText(const SimOrder& o) const override {
        if (o.isOpen()) return "";
        return o.matched > 0 ? "已中签" : "未中签";
    }
    // The allotment, on the first pass of a trading day after the subscription's.
    void dayEnded(SimCustomer& who, SimOrder& o, int today) const override {
        if (!SimMarket::isTradingDay(today)) return;
        const int64_t shares = issue_.allotted(o.quantity);
        const SimMoney paid = simAmountOf(shares, issue_.price);
        SimBalance& cash = rmbOf(who);
        cash.payHeld(paid);
        cash.release(o.frozen - paid);
        o.frozen = 0;
        if (shares > 0) {
            SimHolding* h = who.holding(o.secuid, issue_.stockCode);
            if (!h) {
                who.holdings.push_back({o.secuid, o.market, issue_.stockCode, issue_.name});
                h = &who.holdings.back();
            }
            h->putIn(shares, shares * issue_.price);
            who.deals.push_back({o.ordersno, today, 0, issue_.price, shares, paid});
        }
        o.matched = shares;
        o.status = SimOrderStatus::Filled;
    }

private:
    SimNewIssue issue_;
};

int statusOf(const SimNewIssue& issue, int day) { return issue.issueDate == day ? Status::kToday : Status::kLater; }

// What the customer may still subscribe of the issue today.
int64_t maxBuyOf(const SimNewIssuesRoom& room, const SimCustomer& who, const SimNewIssue& issue, SimMoney money,
                 int day) {
    if (statusOf(issue, day) != Status::kToday || room.subscribed(who, issue.code)) return 0;
    return std::min(issue.maxQuantity, lotsFor(issue, money));
}

// The customer and the issues, as the books are.
struct Reader {
    const SimNewIssuesRoom& room;
    const SimCustomer* who;
};
Reader readerOf(SimCall& c, SimRefusal* refusal) {
    const SimCustomer* who = simTradeCustomerToRead(c, refusal);
    return {c.server.view<SimNewIssuesRoom>(), who};
}

std::vector<uint8_t> list(SimCall& c) {
    const std::vector<std::string> markets = listOf(c.request.value(Key::kListMarkets));
    std::vector<const SimNewIssue*> shown;
    for (const auto& issue : c.server.view<SimNewIssuesRoom>().issues)
        if (issue.issueDate >= today(c) &&
            (markets.empty() || std::find(markets.begin(), markets.end(), issue.market) != markets.end()))
            shown.push_back(&issue);
    std::stable_sort(shown.begin(), shown.end(),
                     [](const SimNewIssue* a, const SimNewIssue* b) { return a->issueDate < b->issueDate; });
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kName, TCRSFieldType::VarText, 0, "股票名称")
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "申购代码")
        .addField(Col::kPrice, TCRSFieldType::VarText, 0, "发行价格")
        .addField(Col::kIssueDate, TCRSFieldType::VarText, 0, "申购日期")
        .addField(Col::kIssueQty, TCRSFieldType::VarText, 0, "发行数量(万股)")
        .addField(Col::kPE, TCRSFieldType::VarText, 0, "发行市盈率")
        .addField(Col::kMaxQty, TCRSFieldType::VarText, 0, "申购上限")
        .addField(Col::kListDate, TCRSFieldType::VarText, 0, "上市时间")
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场")
        .addField(Col::kStatus, TCRSFieldType::Integer, 4, "状态");
    for (const SimNewIssue* i : shown)
        w.addRecord({i->name, i->code, simPriceText(i->price), std::to_string(i->issueDate),
                     std::to_string(i->issueQuantity), i->pe, std::to_string(i->maxQuantity), "待定", i->market,
                     statusOf(*i, today(c))});
    return w.bytes();
}

std::vector<uint8_t> limits(SimCall& c) {
    SimRefusal refusal;
    Reader k = readerOf(c, &refusal);
    if (!k.who) return simErrorSet(refusal);
    const SimMoney money = simAvailableCash(*k.who);
    TCRSWriter w;
    w.beginSet().addField(Col::kFundAvl, TCRSFieldType::VarText, 0, "可用资金").addRecord({simMoneyText(money)});
    w.beginSet()
        .addField(Col::kName, TCRSFieldType::VarText, 0, "股票名称")
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "申购代码")
        .addField(Col::kPrice, TCRSFieldType::VarText, 0, "发行价格")
        .addField(Col::kMaxQty, TCRSFieldType::VarText, 0, "申购上限")
        .addField(Col::kMaxBuy, TCRSFieldType::VarText, 0, "最大可申购");
    for (const auto& code : listOf(c.request.value(Key::kStockCode))) {
        const SimNewIssue* issue = k.room.issue(code);
        if (!issue) return simErrorSet(-1, code + "不是可申购的新股");
        w.addRecord({issue->name, issue->code, simPriceText(issue->price), std::to_string(issue->maxQuantity),
                     std::to_string(maxBuyOf(k.room, *k.who, *issue, money, today(c)))});
    }
    return w.bytes();
}

std::vector<uint8_t> calculation(SimCall& c) {
    SimRefusal refusal;
    Reader k = readerOf(c, &refusal);
    if (!k.who) return simErrorSet(refusal);
    const std::vector<std::string> codes = listOf(c.request.value(Key::kCodes));
    const std::vector<std::string> params = listOf(c.request.value(Key::kParams));
    const long long policy = c.request.intValue(Key::kPolicy, -1);
    const bool typed = policy == Policy::kShares || policy == Policy::kPercentages || policy == Policy::kAmounts;
    if (codes.empty() || policy < Policy::kShares || policy > Policy::kUpperLimit ||
        (typed && params.size() != codes.size()))
        return simErrorSet(-1, kBadParams);
    std::vector<const SimNewIssue*> issues;
    std::vector<int64_t> values;  // hundredths of shares, percent or yuan
    for (size_t i = 0; i < codes.size(); ++i) {
        const SimNewIssue* issue = k.room.issue(codes[i]);
        if (!issue) return simErrorSet(-1, codes[i] + "不是可申购的新股");
        issues.push_back(issue);
        if (typed) {
            values.push_back(simParseHundredths(params[i]));
            if (values.back() < 0) return simErrorSet(-1, kBadParams);
        }
    }
    const SimMoney money = simAvailableCash(*k.who);
    int64_t sum = 0;
    for (int64_t v : values) sum += v;
    if (policy == Policy::kPercentages && sum > 100 * 100) return simErrorSet(-1, "资金比例合计不能超过100%");
    if (policy == Policy::kAmounts && sum > money) return simErrorSet(-1, kNoMoney);

    TCRSWriter w;
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "申购代码")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "股票名称")
        .addField(Col::kPrice, TCRSFieldType::VarText, 0, "发行价格")
        .addField(Key::kQty, TCRSFieldType::VarText, 0, "申购股数")
        .addField("amount", TCRSFieldType::VarText, 0, "申购金额")
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场");
    SimMoney left = money;
    for (size_t i = 0; i < issues.size(); ++i) {
        const SimNewIssue& issue = *issues[i];
        const int64_t most = maxBuyOf(k.room, *k.who, issue, money, today(c));
        int64_t q = 0;
        switch (policy) {
            case Policy::kShares:
                q = values[i] / 100 / issue.lot() * issue.lot();
                break;
            case Policy::kEqualFunds:
                q = lotsFor(issue, money / SimMoney(issues.size()));
                break;
            case Policy::kPercentages:
                q = lotsFor(issue, money * values[i] / 10000);
                break;
            case Policy::kAmounts:
                q = lotsFor(issue, values[i]);
                break;
            default:
                q = issue.maxQuantity;
        }
        q = std::min({q, most, lotsFor(issue, left)});
        left -= amountOf(issue, q);
        w.addRecord({issue.code, issue.name, simPriceText(issue.price), std::to_string(q),
                     simMoneyText(amountOf(issue, q)), issue.market});
    }
    return w.bytes();
}

std::vector<uint8_t> subscribe(SimCall& c) {
    SimRefusal refusal;
    Reader k = readerOf(c, &refusal);
    if (!k.who) return simErrorSet(refusal);
    const SimRequest& r = c.request;
    const std::vector<std::string> codes = listOf(r.value(Key::kCodes));
    const std::vector<std::string> markets = listOf(r.value(Key::kMarkets));
    const std::vector<std::string> secuids = listOf(r.value(Key::kSecuIds));
    const std::vector<std::string> fundids = listOf(r.value(Key::kFundIds));
    const std::vector<std::string> quantities = listOf(r.value(Key::kQty));
    const size_t n = codes.size();
    if (n == 0 || markets.size() != n || secuids.size() != n || fundids.size() != n || quantities.size() != n)
        return simErrorSet(-1, kBadParams);

    // Each line is checked on the books as they are and the lines before it:
    // a request whose every line is refused changes nothing.
    struct Line {
        const SimNewIssue* issue;
        long long quantity;
        std::string refusal;
    };
    std::vector<Line> lines;
    std::vector<std::string> taken;  // the issues of the lines before that passed
    SimMoney money = simAvailableCash(*k.who);
    for (size_t i = 0; i < n; ++i) {
        const SimNewIssue* issue = k.room.issue(codes[i]);
        const SimShareholder* holder = k.who->shareholder(markets[i]);
        const long long q = quantities[i].find_first_not_of("0123456789") == std::string::npos &&
                                    !quantities[i].empty() && quantities[i].size() <= 9
                                ? std::stoll(quantities[i])
                                : -1;
        Line& line = lines.emplace_back(Line{issue, q, ""});
        if (!issue || statusOf(*issue, today(c)) != Status::kToday)
            line.refusal = "非申购日不能申购";
        else if (k.room.subscribed(*k.who, issue->code) ||
                 std::find(taken.begin(), taken.end(), issue->code) != taken.end())
            line.refusal = "不能重复申购";
        else if (!holder || holder->secuid != secuids[i] || issue->market != markets[i])
            line.refusal = "股东代码不存在";
        else if (q <= 0 || q % issue->lot() != 0 || q > issue->maxQuantity)
            line.refusal = "申购数量错误";
        else if (amountOf(*issue, q) > money)
            line.refusal = kNoMoney;
        if (!line.refusal.empty()) continue;
        money -= amountOf(*issue, q);
        taken.push_back(issue->code);
    }
    // What the books keep of the lists: the lines carried out, each checked
    // on the books (but its fund account, which is not read: the main one it
    // pays from), so that its replay carries out the same and nothing else.
    const auto keep = [&](const char* key, const std::function<std::string(size_t)>& valueOf) {
        std::string kept;
        for (size_t i = 0, keptLines = 0; i < n; ++i)
            if (lines[i].refusal.empty()) kept += (keptLines++ ? "," : "") + valueOf(i);
        r.noteTaken(key, kept);
    };
    if (!taken.empty()) {
        keep(Key::kCodes, [&](size_t i) { return codes[i]; });
        keep(Key::kMarkets, [&](size_t i) { return markets[i]; });
        keep(Key::kSecuIds, [&](size_t i) { return secuids[i]; });
        keep(Key::kQty, [&](size_t i) { return quantities[i]; });
        keep(Key::kFundIds, [&](size_t) { return k.who->fundAccounts.front().fundid; });
    }

    TCRSWriter w;
    w.beginSet()
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "申购代码")
        .addField(Col::kResult, TCRSFieldType::VarText, 0, "申购结果");
    SimCustomer* who = taken.empty() ? nullptr : &simTradeCustomerToChange(c, *k.who);
    for (size_t i = 0; i < n; ++i) {
        const Line& line = lines[i];
        const std::string named = line.issue ? line.issue->name + "(" + line.issue->code + ")" : codes[i];
        if (!line.refusal.empty()) {
            w.addRecord({codes[i], named + " 申购失败：" + line.refusal});
            continue;
        }
        SimOrder o;
        o.fundid = who->fundAccounts.front().fundid;
        o.secuid = secuids[i];
        o.market = line.issue->market;
        o.code = line.issue->code;
        o.name = line.issue->name;
        o.bsflag = TradeContract::BsFlag::kLimitBuy;
        o.price = line.issue->price;
        o.quantity = line.quantity;
        o.frozen = amountOf(*line.issue, line.quantity);
        o.ledger = simSubscriptionLedger(*line.issue);
        rmbOf(*who).hold(o.frozen);
        const int64_t number = simPlaceOrder(c, *who, std::move(o)).ordersno;
        w.addRecord(
            {codes[i], named + " 申购" + std::to_string(line.quantity) + "股已提交，合同号" + std::to_string(number)});
    }
    return w.bytes();
}

// A day on or after `day` on which the exchanges trade.
int tradingDayFrom(int day) {
    long d = SimClock::dayNumber(day);
    while (!SimMarket::isTradingDay(SimClock::dateOfDay(d))) ++d;
    return SimClock::dateOfDay(d);
}

}  // namespace

SimNewIssuesRoom::SimNewIssuesRoom(SimServer& server) {
    today = SimClock::local(server.clock().now()).yyyymmdd();
    const int first = tradingDayFrom(today);
    const int next = tradingDayFrom(SimClock::dateOfDay(SimClock::dayNumber(first) + 1));
    issues = {
        {"002888", "华宇新材", "0", 18500, first, 4000, "22.98", 15000, "002888", 50},
        {"300888", "中科微电", "0", 32150, first, 2500, "29.41", 8500, "300888", 30},
        {"732888", "沪光智能", "1", 12360, first, 6000, "22.99", 18000, "603888", 25},
        {"002887", "东方锂业", "0", 9880, next, 5200, "22.97", 20000, "002887", 50},
    };
}

const SimNewIssue* SimNewIssuesRoom::issue(const std::string& code) const {
    for (const auto& i : issues)
        if (i.code == code) return &i;
    return nullptr;
}

bool SimNewIssuesRoom::subscribed(const SimCustomer& who, const std::string& code) {
    for (const auto& o : who.orders)
        if (o.code == code && dynamic_cast<const SubscriptionLedger*>(o.ledger.get())) return true;
    return false;
}

std::shared_ptr<const SimOrderLedger> simSubscriptionLedger(const SimNewIssue& issue) {
    return std::make_shared<const SubscriptionLedger>(issue);
}

int64_t SimNewIssue::allotted(int64_t quantity) const {
    return simDivideRounded(quantity / lot() * allotPercent, 100) * lot();
}

void registerNewIssueFunctions(SimRegistry& r) {
    r.menu().add({207, 2, "新股申购", "xgsg?tc_mfuncno=100&tc_sfuncno=18&unlist=market|status"});
    r.add(kList, list);
    r.add(kLimits, limits);
    r.add(kCalculation, calculation);
    r.add(kSubscribe, subscribe);
}
