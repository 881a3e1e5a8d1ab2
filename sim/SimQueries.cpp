// The query family of the simulated server: the paged lists of the trade
// menu over the books (SimBooks.h; functions, keys and columns named in
// core/contracts/TradeQueryContract.h). Every list pages as SimQueries.h
// says and shows the books settled and matched as of the call (SimOrders.h);
// a request of an ended session is refused ("会话已失效，请重新登录").
//
// 500/9 funds: one row per currency of the fund account the request names
//   (its last "fundid", else the login's): "moneytype" (人民币, 港币, 美元),
//   "fundbal", "fundavl", "frozen", "fundcash", "mktval" (the holdings of
//   that currency at their last price), "asset" (总资产: the balance, the
//   holdings' value and, in the main account's 人民币, what its running repo
//   deals lend).
// 500/10 holdings: "stkname", "stkcode", "stkqty", "stkavl", "profitprice"
//   (the cost price), "lastprice", "mktval", "income" (the floating profit,
//   "-" when a loss), "~market", "secuid", "market" (the shareholder market).
// 500/13 today's orders (also those placed since the last close for today),
//   newest first: "ordersno", "ordertime", "stkcode",
//   "stkname", "bsname" (买入 / 卖出; a credit order by its kind: 融资买入,
//   融券卖出, 买券还券, 现券还券, 担保品转入, 担保品转出, 卖券还款; a warrant
//   exercise 行权, a repo loan 买入 and its early end 提前终止, a new-issue
//   subscription 申购), "orderprice", "orderqty", "matchqty",
//   "orderstatus" (已报, 部成, 已成, 已撤, 部撤, 废单; a subscription once
//   allotted 已中签 or 未中签), "~market", "secuid".
// 500/15 the same columns for the open orders a cancel may still end (已报,
//   部成; not a new-issue subscription), whatever day they were placed on
//   (at a weekend or after the close for the next trading day).
// 500/16 history orders: "orderdate" and the columns of 500/13, of the days
//   "strdate" to "enddate" (yyyyMMdd; each bound optional) before today.
// 500/14 today's deals, newest first: "matchtime", "stkcode", "stkname",
//   "bsname", "matchprice", "matchqty", "matchamt", "ordersno", "~market",
//   "secuid"; 500/17 history deals: "matchdate" and those, as 500/16.
// 500/7 cancel: "fundid", "ordersno", "market" (the quote market, 1 or 2)
//   and "secuid" name one of the customer's orders ("委托不存在" otherwise);
//   an order no longer open is refused ("该委托不能撤单"). The money or shares
//   it held come back; the answer is the result set "撤单成功".
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimRepo.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace TradeQueryContract;

// The direction column: a stock order's side, a credit order's kind, what
// another family's order does (its ledger's name for it).
std::string directionName(const SimOrder& o) {
    namespace Flag = MarginContract::CreditFlag;
    if (o.ledger)
        if (std::string named = o.ledger->direction(o); !named.empty()) return named;
    switch (o.creditFlag.value_or(-1)) {
        case Flag::kFinancingBuy:
            return "融资买入";
        case Flag::kShortSell:
            return "融券卖出";
        case Flag::kBuyToReturn:
            return "买券还券";
        case Flag::kSecuritiesRepayment:
            return "现券还券";
        case Flag::kCollateralIn:
            return "担保品转入";
        case Flag::kCollateralOut:
            return "担保品转出";
        case Flag::kSellToRepay:
            return "卖券还款";
        default:
            return simIsBuy(o.bsflag) ? "买入" : "卖出";
    }
}
namespace Account = TradeContract::AccountType;

constexpr const char* kBadCursor = "查询定位串错误";
constexpr const char* kUnknownOrder = "委托不存在";

const SimBooks& booksOf(SimCall& c) { return c.server.view<SimTradeRoom>().books; }

const SimCustomer* readerOf(SimCall& c, SimRefusal* refusal) { return simTradeCustomerToRead(c, refusal); }

int currencyOfMarket(const std::string& market) {
    if (market == Account::kShenzhenB) return SimCurrency::kHKD;
    if (market == Account::kShanghaiB) return SimCurrency::kUSD;
    return SimCurrency::kRMB;
}

std::string currencyName(int currency) {
    switch (currency) {
        case SimCurrency::kHKD:
            return "港币";
        case SimCurrency::kUSD:
            return "美元";
        default:
            return "人民币";
    }
}

SimMoney valueOf(const SimMarket& market, const SimHolding& h, double now) {
    return simAmountOf(h.quantity, simHoldingPrice(market, h, now));
}

