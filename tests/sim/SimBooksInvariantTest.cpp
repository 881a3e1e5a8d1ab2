// A seeded random run of customer A's trading day after day against the
// simulated brokerage, through its request handling: stock orders inside and
// outside the limits, whole and odd lots, the market types, what the order
// form offers (a market-type buy's "全部", a sell's fractions), cancels, the
// clock moving through sessions, nights and weekends, the convertible bond
// bought and sold in 张 like any stock, bank transfers both
// ways with right and wrong passwords, fund purchases, redemptions and
// cancels, the seeded fixed-investment plan's pay days (one purchase each,
// on the pay day's trading day, seen by the run or not, confirmed on the
// trading day after), financing buys, sell-to-repay and cash repayments, cost changes,
// repo loans held to their term or ended early, warrant exercises, new-issue
// subscriptions allotted on a later trading day and their shares sold, and
// clock moves from a weekday into the weekend.
//
// After every operation the books as the customer reads them (资金查询,
// 股份查询, the open orders, the debt) and the bank's side must agree with a
// small model the test keeps itself from the operations and the fills, and
// these identities of a real brokerage must hold:
//   资金余额 = 可用 + 冻结; 冻结 = what the open orders hold; 0 <= 可取 <= 可用;
//   总资产 = 资金余额 + the holdings' value + what running repo loans lend;
//   可取 = 资金余额 less the larger of 冻结 and the day's unspent sale money;
//   nothing negative; each holding = start + filled buys - filled sells;
//   可卖 = the holding less today's buys and what open sells hold;
//   成本价 and 浮动盈亏 from the exact cost, rounded once;
//   the bank and the fund account move only by each other and by trading;
//   融资负债 = the start + financing fills - repayments;
//   an order number never repeats; a refused request changes nothing;
//   every fill lies within its order's price and the day's limits.
// The model predicts which requests the rules refuse, and with what text.
//
// RD_BOOKS_SEED and RD_BOOKS_OPERATIONS choose another run (10,000
// operations by default; the "long" test preset runs 100,000). A failure
// names the seed and the operation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "SimTradeTestSupport.h"
#include "sim/SimFunds.h"
#include "sim/SimNewIssues.h"
#include "sim/SimPlans.h"
#include "sim/SimQueries.h"
#include "sim/SimSnapshot.h"

