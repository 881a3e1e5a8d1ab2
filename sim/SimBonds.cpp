// The exchange products family of the simulated server: convertible bonds
// and exchange-listed funds (SimBonds.h), ordered over the stock order
// function. Keys and columns are named in core/contracts/WealthContract.h
// and TradeContract.h. Every function settles and matches the customer's
// books first, which confirms the orders of earlier days.
//
// 3500/1 "stkcode", "bsflag" (0G conversion, 0H put-back), with the session:
//   set 0 "stkname", "price" (the conversion price, or the put-back price a
//   张), "market" (the shareholder market); no record for a code that is no
//   convertible bond. Refusals: "该债券不在回售期" (0H outside the window),
//   "委托类别错误" (another flag).
// 500/4 with bsflag 03 (subscription) or 04 (redemption): the exchange fund:
//   "stkname", "market", "fundavl" (the cash), "num" (03: the whole 元 the
//   cash allows; 04: the shares that may be redeemed); no record for a code
//   that is no exchange fund.
// 500/6 with bsflag 0G, 0H, 03 or 04: "stkcode", "market", "secuid", "qty"
//   (张; 元 for 03, an amount: SimAmounts.h; 份 for 04), "price" (0G and 0H).
//   Refusals, in order: "证券代码不存在"; "委托类别错误" (a bond's flag for a
//   fund or the other way); "股东代码不存在"; "股东代码与证券市场不符";
//   "该债券不在回售期"; "委托价格错误" (a bond order without a price);
//   "委托数量错误"; "申购金额低于最低限额%s元"; "可用资金不足"; "可用数量不足"
//   (bonds or fund shares). An accepted order holds the bonds, shares or
//   money and answers "ordersno".
#include "sim/SimBonds.h"

#include <algorithm>
#include <memory>

#include "core/TCRSWriter.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/WealthContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

namespace Key = TradeContract::Key;
namespace Col = TradeContract::Col;
namespace Flag = WealthContract::BsFlag;
using Kind = SimExchangeProduct::Kind;

constexpr const char* kUnknownCode = "证券代码不存在";
constexpr const char* kWrongFlag = "委托类别错误";
constexpr const char* kUnknownShareholder = "股东代码不存在";
constexpr const char* kWrongMarket = "股东代码与证券市场不符";
constexpr const char* kPutBackClosed = "该债券不在回售期";
constexpr const char* kBadPrice = "委托价格错误";
constexpr const char* kBadQuantity = "委托数量错误";
constexpr const char* kNoMoney = "可用资金不足";
constexpr const char* kNotEnough = "可用数量不足";

bool isBondFlag(const std::string& f) { return f == Flag::kConvert || f == Flag::kPutBack; }
bool isFundFlag(const std::string& f) { return f == Flag::kSubscribe || f == Flag::kRedeem; }

SimBalance& cashOf(SimCustomer& who, const SimOrder& o) {
    SimFundAccount* fund = who.fundAccount(o.fundid);
    return (fund ? *fund : who.fundAccounts.front()).balances[SimCurrency::kRMB];
}

// What the order's fund account has available in RMB (the main one's when it names none of the customer's).
SimMoney availableFor(const SimCustomer& who, const SimOrder& o) {
    const SimFundAccount* fund = who.fundAccount(o.fundid);
    const auto& balances = (fund ? *fund : who.fundAccounts.front()).balances;
    auto it = balances.find(SimCurrency::kRMB);
    return it == balances.end() ? 0 : it->second.available();
}

SimHolding& holdingFor(SimCustomer& who, const SimOrder& o, const std::string& code, const std::string& name) {
    if (SimHolding* h = who.holding(o.secuid, code)) return *h;
    who.holdings.push_back({o.secuid, o.market, code, name});
    return who.holdings.back();
}

// How a product's orders move the books: what they hold while open, and
// what the brokerage's overnight confirmation gives.
class ProductLedger : public SimOrderLedger {
public:
    explicit ProductLedger(SimExchangeProduct product) : p_(std::move(product)) {}

    void release(SimCustomer&, const SimOrder&, SimMoney) const override {}
    void fill(SimCustomer&, const SimOrder&, int64_t, SimPrice, SimMoney) const override {}
    void unsold(SimCustomer& who, const SimOrder& o, int64_t quantity) const override {
        if (o.bsflag == Flag::kSubscribe) {
            cashOf(who, o).release(o.frozen);
        } else if (SimHolding* h = who.holding(o.secuid, o.code)) {
            h->available += quantity;
        }
    }
    bool holdsShares(const SimOrder& o) const override { return o.bsflag != Flag::kSubscribe; }
    // The bonds and the fund trade on the market; these orders of them do not.
    bool meetsMarket(const SimOrder&) const override { return false; }