std::vector<uint8_t> funds(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimFundAccount* fund = booksOf(c).fundAccountOfRequest(*who, c.request);
    // Money lent through repo is still the customer's: it leaves the balance, not the assets.
    const SimMoney lent = fund == &who->mainFundAccount() ? simRepoLent(c.server.view<SimRepoRoom>(), *who) : 0;
    std::vector<SimListRow> rows;
    for (const auto& [currency, b] : fund->balances) {
        SimMoney holdings = 0;
        for (const auto& h : who->holdings)
            if (currencyOfMarket(h.market) == currency) holdings += valueOf(c.server.market(), h, c.now);
        const SimMoney asset = b.balance + holdings + (currency == SimCurrency::kRMB ? lent : 0);
        rows.push_back({currencyName(currency), simMoneyText(b.balance), simMoneyText(b.available()),
                        simMoneyText(b.frozen), simMoneyText(b.withdrawable()), simMoneyText(holdings),
                        simMoneyText(asset)});
    }
    return simPagedList(c.request,
                        {{"moneytype", "币种"},
                         {"fundbal", "资金余额"},
                         {"fundavl", "可用资金"},
                         {"frozen", "冻结资金"},
                         {"fundcash", "可取资金"},
                         {"mktval", "证券市值"},
                         {"asset", "总资产"}},
                        rows);
}

std::vector<uint8_t> holdings(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    std::vector<SimListRow> rows;
    for (const auto& h : who->holdings) {
        const int decimals = simPriceDecimals(c.server.market(), h.market, h.code);
        const SimPrice last = simHoldingPrice(c.server.market(), h, c.now);
        // The value and the profit from the exact cost, each rounded once to the 分.
        const SimMoney value = valueOf(c.server.market(), h, c.now);
        const SimMoney income = simDivideRounded(h.quantity * last - h.costBasis, 10);
        rows.push_back({h.name, h.code, std::to_string(h.quantity), std::to_string(h.available),
                        SimMarket::priceText(h.costPrice(decimals), decimals), simPriceText(last, decimals),
                        simMoneyText(value), simMoneyText(income), simShareholderMarketName(h.market), h.secuid,
                        h.market});
    }
    return simPagedList(c.request,
                        {{Col::kStockName, "证券名称"},
                         {Col::kStockCode, "证券代码"},
                         {"stkqty", "股份余额"},
                         {"stkavl", "可用股份"},
                         {Col::kCost, "成本价"},
                         {"lastprice", "最新价"},
                         {"mktval", "市值"},
                         {Col::kIncome, "浮动盈亏"},
                         {Col::kMarketName, "市场"},
                         {Col::kSecuId, "股东代码"},
                         {Col::kMarket, "市场代码"}},
                        rows);
}

// ---- orders and deals ----

int todayOf(const SimCall& c) { return SimClock::local(c.now).yyyymmdd(); }

// The days a list covers: one day, or the history's range (before today).
struct Days {
    int from = 0, to = 0;
    bool has(int date) const { return date >= from && date <= to; }
    // An order is the day's it was placed on, and today's when it trades today.
    bool has(const SimOrder& o, int today) const {
        return has(o.date) || (from <= today && today <= to && simOrderTradingDay(o) == today);
    }
};
Days todayOnly(const SimCall& c) { return {todayOf(c), todayOf(c)}; }
Days historyDays(const SimCall& c) {
    Days d{0, todayOf(c) - 1};
    if (c.request.has(Key::kStartDate)) d.from = int(c.request.intValue(Key::kStartDate, 0));
    if (c.request.has(Key::kEndDate)) d.to = std::min(d.to, int(c.request.intValue(Key::kEndDate, 0)));
    return d;
}

const std::vector<SimListColumn> kOrderColumns = {
    {Col::kOrderNumber, "委托编号"}, {"ordertime", "委托时间"},     {Col::kStockCode, "证券代码"},
    {Col::kStockName, "证券名称"},   {Col::kDirection, "买卖方向"}, {Col::kOrderPrice, "委托价格"},
    {Col::kOrderQty, "委托数量"},    {"matchqty", "成交数量"},      {"orderstatus", "委托状态"},
    {Col::kMarketName, "市场"},      {Col::kSecuId, "股东代码"}};
const std::vector<SimListColumn> kDealColumns = {{"matchtime", "成交时间"},     {Col::kStockCode, "证券代码"},
                                                 {Col::kStockName, "证券名称"}, {Col::kDirection, "买卖方向"},
                                                 {"matchprice", "成交价格"},    {"matchqty", "成交数量"},
                                                 {"matchamt", "成交金额"},      {Col::kOrderNumber, "委托编号"},
                                                 {Col::kMarketName, "市场"},    {Col::kSecuId, "股东代码"}};