namespace {

using Row = std::map<std::string, std::string>;

uint64_t envNumber(const char* name, uint64_t fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

// "-12.30" in 分.
int64_t fenOf(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    int64_t whole = 0, cents = 0;
    int places = -1;
    for (char ch : text.substr(negative ? 1 : 0)) {
        if (ch == '.') {
            places = 0;
        } else if (places < 0) {
            whole = whole * 10 + (ch - '0');
        } else if (places++ < 2) {
            cents = cents * 10 + (ch - '0');
        }
    }
    if (places == 1) cents *= 10;
    const int64_t fen = whole * 100 + cents;
    return negative ? -fen : fen;
}
// "7.35" or "104.613" (a price of 2 or 3 places) in 厘.
int64_t liOf(const std::string& text) {
    int64_t whole = 0, li = 0;
    int places = -1;
    for (char ch : text) {
        if (ch == '.') places = 0;
        else if (places < 0) whole = whole * 10 + (ch - '0');
        else if (places++ < 3) li = li * 10 + (ch - '0');
    }
    for (; places < 3; ++places) li *= 10;
    return whole * 1000 + li;
}

// num / den rounded half away from zero.
int64_t halfUp(int64_t num, int64_t den) {
    const int64_t n = num < 0 ? -num : num, r = (2 * n / den + 1) / 2;
    return num < 0 ? -r : r;
}
int64_t amountOf(int64_t quantity, int64_t li) { return halfUp(quantity * li, 10); }

bool weekday(int yyyymmdd) {
    const int w = SimClock::weekdayOfDay(SimClock::dayNumber(yyyymmdd));
    return w != 0 && w != 6;
}

struct Stock {
    const char* code;
    const char* market;  // shareholder market
    const char* secuid;
    int quoteMarket;
    int lot = 100;  // shares, or 张 of a bond
    int decimals = 2;
    int64_t tick() const { return decimals == 2 ? 10 : 1; }  // 厘 a unit of the price's places
};
const Stock kStocks[] = {{"000001", "0", "0010001234", 1},
                         {"000002", "0", "0010001234", 1},
                         {"300750", "0", "0010001234", 1},
                         {"600000", "1", "A100001234", 2},
                         {"600036", "1", "A100001234", 2},
                         {"110001", "1", "A100001234", 2, 10, 3},
                         {"002888", "0", "0010001234", 1},
                         {"603888", "1", "A100001234", 2},
                         {"580001", "1", "A100001234", 2, 100, 3},
                         {"038001", "0", "0010001234", 1, 100, 3}};
const char* const kFinanced[] = {"600000", "000001", "600036", "000002"};
const Stock& stockOf(const std::string& code) {
    for (const auto& s : kStocks)
        if (code == s.code) return s;
    return kStocks[0];
}

// An order the run placed.
struct Placed {
    bool buy = true;
    int creditFlag = -1;  // -1 a stock order
    std::string code;
    int64_t limit = 0;    // 厘; 0 a market type
    int64_t limitUp = 0;  // 厘: of the day it trades on
    int64_t down = 0;
};

// A repo product as the brokerage quotes it, and a loan of it.
struct RepoProduct {
    const char* code;
    int yield, earlyYield, term;  // 1/100 % a year; days
};
const RepoProduct kRepo[] = {{"205001", 280, 72, 7}, {"205002", 310, 72, 14}, {"205003", 340, 72, 28}, {"205004", 380, 72, 91}};
struct Loan {
    RepoProduct product;
    long start = 0;  // day number
    int64_t amount = 0;
    std::string matchCode;
};
// What a loan pays back after `days` at `yield`: the principal and its interest, half up to the 分.
int64_t paidBack(int64_t amount, int yield, long days) { return amount + halfUp(amount * yield * days, 10000 * 365); }

// A new-issue subscription: its money held until the allotment.
struct Subscription {
    SimNewIssue issue;
    int64_t quantity = 0;
    int64_t amount = 0;  // 分
    int tradingDay = 0;
    bool open = true;
};

struct FundOrder {
    std::string sno;
    int date = 0;
    bool purchase = true;
    bool plan = false;   // the plan's purchase: units of another fund
    int64_t amount = 0;  // 分
    int64_t units = 0;   // 1/100 份
    bool open = true;
};

// What the run expects of the books, from the seed, the operations and the fills.
struct Model {
    int64_t balance = 100000000, salesToday = 0, bank = 10000000;
    int64_t debt = 500000, creditCash = 2000000;
    std::map<std::string, int64_t> qty = {{"000001", 1000}, {"000002", 500}, {"600000", 2000}, {"600036", 300},
                                          {"110001", 20},   {"580001", 10000}, {"038001", 500}};
    std::map<std::string, int64_t> basis = {{"000001", 1000 * 10850},  {"000002", 500 * 10200},
                                            {"600000", 2000 * 7300},   {"600036", 300 * 32500},
                                            {"110001", 20 * 100000},   {"580001", 10000 * 500},
                                            {"038001", 500 * 2100}};
    std::map<std::string, int64_t> bought;  // since the last day's settling
    std::map<std::string, int64_t> creditQty = {{"600036", 1000}, {"000001", 2000}};
    int64_t fundUnits = 1000000;  // 270001
    // The running repo loans, the seed's first: 5,000.00 元 of 205002 (14 days), three days old at the start.
    std::vector<Loan> loans;
    std::map<int64_t, Placed> orders;
    std::vector<FundOrder> funds;
    SimPlan plan;                 // A's, as seeded
    int planMet = 0;              // every pay day of the plan up to this day has been met
    int64_t planSnoSeen = 0;      // the newest of its purchases taken
    int planPurchases = 0;        // carried out
    int planMissed = 0;           // not carried out: the money short
    std::vector<SimNewIssue> issues;               // as the brokerage offers them
    std::map<int64_t, Subscription> subscriptions;  // by order number
    int64_t allotted = 0;                           // shares allotted in the run
    int day = 0;
    size_t dealsSeen = 0;
    int64_t bondSold = 0;  // 张 of 110001 sold
};

class SimBooksInvariantTest : public SimTradeTest {
protected:
    // ---- what the customer reads ----
    struct Books {
        Row funds;
        std::map<std::string, Row> holdings;  // by code
        std::vector<Row> open;                // the open orders
        std::string debt;
        int64_t bank = 0, fundUnits = 0, deals = 0;
        std::map<std::string, int64_t> creditQty;
        std::vector<Row> loans;  // the running repo deals (500/57)
        bool operator==(const Books& o) const {
            return funds == o.funds && holdings == o.holdings && open == o.open && debt == o.debt &&
                   bank == o.bank && fundUnits == o.fundUnits && deals == o.deals && creditQty == o.creditQty &&
                   loans == o.loans;
        }
    };
    std::vector<Row> rows(int sub, std::initializer_list<const char*> fields) {
        std::vector<Row> out;
        auto set = trade(sub, "");
        if (!set || set->isError()) return out;
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
            Row r;
            for (const char* f : fields) r[f] = textOf(set, f);
            out.push_back(r);
        }
        return out;
    }
    Books read() {
        Books b;
        b.funds = fundsRow();
        for (auto& r : rows(10, {"stkcode", "stkqty", "stkavl", "profitprice", "lastprice", "income"}))
            b.holdings[r["stkcode"]] = r;
        b.open = rows(15, {"ordersno", "stkcode", "bsname", "orderprice", "orderqty", "matchqty"});
        b.debt = textOf(trade(75, ""), "repay");
        customerA([&](SimCustomer& c) {
            b.bank = c.bankBindings.front().bankBalance;
            b.deals = static_cast<int64_t>(c.deals.size());
            for (const auto& p : c.credit->positions) b.creditQty[p.code] = p.quantity;
            return 0;
        });
        b.fundUnits = sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
            SimFundHolding* h = r.customer("110001234").holding("270001");
            return h ? h->units : int64_t(0);
        });
        b.loans = rows(57, {"stkcode", "amount", "matchcode"});
        return b;
    }

    // ---- the model's side ----
    int today() const { return SimClock::local(sim->clock().now()).yyyymmdd(); }
    int minuteNow() const { return SimClock::local(sim->clock().now()).minuteOfDay(); }
    // The day an order placed now trades on.
    int tradingDay() const {
        int d = today();
        if (weekday(d) && minuteNow() <= 900) return d;
        long n = SimClock::dayNumber(d) + 1;
        while (!weekday(SimClock::dateOfDay(n))) ++n;
        return SimClock::dateOfDay(n);
    }
    // The limits (厘) of a day: its previous close +- 10 %, half up.
    std::pair<int64_t, int64_t> limits(const std::string& code, int day) {
        const int64_t prev = sim->market().prevClose(*simTradableStock(sim->market(), code), day);
        const int64_t tick = stockOf(code).tick();
        return {((prev * 11 + 5) / 10) * tick, ((prev * 9 + 5) / 10) * tick};
    }
    SimQuote quote(const std::string& code) {
        return sim->market().quote(*simTradableStock(sim->market(), code), sim->clock().now());
    }
    bool tradingTime() const {
        const int m = minuteNow();
        return weekday(today()) && ((m >= 570 && m <= 690) || (m >= 780 && m <= 900));
    }
    int64_t openRemaining(const Row& r) const { return std::stoll(r.at("orderqty")) - std::stoll(r.at("matchqty")); }
    const Placed* placedOf(const Row& r) const {
        auto it = m.orders.find(std::stoll(r.at("ordersno")));
        return it == m.orders.end() ? nullptr : &it->second;
    }
    // 冻结 as the open orders hold it.
    int64_t heldMoney(const Books& b) const {
        int64_t held = 0;
        for (const auto& r : b.open)
            if (const Placed* p = placedOf(r); p && p->buy && p->creditFlag < 0) {
                const int64_t price = liOf(r.at("orderprice"));
                held += amountOf(openRemaining(r), price > 0 ? price : p->limitUp);
            }
        for (const auto& f : m.funds)
            if (f.open && f.purchase) held += f.amount;
        for (const auto& [number, sub] : m.subscriptions)
            if (sub.open) held += sub.amount;
        return held;
    }
    int64_t onSale(const Books& b, const std::string& code) const {
        int64_t n = 0;
        for (const auto& r : b.open)
            if (const Placed* p = placedOf(r); p && !p->buy && p->creditFlag < 0 && p->code == code)
                n += openRemaining(r);
        return n;
    }
    int64_t sellable(const std::string& code) const {
        auto q = m.qty.find(code);
        const int64_t held = q == m.qty.end() ? 0 : q->second;
        auto b = m.bought.find(code);
        return held - (b == m.bought.end() ? 0 : b->second) - onSale(last, code);
    }
    int64_t available() const { return m.balance - heldMoney(last); }
    int64_t withdrawable() const {
        return std::max<int64_t>(0, m.balance - std::max(heldMoney(last), m.salesToday));
    }
    int64_t heldUnits() const {
        int64_t n = 0;
        for (const auto& f : m.funds)
            if (f.open && !f.purchase) n += f.units;
        return n;
    }

    // The first trading day after a day.
    static int nextWeekday(int day) {
        long n = SimClock::dayNumber(day) + 1;
        while (!weekday(SimClock::dateOfDay(n))) ++n;
        return SimClock::dateOfDay(n);
    }
    // The plan's purchases the night made, one a pay day (within the plan's
    // dates) since the last met, up to the last trading day reached, dated
    // the pay day's trading day: what they bought the model takes as a
    // purchase, which a night confirms from the trading day after its date
    // on; one without the money holds nothing.
    std::string planNight(int d) {
        std::vector<int> payDays;
        long reached = SimClock::dayNumber(d);
        while (!weekday(SimClock::dateOfDay(reached))) --reached;
        for (long n = SimClock::dayNumber(m.planMet) + 1; n <= reached; ++n) {
            const int day = SimClock::dateOfDay(n);
            if (day % 100 == m.plan.payDay && day >= m.plan.beginDate && day <= m.plan.endDate)
                payDays.push_back(weekday(day) ? day : nextWeekday(day));
        }
        m.planMet = std::max(m.planMet, SimClock::dateOfDay(reached));
        const auto made = sim->withRoom<SimFundsRoom>([&](SimFundsRoom& r) {
            std::vector<SimFundOrder> out;
            for (const auto& o : r.customer("110001234").orders)
                if (o.business == kSimPlanPurchase && o.sno > m.planSnoSeen) out.push_back(o);
            return out;
        });
        std::vector<int> dates;
        std::ostringstream out;
        for (const auto& o : made) {
            dates.push_back(o.date);
            m.planSnoSeen = o.sno;
            if (o.amount != m.plan.amount) out << "a plan purchase of " << o.amount << " for " << m.plan.amount << "; ";
            if (o.status == SimFundOrderStatus::NotCarriedOut) {
                ++m.planMissed;
                continue;
            }
            ++m.planPurchases;
            FundOrder f;
            f.sno = std::to_string(o.sno);
            f.date = o.date;
            f.plan = true;
            f.amount = m.plan.amount;
            m.funds.push_back(f);
        }
        if (dates != payDays) out << made.size() << " plan purchases for " << payDays.size() << " pay days; ";
        return out.str();
    }

    // The night: what the books settle when the clock has reached a new day.
    std::string settleDay() {
        const int d = today();
        if (d == m.day) return "";
        const std::string fault = planNight(d);
        // The sale money may leave once the trading day after the sales' has begun.
        long next = SimClock::dayNumber(m.day) + 1;
        while (!weekday(SimClock::dateOfDay(next))) ++next;
        if (SimClock::dateOfDay(next) <= d) m.salesToday = 0;
        m.day = d;
        m.bought.clear();
        for (auto& f : m.funds) {
            if (!f.open || f.date >= d || (f.plan && nextWeekday(f.date) > d)) continue;
            f.open = false;
            if (f.purchase) {
                m.balance -= f.amount;
                m.salesToday -= std::min(m.salesToday, f.amount);
                if (!f.plan) m.fundUnits += halfUp(f.amount * 10000, 12345);
            } else {
                m.fundUnits -= f.units;
                m.balance += halfUp(f.units * 12345, 10000);
            }
        }
        // Subscriptions of an earlier trading day: allotted on a trading day, whole lots of their share.
        for (auto& [number, sub] : m.subscriptions) {
            if (!sub.open || sub.tradingDay >= d || !weekday(d)) continue;
            sub.open = false;
            const int64_t lot = sub.issue.lot();
            const int64_t shares = halfUp(sub.quantity / lot * sub.issue.allotPercent, 100) * lot;
            const int64_t paid = amountOf(shares, sub.issue.price);
            m.balance -= paid;
            m.salesToday -= std::min(m.salesToday, paid);
            if (shares == 0) continue;
            m.qty[sub.issue.stockCode] += shares;
            m.basis[sub.issue.stockCode] += shares * sub.issue.price;
            m.allotted += shares;
        }
        for (auto it = m.loans.begin(); it != m.loans.end();) {
            if (SimClock::dayNumber(d) - it->start < it->product.term) {
                ++it;
                continue;
            }
            m.balance += paidBack(it->amount, it->product.yield, it->product.term);
            it = m.loans.erase(it);
        }
        for (auto it = m.qty.begin(); it != m.qty.end();)
            it = it->second == 0 ? m.qty.erase(it) : std::next(it);
        return fault;
    }
    // The fills since the last look, in the order they came.
    std::string applyFills() {
        // Each with its order's code when the run did not place the order itself.
        const auto deals = customerA([&](SimCustomer& c) {
            std::vector<std::pair<SimDeal, std::string>> out;
            for (size_t i = std::min(m.dealsSeen, c.deals.size()); i < c.deals.size(); ++i) {
                std::string code;
                if (!m.orders.count(c.deals[i].ordersno))
                    for (const auto& o : c.orders)
                        if (o.ordersno == c.deals[i].ordersno) code = o.code;
                out.push_back({c.deals[i], code});
            }
            return out;
        });
        for (const auto& [d, code] : deals) {
            ++m.dealsSeen;
            // A repo loan or end, a warrant exercise: done as taken; its operation counted what it moved.
            if (code.rfind("205", 0) == 0 || code == "582001" || code == "038001") continue;
            // An allotment: the night counted it.
            if (m.subscriptions.count(d.ordersno)) continue;
            auto it = m.orders.find(d.ordersno);
            if (it == m.orders.end()) return "a fill of an order never placed: " + std::to_string(d.ordersno);
            const Placed& p = it->second;
            const int64_t amount = amountOf(d.quantity, d.price);
            if (d.amount != amount) return "a fill's amount " + std::to_string(d.amount) + " for " + std::to_string(amount);
            auto [up, down] = limits(p.code, d.date);
            if (d.price > up || d.price < down) return "a fill beyond the day's limits";
            if (p.limit > 0 && (p.buy ? d.price > p.limit : d.price < p.limit)) return "a fill beyond its limit";
            if (p.creditFlag == 0) {
                m.debt += amount;
                m.creditQty[p.code] += d.quantity;
            } else if (p.creditFlag == 7) {
                const int64_t repaid = std::min(m.debt, amount);
                m.debt -= repaid;
                m.creditCash += amount - repaid;
                m.creditQty[p.code] -= d.quantity;
            } else if (p.buy) {
                m.balance -= amount;
                m.salesToday -= std::min(m.salesToday, amount);
                m.qty[p.code] += d.quantity;
                m.bought[p.code] += d.quantity;
                m.basis[p.code] += d.quantity * d.price;
            } else {
                if (p.code == "110001") m.bondSold += d.quantity;
                m.balance += amount;
                m.salesToday += amount;
                m.qty[p.code] -= d.quantity;
                m.basis[p.code] = m.qty[p.code] > 0 ? m.basis[p.code] - d.quantity * d.price : 0;
            }
        }
        return "";
    }
    // The identities, on what the customer reads; "" when they hold.
    std::string checkIdentities(const Books& b) {
        std::ostringstream out;
        const int64_t bal = fenOf(b.funds.at("fundbal")), avl = fenOf(b.funds.at("fundavl"));
        const int64_t frozen = fenOf(b.funds.at("frozen")), cash = fenOf(b.funds.at("fundcash"));
        const int64_t held = heldMoney(b);
        if (bal != m.balance) out << "资金余额 " << bal << " for " << m.balance << "; ";
        if (bal != avl + frozen) out << "资金余额 is not 可用 + 冻结; ";
        if (frozen != held) out << "冻结 " << frozen << " for what open orders hold " << held << "; ";
        if (cash < 0 || cash > avl) out << "可取 " << cash << " outside 0 .. 可用 " << avl << "; ";
        const int64_t expectedCash = std::max<int64_t>(0, m.balance - std::max(held, m.salesToday));
        if (cash != expectedCash) out << "可取 " << cash << " for " << expectedCash << "; ";
        if (bal < 0 || frozen < 0) out << "a negative figure; ";
        int64_t lent = 0;
        for (const auto& l : m.loans) lent += l.amount;
        const int64_t asset = fenOf(b.funds.at("asset")), value = fenOf(b.funds.at("mktval"));
        if (asset != bal + value + lent) out << "总资产 " << asset << " for " << bal + value + lent << "; ";
        if (b.loans.size() != m.loans.size()) out << b.loans.size() << " running repo deals for " << m.loans.size() << "; ";
        for (const auto& [code, row] : b.holdings) {
            if (std::stoll(row.at("stkqty")) < 0 || std::stoll(row.at("stkavl")) < 0) out << code << " negative; ";
            if (!m.qty.count(code)) out << "a holding of " << code << " nothing bought; ";
        }
        for (const auto& [code, quantity] : m.qty) {
            auto row = b.holdings.find(code);
            const int64_t shown = row == b.holdings.end() ? 0 : std::stoll(row->second.at("stkqty"));
            if (shown != quantity) out << code << " 股份余额 " << shown << " for " << quantity << "; ";
            if (row == b.holdings.end()) continue;
            const int64_t avail = std::stoll(row->second.at("stkavl"));
            auto bought = m.bought.find(code);
            const int64_t expected = quantity - (bought == m.bought.end() ? 0 : bought->second) - onSale(b, code);
            if (avail != expected) out << code << " 可卖 " << avail << " for " << expected << "; ";
            if (quantity <= 0) continue;
            const int64_t basis = m.basis[code], lastLi = liOf(row->second.at("lastprice"));
            const Stock& s = stockOf(code);
            const std::string cost = SimMarket::priceText(halfUp(basis, quantity * s.tick()), s.decimals);
            const std::string income = simMoneyText(halfUp(quantity * lastLi - basis, 10));
            if (row->second.at("profitprice") != cost)
                out << code << " 成本价 " << row->second.at("profitprice") << " for " << cost << "; ";
            if (row->second.at("income") != income)
                out << code << " 浮动盈亏 " << row->second.at("income") << " for " << income << "; ";
        }
        if (b.debt != simMoneyText(m.debt)) out << "融资负债 " << b.debt << " for " << simMoneyText(m.debt) << "; ";
        for (const auto& [code, quantity] : m.creditQty) {
            auto shown = b.creditQty.find(code);
            if ((shown == b.creditQty.end() ? 0 : shown->second) != quantity)
                out << "credit position " << code << " for " << quantity << "; ";
        }
        if (b.bank != m.bank) out << "bank " << b.bank << " for " << m.bank << "; ";
        if (b.fundUnits != m.fundUnits) out << "fund units " << b.fundUnits << " for " << m.fundUnits << "; ";
        return out.str();
    }

    // ---- the operations: each answers what it expected refused ("" accepted) and what came ----
    struct Outcome {
        std::string expected, got;
        bool known = true;  // false: the model does not predict this one
    };
    std::string placed(const std::shared_ptr<VTATCRS>& reply, const char* column, Placed p) {
        const std::string number = textOf(reply, column);
        if (number.empty()) return "";
        const int64_t n = std::stoll(number);
        if (m.orders.count(n)) duplicate = n;
        m.orders[n] = p;
        return number;
    }
    Outcome stockOrder() {
        const Stock& s = kStocks[pick(std::size(kStocks))];
        const bool buy = coin(0.5);
        const SimQuote q = quote(s.code);
        auto [up, down] = limits(s.code, tradingDay());
        Placed p{buy, -1, s.code, 0, up, down};
        std::string bsflag = buy ? "0B" : "0S";
        const int64_t lot = s.lot, tick = s.tick();
        int64_t quantity = lot * (1 + pick(10));
        const int64_t sellable = this->sellable(s.code);
        Outcome o;
        const int kind = pick(20);
        if (kind < 3) {  // a market type the market offers
            static const char* const shenzhen[2][5] = {{"0f", "0g", "0h", "0i", "0j"}, {"0a", "0b", "0c", "0d", "0e"}};
            static const char* const shanghai[2][2] = {{"0i", "0r"}, {"0d", "0q"}};
            bsflag = s.quoteMarket == 1 ? shenzhen[buy][pick(5)] : shanghai[buy][pick(2)];
        } else {
            // At a level of the book (mostly the side it meets), anywhere within the limits, or beyond them.
            const int level = static_cast<int>(pick(5));
            const bool meets = coin(0.7);
            p.limit = tick * (buy == meets ? q.ask[level] : q.bid[level]);
            if (kind == 3) p.limit = buy ? up + tick : down - tick;
            if (kind == 4) p.limit = down + tick * static_cast<int64_t>(pick((up - down) / tick + 1));
        }
        const int64_t priceLi = p.limit > 0 ? p.limit : up;
        if (!buy) {
            const int64_t odd = sellable % lot;
            switch (pick(6)) {
                case 0: quantity = sellable; break;
                case 1: quantity = odd > 0 ? odd : lot; break;
                case 2: quantity = 1 + pick(lot - 1); break;           // an odd lot, mostly not the remainder
                case 3: quantity = sellable + lot; break;              // more than may be sold
                default: quantity = lot * (1 + pick(std::max<int64_t>(sellable / lot, 1))); break;
            }
            if (quantity <= 0) quantity = lot;
        } else if (kind == 5) {
            quantity = lot + lot / 2;  // no whole lot
        } else if (kind == 6) {
            quantity = lot * (available() * 10 / (priceLi * lot) + 1);  // a lot more than the money pays
        }
        if (buy && quantity % lot != 0)
            o.expected = lot == 10 ? "买入数量必须为10张的整数倍" : "买入数量必须为100股的整数倍";
        else if (p.limit > 0 && (p.limit > up || p.limit < down))
            o.expected = "委托价格超出涨跌幅限制";
        else if (buy && amountOf(quantity, priceLi) > available())
            o.expected = "可用资金不足";
        else if (!buy && quantity > sellable)
            o.expected = "可用股份不足";
        else if (!buy && quantity % lot != 0 && quantity % lot != sellable % lot)
            o.expected = "零股须一次性全部卖出";
        auto reply = order(bsflag, p.limit > 0 ? SimMarket::priceText(p.limit / tick, s.decimals) : "",
                           std::to_string(quantity), s.code, s.market, s.secuid, "0");
        o.got = errorOf(reply);
        if (o.got.empty()) placed(reply, "ordersno", p);
        return o;
    }
    // What the order form offers, taken as it is: a market-type buy's "全部" (the
    // maximum asked at the limit-up price the brokerage freezes it at) and a
    // sell's fraction 1/k of 可卖 (the whole lots of the fraction and the odd
    // lot whole). The rules refuse neither.
    Outcome formOffer() {
        const Stock& s = kStocks[pick(std::size(kStocks))];
        auto [up, down] = limits(s.code, tradingDay());
        const bool buy = coin(0.5);
        Placed p{buy, -1, s.code, 0, up, down};
        std::string bsflag = "0S";
        int64_t quantity = 0;
        if (buy) {
            static const char* const shenzhen[] = {"0a", "0b", "0c", "0d", "0e"};
            static const char* const shanghai[] = {"0d", "0q"};
            bsflag = s.quoteMarket == 1 ? shenzhen[pick(5)] : shanghai[pick(2)];
            quantity = std::stoll(textOf(stockInfo(s.code, "0B", textOf(stockInfo(s.code), "maxrisevalue")), "num"));
        } else {
            const int64_t max = std::stoll(textOf(stockInfo(s.code, "0S"), "num")), k = 2 + pick(4);
            quantity = max / (k * 100) * 100 + max % 100;
            p.limit = down;  // any bid takes it
        }
        if (quantity <= 0) return {"", "", false};
        auto reply = order(bsflag, p.limit > 0 ? SimMarket::priceText(p.limit / s.tick(), s.decimals) : "",
                           std::to_string(quantity), s.code, s.market, s.secuid, "0");
        Outcome o{"", errorOf(reply)};
        if (o.got.empty()) ++offersTaken, placed(reply, "ordersno", p);
        return o;
    }
    Outcome cancelOne() {
        Outcome o;
        std::vector<int64_t> numbers;
        if (coin(0.8)) {
            for (const auto& r : last.open) numbers.push_back(std::stoll(r.at("ordersno")));
        } else {
            for (const auto& [n, p] : m.orders) numbers.push_back(n);
            o.known = false;  // an order that may still be open
        }
        if (numbers.empty()) return {"", "", false};
        const int64_t n = numbers[pick(numbers.size())];
        const Stock& s = stockOf(m.orders.count(n) ? m.orders[n].code : "000001");
        o.got = cancel(n, s.secuid, s.quoteMarket);
        return o;
    }
    Outcome moveClock() {
        const int d = today();
        if (coin(0.75)) {
            sim->clock().advance(60.0 * double(1 + pick(90)));
        } else {
            static const int kMinutes[] = {9 * 60, 9 * 60 + 31, 10 * 60 + 30, 11 * 60 + 29, 13 * 60 + 30, 14 * 60 + 58, 16 * 60};
            long next = SimClock::dayNumber(d) + 1 + static_cast<long>(pick(3) == 0 ? pick(3) : 0);
            if (coin(0.3)) {  // into the weekend: the coming Saturday or Sunday
                next = SimClock::dayNumber(d) + 1;
                while (weekday(SimClock::dateOfDay(next))) ++next;
                next += static_cast<long>(pick(2));
            }
            setClock(SimClock::dateOfDay(next), 0, kMinutes[pick(std::size(kMinutes))]);
        }
        return {"", "", false};
    }
    Outcome bank() {
        const bool in = coin(0.5), rightPassword = coin(0.85);
        const int64_t limit = in ? m.bank : withdrawable();
        int64_t amount = coin(0.8) ? 1 + static_cast<int64_t>(pick(std::max<int64_t>(limit, 1))) : limit + 1 + pick(1000);
        if (coin(0.1) && limit > 0) amount = limit;
        Outcome o;
        if (!rightPassword)
            o.expected = in ? "银行密码错误" : "资金密码错误";
        else if (amount > limit)
            o.expected = in ? "银行余额不足" : "可转金额不足";
        const std::string password = in ? "&bankpwd=" + std::string(rightPassword ? "888888" : "111111")
                                        : "&fundpwd=" + std::string(rightPassword ? "123456" : "654321");
        o.got = errorOf(trade(21, "&fundid=" + fundId + "&banktrantype=" + (in ? "1" : "2") + "&bankcode=1001" +
                                      password + "&moneytype=0&tranamt=" + simMoneyText(amount)));
        if (o.got.empty()) {
            m.balance += in ? amount : -amount;
            m.bank -= in ? amount : -amount;
        }
        return o;
    }
    Outcome fund() {
        Outcome o;
        const int what = static_cast<int>(pick(6));
        if (what == 5) {  // the plan's amount changed, about half the times beyond what its pay day will find
            const int64_t amount = 10000 + 100 * static_cast<int64_t>(pick(std::max<int64_t>(available(), 0) / 50 + 1));
            o.got = errorOf(trade(1802, "&tacode=01&ofcode=270003&orderamt=" + simMoneyText(amount) + "&begindate=" +
                                            std::to_string(m.plan.beginDate) + "&enddate=" +
                                            std::to_string(m.plan.endDate) + "&actionmode=2&sendday=15"));
            // A plan past its end date is open no more.
            o.expected = today() > m.plan.endDate ? "未找到该定投计划" : "";
            if (o.got.empty()) m.plan.amount = amount;
            return o;
        }
        if (what == 0) {  // a cancel of an open fund order
            std::vector<FundOrder*> open;
            for (auto& f : m.funds)
                if (f.open) open.push_back(&f);
            if (open.empty()) return {"", "", false};
            FundOrder& f = *open[pick(open.size())];
            o.got = errorOf(trade(37, "&sno=" + f.sno));
            if (o.got.empty()) f.open = false;
            return o;
        }
        FundOrder f;
        f.date = today();
        f.purchase = what <= 2;
        std::shared_ptr<VTATCRS> reply;
        if (f.purchase) {
            f.amount = 100 * (1000 + static_cast<int64_t>(pick(coin(0.1) ? 2000000 : 20000)));
            if (f.amount > available()) o.expected = "可用资金不足";
            reply = trade(35, "&ofcode=270001&orderamt=" + simMoneyText(f.amount) + "&chkriskflag=1");
        } else {
            const int64_t free = m.fundUnits - heldUnits();
            f.units = 1 + static_cast<int64_t>(pick(std::max<int64_t>(free, 1) + (coin(0.1) ? 100000 : 0)));
            if (m.fundUnits <= 0)
                o.expected = "您没有持有该基金";  // all redeemed: the holding is gone
            else if (f.units > free)
                o.expected = "可用份额不足";
            reply = trade(36, "&ofcode=270001&orderqty=" + simMoneyText(f.units) + "&redeemtype=0");
        }
        o.got = errorOf(reply);
        if (o.got.empty()) {
            f.sno = textOf(reply, "sno");
            m.funds.push_back(f);
        }
        return o;
    }
    Outcome credit() {
        const int what = static_cast<int>(pick(3));
        if (what == 2) {  // cash repayment
            const int64_t amount = 1 + static_cast<int64_t>(pick(std::max<int64_t>(m.debt, 1) + 1000));
            Outcome o;
            if (amount > m.debt) o.expected = "还款金额超过负债";
            else if (amount > m.creditCash) o.expected = "可用资金不足";
            o.got = errorOf(trade(76, "&creditid=0&moneytype=0&payoffasset=" + simMoneyText(amount)));
            if (o.got.empty()) {
                m.debt -= amount;
                m.creditCash -= amount;
            }
            return o;
        }
        const std::string code = what == 0 ? kFinanced[pick(std::size(kFinanced))] : (coin(0.5) ? "600036" : "000001");
        const Stock& s = stockOf(code);
        const SimQuote q = quote(code);
        auto [up, down] = limits(code, tradingDay());
        const bool buy = what == 0;
        const int64_t price = (buy ? q.ask[pick(3)] : q.bid[pick(3)]) * 10;
        Placed p{buy, buy ? 0 : 7, code, std::clamp(price, down, up), up, down};
        const int64_t quantity = 100 * (1 + pick(buy ? 20 : 5));
        auto reply = trade(6, "&bsflag=" + std::string(buy ? "0B" : "0S") + "&price=" +
                                  SimMarket::priceText(p.limit / 10, 2) + "&qty=" + std::to_string(quantity) +
                                  "&stkcode=" + code + "&market=" + s.market + "&secuid=" + s.secuid +
                                  "&creditid=0&creditflag=" + (buy ? "0" : "7"));
        Outcome o{"", errorOf(reply), false};
        if (o.got.empty()) placed(reply, "orderid", p);
        return o;
    }
    Outcome repo() {
        if (!m.loans.empty() && coin(0.3)) {  // a running loan ended early, whole
            const size_t k = pick(m.loans.size());
            const Loan l = m.loans[k];
            Outcome o;
            o.got = errorOf(trade(58, "&market=1&secuid=A100001234&stkcode=" + std::string(l.product.code) +
                                          "&matchcode=" + l.matchCode +
                                          "&matchdate=" + std::to_string(SimClock::dateOfDay(l.start)) +
                                          "&orderqty=" + simMoneyText(l.amount / 100)));
            if (o.got.empty()) {
                m.balance += paidBack(l.amount, l.product.earlyYield, SimClock::dayNumber(today()) - l.start);
                m.loans.erase(m.loans.begin() + static_cast<long>(k));
            }
            return o;
        }
        const RepoProduct& p = kRepo[pick(std::size(kRepo))];
        int64_t yuan = 500 + static_cast<int64_t>(pick(30000));
        if (coin(0.1)) yuan = available() / 100 + 1 + static_cast<int64_t>(pick(1000));
        Outcome o;
        if (yuan < 1000)
            o.expected = "委托金额低于最低限额1000元";
        else if (yuan * 100 > available())
            o.expected = "可用资金不足";
        auto reply = trade(56, "&market=1&secuid=A100001234&stkcode=" + std::string(p.code) +
                                   "&orderqty=" + simMoneyText(yuan));
        o.got = errorOf(reply);
        if (o.got.empty()) {
            m.balance -= yuan * 100;
            m.salesToday -= std::min(m.salesToday, yuan * 100);
            m.loans.push_back({p, SimClock::dayNumber(today()), yuan * 100, textOf(reply, "matchcode")});
        }
        return o;
    }
    // A call on 浦发银行 at 8.00 or a put on 万科Ａ at 12.00, one share a warrant:
    // the warrants held (by trading code) that may be sold may be exercised.
    Outcome exercise() {
        const bool isCall = coin(0.6);
        const std::string code = isCall ? "582001" : "038001", stock = isCall ? "600000" : "000002";
        const std::string warrant = isCall ? "580001" : "038001";
        const int64_t price = isCall ? 8000 : 12000;  // 厘
        int64_t quantity = 1 + static_cast<int64_t>(pick(300));
        if (coin(0.1)) quantity = sellable(warrant) + 1;
        const int64_t amount = amountOf(quantity, price);
        Outcome o;
        if (quantity > sellable(warrant))
            o.expected = "可用数量不足";
        else if (isCall && amount > available())
            o.expected = "可用资金不足";
        else if (!isCall && quantity > sellable(stock))
            o.expected = "可用股份不足";
        const Stock& s = stockOf(stock);
        o.got = errorOf(firstSet(call(session, "tc_mfuncno=100&tc_sfuncno=29&" + tradeInfo + "&market=" + s.market +
                                                   "&secuid=" + s.secuid + "&fundid=" + fundId + "&stkcode=" + code +
                                                   "&price=" + simPriceText(price) + "&qty=" + std::to_string(quantity))));
        if (!o.got.empty()) return o;
        // The warrants leave with their share of the cost.
        const int64_t carried = halfUp(m.basis[warrant] * quantity, m.qty[warrant]);
        m.qty[warrant] -= quantity;
        m.basis[warrant] = m.qty[warrant] > 0 ? m.basis[warrant] - carried : 0;
        if (isCall) {
            m.balance -= amount;
            m.salesToday -= std::min(m.salesToday, amount);
            m.qty[stock] += quantity;
            m.bought[stock] += quantity;
            m.basis[stock] += quantity * price;
        } else {
            m.balance += amount;
            m.salesToday += amount;
            m.qty[stock] -= quantity;
            m.basis[stock] = m.qty[stock] > 0 ? m.basis[stock] - quantity * price : 0;
        }
        return o;
    }
    // The issues that may be subscribed today.
    std::vector<const SimNewIssue*> openIssues() const {
        std::vector<const SimNewIssue*> open;
        for (const auto& i : m.issues)
            if (i.issueDate == today()) open.push_back(&i);
        return open;
    }
    // A subscription of one of the issues (mostly of one open today), mostly of whole lots within the
    // limit; `sound`: of an issue open today, two lots or more within the limit.
    Outcome subscribe(bool sound = false) {
        const std::vector<const SimNewIssue*> open = openIssues();
        const SimNewIssue& issue = !open.empty() && (sound || coin(0.7)) ? *open[pick(open.size())]
                                                                         : m.issues[pick(m.issues.size())];
        const int64_t lot = issue.lot();
        int64_t quantity = lot * (1 + static_cast<int64_t>(pick(issue.maxQuantity / lot)));
        if (sound)
            quantity = std::max(quantity, 2 * lot);
        else if (coin(0.1))
            quantity = lot / 2;
        else if (coin(0.1))
            quantity = issue.maxQuantity + lot;
        const int64_t amount = amountOf(quantity, issue.price);
        bool subscribed = false;
        for (const auto& [number, sub] : m.subscriptions) subscribed = subscribed || sub.issue.code == issue.code;
        Outcome o;
        if (issue.issueDate != today())
            o.expected = "非申购日不能申购";
        else if (subscribed)
            o.expected = "不能重复申购";
        else if (quantity % lot != 0 || quantity > issue.maxQuantity)
            o.expected = "申购数量错误";
        else if (amount > available())
            o.expected = "可用资金不足";
        const std::string secuid = issue.market == "1" ? "A100001234" : "0010001234";
        auto reply = firstSet(call(session, "tc_mfuncno=100&tc_sfuncno=20&" + tradeInfo + "&fundids=" + fundId +
                                                "&price=" + simPriceText(issue.price) + "&markets=" + issue.market +
                                                "&secuids=" + secuid + "&qty=" + std::to_string(quantity) +
                                                "&codes=" + issue.code));
        // One result line: "<name>(<code>) 申购失败：<why>" or "... 已提交，合同号<n>".
        const std::string line = textOf(reply, "result"), refused = "申购失败：", number = "合同号";
        if (const size_t at = line.find(refused); at != std::string::npos) {
            o.got = line.substr(at + refused.size());
        } else if (const size_t at = line.find(number); at != std::string::npos) {
            m.subscriptions[std::stoll(line.substr(at + number.size()))] = {issue, quantity, amount, tradingDay()};
        } else {
            o.got = "no result line: " + errorOf(reply);
        }
        return o;
    }
    Outcome costChange() {
        if (m.qty.empty()) return {"", "", false};
        auto it = m.qty.begin();
        std::advance(it, pick(m.qty.size()));
        if (it->second <= 0) return {"", "", false};
        const int64_t cost = 1000 + static_cast<int64_t>(pick(50000));  // 厘
        const Stock& s = stockOf(it->first);
        Outcome o;
        o.got = errorOf(trade(82, "&market=" + std::string(s.market) + "&stkcode=" + it->first +
                                      "&costprice=" + simPriceText(cost, 3) + "&secuid=" + s.secuid));
        if (o.got.empty()) m.basis[it->first] = cost * it->second;
        return o;
    }

    // The answers to every question a customer may ask of the books, each
    // under its function's name; the bytes as they came.
    std::vector<std::pair<std::string, std::string>> answers() {
        static const char* const kQuestions[] = {
            "500/9", "500/10", "500/13", "500/14", "500/15", "500/16", "500/17", "500/22", "500/83", "500/85",
            "500/40", "500/41", "500/42", "500/43", "500/48", "500/49", "500/54", "500/57", "500/75", "500/86",
            "500/90", "500/91", "500/92", "500/93", "500/95", "500/96", "500/1804", "100/18", "100/28", "100/4",
            "100/5", "3780/6", "3710/2"};
        const std::string range = "&strdate=20240101&enddate=20991231&bgn_date=20240101&end_date=20991231&count=200";
        std::vector<std::pair<std::string, std::string>> out;
        for (const char* q : kQuestions) {
            const std::string id(q);
            const size_t slash = id.find('/');
            out.push_back({id, call(session, "tc_mfuncno=" + id.substr(0, slash) + "&tc_sfuncno=" + id.substr(slash + 1) +
                                                 "&" + tradeInfo + "&fundid=" + fundId + range + "&stkcode=582001")
                                   .body});
        }
        return out;
    }

    // The run's start: its seed, and the model of the seeded books.
    void begin(uint64_t seed) {
        random.seed(seed);
        m.day = today();
        m.loans.push_back({kRepo[1], SimClock::dayNumber(m.day) - 3, 500000, "R1"});
        m.issues = sim->withRoom<SimNewIssuesRoom>([](SimNewIssuesRoom& r) { return r.issues; });
        last = read();
        m.plan = sim->withRoom<SimPlansRoom>([](SimPlansRoom& r) { return r.plans["110001234"].front(); });
        m.planMet = sim->withRoom<SimPlansRoom>([](SimPlansRoom& r) { return r.settledDay["110001234"]; });
    }
    // One random operation, the books read after it and held to the model
    // and the identities; answers what was wrong ("" nothing), with the operation.
    std::string operate() {
        uint64_t roll = pick(110);
        // The run opens with a subscription, and subscribes more often while issues are open.
        const bool first = ++operated == 1;
        if (first || (roll < 104 && !openIssues().empty() && coin(0.1))) roll = 104;
        const char* name = "";
        Outcome o;
        if (roll < 40) name = "stock order", o = stockOrder();
        else if (roll < 45) name = "form offer", o = formOffer();
        else if (roll < 55) name = "cancel", o = cancelOne();
        else if (roll < 67) name = "clock", o = moveClock();
        else if (roll < 77) name = "bank transfer", o = bank();
        else if (roll < 85) name = "fund order", o = fund();
        else if (roll < 96) name = "credit", o = credit();
        else if (roll < 100) name = "cost change", o = costChange();
        else if (roll < 103) name = "repo", o = repo();
        else if (roll < 104) name = "warrant exercise", o = exercise();
        else name = "new issue", o = subscribe(first);


        const Books now = read();
        std::string fault = settleDay();
        fault += applyFills();
        if (o.known && o.got != o.expected)
            fault += std::string("answered \"") + o.got + "\" where the rules say \"" + o.expected + "\"; ";
        if (!o.got.empty()) {
            ++refusals[o.got];
            if (!(now == last)) fault += "a refused request changed the books; ";
        }
        if (duplicate) fault += "order number " + std::to_string(duplicate) + " given twice; ";
        fault += checkIdentities(now);
        last = now;
        if (fault.empty()) return "";
        return std::string(" (") + name + ", clock " + SimClock::format(sim->clock().now()) + "): " + fault;
    }

    // What the run goes on from: the model, the books last read and the random source.
    struct RunState {
        Model m;
        Books last;
        std::mt19937_64 random;
        int64_t duplicate;
        int offersTaken;
        std::map<std::string, int> refusals;
    };
    RunState runState() const { return {m, last, random, duplicate, offersTaken, refusals}; }
    void goOnFrom(const RunState& s) {
        m = s.m, last = s.last, random = s.random, duplicate = s.duplicate, offersTaken = s.offersTaken;
        refusals = s.refusals;
    }
    // Customer A logs in again to the server now in use.
    void logInAgain() {
        sim->setSessionIdleTimeout(1e9);
        session = login();
        logIn(kCustomerA);
    }

    uint64_t pick(uint64_t n) { return n == 0 ? 0 : std::uniform_int_distribution<uint64_t>(0, n - 1)(random); }
    bool coin(double p) { return std::bernoulli_distribution(p)(random); }

    Model m;
    Books last;
    std::mt19937_64 random;
    int64_t duplicate = 0;
    int offersTaken = 0;
    std::map<std::string, int> refusals;
    uint64_t operated = 0;
};

