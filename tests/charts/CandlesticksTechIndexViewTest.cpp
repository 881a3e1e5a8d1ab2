// The indicator sub-chart drawn from known series: where its bars, lines,
// points and name fall, and in which colours.
#include "ChartsTestSupport.h"

#include "charts/CandlesticksTechDataView.h"
#include "charts/CandlesticksTechIndexView.h"
#include "ui/Palette.h"

namespace {

// Six bars, slots of 6 points (candle width 5), in a 200 x 100 sub-chart.
KLineReply sixBars(const std::vector<std::string>& columns, const std::vector<std::vector<std::string>>& values) {
    KLineReply r;
    r.bars = KLineReply::days(static_cast<int>(values.size()));
    r.techColumns = columns;
    for (size_t i = 0; i < values.size(); ++i) r.bars[i].tech = values[i];
    return r;
}

}  // namespace

class CandlesticksTechIndexViewTest : public ChartViewTest {
protected:
    void SetUp() override {
        ChartViewTest::SetUp();
        view = std::make_shared<CandlesticksTechIndexView>(CGRectMake(0, 0, 200, 100));
        stage->addSubview(view);
    }
    void show(const KLineReply& reply, const std::string& name, std::optional<VTAFloat> max,
              std::optional<VTAFloat> min) {
        CandlesticksTechIndexView::Input in;
        in.quotesData = reply.sets();
        in.currentTechIndex = name;
        in.candleWidth = 5;
        in.maxTechIndexValue = max;
        in.minTechIndexValue = min;
        view->setInput(in);
    }
    static VTAFloat v(const std::string& s) { return *VTAFloat::VTAFloatWithString(s); }
    bool isColor(const UIImage& img, double x, double y, int palette, int tolerance = 40) {
        const UIColor& c = *colorWithIndex(palette);
        return near(pixel(img, x, y), int(c.red() * 255), int(c.green() * 255), int(c.blue() * 255), tolerance);
    }

    std::shared_ptr<CandlesticksTechIndexView> view;
};

TEST_F(CandlesticksTechIndexViewTest, MACDBarsStandOnTheZeroLineAndTheLinesFollow) {
    // Bars 0.20, 0, -0.10, 0.05, none, 0.10; DEA at the bottom, DIF at the top of the range.
    auto r = sixBars({"MACD1", "MACD2", "MACD3"}, {{"0.20", "-0.10", "0.20"},
                                                   {"0.00", "-0.10", "0.20"},
                                                   {"-0.10", "-0.10", "0.20"},
                                                   {"0.05", "-0.10", "0.20"},
                                                   {"", "-0.10", "0.20"},
                                                   {"0.10", "-0.10", "0.20"}});
    show(r, "MACD", v("0.20"), v("-0.10"));
    auto img = render("tech-macd");
    // The zero line: round(100 + (-10) * 100 / 30) = 67, dashed in the grid colour.
    EXPECT_TRUE(near(pixel(*img, 97, 67), 204, 55, 0)) << std::hex << pixel(*img, 97, 67);
    // 0.20 rises from 67 to the top in the rise colour, 2 points wide under the candle's middle.
    EXPECT_TRUE(isColor(*img, 2.5, 30, 15));
    EXPECT_FALSE(isColor(*img, 0.5, 30, 15));
    EXPECT_FALSE(isColor(*img, 4.5, 30, 15));
    // 0 has no height; -0.10 hangs below the line in cyan down to the bottom.
    EXPECT_EQ(inkIn(*img, CGRectMake(7.5, 20, 2, 45)), 0);
    EXPECT_TRUE(near(pixel(*img, 14.5, 85), 0, 255, 255));
    EXPECT_FALSE(near(pixel(*img, 14.5, 60), 0, 255, 255));
    // 0.05: round(100 - 15 * 100 / 30) = 50 up to 67.
    EXPECT_TRUE(isColor(*img, 20.5, 55, 15));
    EXPECT_FALSE(isColor(*img, 20.5, 45, 15));
    // The missing value leaves its slot empty.
    EXPECT_EQ(inkIn(*img, CGRectMake(25.5, 20, 2, 40)), 0);
    // DIF (column 16, white) along the top, DEA (column 15, yellow) along the bottom.
    EXPECT_TRUE(isColor(*img, 5.5, 0.25, 33, 60));
    EXPECT_TRUE(isColor(*img, 5.5, 99.75, 34, 60)) << std::hex << pixel(*img, 5.5, 99.75);
    // The name.
    EXPECT_GT(inkIn(*img, CGRectMake(36, 2, 40, 16), 80), 10);
}

