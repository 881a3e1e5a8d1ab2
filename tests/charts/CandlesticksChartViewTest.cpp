// The newer K-line chart: candles, periods and zoom by pinches, the
// indicator by taps, the crosshair, and a bar's day opened by a double tap.
#include "ChartsTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"

#include "charts/CandlesticksChartView.h"
#include "charts/CandlesticksTechDataView.h"
#include "charts/CandlesticksTechIndexView.h"
#include "charts/CandlesticksTradeInfoView.h"
#include "charts/HistoryTimeSharingChartViewController.h"
#include "charts/KLinePlot.h"
#include "charts/QuotesMeterView.h"
#include "core/VTATCRS.h"
#include "platform/graphics/TextDrawing.h"
#include "ui/SVSegmentedControl.h"

namespace {

// The quote page's part: serves the bars, switches the crosshair, counts requests.
struct Host : CandlesticksChartDataSource, CandlesticksChartDelegate {
    RecordSets sets;
    int clicks = 0, changes = 0;
    RecordSets quotesDataInCandlestickChartView(CandlesticksChartView&) override { return sets; }
    void clickActionInCandlesticksView(CandlesticksChartView& chart) override {
        ++clicks;
        if (chart.isShowMeter())
            chart.hideMeterView();
        else
            chart.showMeterView();
    }
    void changeTechIndex(CandlesticksChartView&) override { ++changes; }
};

KLineReply sixtyDays() {
    KLineReply r;
    r.bars = KLineReply::days(60);
    r.techColumns = {"MACD1", "MACD2", "MACD3"};
    for (size_t i = 0; i < r.bars.size(); ++i) {
        double dif = 0.1 * std::sin(i / 4.0), dea = 0.1 * std::sin((i - 2) / 4.0);
        char a[16], b[16], c[16], m[16];
        std::snprintf(a, sizeof a, "%.3f", 2 * (dif - dea));
        std::snprintf(b, sizeof b, "%.3f", dea);
        std::snprintf(c, sizeof c, "%.3f", dif);
        r.bars[i].tech = {a, b, c};
        std::snprintf(m, sizeof m, "%.2f", 10 + 0.3 * std::sin((i - 2) / 5.0));
        r.bars[i].ma5 = m;
        std::snprintf(m, sizeof m, "%.2f", 10 + 0.2 * std::sin((i - 4) / 5.0));
        r.bars[i].ma10 = m;
        r.bars[i].ma30 = "10.00";
    }
    return r;
}

}  // namespace

class CandlesticksChartViewTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        root->view()->setBackgroundColor(UIColor::blackColor());
    }
    void TearDown() override {
        if (chart) chart->removeFromSuperview();
        chart.reset();
        ScreensTest::TearDown();
    }
    void show(const KLineReply& reply) {
        host.sets = reply.sets();
        chart = std::make_shared<CandlesticksChartView>(CGRectMake(0, 0, 320, 340));
        chart->setDataSource(&host);
        chart->setDelegate(&host);
        root->view()->addSubview(chart);
        this->host_.render();
    }
    CGPoint onScreen(double x, double y) const { return chart->convertPointToView({x, y}, nullptr); }
    // Calls f(red, green, blue) for the render's pixels in a rectangle of the
    // chart, every half point across and every `step` down.
    template <class F>
    void eachPixel(const UIImage& img, const CGRect& r, double step, F f) const {
        for (double x = r.origin.x; x < CGRectGetMaxX(r); x += 0.5)
            for (double y = r.origin.y; y < CGRectGetMaxY(r); y += step) {
                CGPoint p = onScreen(x, y);
                uint32_t px = img.pixelAt(int(p.x * 2), int(p.y * 2));
                f(int((px >> 16) & 0xff), int((px >> 8) & 0xff), int(px & 0xff));
            }
    }
    // A tap of its own (not the second of a double tap).
    void tapChart(double x, double y) {
        settle(0.5);
        UIApplication::sharedApplication().tapAt(onScreen(x, y));
        host_.render();
    }
    void pinchChart(CGPoint a0, CGPoint b0, CGPoint a1, CGPoint b1) {
        UIApplication::sharedApplication().pinch(onScreen(a0.x, a0.y), onScreen(b0.x, b0.y), onScreen(a1.x, a1.y),
                                                 onScreen(b1.x, b1.y));
        host_.render();
    }

    Host host;
    HeadlessHost& host_ = ScreensTest::host;
    std::shared_ptr<CandlesticksChartView> chart;
};

