// The simulated brokerage's exchange products and wealth side: bond
// conversions and put-backs and exchange-fund orders over the stock order
// function with what they hold and what the next day confirms; wealth-plan
// orders in thousands; conversions between funds; the dividend method; the
// opening of an account with a fund company and what it is checked against.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "core/Utilities.h"
#include "sim/SimBonds.h"
#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimMarket.h"
#include "sim/SimTrade.h"
#include "sim/SimWealth.h"

namespace {

constexpr const char* kCustomerA = "010110001234";

std::string hexOf(const std::string& text) { return hexString(dataFromString(text)); }

class SimWealthTest : public SimTest {
protected:
    void SetUp() override {
        ASSERT_EQ(sim->setupError(), "");
        sim->setSessionIdleTimeout(1e9);  // the tests move the clock across days
        session = login();
        tradeInfo = tradeLogin(session, kCustomerA);
        ASSERT_FALSE(tradeInfo.empty());
    }
    std::shared_ptr<VTATCRS> ask(int main, int sub, const std::string& fields, bool fundid = true) {
        return firstSet(call(session, "tc_mfuncno=" + std::to_string(main) + "&tc_sfuncno=" + std::to_string(sub) +
                                          "&" + tradeInfo + (fundid ? std::string("&fundid=") + kCustomerA : "") +
                                          fields));
    }
    std::shared_ptr<VTATCRS> exchangeOrder(const std::string& flag, const std::string& code, const std::string& qty,
                                           const std::string& account = "market=1&secuid=A100001234",
                                           const std::string& price = "7.000") {
        return ask(500, 6, "&bsflag=" + flag + "&price=" + price + "&qty=" + qty + "&stkcode=" + code + "&" + account);
    }
    static std::string errorOf(const std::shared_ptr<VTATCRS>& set) {
        return set && set->isError() ? set->getError() : "";
    }
    static std::string textOf(const std::shared_ptr<VTATCRS>& set, const char* field) {
        return set ? set->toStringWithFieldName(field).value_or("") : "";
    }
    template <class F>
    decltype(auto) customerA(F&& f) {
        return sim->withRoom<SimTradeRoom>([&](SimTradeRoom& r) { return f(*r.books.customer(kCustomerA)); });
    }
    SimHolding holding(const std::string& code) {
        return customerA([&](SimCustomer& c) {
            for (const auto& h : c.holdings)
                if (h.code == code) return h;
            return SimHolding{};
        });
    }
    SimBalance cash(const std::string& fundid = kCustomerA) {
        return customerA([&](SimCustomer& c) { return c.fundAccount(fundid)->balances[0]; });
    }
    SimFundCustomer fundSide() {
        return sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) { return r.customer("110001234"); });
    }
    void nextMorning() { sim->clock().setTime(SimClock::fromLocal(20240306, 10 * 60)); }
    // A's personal data as a fund account opening sends it.
    static std::string personalData(const std::string& address = "北京市朝阳区建国路1号") {
        return "&name=" + hexOf("张明") + "&fullname=" + hexOf("张明") +
               "&idtype=0&idno=110101198001011234&sex=1&addr=" + hexOf(address) + "&postid=100020";
    }

    std::string session, tradeInfo;
};

