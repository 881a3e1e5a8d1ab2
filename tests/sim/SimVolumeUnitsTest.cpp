// Every volume the simulated market sends is in the unit its column names:
// "cjsl" (总手) in lots of 100 shares (10 张 of a bond) in the snapshot, the
// intraday and K-line replies, the rankings and the ticks, so that 金额 reads
// as 总手 x the lot x 均价; the five levels ("sl1".."bl5") in shares.
#include <cmath>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "core/contracts/QuoteContract.h"
#include "sim/SimClock.h"
#include "sim/SimMarket.h"

namespace {

namespace Col = QuoteContract::Col;

std::vector<std::shared_ptr<VTATCRS>> setsOf(const SimServer::Reply& r) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    return sets ? *sets : std::vector<std::shared_ptr<VTATCRS>>{};
}

// A volume or an amount (its unit a magnitude: 万, 亿), and a price (its unit its decimals).
double real(const VTATCRS& set, const char* name) {
    auto v = set.toVTAFloatWithFieldName(name);
    return v ? v->realValue() : NAN;
}
double price(const VTATCRS& set, const char* name) {
    auto v = set.toVTAFloatWithFieldName(name);
    return v ? v->toFloat() : NAN;
}

class SimVolumeUnitsTest : public SimTest {
protected:
    void SetUp() override { session = login(); }
    std::vector<std::shared_ptr<VTATCRS>> ask(const std::string& fields) { return setsOf(call(session, fields)); }
    SimQuote quoteOf(const std::string& id) {
        return sim->market().quote(*sim->market().findId(id), sim->clock().now());
    }
    // A row's amount is its lots at the lot's shares times a price between `low` and `high`.
    void expectLotsPriceTheAmount(const VTATCRS& row, int lot, double low, double high, const std::string& what) {
        const double lots = real(row, Col::kVolume), amount = real(row, Col::kAmount);
        ASSERT_GT(lots, 0) << what;
        const double average = amount / (lots * lot);
        // 万 and 亿 keep a few places of each figure: within a percent.
        EXPECT_GE(average, low * 0.99) << what;
        EXPECT_LE(average, high * 1.01) << what;
    }
    std::string session;
};

TEST_F(SimVolumeUnitsTest, TotalVolumesAreLotsThatPriceTheAmount) {
    struct Stock {
        const char* id;
        int lot;
    };
    for (const Stock& s : {Stock{"600000.2", 100}, Stock{"000001.1", 100}, Stock{"019547.2", 10}}) {
        const SimQuote q = quoteOf(s.id);
        const double unit = std::pow(10.0, q.decimals), low = q.low / unit, high = q.high / unit;
        const double lots = double(q.volume) / s.lot;

        auto snapshot = ask(std::string("tc_mfuncno=31000&tc_sfuncno=4&field=1|3|18|20|21&code=") + s.id);
        ASSERT_FALSE(snapshot.empty());
        snapshot[0]->fetchFirst();
        EXPECT_NEAR(real(*snapshot[0], Col::kVolume), lots, lots * 0.005) << s.id;
        expectLotsPriceTheAmount(*snapshot[0], s.lot, low, high, std::string("snapshot ") + s.id);
        // The five levels stay in shares: whole lots of them.
        EXPECT_EQ(snapshot[0]->toIntWithFieldName(Col::kAskVolume[0]), q.askVolume[0]) << s.id;

        // The intraday reply's quote and its points, whose lots add up to the day's (万 keeps one place).
        auto day = ask(std::string("tc_mfuncno=31000&tc_sfuncno=1&freq=2&code=") + s.id);
        ASSERT_EQ(day.size(), 3u);
        day[2]->fetchFirst();
        EXPECT_NEAR(real(*day[2], Col::kVolume), lots, lots * 0.005) << s.id;
        double points = 0;
        for (day[1]->fetchFirst(); !day[1]->isEOF(); day[1]->fetchNext()) points += real(*day[1], Col::kVolume);
        EXPECT_NEAR(points, lots, lots * 0.005) << s.id;

        // K-line bars of the days before, each priced between its low and high.
        auto bars = ask(std::string("tc_mfuncno=31000&tc_sfuncno=2&type=") +
                        std::to_string(QuoteContract::Period::kDay) + "&count=5&code=" + s.id);
        ASSERT_EQ(bars.size(), 2u);
        for (bars[1]->fetchFirst(); !bars[1]->isEOF(); bars[1]->fetchNext())
            expectLotsPriceTheAmount(*bars[1], s.lot, price(*bars[1], Col::kLow), price(*bars[1], Col::kHigh),
                                     std::string("bar ") + s.id);
    }

    // The ticks' lots add up to the day's.
    double tickLots = 0;
    for (int offset = 0;; offset += 100) {
        auto page = ask("tc_mfuncno=31000&tc_sfuncno=9&direct=1&count=100&code=600000.2&offset=" +
                        std::to_string(offset));
        ASSERT_EQ(page.size(), 2u);
        if (page[1]->rowsAffected() == 0) break;
        for (page[1]->fetchFirst(); !page[1]->isEOF(); page[1]->fetchNext())
            tickLots += page[1]->toVTAFloatAtIndex(3)->realValue();
    }
    EXPECT_EQ(tickLots, double(quoteOf("600000.2").volume / 100));

    // A ranking by volume shows the same lots.
    auto ranking = ask("tc_mfuncno=31000&tc_sfuncno=3&field=1|3|18|20|21&market=2&class=101&type=24&count=5");
    ASSERT_FALSE(ranking.empty());
    for (ranking[0]->fetchFirst(); !ranking[0]->isEOF(); ranking[0]->fetchNext()) {
        const std::string id = ranking[0]->toStringWithFieldName(Col::kCode).value_or("") + ".2";
        const SimQuote q = quoteOf(id);
        const double unit = std::pow(10.0, q.decimals);
        expectLotsPriceTheAmount(*ranking[0], 100, q.low / unit, q.high / unit, "ranking " + id);
    }
}

}  // namespace
