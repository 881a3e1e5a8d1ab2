// The charts drawn from the simulated server's replies, hosted as the quote
// page hosts them: the request by tag (1501 intraday, 1504 K-line), the
// parsed sets served through the data sources, a new request when the
// customer picks another period or indicator.
#include "ChartsTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"

#include "charts/CandlesticksChartView.h"
#include "charts/CandlesticksTechIndexView.h"
#include "charts/CandlesticksTradeInfoView.h"
#include "charts/TimeTrendChartView.h"
#include "charts/TradeInfoView.h"
#include "charts/VTAFSView.h"
#include "charts/VTAKXView.h"
#include "core/contracts/QuoteContract.h"
#include "shell/RequestBinding.h"
#include "sim/SimMarket.h"

namespace {

namespace Key = QuoteContract::Key;

// What the quote page does for its two newer charts.
class ChartHost : public RequestBinding,
                  public TimeTrendChartDataSource,
                  public TimeTrendChartDelegate,
                  public CandlesticksChartDataSource,
                  public CandlesticksChartDelegate {
public:
    explicit ChartHost(std::string stockId) : stockId_(std::move(stockId)) {
        bindRequest(QZNetworkService::kIntradayTag, [this](const RequestReply& r) {
            if (r.cached && !trend.empty()) return;
            trend = r.sets;
            ++trendReplies;
            if (trendChart) trendChart->setNeedsDisplay();
        });
        bindRequest(QZNetworkService::kKLineTag, [this](const RequestReply& r) {
            if (r.cached && !kline.empty()) return;
            kline = r.sets;
            ++klineReplies;
            if (klineChart) klineChart->setNeedsDisplay();
        });
    }
    void requestTrend() {
        RequestBuilder q(QuoteContract::kIntraday);
        q.add(Key::kFreq, 2).add(Key::kCloseXxld, 1).add(Key::kAddUp, trendChart->isNeedOverlay() ? 1 : 0);
        q.add(Key::kTime, 0).add(Key::kDate, 0).add(Key::kMaxVol, 999999999).add(Key::kCode, stockId_);
        sendRequest(QZNetworkService::kIntradayTag, q, 3);
    }
    void requestKLine() {
        RequestBuilder q(QuoteContract::kKLine);
        q.add(Key::kDirect, 1).add(Key::kTime, 0).add(Key::kType, klineChart->currentCandlesticksType());
        q.add(Key::kDate, 0).add(Key::kCount, 320);
        q.add(Key::kTechName, CandlesticksChartView::techIndexValueFromIndex(klineChart->currentTechIndexType()));
        q.add(Key::kCode, stockId_);
        sendRequest(QZNetworkService::kKLineTag, q, 3);
    }

    RecordSets quotesDataInTimeTrendChartView(TimeTrendChartView&) override { return trend; }
    void clickActionInTimeTrendView(TimeTrendChartView& chart) override {
        chart.isShowMeter() ? chart.hideMeterView() : chart.showMeterView();
    }
    RecordSets quotesDataInCandlestickChartView(CandlesticksChartView&) override { return kline; }
    void clickActionInCandlesticksView(CandlesticksChartView& chart) override {
        chart.isShowMeter() ? chart.hideMeterView() : chart.showMeterView();
    }
    void changeTechIndex(CandlesticksChartView&) override { requestKLine(); }

    RecordSets trend, kline;
    int trendReplies = 0, klineReplies = 0;
    std::shared_ptr<TimeTrendChartView> trendChart;
    std::shared_ptr<CandlesticksChartView> klineChart;

private:
    std::string stockId_;
};

}  // namespace

class ChartsFromServerTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        startSimulator();
        root->view()->setBackgroundColor(UIColor::blackColor());
        // The trading hours the client takes from the server's configuration at start.
        VTAParamter::shareParamter().setValue(Value(Value::Dict{{"HKtime", Value(SimMarket::kHKTime)}}),
                                              "commomdSettingForHQ");
    }
    void TearDown() override {
        for (auto* chart : std::initializer_list<UIView*>{trendView(), klineView()})
            if (chart) chart->removeFromSuperview();
        host.reset();
        VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ");
        ScreensTest::TearDown();
    }
    UIView* trendView() const { return host && host->trendChart ? host->trendChart.get() : nullptr; }
    UIView* klineView() const { return host && host->klineChart ? host->klineChart.get() : nullptr; }
    void showTrend(const std::string& stock) {
        host = std::make_unique<ChartHost>(stock);
        host->trendChart = std::make_shared<TimeTrendChartView>(CGRectMake(0, 0, 320, 340));
        host->trendChart->setDataSource(host.get());
        host->trendChart->setDelegate(host.get());
        root->view()->addSubview(host->trendChart);
        host->requestTrend();
        ASSERT_TRUE(waitFor([&] { return host->trendReplies > 0; }));
        ScreensTest::host.render();
    }
    void showKLine(const std::string& stock) {
        host = std::make_unique<ChartHost>(stock);
        host->klineChart = std::make_shared<CandlesticksChartView>(CGRectMake(0, 0, 320, 340));
        host->klineChart->setDataSource(host.get());
        host->klineChart->setDelegate(host.get());
        root->view()->addSubview(host->klineChart);
        host->requestKLine();
        ASSERT_TRUE(waitFor([&] { return host->klineReplies > 0; }));
        ScreensTest::host.render();
    }

    std::unique_ptr<ChartHost> host;
};

TEST_F(ChartsFromServerTest, TheTrendChartDrawsTheMorningUpToTheClock) {
    showTrend("600000.2");
    auto& chart = *host->trendChart;
    saveChartShot(*ScreensTest::host.render(), "server-trend-chart");
    EXPECT_EQ(chart.stockName(), "浦发银行");
    EXPECT_EQ(chart.maxPoints(), 120);
    EXPECT_EQ(host->trend[1]->rowsAffected(), 31) << "9:30 to 10:30";
    EXPECT_NEAR(chart.currentMaxTimeTrendWidth(), 1.5 + 31 * 1.9, 1e-9);
    auto info = chart.tradeInfoView().timeTrendTradeInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->time, "10:30");
    host->trend[0]->fetchFirst();
    EXPECT_EQ(info->lastPrice, host->trend[0]->toStringWithFieldName("zjcj"));
    EXPECT_TRUE(chart.scale().isDrawable());
    auto sent = sim->requestsOf(31000, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "freq"), "2");
}

TEST_F(ChartsFromServerTest, AHongKongDayHasItsOwnLengthAndSplit) {
    showTrend("00700.3");
    auto& chart = *host->trendChart;
    saveChartShot(*ScreensTest::host.render(), "server-trend-chart-hk");
    EXPECT_EQ(chart.stockMarketId(), 3);
    EXPECT_EQ(chart.maxPoints(), 165) << "9:30-12:00 and 13:00-16:00";
    EXPECT_EQ(host->trend[1]->rowsAffected(), 31);
    EXPECT_NEAR(chart.currentMaxTimeTrendWidth(), 1.5 + 31 * 228.0 / 165, 1e-9);
}

TEST_F(ChartsFromServerTest, ABondsMissingMorningIsFilledFromTheOpen) {
    showTrend("019547.2");
    VTATCRS& points = *host->trend[1];
    points.fetchFirst();
    EXPECT_EQ(points.toIntWithFieldName("tm"), 930) << "the chart filled the leading gap";
    EXPECT_EQ(points.rowsAffected(), 31);
    points.fetchLast();
    EXPECT_EQ(points.toIntWithFieldName("tm"), 1030);
}