TEST_F(SimBooksInvariantTest, ARandomRunKeepsTheBooksOfARealBrokerage) {
    const uint64_t seed = envNumber("RD_BOOKS_SEED", 20240305);
    const uint64_t operations = envNumber("RD_BOOKS_OPERATIONS", 10000);
    begin(seed);
    ASSERT_EQ(checkIdentities(last), "") << "seed " << seed << ", before the first operation";
    for (uint64_t n = 1; n <= operations; ++n) {
        const std::string fault = operate();
        if (!fault.empty()) FAIL() << "seed " << seed << ", operation " << n << fault;
    }
    // The run met what it was for.
    EXPECT_GT(m.orders.size(), operations / 5);
    EXPECT_GT(m.dealsSeen, operations / 20);
    EXPECT_GT(offersTaken, operations / 50);
    EXPECT_GT(m.bondSold, 0);
    EXPECT_GT(m.allotted, 0);
    EXPECT_GT(m.planPurchases, 2);
    EXPECT_GT(m.planMissed, 0);
    for (const char* refusal : {"委托价格超出涨跌幅限制", "可用股份不足", "零股须一次性全部卖出", "可转金额不足",
                                "委托金额低于最低限额1000元", "可用数量不足"})
        EXPECT_GT(refusals[refusal], 0) << refusal;
}

