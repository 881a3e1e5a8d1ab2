// The older chart views: their requests, how they take replies, what they
// report to the host for each gesture, and how they draw on black.
#include "ChartsTestSupport.h"

#include "charts/CandlesticksTechIndexView.h"
#include "charts/ChartDrawing.h"
#include "charts/VTAFSView.h"
#include "charts/VTAKXView.h"
#include "core/VTAUserDefoult.h"
#include "ui/Drawing.h"
#include "ui/Palette.h"

namespace {

struct Recorder : VTAChartViewDelegate {
    std::vector<std::pair<VTATouchAction, CGRect>> actions;
    bool chartViewDoAction(VTAChartView&, VTATouchAction action, const CGRect& rect, CGPoint) override {
        actions.push_back({action, rect});
        return true;
    }
};

IntradayReply aDay() {
    IntradayReply r;
    r.stock.open = "10.25";
    r.points = IntradayReply::day(1400, 10.25);
    r.stock.lastupd = "20240305140000";
    return r;
}

// The picture of a text drawn on black as the older K-line chart draws its
// dates under the plot (2 pixels a point).
std::shared_ptr<UIImage> datePicture(const std::string& text, CGSize size, int alignment) {
    UIGraphicsBeginImageContextWithOptions(size, true, 2);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    ctx->setFillColor(*UIColor::blackColor());
    ctx->fillRect(CGRectMake(0, 0, size.width, size.height));
    drawStringInRect(ctx, text, 0, 0, size.width, size.height, chartFont(12), *colorWithIndex(26),
                     TextDrawingMode::Fill, alignment);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// Pixels of the picture that differ from the render at `origin` (points),
// the first point's row (the plot's frame runs there) left out.
int differences(const UIImage& render, CGPoint origin, const UIImage& picture) {
    int n = 0;
    for (int y = 2; y < picture.pixelHeight(); ++y)
        for (int x = 0; x < picture.pixelWidth(); ++x) {
            uint32_t a = render.pixelAt(int(origin.x * 2) + x, int(origin.y * 2) + y), b = picture.pixelAt(x, y);
            int diff = 0;
            for (int shift : {16, 8, 0}) diff += std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
            if (diff > 90) ++n;
        }
    return n;
}

}  // namespace

class OlderChartViewsTest : public ChartViewTest {
protected:
    void SetUp() override {
        ChartViewTest::SetUp();
        VTAUserDefoult::standerDefoult().removeValueForKey(VTAFSView::kOverlaySetting);
        VTAUserDefoult::standerDefoult().removeValueForKey(VTAKXView::kTechSetting);
    }
    void TearDown() override {
        VTAUserDefoult::standerDefoult().removeValueForKey(VTAFSView::kOverlaySetting);
        VTAUserDefoult::standerDefoult().removeValueForKey(VTAKXView::kTechSetting);
        ChartViewTest::TearDown();
    }
    void tapAt(double x, double y) {
        run(0.5);
        app().tapAt(CGPointMake(x, y));
    }
};

TEST_F(OlderChartViewsTest, TheIntradayViewAsksForTwoMinuteStepsAndTheOverlayOfTheSetting) {
    VTAFSView fs(CGRectMake(0, 0, 320, 372));
    EXPECT_EQ(fs.requestStringWithMFunc(31000, 1).text(),
              "tc_mfuncno=31000&tc_sfuncno=1&freq=2&addup=0&time=0&date=0&maxvol=999999999");
    VTAUserDefoult::standerDefoult().setBool(true, VTAFSView::kOverlaySetting);
    EXPECT_EQ(fs.requestStringWithMFunc(31000, 1).text(),
              "tc_mfuncno=31000&tc_sfuncno=1&freq=2&addup=1&time=0&date=0&maxvol=999999999");
    fs.parseHQData(aDay().sets());
    EXPECT_EQ(fs.abstractTitle(), "分时-平安银行");
    EXPECT_EQ(fs.stKCode(), "000001");
    EXPECT_EQ(fs.stkMarketID(), 1);
    ASSERT_TRUE(fs.detailHQRS());
    EXPECT_EQ(fs.chartHQRS()->rowsAffected(), 91) << "9:30 to 14:00 in two-minute steps";
}

TEST_F(OlderChartViewsTest, TheIntradayViewReportsGesturesWithTheirAreas) {
    auto fs = std::make_shared<VTAFSView>(CGRectMake(0, 0, 320, 372));
    Recorder host;
    fs->setChartDelegate(&host);
    stage->addSubview(fs);
    fs->parseHQData(aDay().sets());
    CGRect line = fs->lineRect(), volume = fs->cjlRect(), detail = fs->detailRect();
    tapAt(CGRectGetMidX(line), CGRectGetMidY(line));
    tapAt(CGRectGetMidX(volume), CGRectGetMidY(volume));
    tapAt(100, CGRectGetMidY(detail));
    tapAt(20, CGRectGetMidY(line));  // the price labels
    ASSERT_EQ(host.actions.size(), 4u);
    EXPECT_EQ(host.actions[0], std::make_pair(VTATouchAction::Click, line));
    EXPECT_EQ(host.actions[1].second, volume);
    EXPECT_EQ(host.actions[2].second, detail);
    EXPECT_EQ(host.actions[3].second, fs->verticalBarRect());
    run(0.5);
    app().dragFrom(CGPointMake(100, CGRectGetMaxY(detail) - 4), CGPointMake(100, CGRectGetMinY(detail) - 60));
    EXPECT_EQ(host.actions.back(), std::make_pair(VTATouchAction::SwipeUp, detail));

    // The spot above the detail box opens the panel: a double tap on the box itself.
    host.actions.clear();
    EXPECT_TRUE(fs->touchSpecelWithPoint(CGPointMake(10, detail.origin.y - 20)));
    ASSERT_EQ(host.actions.size(), 1u);
    EXPECT_EQ(host.actions[0], std::make_pair(VTATouchAction::DoubleClick, detail));
    EXPECT_FALSE(fs->touchSpecelWithPoint(CGPointMake(60, detail.origin.y - 20)));

    // A past day: no detail panel from either.
    fs->setIsHistory(true);
    host.actions.clear();
    EXPECT_FALSE(fs->touchSpecelWithPoint(CGPointMake(10, detail.origin.y - 20)));
    tapAt(100, CGRectGetMidY(detail));
    EXPECT_TRUE(host.actions.empty());

    fs->setShowCursor(true);
    fs->setCursorIndexWithPoint(CGPointMake(CGRectGetMaxX(line) - 1, 100));
    EXPECT_EQ(fs->cursorIndex(), 90) << "clamped to the last point";
    saveChartShot(*render(), "older-intraday");
    fs->setChartDelegate(nullptr);
}

TEST_F(OlderChartViewsTest, TheKLineViewAsksForItsPeriodAndIndicatorAndThenOnlyTheLatestBars) {
    VTAUserDefoult::standerDefoult().setString("KDJ", VTAKXView::kTechSetting);
    VTAKXView kx(CGRectMake(0, 0, 320, 372));
    EXPECT_EQ(kx.techName(), "KDJ") << "the indicator last picked";
    EXPECT_EQ(kx.requestStringWithMFunc(31000, 2).text(),
              "tc_mfuncno=31000&tc_sfuncno=2&direct=1&time=0&type=5&date=0&count=320&techname=KDJ");
    KLineReply r;
    r.bars = KLineReply::days(3);
    kx.parseHQData(r.sets());
    EXPECT_EQ(kx.abstractTitle(), "K线-平安银行");
    kx.setTypeIndex(0);
    kx.setTechName("");
    EXPECT_EQ(kx.requestStringWithMFunc(31000, 2).text(),
              "tc_mfuncno=31000&tc_sfuncno=2&direct=1&time=0&type=1&date=0&count=2&techname=");

    // The latest bars replace the held bar of the same day and extend the others.
    KLineReply latest;
    latest.bars = KLineReply::days(4);
    latest.bars.erase(latest.bars.begin(), latest.bars.begin() + 2);
    latest.bars[0].close = "12.34";
    kx.parseHQData(latest.sets());
    VTATCRS& held = *kx.chartHQRS();
    ASSERT_EQ(held.rowsAffected(), 4);
    held.moveToIndex(2);
    EXPECT_EQ(held.toStringWithFieldName("zjcj"), "12.34");
    held.fetchLast();
    EXPECT_EQ(held.toStringWithFieldName("da"), latest.bars[1].da);
    held.fetchFirst();

    kx.setChartHQRS(nullptr);
    EXPECT_EQ(kx.requestStringWithMFunc(31000, 2).text(),
              "tc_mfuncno=31000&tc_sfuncno=2&direct=1&time=0&type=1&date=0&count=320&techname=");
    kx.setTechName("NOPE");
    EXPECT_EQ(kx.techName(), "");
    EXPECT_EQ(VTAKXView::techDictionary().allKeys().size(), 10u);
}

TEST_F(OlderChartViewsTest, TheKLineViewZoomsByStepAndReportsPinches) {
    auto kx = std::make_shared<VTAKXView>(CGRectMake(0, 0, 320, 372));
    Recorder host;
    kx->setChartDelegate(&host);
    stage->addSubview(kx);
    KLineReply r;
    r.bars = KLineReply::days(120);
    kx->parseHQData(r.sets());
    EXPECT_EQ(kx->window().count, static_cast<int>(kx->lineRect().size.width / 6));
    kx->setItemIndex(4);
    kx->computationFrame();
    EXPECT_EQ(kx->window().count, 120) << "the narrowest candles show them all";
    EXPECT_EQ(kx->techIndexView().input().fromCandleItemIndex, kx->window().from);

    CGRect line = kx->lineRect();
    run(0.5);
    app().pinch(CGPointMake(160, line.origin.y + 20), CGPointMake(160, CGRectGetMaxY(line) - 20),
                CGPointMake(160, line.origin.y + 60), CGPointMake(160, CGRectGetMaxY(line) - 60));
    ASSERT_FALSE(host.actions.empty());
    EXPECT_EQ(host.actions.back().first, VTATouchAction::PinchVertical);
    app().pinch(CGPointMake(100, 100), CGPointMake(200, 100), CGPointMake(60, 100), CGPointMake(260, 100));
    EXPECT_EQ(host.actions.back().first, VTATouchAction::SpreadHorizontal);
    kx->setItemIndex(2);
    kx->computationFrame();
    kx->setShowCursor(true);
    kx->setCursorIndexWithPoint(CGPointMake(CGRectGetMidX(line), 100));
    EXPECT_GE(kx->cursorIndex(), kx->window().from);
    render();  // the indicator view gets its input on the draw
    saveChartShot(*render(), "older-kline");
    kx->setChartDelegate(nullptr);
}

TEST_F(OlderChartViewsTest, TheKLineViewWritesItsDatesAsCustomersReadThem) {
    auto kx = std::make_shared<VTAKXView>(CGRectMake(0, 0, 320, 372));
    stage->addSubview(kx);
    KLineReply r;
    r.bars = KLineReply::days(21);
    for (int i = 0; i < 21; ++i) {  // 5-minute bars from 09:35 to 11:15
        int minutes = 9 * 60 + 35 + 5 * i;
        char da[16];
        std::snprintf(da, sizeof da, "20240229%02d%02d", minutes / 60, minutes % 60);
        r.bars[i].da = da;
    }
    kx->setTypeIndex(0);
    kx->parseHQData(r.sets());
    ASSERT_EQ(kx->window().count, 21);
    auto img = render("older-kline-minutes");
    const CGRect& t = kx->horizontalBarRect();
    CGSize size = CGSizeMake(90, t.size.height);
    EXPECT_EQ(differences(*img, t.origin, *datePicture("02-29 09:35", size, 0)), 0);
    CGPoint right = CGPointMake(CGRectGetMaxX(t) - 90, t.origin.y);
    EXPECT_EQ(differences(*img, right, *datePicture("02-29 11:15", size, 2)), 0);
    EXPECT_GT(differences(*img, right, *datePicture("202402291115", size, 2)), 20) << "the check tells texts apart";

    // Day bars: the whole date.
    KLineReply days;
    days.bars = KLineReply::days(3);
    kx->setTypeIndex(KLine::kDayPeriod);
    kx->setChartHQRS(nullptr);
    kx->parseHQData(days.sets());
    img = render("older-kline-days");
    EXPECT_EQ(differences(*img, right, *datePicture("2024-01-04", size, 2)), 0);
}