TEST_F(SimWealthTest, ABondIsLookedUpConvertedAndPutBackAndTheNextDayConfirmsBoth) {
    auto info = ask(3500, 1, "&stkcode=110001&bsflag=0G");
    ASSERT_EQ(errorOf(info), "");
    EXPECT_EQ(textOf(info, "stkname"), "模拟转债");
    EXPECT_EQ(textOf(info, "price"), "7.000");
    EXPECT_EQ(textOf(info, "market"), "1");
    EXPECT_EQ(textOf(ask(3500, 1, "&stkcode=110001&bsflag=0H"), "price"), "100.300");
    EXPECT_EQ(ask(3500, 1, "&stkcode=600000&bsflag=0G")->rowsAffected(), 0) << "no bond: no record";
    EXPECT_EQ(errorOf(ask(3500, 1, "&stkcode=128001&bsflag=0H")), "该债券不在回售期");

    EXPECT_EQ(errorOf(exchangeOrder("0G", "128001", "1")), "股东代码与证券市场不符");
    EXPECT_EQ(errorOf(exchangeOrder("03", "110001", "1")), "委托类别错误");
    EXPECT_EQ(errorOf(exchangeOrder("0G", "110001", "0")), "委托数量错误");
    EXPECT_EQ(errorOf(exchangeOrder("0G", "110001", "21")), "可用数量不足");
    EXPECT_EQ(errorOf(exchangeOrder("0G", "110001", "1", "market=1&secuid=A100001234", "")), "委托价格错误");
    const int64_t sharesBefore = holding("600000").quantity;
    const SimMoney cashBefore = cash().available();
    auto converted = exchangeOrder("0G", "110001", "10");
    ASSERT_EQ(errorOf(converted), "");
    EXPECT_FALSE(textOf(converted, "ordersno").empty());
    ASSERT_EQ(errorOf(exchangeOrder("0H", "110001", "5", "market=1&secuid=A100001234", "100.300")), "");
    EXPECT_EQ(holding("110001").available, 5) << "the orders hold the bonds";
    EXPECT_EQ(errorOf(exchangeOrder("0G", "110001", "6")), "可用数量不足");

    nextMorning();
    ask(3500, 1, "&stkcode=110001&bsflag=0G");  // any call settles the books
    EXPECT_EQ(holding("110001").quantity, 5);
    // 10 张 of 100 元 at 7.000: 142 shares, 6.00 元 left over; 5 张 put back at 100.300.
    EXPECT_EQ(holding("600000").quantity, sharesBefore + 142);
    EXPECT_EQ(cash().available(), cashBefore + 600 + 50150);
    customerA([](SimCustomer& c) {
        for (const auto& o : c.orders) EXPECT_EQ(o.status, SimOrderStatus::Filled) << o.bsflag;
        return 0;
    });
}

TEST_F(SimWealthTest, AnExchangeFundIsSubscribedForCashAndRedeemedFromItsShares) {
    auto info = ask(500, 4, "&stkcode=510999&bsflag=03");
    EXPECT_EQ(textOf(info, "stkname"), "模拟ETF");
    EXPECT_EQ(textOf(info, "fundavl"), "1000000.00");
    EXPECT_EQ(textOf(info, "num"), "1000000");
    EXPECT_EQ(textOf(ask(500, 4, "&stkcode=510999&bsflag=04"), "num"), "0") << "no shares yet";
    EXPECT_EQ(ask(500, 4, "&stkcode=110001&bsflag=03")->rowsAffected(), 0);

    EXPECT_EQ(errorOf(exchangeOrder("03", "510999", "999.99")), "申购金额低于最低限额1000.00元");
    EXPECT_EQ(errorOf(exchangeOrder("03", "510999", "2000000")), "可用资金不足");
    EXPECT_EQ(errorOf(exchangeOrder("04", "510999", "100")), "可用数量不足");
    EXPECT_EQ(errorOf(exchangeOrder("03", "510999", "1500.505")), "委托数量错误");
    ASSERT_EQ(errorOf(exchangeOrder("03", "510999", "1500.500")), "");  // zeros past the fen are the value they are
    EXPECT_EQ(cash().frozen, 150050);

    nextMorning();
    EXPECT_EQ(textOf(ask(500, 4, "&stkcode=510999&bsflag=04"), "num"), "1500") << "whole shares at 1.000";
    EXPECT_EQ(cash().frozen, 0);
    EXPECT_EQ(cash().available(), 100000000 - 150000);
    ASSERT_EQ(errorOf(exchangeOrder("04", "510999", "500")), "");
    EXPECT_EQ(holding("510999").available, 1000);
    // The fund trades on the market too: the rest sold at the first bid, which fills it.
    const SimInstrument& etf = *sim->market().findId("510999.2");
    const SimQuote q = sim->market().quote(etf, sim->clock().now());
    ASSERT_EQ(errorOf(ask(500, 6, "&bsflag=0S&price=" + SimMarket::priceText(q.bid[0], 3) +
                                      "&qty=1000&stkcode=510999&market=1&secuid=A100001234")),
              "");
    EXPECT_EQ(holding("510999").quantity, 500) << "the redemption's 500 wait for the night";
    EXPECT_EQ(holding("510999").available, 0);

    // A secondary fund account named pays out of its own 8,000.00 元, however much the main one has.
    const std::string third = "market=1&secuid=A100001234&fundid=010130001234";
    auto thirds = ask(500, 4, "&stkcode=510999&bsflag=03&fundid=010130001234");
    EXPECT_EQ(textOf(thirds, "fundavl"), "8000.00") << "the form shows the money of the account that pays";
    EXPECT_EQ(textOf(thirds, "num"), "8000");
    EXPECT_EQ(errorOf(exchangeOrder("03", "510999", "8000.01", third)), "可用资金不足");
    EXPECT_EQ(cash("010130001234").frozen, 0);
    ASSERT_EQ(errorOf(exchangeOrder("03", "510999", "8000", third)), "");
    EXPECT_EQ(cash("010130001234").frozen, 800000);
}

