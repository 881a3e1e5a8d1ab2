// The intraday trend chart drawn headless: where its frame, grid, labels and
// lines fall and in which colours, its crosshair, and its side panel.
#include "ChartsTestSupport.h"

#include "charts/QuotesMeterView.h"
#include "charts/TimeTrendChartView.h"
#include "charts/TimeTrendSidePanel.h"
#include "charts/TradeInfoView.h"
#include "core/VTAParamter.h"
#include "core/VTAUserDefoult.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UISegmentedControl.h"
#include "ui/Palette.h"
#include "ui/SVSegmentedControl.h"

namespace {

// The quote page's part: serves the sets and switches the crosshair on a tap.
struct Host : TimeTrendChartDataSource, TimeTrendChartDelegate {
    RecordSets sets;
    int clicks = 0;
    RecordSets quotesDataInTimeTrendChartView(TimeTrendChartView&) override { return sets; }
    void clickActionInTimeTrendView(TimeTrendChartView& chart) override {
        ++clicks;
        if (chart.isShowMeter())
            chart.hideMeterView();
        else
            chart.showMeterView();
    }
};

// A morning up to 10:30 rising from the open, the average under it.
IntradayReply morning() {
    IntradayReply r;
    r.stock.open = "10.25";
    r.points = IntradayReply::day(1030, 10.25);
    for (auto& p : r.points) p.average = "10.15";
    return r;
}

bool isGrid(uint32_t p) {
    return std::abs(int((p >> 16) & 0xff) - 204) < 30 && std::abs(int((p >> 8) & 0xff) - 55) < 30;
}

}  // namespace

class TimeTrendChartViewTest : public ChartViewTest {
protected:
    void SetUp() override {
        ChartViewTest::SetUp();
        VTAUserDefoult::standerDefoult().removeValueForKey("hkmarket");
        VTAUserDefoult::standerDefoult().removeValueForKey("fschart dj set");
    }
    void TearDown() override {
        chart.reset();
        VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ");
        UIDevice::currentDevice().setSystemVersion("4.1");
        ChartViewTest::TearDown();
    }
    void makeChart(const IntradayReply& reply) {
        host.sets = reply.sets();
        chart = std::make_shared<TimeTrendChartView>(CGRectMake(0, 0, 320, 340));
        chart->setDataSource(&host);
        chart->setDelegate(&host);
        stage->addSubview(chart);
    }
    // The y of a price on the chart's scale.
    double yOf(double price) const {
        double upper = chart->scale().upper->toFloat(), lower = chart->scale().lower->toFloat();
        return 48 + (upper - price) * 176 / (upper - lower);
    }

    Host host;
    std::shared_ptr<TimeTrendChartView> chart;
};