TEST_F(ChartsFromServerTest, TheKLineAsksAgainForEachPeriodAndIndicator) {
    showKLine("600000.2");
    auto& chart = *host->klineChart;
    EXPECT_EQ(host->kline[1]->rowsAffected(), 320);
    EXPECT_EQ(chart.tradeInfoView().candlesticksTradeInfo()->date, "2024-03-05");
    // A vertical spread: the week.
    CGPoint a0 = chart.convertPointToView({150, 100}, nullptr), b0 = chart.convertPointToView({150, 160}, nullptr);
    CGPoint a1 = chart.convertPointToView({150, 70}, nullptr), b1 = chart.convertPointToView({150, 190}, nullptr);
    UIApplication::sharedApplication().pinch(a0, b0, a1, b1);
    ASSERT_TRUE(waitFor([&] { return host->klineReplies == 2; }));
    auto sent = sim->requestsOf(31000, 2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(fieldOf(sent[1], "type"), "6");
    // A tap on the indicator: MACD.
    settle(0.5);
    CGRect tech = chart.techRect();
    UIApplication::sharedApplication().tapAt(
        chart.convertPointToView({CGRectGetMidX(tech), CGRectGetMidY(tech)}, nullptr));
    ASSERT_TRUE(waitFor([&] { return host->klineReplies == 3; }));
    sent = sim->requestsOf(31000, 2);
    EXPECT_EQ(fieldOf(sent[2], "techname"), "MACD");
    EXPECT_EQ(fieldOf(sent[2], "type"), "6");
    ScreensTest::host.render();
    EXPECT_EQ(chart.techIndexView().input().currentTechIndex, "MACD");
    EXPECT_TRUE(chart.techIndexView().input().maxTechIndexValue);
    saveChartShot(*ScreensTest::host.render(), "server-kline-week-macd");
    // Back to days; every indicator draws from the server's columns.
    chart.setCurrentPeriodIndex(4);
    for (int type = 2; type < 10; ++type) {
        chart.scrollTechIndexViewToIndex(type);
        int want = host->klineReplies + 1;
        ASSERT_TRUE(waitFor([&] { return host->klineReplies == want; }));
        ScreensTest::host.render();
        EXPECT_TRUE(chart.techIndexView().input().maxTechIndexValue) << type;
        if (type == 5 || type == 9)
            saveChartShot(*ScreensTest::host.render(),
                          "server-kline-" + CandlesticksChartView::techIndexValueFromIndex(type));
    }
}

TEST_F(ChartsFromServerTest, TheOlderViewsBuildTheirOwnRequests) {
    struct Older : RequestBinding {
        RecordSets reply;
        Older() {
            bindRequest(1, [this](const RequestReply& r) { reply = r.sets; });
        }
    } older;
    auto fs = std::make_shared<VTAFSView>(CGRectMake(0, 0, 320, 372));
    root->view()->addSubview(fs);
    older.sendRequest(1, fs->requestStringWithMFunc(31000, 1).add("code", "600036.2"), 3);
    ASSERT_TRUE(waitFor([&] { return !older.reply.empty(); }));
    fs->parseHQData(older.reply);
    EXPECT_EQ(fs->chartHQRS()->rowsAffected(), 31);
    saveChartShot(*ScreensTest::host.render(), "server-older-intraday");
    fs->removeFromSuperview();

    auto kx = std::make_shared<VTAKXView>(CGRectMake(0, 0, 320, 372));
    kx->setTechName("KDJ");
    root->view()->addSubview(kx);
    older.reply.clear();
    older.sendRequest(1, kx->requestStringWithMFunc(31000, 2).add("code", "600036.2"), 3);
    ASSERT_TRUE(waitFor([&] { return !older.reply.empty(); }));
    kx->parseHQData(older.reply);
    EXPECT_EQ(kx->chartHQRS()->rowsAffected(), 320);
    ScreensTest::host.render();
    saveChartShot(*ScreensTest::host.render(), "server-older-kline");
    // The auto refresh: only the latest bars, the held ones updated.
    older.reply.clear();
    older.sendRequest(1, kx->requestStringWithMFunc(31000, 2).add("code", "600036.2"), 3);
    ASSERT_TRUE(waitFor([&] { return !older.reply.empty(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 2).back(), "count"), "2");
    kx->parseHQData(older.reply);
    EXPECT_EQ(kx->chartHQRS()->rowsAffected(), 320);
    kx->removeFromSuperview();
}
