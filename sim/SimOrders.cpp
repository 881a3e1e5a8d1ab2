// The stock-order family of the simulated server over the books (SimBooks.h;
// functions, keys and columns named in core/contracts/TradeContract.h), with
// the matcher of SimOrders.h. Both functions settle and match the customer's
// books first.
//
// 500/4 stock information. Request: the session text, "bsflag" ("0B" buy,
//   "0S" sell), "stkcode", optionally "price". Set 0: "stkname", "num" (a
//   buy: the whole lots the available money of the stock's currency pays at
//   the price, or at the last price when none is sent or it is no number; a
//   sell: the shares of the stock the customer may sell now), "price" (the
//   last price), "market" (the shareholder market), "stkcode",
//   "maxrisevalue" and "maxdownvalue" (the day's limits). "证券代码不存在"
//   for a code that is not a Shenzhen or Shanghai stock, fund or bond.
// 500/6 order. Request: the session text, "fundid", "bsflag", "price",
//   "qty", "stkcode", "market", "secuid" and for buys "chkriskflag". The
//   checks, in order, refuse with: "证券代码不存在"; "股东代码不存在" (not the
//   customer's account of that market) or "股东代码与证券市场不符"; "该市场不
//   支持此委托方式" (a type the market does not offer); "委托数量错误" (no
//   whole positive number), "买入数量必须为100股的整数倍" (10 张 for bonds);
//   "委托价格错误" (a limit order without a price of the stock's ticks),
//   "委托价格超出涨跌幅限制"; the risk warning "[88001]..." for a buy of a
//   risk stock until "chkriskflag=0"; "可用资金不足" (the buy's amount at its
//   price, a market type's at the limit-up price), "可用股份不足". An
//   accepted order freezes that money (or the shares), is matched at once in
//   trading time, and answers set 0 "ordersno".
#include <algorithm>
#include <cmath>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace TradeContract;

constexpr const char* kUnknownStock = "证券代码不存在";
constexpr const char* kUnknownShareholder = "股东代码不存在";
constexpr const char* kWrongMarket = "股东代码与证券市场不符";
constexpr const char* kTypeNotOffered = "该市场不支持此委托方式";
constexpr const char* kBadQuantity = "委托数量错误";
constexpr const char* kBadPrice = "委托价格错误";
constexpr const char* kBeyondLimits = "委托价格超出涨跌幅限制";
constexpr const char* kNoMoney = "可用资金不足";
constexpr const char* kNoShares = "可用股份不足";
constexpr const char* kOddLot = "零股须一次性全部卖出";
constexpr const char* kRiskText = "[88001]该证券为风险较高的品种，买入前请确认您已阅读并理解相关风险揭示";

bool isShenzhen(const std::string& market) {
    return market == AccountType::kShenzhenA || market == AccountType::kShenzhenB;
}

// The order types a market offers.
bool offered(const std::string& market, const std::string& bsflag) {
    static const std::string shenzhen = "0B0S0a0f0b0g0c0h0d0i0e0j";
    static const std::string shanghai = "0B0S0d0i0q0r";
    const std::string& codes = isShenzhen(market) ? shenzhen : shanghai;
    if (bsflag.size() != 2) return false;
    for (size_t i = 0; i + 1 < codes.size(); i += 2)
        if (codes.compare(i, 2, bsflag) == 0) return true;
    return false;
}
bool isLimit(const std::string& bsflag) { return bsflag == BsFlag::kLimitBuy || bsflag == BsFlag::kLimitSell; }

// A whole positive number of at most 9 digits; -1 otherwise.
int64_t parseQuantity(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
    int64_t q = std::stoll(text);
    return q > 0 ? q : -1;
}

int currencyOfOrder(const SimOrder& o) {
    if (o.market == AccountType::kShenzhenB) return SimCurrency::kHKD;
    if (o.market == AccountType::kShanghaiB) return SimCurrency::kUSD;
    return SimCurrency::kRMB;
}

SimBalance& balanceFor(SimCustomer& who, const SimOrder& o) {
    SimFundAccount* fund = who.fundAccount(o.fundid);
    if (!fund) fund = &who.fundAccounts.front();
    return fund->balances[currencyOfOrder(o)];
}

