// The margin family of the simulated server: credit orders over the stock
// orders' road (SimOrders.h: the same checks, matcher and replies), on the
// credit accounts of the books (SimBooks.h) and the brokerage's list of
// securities it finances and lends (SimMargin.h). Keys and columns are named
// in core/contracts/TradeContract.h and MarginContract.h. Both functions
// settle and match the customer's books first.
//
// 500/4 naming a credit flag ("creditflag", or the menu link's
//   "...?creditflag" key): the maximum of a credit order, answered as the
//   stock information is (stkname, num, price, market, stkcode, the limits).
//   Flag 0 (financing buy): the whole lots the financing room pays at the
//   request's price, or the last price; "该证券不是融资标的" for a stock the
//   brokerage does not finance. Flag 1 (short sell): the whole lots the short
//   room sells for at that price, at most the shares still lendable;
//   "该证券不是融券标的". Other flags "该信用业务暂不支持"; a customer without a
//   credit account "您尚未开通信用账户".
// 500/6 naming a credit flag ("creditid=0&creditflag=N"): a credit order.
//   The stock order's checks first (its refusal texts), then: flag 0: a buy
//   type ("融资买入委托类别错误"), a financed stock, its amount (at its price, a
//   market type's at the limit-up price) within the financing room
//   ("融资额度不足"), held until it fills; flag 1: the limit order alone
//   ("融券卖出只能限价委托"), a lendable stock, its shares within what may
//   still be lent ("可融券数量不足"), its amount within the short room
//   ("融券额度不足"). Answers set 0 "orderid". Matched as stock orders are; a
//   fill of a financing buy adds its amount to the financing debt and its
//   shares to the account's positions (sellable from the next trading day),
//   one of a short sell adds the shares to those owed and the money to the
//   short proceeds.
// The kinds that repay or move shares (the same checks of stock, account and
// quantity):
//   flag 2 buy-to-return: a buy type ("买券还券委托类别错误"), at most the
//     shares owed ("还券数量超过融券负债"), paid from the credit account's cash
//     ("可用资金不足"), held until it fills; a fill returns the shares owed and
//     frees their share of the short proceeds into the cash.
//   flag 7 sell-to-repay: a sell type ("卖券还款委托类别错误") of the credit
//     account's shares that may go ("可卖数量不足"); a fill repays the
//     financing debt first, the rest joins the cash.
//   flag 4 securities repayment: at once, at most the shares owed and the
//     shares the credit account may give ("可还数量不足").
//   flags 5 and 6, collateral in and out: at once, from the ordinary holding
//     of a stock taken as collateral ("该证券不是担保证券") or from the credit
//     account ("可划转数量不足"); out only while the account keeps three times
//     its liabilities ("划出后维持担保比例不足300%").
//   Flags 4, 5 and 6 are orders of the day done as they are taken (no price,
//   已成): 当日委托 (现券还券, 担保品转入, 担保品转出), 当日成交 and the history
//   list them under the number they answered.
//   Their maximums (500/4 with the flag): 2 the owed shares the free cash
//   buys in whole lots, 4 the owed shares the account holds, 7 the shares
//   that may go.
#include <algorithm>
#include <map>
#include <memory>

#include "core/TCRSWriter.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimClock.h"
#include "sim/SimMargin.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

namespace Flag = MarginContract::CreditFlag;
namespace Key = TradeContract::Key;

constexpr const char* kNoCreditAccount = "您尚未开通信用账户";
constexpr const char* kKindNotOffered = "该信用业务暂不支持";
constexpr const char* kNotFinanced = "该证券不是融资标的";
constexpr const char* kNotLendable = "该证券不是融券标的";
constexpr const char* kNotABuy = "融资买入委托类别错误";
constexpr const char* kShortLimitOnly = "融券卖出只能限价委托";
constexpr const char* kNoFinancingRoom = "融资额度不足";
constexpr const char* kNoShortRoom = "融券额度不足";
constexpr const char* kNothingToLend = "可融券数量不足";
constexpr int kLot = 100;