// The books' snapshot taken at several points of a random run and restored
// into a new server: the same operations after it go the same way on both,
// every question a customer may ask answered the same, so that whatever the
// snapshot forgets of the books shows in some answer.
TEST_F(SimBooksInvariantTest, ARestoredSnapshotGoesOnAsTheBooksItWasTakenOf) {
    const uint64_t seed = envNumber("RD_BOOKS_SEED", 20240305) + 1;
    const std::string key = "a key of the books";
    begin(seed);
    for (int point = 1; point <= 4; ++point) {
        for (int n = 0; n < 300; ++n) {
            const std::string fault = operate();
            ASSERT_EQ(fault, "") << "seed " << seed << ", before snapshot " << point;
        }
        auto restored = std::make_unique<SimServer>(tuesdayOptions());
        std::string why;
        ASSERT_TRUE(simRestore(*restored, simSnapshot(*sim, key), key, why)) << why;

        using Answers = std::vector<std::pair<std::string, std::string>>;
        const auto goOn = [&](std::vector<std::string>& faults) {
            std::vector<Answers> seen;
            logInAgain();
            seen.push_back(answers());
            for (int n = 0; n < 60; ++n) {
                faults.push_back(operate());
                seen.push_back(answers());
            }
            return seen;
        };
        const RunState at = runState();
        std::vector<std::string> faultsThere, faultsHere;
        const auto there = goOn(faultsThere);
        goOnFrom(at);
        sim.swap(restored);  // the run goes on with the restored books
        const auto here = goOn(faultsHere);
        EXPECT_EQ(faultsHere, faultsThere) << "seed " << seed << ", after snapshot " << point;
        for (size_t n = 0; n < here.size(); ++n)
            for (size_t q = 0; q < here[n].size(); ++q)
                ASSERT_TRUE(here[n][q].second == there[n][q].second)
                    << "seed " << seed << ", snapshot " << point << ", operation " << n << " after it: " << here[n][q].first;
    }
    EXPECT_GT(m.orders.size(), 200u);
}

}  // namespace