    void dayEnded(SimCustomer& who, SimOrder& o, int) const override {
        SimBalance& cash = cashOf(who, o);
        SimMoney amount = 0;
        if (o.bsflag == Flag::kSubscribe) {
            const int64_t shares = p_.nav > 0 ? o.frozen * 10 / p_.nav : 0;
            amount = simAmountOf(shares, p_.nav);
            cash.payHeld(amount);
            cash.release(o.frozen - amount);  // the money no whole share took
            holdingFor(who, o, p_.code, p_.name).putIn(shares, shares * p_.nav);
        } else {
            // The bonds or fund shares leave as sold at the price the brokerage takes them for.
            const SimPrice price = o.bsflag == Flag::kConvert   ? kSimBondFaceValue
                                   : o.bsflag == Flag::kPutBack ? p_.putBackPrice
                                                                : p_.nav;
            if (SimHolding* h = who.holding(o.secuid, o.code)) h->sell(o.quantity, price);
            amount = simAmountOf(o.quantity, price);
            if (o.bsflag == Flag::kConvert) {
                const int64_t shares = p_.conversionPrice > 0 ? o.quantity * kSimBondFaceValue / p_.conversionPrice : 0;
                cash.deposit(amount - simAmountOf(shares, p_.conversionPrice));  // the rest of the face value
                holdingFor(who, o, p_.stockCode, p_.stockName).putIn(shares, shares * p_.conversionPrice);
            } else {
                cash.deposit(amount);
            }
        }
        o.matched = o.quantity;
        o.status = SimOrderStatus::Filled;
        who.deals.push_back({o.ordersno, o.date, o.time, o.price, o.quantity, amount});
    }

    std::string snapshotName() const override { return "product " + p_.code; }

private:
    SimExchangeProduct p_;
};

}  // namespace

std::shared_ptr<const SimOrderLedger> simProductLedger(const SimExchangeProduct& product) {
    return std::make_shared<const ProductLedger>(product);
}

namespace {

std::vector<uint8_t> bondInfo(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const std::string flag = c.request.value(Key::kBsFlag);
    if (!isBondFlag(flag)) return simErrorSet(-1, kWrongFlag);
    const SimExchangeProduct* p = c.server.view<SimBondsRoom>().product(c.request.value(Key::kStockCode));
    if (p && p->kind != Kind::ConvertibleBond) p = nullptr;
    if (p && flag == Flag::kPutBack && !p->putBackOpen) return simErrorSet(-1, kPutBackClosed);
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kStockName, TCRSFieldType::VarText, 0, "证券名称")
        .addField(Col::kPrice, TCRSFieldType::VarText, 0, "价格")
        .addField(TradeContract::Col::kMarket, TCRSFieldType::VarText, 0, "市场");
    if (p)
        w.addRecord({p->name, SimMarket::priceText(flag == Flag::kConvert ? p->conversionPrice : p->putBackPrice, 3),
                     p->market});
    return w.bytes();
}

std::vector<uint8_t> fundInfo(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimExchangeProduct* p = c.server.view<SimBondsRoom>().product(c.request.value(Key::kStockCode));
    if (p && p->kind != Kind::ExchangeFund) p = nullptr;
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kStockName, TCRSFieldType::VarText, 0, "基金名称")
        .addField(TradeContract::Col::kMarket, TCRSFieldType::VarText, 0, "市场")
        .addField(WealthContract::Col::kCash, TCRSFieldType::VarText, 0, "可用资金")
        .addField(Col::kMaxQuantity, TCRSFieldType::VarText, 0, "上限");
    if (p) {
        // What the account the request names has: an order of it would pay from there.
        SimOrder probe;
        probe.fundid = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(*who, c.request)->fundid;
        const SimMoney available = availableFor(*who, probe);
        int64_t num = available / 100;
        if (c.request.value(Key::kBsFlag) == Flag::kRedeem) {
            num = 0;
            for (const auto& h : who->holdings)
                if (h.code == p->code) num += h.available;
        }
        w.addRecord({p->name, p->market, SimMarket::priceText(available, 2), std::to_string(num)});
    }
    return w.bytes();
}

// A whole positive number of 张 or 份; -1 otherwise.
int64_t wholeQuantity(const std::string& text) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return -1;
    const int64_t n = std::stoll(text);
    return n > 0 ? n : -1;
}

