// The quote page's deals: what each failure of a page does to the rows,
// pulling on past the day's first deal, and another stock's deals starting
// from its newest page.
#include "QuotePageTestSupport.h"

#include "sim/SimServer.h"
#include "ui/QZRefreshTableView.h"

class QuotePageDealsTest : public QuotePageTest {
protected:
    // The deals page of 浦发银行 with its newest 30 deals.
    TransactionDetailsViewController* openDeals() {
        openFromHome("浦发银行");
        if (!page()) return nullptr;
        swipe(true);
        swipe(true);
        auto* deals = page()->transDetailVC();
        if (!deals || !waitFor([&] { return deals->transactionItems().size() == 30; })) return nullptr;
        run(0.5);
        return deals;
    }
    // A finger pulls the list's top down past the band (the newer page, or this one again).
    void pullDown(TransactionDetailsViewController& deals) {
        deals.tableView()->setContentOffset(CGPointMake(0, 0));
        pull(deals, 100, 360);
    }
    // A finger pulls the list's end up past the band (the older page).
    void pullUp(TransactionDetailsViewController& deals) {
        deals.tableView()->setContentOffset(deals.tableView()->maximumContentOffset());
        pull(deals, 380, 140);
    }
    void pull(TransactionDetailsViewController& deals, double fromY, double toY) {
        const size_t asked = count(31000, 9);
        host.drag(160, fromY, 160, toY, 12);
        EXPECT_TRUE(waitFor([&] { return count(31000, 9) == asked + 1 && !deals.isRequestInFlight(103); }));
        run(0.5);
        EXPECT_EQ(count(31000, 9), asked + 1) << "one pull, one request";
    }
    static std::string firstTime(const TransactionDetailsViewController& deals) {
        return deals.transactionItems().empty() ? "" : deals.transactionItems().front().labels[0].text;
    }
};

TEST_F(QuotePageDealsTest, EachFailureKeepsTheRowsAndSaysWhatItShould) {
    auto* deals = openDeals();
    ASSERT_TRUE(deals);
    const std::string newest = firstTime(*deals);
    struct Failure {
        const char* what;
        std::function<void()> arrange;
        std::string shown;  // "" nothing
        bool dismissalRestartsRefresh;
    };
    const std::vector<Failure> failures = {
        {"no record set", [&] { sim->answerNext({31000, 9}, {0x01, 0x02, 0x03}); }, "数据构建错误！", false},
        {"error set", [&] { sim->forceErrorSet(-1, "行情服务繁忙", 31000, 9); }, "行情服务繁忙", false},
        {"no deals set", [&] { sim->answerNext({31000, 9}, tickReplyBytes("7.22", {}, false)); }, "", false},
        {"a time of one digit",
         [&] { sim->answerNext({31000, 9}, tickReplyBytes("7.22", {{1, 1030, "7.21", "5"}, {2, 5, "7.20", "3"}})); },
         "", false},
        {"refused line", [&] { sim->forceFault(SimFault::Refuse, 31000, 9); }, "服务器返回数据异常", true},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.what);
        f.arrange();
        pullDown(*deals);
        EXPECT_EQ(deals->transactionItems().size(), 30u);
        EXPECT_EQ(firstTime(*deals), newest);
        EXPECT_EQ(deals->refreshHeaderView()->state(), QZPullRefreshState::Normal) << "the loading ended";
        EXPECT_EQ(topAlertTitle(), f.shown);
        EXPECT_FALSE(deals->autoRequestTimer()) << "no refresh until the next answer";
        if (!f.shown.empty()) {
            if (f.dismissalRestartsRefresh) saveScreenshot("deals-failed");
            ASSERT_TRUE(host.pressAlertButton("确定"));
            EXPECT_EQ(static_cast<bool>(deals->autoRequestTimer()), f.dismissalRestartsRefresh);
        }
    }
    // The next answer brings the rows and the refresh back.
    pullDown(*deals);
    EXPECT_EQ(deals->transactionItems().size(), 30u);
    EXPECT_TRUE(deals->autoRequestTimer());
}

TEST_F(QuotePageDealsTest, PullingOnPastTheFirstDealOfTheDayEmptiesTheList) {
    auto* deals = openDeals();
    ASSERT_TRUE(deals);
    // Page by page back to the day's first deals: a page of fewer than 30.
    for (int pulls = 0; pulls < 40 && deals->transactionItems().size() == 30; ++pulls) pullUp(*deals);
    ASSERT_LT(deals->transactionItems().size(), 30u);
    ASSERT_FALSE(deals->transactionItems().empty());
    const int last = deals->offset();
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "offset"), std::to_string(last));
    // One pull more asks beyond the deals; the empty answer empties the list.
    pullUp(*deals);
    EXPECT_EQ(deals->offset(), last + 30);
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "offset"), std::to_string(last + 30));
    EXPECT_TRUE(deals->transactionItems().empty());
    saveScreenshot("deals-past-the-first");
    // Pulling the top down comes back a page.
    pullDown(*deals);
    EXPECT_EQ(deals->offset(), last);
    EXPECT_FALSE(deals->transactionItems().empty());
}

TEST_F(QuotePageDealsTest, AnotherStocksDealsStartFromItsNewestPageWhenThePagesOwnAskFailed) {
    // 万科Ａ joins the own stocks: the stock before 浦发银行 on the quote page.
    ASSERT_TRUE(DaoFactory::sharedInstance().portfolioDao()->addStock(QZPortfolioStock("000002", 1)));
    sim->setOwnStocks(phone, {"600000.2", "000001.2", "00700.3", "000002.1"});
    home()->refresh();
    ASSERT_TRUE(waitFor([&] { return home()->quoteStocks().size() == 4; }));
    auto* deals = openDeals();
    ASSERT_TRUE(deals);
    pullUp(*deals);
    pullUp(*deals);
    ASSERT_EQ(deals->offset(), 60);
    // The page's own ask for 万科Ａ's newest deals fails: only the list's own
    // offset tells where the customer's pull goes.
    sim->forceFault(SimFault::Refuse, 31000, 9);
    stepLeft();
    ASSERT_TRUE(waitFor([&] { return UIAlertView::topAlert() != nullptr; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    run(0.5);
    EXPECT_EQ(deals->currentStock()->stockId(), "000002.1");
    EXPECT_TRUE(deals->transactionItems().empty());
    pullDown(*deals);
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "code"), "000002.1");
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "offset"), "0");
    EXPECT_EQ(deals->transactionItems().size(), 30u);
}