TEST_F(CandlesticksTechIndexViewTest, AZeroLineOutsideTheRangeLiesOnItsBorder) {
    auto r = sixBars({"MACD1", "MACD2", "MACD3"}, {{"0.10", "0.05", "0.20"}, {"0.20", "0.05", "0.20"}});
    show(r, "MACD", v("0.20"), v("0.05"));
    auto img = render();
    EXPECT_TRUE(near(pixel(*img, 97, 99.75), 204, 55, 0)) << std::hex << pixel(*img, 97, 99.75);
    // Bar 0.10 from the bottom up to round(100 - 5 * 100 / 15) = 67.
    EXPECT_TRUE(isColor(*img, 2.5, 80, 15));
    EXPECT_FALSE(isColor(*img, 2.5, 60, 15));
}

TEST_F(CandlesticksTechIndexViewTest, VolumeBarsShowRiseFlatAndFall) {
    KLineReply r;
    r.bars = KLineReply::days(3);
    r.bars[0].open = "10.00", r.bars[0].close = "10.20", r.bars[0].volume = "100";
    r.bars[1].open = "10.10", r.bars[1].close = "10.10", r.bars[1].volume = "200";
    r.bars[2].open = "10.20", r.bars[2].close = "10.00", r.bars[2].volume = "50";
    show(r, "", v("200"), v("0"));
    auto img = render("tech-volume");
    EXPECT_EQ(view->label(), "VOL");
    // Rise: a red outline over 100 of 200, hollow inside.
    EXPECT_TRUE(near(pixel(*img, 0.25, 75), 255, 38, 38)) << std::hex << pixel(*img, 0.25, 75);
    EXPECT_EQ(inkIn(*img, CGRectMake(1.5, 60, 2, 30)), 0);
    EXPECT_FALSE(near(pixel(*img, 0.25, 40), 255, 38, 38));
    // Unchanged: filled white to the top.
    EXPECT_TRUE(near(pixel(*img, 8.5, 30), 255, 255, 255));
    // Fall: filled cyan over a quarter.
    EXPECT_TRUE(near(pixel(*img, 14.5, 90), 0, 255, 255));
    EXPECT_FALSE(near(pixel(*img, 14.5, 70), 0, 255, 255));
    EXPECT_GT(inkIn(*img, CGRectMake(20, 2, 40, 16), 80), 10) << "VOL";
}

TEST_F(CandlesticksTechIndexViewTest, LinesBreakAtGapsAndSkipPointsOutside) {
    // KDJ1: 5, none, 5, 20 (outside 0..10), 5, 5.
    auto r = sixBars({"KDJ1"}, {{"5"}, {""}, {"5"}, {"20"}, {"5"}, {"5"}});
    show(r, "KDJ", v("10"), v("0"));
    auto img = render("tech-lines");
    const int purple[] = {128, 0, 128};
    auto isPurple = [&](double x, double y) { return near(pixel(*img, x, y), purple[0], purple[1], purple[2]); };
    EXPECT_FALSE(isPurple(8.5, 50)) << "no line across the gap";
    EXPECT_TRUE(isPurple(17.5, 50));
    EXPECT_TRUE(isPurple(20.5, 50)) << "the line runs on over the point outside";
    EXPECT_TRUE(isPurple(30.5, 50));
    EXPECT_EQ(CandlesticksTechIndexView::lineColor("KDJ", 1), colorWithIndex(34));
    EXPECT_EQ(CandlesticksTechIndexView::lineColor("WR", 2), colorWithIndex(33));
    EXPECT_EQ(CandlesticksTechIndexView::lineColor("DMA", 2), colorWithIndex(35));
    EXPECT_EQ(*CandlesticksTechIndexView::lineColor("CCI", 2), *UIColor::purpleColor());
}

