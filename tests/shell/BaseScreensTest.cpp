// The bases later screens build on: the older server list's paging state and
// page bar, the menu list's accounts pager, and the stock finder's refusals
// and its way to a stock before the quote page exists.
#include "ScreensTestSupport.h"

#include "core/VTAStock.h"
#include "shell/VTAListViewController.h"
#include "shell/VTATableViewController.h"

namespace {

class BaseScreensTest : public ScreensTest {};

// A paged list as the trade query lists build it on the base.
class PagedList : public VTATableViewController {
public:
    int pageActions = 0;
    void pageActionFromPageCtr(VTAPageCtr& ctr) override {
        ++pageActions;
        curPage = ctr.curPage() - 1;
        isBOF = curPage < 1;
    }
};

TEST_F(BaseScreensTest, ThePageBarFollowsTheListsPagingState) {
    auto list = std::make_shared<PagedList>();
    // A new list stands on its first page.
    EXPECT_EQ(list->curPage, 0);
    EXPECT_TRUE(list->isBOF);
    EXPECT_FALSE(list->needPageCtrl);
    pushViewController(list);
    settle();

    list->showPageCtrl(true);
    settle();
    EXPECT_TRUE(list->needPageCtrl);
    VTAPageCtr* bar = list->pageCtrl();
    ASSERT_TRUE(bar);
    // 44 points across the bottom of the content view.
    CGRect content = list->contentView()->bounds();
    EXPECT_DOUBLE_EQ(bar->frame().size.height, 44);
    EXPECT_DOUBLE_EQ(bar->frame().size.width, content.size.width);
    EXPECT_DOUBLE_EQ(bar->frame().origin.y + 44, content.size.height);
    EXPECT_EQ(bar->pageLabel()->text(), "第1页");
    EXPECT_TRUE(bar->previousButton()->isHidden());
    EXPECT_FALSE(bar->nextButton()->isHidden());

    // Showing it again keeps the one bar.
    list->showPageCtrl(true);
    EXPECT_EQ(list->pageCtrl(), bar);

    bar->nextPage();
    EXPECT_EQ(list->pageActions, 1);
    EXPECT_EQ(list->curPage, 1);
    list->isEOF = true;  // the reply of page 2 was short
    list->updatePageCtrl();
    EXPECT_EQ(bar->pageLabel()->text(), "第2页");
    EXPECT_FALSE(bar->previousButton()->isHidden());
    EXPECT_TRUE(bar->nextButton()->isHidden());

    list->showPageCtrl(false);
    EXPECT_FALSE(list->needPageCtrl);
    EXPECT_FALSE(list->pageCtrl());
}

TEST_F(BaseScreensTest, AMenuListOffersTheAccountsOfItsKind) {
    auto list = std::make_shared<VTAListViewController>();
    EXPECT_TRUE(list->accountsPagerForHK());  // no menu item: not a trade group
    list->setViewMenu(menu("trademenu", "交易"));
    pushViewController(list);
    settle();
    // No pager registered: no button, nothing opens.
    EXPECT_FALSE(host.findText("帐号"));
    EXPECT_FALSE(list->openAccountsPager());

    std::vector<bool> asked;
    ScreenRegistry::shared().setAccountsPager([&](bool hk) {
        asked.push_back(hk);
        return std::make_shared<RecordingScreen>();
    });
    for (const char* group : {"trademenu", "kfsjj", "kvr", "rzrq", "jlc", "jsf", "zndt", "rzrq?x=1"}) {
        list->setViewMenu(menu(group, "组"));
        EXPECT_FALSE(list->accountsPagerForHK()) << group;
    }
    for (const char* other : {"hkmenu", "jsf_yzzz", "", "rzrqx"}) {
        list->setViewMenu(menu(other, "组"));
        EXPECT_TRUE(list->accountsPagerForHK()) << other;
    }

    auto fresh = std::make_shared<VTAListViewController>();
    fresh->setViewMenu(menu("kvr", "报价回购"));
    pushViewController(fresh);
    settle();
    ASSERT_TRUE(host.tapText("帐号"));
    settle();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_FALSE(asked[0]);
    EXPECT_EQ(top()->title(), "已登录帐号");
}

TEST_F(BaseScreensTest, TheFinderRefusesShapeChangingKeysAndFallsBackToTheChart) {
    auto finder = root->showStockFinder();
    ASSERT_TRUE(finder);
    settle();
    finder->searchWithKey("60&tc_mfuncno=1");
    EXPECT_EQ(topAlertTitle(), VTAStockFinder::kShapeChangingKeyText);
    EXPECT_FALSE(finder->showsResults());
    topAlert()->dismissWithClickedButtonIndex(0, false);

    EXPECT_EQ(VTAStockFinder::chartLinkOfStock(VTAStock("000001", "平安银行", 1)), "fschart?code=000001.1");
    // Without the quote page the stock opens on the chart screen.
    std::shared_ptr<VTAMenu> chartItem;
    ScreenRegistry::shared().addScreen("fschart", [&](const std::shared_ptr<VTAMenu>& m) {
        chartItem = m;
        return std::make_shared<RecordingScreen>();
    });
    VTAStockFinder::addToHistory(std::make_shared<VTAStock>("600036", "招商银行", 2));
    finder->pickHistory(0);
    settle();
    ASSERT_TRUE(chartItem);
    EXPECT_EQ(chartItem->link(), "fschart?code=600036.2");
    EXPECT_EQ(top()->title(), "招商银行");
    EXPECT_EQ(root->hiddenFinders, 1);
}

TEST_F(BaseScreensTest, AutoRefreshRunsOnlyWhenSwitchedOnInTradingTimeUntilTheScreenLeaves) {
    auto& settings = VTAUserDefoult::standerDefoult();
    auto screen = std::make_shared<RecordingScreen>();
    pushViewController(screen);
    settle();
    int ticks = 0;
    auto tick = [&] { ++ticks; };

    settings.setBool(false, "auto refresh");
    EXPECT_FALSE(screen->startAutoRefresh(tick));
    EXPECT_FALSE(screen->autoRequestTimer());

    settings.setBool(true, "auto refresh");
    settings.setInt(2, "auto refresh wait time");  // below the floor
    EXPECT_DOUBLE_EQ(VTAViewControllers::autoRefreshInterval(), 5);
    settings.setInt(15, "auto refresh wait time");
    EXPECT_DOUBLE_EQ(VTAViewControllers::autoRefreshInterval(), 15);
    settings.setInt(3, "auto refresh wait time");
    ASSERT_TRUE(screen->startAutoRefresh(tick));
    RunLoop::main().runFor(11, kHangSeconds);
    EXPECT_EQ(ticks, 2);

    // Leaving the screen stops it.
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    EXPECT_FALSE(screen->autoRequestTimer());
    RunLoop::main().runFor(20, kHangSeconds);
    EXPECT_EQ(ticks, 2);

    // Outside the trading hours it does not start (20:00).
    Clock::freezeAt(kScreensMorning + 9.5 * 3600);
    EXPECT_FALSE(screen->startAutoRefresh(tick));
    settings.reload();
}

}  // namespace
