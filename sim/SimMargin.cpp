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
#include <algorithm>
#include <memory>

#include "core/TCRSWriter.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimClock.h"
#include "sim/SimMargin.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
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

bool isOpenOfKind(const SimOrder& o, int flag) { return o.isOpen() && o.creditFlag == flag; }

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
                credit.positions.push_back({o.secuid, o.market, o.code, o.name, 0, 0, 0});
                p = &credit.positions.back();
            }
            p->cost = (p->cost * p->quantity + price * quantity) / (p->quantity + quantity);
            p->quantity += quantity;  // sellable from the next trading day
        } else if (o.creditFlag == Flag::kShortSell) {
            credit.owed[o.code] += quantity;
            credit.shortProceeds += amount;
        }
    }
    // The shares an open short sell asks are reckoned from the order (simLendableLeft).
    void unsold(SimCustomer&, const SimOrder&, int64_t) const override {}
};

const std::shared_ptr<const SimOrderLedger>& creditLedger() {
    static const std::shared_ptr<const SimOrderLedger> ledger = std::make_shared<CreditLedger>();
    return ledger;
}

// The customer of a credit request, settled and matched; null with the refusal.
SimCustomer* creditCustomerOf(SimCall& c, std::string* refusal) {
    SimCustomer* who = simTradeCustomer(c, refusal);
    if (!who) return nullptr;
    if (!who->credit) {
        *refusal = kNoCreditAccount;
        return nullptr;
    }
    // What financing bought today may be sold from the next trading day.
    const int today = SimClock::local(c.now).yyyymmdd();
    for (auto& p : who->credit->positions) {
        int64_t boughtToday = 0;
        for (const auto& d : who->deals) {
            if (d.date != today) continue;
            for (const auto& o : who->orders)
                if (o.ordersno == d.ordersno && o.creditFlag == Flag::kFinancingBuy && o.code == p.code)
                    boughtToday += d.quantity;
        }
        p.available = std::max<int64_t>(p.quantity - boughtToday, 0);
    }
    return who;
}

SimMarginTarget targetOf(SimCall& c, const std::string& code) {
    const auto& targets = c.server.room<SimMarginRoom>().targets;
    auto it = targets.find(code);
    return it == targets.end() ? SimMarginTarget{} : it->second;
}

int64_t wholeLots(int64_t shares) { return std::max<int64_t>(shares, 0) / kLot * kLot; }

std::vector<uint8_t> creditMaximum(SimCall& c) {
    std::string refusal;
    SimCustomer* who = creditCustomerOf(c, &refusal);
    if (!who) return simErrorSet(-1, refusal);
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
        const auto& room = c.server.room<SimMarginRoom>();
        const int64_t lendable = simLendableLeft(room, c.server.room<SimTradeRoom>().books, s->code);
        if (price > 0) num = wholeLots(std::min(lendable, simShortRoom(*who) * 10 / price));
    } else {
        return simErrorSet(-1, kKindNotOffered);
    }
    return simStockInfoReply(market, *s, num, c.now);
}

// The credit checks of a financing buy or a short sell that passed the stock
// order's; "" when it passes (a financing buy then holds its amount).
std::string checkCredit(SimCall& c, SimCustomer& who, SimOrder& o, int flag) {
    const SimMarginTarget target = targetOf(c, o.code);
    if (flag == Flag::kFinancingBuy) {
        if (!simIsBuy(o.bsflag)) return kNotABuy;
        if (!target.financing) return kNotFinanced;
        const SimMoney amount = simOrderAmountBound(o, c.server.market(), c.now);
        if (amount > simFinancingRoom(who)) return kNoFinancingRoom;
        o.frozen = amount;
        return "";
    }
    if (o.bsflag != TradeContract::BsFlag::kLimitSell) return kShortLimitOnly;
    if (!target.shortSelling) return kNotLendable;
    if (o.quantity > simLendableLeft(c.server.room<SimMarginRoom>(), c.server.room<SimTradeRoom>().books, o.code))
        return kNothingToLend;
    if (simAmountOf(o.quantity, o.price) > simShortRoom(who)) return kNoShortRoom;
    return "";
}

std::vector<uint8_t> creditOrder(SimCall& c) {
    std::string refusal;
    SimCustomer* who = creditCustomerOf(c, &refusal);
    if (!who) return simErrorSet(-1, refusal);
    const int flag = simCreditFlag(c.request).value_or(-1);
    if (flag != Flag::kFinancingBuy && flag != Flag::kShortSell) return simErrorSet(-1, kKindNotOffered);
    SimOrder o;
    if (std::string refused = simCheckOrder(c, *who, o); !refused.empty()) return simErrorSet(-1, refused);
    if (std::string refused = checkCredit(c, *who, o, flag); !refused.empty()) return simErrorSet(-1, refused);
    o.creditFlag = flag;
    o.ledger = creditLedger();
    const SimOrder& placed = simPlaceOrder(c, *who, o);
    return TCRSWriter()
        .beginSet()
        .addField(MarginContract::Col::kOrderId, TCRSFieldType::VarText, 0, "委托编号")
        .addRecord({std::to_string(placed.ordersno)})
        .bytes();
}

bool namesCreditFlag(const SimRequest& r) { return simCreditFlag(r).has_value(); }

}  // namespace

std::optional<int> simCreditFlag(const SimRequest& request) {
    for (const auto& f : request.fields())
        if (MarginContract::creditFlagKeyMatches(f.key)) {
            if (f.value.empty() || f.value.find_first_not_of("0123456789") != std::string::npos || f.value.size() > 2)
                return -1;  // named, but no kind this brokerage knows
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

void registerMarginFunctions(SimRegistry& r) {
    r.menu().add({501, 5, "融资买入", "rzrq_rzmr?creditflag=0"});
    r.menu().add({502, 5, "融券卖出", "rzrq_rzmr?creditflag=1"});
    r.menu().add({503, 5, "卖券还款", "rzrq_mqhq"});
    r.menu().add({504, 5, "买券还券", "rzrq_xqhq"});
    r.menu().add({505, 5, "直接还款", "rzrq_xjhk"});
    r.menu().add({506, 5, "信用资产", "rzrq_xyzccx"});
    r.addVariant(TradeContract::kStockInfo, namesCreditFlag, creditMaximum);
    r.addVariant(TradeContract::kOrder, namesCreditFlag, creditOrder);
}