TEST_F(CandlesticksChartViewTest, DrawsTheLatestBarsWithTheirIndicatorAndBox) {
    show(sixtyDays());
    chart->setCurrentTechIndexType(1);
    auto img = host_.render();
    saveChartShot(*img, "kline-chart");
    EXPECT_EQ(chart->window().count, 52);
    EXPECT_EQ(chart->window().from, 8);
    EXPECT_EQ(chart->techIndexView().input().currentTechIndex, "MACD");
    EXPECT_EQ(chart->techIndexView().input().fromCandleItemIndex, 8);
    ASSERT_TRUE(chart->tradeInfoView().candlesticksTradeInfo());
    EXPECT_EQ(chart->tradeInfoView().candlesticksTradeInfo()->date, "2024-03-05") << "the last bar";
    EXPECT_EQ(chart->techDataView().techDataArray().size(), 3u);
    EXPECT_EQ(chart->techDataView().techDataArray()[2], "10.00");
    // Some candles in the rise and fall colours inside the candle area.
    CGRect c = chart->candleRect();
    int red = 0, cyan = 0;
    eachPixel(*img, c, 1, [&](int r, int g, int b) {
        if (r > 200 && g < 80 && b < 80) ++red;
        if (r < 60 && g > 200 && b > 200) ++cyan;
    });
    EXPECT_GT(red, 100);
    EXPECT_GT(cyan, 100);
}

TEST_F(CandlesticksChartViewTest, ThePriceLabelsStayReadableWhereTheCandlesRunThroughThem) {
    show(sixtyDays());  // the first bar in view stands near the top of the range, under the maximum's label
    auto img = host_.render();
    saveChartShot(*img, "kline-chart-labels");
    CGRect c = chart->candleRect();
    const auto& range = chart->priceRange();
    ASSERT_TRUE(range.max && range.min);
    auto plate = [&](const std::string& text, double y) {
        return CGRectMake(c.origin.x + 1, y, sizeWithFont(text, *UIFont::systemFontOfSize(12)).width + 4, 14);
    };
    const CGRect top = plate(range.max->toString(), c.origin.y + 1);
    for (CGRect r : {top, plate(range.min->toString(), CGRectGetMaxY(c) - 15)}) {
        int grey = 0, other = 0;
        eachPixel(*img, r, 0.5, [&](int red, int green, int blue) {
            int hi = std::max({red, green, blue}), lo = std::min({red, green, blue});
            if (hi - lo > 100 || lo > 225)
                ++other;  // a candle's or a line's colour at full strength, or the white average
            else if (lo > 120)
                ++grey;
        });
        EXPECT_GT(grey, 20) << "the figures";
        EXPECT_EQ(other, 0) << "nothing runs across them undimmed";
    }
    // Something does run through the upper corner: a candle's wick reaches into the plate.
    VTATCRS& bars = *host.sets[1];
    const auto& window = chart->window();
    KLinePlot plot(c, window, range);
    bool crosses = false;
    for (int k = 0; k < window.count && window.centerX(c.origin.x, k) < CGRectGetMaxX(top); ++k) {
        bars.moveToIndex(window.from + k);
        auto high = bars.toVTAFloatWithFieldName("zgcj");
        crosses |= high && plot.y(high->toFloat()) < CGRectGetMaxY(top);
    }
    bars.fetchFirst();
    EXPECT_TRUE(crosses);
}

TEST_F(CandlesticksChartViewTest, AVerticalPinchStepsThePeriodAndAHorizontalOneTheZoom) {
    show(sixtyDays());
    EXPECT_EQ(chart->currentPeriodIndex(), 4);
    EXPECT_EQ(chart->currentCandlesticksType(), 5);
    // Fingers moving apart vertically: the next period (week).
    pinchChart({150, 100}, {150, 160}, {150, 70}, {150, 190});
    EXPECT_EQ(chart->currentPeriodIndex(), 5);
    EXPECT_EQ(chart->currentCandlesticksType(), 6);
    EXPECT_EQ(chart->periodControl().selectedIndex(), 5);
    EXPECT_EQ(host.changes, 1) << "the host asks for the bars of the new period";
    // Together: back, and from the first period round to the last.
    pinchChart({150, 70}, {150, 190}, {150, 100}, {150, 160});
    EXPECT_EQ(chart->currentPeriodIndex(), 4);
    chart->setCurrentPeriodIndex(0);
    pinchChart({150, 70}, {150, 190}, {150, 100}, {150, 160});
    EXPECT_EQ(chart->currentPeriodIndex(), 6);
    EXPECT_EQ(host.changes, 3);

    // Fingers closing horizontally: narrower candles, more bars.
    pinchChart({60, 120}, {260, 120}, {120, 120}, {200, 120});
    EXPECT_EQ(chart->zoomStep(), 3);
    EXPECT_EQ(chart->window().count, 60);
    pinchChart({120, 120}, {200, 120}, {60, 120}, {260, 120});
    pinchChart({120, 120}, {200, 120}, {60, 120}, {260, 120});
    EXPECT_EQ(chart->zoomStep(), 1);
    EXPECT_EQ(chart->window().count, 39);
    EXPECT_EQ(host.changes, 3) << "zooming needs no request";

    // The period row does the same as the pinch.
    CGRect sixty = chart->periodControl().segmentRect(3);
    CGPoint p = chart->periodControl().convertPointToView({CGRectGetMidX(sixty), CGRectGetMidY(sixty)}, nullptr);
    UIApplication::sharedApplication().tapAt(p);
    EXPECT_EQ(chart->currentPeriodIndex(), 3);
    EXPECT_EQ(host.changes, 4);
}

