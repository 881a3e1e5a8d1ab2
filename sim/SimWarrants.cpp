// The warrant family of the simulated server (functions, keys and columns
// named in core/contracts/WarrantContract.h; the warrants in SimWarrants.h).
// A request of an ended session is refused ("会话已失效，请重新登录").
//
// 100/28 query: "stkcode" an exercise code. Set 0 "market", "stkcode",
//   "stkname", "exerprice", "fundavl" (available 人民币), "stkavl" (the
//   customer's warrants that may be sold now), "warrantkind" (认购 / 认沽), "exertype" (欧式),
//   "exerratio", "cleartype" (证券给付), "clearprice", "expdate".
//   "行权代码不存在" for another code.
// 100/29 exercise: "market", "secuid", "fundid", "stkcode", "price", "qty".
//   Refusals: "行权代码不存在", "股东代码不存在" (not the customer's account of
//   the warrant's market), "行权数量错误", "可用数量不足" (more than the
//   warrants that may be sold now), for a call "可用资金不足" (the exercise price of the
//   shares), for a put "可用股份不足" (the shares to deliver). A call pays
//   the price and brings the shares (sellable from the next day); a put
//   delivers the shares and brings the money (可取 from the next trading
//   day). The exercise is an order of the day, done as it is taken: 当日委托
//   (行权, 已成), 当日成交 and the history list it. Set 0 "ordersno".
#include <algorithm>
#include <memory>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/WarrantContract.h"
#include "sim/SimClock.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"
#include "sim/SimWarrants.h"

namespace {

using namespace WarrantContract;

constexpr const char* kUnknownWarrant = "行权代码不存在";

SimBalance& rmbOf(SimCustomer& who) { return who.fundAccounts.front().balances[SimCurrency::kRMB]; }

// The warrants of the customer that may be sold (or exercised) now.
int64_t warrantsAvailable(const SimCustomer& who, const SimWarrant& w) {
    const SimShareholder* holder = who.shareholder(w.market);
    const SimHolding* h = holder ? who.holding(holder->secuid, w.tradingCode) : nullptr;
    return h ? h->available : 0;
}

// An exercise's books: the warrants leave the holding with the cost they
// carry; a call pays the exercise price out of what it holds and brings the
// shares (sellable from the next trading day); a put delivers the shares it
// holds and brings their money at the exercise price.
class ExerciseLedger : public SimOrderLedger {
public:
    explicit ExerciseLedger(SimWarrant w) : w_(std::move(w)) {}

    void release(SimCustomer& who, const SimOrder&, SimMoney amount) const override { rmbOf(who).release(amount); }
    void fill(SimCustomer& who, const SimOrder& o, int64_t quantity, SimPrice, SimMoney amount) const override {
        if (SimHolding* warrants = who.holding(o.secuid, w_.tradingCode)) warrants->takeOut(quantity);
        const int64_t shares = quantity * w_.ratio;
        if (w_.call) {
            rmbOf(who).payHeld(amount);
            SimHolding* h = who.holding(o.secuid, w_.underlying);
            if (!h) {
                who.holdings.push_back({o.secuid, w_.market, w_.underlying, w_.underlyingName});
                h = &who.holdings.back();
            }
            h->buy(shares, w_.exercisePrice);
        } else {
            if (SimHolding* h = who.holding(o.secuid, w_.underlying)) h->sell(shares, w_.exercisePrice);
            rmbOf(who).receiveSale(amount);
        }
    }
    void unsold(SimCustomer& who, const SimOrder& o, int64_t quantity) const override {
        if (SimHolding* h = who.holding(o.secuid, w_.underlying)) h->available += quantity * w_.ratio;
    }
    std::string direction(const SimOrder&) const override { return "行权"; }
    std::string snapshotName() const override { return "exercise " + w_.code; }

private:
    SimWarrant w_;
};

}  // namespace

std::shared_ptr<const SimOrderLedger> simExerciseLedger(const SimWarrant& warrant) {
    return std::make_shared<const ExerciseLedger>(warrant);
}

