// The quoted repo of the simulated server (functions, keys and columns named
// in core/contracts/RepoContract.h), over the room of SimRepo.h and the
// books' cash. Every function of a customer pays back the deals whose term
// has run first.
//
// 500/54 the products, paged: "stkcode", "stkname", "dueprice",
//   "interprice", "gh_days" (descriptors the grid's titles), "market".
// 100/27 "stkcode", with the session: set 0 the product ("stkname",
//   "stkcode", "dueprice", "interprice", "gh_days", "market"; no record for
//   an unknown code), set 1 "t0fundavl", the cash the customer may lend (元).
// 500/56 "market", "secuid", "stkcode", "orderqty" (hundreds of 元, an amount:
//   SimAmounts.h). Refusals, in order: "证券代码不存在"; "股东代码错误" (not
//   the customer's account of that market, or not the product's market);
//   "委托数量错误"; "委托金额低于最低限额1000元"; "可用资金不足". The money
//   leaves the cash at once; answers "matchcode". The loan is an order of the
//   day, done as it is taken: 当日委托 (买入 so many 元 at 1.00), 当日成交 and
//   the history list it.
// 500/57 the deals still running, paged: "stkcode", "stkname", "matchqty",
//   "amount", "dueprice", "matchdate", "duedate", "matchcode", "market".
// 500/58 "market", "secuid", "stkcode", "orderqty", "matchdate",
//   "matchcode". Refusals: "股东代码错误"; "成交编号不存在" (no running deal of
//   that code, date and product); "提前终止须为全部数量" (any quantity but the
//   deal's whole). The money comes back with the early-termination yield for
//   the days the deal ran; answers "matchcode". The end is an order of the
//   day as the loan is (提前终止, its deal the money paid back).
#include "sim/SimOrders.h"
#include "sim/SimRepo.h"

#include <algorithm>
#include <memory>

#include "core/TCRSWriter.h"
#include "core/contracts/RepoContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace RepoContract;

constexpr const char* kUnknownProduct = "证券代码不存在";
constexpr const char* kWrongAccount = "股东代码错误";
constexpr const char* kBadQuantity = "委托数量错误";
constexpr const char* kBelowMinimum = "委托金额低于最低限额1000元";
constexpr const char* kNoMoney = "可用资金不足";
constexpr const char* kUnknownDeal = "成交编号不存在";
constexpr const char* kPartialEnd = "提前终止须为全部数量";
constexpr SimMoney kMinimum = 100000;  // 1000 元
constexpr SimMoney kPerUnit = 100;     // 分 per unit of "orderqty" hundredths: 1 元

SimBalance& cashOf(SimCustomer& who) { return who.fundAccounts.front().balances[SimCurrency::kRMB]; }

// The orders of a deal, one 元 a unit at 1.00: a loan pays its money out of
// what it holds; an early end brings the principal and its interest back.
constexpr SimPrice kUnitPrice = 1000;  // 厘
class RepoLedger : public SimOrderLedger {
public:
    explicit RepoLedger(bool end) : end_(end) {}
    void release(SimCustomer& who, const SimOrder&, SimMoney amount) const override { cashOf(who).release(amount); }
    void fill(SimCustomer& who, const SimOrder&, int64_t, SimPrice, SimMoney amount) const override {
        if (end_)
            cashOf(who).deposit(amount);
        else
            cashOf(who).payHeld(amount);
    }
    void unsold(SimCustomer&, const SimOrder&, int64_t) const override {}  // an end holds nothing
    std::string direction(const SimOrder&) const override { return end_ ? "提前终止" : ""; }
    std::string snapshotName() const override { return end_ ? "repo-end" : "repo-loan"; }

private:
    bool end_;
};

}  // namespace

const std::shared_ptr<const SimOrderLedger>& simRepoLedger(bool end) {
    static const std::shared_ptr<const SimOrderLedger> loan = std::make_shared<const RepoLedger>(false);
    static const std::shared_ptr<const SimOrderLedger> early = std::make_shared<const RepoLedger>(true);
    return end ? early : loan;
}