TEST_F(CandlesticksChartViewTest, ATapStepsTheIndicatorOrShowsTheCrosshair) {
    show(sixtyDays());
    CGRect tech = chart->techRect();
    tapChart(160, CGRectGetMidY(tech));
    EXPECT_EQ(chart->currentTechIndexType(), 1);
    EXPECT_EQ(CandlesticksChartView::techIndexValueFromIndex(chart->currentTechIndexType()), "MACD");
    EXPECT_EQ(host.changes, 1);
    EXPECT_EQ(host.clicks, 0);
    chart->setCurrentTechIndexType(9);
    tapChart(160, CGRectGetMidY(tech));
    EXPECT_EQ(chart->currentTechIndexType(), 0) << "after the last, volume again";

    // A tap on the candles: the host shows the crosshair on the bar under the finger.
    CGRect c = chart->candleRect();
    double x = chart->window().centerX(c.origin.x, 10);
    tapChart(x, CGRectGetMidY(c));
    EXPECT_EQ(host.clicks, 1);
    ASSERT_TRUE(chart->isShowMeter());
    EXPECT_EQ(chart->meterBarIndex(), chart->window().from + 10);
    EXPECT_NEAR(chart->quotesMeterView()->center().x, x + 0.5, 1e-9);
    std::string date = chart->tradeInfoView().candlesticksTradeInfo()->date;
    // While it is shown a tap on the indicator hides it instead of stepping.
    tapChart(160, CGRectGetMidY(tech));
    EXPECT_EQ(host.clicks, 2);
    EXPECT_FALSE(chart->isShowMeter());
    EXPECT_EQ(chart->currentTechIndexType(), 0);
    EXPECT_NE(chart->tradeInfoView().candlesticksTradeInfo()->date, date) << "back on the last bar";

    // Dragging moves it, never past the bars in view.
    tapChart(x, CGRectGetMidY(c));
    UIApplication::sharedApplication().dragFrom(onScreen(x, 150), onScreen(400, 150));
    host_.render();
    EXPECT_EQ(chart->meterBarIndex(), 59);
    EXPECT_EQ(chart->tradeInfoView().candlesticksTradeInfo()->date, "2024-03-05");
    saveChartShot(*host_.render(), "kline-chart-crosshair");
}

TEST_F(CandlesticksChartViewTest, ADoubleTapOpensThatDaysIntradayChart) {
    show(sixtyDays());
    CGRect c = chart->candleRect();
    double x = chart->window().centerX(c.origin.x, 5);
    UIApplication::sharedApplication().doubleTapAt(onScreen(x, CGRectGetMidY(c)));
    settle();
    auto* modal = dynamic_cast<UINavigationController*>(nav->modalViewController());
    ASSERT_TRUE(modal);
    EXPECT_EQ(modal->navigationBar()->barStyle(), UIBarStyle::BlackTranslucent);
    auto* history = dynamic_cast<HistoryTimeSharingChartViewController*>(modal->topViewController());
    ASSERT_TRUE(history);
    // Bar 13 of the reply (the sixth in view): 2024-01-15.
    EXPECT_EQ(history->requestStr(),
              "tc_mfuncno=31000&tc_sfuncno=1&addup=0&close_xxld=1&freq=2&time=0&date=20240115&maxvol=999999999"
              "&code=000001.1");
    EXPECT_EQ(history->title(), "平安银行-20240115");
    history->cancelRequests();
}

TEST_F(CandlesticksChartViewTest, NoBarsOrOneBarDrawTheFrameAndNoLine) {
    KLineReply none;
    show(none);
    EXPECT_EQ(chart->window().count, 0);
    EXPECT_FALSE(chart->tradeInfoView().candlesticksTradeInfo());
    chart->showMeterView();
    chart->viewForHistory();
    EXPECT_FALSE(nav->modalViewController());
    chart->hideMeterView();

    KLineReply one;
    one.bars = KLineReply::days(1);
    one.bars[0].ma5 = "10.00";
    show(one);
    EXPECT_EQ(chart->window().count, 1);
    EXPECT_TRUE(chart->tradeInfoView().candlesticksTradeInfo());
    host.sets.clear();
    host_.render();
    EXPECT_EQ(chart->window().count, 0);
}
