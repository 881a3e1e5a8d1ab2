#pragma once
// The room of the stock-order family (SimOrders.cpp), the matcher that every
// function reading orders, deals, holdings or funds runs first, and the road
// of placing an order that the margin family's credit orders share.
//
// Orders live in the books (SimBooks.h: SimCustomer::orders and deals,
// holdings, fund balances); this room keeps what the books do not: the
// stocks whose buys ask the customer about their risk first, and the day up
// to which each customer's books are settled.
//
// Settling (on the first pass of a new day): orders of earlier days still
// open are cancelled (their frozen money and shares come back; an order with
// a ledger of its own ends as the ledger says: SimOrderLedger::dayEnded), the
// day's buys become sellable, the sale money of the days before may leave
// once a trading day has begun since the day it came (SimBalance), emptied
// holdings go.
// Matching (only in trading time: 9:30-11:30 and 13:00-15:00 of a weekday):
// each open order meets the five levels of the stock's quote at that moment
// (SimMarket::quote): a limit buy takes the asks at or below its price, a
// limit sell the bids at or above it, each level up to its volume and never
// beyond the day's price limits; the market types as the exchanges run them
// (SimOrders.cpp). An order meets the levels of a minute once: what they did
// not fill waits for the next minute's. Outside trading time orders are
// accepted and wait. Fees are not charged.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimMarket;
class SimRequest;
struct SimCall;
struct SimInstrument;

struct SimOrdersRoom {
    SimOrdersRoom();
    // Buys of these codes answer the risk warning ("88001") until the customer accepts it.
    std::set<std::string> riskCodes;
    std::map<std::string, int> settledDay;  // custid -> yyyymmdd
};

// Settles the customer's orders and holdings for the day of `now` (once a day).
void simSettle(SimOrdersRoom& room, SimCustomer& who, double now);
// Matches the open orders against the market at `now` (in trading time).
void simMatch(SimCustomer& who, const SimMarket& market, double now);

// The customer of a trade request by its session, with the books settled
// (the orders' and every family's day settler: SimRegistry.h) and the open
// orders matched as of the call; null with the refusal. Every function that
// reads or changes a customer's books finds the customer here, and decides
// what it refuses on the books as they are: what only reaches them so is
// not written to the books on disk (only the settling and matching it
// brought about), so that a refusal writes nothing. Once every check has
// passed, a function that changes them takes the customer to change
// (simTradeCustomerToChange: the request is written, whatever it then does).
const SimCustomer* simTradeCustomerToRead(SimCall& c, SimRefusal* refusal);
SimCustomer& simTradeCustomerToChange(SimCall& c, const SimCustomer& reader);
// Settles and matches the customer's books as of the call (what
// simTradeCustomerToRead does first); true when that changed them. Its effect
// depends only on the customer's books and the call's time, so that the
// books on disk keep it as an "advance" to that time (SimJournal.h).
bool simAdvanceBooks(SimCall& c, SimCustomer& who);

// How an order's money and shares move in the books as it fills and ends. A
// stock order (SimOrder::ledger null) moves the fund balance of the stock's
// currency and the holdings; another family's order carries its own ledger
// (a credit order: SimMargin.cpp) and is matched all the same.
class SimOrderLedger {
public:
    virtual ~SimOrderLedger() = default;
    // `amount` of what the buy holds (order.frozen) comes back; the matcher
    // takes it off order.frozen.
    virtual void release(SimCustomer& who, const SimOrder& order, SimMoney amount) const = 0;
    // One fill of `quantity` at `price` (厘) for `amount` (分), after a buy's
    // share of what it held was released.
    virtual void fill(SimCustomer& who, const SimOrder& order, int64_t quantity, SimPrice price,
                      SimMoney amount) const = 0;
    // The unfilled rest of a sell ended (a cancel, the exchange's, or its day passed).
    virtual void unsold(SimCustomer& who, const SimOrder& order, int64_t quantity) const = 0;
    // The order, still open, outlived its trading day (`today` is the day of
    // the first pass after it): by default what is left of it ends as a
    // cancel's would; an order the brokerage confirms overnight (a bond
    // conversion, a new issue's allotment) is done here instead, or left open
    // for a later pass.
    virtual void dayEnded(SimCustomer& who, SimOrder& order, int today) const;
    // Whether the open order holds shares of the customer's holdings, as a
    // stock sell does (a credit order's come from elsewhere).
    virtual bool holdsShares(const SimOrder&) const { return false; }
    // What the order lists call it ("行权", "提前终止"); "" for 买入 or 卖出 by its side.
    virtual std::string direction(const SimOrder&) const { return ""; }
    // Whether the open order meets the market's levels: an order the
    // brokerage carries out itself (a bond's conversion, an exchange fund's
    // subscription) never does, though its security trades.
    virtual bool meetsMarket(const SimOrder&) const { return true; }
    // What names it in the books' snapshot (SimSnapshot.h), which finds it
    // again by that name: its family's word and the code of what it carries.
    virtual std::string snapshotName() const = 0;
    // Whether the customer may cancel the open order (a new-issue
    // subscription may not).
    virtual bool cancellable(const SimOrder&) const { return true; }
    // The order's status as the lists name it; "" for the stock order's
    // (simOrderStatusText).
    virtual std::string statusText(const SimOrder&) const { return ""; }
};