namespace {

// The day's order of a deal (its loan, or its early end paying back `amount`), done at once.
void placeDealOrder(SimCall& c, SimCustomer& who, const SimRepoDeal& d, bool end, SimMoney amount) {
    SimOrder o;
    o.fundid = who.fundAccounts.front().fundid;
    o.secuid = d.secuid;
    o.market = d.market;
    o.code = d.code;
    o.name = d.name;
    o.bsflag = end ? TradeContract::BsFlag::kLimitSell : TradeContract::BsFlag::kLimitBuy;
    o.price = kUnitPrice;
    o.quantity = d.amount / kPerUnit;
    o.frozen = end ? 0 : amount;
    o.ledger = simRepoLedger(end);
    simPlaceDoneOrder(c, who, o, kUnitPrice, amount);
}

const SimCustomer* readerOf(SimCall& c, SimRefusal* refusal) { return simTradeCustomerToRead(c, refusal); }

std::string yieldText(int hundredths) { return simMoneyText(hundredths); }

// The customer's account of the request's market, when it is the one sent.
bool ownAccount(const SimCustomer& who, const SimRequest& r) {
    const SimShareholder* holder = who.shareholder(r.value(Key::kMarket));
    return holder && holder->secuid == r.value(Key::kSecuId);
}

int dueDate(const SimRepoDeal& d, const SimRepoRoom& room) {
    const SimRepoProduct* p = room.product(d.code);
    return SimClock::dateOfDay(SimClock::dayNumber(d.matchDate) + (p ? p->term : 0));
}

// What a deal pays back after `days` at `yield` (1/100 % a year): the
// principal and its interest, principal x yield x days / 365 rounded half up
// to the 分 (10,000 元 at 2.80 % for 7 days: 5.3699 -> 5.37).
SimMoney withInterest(SimMoney amount, int yield, long days) {
    return amount + simDivideRounded(amount * yield * days, 10000 * 365);
}

std::vector<uint8_t> matchCodeSet(const std::string& code) {
    return TCRSWriter()
        .beginSet()
        .addField(Col::kMatchCode, TCRSFieldType::VarText, 0, "成交编号")
        .addRecord({code})
        .bytes();
}

std::vector<uint8_t> listProducts(SimCall& c) {
    SimRefusal refusal;
    if (!readerOf(c, &refusal)) return simErrorSet(refusal);
    std::vector<SimListRow> rows;
    for (const auto& p : c.server.view<SimRepoRoom>().products)
        rows.push_back({p.code, p.name, yieldText(p.yield), yieldText(p.earlyYield), std::to_string(p.term), p.market});
    return simPagedList(c.request,
                        {{Col::kCode, "证券代码"},
                         {Col::kName, "证券名称"},
                         {Col::kYield, "收益率(%)"},
                         {Col::kEarlyYield, "提前终止收益率(%)"},
                         {Col::kTerm, "期限(天)"},
                         {Col::kMarket, "市场"}},
                        rows);
}

std::vector<uint8_t> productInfo(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimRepoProduct* p = c.server.view<SimRepoRoom>().product(c.request.value(Key::kCode));
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kName, TCRSFieldType::VarText, 0, "证券名称")
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "证券代码")
        .addField(Col::kYield, TCRSFieldType::VarText, 0, "收益率")
        .addField(Col::kEarlyYield, TCRSFieldType::VarText, 0, "提前终止收益率")
        .addField(Col::kTerm, TCRSFieldType::VarText, 0, "期限")
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场");
    if (p)
        w.addRecord(
            {p->name, p->code, yieldText(p->yield), yieldText(p->earlyYield), std::to_string(p->term), p->market});
    w.beginSet().addField(Col::kCash, TCRSFieldType::VarText, 0, "可用资金");
    w.addRecord({simMoneyText(simAvailableCash(*who))});
    return w.bytes();
}

