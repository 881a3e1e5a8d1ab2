#pragma once
// The room of the new-issue family (SimNewIssues.cpp): the issues on offer
// around the simulator's day and the subscriptions the customers made.
//
// Issues (made for the day the room is first used): 华宇新材 002888 and
// 中科微电 300888 (Shenzhen, market "0") and 沪光智能 732888 (Shanghai, "1")
// are subscribable that day; 东方锂业 002887 (Shenzhen) the next trading
// day. Shenzhen issues are subscribed in lots of 500 shares, Shanghai ones
// in lots of 1000.
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
    int lot() const { return market == "1" ? 1000 : 500; }
};

struct SimSubscription {
    std::string custid, code, secuid, fundid;
    int64_t quantity = 0;
    SimMoney amount = 0;  // frozen in the fund account
    int64_t ordersno = 0;
};

struct SimNewIssuesRoom {
    explicit SimNewIssuesRoom(SimServer& server);
    int today = 0;  // the day the issues were made for
    std::vector<SimNewIssue> issues;
    std::vector<SimSubscription> subscriptions;

    const SimNewIssue* issue(const std::string& code) const;
    bool subscribed(const std::string& custid, const std::string& code) const;
};
