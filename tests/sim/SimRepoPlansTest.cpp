// The simulated brokerage's quoted repo and fixed-investment plans: the
// checks of a buy and of an early end with their texts, a deal paid back at
// its term, the plans' checks, the one-plan-per-fund rule, the risk warning
// and a termination that finds no plan, and a plan's purchase on its pay day
// (with the money or without it, on a day the server saw or not, once across
// a restart), a pay day the market is closed met on the next trading day, and
// a plan past its end date open nowhere.
#include <gtest/gtest.h>

#include "SimTestSupport.h"
#include "sim/SimClock.h"
#include "sim/SimFunds.h"
#include "sim/SimPlans.h"
#include "sim/SimRepo.h"
#include "sim/SimSnapshot.h"
#include "sim/SimTrade.h"

namespace {

constexpr const char* kCustomerA = "010110001234";
// The seeded repo deal (5,000.00 元 of 205002, from three days before the
// books' first request for 14 days) and its interest, back in A's money.
constexpr SimMoney kSeededDealBack = 500595;

class SimRepoPlansTest : public SimTest {
protected:
    void SetUp() override {
        sim->setSessionIdleTimeout(1e9);  // the tests move the clock across days
        session = login();
        tradeInfo = tradeLogin(session, kCustomerA);
        ASSERT_FALSE(tradeInfo.empty());
    }
    std::shared_ptr<VTATCRS> ask(int sub, const std::string& fields) {
        return firstSet(call(session, "tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + tradeInfo +
                                          "&fundid=" + kCustomerA + fields));
    }
    static std::string errorOf(const std::shared_ptr<VTATCRS>& set) {
        return set && set->isError() ? set->getError() : "";
    }
    static std::string textOf(const std::shared_ptr<VTATCRS>& set, const std::string& field) {
        return set ? set->toStringWithFieldName(field).value_or("") : "";
    }
    // 总资产 of the main fund account's 人民币 (500/9).
    std::string asset() { return textOf(ask(9, ""), "asset"); }
    SimMoney available() {
        return sim->withRoom<SimTradeRoom>(
            [](SimTradeRoom& r) { return r.books.customer(kCustomerA)->fundAccounts.front().balances[0].available(); });
    }
    SimBalance cash() {
        return sim->withRoom<SimTradeRoom>(
            [](SimTradeRoom& r) { return r.books.customer(kCustomerA)->fundAccounts.front().balances[0]; });
    }
    // The units of 270003, the fund of A's plan.
    int64_t planUnits() {
        return sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
            const SimFundHolding* h = r.customer("110001234").holding("270003");
            return h ? h->units : int64_t(0);
        });
    }
    // The plan's purchases a fund list shows (500/42 every fund order, 500/43 the day's), newest first:
    // business, amount, date, status.
    std::vector<std::vector<std::string>> planRows(int sub) {
        std::vector<std::vector<std::string>> rows;
        auto set = ask(sub, "&count=50");
        if (!set) return {{"no answer"}};
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext())
            if (textOf(set, "ofcode") == "270003")
                rows.push_back({textOf(set, "ofname"), textOf(set, "business"), textOf(set, "amount"),
                                textOf(set, "orderdate"), textOf(set, "status")});
        return rows;
    }
    // The clock at 10:00 of a day, and a request: the first of a day settles the night.
    void on(int yyyymmdd) {
        sim->clock().setTime(SimClock::fromLocal(yyyymmdd, 10 * 60));
        ask(9, "");
    }
    std::vector<SimRepoDeal> deals() {
        return sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) { return r.deals["110001234"]; });
    }
    std::string plan(const std::string& code, const std::string& amount, const std::string& period,
                     const std::string& day, const std::string& begin = "20240305",
                     const std::string& end = "20250305") {
        return "&tacode=" + std::string(code[0] == '3' ? "02" : "01") + "&ofcode=" + code + "&orderamt=" + amount +
               "&begindate=" + begin + "&enddate=" + end + "&actionmode=" + period + "&sendday=" + day;
    }
    std::string session, tradeInfo;
};

