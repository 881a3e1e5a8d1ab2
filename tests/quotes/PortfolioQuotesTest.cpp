// The own stocks' quotes: rows, sorting, the expanded row's buttons, the
// fresh-news dot, removing a stock and the auto refresh.
#include "core/VTAMessage.h"
#include "quotes/StockQuotesViewController.h"
#include "tests/quotes/PortfolioTestSupport.h"
#include "trade/VTATradeLoginViewController.h"
#include "ui/Palette.h"

namespace {

class PortfolioQuotesTest : public PortfolioTest {
protected:
    void SetUp() override {
        PortfolioTest::SetUp();
        startWith(kStocks);
    }
    const std::vector<std::string> kStocks = {"600000.2", "000001.1", "600036.2", "000002.1", "600519.2"};

    std::vector<float> percents() const {
        std::vector<float> out;
        for (const auto& item : portfolio->tableData()) out.push_back(item.changePercent());
        return out;
    }
    std::vector<std::string> rowIds() const {
        std::vector<std::string> out;
        for (const auto& item : portfolio->tableData()) out.push_back(item.stockId());
        return out;
    }
    void refreshByFinger() {
        const size_t before = sim->requestsOf(31000, 4).size();
        ASSERT_TRUE(host.tapText("刷新"));
        ASSERT_TRUE(waitFor([&] { return sim->requestsOf(31000, 4).size() > before && !busy(); }));
        settle(0.2);
    }
    VTATradeLoginViewController* tradeLogin() const { return dynamic_cast<VTATradeLoginViewController*>(top()); }
};

}  // namespace

TEST_F(PortfolioQuotesTest, RowsShowTheQuotesRedUpGreenDown) {
    ASSERT_TRUE(openPortfolio());
    ASSERT_EQ(portfolio->tableData().size(), 5u);
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "平安银行", "招商银行", "万科Ａ", "贵州茅台"}));
    bool sawRise = false, sawFall = false;
    for (int row = 0; row < 5; ++row) {
        const PortfolioItem& item = portfolio->tableData()[row];
        auto* cell = quoteCell(row);
        ASSERT_TRUE(cell);
        EXPECT_EQ(cell->nameLabel()->text(), item.name);
        EXPECT_EQ(cell->symbol(), item.symbol);
        const int expected = item.changePercent() > 0 ? 0 : item.changePercent() < 0 ? 1 : 2;
        EXPECT_EQ(cell->upDownType(), expected);
        sawRise |= expected == 0;
        sawFall |= expected == 1;
        EXPECT_FALSE(cell->isExpanded());
    }
    EXPECT_TRUE(sawRise && sawFall) << "the morning's market moves both ways";
    EXPECT_EQ(portfolio->titleView()->titleLabelString(), "我的股票-行情");
    EXPECT_TRUE(host.isTextVisible("涨幅") && host.isTextVisible("跌幅") && host.isTextVisible("个股"));
    EXPECT_TRUE(host.isTextVisible("编辑"));
    saveScreenshot("rows");
}

TEST_F(PortfolioQuotesTest, TheChosenSortHoldsForEveryLaterReply) {
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(host.tapText("涨幅"));
    settle(0.2);
    auto p = percents();
    EXPECT_TRUE(std::is_sorted(p.rbegin(), p.rend())) << "largest first";
    EXPECT_TRUE(portfolio->isIncrease());
    refreshByFinger();
    p = percents();
    EXPECT_TRUE(std::is_sorted(p.rbegin(), p.rend())) << "the refreshed list sorted the same way";
    saveScreenshot("increase");

    ASSERT_TRUE(host.tapText("跌幅"));
    settle(0.2);
    p = percents();
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end())) << "smallest first";
    EXPECT_FALSE(portfolio->isIncrease());
    refreshByFinger();
    p = percents();
    EXPECT_TRUE(std::is_sorted(p.begin(), p.end()));
    // The refresh asks for the rows in the order shown.
    std::string shown;
    for (const auto& id : rowIds()) shown += (shown.empty() ? "" : "|") + id;
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "code"), shown);
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "field"), "1|2|3|4|6|11|13|16|20|21");
}