TEST_F(CandlesticksTechIndexViewTest, BollLinesAndSarPoints) {
    auto boll = sixBars({"BOLL1", "BOLL2", "BOLL3"}, {{"10.0", "10.5", "9.5"}, {"10.0", "10.5", "9.5"}});
    show(boll, "BOLL", v("10.5"), v("9.5"));
    auto img = render("tech-boll");
    EXPECT_TRUE(near(pixel(*img, 5, 50), 0, 255, 0)) << "BOLL1 green, mid";
    EXPECT_TRUE(near(pixel(*img, 5, 0.25), 0, 255, 255, 60)) << "BOLL2 cyan, top";
    EXPECT_TRUE(near(pixel(*img, 5, 99.75), 255, 128, 0, 60)) << "BOLL3 orange, bottom";

    // SAR under the close: red diamonds; above it: green.
    auto sar = sixBars({"SAR1"}, {{"9.00"}, {"11.00"}});
    show(sar, "SAR", v("11.00"), v("9.00"));
    img = render("tech-sar");
    EXPECT_TRUE(near(pixel(*img, 2.5, 99.5), 255, 60, 60)) << std::hex << pixel(*img, 2.5, 99.5);
    EXPECT_TRUE(near(pixel(*img, 8.5, 0.75), 0, 204, 0)) << std::hex << pixel(*img, 8.5, 0.75);
}

TEST_F(CandlesticksTechIndexViewTest, NothingToScaleDrawsOnlyTheName) {
    auto r = sixBars({"MACD1", "MACD2", "MACD3"}, {{"0.10", "0.10", "0.10"}});
    show(r, "MACD", v("0.10"), v("0.10"));
    auto img = render();
    EXPECT_GT(inkIn(*img, CGRectMake(10, 2, 56, 16), 80), 10);
    EXPECT_EQ(inkIn(*img, CGRectMake(0, 20, 200, 80), 60), 0);

    KLineReply bare;  // 14 columns and a line indicator: the name alone
    bare.bars = KLineReply::days(4);
    show(bare, "CCI", v("100"), v("-100"));
    img = render();
    EXPECT_GT(inkIn(*img, CGRectMake(10, 2, 56, 16), 80), 10);
    EXPECT_EQ(inkIn(*img, CGRectMake(0, 20, 200, 80), 60), 0);

    show(bare, "SAR", v("100"), v("-100"));  // no SAR1 column: nothing at all
    img = render();
    EXPECT_EQ(inkIn(*img, CGRectMake(0, 0, 200, 100), 60), 0);

    view->setInput({});  // no sets
    img = render();
    EXPECT_EQ(inkIn(*img, CGRectMake(0, 0, 200, 100), 60), 0);
}

TEST_F(CandlesticksTechIndexViewTest, TheLegendShowsThreeAveragesOrOnlyTheirTitles) {
    auto legend = std::make_shared<CandlesticksTechDataView>(CGRectMake(0, 120, 320, 14));
    stage->addSubview(legend);
    auto img = render();
    EXPECT_GT(inkIn(*img, CGRectMake(2, 120, 28, 14), 80), 10) << "MA5:";
    EXPECT_EQ(inkIn(*img, CGRectMake(32, 120, 50, 14), 80), 0);
    legend->setTechDataArray({"10.12", "10.05", "9.98"});
    img = render("tech-legend");
    EXPECT_GT(inkIn(*img, CGRectMake(32, 120, 50, 14), 80), 10);
    EXPECT_GT(inkIn(*img, CGRectMake(208, 120, 50, 14), 40), 10);
    legend->setTechDataArray({"10.12", "10.05"});
    img = render();
    EXPECT_EQ(inkIn(*img, CGRectMake(32, 120, 50, 14), 80), 0);
}