// What the order's balance has available, read (a balance not there yet is none).
SimMoney availableFor(const SimCustomer& who, const SimOrder& o) {
    const SimFundAccount* fund = who.fundAccount(o.fundid);
    if (!fund) fund = &who.fundAccounts.front();
    auto it = fund->balances.find(currencyOfOrder(o));
    return it == fund->balances.end() ? 0 : it->second.available();
}

// The shares of a holding that open sell orders hold (a credit order's shares are not the holdings').
int64_t sharesOnSale(const SimCustomer& who, const SimHolding& h) {
    int64_t n = 0;
    for (const auto& o : who.orders)
        if (o.isOpen() && (o.ledger ? o.ledger->holdsShares(o) : !simIsBuy(o.bsflag)) && o.secuid == h.secuid &&
            o.code == h.code)
            n += o.quantity - o.matched;
    return n;
}

// A stock order's ledger: the fund balance of the stock's currency and the holdings.
class StockLedger : public SimOrderLedger {
public:
    void release(SimCustomer& who, const SimOrder& o, SimMoney amount) const override {
        balanceFor(who, o).release(amount);
    }
    void fill(SimCustomer& who, const SimOrder& o, int64_t quantity, SimPrice price, SimMoney amount) const override {
        SimBalance& b = balanceFor(who, o);
        if (simIsBuy(o.bsflag)) {
            b.payHeld(amount);
            SimHolding* h = who.holding(o.secuid, o.code);
            if (!h) {
                who.holdings.push_back({o.secuid, o.market, o.code, o.name});
                h = &who.holdings.back();
            }
            h->buy(quantity, price);  // sellable from the next trading day
        } else {
            if (SimHolding* h = who.holding(o.secuid, o.code)) h->sell(quantity, price);
            b.receiveSale(amount);  // withdrawable from the next trading day
        }
    }
    void unsold(SimCustomer& who, const SimOrder& o, int64_t quantity) const override {
        if (SimHolding* h = who.holding(o.secuid, o.code)) h->available += quantity;
    }
    std::string snapshotName() const override { return ""; }  // an order's own: no ledger kept
};

const SimOrderLedger& ledgerOf(const SimOrder& o) {
    static const StockLedger stock;
    return o.ledger ? *o.ledger : stock;
}

// ---- the matcher ----

void releaseBuy(SimCustomer& who, SimOrder& o, SimMoney amount) {
    ledgerOf(o).release(who, o, amount);
    o.frozen -= amount;
}

// Ends what is left of an open order (the exchange cancelled it, or its day passed).
void cancelRest(SimCustomer& who, SimOrder& o) {
    if (!o.isOpen()) return;
    if (simIsBuy(o.bsflag))
        releaseBuy(who, o, o.frozen);
    else
        ledgerOf(o).unsold(who, o, o.quantity - o.matched);
    o.status = SimOrderStatus::Cancelled;
}

// What an open buy holds for `quantity` still to fill: at its price, or an
// unpriced market type's hold in proportion.
SimMoney holdFor(const SimOrder& o, int64_t quantity) {
    const int64_t remaining = o.quantity - o.matched;
    if (quantity <= 0 || remaining <= 0) return 0;
    return o.price > 0 ? simAmountOf(quantity, o.price) : o.frozen * quantity / remaining;
}

// One fill of `quantity` at `price` (厘) for `amount` (分): the deal, the
// order, and what the ledger moves; a buy pays out of what it held and frees
// what its rest no longer needs (a fill below its price).
void fill(SimCustomer& who, SimOrder& o, int64_t quantity, SimPrice price, SimMoney amount, int date, int time) {
    const bool buy = simIsBuy(o.bsflag);
    const SimMoney keep = buy ? holdFor(o, o.quantity - o.matched - quantity) : 0;
    ledgerOf(o).fill(who, o, quantity, price, amount);
    o.matched += quantity;
    o.status = o.matched == o.quantity ? SimOrderStatus::Filled : SimOrderStatus::PartlyFilled;
    who.deals.push_back({o.ordersno, date, time, price, quantity, amount});
    if (!buy) return;
    o.frozen -= amount;
    if (o.frozen > keep) releaseBuy(who, o, o.frozen - keep);
}
// A fill at the market: what the quantity costs at the price.
void fill(SimCustomer& who, SimOrder& o, int64_t quantity, SimPrice price, int date, int time) {
    fill(who, o, quantity, price, simAmountOf(quantity, price), date, time);
}

