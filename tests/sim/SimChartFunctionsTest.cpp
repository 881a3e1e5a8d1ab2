// The chart functions of the simulated server: intraday steps, gaps and past
// days; K-line periods, the bar in progress, moving averages and indicators.
#include "SimTestSupport.h"

#include <cmath>

#include "core/contracts/QuoteContract.h"
#include "sim/SimIndicators.h"

namespace {

namespace Col = QuoteContract::Col;

std::vector<std::shared_ptr<VTATCRS>> setsOf(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets ? *sets : std::vector<std::shared_ptr<VTATCRS>>{};
}

std::vector<long long> column(VTATCRS& set, const char* name) {
    std::vector<long long> out;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) out.push_back(set.toIntWithFieldName(name));
    set.fetchFirst();
    return out;
}

std::string text(VTATCRS& set, const char* name) { return set.toStringWithFieldName(name).value_or(""); }

double number(VTATCRS& set, int column) {
    auto v = set.toVTAFloatAtIndex(column);
    return v ? v->toFloat() : NAN;
}

class SimChartFunctionsTest : public SimTest {
protected:
    void SetUp() override { session = login(); }
    std::vector<std::shared_ptr<VTATCRS>> ask(const std::string& fields) { return setsOf(call(session, fields)); }
    std::string session;
};

}  // namespace

TEST_F(SimChartFunctionsTest, IntradayStepsOfTheAskedFrequencyEndAtTheClockAndAgreeWithTheQuote) {
    auto day = ask("tc_mfuncno=31000&tc_sfuncno=1&freq=2&addup=1&code=600000.2");
    ASSERT_EQ(day.size(), 4u);
    auto times = column(*day[1], Col::kMinute);
    ASSERT_EQ(times.size(), 31u);  // 9:30 to 10:30
    EXPECT_EQ(times.front(), 930);
    EXPECT_EQ(times[1], 932);
    EXPECT_EQ(times.back(), 1030);
    auto shares = column(*day[1], Col::kMinuteShare);
    EXPECT_EQ(*std::max_element(shares.begin(), shares.end()), 1000) << "the largest step fills the bars";
    // The last point and the header say the same.
    day[0]->fetchFirst();
    day[1]->fetchLast();
    EXPECT_EQ(text(*day[0], Col::kLast), text(*day[1], Col::kLast));
    EXPECT_EQ(text(*day[0], Col::kUpdated), "20240305103000");
    EXPECT_EQ(day[0]->rowsAffected(), 2) << "with the index";
    EXPECT_EQ(column(*day[3], Col::kMinute).size(), 31u);
    EXPECT_EQ(column(*ask("tc_mfuncno=31000&tc_sfuncno=1&code=600000.2")[1], Col::kMinute).size(), 61u)
        << "one point a minute by default";

    // A past day whole; Hong Kong's longer day.
    auto past = ask("tc_mfuncno=31000&tc_sfuncno=1&freq=2&date=20240301&code=600000.2");
    times = column(*past[1], Col::kMinute);
    EXPECT_EQ(times.size(), 121u);
    EXPECT_EQ(times[60], 1130);
    EXPECT_EQ(times[61], 1302);
    EXPECT_EQ(times.back(), 1500);
    past[0]->fetchFirst();
    EXPECT_EQ(text(*past[0], Col::kUpdated).substr(0, 8), "20240301");
    auto hk = ask("tc_mfuncno=31000&tc_sfuncno=1&freq=2&date=20240301&code=00700.3");
    times = column(*hk[1], Col::kMinute);
    EXPECT_EQ(times.size(), 166u);
    EXPECT_EQ(times[75], 1200);
    EXPECT_EQ(times.back(), 1600);
}

TEST_F(SimChartFunctionsTest, ABondsDayStartsAndEndsWithoutDeals) {
    auto bond = ask("tc_mfuncno=31000&tc_sfuncno=1&freq=2&date=20240301&code=019547.2");
    auto times = column(*bond[1], Col::kMinute);
    ASSERT_FALSE(times.empty());
    EXPECT_GT(times.front(), 930) << "the leading gap";
    EXPECT_LT(times.back(), 1500) << "the trailing gap";
    bond[0]->fetchFirst();
    EXPECT_FALSE(text(*bond[0], Col::kOpen).empty());
}

