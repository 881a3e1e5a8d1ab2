// The intraday chart's arithmetic over a 31000/1 reply: the price scale, the
// filled gaps of the day, the touched point's texts, the crosshair's index.
#include "ChartsTestSupport.h"

#include "charts/IntradaySeries.h"
#include "core/VTAParamter.h"

namespace {

std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : "none"; }

std::vector<long long> times(VTATCRS& set) {
    std::vector<long long> out;
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) out.push_back(set.toIntWithFieldName("tm"));
    set.fetchFirst();
    return out;
}

IntradayReply replyFrom(std::vector<IntradayReply::Point> points, const std::string& lastupd = "2024") {
    IntradayReply r;
    r.points = std::move(points);
    r.stock.lastupd = lastupd;
    return r;
}

IntradayReply::Point at(int hhmm, const std::string& price = "10.20") { return {hhmm, price, price, 300}; }

class HongKongSessions : public ::testing::Test {
protected:
    void TearDown() override { VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ"); }
    static void configure(const std::string& hk) {
        VTAParamter::shareParamter().setValue(Value(Value::Dict{{"HKtime", Value(hk)}}), "commomdSettingForHQ");
    }
};

}  // namespace

TEST(IntradayScale, IsSymmetricAroundThePreviousCloseAndTakesTheLastPriceBeyondTheDaysRange) {
    IntradayReply r;  // previous close 10.00, high 10.40, low 9.90
    auto s = intradayScaleOf(r.sets(), false);
    // 10.00 + 10.00 / 500 (0.02) + the larger distance (0.40)
    EXPECT_EQ(text(s.upper), "10.42");
    EXPECT_EQ(text(s.lower), "9.58");
    EXPECT_EQ(s.upperPercentText(), "4.20");
    EXPECT_TRUE(s.isDrawable());

    r.stock.last = "10.50";  // above the high: the high moves up to it
    s = intradayScaleOf(r.sets(), false);
    EXPECT_EQ(text(s.upper), "10.52");
    EXPECT_EQ(text(s.lower), "9.48");

    r.stock.last = "9.50";  // below the low
    s = intradayScaleOf(r.sets(), false);
    EXPECT_EQ(text(s.upper), "10.52");
}

TEST(IntradayScale, WithoutALastPriceSpansThreePercentOfThePreviousCloseOrTheOpen) {
    IntradayReply r;
    r.stock.last = "";
    auto s = intradayScaleOf(r.sets(), false);
    EXPECT_EQ(text(s.upper), "10.30");
    EXPECT_EQ(text(s.lower), "9.70");
    EXPECT_EQ(text(s.last), "10.00");
    EXPECT_EQ(text(s.open), "10.00");

    r.stock.prevClose = "";
    r.stock.open = "8.00";
    s = intradayScaleOf(r.sets(), false);
    EXPECT_EQ(text(s.upper), "8.24");
    EXPECT_EQ(text(s.lower), "7.76");

    // Nothing at all: a flat scale that draws no line and divides by nothing.
    r.stock.open = "";
    s = intradayScaleOf(r.sets(), false);
    EXPECT_FALSE(s.isDrawable());
    EXPECT_EQ(s.upperPercentText(), "");
    EXPECT_FALSE(intradayScaleOf({}, false).isDrawable());
}

TEST(IntradayScale, ALastPriceThatIsNoPriceCountsAsNone) {
    // "12x" reads as the integer 12 but as no price: the scale must not be
    // built around a price that is not there.
    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("zjcj", TCRSFieldType::VarText)
                     .addField("zrsp", TCRSFieldType::Packed)
                     .addField("zgcj", TCRSFieldType::Packed)
                     .addRecord({Value("12x"), Value("10.00"), Value("10.40")})
                     .bytes();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    ASSERT_TRUE(sets);
    auto s = intradayScaleOf(*sets, false);
    EXPECT_EQ(text(s.last), "10.00");
    EXPECT_EQ(text(s.upper), "10.30");
    EXPECT_EQ(text(s.lower), "9.70");
}

