// The credit account's own functions of the simulated server (names in
// core/contracts/MarginContract.h), on the credit account of the books
// (SimBooks.h). Every one settles and matches the customer's books first; a
// customer without a credit account is refused ("您尚未开通信用账户").
//
// 500/75 debt: "mayrepay" the cash that may repay now (what open
//   buy-to-return orders hold excepted), "repay" the financing debt, in yuan.
// 500/76 cash repayment of "payoffasset" yuan: an amount (SimAmounts.h) more
//   than 0 ("还款金额有误"), at most the debt ("还款金额超过负债") and the
//   free cash ("可用资金不足"); answers "msgok".
// 500/86 automatic repayment: "repayflag" "1" on, "0" off.
// 500/87 sets it from "repayflag" "1" or "0" ("自动还款设置参数错误"); "msgok".
// Paged lists (SimQueries.h), each row with "poststr":
// 500/90 credit limits, a row for 融资 and one for 融券: "crdttype", "limit",
//   "used", "avail".
// 500/91 credit assets, one row: cash, short proceeds, positions' value,
//   total assets, financing debt, owed shares' value, liabilities and the
//   maintenance ratio ("-" without liabilities).
// 500/92 securities owed: "stkcode", "stkname", "owedqty", "lastprice",
//   "mktval", "~market", "secuid", "market".
// 500/93 the credit account's positions: "stkcode", "stkname", "stkqty",
//   "stkavl", "lastprice", "mktval", "~market", "secuid", "market".
// 500/94 what may move by "busiflag": "0" the credit account's positions,
//   "1" the ordinary holdings of stocks taken as collateral ("划转方向错误"
//   for others): "stkcode", "stkname", "stkavl", "~market", "secuid", "market".
// 500/95 collateral securities and 500/96 the financed or lent securities,
//   the brokerage's lists, of "stkcode" when it names one: "stkcode",
//   "stkname", "rate" (折算率) / "financing", "shortselling" (是 / 否).
#include <algorithm>
#include <cstdio>

#include "core/TCRSWriter.h"
#include "core/contracts/MarginContract.h"
#include "core/contracts/TradeContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimMargin.h"
#include "sim/SimMarket.h"
#include "sim/SimOrders.h"
#include "sim/SimQueries.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

namespace Key = MarginContract::Key;
namespace Col = MarginContract::Col;
namespace TCol = TradeContract::Col;

constexpr const char* kBadAmount = "还款金额有误";
constexpr const char* kBeyondDebt = "还款金额超过负债";
constexpr const char* kNoCash = "可用资金不足";
constexpr const char* kBadRepayFlag = "自动还款设置参数错误";
constexpr const char* kBadDirection = "划转方向错误";

std::vector<uint8_t> okReply(const std::string& text) {
    return TCRSWriter()
        .beginSet()
        .addField(Col::kMessageOk, TCRSFieldType::VarText, 0, "成功信息")
        .addRecord({text})
        .bytes();
}

std::vector<uint8_t> debt(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kMayRepay, TCRSFieldType::VarText, 0, "可还款金额")
        .addField(Col::kRepay, TCRSFieldType::VarText, 0, "应还款金额")
        .addRecord({simMoneyText(simCreditCashFree(*who)), simMoneyText(who->credit->financingDebt)})
        .bytes();
}

std::vector<uint8_t> cashRepay(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimMoney amount = simParseHundredths(c.request.value(Key::kPayOffAsset));
    if (amount <= 0) return simErrorSet(-1, kBadAmount);
    if (amount > who->credit->financingDebt) return simErrorSet(-1, kBeyondDebt);
    if (amount > simCreditCashFree(*who)) return simErrorSet(-1, kNoCash);
    SimCreditAccount& credit = *simTradeCustomerToChange(c, *who).credit;
    credit.financingDebt -= amount;
    credit.cash -= amount;
    return okReply("还款成功");
}

std::vector<uint8_t> autoRepayStatus(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    return TCRSWriter()
        .beginSet()
        .addField(Col::kRepayFlag, TCRSFieldType::VarText, 0, "自动还款标志")
        .addRecord({std::string(who->credit->autoRepay ? "1" : "0")})
        .bytes();
}