// The levels an order may take: asks for a buy, bids for a sell, best first,
// in the instrument's decimals.
struct Level {
    int64_t price, volume;
};
std::vector<Level> levelsFor(const SimQuote& q, bool buy) {
    std::vector<Level> levels;
    for (int k = 0; k < 5; ++k)
        levels.push_back(buy ? Level{q.ask[k], q.askVolume[k]} : Level{q.bid[k], q.bidVolume[k]});
    return levels;
}

// Fills from the levels whose price the limit allows (no limit: all of
// them, or only the first with `firstOnly`), never beyond the day's price
// limits; answers the last price filled (厘, 0 for none).
SimPrice takeLevels(SimCustomer& who, SimOrder& o, const SimQuote& q, int decimals, std::optional<SimPrice> limit,
                    bool firstOnly, int date, int time) {
    const bool buy = simIsBuy(o.bsflag);
    const int64_t bound = buy ? (q.prevClose * 11 + 5) / 10 : (q.prevClose * 9 + 5) / 10;
    SimPrice last = 0;
    for (const Level& l : levelsFor(q, buy)) {
        if (o.matched == o.quantity) break;
        if (buy ? l.price > bound : l.price < bound) break;
        SimPrice p = simPriceOf(l.price, decimals);
        if (limit && (buy ? p > *limit : p < *limit)) break;
        int64_t take = std::min(l.volume, o.quantity - o.matched);
        fill(who, o, take, p, date, time);
        last = p;
        if (firstOnly) break;
    }
    return last;
}

// The order's remaining quantity now waits as a limit order at `price`.
void restAsLimit(SimCustomer& who, SimOrder& o, SimPrice price) {
    o.price = price;
    if (simIsBuy(o.bsflag) && o.isOpen()) {
        const SimMoney keep = holdFor(o, o.quantity - o.matched);
        if (o.frozen > keep) releaseBuy(who, o, o.frozen - keep);
    }
}

void matchOrder(SimCustomer& who, SimOrder& o, const SimMarket& market, double now) {
    if (o.ledger && !o.ledger->meetsMarket(o)) return;
    const SimInstrument* s = simTradableStock(market, o.code);
    if (!s) return;
    const SimQuote q = market.quote(*s, now);
    // The levels of a moment are offered once: what they did not fill waits for the next minute's.
    const int64_t moment = int64_t(q.date) * 10000 + q.hhmm;
    if (o.metQuote == moment) return;
    o.metQuote = moment;
    const SimClock::Local l = SimClock::local(now);
    const int date = l.yyyymmdd(), time = l.hour * 10000 + l.minute * 100 + l.second;
    const bool buy = simIsBuy(o.bsflag);
    // A limit order, or a market type the exchange has already priced.
    if (isLimit(o.bsflag) || o.price > 0) {
        takeLevels(who, o, q, s->decimals, o.price, false, date, time);
        return;
    }
    const char type = o.bsflag[1];
    if (type == 'a' || type == 'f') {  // the best opposite price; the rest waits there
        SimPrice p = simPriceOf(buy ? q.ask[0] : q.bid[0], s->decimals);
        takeLevels(who, o, q, s->decimals, std::nullopt, true, date, time);
        restAsLimit(who, o, p);
    } else if (type == 'b' || type == 'g') {  // the own side's best price
        restAsLimit(who, o, simPriceOf(buy ? q.bid[0] : q.ask[0], s->decimals));
        takeLevels(who, o, q, s->decimals, o.price, false, date, time);
    } else if (type == 'e' || type == 'j') {  // all or nothing
        int64_t offeredVolume = 0;
        for (const Level& lv : levelsFor(q, buy)) offeredVolume += lv.volume;
        if (offeredVolume >= o.quantity) takeLevels(who, o, q, s->decimals, std::nullopt, false, date, time);
        cancelRest(who, o);
    } else if (type == 'q' || type == 'r') {  // five levels, the rest waits at the last price filled
        SimPrice last = takeLevels(who, o, q, s->decimals, std::nullopt, false, date, time);
        if (last > 0)
            restAsLimit(who, o, last);
        else
            cancelRest(who, o);
    } else {  // 'c', 'h', 'd', 'i': what the levels give now, the rest cancelled
        takeLevels(who, o, q, s->decimals, std::nullopt, false, date, time);
        cancelRest(who, o);
    }
}