TEST_F(PortfolioQuotesTest, ASwipeExpandsARowThatStaysOnItsStockThroughTheRefreshes) {
    ASSERT_TRUE(openPortfolio());
    swipeRow(1);
    EXPECT_EQ(portfolio->selectedIndex(), 1);
    ASSERT_TRUE(quoteCell(1)->isExpanded());
    for (const char* title : {"-自选", "买入", "卖出", "K线", "五档"}) EXPECT_TRUE(host.isTextVisible(title)) << title;
    saveScreenshot("expanded");
    // Another row's swipe moves the buttons there; the same row's swipe folds them.
    swipeRow(3);
    EXPECT_EQ(portfolio->selectedIndex(), 3);
    EXPECT_FALSE(quoteCell(1)->isExpanded());
    swipeRow(3);
    EXPECT_EQ(portfolio->selectedIndex(), -1);

    // The auto refresh in trading hours leaves the open row open.
    swipeRow(2);
    const std::string opened = portfolio->tableData()[2].stockId();
    const size_t asked = sim->requestsOf(31000, 4).size();
    RunLoop::main().runFor(5.1, kHangSeconds);
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(31000, 4).size() == asked + 1 && !busy(); }));
    settle(0.2);
    EXPECT_EQ(portfolio->selectedIndex(), 2);
    ASSERT_TRUE(quoteCell(2)->isExpanded());
    EXPECT_TRUE(host.isTextVisible("卖出"));

    // New quotes that sort the stock elsewhere: the row stays open on it.
    ASSERT_TRUE(host.tapText("跌幅"));
    settle(0.2);
    EXPECT_EQ(portfolio->selectedIndex(), -1) << "sorting scrolls to the top and folds the row";
    const std::vector<std::string> ids = rowIds();
    swipeRow(static_cast<int>(std::find(ids.begin(), ids.end(), opened) - ids.begin()));
    std::vector<QuoteRow> quotes;
    for (const auto& item : portfolio->tableData()) {
        const bool falls = item.stockId() == opened;  // the opened stock falls hardest now
        quotes.push_back({item.name, item.symbol, item.marketId, 1, "10.00", falls ? "9.00" : "10.10",
                          falls ? "-1.00" : "0.10", falls ? "-10.00" : "1.00"});
    }
    sim->answerNext(QuoteContract::kSnapshot, snapshotBytes(quotes));
    refreshByFinger();
    EXPECT_EQ(rowIds().front(), opened);
    EXPECT_EQ(portfolio->selectedIndex(), 0);
    ASSERT_TRUE(quoteCell(0)->isExpanded());

    // A stock that left the list takes its open row with it.
    ASSERT_TRUE(portfolioTable().deleteStockBySymbol(portfolio->tableData()[0].symbol,
                                                     portfolio->tableData()[0].marketId));
    refreshByFinger();
    EXPECT_EQ(portfolio->selectedIndex(), -1);
    EXPECT_FALSE(host.isTextVisible("卖出"));

    // Sell the first row: without a trade session the gate opens the login for that stock.
    const std::string first = portfolio->tableData()[0].symbol;
    swipeRow(0);
    tapRowButton(0, 2);
    settle();
    ASSERT_TRUE(tradeLogin());
    ASSERT_TRUE(tradeLogin()->pendingMenu());
    EXPECT_EQ(tradeLogin()->pendingMenu()->link(), "buysale?MMLB=1");
    ASSERT_TRUE(tradeLogin()->viewMessage() && tradeLogin()->viewMessage()->dataStock());
    EXPECT_EQ(tradeLogin()->viewMessage()->dataStock()->code(), first);
    saveScreenshot("trade-login");
}

TEST_F(PortfolioQuotesTest, AScrollOrATapFoldsTheRowAndAnIndexIsNotTraded) {
    storeLocally({"000001.2", "600000.2"});  // 上证指数 first
    ASSERT_TRUE(openPortfolio());
    ASSERT_EQ(rowNames(), (std::vector<std::string>{"上证指数", "浦发银行"}));
    swipeRow(0);
    tapRowButton(0, 1);
    EXPECT_EQ(topAlertTitle(), "指数不能交易！");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    EXPECT_EQ(portfolio->selectedIndex(), -1) << "a button folds the row";
    swipeRow(1);
    auto* table = portfolio->quotesTableView();
    CGRect r = table->convertRectToView(table->bounds(), nullptr);
    host.drag(160, r.origin.y + 60, 160, r.origin.y + 20, 6);
    settle(0.3);
    EXPECT_EQ(portfolio->selectedIndex(), -1) << "scrolling folds the row";
}

TEST_F(PortfolioQuotesTest, StocksWithRadarNewsCarryARedDot) {
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(settled());
    auto radar = sim->requestsOf(504, 54);
    ASSERT_EQ(radar.size(), 1u) << "the first visit of a run asks";
    EXPECT_EQ(fieldOf(radar[0], "stkcodes"), "600000.2,000001.1,600036.2,000002.1,600519.2");
    // The simulator's radar has items of 浦发银行 and 平安银行.
    EXPECT_EQ(portfolioRadarStocks(), (std::vector<std::string>{"600000.2", "000001.1"}));
    std::vector<std::string> dotted;
    for (int row = 0; row < 5; ++row)
        if (!quoteCell(row)->isRedDotHidden()) dotted.push_back(portfolio->tableData()[row].name);
    EXPECT_EQ(dotted, (std::vector<std::string>{"浦发银行", "平安银行"}));
    saveScreenshot("dots");

    // Within ten minutes and with the list unchanged nobody asks again ...
    refreshByFinger();
    EXPECT_EQ(sim->requestsOf(504, 54).size(), 1u);
    // ... a changed list asks at the next reply.
    portfolioTable().deleteStockBySymbol("000001", 1);
    refreshByFinger();
    ASSERT_TRUE(settled());
    EXPECT_EQ(sim->requestsOf(504, 54).size(), 2u);
}

