// The own stocks' news: the view chooser, pages of headlines pulled up one
// after the other, and the articles.
#include "messages/NewsTexts.h"
#include "platform/uikit/UIPageControl.h"
#include "tests/quotes/PortfolioTestSupport.h"

namespace {

class PortfolioNewsTest : public PortfolioTest {
protected:
    void SetUp() override {
        PortfolioTest::SetUp();
        startWith(kStocks);
        ASSERT_TRUE(openPortfolio());
        ASSERT_TRUE(settled());
    }
    // 8 + 2 headlines of 平安银行, 8 + 1 of 万科Ａ, 8 of 浦发银行, 8 + 3 of 招商银行.
    const std::vector<std::string> kStocks = {"600000.2", "000001.1", "600036.2", "000002.1"};
    static constexpr size_t kHeadlines = 38;

    size_t pages() { return sim->requestsOf(504, 56).size(); }
    bool pageArrived(size_t count) {
        return waitFor([&] { return pages() == count && !portfolio->isLoadingInfo() && !busy(); }) &&
               (settle(0.2), true);
    }
    // The finger pulls the list up past its end (the page asked for is on its way).
    void pullUp() {
        auto* table = portfolio->infoTableView();
        double end = std::max(0.0, table->contentSize().height - table->bounds().size.height);
        table->setContentOffset(CGPointMake(0, end));
        table->window()->layoutIfNeeded();
        CGRect r = table->convertRectToView(table->bounds(), nullptr);
        double bottom = r.origin.y + r.size.height;
        host.drag(160, bottom - 40, 160, bottom - 200, 10);
    }
};

}  // namespace

TEST_F(PortfolioNewsTest, TheChooserShowsTheNewsAPageAtATime) {
    ASSERT_TRUE(portfolio->autoRequestTimer());
    tapView(portfolio->titleView()->titleButton());
    ASSERT_TRUE(portfolio->isPoped());
    EXPECT_TRUE(host.isTextVisible("自选行情") && host.isTextVisible("自选资讯"));
    saveScreenshot("chooser");
    ASSERT_TRUE(host.tapText("自选资讯"));
    settle(0.5);
    EXPECT_FALSE(portfolio->isPoped());
    EXPECT_FALSE(portfolio->popView()->window()) << "the chooser folded away";
    EXPECT_TRUE(portfolio->isInfoTableView());
    EXPECT_EQ(portfolio->titleView()->titleLabelString(), "我的股票-资讯");
    EXPECT_TRUE(portfolio->isToolBarHidden());
    EXPECT_FALSE(portfolio->autoRequestTimer()) << "the quotes stop refreshing";

    ASSERT_TRUE(pageArrived(1));
    auto first = sim->requestsOf(504, 56)[0];
    EXPECT_EQ(fieldOf(first, "poststr"), "0");
    EXPECT_EQ(fieldOf(first, "count"), "30");
    EXPECT_EQ(fieldOf(first, "stkcodes"), "600000.2,000001.1,600036.2,000002.1");
    ASSERT_EQ(portfolio->infoTableData().size(), 30u);
    EXPECT_EQ(portfolio->postStr(), portfolio->infoTableData().back().digestId());
    EXPECT_TRUE(host.isTextVisible(portfolio->infoTableData()[0].title()));
    saveScreenshot("news");

    sim->holdReply(504, 56);  // the loading is seen before the page
    pullUp();
    EXPECT_TRUE(portfolio->isLoadingInfo());
    ASSERT_TRUE(portfolio->loadingIndicator() && portfolio->loadingIndicator()->isAnimating());
    sim->releaseHeldReplies();
    ASSERT_TRUE(pageArrived(2));
    EXPECT_EQ(fieldOf(sim->requestsOf(504, 56)[1], "poststr"), portfolio->infoTableData()[29].digestId());
    EXPECT_EQ(portfolio->infoTableData().size(), kHeadlines);
    EXPECT_FALSE(portfolio->loadingIndicator());
    // Past the last page: an empty page changes nothing.
    pullUp();
    ASSERT_TRUE(pageArrived(3));
    EXPECT_EQ(portfolio->infoTableData().size(), kHeadlines);
    ASSERT_TRUE(portfolio->infoTableView()->tableFooterView());
    EXPECT_TRUE(host.findText(PortfolioViewController::kLoadMoreText));
    saveScreenshot("news-end");
}