TEST_F(SimRepoPlansTest, ABuyIsCheckedAndLendsTheCashUntilItsTerm) {
    const std::string buy = "&market=1&secuid=A100001234&stkcode=205001&orderqty=";
    EXPECT_EQ(errorOf(ask(56, "&market=1&secuid=A100001234&stkcode=999999&orderqty=100")), "证券代码不存在");
    EXPECT_EQ(errorOf(ask(56, "&market=0&secuid=0010001234&stkcode=205001&orderqty=100")), "股东代码错误");
    EXPECT_EQ(errorOf(ask(56, "&market=1&secuid=A999999999&stkcode=205001&orderqty=100")), "股东代码错误");
    EXPECT_EQ(errorOf(ask(56, buy + "1.005")), "委托数量错误");
    EXPECT_EQ(errorOf(ask(56, buy + "9.99")), "委托金额低于最低限额1000元");
    EXPECT_EQ(errorOf(ask(56, buy + "99999999")), "可用资金不足");
    const SimMoney before = available();
    const std::string assetBefore = asset();
    auto set = ask(56, buy + "100.000");  // zeros past the fen are the value they are
    ASSERT_TRUE(set && !set->isError());
    EXPECT_EQ(set->toStringWithFieldName("matchcode").value_or(""), "R2");
    EXPECT_EQ(available(), before - 1000000);
    // The money lent is still the customer's: 总资产 keeps it, the running deals list it.
    EXPECT_EQ(asset(), assetBefore);
    auto running = ask(57, "&count=12");
    ASSERT_TRUE(running && running->rowsAffected() == 2);
    running->fetchNext();
    EXPECT_EQ(textOf(running, "stkcode"), "205001");
    EXPECT_EQ(textOf(running, "amount"), "10000.00");
    // The loan is an order of the day where its alert sends the customer (当日委托), done at once.
    auto today = ask(13, "");
    EXPECT_EQ(textOf(today, "stkcode"), "205001");
    EXPECT_EQ(textOf(today, "bsname"), "买入");
    EXPECT_EQ(textOf(today, "orderqty"), "10000");
    EXPECT_EQ(textOf(today, "orderstatus"), "已成");
    EXPECT_EQ(textOf(ask(14, ""), "matchamt"), "10000.00");

    // Seven days on the deal pays back with 2.80 % a year, 5.3699 rounded half
    // up to 5.37; the seeded 14-day deal runs on.
    sim->clock().advance(7 * 86400);
    auto list = ask(57, "&count=12");
    ASSERT_TRUE(list && !list->isError());
    EXPECT_EQ(list->rowsAffected(), 1);
    EXPECT_EQ(list->toStringWithFieldName("stkcode").value_or(""), "205002");
    EXPECT_EQ(available(), before + 537);
    EXPECT_EQ(deals()[1].status, SimRepoDealStatus::Matured);
}

TEST_F(SimRepoPlansTest, AnEarlyEndIsWholeAndOnce) {
    const std::string deal =
        "&market=1&secuid=A100001234&stkcode=205002&matchcode=R1&matchdate=" + std::to_string(deals()[0].matchDate) +
        "&orderqty=";
    EXPECT_EQ(errorOf(ask(58, deal + "10.00")), "提前终止须为全部数量");
    EXPECT_EQ(errorOf(ask(58,
                          "&market=1&secuid=A100001234&stkcode=205002&matchcode=R9&matchdate=20240302"
                          "&orderqty=50.00")),
              "成交编号不存在");
    const SimMoney before = available();
    auto set = ask(58, deal + "50.000");
    ASSERT_TRUE(set && !set->isError());
    EXPECT_EQ(errorOf(ask(58, deal + "50.00")), "成交编号不存在") << "ended once";
    // Three days at 0.72 %: 0.2959 -> 0.30 元 of interest; the end is an order of the day (当日委托).
    EXPECT_EQ(available(), before + 500030);
    auto today = ask(13, "");
    EXPECT_EQ(textOf(today, "stkcode"), "205002");
    EXPECT_EQ(textOf(today, "bsname"), "提前终止");
    EXPECT_EQ(textOf(today, "orderqty"), "5000");
    EXPECT_EQ(textOf(ask(14, ""), "matchamt"), "5000.30");
}