namespace {

std::vector<uint8_t> query(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& room = c.server.view<SimWarrantsRoom>();
    const SimWarrant* w = room.warrant(c.request.value(Key::kStockCode));
    if (!w) return simErrorSet(-1, kUnknownWarrant);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kMarket, TCRSFieldType::VarText, 0, "市场")
        .addField(Col::kCode, TCRSFieldType::VarText, 0, "行权代码")
        .addField(Col::kName, TCRSFieldType::VarText, 0, "权证名称")
        .addField(Col::kExercisePrice, TCRSFieldType::VarText, 0, "行权价格")
        .addField(Col::kFundAvl, TCRSFieldType::VarText, 0, "可用资金")
        .addField(Col::kAvailable, TCRSFieldType::VarText, 0, "可用数量")
        .addField(Col::kKind, TCRSFieldType::VarText, 0, "权证类型")
        .addField(Col::kStyle, TCRSFieldType::VarText, 0, "行权方式")
        .addField(Col::kRatio, TCRSFieldType::VarText, 0, "行权比例")
        .addField(Col::kSettlement, TCRSFieldType::VarText, 0, "结算方式")
        .addField(Col::kSettlementPrice, TCRSFieldType::VarText, 0, "结算价")
        .addField(Col::kExpiry, TCRSFieldType::VarText, 0, "到期日期")
        .addRecord({w->market, w->code, w->name, simPriceText(w->exercisePrice), simMoneyText(simAvailableCash(*who)),
                    std::to_string(warrantsAvailable(*who, *w)), w->call ? "认购" : "认沽", "欧式",
                    std::to_string(w->ratio) + ".00", "证券给付", simPriceText(w->exercisePrice),
                    std::to_string(w->expiry)})
        .bytes();
}

std::vector<uint8_t> exercise(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const SimRequest& r = c.request;
    const SimWarrant* w = c.server.view<SimWarrantsRoom>().warrant(r.value(Key::kStockCode));
    if (!w) return simErrorSet(-1, kUnknownWarrant);
    const SimShareholder* holder = reader->shareholder(w->market);
    if (!holder || r.value(Key::kMarket) != w->market || holder->secuid != r.value(Key::kSecuId))
        return simErrorSet(-1, "股东代码不存在");
    const std::string qtyText = r.value(Key::kQty);
    if (qtyText.empty() || qtyText.size() > 9 || qtyText.find_first_not_of("0123456789") != std::string::npos ||
        std::stoll(qtyText) == 0)
        return simErrorSet(-1, "行权数量错误");
    const int64_t quantity = std::stoll(qtyText);
    if (quantity > warrantsAvailable(*reader, *w)) return simErrorSet(-1, "可用数量不足");

    // The order holds what it takes (a call the money, a put the shares) and is filled at once.
    SimOrder o;
    o.fundid = reader->fundAccounts.front().fundid;
    o.secuid = holder->secuid;
    o.market = w->market;
    o.code = w->code;
    o.name = w->name;
    o.bsflag = w->call ? TradeContract::BsFlag::kLimitBuy : TradeContract::BsFlag::kLimitSell;
    o.price = w->exercisePrice * w->ratio;
    o.quantity = quantity;
    const SimMoney money = simAmountOf(quantity, o.price);
    if (w->call && simAvailableCash(*reader) < money) return simErrorSet(-1, "可用资金不足");
    const SimHolding* underlying = reader->holding(holder->secuid, w->underlying);
    if (!w->call && (!underlying || underlying->available < quantity * w->ratio))
        return simErrorSet(-1, "可用股份不足");
    SimCustomer& who = simTradeCustomerToChange(c, *reader);
    if (w->call) {
        rmbOf(who).hold(money);
        o.frozen = money;
    } else {
        who.holding(holder->secuid, w->underlying)->available -= quantity * w->ratio;
    }
    o.ledger = simExerciseLedger(*w);
    const SimOrder& placed = simPlaceDoneOrder(c, who, o, o.price, money);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kOrderNumber, TCRSFieldType::VarText, 0, "委托编号")
        .addRecord({std::to_string(placed.ordersno)})
        .bytes();
}

}  // namespace

SimWarrantsRoom::SimWarrantsRoom(SimServer& server) {
    // Both expire some months after the simulator's day.
    const int expiry = SimClock::dateOfDay(SimClock::dayNumber(SimClock::local(server.clock().now()).yyyymmdd()) + 120);
    warrants = {
        {"582001", "580001", "浦发CWB1", "1", "600000", "浦发银行", true, 8000, 1, expiry},
        {"038001", "038001", "万科JTP1", "0", "000002", "万科Ａ", false, 12000, 1, expiry},
    };
}

const SimWarrant* SimWarrantsRoom::warrant(const std::string& code) const {
    for (const auto& w : warrants)
        if (w.code == code) return &w;
    return nullptr;
}

void registerWarrantFunctions(SimRegistry& r) {
    r.menu().add({209, 2, "权证行权", "qzxq"});
    r.add(kQuery, query);
    r.add(kExercise, exercise);
}