TEST_F(PortfolioQuotesTest, RemovingAStockAsksTheServerFirst) {
    ASSERT_TRUE(openPortfolio());
    swipeRow(1);
    sim->holdReply(3710, 4);  // the overlay is seen before the answer
    tapRowButton(1, 0);
    EXPECT_EQ(SVProgressHUD::status(), "删除自选股...");
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Success; }));
    EXPECT_EQ(SVProgressHUD::status(), "删除自选股成功");
    ASSERT_EQ(sim->requestsOf(3710, 4).size(), 1u);
    EXPECT_EQ(fieldOf(sim->requestsOf(3710, 4)[0], "code"), "000001.1");
    EXPECT_EQ(serverIds(), (std::vector<std::string>{"600000.2", "600036.2", "000002.1", "600519.2"}));
    EXPECT_EQ(localIds(), serverIds());
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "招商银行", "万科Ａ", "贵州茅台"}));
    saveScreenshot("removed");
    settle(2);

    // The server refuses: the row stays, the error mark says so.
    storeOnServer({"600000.2", "600036.2", "000002.1"});
    swipeRow(3);
    tapRowButton(3, 0);
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }));
    EXPECT_EQ(SVProgressHUD::status(), "删除自选股失败");
    EXPECT_EQ(portfolio->tableData().size(), 4u);
    EXPECT_EQ(localIds().size(), 4u);
    settle(2);
    // An error set shows its own text; a lost connection its description.
    sim->forceErrorSet(-1, "自选股服务暂停", 3710, 4);
    swipeRow(0);
    tapRowButton(0, 0);
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }));
    EXPECT_EQ(SVProgressHUD::status(), "自选股服务暂停");
    EXPECT_EQ(localIds().size(), 4u);
}

TEST_F(PortfolioQuotesTest, KeptOnThePhoneOnlyARemovalIsLocalAndAStaleQuoteDoesNotBringItBack) {
    keptOnPhoneOnly();
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(settled());
    keptOnPhoneOnly();  // the upload on the way in made the server the keeper
    swipeRow(4);
    tapRowButton(4, 0);
    EXPECT_EQ(SVProgressHUD::status(), "删除自选成功");
    EXPECT_TRUE(sim->requestsOf(3710, 4).empty());
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2", "000001.1", "600036.2", "000002.1"}));
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "平安银行", "招商银行", "万科Ａ"}));
    settle(2);

    // Removed elsewhere (the quote page) while this list still shows it: the
    // refresh asks for the rows shown, and the answer does not bring it back.
    ASSERT_TRUE(portfolioTable().deleteStockBySymbol("600036", 2));
    refreshByFinger();
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "code"), "600000.2|000001.1|600036.2|000002.1");
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"浦发银行", "平安银行", "万科Ａ"}));
}

TEST_F(PortfolioQuotesTest, TheRefreshRunsFromReplyToRequestOnlyWhileTheQuotesAreOnScreen) {
    VTAUserDefoult::standerDefoult().setInt(3, "auto refresh wait time");
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(portfolio->autoRequestTimer());
    EXPECT_EQ(portfolio->autoRequestTimer()->timeInterval(), 5) << "never below 5 seconds";
    const size_t first = sim->requestsOf(31000, 4).size();
    RunLoop::main().runFor(5.1, kHangSeconds);
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(31000, 4).size() == first + 1 && !busy(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "field"), "1|2|3|4|6|11|13|16|20|21");

    // The background stops it, the foreground starts it again.
    host.background();
    EXPECT_FALSE(portfolio->autoRequestTimer());
    host.foreground();
    settle(0.2);
    EXPECT_TRUE(portfolio->autoRequestTimer());

    // A screen above it: no timer, not even after a return to the foreground.
    auto above = std::make_shared<RecordingScreen>();
    pushViewController(above);
    settle();
    EXPECT_FALSE(portfolio->autoRequestTimer());
    host.background();
    host.foreground();
    settle();
    EXPECT_FALSE(portfolio->autoRequestTimer());
    popViewControllers(1);
    settle();
    ASSERT_TRUE(settled());
    EXPECT_TRUE(portfolio->autoRequestTimer());

    // Switched off, or after the close: no timer.
    VTAUserDefoult::standerDefoult().setBool(false, "auto refresh");
    refreshByFinger();
    EXPECT_FALSE(portfolio->autoRequestTimer());
    VTAUserDefoult::standerDefoult().setBool(true, "auto refresh");
    Clock::freezeAt(kScreensMorning + 5 * 3600);  // 15:30
    refreshByFinger();
    EXPECT_FALSE(portfolio->autoRequestTimer());
}