constexpr const char* kNotABuyBack = "买券还券委托类别错误";
constexpr const char* kNotASale = "卖券还款委托类别错误";
constexpr const char* kBeyondOwed = "还券数量超过融券负债";
constexpr const char* kNoCash = "可用资金不足";
constexpr const char* kNotSellable = "可卖数量不足";
constexpr const char* kNotReturnable = "可还数量不足";
constexpr const char* kNotCollateral = "该证券不是担保证券";
constexpr const char* kNotMovable = "可划转数量不足";
constexpr const char* kRatioTooLow = "划出后维持担保比例不足300%";
constexpr const char* kBadQuantity = "委托数量错误";
constexpr const char* kWrongAccount = "股东账户与证券市场不符";
constexpr int kLowestRatio = 3;  // assets at least three times the liabilities after collateral leaves

bool isOpenOfKind(const SimOrder& o, int flag) { return o.isOpen() && o.creditFlag == flag; }

// Returned shares leave the debt; their share of the short proceeds is free cash.
void returnOwed(SimCreditAccount& credit, const std::string& code, int64_t quantity) {
    auto it = credit.owed.find(code);
    if (it == credit.owed.end() || it->second <= 0) return;
    int64_t owedShares = 0;
    for (const auto& [c, q] : credit.owed) owedShares += q;
    const int64_t back = std::min(quantity, it->second);
    const SimMoney freed = owedShares > 0 ? credit.shortProceeds * back / owedShares : 0;
    credit.shortProceeds -= freed;
    credit.cash += freed;
    it->second -= back;
    if (it->second == 0) credit.owed.erase(it);
}

// The shares leave the credit account's position; answers what they cost.
int64_t takePosition(SimCreditAccount& credit, const std::string& code, int64_t quantity) {
    SimHolding* p = credit.position(code);
    if (!p) return 0;
    const int64_t carried = p->takeOut(std::min(quantity, p->quantity));
    if (p->quantity == 0)
        std::erase_if(credit.positions, [&](const SimHolding& h) { return h.code == code && h.quantity == 0; });
    return carried;
}

// A credit order's fills reach the credit account.
class CreditLedger : public SimOrderLedger {
public:
    // What a financing buy holds is reckoned from the order (simFinancingRoom).
    void release(SimCustomer&, const SimOrder&, SimMoney) const override {}
    void fill(SimCustomer& who, const SimOrder& o, int64_t quantity, SimPrice price, SimMoney amount) const override {
        if (!who.credit) return;
        SimCreditAccount& credit = *who.credit;
        if (o.creditFlag == Flag::kFinancingBuy) {
            credit.financingDebt += amount;
            SimHolding* p = credit.position(o.code);
            if (!p) {
                credit.positions.push_back({o.secuid, o.market, o.code, o.name});
                p = &credit.positions.back();
            }
            p->buy(quantity, price);  // sellable from the next trading day
        } else if (o.creditFlag == Flag::kShortSell) {
            credit.owed[o.code] += quantity;
            credit.shortProceeds += amount;
        } else if (o.creditFlag == Flag::kBuyToReturn) {
            returnOwed(credit, o.code, quantity);
            credit.cash -= amount;
        } else if (o.creditFlag == Flag::kSellToRepay) {
            takePosition(credit, o.code, quantity);
            const SimMoney repaid = std::min(credit.financingDebt, amount);
            credit.financingDebt -= repaid;
            credit.cash += amount - repaid;
        } else if (o.creditFlag == Flag::kSecuritiesRepayment) {
            takePosition(credit, o.code, quantity);
            returnOwed(credit, o.code, quantity);
        } else if (o.creditFlag == Flag::kCollateralIn) {
            SimHolding* h = who.holding(o.secuid, o.code);
            if (!h) return;
            const int64_t cost = h->takeOut(quantity);
            if (h->quantity == 0)
                std::erase_if(who.holdings, [&](const SimHolding& x) { return x.code == o.code && x.quantity == 0; });
            SimHolding* p = credit.position(o.code);
            if (!p) {
                credit.positions.push_back({o.secuid, o.market, o.code, o.name});
                p = &credit.positions.back();
            }
            p->putIn(quantity, cost);
        } else if (o.creditFlag == Flag::kCollateralOut) {
            const int64_t cost = takePosition(credit, o.code, quantity);
            SimHolding* h = who.holding(o.secuid, o.code);
            if (!h) {
                who.holdings.push_back({o.secuid, o.market, o.code, o.name});
                h = &who.holdings.back();
            }
            h->putIn(quantity, cost);
        }
    }
    // The shares an open short sell asks are reckoned from the order (simLendableLeft).
    void unsold(SimCustomer&, const SimOrder&, int64_t) const override {}
    std::string snapshotName() const override { return "credit"; }
};

}  // namespace