std::vector<uint8_t> orderList(SimCall& c, const Days& days, bool openOnly, bool withDate) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    std::vector<const SimOrder*> orders;
    for (const auto* list : {&who->pastOrders, &who->orders})
        for (const auto& o : *list)
            if (days.has(o, todayOf(c)) && (!openOnly || simCancellable(o))) orders.push_back(&o);
    std::vector<SimListRow> rows;
    for (auto it = orders.rbegin(); it != orders.rend(); ++it) {  // newest first
        const SimOrder& o = **it;
        SimListRow row = {std::to_string(o.ordersno),
                          simTimeText(o.time),
                          o.code,
                          o.name,
                          directionName(o),
                          simPriceText(o.price, simPriceDecimals(c.server.market(), o.market, o.code)),
                          std::to_string(o.quantity),
                          std::to_string(o.matched),
                          simOrderStatusText(o),
                          simShareholderMarketName(o.market),
                          o.secuid};
        if (withDate) row.insert(row.begin(), std::to_string(o.date));
        rows.push_back(std::move(row));
    }
    std::vector<SimListColumn> columns = kOrderColumns;
    if (withDate) columns.insert(columns.begin(), {"orderdate", "委托日期"});
    return simPagedList(c.request, columns, rows);
}

std::vector<uint8_t> dealList(SimCall& c, const Days& days, bool withDate) {
    SimRefusal refusal;
    const SimCustomer* who = readerOf(c, &refusal);
    if (!who) return simErrorSet(refusal);
    std::vector<const SimDeal*> deals;
    for (const auto* list : {&who->pastDeals, &who->deals})
        for (const auto& d : *list)
            if (days.has(d.date)) deals.push_back(&d);
    std::vector<SimListRow> rows;
    for (auto it = deals.rbegin(); it != deals.rend(); ++it) {  // newest first
        const SimDeal& d = **it;
        const SimOrder* o = nullptr;
        for (const auto* list : {&who->pastOrders, &who->orders})
            for (const auto& order : *list)
                if (order.ordersno == d.ordersno) o = &order;
        if (!o) continue;
        SimListRow row = {simTimeText(d.time),
                          o->code,
                          o->name,
                          directionName(*o),
                          simPriceText(d.price, simPriceDecimals(c.server.market(), o->market, o->code)),
                          std::to_string(d.quantity),
                          simMoneyText(d.amount),
                          std::to_string(d.ordersno),
                          simShareholderMarketName(o->market),
                          o->secuid};
        if (withDate) row.insert(row.begin(), std::to_string(d.date));
        rows.push_back(std::move(row));
    }
    std::vector<SimListColumn> columns = kDealColumns;
    if (withDate) columns.insert(columns.begin(), {"matchdate", "成交日期"});
    return simPagedList(c.request, columns, rows);
}

std::vector<uint8_t> todayOrders(SimCall& c) { return orderList(c, todayOnly(c), false, false); }
// Every order still open, also one placed at a weekend or after the close for the next trading day.
std::vector<uint8_t> cancellable(SimCall& c) { return orderList(c, Days{0, 99999999}, true, false); }
std::vector<uint8_t> historyOrders(SimCall& c) { return orderList(c, historyDays(c), false, true); }
std::vector<uint8_t> todayDeals(SimCall& c) { return dealList(c, todayOnly(c), false); }
std::vector<uint8_t> historyDeals(SimCall& c) { return dealList(c, historyDays(c), true); }

// ---- the cancel ----

std::vector<uint8_t> cancel(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* reader = readerOf(c, &refusal);
    if (!reader) return simErrorSet(refusal);
    const std::string number = c.request.value(Key::kOrderNumber);
    const SimFundAccount* fund = booksOf(c).fundAccountOfRequest(*reader, c.request);
    const SimOrder* order = nullptr;
    for (const auto& o : reader->orders)
        if (std::to_string(o.ordersno) == number && o.fundid == fund->fundid) order = &o;
    if (!order || order->secuid != c.request.value(Key::kSecuId) ||
        simQuoteMarketOf(order->market) != c.request.intValue(Key::kQuoteMarket, 0))
        return simErrorSet(-1, kUnknownOrder);
    if (!simCancellable(*order)) return simErrorSet(-1, Error::kNotCancellable);
    SimCustomer& who = simTradeCustomerToChange(c, *reader);
    simCancelOrder(who, who.orders[size_t(order - reader->orders.data())]);
    return simResultSet(1, "撤单成功");
}

}  // namespace