TEST(IntradayScale, StockAndIndexShareTheWiderRelativeRange) {
    IntradayReply r;
    r.index = IntradayReply::Row{"上证指数", "000001", 2, 2, "3010.00", "3000.00", "3001.00", "3030.00", "2990.00"};
    // Stock: 4.20 % ; index: (6.00 + 30.00) / 3000 = 1.20 %: the index widens to 4.20 %.
    auto s = intradayScaleOf(r.sets(), true);
    EXPECT_EQ(text(s.upper), "10.42");
    EXPECT_EQ(text(s.overlayUpper), "3126.00");
    EXPECT_EQ(text(s.overlayLower), "2874.00");
    EXPECT_EQ(text(s.overlayOpen), "3001.00");
    // Without the overlay asked for, the index row is not read.
    EXPECT_FALSE(intradayScaleOf(r.sets(), false).overlayUpper);

    // Index: (6.00 + 300.00) / 3000 = 10.20 %: the stock widens to it.
    r.index->high = "3300.00";
    s = intradayScaleOf(r.sets(), true);
    EXPECT_EQ(text(s.upper), "11.02");
    EXPECT_EQ(text(s.lower), "8.98");
    EXPECT_EQ(text(s.overlayUpper), "3306.00");

    // A previous close of 0 leaves both scales as they are instead of dividing by it.
    r.stock.prevClose = "0.00";
    s = intradayScaleOf(r.sets(), true);
    EXPECT_EQ(text(s.upper), "10.40");
    EXPECT_EQ(text(s.overlayUpper), "3306.00");
}

TEST(IntradayScale, PricesNoMarketHasLeaveBothScalesTheirOwn) {
    // A stock whose range is a hundred thousand million times its close
    // would widen the index beyond any price (prices as texts, as a reply
    // may send them): both keep their own half-range.
    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("zjcj", TCRSFieldType::VarText)
                     .addField("zrsp", TCRSFieldType::VarText)
                     .addField("zgcj", TCRSFieldType::VarText)
                     .addField("zdcj", TCRSFieldType::VarText)
                     .addRecord({Value("1.00"), Value("1.00"), Value("100000000000.00"), Value("1.00")})
                     .addRecord({Value("9000000000.00"), Value("9000000000.00"), Value("9000000000.00"),
                                 Value("9000000000.00")})
                     .bytes();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    ASSERT_TRUE(sets);
    auto s = intradayScaleOf(*sets, true);
    EXPECT_EQ(text(s.upper), "100000000000.00");
    EXPECT_EQ(text(s.overlayUpper), "9018000000.00");
    EXPECT_EQ(text(s.overlayLower), "8982000000.00");
}

TEST(IntradayGapFill, TheDayStartsAtNineThirtyAtTheOpenWithoutVolume) {
    IntradaySession a;
    auto at930 = replyFrom({at(930), at(932)}).sets();
    EXPECT_EQ(supplyPoints(at930, a), 0);

    auto at932 = replyFrom({at(932), at(934)}).sets();
    EXPECT_EQ(supplyPoints(at932, a), 1);
    VTATCRS& p = *at932[1];
    p.fetchFirst();
    EXPECT_EQ(p.toIntWithFieldName("tm"), 930);
    EXPECT_EQ(text(p.toVTAFloatWithFieldName("zjcj")), "10.05");  // the open
    EXPECT_EQ(text(p.toVTAFloatWithFieldName("cjjj")), "10.05");
    EXPECT_EQ(p.toIntWithFieldName("avol"), 0);

    auto afternoon = replyFrom({at(1302)}).sets();
    EXPECT_EQ(supplyPoints(afternoon, a), 61);  // 9:30 to 11:30
    auto t = times(*afternoon[1]);
    EXPECT_EQ(t[60], 1130);
    EXPECT_EQ(t[61], 1302);

    auto lunch = replyFrom({at(1140)}).sets();  // counts as 11:30
    EXPECT_EQ(supplyPoints(lunch, a), 60);
    EXPECT_EQ(times(*lunch[1])[59], 1128);
}