const std::shared_ptr<const SimOrderLedger>& simCreditLedger() {
    static const std::shared_ptr<const SimOrderLedger> ledger = std::make_shared<CreditLedger>();
    return ledger;
}

namespace {

int64_t owedOf(const SimCustomer& who, const std::string& code) {
    auto it = who.credit->owed.find(code);
    return it == who.credit->owed.end() ? 0 : it->second;
}

SimMarginTarget targetOf(SimCall& c, const std::string& code) {
    const auto& targets = c.server.view<SimMarginRoom>().targets;
    auto it = targets.find(code);
    return it == targets.end() ? SimMarginTarget{} : it->second;
}

int64_t wholeLots(int64_t shares) { return std::max<int64_t>(shares, 0) / kLot * kLot; }

std::vector<uint8_t> creditMaximum(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimMarket& market = c.server.market();
    const SimInstrument* s = simTradableStock(market, c.request.value(Key::kStockCode));
    if (!s) return simErrorSet(-1, "证券代码不存在");
    const SimMarginTarget target = targetOf(c, s->code);
    const SimPrice price = simRequestedPrice(c.request, market, *s, c.now);
    const int flag = simCreditFlag(c.request).value_or(-1);
    int64_t num = 0;
    if (flag == Flag::kFinancingBuy) {
        if (!target.financing) return simErrorSet(-1, kNotFinanced);
        if (price > 0) num = wholeLots(simFinancingRoom(*who) * 10 / price);
    } else if (flag == Flag::kShortSell) {
        if (!target.shortSelling) return simErrorSet(-1, kNotLendable);
        const auto& room = c.server.view<SimMarginRoom>();
        const int64_t lendable = simLendableLeft(room, c.server.view<SimTradeRoom>().books, s->code);
        if (price > 0) num = wholeLots(std::min(lendable, simShortRoom(*who) * 10 / price));
    } else if (flag == Flag::kBuyToReturn) {
        if (price > 0) num = std::min(owedOf(*who, s->code), wholeLots(simCreditCashFree(*who) * 10 / price));
    } else if (flag == Flag::kSecuritiesRepayment) {
        num = std::min(owedOf(*who, s->code), simCreditAvailable(*who, s->code));
    } else if (flag == Flag::kSellToRepay) {
        num = simCreditAvailable(*who, s->code);
    } else {
        return simErrorSet(-1, kKindNotOffered);
    }
    return simStockInfoReply(market, *s, num, c.now);
}

// The credit checks of a financing buy or a short sell that passed the stock
// order's; "" when it passes (a financing buy then holds its amount).
std::string checkCredit(SimCall& c, const SimCustomer& who, SimOrder& o, int flag) {
    const SimMarginTarget target = targetOf(c, o.code);
    if (flag == Flag::kFinancingBuy) {
        if (!simIsBuy(o.bsflag)) return kNotABuy;
        if (!target.financing) return kNotFinanced;
        const SimMoney amount = simOrderAmountBound(o, c.server.market(), c.now);
        if (amount > simFinancingRoom(who)) return kNoFinancingRoom;
        o.frozen = amount;
        return "";
    }
    if (flag == Flag::kBuyToReturn) {
        if (!simIsBuy(o.bsflag)) return kNotABuyBack;
        int64_t asked = 0;  // by open buy-to-return orders of the stock
        for (const auto& open : who.orders)
            if (isOpenOfKind(open, Flag::kBuyToReturn) && open.code == o.code) asked += open.quantity - open.matched;
        if (o.quantity + asked > owedOf(who, o.code)) return kBeyondOwed;
        const SimMoney amount = simOrderAmountBound(o, c.server.market(), c.now);
        if (amount > simCreditCashFree(who)) return kNoCash;
        o.frozen = amount;
        return "";
    }
    const SimInstrument& stock = *simTradableStock(c.server.market(), o.code);
    if (flag == Flag::kSellToRepay) {
        if (simIsBuy(o.bsflag)) return kNotASale;
        const int64_t sellable = simCreditAvailable(who, o.code);
        if (o.quantity > sellable) return kNotSellable;
        return simOddLotRefusal(stock, o.quantity, sellable);
    }
    if (o.bsflag != TradeContract::BsFlag::kLimitSell) return kShortLimitOnly;
    if (std::string odd = simOddLotRefusal(stock, o.quantity, 0); !odd.empty()) return odd;  // borrowed in whole lots
    if (!target.shortSelling) return kNotLendable;
    if (o.quantity > simLendableLeft(c.server.view<SimMarginRoom>(), c.server.view<SimTradeRoom>().books, o.code))
        return kNothingToLend;
    if (simAmountOf(o.quantity, o.price) > simShortRoom(who)) return kNoShortRoom;
    return "";
}

std::vector<uint8_t> orderIdReply(int64_t ordersno) {
    return TCRSWriter()
        .beginSet()
        .addField(MarginContract::Col::kOrderId, TCRSFieldType::VarText, 0, "委托编号")
        .addRecord({std::to_string(ordersno)})
        .bytes();
}

// A securities repayment or a collateral transfer: no order type, no price,
// done at once; "" when it passes.
std::string checkMove(SimCall& c, const SimCustomer& who, int flag, const SimInstrument& s, const std::string& secuid,
                      int64_t quantity) {
    const std::string market = c.request.value(Key::kMarket);
    bool own = false;
    for (const auto& h : who.shareholders) own = own || (h.secuid == secuid && h.market == market);
    if (!own || market != simShareholderMarket(s)) return kWrongAccount;
    if (quantity <= 0) return kBadQuantity;
    const SimCreditAccount& credit = *who.credit;
    const int64_t mayGo = simCreditAvailable(who, s.code);
    if (flag == Flag::kSecuritiesRepayment) {
        if (quantity > owedOf(who, s.code)) return kBeyondOwed;
        return quantity > mayGo ? kNotReturnable : "";
    }
    if (flag == Flag::kCollateralIn) {
        if (targetOf(c, s.code).collateralRate <= 0) return kNotCollateral;
        const SimHolding* h = who.holding(secuid, s.code);
        return !h || h->available < quantity ? kNotMovable : "";
    }
    if (quantity > mayGo) return kNotMovable;
    SimCreditWorth worth = simCreditWorth(who, c.server.market(), c.now);
    const SimHolding* p = credit.position(s.code);
    const SimMoney leaving = p ? quantity * simHoldingPrice(c.server.market(), *p, c.now) / 10 : 0;
    if (worth.liabilities > 0 && worth.assets - leaving < kLowestRatio * worth.liabilities) return kRatioTooLow;
    return "";
}

std::vector<uint8_t> creditMove(SimCall& c, const SimCustomer& who, int flag) {
    const SimInstrument* s = simTradableStock(c.server.market(), c.request.value(Key::kStockCode));
    if (!s) return simErrorSet(-1, "证券代码不存在");
    const std::string secuid = c.request.value(Key::kSecuId);
    const std::string qty = c.request.value(Key::kQuantity);
    const int64_t quantity =
        !qty.empty() && qty.size() <= 12 && qty.find_first_not_of("0123456789") == std::string::npos ? std::stoll(qty)
                                                                                                     : 0;
    if (std::string refused = checkMove(c, who, flag, *s, secuid, quantity); !refused.empty())
        return simErrorSet(-1, refused);
    // An order of the day, done as it is taken: the ledger moves the shares.
    SimOrder o;
    o.fundid = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(who, c.request)->fundid;
    o.secuid = secuid;
    o.market = simShareholderMarket(*s);
    o.code = s->code;
    o.name = s->name;
    // As the ordinary holdings see it: collateral coming out buys, the others give shares away.
    o.bsflag = flag == Flag::kCollateralOut ? TradeContract::BsFlag::kLimitBuy : TradeContract::BsFlag::kLimitSell;
    o.quantity = quantity;
    o.creditFlag = flag;
    o.ledger = simCreditLedger();
    return orderIdReply(simPlaceDoneOrder(c, simTradeCustomerToChange(c, who), o, 0, 0).ordersno);
}

std::vector<uint8_t> creditOrder(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const int flag = simCreditFlag(c.request).value_or(-1);
    if (flag == Flag::kSecuritiesRepayment || flag == Flag::kCollateralIn || flag == Flag::kCollateralOut)
        return creditMove(c, *who, flag);
    if (flag != Flag::kFinancingBuy && flag != Flag::kShortSell && flag != Flag::kBuyToReturn &&
        flag != Flag::kSellToRepay)
        return simErrorSet(-1, kKindNotOffered);
    SimOrder o;
    if (std::string refused = simCheckOrder(c, *who, o); !refused.empty()) return simErrorSet(-1, refused);
    if (std::string refused = checkCredit(c, *who, o, flag); !refused.empty()) return simErrorSet(-1, refused);
    o.creditFlag = flag;
    o.ledger = simCreditLedger();
    return orderIdReply(simPlaceOrder(c, simTradeCustomerToChange(c, *who), o).ordersno);
}

bool namesCreditFlag(const SimRequest& r) { return simCreditFlag(r).has_value(); }

}  // namespace

