// The quote page refreshes itself only in trading hours (by the frozen clock),
// its deals list only while the deals are on screen and nothing covers the
// page, and the deals list follows the page to the next stock.
#include "QuotePageTestSupport.h"

#include "core/VTAUserDefoult.h"
#include "platform/foundation/NSTimer.h"
#include "shell/VTAUIFactory.h"

class QuotePageRefreshTest : public QuotePageTest {
protected:
    // Both clocks to the minute of the same day (10:30 plus the offset).
    void setClock(double secondsAfterMorning) {
        Clock::freezeAt(kLaunchMorning + secondsAfterMorning);
        sim->clock().setTime(kLaunchMorning + secondsAfterMorning);
    }
    // The page opened anew at that time neither runs a timer nor asks again.
    void expectNoRefreshAt(double secondsAfterMorning) {
        popToRootViewController();
        run(1);
        setClock(secondsAfterMorning);
        openFromHome("浦发银行");
        ASSERT_TRUE(page());
        EXPECT_FALSE(page()->autoRequestTimer());
        size_t trends = count(31000, 1);
        run(30);
        EXPECT_EQ(count(31000, 1), trends);
    }
};

TEST_F(QuotePageRefreshTest, AutoRefreshRunsOnlyInTradingHours) {
    // 10:30: the trend is asked again every wait time, at least 5 s.
    VTAUserDefoult::standerDefoult().setInt(3, "auto refresh wait time");
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    ASSERT_TRUE(p->autoRequestTimer());
    EXPECT_DOUBLE_EQ(p->autoRequestTimer()->timeInterval(), 5);
    size_t trends = count(31000, 1);
    run(4);
    EXPECT_EQ(count(31000, 1), trends);
    ASSERT_TRUE(waitFor([&] { return count(31000, 1) > trends; }, 2));
    trends = count(31000, 1);
    run(5.5);
    EXPECT_GT(count(31000, 1), trends);

    // 12:00, the lunch break: no timer, nothing asked again.
    expectNoRefreshAt(90 * 60);
    // 14:00 with the setting off: none either.
    VTAUserDefoult::standerDefoult().setBool(false, "auto refresh");
    expectNoRefreshAt(210 * 60);
}

TEST_F(QuotePageRefreshTest, TheDealsRefreshOnlyWhileTheirPageShowsUncovered) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    swipe(true);
    swipe(true);
    ASSERT_EQ(p->currentPage(), 2);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedTradeDetail(); }));
    const double wait = VTAViewControllers::autoRefreshInterval();
    size_t ticks = count(31000, 9);
    run(wait + 0.5);
    ASSERT_TRUE(waitFor([&] { return count(31000, 9) > ticks; }, 2));

    // Another screen covers the page: the deals stop, and go on when it comes back.
    auto cover = std::make_shared<VTAViewControllers>();
    pushViewController(cover);
    run(1);
    ASSERT_EQ(top(), cover.get());
    ticks = count(31000, 9);
    run(3 * wait);
    EXPECT_EQ(count(31000, 9), ticks);
    popViewControllers(1);
    run(1);
    ASSERT_EQ(page(), p);
    run(wait + 0.5);
    ASSERT_TRUE(waitFor([&] { return count(31000, 9) > ticks; }, 2));

    // Another page: the deals stop too.
    swipe(false);
    ASSERT_EQ(p->currentPage(), 1);
    run(1);
    ticks = count(31000, 9);
    run(3 * wait);
    EXPECT_EQ(count(31000, 9), ticks);
}

TEST_F(QuotePageRefreshTest, TheDealsFollowThePageToTheNextStock) {
    auto pufa = std::make_shared<VTAStock>("600000", "浦发银行", 2);
    auto pingan = std::make_shared<VTAStock>("000001", "平安银行", 1);
    for (auto& s : {pufa, pingan}) s->setTypeID(1);
    ASSERT_TRUE(pushViewController(VTAUIFactory::stockPageWithStocks({pufa, pingan}, 0)));
    ASSERT_TRUE(waitFor([&] { return page() && page()->isRequestedTimeTrend(); }));
    auto* p = page();
    // The deals asked for (by the page, or by the list's own paging) have come.
    auto dealsIn = [&] {
        return p->isRequestedTradeDetail() && !p->isRequestInFlight(StockQuotesViewController::kTradeDetailTag) &&
               !p->transDetailVC()->hasRequestInFlight() && !p->transDetailVC()->transactionItems().empty();
    };
    swipe(true);
    swipe(true);
    ASSERT_TRUE(waitFor(dealsIn));
    // The older deals, by pulling the list up past its end.
    auto pageOlder = [&](const std::string& code) {
        SCOPED_TRACE(code);
        const size_t ticks = count(31000, 9);
        host.drag(160, 380, 160, 80, 12);
        run(1);
        host.drag(160, 380, 160, 140, 12);
        ASSERT_TRUE(waitFor([&] { return count(31000, 9) > ticks && dealsIn(); }));
        ASSERT_EQ(count(31000, 9), ticks + 1);
        EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "code"), code);
        EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "offset"), "30");
    };
    pageOlder("600000.2");
    const std::string olderPrice = p->transDetailVC()->transactionItems().front().labels[1].text;

    // The next stock's deals start again from its newest.
    const size_t ticks = count(31000, 9);
    stepRight();
    EXPECT_EQ(p->currentPage(), 2);
    EXPECT_EQ(p->transDetailVC()->currentStock()->code(), "000001");
    ASSERT_TRUE(waitFor([&] { return count(31000, 9) > ticks && dealsIn(); }));
    const SimRecord next = sent(31000, 9, ticks).front();
    EXPECT_EQ(fieldOf(next, "code"), "000001.1");
    EXPECT_EQ(fieldOf(next, "offset"), "0");
    EXPECT_EQ(p->transDetailVC()->offset(), 0);
    EXPECT_NE(p->transDetailVC()->transactionItems().front().labels[1].text, olderPrice);
    // Shown from its newest deal at the top, not where the last stock's list was scrolled to.
    EXPECT_EQ(p->transDetailVC()->tableView()->contentOffset().y, 0);

    // Its own paging asks for the new stock's older deals.
    pageOlder("000001.1");
    saveScreenshot("next-stock-deals");
}
