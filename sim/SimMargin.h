#pragma once
// The room of the margin family (SimMargin.cpp): the securities the brokerage
// finances and lends. The credit accounts themselves are in the books
// (SimBooks.h: SimCustomer::credit), their seed in SimMarginSeed.cpp.
//
// What a credit account may still do is reckoned from the account and the
// customer's open credit orders (their held amounts and unfilled shares), so
// nothing is kept twice:
//   SimMoney room = simFinancingRoom(*who);
//   int64_t left = simLendableLeft(room, books, "600000");
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "sim/SimBooks.h"

class SimRequest;

struct SimMarginTarget {
    bool financing = false;     // 融资标的
    bool shortSelling = false;  // 融券标的
    int64_t lendable = 0;       // shares the brokerage may lend, to all customers together
};

struct SimMarginRoom {
    SimMarginRoom();                                 // the seeded list (SimMarginSeed.cpp)
    std::map<std::string, SimMarginTarget> targets;  // by stock code
};

// The credit flag a request names ("creditflag", or a menu link's
// "...?creditflag" key); nothing when it names none.
std::optional<int> simCreditFlag(const SimRequest& request);

// What financing buys may still spend: the limit less the debt and what open
// financing buys hold (分).
SimMoney simFinancingRoom(const SimCustomer& who);
// What short sells may still sell for: the short limit less what short sells
// brought and what open ones may bring at their prices (分).
SimMoney simShortRoom(const SimCustomer& who);
// The shares of a stock the brokerage may still lend: its lendable shares
// less what every customer owes and what open short sells ask.
int64_t simLendableLeft(const SimMarginRoom& room, const SimBooks& books, const std::string& code);

// Gives the customers of the seed their credit accounts (SimMarginSeed.cpp).
void simSeedCreditAccounts(SimBooks& books);
