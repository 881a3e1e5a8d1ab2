// The quote page opened from the home screen's own-stock rows: its four pages
// by finger, the requests each page sends, the deals paged by pulling, the
// F10 items with their information lists, and the stepping through the list
// (the Shanghai index and a Hong Kong stock have two pages and cannot be
// traded).
#include "QuotePageTestSupport.h"

#include "core/VTAUserDefoult.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAListViewController.h"
#include "ui/QuotesPageControl.h"

TEST_F(QuotePageTest, PagesThroughTrendKLineTicksAndF10ByFinger) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->pageCount(), 4);
    EXPECT_TRUE(p->hasArrows());
    EXPECT_EQ(p->nameLabel()->text(), "浦发银行");
    EXPECT_EQ(p->codeLabel()->text(), "600000");
    auto trend = sent(31000, 1);
    ASSERT_FALSE(trend.empty());
    EXPECT_EQ(requestText(trend.back()),
              "tc_mfuncno=31000&tc_sfuncno=1&freq=2&close_xxld=1&addup=0&time=0&date=0&maxvol=999999999&code=600000.2");
    EXPECT_EQ(p->quotesPageControl()->accessibilityText(), "[分] K 细 F10");
    EXPECT_TRUE(host.isTextVisible("刷新"));
    EXPECT_TRUE(host.isTextVisible("买入"));
    EXPECT_TRUE(host.isTextVisible("卖出"));
    EXPECT_TRUE(host.isTextVisible("删除自选"));  // an own stock
    // The indices first, the stock's radar three seconds later.
    EXPECT_NE(p->quotesInfoRadarView()->accessibilityText().find("上证指数:"), std::string::npos);
    run(3.5);
    ASSERT_TRUE(waitFor([&] { return p->quotesInfoRadarView()->isHaveRadar(); }));
    EXPECT_EQ(p->quotesInfoRadarView()->accessibilityText(), "10:12 浦发银行：主力资金净流入1.26亿元，居银行板块...");
    EXPECT_EQ(requestText(sent(504, 60).back()), "tc_mfuncno=504&tc_sfuncno=60&stkcode=600000.2&with_content=1");
    saveScreenshot("trend");

    // K-line: asked each time the page comes into view.
    size_t klines = count(31000, 2);
    swipe(true);
    EXPECT_EQ(p->currentPage(), 1);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks(); }));
    EXPECT_EQ(requestText(sent(31000, 2, klines).front()),
              "tc_mfuncno=31000&tc_sfuncno=2&direct=1&time=0&type=5&date=0&count=320&techname=&code=600000.2");
    EXPECT_EQ(p->quotesPageControl()->accessibilityText(), "分 [K] 细 F10");
    saveScreenshot("kline");

    // The newest 30 deals.
    size_t ticks = count(31000, 9);
    swipe(true);
    EXPECT_EQ(p->currentPage(), 2);
    auto* deals = p->transDetailVC();
    ASSERT_TRUE(deals);
    ASSERT_TRUE(waitFor([&] { return deals->transactionItems().size() == 30; }));
    EXPECT_EQ(requestText(sent(31000, 9, ticks).front()),
              "tc_mfuncno=31000&tc_sfuncno=9&code=600000.2&direct=1&count=30&offset=0");
    EXPECT_EQ(deals->transactionItems().front().labels[0].text, "10:30");
    EXPECT_TRUE(host.isTextVisible("10:30"));
    saveScreenshot("ticks");

    // Pulling the end up asks for the older deals; pulling the top down for the newer again.
    std::string newest = deals->transactionItems().front().labels[2].text;
    ticks = count(31000, 9);
    host.drag(160, 380, 160, 80, 12);  // to the end of the page
    run(1);
    host.drag(160, 380, 160, 140, 12);  // and past it
    ASSERT_TRUE(waitFor([&] { return count(31000, 9) > ticks && !deals->isRequestInFlight(103); }));
    EXPECT_EQ(fieldOf(sent(31000, 9).back(), "offset"), "30");
    EXPECT_EQ(deals->offset(), 30);
    EXPECT_NE(deals->transactionItems().front().labels[0].text, "10:30");
    run(1);
    host.drag(160, 80, 160, 380, 12);  // to the top
    run(1);
    host.drag(160, 100, 160, 360, 12);  // and past it
    ASSERT_TRUE(waitFor([&] { return deals->offset() == 0 && !deals->isRequestInFlight(103); }));
    EXPECT_EQ(fieldOf(sent(31000, 9).back(), "offset"), "0");
    EXPECT_EQ(deals->transactionItems().front().labels[0].text, "10:30");
    run(1);

    // F10: the menu's items under "f10"; the toolbar goes home from here.
    swipe(true);
    EXPECT_EQ(p->currentPage(), 3);
    for (const char* item : {"公司概况", "财务数据", "股本股东", "分红配股", "公司公告", "个股新闻"})
        EXPECT_TRUE(host.isTextVisible(item)) << item;
    EXPECT_TRUE(host.isTextVisible("首页"));
    EXPECT_FALSE(host.isTextVisible("刷新"));
    saveScreenshot("f10");
    ASSERT_TRUE(host.tapText("财务数据"));
    ASSERT_TRUE(waitFor([&] { return host.isTextVisible("浦发银行最新财务摘要"); }));
    auto f10 = sent(504, 63);
    ASSERT_FALSE(f10.empty());
    EXPECT_EQ(fieldOf(f10.back(), "f10type"), "2");
    EXPECT_EQ(fieldOf(f10.back(), "stkcode"), "600000");
    EXPECT_EQ(fieldOf(f10.back(), "market"), "2");
    saveScreenshot("f10-list");
    ASSERT_TRUE(host.tapText("浦发银行最新财务摘要"));
    ASSERT_TRUE(waitFor([&] { return count(504, 64) == 1 && !top()->isViewLoaded() == false; }));
    EXPECT_EQ(fieldOf(sent(504, 64).back(), "newsid"), "2-0-600000.2");
    run(1);
    saveScreenshot("f10-text");
    popViewControllers(2);
    ASSERT_TRUE(waitFor([&] { return page() == p; }));

    // Back to the deals: nothing asked again for this stock; the K-line page always asks.
    ticks = count(31000, 9);
    swipe(false);
    EXPECT_EQ(p->currentPage(), 2);
    run(0.5);
    EXPECT_EQ(count(31000, 9), ticks);
    klines = count(31000, 2);
    swipe(false);
    EXPECT_EQ(p->currentPage(), 1);
    ASSERT_TRUE(waitFor([&] { return count(31000, 2) > klines; }));
}

