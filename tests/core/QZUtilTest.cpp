#include <gtest/gtest.h>

#include "core/QZUtil.h"
#include "core/VTAParamter.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSDate.h"
#include "tests/support/TestSupport.h"

namespace {

class QZUtilAtTime : public ::testing::Test {
protected:
    void SetUp() override { VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ"); }
    void TearDown() override {
        Clock::useSystemTime();
        VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ");
    }
    // At a time of the test programs' zone (New York).
    static void freezeAt(int y, int mo, int d, int h, int mi, int s = 0) {
        auto date = localDate(y, mo, d, h, mi, s);
        ASSERT_TRUE(date);
        Clock::freezeAt(date->timeIntervalSince1970());
    }
    // At a time of 2024-03-15 (a Friday) on the exchanges' clock (UTC+8).
    static void freezeAtMarketTime(int h, int mi, int s = 0) {
        constexpr double kMidnight = 1710432000;  // 2024-03-15 00:00 at UTC+8
        Clock::freezeAt(kMidnight + h * 3600 + mi * 60 + s);
    }
    static void configure(Value::Dict config) {
        VTAParamter::shareParamter().setValue(Value(std::move(config)), "commomdSettingForHQ");
    }
};

TEST_F(QZUtilAtTime, TradeTimeUsesDefaultWindowsWithoutConfiguration) {
    struct Case {
        int h, m;
        bool in;
    };
    for (Case c : {Case{9, 29, false}, Case{9, 30, true}, Case{11, 30, true}, Case{11, 31, false}, Case{12, 59, false},
                   Case{13, 0, true}, Case{15, 0, true}, Case{15, 1, false}, Case{0, 0, false}}) {
        freezeAtMarketTime(c.h, c.m, 30);
        EXPECT_EQ(QZUtil::isTradeTimeNow(), c.in) << c.h << ":" << c.m;
    }
    // The machine's zone does not count: 10:30 in New York is 22:30 at the exchanges.
    freezeAt(2024, 3, 15, 10, 30);
    EXPECT_FALSE(QZUtil::isTradeTimeNow());
    freezeAt(2024, 3, 14, 22, 30);
    EXPECT_TRUE(QZUtil::isTradeTimeNow());
}

TEST_F(QZUtilAtTime, TradeTimeFollowsTheIntervalSetting) {
    configure({{"interval", Value("0915-1130, 1300-1505")}});
    freezeAtMarketTime(9, 20);
    EXPECT_TRUE(QZUtil::isTradeTimeNow());
    freezeAtMarketTime(15, 4);
    EXPECT_TRUE(QZUtil::isTradeTimeNow());
    freezeAtMarketTime(15, 6);
    EXPECT_FALSE(QZUtil::isTradeTimeNow());

    // One-digit hours read; unreadable parts are skipped.
    configure({{"interval", Value("930-1000,junk,1400-1300,2500-2600,1430-1445")}});
    EXPECT_EQ(QZUtil::tradeWindows(), (std::vector<QZUtil::Window>{{570, 600}, {870, 885}}));

    // Nothing readable: the default windows.
    configure({{"interval", Value("never")}});
    EXPECT_EQ(QZUtil::tradeWindows(), (std::vector<QZUtil::Window>{{570, 690}, {780, 900}}));
}

TEST_F(QZUtilAtTime, HongKongSessions) {
    EXPECT_EQ(QZUtil::tradeTimeOnsetArrayOfHK(), (std::vector<int>{600, 750, 870, 960}));
    configure({{"HKtime", Value("570,720,780,960")}});
    EXPECT_EQ(QZUtil::tradeTimeOnsetArrayOfHK(), (std::vector<int>{570, 720, 780, 960}));
    for (const char* bad :
         {"570,720,780", "570,720,780,960,1000", "570,x,780,960", "720,570,780,960", "570,720,780,1440", ""}) {
        configure({{"HKtime", Value(bad)}});
        EXPECT_EQ(QZUtil::tradeTimeOnsetArrayOfHK(), (std::vector<int>{600, 750, 870, 960})) << bad;
    }
}

TEST(QZUtil, IntegerFromSignStr) {
    EXPECT_EQ(QZUtil::integerFromSignStr(std::nullopt), 0);
    EXPECT_EQ(QZUtil::integerFromSignStr(""), 0);
    EXPECT_EQ(QZUtil::integerFromSignStr("-0.5"), -1);
    EXPECT_EQ(QZUtil::integerFromSignStr("-"), -1);
    EXPECT_EQ(QZUtil::integerFromSignStr("买入"), 1);
    EXPECT_EQ(QZUtil::integerFromSignStr("卖出"), -1);
    EXPECT_EQ(QZUtil::integerFromSignStr("证券买卖"), 1);  // "买" wins
    EXPECT_EQ(QZUtil::integerFromSignStr("撤单"), 0);
    EXPECT_EQ(QZUtil::integerFromSignStr("+1.2"), 0);  // not a digit, no 买/卖
    EXPECT_EQ(QZUtil::integerFromSignStr("0.00"), 0);
    EXPECT_EQ(QZUtil::integerFromSignStr("0"), 0);
    EXPECT_EQ(QZUtil::integerFromSignStr("0.01"), 1);
    EXPECT_EQ(QZUtil::integerFromSignStr("12"), 1);
}

TEST(QZUtil, TimeTexts) {
    EXPECT_EQ(QZUtil::stringTimeFromIntTime(570), "9:30");
    EXPECT_EQ(QZUtil::stringTimeFromIntTime(905), "15:05");
    EXPECT_EQ(QZUtil::stringTimeFromIntTime(0), "0:00");
    EXPECT_EQ(QZUtil::timeWithoutSecond(std::string("10:31:02")), "10:31");
    EXPECT_EQ(QZUtil::timeWithoutSecond(std::string("10:31")), "10:31");  // kept as it is
    EXPECT_EQ(QZUtil::timeWithoutSecond(std::string("1:2:3:4")), "1:2:3:4");
    EXPECT_FALSE(QZUtil::timeWithoutSecond(std::nullopt));
    EXPECT_EQ(QZUtil::timeWithoutMillisecond(std::string("10:31:02.250")), "10:31:02");
    EXPECT_EQ(QZUtil::timeWithoutMillisecond(std::string("10:31:02")), "10:31:02");  // no fraction: unchanged
    EXPECT_EQ(QZUtil::timeWithoutMillisecond(std::string(".5")), "");
    EXPECT_FALSE(QZUtil::timeWithoutMillisecond(std::nullopt));
}

TEST(QZUtil, CompareFloatStringsAndWeekdays) {
    EXPECT_EQ(QZUtil::compareWithFloatString("10.5", "10.49"), 1);
    EXPECT_EQ(QZUtil::compareWithFloatString("-1", "0"), -1);
    EXPECT_EQ(QZUtil::compareWithFloatString("3.10", "3.1"), 0);
    EXPECT_EQ(QZUtil::compareWithFloatString("", "0"), 0);
    EXPECT_EQ(QZUtil::weekdayDescFromIntweek(0), "星期日");
    EXPECT_EQ(QZUtil::weekdayDescFromIntweek(6), "星期六");
    EXPECT_FALSE(QZUtil::weekdayDescFromIntweek(7));
    EXPECT_FALSE(QZUtil::weekdayDescFromIntweek(-1));
}

TEST_F(QZUtilAtTime, DayDescriptionJudgesTodayOnTheServersCalendarInAnyZone) {
    // Late on 2024-03-15 and just after its midnight in Shanghai: New York is
    // still on the 15th or on the 14th, Auckland already on the 16th or on
    // the 15th, yet the server's today is the 15th for all of them.
    for (const char* zone : {"America/New_York", "Pacific/Auckland", "Asia/Shanghai"}) {
        ScopedTimeZone phone(zone);
        for (const auto& [h, mi] : std::vector<std::pair<int, int>>{{23, 30}, {0, 30}}) {
            freezeAtMarketTime(h, mi);
            SCOPED_TRACE(std::string(zone) + " " + std::to_string(h) + ":" + std::to_string(mi));
            EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-03-15"), std::string("5")), "今天");
            EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-03-20"), std::string("3")), "今天");  // or later
            EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-03-14"), std::string("4")), "昨天");
            EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-03-13"), std::string("3")), "2024-03-13");
            EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-03-16"), std::string("6")), "今天");
        }
    }
    EXPECT_FALSE(QZUtil::dayDescFromDate(std::nullopt, std::string("1")));
    EXPECT_FALSE(QZUtil::dayDescFromDate(std::string("2024-03-15"), std::nullopt));
    EXPECT_FALSE(QZUtil::dayDescFromDate(std::string("2024-03-15"), std::string("")));
    EXPECT_EQ(QZUtil::dayDescFromDate(std::string("garbage"), std::string("1")), "garbage");

    // Yesterday across a year and a leap day, on the server's calendar.
    Clock::freezeAt(1704040200);  // 2024-01-01 00:30 in Shanghai (11:30 of 2023-12-31 in New York)
    EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2023-12-31"), std::string("0")), "昨天");
    EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-01-01"), std::string("1")), "今天");
    Clock::freezeAt(1709222400);  // 2024-03-01 00:00 in Shanghai
    EXPECT_EQ(QZUtil::dayDescFromDate(std::string("2024-02-29"), std::string("4")), "昨天");
}

TEST_F(QZUtilAtTime, IntValueFromDateIsTheLocalDay) {
    auto late = localDate(2024, 3, 15, 21, 30);
    ASSERT_TRUE(late);
    EXPECT_EQ(QZUtil::intValueFromDate(*late), 20240315);  // UTC would say 20240316
    EXPECT_EQ(QZUtil::intValueFromDate(localDate(2023, 12, 31, 23, 59, 59)), 20231231);
    EXPECT_EQ(QZUtil::intValueFromDate(std::nullopt), 0);
}

TEST_F(QZUtilAtTime, MessageLimit) {
    EXPECT_EQ(QZUtil::maxMessageExpressAmount(), 30);
    configure({{"maxmsg", Value("1^50")}});
    EXPECT_EQ(QZUtil::maxMessageExpressAmount(), 50);
    for (const char* text : {"1^0", "1^-4", "50", "1^abc", "", "^"}) {
        configure({{"maxmsg", Value(text)}});
        EXPECT_EQ(QZUtil::maxMessageExpressAmount(), 30) << text;
    }
}

TEST(QZUtil, SystemVersionComparesNumerically) {
    EXPECT_EQ(QZUtil::compareSystemVersion("4.1", "4.0"), 1);
    EXPECT_EQ(QZUtil::compareSystemVersion("4.0", "4.1"), -1);
    EXPECT_EQ(QZUtil::compareSystemVersion("4.10", "4.9"), 1);  // not text order
    EXPECT_EQ(QZUtil::compareSystemVersion("4", "4.0.0"), 0);
    EXPECT_EQ(QZUtil::compareSystemVersion("3.2", "4.0"), -1);
    EXPECT_EQ(QZUtil::compareSystemVersion("10.0", "9.3"), 1);
}

}  // namespace