std::vector<uint8_t> buyDeal(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = readerOf(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const SimRepoProduct* p = c.server.view<SimRepoRoom>().product(c.request.value(Key::kCode));
    if (!p) return simErrorSet(-1, kUnknownProduct);
    if (!ownAccount(*reader, c.request) || c.request.value(Key::kMarket) != p->market)
        return simErrorSet(-1, kWrongAccount);
    const int64_t quantity = simParseHundredths(c.request.value(Key::kQuantity));
    if (quantity <= 0) return simErrorSet(-1, kBadQuantity);
    const SimMoney amount = quantity * kPerUnit;
    if (amount < kMinimum) return simErrorSet(-1, kBelowMinimum);
    if (simAvailableCash(*reader) < amount) return simErrorSet(-1, kNoMoney);
    SimCustomer& who = simTradeCustomerToChange(c, *reader);
    cashOf(who).hold(amount);
    auto& room = c.server.room<SimRepoRoom>();
    SimRepoDeal d;
    d.matchCode = room.nextMatchCode();
    d.matchDate = SimClock::local(c.now).yyyymmdd();
    d.code = p->code;
    d.name = p->name;
    d.market = p->market;
    d.secuid = c.request.value(Key::kSecuId);
    d.amount = amount;
    room.deals[who.custid].push_back(d);
    placeDealOrder(c, who, d, false, amount);
    return matchCodeSet(d.matchCode);
}

std::vector<uint8_t> listDeals(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& room = c.server.view<SimRepoRoom>();
    std::vector<SimListRow> rows;
    auto found = room.deals.find(who->custid);
    if (found != room.deals.end())
        for (const auto& d : found->second) {
            if (d.status != SimRepoDealStatus::Running) continue;
            const SimRepoProduct* p = room.product(d.code);
            rows.push_back({d.code, d.name, simUnitsText(d.amount / kPerUnit), simMoneyText(d.amount),
                            p ? yieldText(p->yield) : "", std::to_string(d.matchDate), std::to_string(dueDate(d, room)),
                            d.matchCode, d.market});
        }
    return simPagedList(c.request,
                        {{Col::kCode, "证券代码"},
                         {Col::kName, "证券名称"},
                         {Col::kQuantity, "成交数量"},
                         {"amount", "金额(元)"},
                         {Col::kYield, "收益率(%)"},
                         {Col::kMatchDate, "成交日期"},
                         {"duedate", "到期日期"},
                         {Col::kMatchCode, "成交编号"},
                         {Col::kMarket, "市场"}},
                        rows);
}

std::vector<uint8_t> endDeal(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = readerOf(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    if (!ownAccount(*reader, c.request)) return simErrorSet(-1, kWrongAccount);
    const auto& deals = simKeptOr(c.server.view<SimRepoRoom>().deals, reader->custid);
    const auto found = std::find_if(deals.begin(), deals.end(), [&](const SimRepoDeal& d) {
        return d.matchCode == c.request.value(Key::kMatchCode) &&
               std::to_string(d.matchDate) == c.request.value(Key::kMatchDate) &&
               d.code == c.request.value(Key::kCode) && d.status == SimRepoDealStatus::Running;
    });
    if (found == deals.end()) return simErrorSet(-1, kUnknownDeal);
    if (found->market != c.request.value(Key::kMarket)) return simErrorSet(-1, kWrongAccount);
    if (simParseHundredths(c.request.value(Key::kQuantity)) * kPerUnit != found->amount)
        return simErrorSet(-1, kPartialEnd);
    auto& room = c.server.room<SimRepoRoom>();
    SimRepoDeal& d = room.deals[reader->custid][size_t(found - deals.begin())];
    const SimRepoProduct* p = room.product(d.code);
    const long days = SimClock::dayNumber(SimClock::local(c.now).yyyymmdd()) - SimClock::dayNumber(d.matchDate);
    d.paidBack = withInterest(d.amount, p ? p->earlyYield : 0, days);
    d.status = SimRepoDealStatus::Ended;
    placeDealOrder(c, simTradeCustomerToChange(c, *reader), d, true, d.paidBack);
    return matchCodeSet(d.matchCode);
}

const SimMenuItem kRepoMenu[] = {
    {360, 3, "澄穗通产品", "kvrcp?tc_mfuncno=500&tc_sfuncno=54&position=poststr&unlist=|market|"},
    {361, 3, "澄穗通提前终止", "kvrzz?tc_mfuncno=500&tc_sfuncno=57&position=poststr&unlist=|market|"},
};

}  // namespace

SimRepoRoom::SimRepoRoom(SimServer& server) {
    products = {
        {"205001", "澄穗通7天", "1", 280, 72, 7},
        {"205002", "澄穗通14天", "1", 310, 72, 14},
        {"205003", "澄穗通28天", "1", 340, 72, 28},
        {"205004", "澄穗通91天", "1", 380, 72, 91},
    };
    // Customer A lent 5,000.00 元 for 14 days three days ago.
    const int today = SimClock::local(server.clock().now()).yyyymmdd();
    SimRepoDeal d;
    d.matchCode = nextMatchCode();
    d.matchDate = SimClock::dateOfDay(SimClock::dayNumber(today) - 3);
    d.code = "205002";
    d.name = "澄穗通14天";
    d.market = "1";
    d.secuid = "A100001234";
    d.amount = 500000;
    deals["110001234"].push_back(d);
}

const SimRepoProduct* SimRepoRoom::product(const std::string& code) const {
    for (const auto& p : products)
        if (p.code == code) return &p;
    return nullptr;
}

void simMatureRepoDeals(SimRepoRoom& room, SimCustomer& who, double now) {
    const long today = SimClock::dayNumber(SimClock::local(now).yyyymmdd());
    for (auto& d : room.deals[who.custid]) {
        if (d.status != SimRepoDealStatus::Running) continue;
        const SimRepoProduct* p = room.product(d.code);
        const long term = p ? p->term : 0;
        if (today - SimClock::dayNumber(d.matchDate) < term) continue;
        d.paidBack = withInterest(d.amount, p ? p->yield : 0, term);
        d.status = SimRepoDealStatus::Matured;
        cashOf(who).deposit(d.paidBack);
    }
}

SimMoney simRepoLent(const SimRepoRoom& room, const SimCustomer& who) {
    SimMoney lent = 0;
    if (auto found = room.deals.find(who.custid); found != room.deals.end())
        for (const auto& d : found->second)
            if (d.status == SimRepoDealStatus::Running) lent += d.amount;
    return lent;
}

void registerRepoFunctions(SimRegistry& r) {
    r.addDaySettler(SimNightStep::RepoDeals,
                    [](SimCall& c, SimCustomer& who) { simMatureRepoDeals(c.server.room<SimRepoRoom>(), who, c.now); });
    r.add(kProducts, listProducts);
    r.add(kInfo, productInfo);
    r.add(kBuy, buyDeal);
    r.add(kDeals, listDeals);
    r.add(kEnd, endDeal);
    for (const auto& item : kRepoMenu) r.menu().add(item);
}