TEST_F(SimRepoPlansTest, APlanIsCheckedAndOneRunsPerFund) {
    EXPECT_EQ(errorOf(ask(1801, plan("999999", "100", "1", "1"))), "基金代码不存在");
    EXPECT_EQ(errorOf(ask(1801, plan("270002", "100", "1", "1"))), "该基金不支持定投");
    EXPECT_EQ(errorOf(ask(1801,
                          "&tacode=02&ofcode=270001&orderamt=100&begindate=20240305&enddate=20250305"
                          "&actionmode=1&sendday=1")),
              "基金公司代码不符");
    EXPECT_EQ(errorOf(ask(1801, plan("270003", "100", "1", "1"))), "该基金已开通定投");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "abc", "1", "1"))), "定投金额错误");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "100.505", "1", "1"))), "定投金额错误");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "99.99", "1", "1"))), "定投金额不能低于100元");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "100", "1", "1", "20240305", "20240304"))), "日期错误");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "100", "1", "1", "20240230"))), "日期错误");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "100", "3", "1"))), "扣款周期错误");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "100", "1", "8"))), "扣款日错误");
    EXPECT_EQ(errorOf(ask(1801, plan("270001", "100", "2", "29"))), "扣款日错误");
    EXPECT_NE(errorOf(ask(1801, plan("270005", "100", "1", "1") + "&chkriskflag=1")).find("88001"), std::string::npos);
    auto opened = ask(1801, plan("270001", "100.500", "1", "7") + "&chkriskflag=1");
    ASSERT_TRUE(opened && !opened->isError());
    EXPECT_EQ(opened->toStringWithFieldName("msg").value_or(""), "智能定投开通成功");

    auto list = ask(1804, "&qryflag=1&count=100&poststr=");
    ASSERT_TRUE(list && !list->isError());
    ASSERT_EQ(list->rowsAffected(), 2);
    list->moveToIndex(1);
    EXPECT_EQ(list->toStringWithFieldName("~sendday").value_or(""), "星期日");
    EXPECT_EQ(list->toStringWithFieldName("actionmode").value_or(""), "1");
    EXPECT_EQ(list->toStringWithFieldName("orderamt").value_or(""), "100.50");

    EXPECT_EQ(errorOf(ask(1802, plan("310001", "100", "1", "1"))), "未找到该定投计划");
    auto closed = ask(1803, "&ofcode=270001&tacode=01");
    ASSERT_TRUE(closed && !closed->isError());
    EXPECT_EQ(closed->toStringWithFieldName("msgcode").value_or(""), "0");
    auto again = ask(1803, "&ofcode=270001&tacode=01");
    ASSERT_TRUE(again && !again->isError()) << "a refusal is a record, not an error set";
    EXPECT_EQ(again->toStringWithFieldName("msgcode").value_or(""), "1");
    EXPECT_EQ(again->toStringWithFieldName("msg").value_or(""), "未找到该定投计划");
}

// A's plan pays on the 15th of every month (here changed to 800 元): that
// day (a Friday) its money is held, the next trading day (Monday, not the
// weekend between) the units come at the net value.
TEST_F(SimRepoPlansTest, APlanBuysItsFundOnItsPayDayAndTheNextTradingDayConfirmsIt) {
    ASSERT_EQ(errorOf(ask(1802, plan("270003", "800", "2", "15"))), "");
    on(20240314);
    EXPECT_TRUE(planRows(42).empty()) << "not its pay day";
    const SimMoney before = cash().balance;
    on(20240315);
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(planRows(43), (Rows{{"恒岳增利债券", "定投", "800.00元", "", "已报"}}));
    EXPECT_EQ(cash().frozen, 80000);
    EXPECT_EQ(cash().available(), 100000000 - 80000);
    on(20240316);
    EXPECT_EQ(planUnits(), 0) << "no units on a day no fund publishes its net value";
    EXPECT_EQ(cash().frozen, 80000);
    on(20240318);
    // 800 元 at 1.0872: 735.8352 份, rounded once.
    EXPECT_EQ(planUnits(), 73584);
    EXPECT_EQ(cash().frozen, 0);
    EXPECT_EQ(cash().balance, before - 80000 + kSeededDealBack);
    EXPECT_EQ(planRows(42), (Rows{{"恒岳增利债券", "定投", "800.00元", "20240315", "已确认"}})) << "once";
}