bool inTradingTime(double now) {
    const SimClock::Local l = SimClock::local(now);
    const int m = l.minuteOfDay();
    return SimMarket::isTradingDay(l.yyyymmdd()) && ((m >= 570 && m <= 690) || (m >= 780 && m <= 900));
}

// `settledBefore`: the day the books were last settled (0: never); the
// day's sale money came on it, or on a trading day before it whose next
// trading day had not come then.
void settle(SimCustomer& who, int today, int settledBefore) {
    for (auto& o : who.orders)
        if (o.isOpen() && simOrderTradingDay(o) < today) {
            if (o.ledger)
                o.ledger->dayEnded(who, o, today);
            else
                cancelRest(who, o);
        }
    who.holdings.erase(
        std::remove_if(who.holdings.begin(), who.holdings.end(), [](const SimHolding& h) { return h.quantity <= 0; }),
        who.holdings.end());
    for (auto& h : who.holdings) h.available = h.quantity - sharesOnSale(who, h);
    // Sale money may leave from the next trading day after the day it came:
    // once such a day has begun, whatever the day of the request (Wednesday's
    // on Sunday, Thursday having passed; Friday's not before Monday).
    if (settledBefore == 0 || simNextTradingDay(settledBefore) <= today)
        for (auto& f : who.fundAccounts)
            for (auto& [currency, b] : f.balances) b.settleSales();
}

// Numbers, dates and keeps the order as placed now.
SimOrder& keep(SimCall& c, SimCustomer& who, SimOrder o) {
    o.ordersno = c.server.room<SimTradeRoom>().books.nextOrderNumber();
    const SimClock::Local l = SimClock::local(c.now);
    o.date = l.yyyymmdd();
    o.time = l.hour * 10000 + l.minute * 100 + l.second;
    who.orders.push_back(std::move(o));
    return who.orders.back();
}

// ---- the functions ----

std::vector<uint8_t> stockInfo(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimMarket& market = c.server.market();
    const SimInstrument* s = simTradableStock(market, c.request.value(Key::kStockCode));
    if (!s) return simErrorSet(-1, kUnknownStock);
    const std::string shareholderMarket = simShareholderMarket(*s);

    int64_t num = 0;
    if (c.request.value(Key::kBsFlag) == BsFlag::kLimitSell) {
        for (const auto& h : who->holdings)
            if (h.code == s->code && h.market == shareholderMarket) num += h.available;
    } else {
        SimOrder probe;
        probe.market = shareholderMarket;
        probe.fundid = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(*who, c.request)->fundid;
        const SimPrice price = simRequestedPrice(c.request, market, *s, c.now);
        if (price > 0) num = availableFor(*who, probe) * 10 / price / s->lot() * s->lot();
    }
    return simStockInfoReply(market, *s, num, c.now);
}

