// The K-line charts' arithmetic: indicators and periods, the bars in view,
// their ranges and texts.
#include "ChartsTestSupport.h"

#include "charts/KLineSeries.h"

namespace {
std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : "none"; }
}  // namespace

TEST(KLineSeries, IndicatorsAndPeriodsByNumber) {
    EXPECT_EQ(KLine::techIndexType(""), 0);
    EXPECT_EQ(KLine::techIndexType("MACD"), 1);
    EXPECT_EQ(KLine::techIndexType("SAR"), 9);
    EXPECT_EQ(KLine::techIndexType("XYZ"), 0) << "an unknown name is volume";
    for (int i = 0; i < KLine::kTechIndexCount; ++i) EXPECT_EQ(KLine::techIndexType(KLine::techIndexName(i)), i);
    auto keys = KLine::techDictionary().allKeys();
    ASSERT_EQ(keys.size(), 10u);
    EXPECT_EQ(keys[0], "");
    EXPECT_EQ(KLine::techDictionary().getValueForKey(""), "VOL");
    EXPECT_EQ(KLine::periodName(0), "5分钟");
    EXPECT_EQ(KLine::periodName(6), "月线");
    EXPECT_EQ(KLine::periodCode(KLine::kDayPeriod), 5);
    EXPECT_EQ(KLine::candleWidth(0), 9);
    EXPECT_EQ(KLine::candleWidth(4), 1);
}

TEST(KLineSeries, TheLatestBarsThatFitAreInView) {
    auto w = KLine::windowOf(320, 317, 5);  // slots of 6 points
    EXPECT_EQ(w.count, 52);
    EXPECT_EQ(w.from, 268);
    EXPECT_DOUBLE_EQ(w.barX(1.5, 2), 13.5);
    EXPECT_DOUBLE_EQ(w.centerX(1.5, 2), 16);
    EXPECT_EQ(w.barAt(1.5, 16), 2);
    EXPECT_EQ(w.barAt(1.5, -50), 0);
    EXPECT_EQ(w.barAt(1.5, 900), 51);
    w = KLine::windowOf(10, 317, 5);
    EXPECT_EQ(w.from, 0);
    EXPECT_EQ(w.count, 10);
    EXPECT_EQ(KLine::windowOf(0, 317, 5).barAt(1.5, 10), -1);
}

TEST(KLineSeries, RangesCoverTheBarsInViewInOneUnit) {
    KLineReply r;
    r.bars = KLineReply::days(3);
    r.bars[0].high = "10.60";
    r.bars[1].low = "9.10";
    r.bars[2].ma5 = "10.80";
    r.bars[0].volume = "3.5";    // 3.5万 = 35000
    r.bars[1].volume = "40000";  // 40000 shares
    r.bars[2].volume = "3.9";    // 3.9万
    r.techColumns = {"MACD1", "MACD2", "MACD3"};
    r.bars[0].tech = {"0.125", "-0.2", "0.05"};
    r.bars[1].tech = {"", "0.31", "-0.050"};
    r.bars[2].tech = {"0.1", "0.0", "0.2"};
    auto sets = r.sets();
    auto w = KLine::windowOf(3, 317, 5);
    auto price = KLine::priceRange(*sets[1], w);
    EXPECT_EQ(text(price.max), "10.80") << "a moving average above the highs";
    EXPECT_EQ(text(price.min), "9.10");
    auto macd = KLine::techRange(*sets[1], w, "MACD");
    EXPECT_EQ(text(macd.max), "0.310");
    EXPECT_EQ(text(macd.min), "-0.200");
    auto volume = KLine::techRange(*sets[1], w, "");
    EXPECT_EQ(text(volume.min), "0");
    EXPECT_DOUBLE_EQ(volume.max->realValue(), 40000);
    // Only the bars in view count.
    auto last = KLine::windowOf(3, 12, 5);  // two slots: bars 1 and 2
    EXPECT_EQ(text(KLine::priceRange(*sets[1], last).max), "10.80");
    EXPECT_EQ(text(KLine::techRange(*sets[1], last, "MACD").min), "-0.050");
    EXPECT_FALSE(KLine::techRange(*sets[1], w, "BOLL").isDrawable()) << "no BOLL columns";
}

TEST(KLineSeries, ARangeOfValuesFarApartInSizeAndDecimalsKeepsAsManyDecimalsAsFit) {
    // Prices as texts, as a reply may send them: a huge high and a low of
    // eighteen decimals cannot share eighteen decimals in 64 bits.
    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("zgcj", TCRSFieldType::VarText)
                     .addField("zdcj", TCRSFieldType::VarText)
                     .addRecord({Value("1000000000000"), Value("0.000000000000000001")})
                     .addRecord({Value("12.5"), Value("-0.0000005")})
                     .bytes();
    auto sets = parseSets(bytes);
    ASSERT_EQ(sets.size(), 1u);
    auto range = KLine::priceRange(*sets[0], KLine::windowOf(2, 317, 5));
    EXPECT_EQ(text(range.max), "1000000000000.000000");
    EXPECT_EQ(text(range.min), "-0.000001") << "rounded half away from zero to the decimals kept";
    EXPECT_EQ(text(KLine::inUnit(VTAFloat(10, 0), 18)), "9.223372036854775807") << "at the limit, never wrapped";
}

TEST(KLineSeries, ABarsTexts) {
    KLineReply r;
    r.bars = KLineReply::days(2);
    r.bars[1].ma5 = "10.12";
    r.bars[1].ma30 = "";
    auto sets = r.sets();
    auto info = KLine::tradeInfoAt(*sets[1], 1);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->date, "2024-01-03");
    EXPECT_EQ(info->lastPrice, r.bars[1].close);
    EXPECT_EQ(info->prevClose, r.bars[0].close);
    EXPECT_EQ(info->volume, "120.5万");
    EXPECT_EQ(KLine::movingAverageTexts(*sets[1], 1), (std::vector<std::string>{"10.12", "", ""}));
    EXPECT_FALSE(KLine::tradeInfoAt(*sets[1], 2));
    EXPECT_EQ(KLine::dayOf("202403051030"), "20240305");
    EXPECT_EQ(KLine::dayOf("20240305"), "20240305");
}

TEST(KLineSeries, ABarsDateReadsAsCustomersReadIt) {
    EXPECT_EQ(KLine::dateText("20240229"), "2024-02-29");
    EXPECT_EQ(KLine::dateText("202402291115"), "02-29 11:15") << "a minute bar";
    // Anything else as it came: nothing made up from a text of another shape.
    for (const char* odd : {"", "2024", "2024-02-29", "2024022911", "20240229111500", "2024022a"})
        EXPECT_EQ(KLine::dateText(odd), odd);
}