TEST_F(TimeTrendChartViewTest, FrameGridLabelsAndLinesStandWhereTheyBelong) {
    makeChart(morning());
    auto img = render("trend-chart");
    ASSERT_TRUE(img);
    // The frame, the divider before the side panel, the volume and time dividers: the grid colour.
    EXPECT_TRUE(isGrid(pixel(*img, 100, 47))) << std::hex << pixel(*img, 100, 47);
    EXPECT_TRUE(isGrid(pixel(*img, 230.5, 100)));
    EXPECT_TRUE(isGrid(pixel(*img, 100, 224)));
    EXPECT_TRUE(isGrid(pixel(*img, 100, 314.5)));
    EXPECT_TRUE(isGrid(pixel(*img, 319.5, 200)));
    // The solid middle line, and the dashed quarter line: 4 on, 2 off from the left.
    EXPECT_TRUE(isGrid(pixel(*img, 40, 136)));
    EXPECT_TRUE(isGrid(pixel(*img, 40.5, 92)));
    EXPECT_FALSE(isGrid(pixel(*img, 42.5, 92)));
    EXPECT_TRUE(isGrid(pixel(*img, 46, 92)));
    // Vertical dashed lines at a quarter, half and three quarters of the width.
    for (double x : {58.5, 115.5, 172.5}) EXPECT_TRUE(isGrid(pixel(*img, x, 49))) << x;

    // The price line starts at the open (10.25), not above it, in white.
    double open = yOf(10.25);
    bool white = false;
    for (double y = open - 2; y <= open + 1; y += 0.5) white |= near(pixel(*img, 2.5, y), 255, 255, 255, 30);
    EXPECT_TRUE(white);
    EXPECT_EQ(inkIn(*img, CGRectMake(2, 66, 1, open - 70)), 0) << "nothing above the open";
    // The average runs yellow at 10.15.
    EXPECT_TRUE(near(pixel(*img, 30, yOf(10.15)), 255, 255, 0, 60)) << std::hex << pixel(*img, 30, yOf(10.15));
    // The line ends at 10:30 (31 points); nothing is drawn after it.
    EXPECT_NEAR(chart->currentMaxTimeTrendWidth(), 1.5 + 31 * 1.9, 1e-9);
    EXPECT_EQ(inkIn(*img, CGRectMake(66, 96, 44, 34)), 0);
    // Volume bars in yellow from the bottom of the volume area.
    EXPECT_TRUE(near(pixel(*img, 1.5 + 10 * 1.9, 312), 255, 255, 0, 60));

    // Scale labels: the upper bound red, the lower green.
    EXPECT_GT(inkIn(*img, CGRectMake(2.5, 49, 40, 14)), 20);
    EXPECT_GT(inkIn(*img, CGRectMake(190, 49, 38, 14)), 20) << "the percentage on the right";
    // The time labels: 9:30 at the left, 11:30/13:00 in the middle, 15:00 at the right, nothing between.
    EXPECT_GT(inkIn(*img, CGRectMake(1.5, 318, 36, 16)), 30);
    EXPECT_GT(inkIn(*img, CGRectMake(80, 318, 72, 16)), 60);
    EXPECT_GT(inkIn(*img, CGRectMake(190, 318, 38, 16)), 30);
    EXPECT_EQ(inkIn(*img, CGRectMake(42, 318, 30, 12)), 0);
    EXPECT_EQ(inkIn(*img, CGRectMake(158, 318, 28, 12)), 0);
}

TEST_F(TimeTrendChartViewTest, TheScaleLabelsStayReadableWhereTheLineRunsThroughThem) {
    IntradayReply r = morning();  // the day's high comes early: the line climbs through the upper label
    r.stock.high = "10.33";
    r.stock.low = "10.17";
    makeChart(r);
    auto img = render("trend-chart-labels");
    std::string upper = chart->scale().upper->toString();
    ASSERT_LT(yOf(10.33), 60) << "the line's peak lies in the label's row";
    // The label's plate: the red figures on a dark ground, the line under it dimmed.
    double width = sizeWithFont(upper, *UIFont::systemFontOfSize(12)).width + 4;
    int red = 0, line = 0;
    for (double y = 49; y < 63; y += 0.5)
        for (double x = 2.5; x < 2.5 + width; x += 0.5) {
            uint32_t p = pixel(*img, x, y);
            if (near(p, 255, 38, 38, 60)) ++red;
            if (near(p, 255, 255, 255, 40)) ++line;
        }
    EXPECT_GT(red, 20);
    EXPECT_EQ(line, 0);
    // Beside the plate the line is drawn as ever.
    int beside = 0;
    for (double y = 48; y < 75; y += 0.5)
        for (double x = 2.5 + width + 1; x < 2.5 + width + 10; x += 0.5)
            beside += near(pixel(*img, x, y), 255, 255, 255, 40);
    EXPECT_GT(beside, 0);
}

TEST_F(TimeTrendChartViewTest, HongKongSplitsItsDayAtTheNoonClose) {
    IntradayReply r = morning();
    r.stock.market = 3;
    r.stock.code = "00700";
    makeChart(r);
    auto img = render("trend-chart-hk");
    // 600-750 and 870-960: the noon line lies 142.5 points into the plot.
    EXPECT_TRUE(isGrid(pixel(*img, 144, 49)));
    EXPECT_TRUE(isGrid(pixel(*img, 144, 226)));
    EXPECT_FALSE(isGrid(pixel(*img, 115.5, 49)));
    EXPECT_FALSE(isGrid(pixel(*img, 58.5, 49)));
    EXPECT_EQ(chart->maxPoints(), 120);
    // Its labels: 10:00 at the left, 12:30/14:30 around the noon line.
    EXPECT_GT(inkIn(*img, CGRectMake(110, 318, 68, 16)), 60);
    EXPECT_EQ(inkIn(*img, CGRectMake(60, 318, 40, 12)), 0);
    for (auto& b : {1001, 1005, 1010}) EXPECT_FALSE(chart->orderButton(b)->isEnabled());
}

