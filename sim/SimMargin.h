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
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimRegistry;
class SimRequest;

struct SimMarginTarget {
    bool financing = false;     // 融资标的
    bool shortSelling = false;  // 融券标的
    int64_t lendable = 0;       // shares the brokerage may lend, to all customers together
    int collateralRate = 0;     // 折算率 in percent; 0: not taken as collateral
};

struct SimMarginRoom {
    SimMarginRoom();                                 // the seeded list (SimMarginSeed.cpp)
    std::map<std::string, SimMarginTarget> targets;  // by stock code
};

class SimOrderLedger;
// How a credit order's fills reach the credit account. A securities
// repayment (credit flag 4) or a collateral transfer (5 in, 6 out) is an
// order of the day done as it is taken (simPlaceDoneOrder): its one fill
// moves the shares.
const std::shared_ptr<const SimOrderLedger>& simCreditLedger();

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

// The customer of a credit request, settled and matched (the positions'
// shares that may go as of the day among it), to read as
// simTradeCustomerToRead's; null with the refusal ("您尚未开通信用账户"
// without a credit account).
struct SimCall;
const SimCustomer* simCreditCustomerToRead(SimCall& c, SimRefusal* refusal);
// The shares of the credit account's position that may go now: bought
// before today and not asked by an open sell-to-repay.
int64_t simCreditAvailable(const SimCustomer& who, const std::string& code);
// The credit account's cash not held by open buy-to-return orders (分).
SimMoney simCreditCashFree(const SimCustomer& who);
// What the credit account is worth as the brokerage guards it: its cash, the
// short proceeds and its positions at their last prices (分), against the
// financing debt and the owed shares at their last prices.
struct SimCreditWorth {
    SimMoney assets = 0, liabilities = 0, positions = 0, owed = 0;
};
class SimMarket;
SimCreditWorth simCreditWorth(const SimCustomer& who, const SimMarket& market, double now);

// The credit account's own functions (SimMarginAccount.cpp): the debt, cash
// repayment, automatic repayment and the margin lists.
void simRegisterMarginAccountFunctions(SimRegistry& registry);

// Gives the customers of the seed their credit accounts (SimMarginSeed.cpp).
void simSeedCreditAccounts(SimBooks& books);