std::vector<uint8_t> autoRepaySet(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const std::string flag = c.request.value(Key::kRepayFlag);
    if (flag != "0" && flag != "1") return simErrorSet(-1, kBadRepayFlag);
    simTradeCustomerToChange(c, *who).credit->autoRepay = flag == "1";
    return okReply("设置成功");
}

// ---- the lists ----

std::string shares(int64_t n) { return std::to_string(n); }

std::string lastPriceOf(SimCall& c, const std::string& code, SimPrice* li = nullptr) {
    const SimInstrument* s = simTradableStock(c.server.market(), code);
    if (!s) return "-";
    const int64_t last = c.server.market().quote(*s, c.now).last;
    if (li) *li = simPriceOf(last, s->decimals);
    return SimMarket::priceText(last, s->decimals);
}

std::string nameOf(SimCall& c, const std::string& code) {
    const SimInstrument* s = simTradableStock(c.server.market(), code);
    return s ? s->name : code;
}

std::vector<uint8_t> creditLimits(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimCreditAccount& credit = *who->credit;
    const SimMoney financingRoom = simFinancingRoom(*who), shortRoom = simShortRoom(*who);
    return simPagedList(c.request,
                        {{"crdttype", "信用类别"}, {"limit", "授信额度"}, {"used", "已用额度"}, {"avail", "可用额度"}},
                        {{"融资", simMoneyText(credit.financingLimit),
                          simMoneyText(credit.financingLimit - financingRoom), simMoneyText(financingRoom)},
                         {"融券", simMoneyText(credit.shortLimit), simMoneyText(credit.shortLimit - shortRoom),
                          simMoneyText(shortRoom)}});
}

std::vector<uint8_t> creditAssets(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const SimCreditAccount& credit = *who->credit;
    const SimCreditWorth w = simCreditWorth(*who, c.server.market(), c.now);
    std::string ratio = "-";
    if (w.liabilities > 0) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f%%", 100.0 * double(w.assets) / double(w.liabilities));
        ratio = text;
    }
    return simPagedList(c.request,
                        {{"fundbal", "资金余额"},
                         {"shortfund", "融券卖出资金"},
                         {"stkvalue", "证券市值"},
                         {"asset", "总资产"},
                         {"fidebt", "融资负债"},
                         {"sldebt", "融券负债"},
                         {"debt", "总负债"},
                         {"ratio", "维持担保比例"}},
                        {{simMoneyText(credit.cash), simMoneyText(credit.shortProceeds), simMoneyText(w.positions),
                          simMoneyText(w.assets), simMoneyText(credit.financingDebt), simMoneyText(w.owed),
                          simMoneyText(w.liabilities), ratio}});
}

SimListRow holdingRow(SimCall& c, const SimHolding& h, bool withQuantity) {
    SimPrice li = 0;
    const std::string last = lastPriceOf(c, h.code, &li);
    SimListRow row{h.code, h.name};
    if (withQuantity) row.push_back(shares(h.quantity));
    row.push_back(shares(h.available));
    if (withQuantity) {
        row.push_back(last);
        row.push_back(simMoneyText(h.quantity * li / 10));
    }
    row.insert(row.end(), {simShareholderMarketName(h.market), h.secuid, h.market});
    return row;
}

const std::vector<SimListColumn> kAccountColumns = {
    {TCol::kMarketName, "股东市场"}, {TCol::kSecuId, "股东代码"}, {TCol::kMarket, "市场"}};

std::vector<SimListColumn> withAccount(std::vector<SimListColumn> columns) {
    columns.insert(columns.end(), kAccountColumns.begin(), kAccountColumns.end());
    return columns;
}

std::vector<uint8_t> owedSecurities(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    std::vector<SimListRow> rows;
    for (const auto& [code, quantity] : who->credit->owed) {
        const SimInstrument* s = simTradableStock(c.server.market(), code);
        const std::string market = s ? simShareholderMarket(*s) : "";
        const SimShareholder* holder = who->shareholder(market);
        SimPrice li = 0;
        const std::string last = lastPriceOf(c, code, &li);
        rows.push_back({code, nameOf(c, code), shares(quantity), last, simMoneyText(quantity * li / 10),
                        simShareholderMarketName(market), holder ? holder->secuid : "", market});
    }
    return simPagedList(c.request,
                        withAccount({{TCol::kStockCode, "证券代码"},
                                     {TCol::kStockName, "证券名称"},
                                     {"owedqty", "融券负债"},
                                     {"lastprice", "最新价"},
                                     {"mktval", "负债市值"}}),
                        rows);
}