// ---- placing an order (the stock order, and another family's over the same road) ----
// The checks every order passes, in order, with the refusal texts of the
// stock order (SimOrders.cpp's head): the stock, the shareholder account and
// its market, the type the market offers, the quantity (whole lots for a
// buy), a limit order's price within the day's limits. On success the order
// holds the fund account, shareholder account, stock, type, price and
// quantity and the answer is ""; else the refusal.
std::string simCheckOrder(SimCall& call, const SimCustomer& who, SimOrder& order);
// What a buy of the order may cost at most: at its price, a market type's at
// the day's limit-up price (分).
SimMoney simOrderAmountBound(const SimOrder& order, const SimMarket& market, double now);
// Numbers, dates and keeps an order that passed and holds what it needs; in
// trading time it meets the market at once. Answers the order as kept.
const SimOrder& simPlaceOrder(SimCall& call, SimCustomer& who, SimOrder order);
// An order of another family that the brokerage carries out as it takes it
// (a warrant exercise, a repo loan or its early end): numbered, dated and
// kept as placed now, and filled whole at once at `price` for `amount`, its
// ledger moving the books (a buy pays out of what it holds); the day's
// orders and deals list it, and it is never open. Answers the order as kept.
const SimOrder& simPlaceDoneOrder(SimCall& call, SimCustomer& who, SimOrder order, SimPrice price, SimMoney amount);
// The stock information's reply for the stock with the maximum `num`
// (clamped to 0 .. 999999998).
std::vector<uint8_t> simStockInfoReply(const SimMarket& market, const SimInstrument& stock, int64_t num, double now);
// The price a stock information is asked at: the request's "price", or the
// last price when it sends none or no price of the stock's ticks (厘).
SimPrice simRequestedPrice(const SimRequest& request, const SimMarket& market, const SimInstrument& stock, double now);
// What a quantity costs at a price (厘 -> 分, rounded half up).
SimMoney simAmountOf(int64_t quantity, SimPrice price);
// The refusal of a sell of `quantity` from `sellable` shares that breaks the
// odd-lot rule: whole lots, or the odd remainder of the sellable shares
// (fewer than a lot) going whole, with whole lots or alone; "" when it passes.
std::string simOddLotRefusal(const SimInstrument& stock, int64_t quantity, int64_t sellable);
// The trading day an order placed at `now` trades on: today until the close
// of a trading day, else the next trading day.
int simTradingDayOf(double now);
// Of a day (yyyymmdd): the first trading day after it, and the first on or
// after it (SimMarket::isTradingDay; SimMarket::previousTradingDay the other way).
int simNextTradingDay(int date);
int simTradingDayOnOrAfter(int date);
// The trading day an order is for: the day it was placed, or the next one
// when it came after the close or on a day without trading.
int simOrderTradingDay(const SimOrder& order);

// Ends what is left of an open order (a cancel, or the exchange's): the
// money or shares it held come back. False when it is no longer open or its
// ledger keeps it from being cancelled.
bool simCancelOrder(SimCustomer& who, SimOrder& order);
// Whether the order is open and its ledger lets the customer cancel it.
bool simCancellable(const SimOrder& order);

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
// The price limits of the day an order placed at `now` trades on (that
// day's previous close +- 10 %, rounded half up) in the instrument's decimals.
struct SimPriceLimits {
    int64_t up = 0, down = 0;
};
SimPriceLimits simPriceLimits(const SimMarket& market, const SimInstrument& stock, double now);
// The order status as the brokerage's lists name it.
std::string simOrderStatusText(const SimOrder& order);
// A price text of yuan ("12.5", "12.50", "12.", ".5", "12.500") in 厘, read
// as every decimal text is (SimAmounts.h); -1 when it is none, longer than
// 12 characters, or finer than `decimals` decimals.
SimPrice simParsePrice(const std::string& text, int decimals);
// Whether an order type ("bsflag") buys.
bool simIsBuy(const std::string& bsflag);
