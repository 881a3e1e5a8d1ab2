// The quote page's charts: the cached copies the request service hands over
// before the server's answer, and the crosshair that holds the pages still.
#include "QuotePageTestSupport.h"

#include "charts/CandlesticksChartView.h"
#include "charts/TimeTrendChartView.h"
#include "charts/QuotesMeterView.h"
#include "core/VTAUserDefoult.h"

TEST_F(QuotePageTest, ACachedChartFillsAnEmptyPageAtOnceAndNeverReplacesAFresherOne) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    ASSERT_EQ(p->timeTrendData().size(), 3u);
    // To the index and back, the answer held: the copy of the last answer
    // fills the trend at once, though no answer came for this visit yet.
    // (The commands at once: a finger's tap would run the loop until the
    // held answer came.)
    p->rightAction();
    ASSERT_TRUE(waitFor([&] { return p->isRequestedTimeTrend() && !p->hasRequestInFlight(); }));
    EXPECT_EQ(p->currentStock()->code(), "000001");
    sim->holdReply(31000, 1);
    p->leftAction();
    ASSERT_TRUE(waitFor([&] { return !p->timeTrendData().empty(); }));
    EXPECT_EQ(p->currentStock()->code(), "600000");
    EXPECT_FALSE(p->isRequestedTimeTrend());
    saveScreenshot("trend-from-cache");
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return p->isRequestedTimeTrend() && !p->hasRequestInFlight(); }));

    // With the index overlay the answer holds four sets; without it again the
    // cached copy (three sets, older) arrives first and is passed over.
    VTAUserDefoult::standerDefoult().setBool(true, "fschart dj set");
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return p->timeTrendData().size() == 4 && !p->hasRequestInFlight(); }));
    VTAUserDefoult::standerDefoult().setBool(false, "fschart dj set");
    sim->holdReply(31000, 1);
    p->doRefresh();
    for (int i = 0; i < 3; ++i) RunLoop::main().runOnce();  // the copy comes at once
    EXPECT_TRUE(p->hasRequestInFlight());
    EXPECT_EQ(p->timeTrendData().size(), 4u) << "the fresher answer stays";
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return p->timeTrendData().size() == 3 && !p->hasRequestInFlight(); }));

    // The K-line likewise: back from the index, its copy shows before the answer.
    swipe(true);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks() && !p->hasRequestInFlight(); }));
    const int bars = p->candlesticksData()[1]->rowsAffected();
    p->rightAction();
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks() && !p->hasRequestInFlight(); }));
    sim->holdReply(31000, 2);
    p->leftAction();
    ASSERT_TRUE(waitFor([&] { return !p->candlesticksData().empty(); }));
    EXPECT_FALSE(p->isRequestedCandlesticks());
    EXPECT_EQ(p->candlesticksData()[1]->rowsAffected(), bars);
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks() && !p->hasRequestInFlight(); }));
}

TEST_F(QuotePageTest, WhileTheCrosshairShowsADragMovesItAndTheLeavesStayStill) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    auto* trend = p->timeTrendChartView();
    auto* pages = p->quotesScrollView();
    // Drawn once, as the screen shows it: the line (and with it the room of
    // the crosshair) reaches 10:30.
    ASSERT_TRUE(UIApplication::sharedApplication().keyWindow()->renderToImage(1));
    ASSERT_GT(trend->currentMaxTimeTrendWidth(), 50);
    CGPoint plot = trend->convertPointToView(CGPointMake(40, 150), nullptr);
    host.tap(plot.x, plot.y);
    run(0.5);
    ASSERT_TRUE(trend->isShowMeter());
    EXPECT_FALSE(pages->isScrollEnabled());
    ASSERT_TRUE(trend->quotesMeterView());
    const double before = trend->quotesMeterView()->center().x;
    CGPoint right = trend->convertPointToView(CGPointMake(210, 150), nullptr);
    host.drag(right.x, right.y, right.x - 190, right.y, 12);  // far enough to turn a page
    run(1);
    EXPECT_EQ(p->currentPage(), 0) << "the drag moved the crosshair, not the page";
    EXPECT_EQ(pages->contentOffset().x, 0);
    EXPECT_LT(trend->quotesMeterView()->center().x, before - 10) << "the crosshair followed the finger";
    saveScreenshot("crosshair-dragged");
    // Hidden again by a tap: the pages turn again.
    host.tap(plot.x, plot.y);
    run(0.5);
    EXPECT_FALSE(trend->isShowMeter());
    EXPECT_TRUE(pages->isScrollEnabled());
    swipe(true);
    EXPECT_EQ(p->currentPage(), 1);

    // The K-line's crosshair holds the pages too, until the next stock.
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks() && !p->hasRequestInFlight(); }));
    auto* kline = p->candlesticksChartView();
    CGPoint candles = kline->convertPointToView(CGPointMake(160, 150), nullptr);
    host.tap(candles.x, candles.y);
    run(0.5);
    ASSERT_TRUE(kline->isShowMeter());
    EXPECT_FALSE(pages->isScrollEnabled());
    host.drag(candles.x, candles.y, candles.x - 150, candles.y, 12);
    run(1);
    EXPECT_EQ(p->currentPage(), 1);
    stepRight();
    EXPECT_FALSE(kline->isShowMeter());
    EXPECT_TRUE(pages->isScrollEnabled());
}
