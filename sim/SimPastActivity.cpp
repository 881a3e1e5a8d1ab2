// The orders and deals of the weeks before the simulator's day, for the
// history lists: every seeded holding was bought (at its cost price, in one
// order) on one of the last 25 trading days; customer A also bought and sold
// again 100 shares of four other stocks twice in the last weeks (at the
// day's close, two trading days apart), had two buys cancelled and one
// refused. Order numbers run in
// the order of time, before any of the day's.
#include <algorithm>

#include "core/contracts/TradeContract.h"

#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimQueries.h"

namespace {

using TradeContract::BsFlag::kLimitBuy;
using TradeContract::BsFlag::kLimitSell;

constexpr int kDays = 25;

struct PastOrder {
    SimCustomer* who;
    SimOrder order;
    bool filled;
};

SimOrder pastOrder(const SimCustomer& who, int day, int time, const std::string& market, const std::string& code,
                   const std::string& name, const char* bsflag, SimPrice price, int64_t quantity) {
    SimOrder o;
    o.date = day;
    o.time = time;
    const SimShareholder* holder = who.shareholder(market);
    o.secuid = holder ? holder->secuid : "";
    o.fundid = holder ? holder->fundid : who.mainFundAccount().fundid;
    o.market = market;
    o.code = code;
    o.name = name;
    o.bsflag = bsflag;
    o.price = price;
    o.quantity = quantity;
    return o;
}

// The close of a stock on a day in 厘; 0 when the market does not list it.
SimPrice closeOf(const SimMarket& market, const std::string& code, int quoteMarket, int day) {
    const SimInstrument* s = market.find(code, quoteMarket);
    if (!s) return 0;
    int64_t close = market.close(*s, day);
    for (int k = s->decimals; k < 3; ++k) close *= 10;
    return close;
}

}  // namespace

void simAddPastActivity(SimBooks& books, const SimMarket& market, double now) {
    std::vector<int> days;  // days[k]: k + 1 trading days before today
    for (int d = SimClock::local(now).yyyymmdd(); int(days.size()) < kDays;)
        days.push_back(d = market.previousTradingDay(d));

    std::vector<PastOrder> past;
    for (auto& who : books.customers) {
        int k = kDays - 1;
        for (const auto& h : who.holdings) {
            past.push_back(
                {&who, pastOrder(who, days[size_t(k)], 100512, h.market, h.code, h.name, kLimitBuy, h.costPrice(3), h.quantity),
                 true});
            k = std::max(k - 4, 0);
        }
    }
    if (SimCustomer* a = books.customerById("110001234")) {
        struct Trip {
            const char *code, *name, *market;
            int quoteMarket;
        };
        const Trip trips[] = {{"000858", "五粮液", "0", 1},
                              {"600519", "贵州茅台", "1", 2},
                              {"601318", "中国平安", "1", 2},
                              {"000651", "格力电器", "0", 1}};
        int k = 12;  // the last weeks: the history of a week shows some
        for (int round = 0; round < 2; ++round)
            for (const Trip& t : trips) {
                const int buyDay = days[size_t(k)], sellDay = days[size_t(k - 2)];
                past.push_back({a,
                                pastOrder(*a, buyDay, 101530, t.market, t.code, t.name, kLimitBuy,
                                          closeOf(market, t.code, t.quoteMarket, buyDay), 100),
                                true});
                past.push_back({a,
                                pastOrder(*a, sellDay, 140205, t.market, t.code, t.name, kLimitSell,
                                          closeOf(market, t.code, t.quoteMarket, sellDay), 100),
                                true});
                k = std::max(k - 1, 2);
            }
        for (int i : {3, 6}) {
            PastOrder o{a,
                        pastOrder(*a, days[size_t(i)], 93800, "0", "000001", "平安银行", kLimitBuy,
                                  closeOf(market, "000001", 1, days[size_t(i)]) * 9 / 10, 200),
                        false};
            o.order.status = SimOrderStatus::Cancelled;
            past.push_back(o);
        }
        PastOrder refused{a, pastOrder(*a, days[1], 133015, "1", "600036", "招商银行", kLimitBuy, 1000, 100), false};
        refused.order.status = SimOrderStatus::Refused;
        past.push_back(refused);
    }

    std::stable_sort(past.begin(), past.end(), [](const PastOrder& x, const PastOrder& y) {
        return std::make_pair(x.order.date, x.order.time) < std::make_pair(y.order.date, y.order.time);
    });
    for (auto& p : past) {
        p.order.ordersno = books.nextOrderNumber();
        if (p.filled) {
            p.order.matched = p.order.quantity;
            p.order.status = SimOrderStatus::Filled;
            p.who->pastDeals.push_back({p.order.ordersno, p.order.date, p.order.time + 3, p.order.price,
                                        p.order.quantity, p.order.quantity * p.order.price / 10});
        }
        p.who->pastOrders.push_back(p.order);
    }
}
