#pragma once
// The room of the new-issue family (SimNewIssues.cpp): the issues on offer
// around the simulator's day. A subscription is an order of the day in the
// books (SimOrders.h), open while its money is held, allotted overnight.
//
// Issues (made for the day the room is first used): 华宇新材 002888 and
// 中科微电 300888 (Shenzhen, market "0") and 沪光智能 732888 (Shanghai, "1")
// are subscribable that day; 东方锂业 002887 (Shenzhen) the next trading
// day. Shenzhen issues are subscribed in lots of 500 shares under their
// stock code, Shanghai ones in lots of 1000 under a subscription code of
// their own (732888 subscribes 沪光智能, whose shares are 603888). The
// shares of every issue are securities of the market (SimMarket.h).
//
// Allotment: on the first pass of the trading day after the subscription's,
// each subscription is allotted the issue's share (`allotPercent`) of its
// lots, rounded half up; the shares arrive at the issue price (sellable at
// once: that day is their first on the market) and the money of the lots
// not allotted is freed.
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimServer;

struct SimNewIssue {
    std::string code;  // subscription code
    std::string name;
    std::string market;  // shareholder market
    SimPrice price = 0;
    int issueDate = 0;          // yyyymmdd
    int64_t issueQuantity = 0;  // 万股
    std::string pe;
    int64_t maxQuantity = 0;  // the upper limit of one customer
    std::string stockCode;    // what the allotted shares are
    int allotPercent = 0;     // of a subscription's lots
    int lot() const { return market == "1" ? 1000 : 500; }
    // The shares a subscription of `quantity` is allotted.
    int64_t allotted(int64_t quantity) const;
};

// The ledger of a subscription to `issue` (an order of the day the customer
// cannot cancel, its shares allotted on a later trading day).
std::shared_ptr<const SimOrderLedger> simSubscriptionLedger(const SimNewIssue& issue);

struct SimNewIssuesRoom {
    explicit SimNewIssuesRoom(SimServer& server);
    int today = 0;  // the day the issues were made for
    std::vector<SimNewIssue> issues;

    const SimNewIssue* issue(const std::string& code) const;
    // Whether the customer has subscribed the issue.
    static bool subscribed(const SimCustomer& who, const std::string& code);
};