std::optional<int> simCreditFlag(const SimRequest& request) {
    const auto isCreditFlag = [](const std::string& key) { return MarginContract::creditFlagKeyMatches(key); };
    for (const auto& f : request.fieldsWhere(isCreditFlag)) {
        if (f.value.empty() || f.value.find_first_not_of("0123456789") != std::string::npos || f.value.size() > 2)
            return -1;  // named, but no kind this brokerage knows
        // The first names it: of the fields it came in, that one as the key is written.
        request.noteTakenWhere(isCreditFlag, {MarginContract::Key::kCreditFlag, f.value});
        return std::stoi(f.value);
    }
    return std::nullopt;
}

SimMoney simFinancingRoom(const SimCustomer& who) {
    if (!who.credit) return 0;
    SimMoney held = 0;
    for (const auto& o : who.orders)
        if (isOpenOfKind(o, Flag::kFinancingBuy)) held += o.frozen;
    return std::max<SimMoney>(who.credit->financingLimit - who.credit->financingDebt - held, 0);
}

SimMoney simShortRoom(const SimCustomer& who) {
    if (!who.credit) return 0;
    SimMoney asked = 0;
    for (const auto& o : who.orders)
        if (isOpenOfKind(o, Flag::kShortSell)) asked += simAmountOf(o.quantity - o.matched, o.price);
    return std::max<SimMoney>(who.credit->shortLimit - who.credit->shortProceeds - asked, 0);
}