TEST_F(SimChartFunctionsTest, TodaysBarEndsAtTheClock) {
    auto kline = ask("tc_mfuncno=31000&tc_sfuncno=2&count=3&code=600000.2");
    auto quote = firstSet(call(session, "tc_mfuncno=31000&tc_sfuncno=4&code=600000.2"));
    ASSERT_EQ(kline[1]->rowsAffected(), 3);
    kline[1]->fetchLast();
    quote->fetchFirst();
    EXPECT_EQ(text(*kline[1], Col::kDate), "20240305");
    for (const char* f : {Col::kOpen, Col::kHigh, Col::kLow, Col::kLast, Col::kVolume, Col::kAmount})
        EXPECT_EQ(text(*kline[1], f), text(*quote, f)) << f;
    // Before the open there is no bar for today yet.
    SimOptions early = tuesdayOptions();
    early.clock = kTuesdayMorning - 2 * 3600;  // 8:30
    sim = std::make_unique<SimServer>(early);
    session = login();
    kline = ask("tc_mfuncno=31000&tc_sfuncno=2&count=2&code=600000.2");
    kline[1]->fetchLast();
    EXPECT_EQ(text(*kline[1], Col::kDate), "20240304");
}

TEST_F(SimChartFunctionsTest, PeriodsFromFiveMinutesToAMonth) {
    auto five = ask("tc_mfuncno=31000&tc_sfuncno=2&type=1&count=60&code=600000.2");
    ASSERT_EQ(five[1]->rowsAffected(), 60);
    five[1]->fetchLast();
    EXPECT_EQ(text(*five[1], Col::kDate), "202403051030");
    five[1]->moveToIndex(59 - 11);
    EXPECT_EQ(text(*five[1], Col::kDate), "202403050935") << "twelve bars from 9:35";
    five[1]->moveToIndex(59 - 12);
    EXPECT_EQ(text(*five[1], Col::kDate), "202403041500");
    auto hour = ask("tc_mfuncno=31000&tc_sfuncno=2&type=4&count=5&code=600000.2");
    std::vector<std::string> das;
    for (hour[1]->fetchFirst(); !hour[1]->isEOF(); hour[1]->fetchNext()) das.push_back(text(*hour[1], Col::kDate));
    EXPECT_EQ(
        das, (std::vector<std::string>{"202403041030", "202403041130", "202403041400", "202403041500", "202403051030"}))
        << "10:30 today ends the first hour";
    hour = ask("tc_mfuncno=31000&tc_sfuncno=2&type=4&count=1&code=600000.2");
    hour[1]->fetchFirst();
    EXPECT_EQ(text(*hour[1], Col::kDate), "202403051030");

    auto week = ask("tc_mfuncno=31000&tc_sfuncno=2&type=6&count=3&code=600000.2");
    das.clear();
    for (week[1]->fetchFirst(); !week[1]->isEOF(); week[1]->fetchNext()) das.push_back(text(*week[1], Col::kDate));
    EXPECT_EQ(das, (std::vector<std::string>{"20240223", "20240301", "20240305"}));
    auto month = ask("tc_mfuncno=31000&tc_sfuncno=2&type=7&count=3&code=600000.2");
    das.clear();
    for (month[1]->fetchFirst(); !month[1]->isEOF(); month[1]->fetchNext()) das.push_back(text(*month[1], Col::kDate));
    EXPECT_EQ(das, (std::vector<std::string>{"20240131", "20240229", "20240305"}));
    // A month's bar spans its days.
    auto days = ask("tc_mfuncno=31000&tc_sfuncno=2&count=30&date=20240229&code=600000.2");
    double high = 0;
    for (days[1]->fetchFirst(); !days[1]->isEOF(); days[1]->fetchNext())
        if (text(*days[1], Col::kDate).substr(0, 6) == "202402") high = std::max(high, number(*days[1], 2));
    month[1]->moveToIndex(1);
    EXPECT_FLOAT_EQ(number(*month[1], 2), high);
}