TEST_F(TimeTrendChartViewTest, EmptyAndFlatDataDrawTheFrameAndNoLine) {
    IntradayReply r;
    r.stock.last = r.stock.prevClose = r.stock.open = r.stock.high = r.stock.low = "";
    makeChart(r);
    auto img = render("trend-chart-flat");
    EXPECT_TRUE(isGrid(pixel(*img, 100, 47)));
    EXPECT_FALSE(chart->scale().isDrawable());
    EXPECT_EQ(inkIn(*img, CGRectMake(66, 96, 44, 34)), 0);

    host.sets.clear();
    img = render();
    EXPECT_TRUE(isGrid(pixel(*img, 100, 47)));
    EXPECT_FALSE(chart->tradeInfoView().timeTrendTradeInfo());
    chart->showMeterView();  // nothing to point at, nothing to divide by
    chart->hideMeterView();
}

TEST_F(TimeTrendChartViewTest, TheCrosshairFollowsTheFingerInsideTheDrawnLine) {
    makeChart(morning());
    render();
    app().tapAt(CGPointMake(40, 150));
    ASSERT_EQ(host.clicks, 1);
    ASSERT_TRUE(chart->isShowMeter());
    auto* meter = chart->quotesMeterView();
    ASSERT_TRUE(meter && meter->superview() == chart.get());
    EXPECT_DOUBLE_EQ(meter->center().x, 40);
    int index = meterIndexAt(40, 120);
    EXPECT_EQ(index, 20);
    EXPECT_EQ(chart->tradeInfoView().timeTrendTradeInfo()->time, "10:10");
    EXPECT_EQ(chart->meterIndex(), index);
    // The horizontal line at the touched price.
    double price = std::stod(chart->tradeInfoView().timeTrendTradeInfo()->lastPrice);
    EXPECT_DOUBLE_EQ(chart->quotesHorizontalMeterView()->center().y, std::round(yOf(price)));

    // Dragging past the end of the line stops at its end, on the last point.
    app().dragFrom(CGPointMake(40, 150), CGPointMake(300, 150));
    EXPECT_EQ(host.clicks, 1) << "a drag is no tap";
    EXPECT_DOUBLE_EQ(meter->center().x, chart->currentMaxTimeTrendWidth());
    EXPECT_EQ(chart->tradeInfoView().timeTrendTradeInfo()->time, "10:30");
    auto img = render("trend-chart-crosshair");
    double x = meter->center().x - 0.5;  // the 1-point line left of the view's centre
    EXPECT_TRUE(near(pixel(*img, x, 200), 0, 0, 255, 80)) << std::hex << pixel(*img, x, 200);
    EXPECT_FALSE(near(pixel(*img, x + 3, 200), 0, 0, 255, 80));
    // The level line crosses the whole plot at the touched price: 1 point of
    // blue above its view's centre, its glow paler around it.
    const double level = chart->quotesHorizontalMeterView()->center().y;
    for (double across : {3.0, 60.0, 120.0, 225.0}) {
        EXPECT_TRUE(near(pixel(*img, across, level - 0.5), 0, 0, 255, 8)) << across;
        EXPECT_TRUE(near(pixel(*img, across, level - 1), 0, 0, 255, 8)) << across;
        EXPECT_FALSE(near(pixel(*img, across, level + 0.5), 0, 0, 255, 8)) << across;
        EXPECT_FALSE(near(pixel(*img, across, level - 1.5), 0, 0, 255, 8)) << across;
    }
    // And before the start, at the first point.
    app().dragFrom(CGPointMake(100, 150), CGPointMake(-40, 150));
    EXPECT_DOUBLE_EQ(meter->center().x, 1.5);
    EXPECT_EQ(chart->tradeInfoView().timeTrendTradeInfo()->time, "9:30");

    // A tap beyond the plot's 228 points does not reach the host.
    app().tapAt(CGPointMake(229.5, 150));
    EXPECT_EQ(host.clicks, 1);
    app().tapAt(CGPointMake(100, 260));  // the volume area is part of the plot
    EXPECT_EQ(host.clicks, 2);
    EXPECT_FALSE(chart->isShowMeter());
    EXPECT_FALSE(meter->superview());
    EXPECT_EQ(chart->tradeInfoView().timeTrendTradeInfo()->time, "10:30");

    // Shown from a tap beyond the line: one point before its end.
    app().tapAt(CGPointMake(200, 150));
    EXPECT_DOUBLE_EQ(meter->center().x, chart->currentMaxTimeTrendWidth() - 1);
}