TEST_F(QuotePageTest, StepsForwardAndBackThroughTheIndexAndTheHongKongStock) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    swipe(true);
    swipe(true);
    swipe(true);
    ASSERT_EQ(p->currentPage(), 3);

    // The index: two pages, the page kept within them, no deals asked for it.
    size_t ticks = count(31000, 9);
    size_t klines = count(31000, 2);
    stepRight();
    EXPECT_EQ(p->currentStock()->code(), "000001");
    EXPECT_EQ(p->nameLabel()->text(), "上证指数");
    EXPECT_EQ(p->pageCount(), 2);
    EXPECT_EQ(p->currentPage(), 1);
    EXPECT_EQ(p->quotesPageControl()->accessibilityText(), "分 [K]");
    EXPECT_DOUBLE_EQ(p->quotesScrollView()->contentOffset().x, 320);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks(); }));
    EXPECT_EQ(fieldOf(sent(31000, 2, klines).back(), "code"), "000001.2");
    EXPECT_EQ(count(31000, 9), ticks);
    EXPECT_TRUE(host.isTextVisible("刷新"));
    saveScreenshot("index");
    ASSERT_TRUE(host.tapText("买入"));
    EXPECT_EQ(topAlertTitle(), "指数不能交易！");
    ASSERT_TRUE(host.pressAlertButton("确定"));

    // The Hong Kong stock: two pages too, and no trading.
    stepRight();
    EXPECT_EQ(p->currentStock()->code(), "00700");
    EXPECT_EQ(p->pageCount(), 2);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks(); }));
    swipe(false);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedTimeTrend(); }));
    saveScreenshot("hongkong");
    ASSERT_TRUE(host.tapText("卖出"));
    EXPECT_EQ(topAlertTitle(), "港股暂时无法交易！");
    ASSERT_TRUE(host.pressAlertButton("确定"));

    // On past the end to the first again, and back.
    stepRight();
    EXPECT_EQ(p->currentStock()->code(), "600000");
    EXPECT_EQ(p->pageCount(), 4);
    EXPECT_EQ(p->currentPage(), 0);
    stepLeft();
    EXPECT_EQ(p->currentStock()->code(), "00700");
    stepLeft();
    EXPECT_EQ(p->currentStock()->code(), "000001");
    stepLeft();
    EXPECT_EQ(p->currentStock()->code(), "600000");
    ASSERT_TRUE(waitFor([&] { return p->isRequestedTimeTrend(); }));
    EXPECT_EQ(fieldOf(sent(31000, 1).back(), "code"), "600000.2");
}

TEST_F(QuotePageTest, APinchOnTheKLineStepsItsZoomAndTurnsNoPage) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    swipe(true);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedCandlesticks() && !p->hasRequestInFlight(); }));
    auto* chart = p->candlesticksChartView();
    const int zoom = chart->zoomStep();
    CGPoint candles = chart->convertPointToView(CGPointMake(160, 150), nullptr);
    // A wide spread: wider candles, the same page.
    host.pinch(candles.x, candles.y, 60, 260);
    run(1);
    EXPECT_EQ(p->currentPage(), 1);
    EXPECT_EQ(p->quotesScrollView()->contentOffset().x, 320);
    EXPECT_NE(chart->zoomStep(), zoom);
    saveScreenshot("kline-spread");
    // A pinch back: the zoom it had.
    host.pinch(candles.x, candles.y, 260, 60);
    run(1);
    EXPECT_EQ(p->currentPage(), 1);
    EXPECT_EQ(chart->zoomStep(), zoom);
    // One finger still turns the page.
    swipe(true);
    EXPECT_EQ(p->currentPage(), 2);
}