TEST_F(PortfolioQuotesTest, RowsOpenTheQuotePageOnItsPagesWithTheListToStepThrough) {
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(host.tapText("招商银行"));
    settle();
    auto* page = dynamic_cast<StockQuotesViewController*>(top());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->availableStocks().size(), 5u);
    EXPECT_EQ(page->currentStockIndex(), 2);
    EXPECT_EQ(page->currentStock()->stockId(), "600036.2");
    EXPECT_EQ(page->currentPage(), StockQuotesViewController::kTimeTrendPage);
    EXPECT_TRUE(host.isTextVisible("返回"));
    popViewControllers(1);
    settle();
    ASSERT_TRUE(settled());

    // "K线": the K-line page of the row's stock.
    swipeRow(3);
    tapRowButton(3, 3);
    settle();
    page = dynamic_cast<StockQuotesViewController*>(top());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->currentStock()->name(), "万科Ａ");
    EXPECT_EQ(page->currentPage(), StockQuotesViewController::kCandlesticksPage);
    ASSERT_TRUE(waitFor([&] { return !sim->requestsOf(31000, 2).empty(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 2).back(), "code"), "000002.1");
    EXPECT_EQ(portfolio->selectedIndex(), -1);
    saveScreenshot("k-line");
    popViewControllers(1);
    settle();
    ASSERT_TRUE(settled());
    // "五档": the trend with the order book.
    swipeRow(0);
    tapRowButton(0, 4);
    settle();
    page = dynamic_cast<StockQuotesViewController*>(top());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->currentStock()->name(), "浦发银行");
    EXPECT_EQ(page->currentPage(), StockQuotesViewController::kTimeTrendPage);
}

TEST_F(PortfolioQuotesTest, APullDownTheListRefreshesTheQuotes) {
    ASSERT_TRUE(openPortfolio());
    auto* band = portfolio->refreshHeaderView();
    ASSERT_TRUE(band);
    EXPECT_EQ(band->statusText(), "下拉可以刷新");
    const size_t before = sim->requestsOf(31000, 4).size();
    auto* table = portfolio->quotesTableView();
    CGRect r = table->convertRectToView(table->bounds(), nullptr);
    // A short pull does nothing.
    host.drag(160, r.origin.y + 60, 160, r.origin.y + 100, 8);
    settle(0.5);
    EXPECT_EQ(sim->requestsOf(31000, 4).size(), before);
    // Past the band's threshold: released, the quotes are asked for again.
    sim->holdReply(31000, 4);
    host.drag(160, r.origin.y + 40, 160, r.origin.y + 240, 10);
    EXPECT_EQ(band->state(), QZPullRefreshState::Loading);
    EXPECT_EQ(band->statusText(), "加载中...");
    saveScreenshot("pulled");
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(31000, 4).size() == before + 1 && !busy(); }));
    settle(0.5);
    EXPECT_EQ(band->state(), QZPullRefreshState::Normal);
    EXPECT_EQ(table->contentInset().top, 0);
    EXPECT_EQ(portfolio->tableData().size(), 5u);
}

TEST_F(PortfolioQuotesTest, AListOfOneStockOpensThePageWithArrowsThatReloadIt) {
    startWith({"600000.2"});
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(host.tapText("浦发银行"));
    settle();
    auto* page = dynamic_cast<StockQuotesViewController*>(top());
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->hasArrows());
    ASSERT_TRUE(waitFor([&] { return !sim->requestsOf(31000, 1).empty() && !page->hasRequestInFlight(); }));
    saveScreenshot("one-stock-page");
    // The arrows, drawn at both ends of the title, stay on the stock and ask for it again.
    auto title = page->navigationItem()->titleView();
    ASSERT_TRUE(title && title->window());
    const size_t asked = sim->requestsOf(31000, 1).size();
    for (const double x : {5.0, 125.0}) {
        CGPoint p = title->convertPointToView(CGPointMake(x, 22), nullptr);
        host.tap(p.x, p.y);
        ASSERT_TRUE(waitFor([&] { return sim->requestsOf(31000, 1).size() > asked && !page->hasRequestInFlight(); }));
        EXPECT_EQ(page->currentStock()->stockId(), "600000.2");
        EXPECT_EQ(fieldOf(sim->requestsOf(31000, 1).back(), "code"), "600000.2");
    }
    EXPECT_EQ(sim->requestsOf(31000, 1).size(), asked + 2);
}
