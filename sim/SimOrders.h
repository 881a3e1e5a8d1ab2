#pragma once
// The room of the stock-order family (SimOrders.cpp) and the matcher that
// every function reading orders, deals, holdings or funds runs first.
//
// Orders live in the books (SimBooks.h: SimCustomer::orders and deals,
// holdings, fund balances); this room keeps what the books do not: the
// stocks whose buys ask the customer about their risk first, and the day up
// to which each customer's books are settled.
//
// Settling (on the first pass of a new day): orders of earlier days still
// open are cancelled (their frozen money and shares come back), the day's
// buys become sellable, sale money becomes transferable, emptied holdings go.
// Matching (only in trading time: 9:30-11:30 and 13:00-15:00 of a weekday):
// each open order meets the five levels of the stock's quote at that moment
// (SimMarket::quote): a limit buy takes the asks at or below its price, a
// limit sell the bids at or above it, each level up to its volume; the
// market types as the exchanges run them (SimOrders.cpp). Outside trading
// time orders are accepted and wait. Fees are not charged.
#include <map>
#include <set>
#include <string>

#include "sim/SimBooks.h"

class SimMarket;
struct SimCall;
struct SimInstrument;

struct SimOrdersRoom {
    SimOrdersRoom();
    // Buys of these codes answer the risk warning ("88001") until the customer accepts it.
    std::set<std::string> riskCodes;
    std::map<std::string, int> settledDay;  // custid -> yyyymmdd
};

// Settles the customer's books for the day of `now` and matches the open
// orders against the market at `now`.
void simSettleAndMatch(SimOrdersRoom& room, SimCustomer& who, const SimMarket& market, double now);

// The customer of a trade request by its session, with the books settled
// and the open orders matched as of the call; null with the refusal.
SimCustomer* simTradeCustomer(SimCall& c, std::string* refusal);

// Ends what is left of an open order (a cancel, or the exchange's): the
// money or shares it held come back. False when it is no longer open.
bool simCancelOrder(SimCustomer& who, SimOrder& order);

// ---- what the order functions and the later queries share ----
// The tradable instrument of a stock code (Shenzhen or Shanghai, no index);
// null for others.
const SimInstrument* simTradableStock(const SimMarket& market, const std::string& code);
// The shareholder market of an instrument: "0" 深A, "1" 沪A, "2" 深B, "3" 沪B.
std::string simShareholderMarket(const SimInstrument& stock);
// The currency it trades in: B shares in HKD (Shenzhen) or USD (Shanghai).
int simCurrencyOf(const SimInstrument& stock);
// A price of the instrument's decimals in 厘, and back (rounded down).
SimPrice simPriceOf(int64_t quoteValue, int decimals);
int64_t simQuoteValueOf(SimPrice price, int decimals);
// The day's price limits (previous close +- 10 %) in the instrument's decimals.
struct SimPriceLimits {
    int64_t up = 0, down = 0;
};
SimPriceLimits simPriceLimits(const SimMarket& market, const SimInstrument& stock, double now);
// The order status as the brokerage's lists name it.
std::string simOrderStatusText(const SimOrder& order);
// A price text of yuan ("12.5", "12.50", "12.", ".5") in 厘; -1 when it is
// none, longer than 12 characters, or finer than `decimals` decimals.
SimPrice simParsePrice(const std::string& text, int decimals);
// Whether an order type ("bsflag") buys.
bool simIsBuy(const std::string& bsflag);