TEST_F(SimWealthTest, WealthPlansAreListedAndOrderedInWholeThousands) {
    auto plans = ask(500, 50, "&qryflag=2&count=12");
    ASSERT_TRUE(plans && !plans->isError());
    EXPECT_EQ(plans->rowsAffected(), 3);
    EXPECT_EQ(textOf(plans, "ofcode"), "900001");
    EXPECT_EQ(textOf(plans, "ofname"), "稳盈集合计划");
    auto buy = [&](int sub, const std::string& code, const std::string& amount, const char* risk = "1") {
        return ask(500, sub, "&ofcode=" + code + "&orderamt=" + amount + "&chkriskflag=" + risk);
    };
    EXPECT_EQ(errorOf(buy(34, "900001", "10500")), "委托金额必须为1000元的整数倍");
    EXPECT_EQ(errorOf(buy(34, "900001", "1000.5")), "委托金额必须为1000元的整数倍");
    EXPECT_EQ(errorOf(buy(34, "900001", "0")), "委托金额错误");
    EXPECT_EQ(errorOf(buy(34, "900001", "20000.001")), "委托金额错误");
    EXPECT_EQ(errorOf(buy(34, "900001", "9000")), "委托金额低于最低限额10000.00元");
    EXPECT_EQ(errorOf(buy(35, "900001", "10000")), "该产品当前不能申购");
    EXPECT_NE(errorOf(buy(35, "900003", "100000")).find("88001"), std::string::npos);
    ASSERT_EQ(errorOf(buy(35, "900003", "100000", "0")), "");
    ASSERT_EQ(errorOf(buy(34, "900001", "20000.000")), "");
    EXPECT_EQ(cash().frozen, 12000000);
    auto orders = fundSide().orders;
    ASSERT_GE(orders.size(), 2u);
    EXPECT_EQ(orders.back().code, "900001");
    EXPECT_EQ(orders.back().business, 34);
    EXPECT_EQ(orders.back().amount, 2000000);
}