std::vector<uint8_t> simPagedList(const SimRequest& request, const std::vector<SimListColumn>& columns,
                                  const std::vector<SimListRow>& rows) {
    size_t from = 0;
    const std::string cursor = request.value(Col::kCursor);
    if (!cursor.empty()) {
        if (cursor.size() > 9 || cursor.find_first_not_of("0123456789") != std::string::npos)
            return simErrorSet(-1, kBadCursor);
        from = std::min<size_t>(std::stoul(cursor), rows.size());
    }
    const long long count = request.intValue(Key::kCount, 0);
    size_t to = rows.size();
    if (count > 0 && from + size_t(count) < to) to = from + size_t(count);

    TCRSWriter w;
    w.beginSet();
    for (const auto& col : columns) w.addField(col.name, TCRSFieldType::VarText, 0, col.title);
    w.addField(Col::kCursor, TCRSFieldType::VarText, 0, "定位串");
    for (size_t i = from; i < to; ++i) {
        std::vector<::Value> values;
        for (size_t k = 0; k < columns.size(); ++k) values.emplace_back(k < rows[i].size() ? rows[i][k] : "");
        values.emplace_back(i + 1 == rows.size() ? std::string() : std::to_string(i + 1));
        w.addRecord(values);
    }
    return w.bytes();
}

std::string simMoneyText(SimMoney amount) { return SimMarket::priceText(amount, 2); }

std::string simTimeText(int hhmmss) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hhmmss / 10000 % 100, hhmmss / 100 % 100, hhmmss % 100);
    return text;
}

std::string simPriceText(SimPrice price, int decimals) {
    return SimMarket::priceText(simQuoteValueOf(price, decimals), decimals);
}

std::string simShareholderMarketName(const std::string& market) {
    if (market == Account::kShenzhenA) return "深A";
    if (market == Account::kShanghaiA) return "沪A";
    if (market == Account::kShenzhenB) return "深B";
    if (market == Account::kShanghaiB) return "沪B";
    return "";
}

int simQuoteMarketOf(const std::string& shareholderMarket) {
    return shareholderMarket == Account::kShanghaiA || shareholderMarket == Account::kShanghaiB ? 2 : 1;
}

int simPriceDecimals(const SimMarket& market, const std::string& shareholderMarket, const std::string& code) {
    if (const SimInstrument* s = market.find(code, simQuoteMarketOf(shareholderMarket))) return s->decimals;
    return shareholderMarket == Account::kShanghaiB ? 3 : 2;
}

SimPrice simHoldingPrice(const SimMarket& market, const SimHolding& h, double now) {
    const SimInstrument* s = market.find(h.code, simQuoteMarketOf(h.market));
    if (!s) return h.costPrice(3);
    const int64_t last = market.quote(*s, now).last;
    return last > 0 ? simPriceOf(last, s->decimals) : h.costPrice(3);
}

void registerQueryFunctions(SimRegistry& r) {
    // The lists' own keys: the cursor field, the field whose sign colours a
    // row, the fields not shown ("market" is the shareholder market's code).
    r.menu().add({203, 2, "撤单", "wtcd?tc_mfuncno=500&tc_sfuncno=15&position=poststr"});
    r.menu().add({204, 2, "当日委托", "tradequery?tc_mfuncno=500&tc_sfuncno=13&position=poststr&sign=bsname"});
    r.menu().add({205, 2, "资金查询", "trade_zjcx?tc_mfuncno=500&tc_sfuncno=9"});
    r.menu().add(
        {206, 2, "股份查询", "trade_gfcx?tc_mfuncno=500&tc_sfuncno=10&position=poststr&sign=income&unlist=market"});
    r.menu().add({208, 2, "历史查询", "hisquery?tc_mfuncno=500&tc_sfuncno=16&position=poststr&sign=bsname"});
    r.menu().add({220, 2, "当日成交", "tradequery?tc_mfuncno=500&tc_sfuncno=14&position=poststr&sign=bsname"});
    r.menu().add({221, 2, "历史成交", "hisquery?tc_mfuncno=500&tc_sfuncno=17&position=poststr&sign=bsname"});
    r.add(kFunds, funds);
    r.add(kHoldings, holdings);
    r.add(kTodayOrders, todayOrders);
    r.add(kTodayDeals, todayDeals);
    r.add(kCancellable, cancellable);
    r.add(kHistoryOrders, historyOrders);
    r.add(kHistoryDeals, historyDeals);
    r.add(kCancel, cancel);
}