std::vector<uint8_t> order(SimCall& c) {
    SimRefusal refusal;
    // What refuses the order is found in the books as they are: a refused order changes nothing.
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    SimOrder o;
    if (std::string refused = simCheckOrder(c, *reader, o); !refused.empty()) return simErrorSet(-1, refused);
    const bool buy = simIsBuy(o.bsflag);
    if (buy && c.server.view<SimOrdersRoom>().riskCodes.count(o.code) &&
        c.request.value(Key::kCheckRisk) != TradeContract::Value::kRiskAccepted)
        return simErrorSet(-1, kRiskText);
    const SimMoney freeze = buy ? simOrderAmountBound(o, c.server.market(), c.now) : 0;
    if (buy && availableFor(*reader, o) < freeze) return simErrorSet(-1, kNoMoney);
    if (!buy) {
        const SimHolding* h = reader->holding(o.secuid, o.code);
        if (!h || h->available < o.quantity) return simErrorSet(-1, kNoShares);
        if (std::string odd = simOddLotRefusal(*simTradableStock(c.server.market(), o.code), o.quantity, h->available);
            !odd.empty())
            return simErrorSet(-1, odd);
    }
    SimCustomer& who = simTradeCustomerToChange(c, *reader);
    if (buy) {
        balanceFor(who, o).hold(freeze);
        o.frozen = freeze;
    } else {
        who.holding(o.secuid, o.code)->available -= o.quantity;
    }
    const SimOrder& placed = simPlaceOrder(c, who, o);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kOrderNumber, TCRSFieldType::VarText, 0, "委托编号")
        .addRecord({std::to_string(placed.ordersno)})
        .bytes();
}

}  // namespace

SimPrice simParsePrice(const std::string& text, int decimals) {
    const int64_t value = simParseDecimal(text, decimals, 12);
    if (value < 0) return -1;
    SimPrice li = value;
    for (int k = decimals; k < 3; ++k) li *= 10;
    return li;
}

SimMoney simAmountOf(int64_t quantity, SimPrice price) { return simDivideRounded(quantity * price, 10); }  // 厘 -> 分

std::string simOddLotRefusal(const SimInstrument& stock, int64_t quantity, int64_t sellable) {
    const int lot = stock.lot();
    return quantity % lot == 0 || quantity % lot == sellable % lot ? "" : kOddLot;
}

int simNextTradingDay(int date) {
    long d = SimClock::dayNumber(date) + 1;
    while (!SimMarket::isTradingDay(SimClock::dateOfDay(d))) ++d;
    return SimClock::dateOfDay(d);
}

int simTradingDayOnOrAfter(int date) { return SimMarket::isTradingDay(date) ? date : simNextTradingDay(date); }

int simOrderTradingDay(const SimOrder& o) {
    return simTradingDayOf(SimClock::fromLocal(o.date, o.time / 10000 * 60 + o.time / 100 % 100, o.time % 100));
}

int simTradingDayOf(double now) {
    const SimClock::Local l = SimClock::local(now);
    const int date = l.yyyymmdd();
    if (SimMarket::isTradingDay(date) && l.hour * 60 + l.minute <= 900) return date;
    return simNextTradingDay(date);
}

bool simIsBuy(const std::string& bsflag) {
    return bsflag == BsFlag::kLimitBuy || (bsflag.size() == 2 && bsflag[1] >= 'a' && bsflag[1] <= 'e') ||
           bsflag == BsFlag::kFiveLevelsToLimitBuy;
}

SimPrice simRequestedPrice(const SimRequest& request, const SimMarket& market, const SimInstrument& stock, double now) {
    SimPrice price = simParsePrice(request.value(Key::kPrice), stock.decimals);
    if (price <= 0) price = simPriceOf(market.quote(stock, now).last, stock.decimals);
    return price;
}

SimMoney simOrderAmountBound(const SimOrder& o, const SimMarket& market, double now) {
    SimPrice price = o.price;
    if (price <= 0)
        if (const SimInstrument* s = simTradableStock(market, o.code))
            price = simPriceOf(simPriceLimits(market, *s, now).up, s->decimals);
    return simAmountOf(o.quantity, price);
}