int64_t simLendableLeft(const SimMarginRoom& room, const SimBooks& books, const std::string& code) {
    auto it = room.targets.find(code);
    if (it == room.targets.end() || !it->second.shortSelling) return 0;
    int64_t used = 0;
    for (const auto& who : books.customers) {
        if (who.credit)
            if (auto owed = who.credit->owed.find(code); owed != who.credit->owed.end()) used += owed->second;
        for (const auto& o : who.orders)
            if (isOpenOfKind(o, Flag::kShortSell) && o.code == code) used += o.quantity - o.matched;
    }
    return std::max<int64_t>(it->second.lendable - used, 0);
}

namespace {

// What financing bought today may be sold from the next trading day: the
// positions' sellable shares as of the call, which the credit account's
// day settles (SimRegistry.h).
void settleSellable(SimCall& c, SimCustomer& who) {
    if (!who.credit) return;
    const int today = SimClock::local(c.now).yyyymmdd();
    std::map<int64_t, const SimOrder*> financing;  // by order number
    for (const auto& o : who.orders)
        if (o.creditFlag == Flag::kFinancingBuy) financing[o.ordersno] = &o;
    std::map<std::string, int64_t> boughtToday;  // by code
    for (const auto& d : who.deals)
        if (auto o = financing.find(d.ordersno); d.date == today && o != financing.end())
            boughtToday[o->second->code] += d.quantity;
    for (auto& p : who.credit->positions) p.available = std::max<int64_t>(p.quantity - boughtToday[p.code], 0);
}

}  // namespace