TEST_F(SimWealthTest, AConversionHoldsTheUnitsAndTheNextDayMovesThemAtBothNetValues) {
    auto target = ask(500, 50, "&ofcode=270003");
    EXPECT_EQ(textOf(target, "ofname"), "恒岳增利债券");
    EXPECT_EQ(ask(500, 50, "&ofcode=999999")->rowsAffected(), 0);
    auto convert = [&](const std::string& from, const std::string& into, const std::string& units) {
        return ask(500, 38, "&ofcode=" + from + "&orderqty=" + units + "&otherofcode=" + into + "&redeemtype=1");
    };
    EXPECT_EQ(errorOf(convert("270001", "310001", "100")), "只能在同一基金公司的基金之间转换");
    EXPECT_EQ(errorOf(convert("270001", "270001", "100")), "转入基金不能与转出基金相同");
    EXPECT_EQ(errorOf(convert("270001", "270007", "100")), "转入基金当前不能申购");
    EXPECT_EQ(errorOf(convert("270001", "270003", "")), "委托份额错误");
    EXPECT_EQ(errorOf(convert("270001", "270003", "1000.001")), "委托份额错误");
    EXPECT_EQ(errorOf(convert("270001", "270003", "20000")), "可用份额不足");
    ASSERT_EQ(errorOf(convert("270001", "270003", "1000.000")), "");
    SimFundHolding* held = nullptr;
    auto side = fundSide();
    held = side.holding("270001");
    ASSERT_TRUE(held);
    EXPECT_EQ(held->available, 9000 * 100);
    EXPECT_EQ(held->units, 10000 * 100);

    nextMorning();
    ask(500, 50, "&ofcode=270003");
    side = fundSide();
    EXPECT_EQ(side.holding("270001")->units, 9000 * 100);
    // 1000 份 at 1.2345 into a fund at 1.0872: 1,135.4856, rounded once to 1,135.49.
    ASSERT_TRUE(side.holding("270003"));
    EXPECT_EQ(side.holding("270003")->units, 113549);
    EXPECT_EQ(side.holding("270003")->available, 113549);
}

// A wealth plan held is no fund: it pays no dividends and is not converted,
// and the refusals say so. Books kept under earlier rules gave a plan a
// dividend method, and their records still do.
TEST_F(SimWealthTest, TheDividendMethodOfAHeldFundChangesAndAPlanHasNone) {
    EXPECT_EQ(errorOf(ask(500, 39, "&ofcode=310001&dividmethod=1")), "您没有持有该基金");
    EXPECT_EQ(errorOf(ask(500, 39, "&ofcode=270001&dividmethod=2")), "分红方式错误");
    ASSERT_EQ(errorOf(ask(500, 39, "&ofcode=270001&dividmethod=1")), "");
    EXPECT_EQ(fundSide().holding("270001")->dividendMethod, 1);

    ASSERT_EQ(errorOf(ask(500, 35, "&ofcode=900002&orderamt=50000&chkriskflag=1")), "");
    nextMorning();
    ask(500, 50, "&ofcode=900002");  // any call confirms the units
    ASSERT_TRUE(fundSide().holding("900002"));
    EXPECT_EQ(errorOf(ask(500, 39, "&ofcode=900002&dividmethod=1")), "理财产品不分红，不能设置分红方式");
    for (const char* plan : {"&ofcode=900002&otherofcode=270001", "&ofcode=270001&otherofcode=900002"})
        EXPECT_EQ(errorOf(ask(500, 38, std::string(plan) + "&orderqty=100&redeemtype=1")), "理财产品不能转换") << plan;
    EXPECT_EQ(fundSide().holding("900002")->dividendMethod, 0);
    EXPECT_EQ(fundSide().holding("900002")->available, 5000000);
    sim->setBooksRules(SimBooksRules::PlansByCalendar);
    ASSERT_EQ(errorOf(ask(500, 39, "&ofcode=900002&dividmethod=1")), "");
    EXPECT_EQ(fundSide().holding("900002")->dividendMethod, 1);
}