std::string simCheckOrder(SimCall& c, const SimCustomer& who, SimOrder& o) {
    const SimMarket& market = c.server.market();
    const SimRequest& r = c.request;
    const SimInstrument* s = simTradableStock(market, r.value(Key::kStockCode));
    if (!s) return kUnknownStock;
    const std::string stockMarket = simShareholderMarket(*s);
    const std::string market_ = r.value(Key::kMarket), secuid = r.value(Key::kSecuId);
    const SimShareholder* holder = nullptr;
    for (const auto& h : who.shareholders)
        if (h.secuid == secuid && h.market == market_) holder = &h;
    if (!holder) return kUnknownShareholder;
    if (market_ != stockMarket) return kWrongMarket;
    const std::string bsflag = r.value(Key::kBsFlag);
    if (!offered(stockMarket, bsflag)) return kTypeNotOffered;
    const int64_t quantity = parseQuantity(r.value(Key::kQuantity));
    if (quantity <= 0) return kBadQuantity;
    if (simIsBuy(bsflag) && quantity % s->lot() != 0)
        return s->classId == 5 ? "买入数量必须为10张的整数倍" : "买入数量必须为100股的整数倍";
    SimPrice price = 0;
    if (isLimit(bsflag)) {
        const SimPriceLimits limits = simPriceLimits(market, *s, c.now);
        price = simParsePrice(r.value(Key::kPrice), s->decimals);
        if (price <= 0) return kBadPrice;
        if (price > simPriceOf(limits.up, s->decimals) || price < simPriceOf(limits.down, s->decimals))
            return kBeyondLimits;
    }
    o.fundid = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(who, r)->fundid;
    o.secuid = secuid;
    o.market = stockMarket;
    o.code = s->code;
    o.name = s->name;
    o.bsflag = bsflag;
    o.price = price;
    o.quantity = quantity;
    return "";
}

const SimOrder& simPlaceOrder(SimCall& c, SimCustomer& who, SimOrder o) {
    SimOrder& placed = keep(c, who, std::move(o));
    if (inTradingTime(c.now)) matchOrder(who, placed, c.server.market(), c.now);
    return placed;
}

const SimOrder& simPlaceDoneOrder(SimCall& c, SimCustomer& who, SimOrder o, SimPrice price, SimMoney amount) {
    SimOrder& placed = keep(c, who, std::move(o));
    fill(who, placed, placed.quantity, price, amount, placed.date, placed.time);
    return placed;
}

std::vector<uint8_t> simStockInfoReply(const SimMarket& market, const SimInstrument& s, int64_t num, double now) {
    const SimQuote q = market.quote(s, now);
    const SimPriceLimits limits = simPriceLimits(market, s, now);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kStockName, TCRSFieldType::VarText, 0, "证券名称")
        .addField(Col::kMaxQuantity, TCRSFieldType::Integer, 4, "最大数量")
        .addField(Col::kPrice, TCRSFieldType::VarText, 0, "价格")
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场")
        .addField(Col::kStockCode, TCRSFieldType::VarText, 0, "证券代码")
        .addField(Col::kLimitUp, TCRSFieldType::VarText, 0, "涨停价")
        .addField(Col::kLimitDown, TCRSFieldType::VarText, 0, "跌停价")
        .addRecord({s.name, std::clamp<int64_t>(num, 0, 999999998), SimMarket::priceText(q.last, s.decimals),
                    simShareholderMarket(s), s.code, SimMarket::priceText(limits.up, s.decimals),
                    SimMarket::priceText(limits.down, s.decimals)})
        .bytes();
}

SimOrdersRoom::SimOrdersRoom() {
    // 宁德时代 trades on the growth board: a buy asks the customer to accept its risks first.
    riskCodes = {"300750"};
}

void SimOrderLedger::dayEnded(SimCustomer& who, SimOrder& order, int) const { cancelRest(who, order); }

bool simCancellable(const SimOrder& order) {
    return order.isOpen() && (!order.ledger || order.ledger->cancellable(order));
}

bool simCancelOrder(SimCustomer& who, SimOrder& order) {
    if (!simCancellable(order)) return false;
    cancelRest(who, order);
    return true;
}

void simSettle(SimOrdersRoom& room, SimCustomer& who, double now) {
    const int today = SimClock::local(now).yyyymmdd();
    int& settled = room.settledDay[who.custid];
    if (settled < today) {
        settle(who, today, settled);
        settled = today;
    }
}

void simMatch(SimCustomer& who, const SimMarket& market, double now) {
    if (!inTradingTime(now)) return;
    for (auto& o : who.orders)
        if (o.isOpen()) matchOrder(who, o, market, now);
}