TEST(IntradayGapFill, TheDayRunsOnToTheLastUpdateOnceAcrossTheLunchBreakAndNoFurtherThanTheClose) {
    IntradaySession a;
    auto sets = replyFrom({at(930), at(1020, "10.25")}, "20240305103000").sets();
    EXPECT_EQ(supplyPoints(sets, a), 5);
    auto t = times(*sets[1]);
    EXPECT_EQ(std::vector<long long>(t.begin() + 2, t.end()), (std::vector<long long>{1022, 1024, 1026, 1028, 1030}));
    VTATCRS& p = *sets[1];
    p.fetchLast();
    EXPECT_EQ(text(p.toVTAFloatWithFieldName("zjcj")), "10.25");  // the last price stands
    EXPECT_EQ(p.toIntWithFieldName("avol"), 0);
    EXPECT_EQ(supplyPoints(sets, a), 0) << "drawing again adds nothing";
    EXPECT_EQ(p.rowsAffected(), 7);

    auto lunch = replyFrom(IntradayReply::day(1130), "20240305133000").sets();
    EXPECT_EQ(supplyPoints(lunch, a), 15);  // 13:02 to 13:30, not the break
    t = times(*lunch[1]);
    EXPECT_EQ(t[61], 1302);
    EXPECT_EQ(t.back(), 1330);

    auto evening = replyFrom({at(1450)}, "20240305200000").sets();
    supplyPoints(evening, a);
    EXPECT_EQ(times(*evening[1]).back(), 1500);
}

TEST(IntradayGapFill, TheIndexPointsNeedTheIndexRowAndALongerUpdateText) {
    IntradaySession a;
    IntradayReply r = replyFrom({at(930), at(1000)}, "202403051030");  // 12 characters
    r.index = IntradayReply::Row{"上证指数", "000001", 2, 2, "3010.00", "3000.00", "3001.00", "3030.00", "2990.00"};
    r.withIndexPoints = true;
    r.indexPoints = {at(932, "3005.00"), at(1000, "3008.00")};
    auto sets = r.sets();
    supplyPoints(sets, a);
    EXPECT_EQ(times(*sets[1]).back(), 1030) << "the stock fills with 12 characters";
    auto idx = times(*sets[3]);
    EXPECT_EQ(idx.front(), 930) << "the index's leading gap at its own open";
    EXPECT_EQ(idx.back(), 1000) << "but not its trailing one";
    sets[3]->fetchFirst();
    EXPECT_EQ(text(sets[3]->toVTAFloatWithFieldName("zjcj")), "3001.00");

    r.stock.lastupd = "20240305103000";
    sets = r.sets();
    supplyPoints(sets, a);
    EXPECT_EQ(times(*sets[3]).back(), 1030);

    // Without the index row in the header the index points stay as they are.
    r.index.reset();
    sets = r.sets();
    supplyPoints(sets, a);
    EXPECT_EQ(times(*sets[3]).front(), 932);
}

TEST(IntradayGapFill, AMinuteColumnOfAnotherTypeIsFilledOnceHoweverOftenTheChartIsDrawn) {
    // The newer chart fills the sets it holds at every drawing: a reply whose
    // minutes are not integers must not grow by a day's points each time.
    // (A fixed text too short for "1030" cannot hold a filled minute: such a reply is drawn as it came.)
    for (auto [type, length, added] :
         {std::tuple{TCRSFieldType::Packed, 0, 16}, std::tuple{TCRSFieldType::VarText, 0, 16},
          std::tuple{TCRSFieldType::FixedText, 4, 16}, std::tuple{TCRSFieldType::FixedText, 1, 0}}) {
        auto bytes = TCRSWriter()
                         .beginSet()
                         .addField("jrkp", TCRSFieldType::Packed)
                         .addField("lastupd", TCRSFieldType::VarText)
                         .addRecord({Value("10.05"), Value("20240305103000")})
                         .beginSet()
                         .addField("tm", type, length)
                         .addField("zjcj", TCRSFieldType::Packed)
                         .addRecord({Value(length == 1 ? "9" : "932"), Value("10.20")})
                         .addRecord({Value(length == 1 ? "1" : "1000"), Value("10.25")})
                         .bytes();
        auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
        ASSERT_TRUE(sets);
        IntradaySession a;
        EXPECT_EQ(supplyPoints(*sets, a), added);  // 9:30, then 10:02 to 10:30
        for (int drawing = 0; drawing < 3; ++drawing) EXPECT_EQ(supplyPoints(*sets, a), 0);
        EXPECT_EQ((*sets)[1]->rowsAffected(), 2 + added);
    }
}