// No request on the 15th (a Friday), the next on Saturday: the plan of the
// 15th is carried out then, once, as of its day; without the money it is
// recorded as not carried out, and the plan pays on its next pay day.
TEST_F(SimRepoPlansTest, APayDayTheServerDidNotSeeIsCarriedOutOnceOrRecordedWithoutTheMoney) {
    on(20240314);
    ASSERT_EQ(errorOf(ask(35, "&ofcode=270001&orderamt=999600&chkriskflag=1")), "");  // 400.00 元 left
    on(20240316);
    using Rows = std::vector<std::vector<std::string>>;
    EXPECT_EQ(planRows(42), (Rows{{"恒岳增利债券", "定投", "500.00元", "20240315", "资金不足未扣款"}}));
    EXPECT_EQ(cash().frozen, 0);
    EXPECT_EQ(cash().balance, 40000) << "the repo deal comes back on the 25th";
    EXPECT_EQ(planUnits(), 0);
    auto plans = ask(1804, "&qryflag=1&count=100&poststr=");
    ASSERT_TRUE(plans && !plans->isError());
    EXPECT_EQ(plans->rowsAffected(), 1) << "the plan stays";

    // With the money back, the next pay day, unseen as well, is carried out once.
    on(20240417);
    on(20240418);
    EXPECT_EQ(planRows(42), (Rows{{"恒岳增利债券", "定投", "500.00元", "20240415", "已确认"},
                                  {"恒岳增利债券", "定投", "500.00元", "20240315", "资金不足未扣款"}}));
    EXPECT_EQ(planUnits(), 45990) << "500 元 at 1.0872: 459.8970 份";
    EXPECT_EQ(cash().balance, 40000 + kSeededDealBack - 50000);
    EXPECT_EQ(cash().frozen, 0);
}

// The books restored from a snapshot, or replayed from the journal on disk,
// hold the pay day carried out: a request of the same day does not carry it
// out again, and the next pay day is met.
TEST_F(SimRepoPlansTest, ARestartDoesNotCarryOutAPayDayAgain) {
    on(20240315);
    ASSERT_EQ(cash().frozen, 50000);
    auto restored = std::make_unique<SimServer>(tuesdayOptions());
    std::string why;
    ASSERT_TRUE(simRestore(*restored, simSnapshot(*sim, "a key"), "a key", why)) << why;
    sim = std::move(restored);
    SetUp();
    ask(9, "");
    EXPECT_EQ(cash().frozen, 50000) << "restored";
    EXPECT_EQ(planRows(43).size(), 1u);
    on(20240415);
    EXPECT_EQ(planRows(43).size(), 1u) << "the next pay day met";

    TempDir dir;
    SimOptions options = tuesdayOptions();
    options.booksPath = dir.file("books");
    sim = std::make_unique<SimServer>(options);
    SetUp();
    on(20240315);
    ASSERT_EQ(cash().frozen, 50000);
    sim.reset();
    sim = std::make_unique<SimServer>(options);
    ASSERT_EQ(sim->setupError(), "");
    SetUp();
    ask(9, "");
    EXPECT_EQ(cash().frozen, 50000) << "replayed";
    EXPECT_EQ(planRows(43).size(), 1u);
    on(20240318);
    EXPECT_EQ(planUnits(), 45990);
    EXPECT_EQ(planRows(42).size(), 1u);
}