TEST_F(TimeTrendChartViewTest, DrawingAgainAddsNoPoints) {
    IntradayReply r = morning();
    r.points.resize(20);  // up to 10:08, updated at 10:30
    makeChart(r);
    render();
    int rows = host.sets[1]->rowsAffected();
    EXPECT_EQ(rows, 31);
    render();
    render();
    EXPECT_EQ(host.sets[1]->rowsAffected(), rows);
}

TEST_F(TimeTrendChartViewTest, TheIndexOverlayRunsOnItsOwnScaleOnlyWhenAskedAndForAnotherIndex) {
    // The index a steady 0.2% up, the stock around its own prices.
    auto withIndex = [](int stockClass, const std::string& stockCode) {
        IntradayReply r = morning();
        r.stock.classId = stockClass;
        r.stock.code = stockCode;
        r.index = IntradayReply::Row{"上证指数", "000001", 2, 2, "3006.00", "3000.00", "3000.00", "3015.00", "2990.00"};
        r.withIndexPoints = true;
        for (auto p : IntradayReply::day(1030)) {
            p.price = "3006.00";
            r.indexPoints.push_back(p);
        }
        return r;
    };
    // Pixels of the colour along the index's line (and anywhere in the price area).
    auto along = [&](const UIImage& img, const UIColor& c) {
        double y = 48 + (chart->scale().overlayUpper->toFloat() - 3006.0) * 176 /
                            (chart->scale().overlayUpper->toFloat() - chart->scale().overlayLower->toFloat());
        int n = 0;
        for (double x = 36; x < 58; x += 0.5)  // clear of the previous close's label
            for (double dy = -1.5; dy <= 1.5; dy += 0.5)
                n += near(pixel(img, x, y + dy), int(c.red() * 255), int(c.green() * 255), int(c.blue() * 255), 50);
        return n;
    };
    auto anywhere = [&](const UIImage& img, const UIColor& c) {
        int n = 0;
        for (double y = 49; y < 223; y += 0.5)
            for (double x = 2; x < 228; x += 0.5)
                n += near(pixel(img, x, y), int(c.red() * 255), int(c.green() * 255), int(c.blue() * 255), 50);
        return n;
    };
    const auto purple = UIColor::purpleColor(), yellow = UIColor::yellowColor();

    VTAUserDefoult::standerDefoult().setBool(true, "fschart dj set");
    makeChart(withIndex(1, "000001"));
    ASSERT_TRUE(chart->isNeedOverlay());
    auto img = render("trend-chart-overlay");
    ASSERT_TRUE(chart->scale().isOverlayDrawable());
    EXPECT_GT(along(*img, *purple), 40) << "purple where 3006.00 lies on the index's scale";

    // Not asked for: no overlay.
    chart->setIsNeedOverlay(false);
    img = render();
    EXPECT_EQ(anywhere(*img, *purple), 0);

    // An index's own chart shows the overlay yellow (it has no average line).
    chart->removeFromSuperview();
    makeChart(withIndex(2, "399001"));
    img = render("trend-chart-overlay-index");
    EXPECT_GT(along(*img, *yellow), 40);
    EXPECT_EQ(anywhere(*img, *purple), 0);

    // The index "100100" gets none, nor does a reply without the index's points.
    chart->removeFromSuperview();
    makeChart(withIndex(2, "100100"));
    img = render();
    EXPECT_EQ(along(*img, *yellow), 0);
    chart->removeFromSuperview();
    IntradayReply without = withIndex(1, "000001");
    without.withIndexPoints = false;
    makeChart(without);
    img = render();
    EXPECT_EQ(anywhere(*img, *purple), 0);
}