TEST_F(SimChartFunctionsTest, MovingAveragesAreRoundedMeansOfTheCloses) {
    auto bars = ask("tc_mfuncno=31000&tc_sfuncno=2&count=40&code=600519.2");
    VTATCRS& b = *bars[1];
    std::vector<int64_t> closes;  // in cents
    for (b.fetchFirst(); !b.isEOF(); b.fetchNext()) closes.push_back(b.toVTAFloatAtIndex(4)->value());
    // Rounded, not cut: a mean ending in half a cent or more goes up.
    int roundedUp = 0;
    for (int i = 30; i < 40; ++i) {
        b.moveToIndex(i);
        int64_t sum5 = 0, sum30 = 0;
        for (int k = i - 4; k <= i; ++k) sum5 += closes[k];
        for (int k = i - 29; k <= i; ++k) sum30 += closes[k];
        EXPECT_EQ(text(b, Col::kMa5), VTAFloat((sum5 * 2 + 5) / 10, 2).toString()) << i;
        EXPECT_EQ(text(b, Col::kMa30), VTAFloat((sum30 * 2 + 30) / 60, 2).toString()) << i;
        if (sum30 % 30 * 2 >= 30) ++roundedUp;
    }
    EXPECT_GT(roundedUp, 0) << "the case the cut got wrong is among them";
    EXPECT_EQ(b.getFieldNameAtIndex(13), Col::kMa30);
}

TEST_F(SimChartFunctionsTest, IndicatorColumnsFollowTheFixedOnesWithTheirOwnDecimals) {
    // From the first simulated day on: the reply holds the whole series, so a
    // second computation over it must give the same values.
    auto reply = ask("tc_mfuncno=31000&tc_sfuncno=2&count=1000&date=20200630&techname=MACD&code=000001.1");
    VTATCRS& bars = *reply[1];
    ASSERT_GT(bars.rowsAffected(), 100);
    EXPECT_EQ(bars.getFieldNameAtIndex(14), "MACD1");
    EXPECT_EQ(bars.getFieldNameAtIndex(16), "MACD3");
    std::vector<SimOHLC> ohlc;
    for (bars.fetchFirst(); !bars.isEOF(); bars.fetchNext())
        ohlc.push_back({number(bars, 1), number(bars, 2), number(bars, 3), number(bars, 4)});
    auto expected = SimIndicators::compute("MACD", ohlc);
    for (int i = 0; i < bars.rowsAffected(); ++i) {
        bars.moveToIndex(i);
        for (int k = 0; k < 3; ++k) {
            auto v = bars.toVTAFloatAtIndex(14 + k);
            ASSERT_TRUE(v);
            EXPECT_EQ(v->unit(), 3);
            EXPECT_NEAR(double(v->value()) / 1000, *expected[k][i], 0.0005 + 1e-6) << i << " " << k;
        }
    }
    // Every indicator the charts offer comes back under its own names.
    for (const char* name : {"KDJ", "RSI", "WR", "BOLL", "DMA", "AROON", "CCI", "SAR"}) {
        auto r = ask(std::string("tc_mfuncno=31000&tc_sfuncno=2&count=5&techname=") + name + "&code=600000.2");
        EXPECT_EQ(r[1]->getFieldNameAtIndex(14), std::string(name) + "1") << name;
        r[1]->fetchLast();
        EXPECT_TRUE(r[1]->toVTAFloatAtIndex(14)) << name << " has a value on the latest bar";
    }
    EXPECT_EQ(ask("tc_mfuncno=31000&tc_sfuncno=2&count=5&techname=&code=600000.2")[1]->fieldCount(), 14);
}

TEST_F(SimChartFunctionsTest, ADateThatIsNoRealDayIsRefusedNotReadAsAnother) {
    for (const char* function : {"1", "2"}) {
        const std::string base = std::string("tc_mfuncno=31000&tc_sfuncno=") + function + "&code=600000.2&date=";
        for (const char* bad : {"2024138001380000305", "20240230", "20241301", "99999999999"}) {
            auto sets = ask(base + bad);
            ASSERT_FALSE(sets.empty()) << bad;
            EXPECT_TRUE(sets[0]->isError()) << function << " " << bad;
        }
        auto real = ask(base + "20240229");
        ASSERT_FALSE(real.empty());
        EXPECT_FALSE(real[0]->isError()) << "a leap day is a real day";
    }
    // A key is the whole key: "date" followed by a NUL is another key, and
    // without a date the answer is today's.
    auto sets = ask(std::string("tc_mfuncno=31000&tc_sfuncno=1&code=600000.2&date") + '\0' + "x=20240230");
    ASSERT_FALSE(sets.empty());
    EXPECT_FALSE(sets[0]->isError());
}