std::vector<uint8_t> creditHoldings(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    std::vector<SimListRow> rows;
    for (auto p : who->credit->positions) {
        p.available = simCreditAvailable(*who, p.code);
        rows.push_back(holdingRow(c, p, true));
    }
    return simPagedList(c.request,
                        withAccount({{TCol::kStockCode, "证券代码"},
                                     {TCol::kStockName, "证券名称"},
                                     {"stkqty", "证券数量"},
                                     {Col::kAvailable, "可卖数量"},
                                     {"lastprice", "最新价"},
                                     {"mktval", "市值"}}),
                        rows);
}

std::vector<uint8_t> transferable(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simCreditCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const std::string direction = c.request.value(Key::kBusiFlag);
    std::vector<SimListRow> rows;
    if (direction == MarginContract::Value::kOutOfCredit) {
        for (auto p : who->credit->positions) {
            p.available = simCreditAvailable(*who, p.code);
            rows.push_back(holdingRow(c, p, false));
        }
    } else if (direction == MarginContract::Value::kIntoCredit) {
        const auto& targets = c.server.view<SimMarginRoom>().targets;
        for (const auto& h : who->holdings)
            if (auto t = targets.find(h.code); t != targets.end() && t->second.collateralRate > 0 && h.quantity > 0)
                rows.push_back(holdingRow(c, h, false));
    } else {
        return simErrorSet(-1, kBadDirection);
    }
    return simPagedList(
        c.request,
        withAccount({{TCol::kStockCode, "证券代码"}, {TCol::kStockName, "证券名称"}, {Col::kAvailable, "可划数量"}}),
        rows);
}

// The brokerage's own list of one kind, of the code asked for (all without one).
template <class Pick, class Row>
std::vector<uint8_t> brokerageList(SimCall& c, const std::vector<SimListColumn>& columns, Pick picks, Row row) {
    SimRefusal refusal;
    if (!simTradeCustomerToRead(c, &refusal)) return simErrorSet(refusal);
    const std::string code = c.request.value(TradeContract::Key::kStockCode);
    std::vector<SimListRow> rows;
    for (const auto& [stock, target] : c.server.view<SimMarginRoom>().targets)
        if ((code.empty() || code == stock) && picks(target)) rows.push_back(row(stock, target));
    return simPagedList(c.request, columns, rows);
}

std::vector<uint8_t> collateralSecurities(SimCall& c) {
    return brokerageList(
        c, {{TCol::kStockCode, "证券代码"}, {TCol::kStockName, "证券名称"}, {"rate", "折算率"}},
        [](const SimMarginTarget& t) { return t.collateralRate > 0; },
        [&](const std::string& code, const SimMarginTarget& t) {
            return SimListRow{code, nameOf(c, code), std::to_string(t.collateralRate) + "%"};
        });
}

std::vector<uint8_t> targetSecurities(SimCall& c) {
    return brokerageList(
        c,
        {{TCol::kStockCode, "证券代码"},
         {TCol::kStockName, "证券名称"},
         {"financing", "融资标的"},
         {"shortselling", "融券标的"}},
        [](const SimMarginTarget& t) { return t.financing || t.shortSelling; },
        [&](const std::string& code, const SimMarginTarget& t) {
            return SimListRow{code, nameOf(c, code), t.financing ? "是" : "否", t.shortSelling ? "是" : "否"};
        });
}

}  // namespace

void simRegisterMarginAccountFunctions(SimRegistry& r) {
    r.add(MarginContract::kDebt, debt);
    r.add(MarginContract::kCashRepay, cashRepay);
    r.add(MarginContract::kAutoRepayStatus, autoRepayStatus);
    r.add(MarginContract::kAutoRepaySet, autoRepaySet);
    r.add(MarginContract::kCreditLimits, creditLimits);
    r.add(MarginContract::kCreditAssets, creditAssets);
    r.add(MarginContract::kOwedSecurities, owedSecurities);
    r.add(MarginContract::kCreditHoldings, creditHoldings);
    r.add(MarginContract::kTransferable, transferable);
    r.add(MarginContract::kCollateralSecurities, collateralSecurities);
    r.add(MarginContract::kTargetSecurities, targetSecurities);
}