const SimCustomer* simCreditCustomerToRead(SimCall& c, SimRefusal* refusal) {
    const SimCustomer* who = simTradeCustomerToRead(c, refusal);
    if (who && !who->credit) {
        *refusal = kNoCreditAccount;
        return nullptr;
    }
    return who;
}

int64_t simCreditAvailable(const SimCustomer& who, const std::string& code) {
    if (!who.credit) return 0;
    for (const auto& p : who.credit->positions) {
        if (p.code != code) continue;
        int64_t asked = 0;
        for (const auto& o : who.orders)
            if (isOpenOfKind(o, Flag::kSellToRepay) && o.code == code) asked += o.quantity - o.matched;
        return std::max<int64_t>(p.available - asked, 0);
    }
    return 0;
}

SimMoney simCreditCashFree(const SimCustomer& who) {
    if (!who.credit) return 0;
    SimMoney held = 0;
    for (const auto& o : who.orders)
        if (isOpenOfKind(o, Flag::kBuyToReturn)) held += o.frozen;
    return std::max<SimMoney>(who.credit->cash - held, 0);
}

SimCreditWorth simCreditWorth(const SimCustomer& who, const SimMarket& market, double now) {
    SimCreditWorth w;
    if (!who.credit) return w;
    const SimCreditAccount& credit = *who.credit;
    for (const auto& p : credit.positions) w.positions += p.quantity * simHoldingPrice(market, p, now) / 10;
    for (const auto& [code, quantity] : credit.owed)
        if (const SimInstrument* s = simTradableStock(market, code))
            w.owed += quantity * simPriceOf(market.quote(*s, now).last, s->decimals) / 10;
    w.assets = credit.cash + credit.shortProceeds + w.positions;
    w.liabilities = credit.financingDebt + w.owed;
    return w;
}

void registerMarginFunctions(SimRegistry& r) {
    r.menu().add({501, 5, "融资买入", "rzrq_rzmr?creditflag=0"});
    r.menu().add({502, 5, "融券卖出", "rzrq_rzmr?creditflag=1"});
    r.menu().add({503, 5, "买券还券", "rzrq_mqhq?tc_mfuncno=500&tc_sfuncno=92&position=poststr&unlist=market"});
    r.menu().add({504, 5, "现券还券", "rzrq_xqhq?tc_mfuncno=500&tc_sfuncno=92&position=poststr&unlist=market"});
    r.menu().add({505, 5, "直接还款", "rzrq_xjhk"});
    r.menu().add({506, 5, "信用资产", "rzrq_xyzccx?tc_mfuncno=500&tc_sfuncno=91&position=poststr"});
    r.menu().add({507, 5, "卖券还款", "rzrq_mqhk?tc_mfuncno=500&tc_sfuncno=93&position=poststr&unlist=market"});
    r.menu().add({508, 5, "担保品划转", "rzrq_dbphz?tc_mfuncno=500&tc_sfuncno=94&position=poststr&unlist=market"});
    r.menu().add({509, 5, "担保证券查询", "rzrq_dbpzq?tc_mfuncno=500&tc_sfuncno=95&position=poststr"});
    r.menu().add({510, 5, "标的证券查询", "rzrq_bdzq?tc_mfuncno=500&tc_sfuncno=96&position=poststr"});
    r.menu().add({511, 5, "信用额度", "rzrq_xysxcx?tc_mfuncno=500&tc_sfuncno=90&position=poststr"});
    r.menu().add({512, 5, "自动还款设置", "rzrq_zdhksz"});
    r.addDaySettler(SimNightStep::CreditSellable, settleSellable);
    r.addVariant(TradeContract::kStockInfo, namesCreditFlag, creditMaximum);
    r.addVariant(TradeContract::kOrder, namesCreditFlag, creditOrder);
    simRegisterMarginAccountFunctions(r);
}