TEST_F(SimWealthTest, AnAccountWithAFundCompanyIsOpenedOrAddedForTheCustomerAsKnown) {
    auto companies = ask(500, 48, "");
    ASSERT_TRUE(companies);
    EXPECT_EQ(companies->rowsAffected(), 3);
    auto me = ask(500, 49, "");
    EXPECT_EQ(textOf(me, "custname"), "张明");
    EXPECT_EQ(textOf(me, "~sex"), "男");
    EXPECT_EQ(textOf(me, "idno"), "110101198001011234");
    const std::string who = personalData();
    EXPECT_EQ(errorOf(ask(500, 44, "&tacode=01" + who + "&telno=13800138000")), "您已开立该基金公司的基金帐户");
    EXPECT_EQ(errorOf(ask(500, 44, "&tacode=09" + who + "&telno=13800138000")), "基金公司代码错误");
    EXPECT_EQ(errorOf(ask(500, 44, "&tacode=03" + who + "&telno=1380")), "联系电话错误");
    EXPECT_EQ(errorOf(ask(500, 44, "&tacode=03&taacc=x" + who + "&telno=13800138000")), "基金帐号错误");
    EXPECT_EQ(errorOf(ask(500, 44,
                          "&tacode=03&name=" + hexOf("李华") + "&fullname=" + hexOf("李华") +
                              "&idtype=0&idno=110101198001011234&sex=1&addr=61&postid=100020&telno=13800138000")),
              "客户资料不符");
    const std::string longer = personalData(std::string(100, 'a') + "号");  // the form takes 100 characters
    EXPECT_EQ(errorOf(ask(500, 44, "&tacode=03&taacc=CJ0001234" + longer + "&telno=010-88886666")),
              "通信地址不能超过100个字");
    ASSERT_EQ(errorOf(ask(500, 44, "&tacode=03&taacc=CJ0001234" + who + "&telno=010-88886666")), "");
    EXPECT_EQ(fundSide().companyAccounts.at("03"), "CJ0001234");
    auto openings = sim->withRoom<SimWealthRoom>([](SimWealthRoom& r) { return r.customers["110001234"].openings; });
    ASSERT_EQ(openings.size(), 1u);
    EXPECT_TRUE(openings[0].added);
    EXPECT_EQ(openings[0].address, "北京市朝阳区建国路1号");
}

// Books kept under earlier rules opened an account with an address of any length.
TEST_F(SimWealthTest, BooksKeptUnderEarlierRulesOpenAnAccountWithALongerAddress) {
    sim->setBooksRules(SimBooksRules::PlansByCalendar);
    const std::string address = std::string(100, 'a') + "号";
    ASSERT_EQ(errorOf(ask(500, 44, "&tacode=03" + personalData(address) + "&telno=010-88886666")), "");
    auto openings = sim->withRoom<SimWealthRoom>([](SimWealthRoom& r) { return r.customers["110001234"].openings; });
    ASSERT_EQ(openings.size(), 1u);
    EXPECT_EQ(openings[0].address, address);
}

TEST_F(SimWealthTest, TheDaysFundBusinessIsListedWhereTheFormsSendTheCustomer) {
    // Each form's alert says "...请在当日委托中查询": 基金当日委托 (500/43) lists what it sent.
    const std::string purchase = textOf(ask(500, 35, "&ofcode=270001&orderamt=2000&chkriskflag=1"), "sno");
    ASSERT_FALSE(purchase.empty());
    ASSERT_EQ(errorOf(ask(500, 36, "&ofcode=270001&orderqty=100&redeemtype=0")), "");
    ASSERT_EQ(errorOf(ask(500, 38, "&ofcode=270001&orderqty=1000&otherofcode=270003&redeemtype=1")), "");
    ASSERT_EQ(errorOf(ask(500, 39, "&ofcode=270001&dividmethod=1")), "");
    ASSERT_EQ(errorOf(ask(500, 44, "&tacode=03" + personalData() + "&telno=13800138000")), "");
    ASSERT_EQ(errorOf(ask(500, 37, "&sno=" + purchase)), "");
    auto today = ask(500, 43, "");
    ASSERT_TRUE(today && !today->isError());
    std::vector<std::string> business, amounts, statuses;
    for (today->fetchFirst(); !today->isEOF(); today->fetchNext()) {
        business.push_back(textOf(today, "business"));
        amounts.push_back(textOf(today, "amount"));
        statuses.push_back(textOf(today, "status"));
    }
    EXPECT_EQ(business, (std::vector<std::string>{"开户", "分红设置", "转换", "赎回", "申购"}));
    EXPECT_EQ(amounts[1], "现金分红");
    EXPECT_EQ(amounts[2], "1000.00份转270003");
    EXPECT_EQ(amounts[4], "2000.00元");
    EXPECT_EQ(statuses, (std::vector<std::string>{"已确认", "已确认", "已报", "已报", "已撤"}));
    today->fetchFirst();
    EXPECT_EQ(textOf(today, "ofname"), "长江基金");
    // The day's only: the next morning starts an empty list.
    nextMorning();
    EXPECT_EQ(ask(500, 43, "")->rowsAffected(), 0);
}

}  // namespace