TEST_F(HongKongSessions, TheHongKongDayFollowsTheConfiguredSessions) {
    auto hk = IntradaySession::forMarket(3);
    EXPECT_EQ(hk.maxPoints(), 120);  // 600-750, 870-960
    EXPECT_DOUBLE_EQ(hk.noonOffset(228), 142.5);
    IntradayReply r = replyFrom({at(1000), at(1002)});
    r.stock.market = 3;
    EXPECT_EQ(supplyPoints(r.sets(), hk), 0) << "the Hong Kong morning opens at 10:00";

    configure("570,720,780,960");  // 9:30-12:00, 13:00-16:00
    hk = IntradaySession::forMarket(3);
    EXPECT_EQ(hk.maxPoints(), 165);
    EXPECT_NEAR(hk.noonOffset(228), 150.0 * 228 / 330, 1e-9);
    auto sets = r.sets();
    EXPECT_EQ(supplyPoints(sets, hk), 15);
    EXPECT_EQ(times(*sets[1]).front(), 930);
    EXPECT_EQ(IntradaySession::forMarket(1).maxPoints(), 120) << "the A-share day does not change";
}

TEST(IntradayPointInfo, ShowsTheLastPointOrTheTouchedOne) {
    IntradayReply r;
    r.points = {at(930, "10.05"), at(932, "10.10"), at(934, "9.95")};
    r.points[2].average = "10.02";
    auto sets = r.sets();
    std::optional<int> meter;
    auto info = timeTrendTradeInfoAt(sets, meter);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->lastPrice, "10.30") << "the header's last price";
    EXPECT_EQ(info->time, "9:34");
    EXPECT_EQ(info->avgPrice, "10.02");
    EXPECT_EQ(info->volume, "12.5万");
    EXPECT_EQ(info->change, "0.30");  // the detail's change
    EXPECT_EQ(info->changePercent, "3.00");
    EXPECT_EQ(info->maxPrice, "10.40");
    EXPECT_EQ(info->prevClose, "10.00");

    meter = 1;
    info = timeTrendTradeInfoAt(sets, meter);
    EXPECT_EQ(info->lastPrice, "10.10");
    EXPECT_EQ(info->time, "9:32");
    EXPECT_EQ(info->change, "0.10");
    EXPECT_EQ(info->changePercent, "1.00");

    meter = 50;  // beyond the points: the last one, remembered
    info = timeTrendTradeInfoAt(sets, meter);
    EXPECT_EQ(meter, 2);
    EXPECT_EQ(info->lastPrice, "9.95");
    EXPECT_EQ(info->change, "-0.05");
    EXPECT_EQ(info->changePercent, "-0.50");
}

TEST(IntradayPointInfo, IndexAndMissingDataShowPlaceholders) {
    IntradayReply r;
    r.points = {at(1305)};
    r.stock.classId = 2;
    r.withDetail = false;
    std::optional<int> meter;
    auto info = timeTrendTradeInfoAt(r.sets(), meter);
    EXPECT_EQ(info->avgPrice, "--");
    EXPECT_EQ(info->time, "13:05");
    EXPECT_EQ(info->change, "-") << "no detail set";
    EXPECT_EQ(info->changePercent, "-");

    r.stock.prevClose = "0.00";
    meter = 0;
    info = timeTrendTradeInfoAt(r.sets(), meter);
    EXPECT_EQ(info->change, "-") << "a previous close of 0 has no change";
    EXPECT_FALSE(timeTrendTradeInfoAt({}, meter));
    EXPECT_EQ(timeTextOfHHMM(930), "9:30");
    EXPECT_EQ(timeTextOfHHMM(5), "5");
}

TEST(IntradayMeter, IndexFollowsXInsideTheDay) {
    EXPECT_EQ(meterIndexAt(1.5, 120), 0);
    EXPECT_EQ(meterIndexAt(-20, 120), 0);
    EXPECT_EQ(meterIndexAt(115.5, 120), 60);
    EXPECT_EQ(meterIndexAt(229.5, 120), 120);
    EXPECT_EQ(meterIndexAt(400, 120), 120);
    EXPECT_EQ(meterIndexAt(229.5, 165), 165);
}
