#pragma once
// The room of the trade family (SimTrade.cpp): the brokerage's books
// (SimBooks.h, seeded at first use), the texts of the soft-token page, and
// the fund accounts each phone has related to itself.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimMarket;
class SimServer;

struct SimTradeRoom {
    explicit SimTradeRoom(SimServer& server);

    SimBooks books;
    // 100/5: how the token is used, what to know before applying, and a
    // promotion (shown by the client when it has 2 characters or more).
    std::string tokenDirection;
    std::string tokenRiskInfo;
    std::string tokenPromotion;
    std::map<std::string, std::set<std::string>> relatedAccounts;  // phone -> fund accounts
};

// The ids ("code.market") of the customer's holdings that the market quotes,
// in holding order, each once: what joins a phone's own stocks.
std::vector<std::string> simHoldingIds(const SimCustomer& who, const SimMarket& market);