std::vector<uint8_t> order(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const SimRequest& r = c.request;
    const std::string flag = r.value(Key::kBsFlag);
    const SimExchangeProduct* p = c.server.view<SimBondsRoom>().product(r.value(Key::kStockCode));
    if (!p) return simErrorSet(-1, kUnknownCode);
    if ((p->kind == Kind::ConvertibleBond) != isBondFlag(flag)) return simErrorSet(-1, kWrongFlag);
    const SimShareholder* holder = nullptr;
    for (const auto& h : reader->shareholders)
        if (h.secuid == r.value(Key::kSecuId) && h.market == r.value(Key::kMarket)) holder = &h;
    if (!holder) return simErrorSet(-1, kUnknownShareholder);
    if (holder->market != p->market) return simErrorSet(-1, kWrongMarket);
    if (flag == Flag::kPutBack && !p->putBackOpen) return simErrorSet(-1, kPutBackClosed);

    SimOrder o;
    o.fundid = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(*reader, r)->fundid;
    o.secuid = holder->secuid;
    o.market = holder->market;
    o.code = p->code;
    o.name = p->name;
    o.bsflag = flag;
    if (isBondFlag(flag)) {
        o.price = simParsePrice(r.value(Key::kPrice), 3);
        if (o.price <= 0) return simErrorSet(-1, kBadPrice);
    } else {
        o.price = p->nav;
    }
    if (flag == Flag::kSubscribe) {
        const SimMoney amount = simParseHundredths(r.value(Key::kQuantity));
        if (amount <= 0) return simErrorSet(-1, kBadQuantity);
        if (amount < p->minimum)
            return simErrorSet(-1, "申购金额低于最低限额" + SimMarket::priceText(p->minimum, 2) + "元");
        if (availableFor(*reader, o) < amount) return simErrorSet(-1, kNoMoney);
        o.frozen = amount;
        o.quantity = amount / 100;  // whole 元, as the order lists show it
    } else {
        o.quantity = wholeQuantity(r.value(Key::kQuantity));
        if (o.quantity <= 0) return simErrorSet(-1, kBadQuantity);
        const SimHolding* h = reader->holding(o.secuid, o.code);
        if (!h || h->available < o.quantity) return simErrorSet(-1, kNotEnough);
    }
    SimCustomer& who = simTradeCustomerToChange(c, *reader);
    if (flag == Flag::kSubscribe)
        cashOf(who, o).hold(o.frozen);
    else
        who.holding(o.secuid, o.code)->available -= o.quantity;
    o.ledger = simProductLedger(*p);
    const SimOrder& placed = simPlaceOrder(c, who, o);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kOrderNumber, TCRSFieldType::VarText, 0, "委托编号")
        .addRecord({std::to_string(placed.ordersno)})
        .bytes();
}

bool namesExchangeOrder(const SimRequest& r) {
    const std::string f = r.value(Key::kBsFlag);
    return isBondFlag(f) || isFundFlag(f);
}
bool namesExchangeFund(const SimRequest& r) { return isFundFlag(r.value(Key::kBsFlag)); }

SimExchangeProduct bond(const char* code, const char* name, const char* market, const char* stock,
                        const char* stockName, SimPrice conversion, bool putBack, SimPrice putBackPrice) {
    SimExchangeProduct p;
    p.kind = Kind::ConvertibleBond;
    p.code = code;
    p.name = name;
    p.market = market;
    p.stockCode = stock;
    p.stockName = stockName;
    p.conversionPrice = conversion;
    p.putBackOpen = putBack;
    p.putBackPrice = putBackPrice;
    return p;
}

SimExchangeProduct exchangeFund(const char* code, const char* name, const char* market, SimPrice nav,
                                SimMoney minimum) {
    SimExchangeProduct p;
    p.kind = Kind::ExchangeFund;
    p.code = code;
    p.name = name;
    p.market = market;
    p.nav = nav;
    p.minimum = minimum;
    return p;
}

}  // namespace

// The products the brokerage opens with (the project's seed list): the
// convertible bond 110001 模拟转债 (沪A, into 600000 浦发银行 at 7.000 元,
// put back at 100.300 元 a 张), 128001 深模转债 (深A, into 000001 at 10.500,
// no put-back now) and the exchange fund 510999 模拟ETF (沪A, 1.000 元 a
// share, 1,000.00 元 at least).
SimBondsRoom::SimBondsRoom()
    : products{bond("110001", "模拟转债", "1", "600000", "浦发银行", 7000, true, 100300),
               bond("128001", "深模转债", "0", "000001", "平安银行", 10500, false, 0),
               exchangeFund("510999", "模拟ETF", "1", 1000, 100000)} {}

const SimExchangeProduct* SimBondsRoom::product(const std::string& code) const {
    for (const auto& p : products)
        if (p.code == code) return &p;
    return nullptr;
}

void registerBondFunctions(SimRegistry& r) {
    r.add(WealthContract::kBondInfo, bondInfo);
    r.addVariant(TradeContract::kStockInfo, namesExchangeFund, fundInfo);
    r.addVariant(TradeContract::kOrder, namesExchangeOrder, order);
    r.menu().add({330, 3, "转股回售", "zghs"});
    r.menu().add({331, 3, "交易所基金申赎", "jysjjss"});
}