// A pay day the market is closed (A's plan on the 9th, a Saturday, and a
// weekly plan on Sundays) is met on the next trading day, dated it, and
// confirmed on the trading day after; the weekend's requests meet neither.
// Met once, also when no request came across it.
TEST_F(SimRepoPlansTest, APayDayOfAClosedMarketIsMetOnTheNextTradingDayOnce) {
    using Rows = std::vector<std::vector<std::string>>;
    for (const bool everyDay : {true, false}) {
        SCOPED_TRACE(everyDay ? "a request every day" : "no request from Friday to Wednesday");
        sim = std::make_unique<SimServer>(tuesdayOptions());
        SetUp();
        ASSERT_EQ(errorOf(ask(1802, plan("270003", "500", "2", "9"))), "");
        ASSERT_EQ(errorOf(ask(1801, plan("270001", "100", "1", "7"))), "");
        on(20240308);
        const SimMoney before = cash().balance;
        if (everyDay) {
            on(20240309);
            on(20240310);
            EXPECT_EQ(planRows(42), Rows{}) << "nothing on the weekend";
            EXPECT_EQ(cash().frozen, 0);
            on(20240311);
            EXPECT_EQ(planRows(42), (Rows{{"恒岳增利债券", "定投", "500.00元", "20240311", "已报"}}));
            EXPECT_EQ(cash().frozen, 50000 + 10000);
            on(20240312);
        } else {
            on(20240313);
        }
        EXPECT_EQ(planRows(42), (Rows{{"恒岳增利债券", "定投", "500.00元", "20240311", "已确认"}}));
        EXPECT_EQ(planUnits(), 45990);
        auto weekly = sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
            std::vector<int> dates;
            for (const auto& o : r.customer("110001234").orders)
                if (o.business == kSimPlanPurchase && o.code == "270001") dates.push_back(o.date);
            return dates;
        });
        EXPECT_EQ(weekly, std::vector<int>{20240311}) << "Sunday the 10th's";
        EXPECT_EQ(cash().frozen, 0);
        EXPECT_EQ(cash().balance, before - 50000 - 10000);
    }
}

// A plan past its end date pays no more and is open nowhere: not listed,
// neither changed nor ended, and a new plan of its fund opens.
TEST_F(SimRepoPlansTest, APlanPastItsEndDateIsOpenNowhere) {
    ASSERT_EQ(errorOf(ask(1801, plan("270001", "100", "2", "6", "20240305", "20240307"))), "");
    on(20240306);
    auto list = [&] {
        std::vector<std::string> codes;
        auto set = ask(1804, "&qryflag=1&count=100&poststr=");
        for (set->fetchFirst(); set && !set->isEOF(); set->fetchNext()) codes.push_back(textOf(set, "ofcode"));
        return codes;
    };
    EXPECT_EQ(list(), (std::vector<std::string>{"270003", "270001"})) << "on its last day";
    on(20240308);
    EXPECT_EQ(list(), std::vector<std::string>{"270003"});
    EXPECT_EQ(errorOf(ask(1802, plan("270001", "100", "2", "6", "20240305", "20240607"))), "未找到该定投计划");
    auto closed = ask(1803, "&ofcode=270001&tacode=01");
    ASSERT_TRUE(closed && !closed->isError());
    EXPECT_EQ(textOf(closed, "msgcode"), "1");
    EXPECT_EQ(textOf(closed, "msg"), "未找到该定投计划");
    auto opened = ask(1801, plan("270001", "200", "2", "6", "20240308", "20250308"));
    ASSERT_TRUE(opened && !opened->isError()) << errorOf(opened);
    EXPECT_EQ(textOf(opened, "msg"), "智能定投开通成功");
    EXPECT_EQ(list(), (std::vector<std::string>{"270003", "270001"}));
    on(20240408);
    EXPECT_EQ(errorOf(ask(1802, plan("270001", "300", "2", "6", "20240308", "20250308"))), "") << "the new one";
    auto purchases = sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
        std::vector<std::pair<int, SimMoney>> out;
        for (const auto& o : r.customer("110001234").orders)
            if (o.business == kSimPlanPurchase && o.code == "270001") out.push_back({o.date, o.amount});
        return out;
    });
    EXPECT_EQ(purchases, (std::vector<std::pair<int, SimMoney>>{{20240306, 10000}, {20240408, 20000}}))
        << "the ended plan's pay days pay nothing; the new one's 6th of April, a Saturday, on Monday";
}

}  // namespace