const SimInstrument* simTradableStock(const SimMarket& market, const std::string& code) {
    for (int m : {1, 2})
        if (const SimInstrument* s = market.find(code, m); s && s->classId != 2) return s;
    return nullptr;
}

std::string simShareholderMarket(const SimInstrument& s) {
    const bool b = s.classId == 3;
    if (s.market == 1) return b ? AccountType::kShenzhenB : AccountType::kShenzhenA;
    return b ? AccountType::kShanghaiB : AccountType::kShanghaiA;
}

int simCurrencyOf(const SimInstrument& s) {
    if (s.classId != 3) return SimCurrency::kRMB;
    return s.market == 1 ? SimCurrency::kHKD : SimCurrency::kUSD;
}

SimPrice simPriceOf(int64_t value, int decimals) {
    for (int k = decimals; k < 3; ++k) value *= 10;
    for (int k = 3; k < decimals; ++k) value /= 10;
    return value;
}

int64_t simQuoteValueOf(SimPrice price, int decimals) {
    for (int k = decimals; k < 3; ++k) price /= 10;
    for (int k = 3; k < decimals; ++k) price *= 10;
    return price;
}

SimPriceLimits simPriceLimits(const SimMarket& market, const SimInstrument& s, double now) {
    const int64_t prevClose = market.prevClose(s, simTradingDayOf(now));
    return {(prevClose * 11 + 5) / 10, std::max<int64_t>((prevClose * 9 + 5) / 10, 1)};
}

bool simAdvanceBooks(SimCall& c, SimCustomer& who) {
    SimOrdersRoom& room = c.server.room<SimOrdersRoom>();
    const int settledBefore = room.settledDay[who.custid];
    // What matching may change of the orders open now (it adds none).
    struct Mark {
        size_t at;
        int64_t matched, metQuote;
        SimOrderStatus status;
    };
    std::vector<Mark> open;
    for (size_t i = 0; i < who.orders.size(); ++i)
        if (const SimOrder& o = who.orders[i]; o.isOpen()) open.push_back({i, o.matched, o.metQuote, o.status});
    // The night's work first: the stock orders', then every family's step in
    // the night's order (SimRegistry.h: SimNightStep); each settles on the
    // first pass of a day, as this. Then the day's trading.
    simSettle(room, who, c.now);
    for (const auto& [step, settle] : c.server.registry().daySettlers()) settle(c, who);
    simMatch(who, c.server.market(), c.now);
    bool changed = room.settledDay[who.custid] != settledBefore;
    for (const Mark& m : open) {
        const SimOrder& o = who.orders[m.at];
        changed = changed || o.matched != m.matched || o.metQuote != m.metQuote || o.status != m.status;
    }
    return changed;
}

const SimCustomer* simTradeCustomerToRead(SimCall& c, SimRefusal* refusal) {
    const SimCustomer* who = c.server.view<SimTradeRoom>().books.customerOfRequest(c.request, refusal);
    if (!who) return nullptr;
    c.server.advanceBooks(c, who->custid);
    return who;
}

SimCustomer& simTradeCustomerToChange(SimCall& c, const SimCustomer& reader) {
    return *c.server.room<SimTradeRoom>().books.customerById(reader.custid);
}

std::string simOrderStatusText(const SimOrder& o) {
    if (o.ledger)
        if (std::string named = o.ledger->statusText(o); !named.empty()) return named;
    switch (o.status) {
        case SimOrderStatus::Reported:
            return "已报";
        case SimOrderStatus::PartlyFilled:
            return "部成";
        case SimOrderStatus::Filled:
            return "已成";
        case SimOrderStatus::Cancelled:
            return o.matched > 0 ? "部撤" : "已撤";
        case SimOrderStatus::Refused:
            return "废单";
    }
    return "";
}

void registerOrderFunctions(SimRegistry& r) {
    r.menu().add({201, 2, "买入", "buysale?MMLB=0"});
    r.menu().add({202, 2, "卖出", "buysale?MMLB=1"});
    r.add(kStockInfo, stockInfo);
    r.add(kOrder, order);
}
