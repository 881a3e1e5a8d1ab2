#pragma once
// A simulated server with customer A logged in to trading, and the requests
// a customer sends to trade and to read the books: the stock information and
// the order, the cancel, the funds and holdings lists as the client shows
// them, the bank transfer and its transferable amount.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "SimTestSupport.h"
#include "sim/SimClock.h"
#include "sim/SimOrders.h"
#include "sim/SimTrade.h"

inline constexpr const char* kCustomerA = "010110001234";

inline std::string textOf(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

inline std::string errorOf(const std::shared_ptr<VTATCRS>& set) {
    return set && set->isError() ? set->getError() : "";
}

class SimTradeTest : public SimTest {
protected:
    void SetUp() override {
        sim->setSessionIdleTimeout(1e9);  // the tests move the clock across days
        session = login();
        logIn(kCustomerA);
    }
    // A trade login of the customer; the later requests carry its session text.
    void logIn(const std::string& fundid, const std::string& branch = "0101") {
        tradeInfo = tradeLogin(session, fundid, branch);
        ASSERT_FALSE(tradeInfo.empty());
        fundId = fundid;
    }
    std::shared_ptr<VTATCRS> trade(int sub, const std::string& fields) {
        return firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + tradeInfo +
                                          "&fundid=" + fundId + fields));
    }
    std::shared_ptr<VTATCRS> stockInfo(const std::string& code, const char* bsflag = "0B",
                                       const std::string& price = "") {
        return trade(4, std::string("&bsflag=") + bsflag + "&stkcode=" + code + (price.empty() ? "" : "&price=" + price));
    }
    std::shared_ptr<VTATCRS> order(const std::string& bsflag, const std::string& price, const std::string& qty,
                                   const std::string& code, const std::string& market, const std::string& secuid,
                                   const char* risk = "1") {
        std::string fields = "&bsflag=" + bsflag + "&price=" + price + "&qty=" + qty + "&stkcode=" + code +
                             "&market=" + market + "&secuid=" + secuid;
        if (simIsBuy(bsflag)) fields += std::string("&chkriskflag=") + risk;
        return trade(6, fields);
    }
    // A limit order of A's account of the stock's market.
    std::shared_ptr<VTATCRS> limitOrder(bool buy, const std::string& code, int64_t price, int64_t qty) {
        const SimInstrument* s = simTradableStock(sim->market(), code);
        const std::string market = simShareholderMarket(*s);
        static const std::map<std::string, std::string> secuids = {
            {"0", "0010001234"}, {"1", "A100001234"}, {"2", "2010001234"}, {"3", "C900001234"}};
        return order(buy ? "0B" : "0S", SimMarket::priceText(price, s->decimals), std::to_string(qty), code, market,
                     secuids.at(market), "0");
    }
    std::string cancel(int64_t ordersno, const std::string& secuid, int quoteMarket) {
        return errorOf(trade(7, "&ordersno=" + std::to_string(ordersno) + "&market=" + std::to_string(quoteMarket) +
                                    "&secuid=" + secuid));
    }
    // A row of the funds list (500/9) by its currency's name, as the client reads it.
    std::map<std::string, std::string> fundsRow(const std::string& currency = "人民币") {
        auto set = trade(9, "");
        std::map<std::string, std::string> row;
        if (!set || set->isError()) return row;
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
            if (textOf(set, "moneytype") != currency) continue;
            for (const char* f : {"fundbal", "fundavl", "frozen", "fundcash", "mktval", "asset"}) row[f] = textOf(set, f);
        }
        return row;
    }
    // The holdings list's (500/10) row of a stock.
    std::map<std::string, std::string> holdingRow(const std::string& code) {
        auto set = trade(10, "");
        std::map<std::string, std::string> row;
        if (!set || set->isError()) return row;
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
            if (textOf(set, "stkcode") != code) continue;
            for (const char* f : {"stkqty", "stkavl", "profitprice", "lastprice", "mktval", "income"})
                row[f] = textOf(set, f);
        }
        return row;
    }
    // 500/85: what may go to the bank from A's main fund account, in 元.
    std::string transferable() { return textOf(trade(85, "&fundid=" + fundId + "&moneytype=0"), "fundcash"); }
    // 500/21 securities to 模拟银行 with the trading password: "" or the refusal.
    std::string toBank(const std::string& amount) {
        return errorOf(trade(21, "&fundid=" + fundId + "&banktrantype=2&bankcode=1001&fundpwd=123456&moneytype=0" +
                                     "&tranamt=" + amount));
    }
    void setClock(int yyyymmdd, int hour, int minute) {
        sim->clock().setTime(SimClock::fromLocal(yyyymmdd, hour * 60 + minute));
    }

    template <class F>
    decltype(auto) customerA(F&& f) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) { return f(*r.books.customer(kCustomerA)); });
    }
    SimBalance rmb() {
        return customerA([](SimCustomer& c) { return c.fundAccounts.front().balances[0]; });
    }
    SimHolding holding(const std::string& code) {
        return customerA([&](SimCustomer& c) {
            for (auto& h : c.holdings)
                if (h.code == code) return h;
            return SimHolding{};
        });
    }
    SimOrder lastOrder() {
        return customerA([](SimCustomer& c) { return c.orders.back(); });
    }
    SimQuote quoteOf(const std::string& code) {
        return sim->market().quote(*simTradableStock(sim->market(), code), sim->clock().now());
    }

    std::string session, tradeInfo, fundId;
};