TEST_F(PortfolioNewsTest, APullWhileAPageLoadsAsksNothingAndAFailedPageEndsTheLoading) {
    chooseView(1);
    ASSERT_TRUE(pageArrived(1));
    sim->holdReply(504, 56);
    pullUp();
    ASSERT_TRUE(portfolio->isLoadingInfo());
    // Another drag ending past the end while the page is on its way.
    portfolio->scrollViewDidEndDragging(*portfolio->infoTableView(), false);
    sim->releaseHeldReplies();
    ASSERT_TRUE(pageArrived(2));
    EXPECT_EQ(portfolio->infoTableData().size(), kHeadlines);

    sim->forceErrorSet(-1, "资讯服务繁忙", 504, 56);
    pullUp();
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    EXPECT_EQ(topAlertTitle(), "资讯服务繁忙");
    EXPECT_FALSE(portfolio->isLoadingInfo()) << "the failed page ends the loading";
    EXPECT_FALSE(portfolio->loadingIndicator());
    ASSERT_TRUE(host.pressAlertButton("确定"));
    EXPECT_FALSE(portfolio->autoRequestTimer()) << "the news view does not refresh quotes";
    pullUp();
    ASSERT_TRUE(pageArrived(4));
    EXPECT_EQ(portfolio->infoTableData().size(), kHeadlines);
}

TEST_F(PortfolioNewsTest, SwitchingBackKeepsTheNewsAndEachReturnAsksTheNextPage) {
    chooseView(1);
    ASSERT_TRUE(pageArrived(1));
    chooseView(0);
    EXPECT_FALSE(portfolio->isInfoTableView());
    EXPECT_FALSE(portfolio->isToolBarHidden());
    EXPECT_EQ(portfolio->titleView()->titleLabelString(), "我的股票-行情");
    EXPECT_TRUE(portfolio->autoRequestTimer());
    EXPECT_EQ(portfolio->infoTableData().size(), 30u);
    EXPECT_TRUE(host.isTextVisible("浦发银行"));
    chooseView(1);
    ASSERT_TRUE(pageArrived(2));
    EXPECT_EQ(portfolio->infoTableData().size(), kHeadlines);

    // Leaving and coming back shows the news again, without the own-stock sync.
    const size_t quotes = sim->requestsOf(31000, 4).size();
    NSUserDefaults::standardUserDefaults().setBool(false, kIsDownloadPortfolioKey);
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    EXPECT_FALSE(portfolio->popView()->window());
    popViewControllers(1);
    settle();
    ASSERT_TRUE(settled());
    EXPECT_TRUE(portfolio->isInfoTableView());
    EXPECT_EQ(portfolio->titleView()->titleLabelString(), "我的股票-资讯");
    EXPECT_EQ(sim->requestsOf(31000, 4).size(), quotes);
    EXPECT_TRUE(sim->requestsOf(3710, 2).empty());
}

TEST_F(PortfolioNewsTest, AHeadlineOpensItsArticleAndTurnsGrey) {
    chooseView(1);
    ASSERT_TRUE(pageArrived(1));
    const Digest first = portfolio->infoTableData()[0];
    EXPECT_EQ(PortfolioViewController::newsArticleRequestOf(first),
              "tc_mfuncno=504&tc_sfuncno=61&newsid=" + first.digestId() + "&newstypeid=" + first.newsTypeId());
    ASSERT_TRUE(host.tapText(first.title()));
    settle();
    auto* article = dynamic_cast<InfoContentViewController*>(top());
    ASSERT_TRUE(article);
    EXPECT_EQ(article->title(), "个股资讯");
    EXPECT_EQ(article->infoContentId(), first.digestId());
    ASSERT_TRUE(waitFor([&] { return !article->contentLabel()->text().empty(); }));
    auto sent = sim->requestsOf(504, 61);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "newsid"), first.digestId());
    EXPECT_EQ(article->titleLabel()->text(), first.title());
    EXPECT_TRUE(host.isTextVisible("返回"));
    EXPECT_TRUE(newsReadIds().count(first.digestId()));
    saveScreenshot("article");

    popViewControllers(1);
    settle();
    auto* table = portfolio->infoTableView();
    table->window()->layoutIfNeeded();
    auto cell = std::dynamic_pointer_cast<InfoTitleCell>(table->cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    EXPECT_TRUE(*cell->titleLabel()->textColor() == *UIColor::grayColor());
    auto unread = std::dynamic_pointer_cast<InfoTitleCell>(table->cellForRowAtIndexPath({0, 1}));
    ASSERT_TRUE(unread);
    EXPECT_TRUE(*unread->titleLabel()->textColor() == *InfoTitleCell::unreadTitleColor());
}

TEST_F(PortfolioNewsTest, TallHeadlinesGetTallRows) {
    Digest shortOne, tallOne;
    shortOne.setTitleHeight(20);
    tallOne.setTitleHeight(20.5f);
    EXPECT_FALSE(InfoTitleCell::needsTallRow(shortOne)) << "a height of exactly 20 is a short row";
    EXPECT_TRUE(InfoTitleCell::needsTallRow(tallOne));
    chooseView(1);
    ASSERT_TRUE(pageArrived(1));
    auto* table = portfolio->infoTableView();
    for (int row = 0; row < 30; ++row) {
        const bool tall = portfolio->infoTableData()[row].titleHeight() > 20;
        EXPECT_EQ(table->rectForRowAtIndexPath({0, row}).size.height, tall ? 78 : 58);
    }
}
