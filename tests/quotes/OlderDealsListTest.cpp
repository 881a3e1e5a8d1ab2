// The older tick-by-tick list against the simulator: a page of 30 deals at a
// time turned with its page bar (curling up to a later page, down to an
// earlier one), the end of the deals, the bar hidden and shown by a tap on a
// row, "刷新" only while the market is open, and big deals by its own default,
// which the settings then show and the newer list uses; what each failure
// leaves.
#include "QuotesTestSupport.h"
#include "core/VTAUserDefoult.h"
#include "platform/uikit/UITableView.h"
#include "quotes/TransDetailCell.h"
#include "quotes/TransactionDetailsViewController.h"
#include "quotes/VTACJViewController.h"
#include "shell/VTASettingViewController.h"
#include "sim/SimServer.h"
#include "tests/shell/ScreensTestSupport.h"
#include "tests/support/Screenshots.h"

class OlderDealsListTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        startSimulator();
        host.setRealTimeLimit(10);
        VTAUserDefoult::standerDefoult().removeValueForKey("StepForBS");
        list = std::make_shared<VTACJViewController>();
        list->setStockCode("600000");
        list->setStockName("浦发银行");
        list->setMarket(2);
        list->setTitle("成交明细-浦发银行");
        pushViewController(list);
        ASSERT_TRUE(waitFor([&] { return list->CJListData().size() == 30; }));
        settle(0.5);
    }
    void TearDown() override {
        list.reset();
        ScreensTest::TearDown();
    }
    size_t requests() const { return sim->requestsOf(31000, 9).size(); }
    std::string lastOffset() const { return fieldOf(sim->requestsOf(31000, 9).back(), "offset"); }

    std::shared_ptr<VTACJViewController> list;
};

TEST_F(OlderDealsListTest, PagesTurnWithTheBarUntilTheLastDeal) {
    auto* bar = list->pageCtr();
    ASSERT_TRUE(bar && bar->superview());
    EXPECT_EQ(bar->pageLabel()->text(), "第1页");
    EXPECT_TRUE(bar->previousButton()->isHidden());
    EXPECT_FALSE(bar->nextButton()->isHidden());  // a whole page: there may be more
    EXPECT_EQ(lastOffset(), "0");
    EXPECT_EQ(list->CJListData().front().labels[0].text, "10:30");
    EXPECT_EQ(list->bigSetting(), 1000);
    saveScreenshot("first-page");

    std::string newest = list->CJListData().front().labels[0].text;
    ASSERT_TRUE(host.tapText("下一页"));
    EXPECT_EQ(list->contentView()->lastTransition(), UIViewAnimationTransition::CurlUp);
    ASSERT_TRUE(waitFor([&] { return list->offset() == 30 && list->CJListData().size() == 30; }));
    EXPECT_EQ(lastOffset(), "30");
    EXPECT_EQ(bar->pageLabel()->text(), "第2页");
    EXPECT_FALSE(bar->previousButton()->isHidden());

    // On to the end: a page of fewer than 30 deals has no next page.
    for (int page = 3; page < 20 && !bar->nextButton()->isHidden(); ++page) {
        ASSERT_TRUE(host.tapText("下一页"));
        ASSERT_TRUE(waitFor([&] { return list->offset() == 30 * (page - 1) && !list->isRequestInFlight(103); }));
        settle(1.1);
    }
    EXPECT_TRUE(bar->nextButton()->isHidden());
    EXPECT_LT(list->CJListData().size(), 30u);
    EXPECT_FALSE(list->CJListData().empty());
    saveScreenshot("last-page");

    ASSERT_TRUE(host.tapText("上一页"));
    EXPECT_EQ(list->contentView()->lastTransition(), UIViewAnimationTransition::CurlDown);
    ASSERT_TRUE(waitFor([&] { return !list->isRequestInFlight(103) && list->CJListData().size() == 30; }));
    EXPECT_FALSE(bar->nextButton()->isHidden());
}

TEST_F(OlderDealsListTest, ATapOnARowHidesThePageBarAndAnotherShowsIt) {
    auto* bar = list->pageCtr();
    auto* table = list->myTableView();
    // Scrolled to its end, the list's last deal stands above the bar, not under it.
    auto lastDealBottom = [&] {
        table->setContentOffset(table->maximumContentOffset());
        CGRect last = table->rectForRowAtIndexPath(NSIndexPath{0, 29});
        return table->convertPointToView(CGPointMake(0, CGRectGetMaxY(last)), nullptr).y;
    };
    EXPECT_LE(lastDealBottom(), bar->convertPointToView(CGPointMake(0, 0), nullptr).y + 0.5);
    table->setContentOffset(CGPointMake(0, 0));
    CGPoint row = table->convertPointToView(CGPointMake(160, 30), nullptr);
    host.tap(row.x, row.y);
    settle(1);
    EXPECT_FALSE(bar->superview());
    // Without the bar the last deal goes down to the toolbar.
    const double tableBottom =
        table->superview()->convertPointToView(CGPointMake(0, CGRectGetMaxY(table->frame())), nullptr).y;
    EXPECT_NEAR(lastDealBottom(), tableBottom, 0.5);
    table->setContentOffset(CGPointMake(0, 0));
    host.tap(row.x, row.y);
    settle(1);
    EXPECT_TRUE(bar->superview());
    EXPECT_TRUE(host.isTextVisible("第1页"));
}

TEST_F(OlderDealsListTest, RefreshAsksAgainOnlyWhileTheMarketIsOpen) {
    list->stopAutoRefresh();  // only the finger asks here
    VTAUserDefoult::standerDefoult().setBool(false, "auto refresh");
    size_t before = requests();
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return requests() == before + 1; }));
    // 11:45, the lunch break: nothing.
    Clock::freezeAt(kScreensMorning + 75 * 60);
    EXPECT_FALSE(list->isInsideTradingWindow());
    ASSERT_TRUE(host.tapText("刷新"));
    settle(1);
    EXPECT_EQ(requests(), before + 1);
    // 13:00 sharp is not inside yet (strictly after the open), 13:01 is.
    Clock::freezeAt(kScreensMorning + 150 * 60);
    EXPECT_FALSE(list->isInsideTradingWindow());
    Clock::freezeAt(kScreensMorning + 151 * 60);
    EXPECT_TRUE(list->isInsideTradingWindow());
}

TEST_F(OlderDealsListTest, TheToolbarGoesHomeOrToTheMenusOwnStocksAndRanking) {
    auto tree = std::make_shared<VTATree>();
    tree->addMenu(menu("", "行情", 1, -1), -1);
    tree->addMenu(menu("zxhq", "自选股", 11, 1), 1);
    tree->addMenu(menu("pxhq", "排行榜", 12, 1), 1);
    VTATree::setSharedTree(tree);
    for (const char* link : {"zxhq", "pxhq"})
        ScreenRegistry::shared().addScreen(link, [](const auto&) { return std::make_shared<RecordingScreen>(); });
    std::vector<std::string> titles;
    for (const auto& item : list->toolbar()->items())
        if (!item->title().empty()) titles.push_back(item->title());
    EXPECT_EQ(titles, (std::vector<std::string>{"首页", "个股", "自选", "排序", "刷新"}));
    const size_t root = depth() - 1;
    struct Case {
        const char* button;
        const char* opened;  // "" back at the root
    };
    for (const Case& c : {Case{"自选", "自选股"}, Case{"排序", "排行榜"}, Case{"首页", ""}}) {
        SCOPED_TRACE(c.button);
        if (top() != list.get()) {
            popViewControllers(static_cast<int>(depth() - root));
            pushViewController(list);
            settle(0.5);
        }
        ASSERT_TRUE(host.tapText(c.button));
        settle();
        EXPECT_EQ(depth(), root + (*c.opened ? 1 : 0));
        if (*c.opened) {
            EXPECT_EQ(top()->title(), c.opened);
        }
    }
}

TEST_F(OlderDealsListTest, BigDealsBeyondItsOwnDefaultLieOnGrey) {
    auto* table = list->myTableView();
    int big = 0, plain = 0;
    for (int i = 0; i < 10; ++i) {
        auto cell = std::dynamic_pointer_cast<CJCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(i, 0)));
        ASSERT_TRUE(cell);
        const auto& row = list->CJListData()[static_cast<size_t>(i)];
        double shade = cell->contentView()->backgroundColor()->red();
        if (row.volume && row.volume->realValue() > 1000) {
            EXPECT_NEAR(shade, TransDetailCell::kBigDealWhite, 1e-6) << i;
            ++big;
        } else {
            EXPECT_DOUBLE_EQ(shade, 0) << i;
            ++plain;
        }
    }
    EXPECT_GT(big, 0);
    EXPECT_GT(plain, 0);
}

TEST_F(OlderDealsListTest, EachFailureKeepsTheRowsAndTheRunningRefreshAndSaysWhatItShould) {
    ASSERT_TRUE(list->autoRequestTimer()) << "trading hours: the first answer started it";
    const std::string newest = list->CJListData().front().labels[0].text;
    struct Failure {
        const char* what;
        std::function<void()> arrange;
        std::string shown;  // "" nothing
    };
    const std::vector<Failure> failures = {
        {"no record set", [&] { sim->answerNext({31000, 9}, {0x01, 0x02, 0x03}); }, "数据构建错误！"},
        {"error set", [&] { sim->forceErrorSet(-1, "行情服务繁忙", 31000, 9); }, "行情服务繁忙"},
        {"no deals set", [&] { sim->answerNext({31000, 9}, tickReplyBytes("10.00", {}, false)); }, ""},
        {"a time of one digit", [&] { sim->answerNext({31000, 9}, tickReplyBytes("10.00", {{1, 5, "10.00", "1"}})); },
         ""},
        {"refused line", [&] { sim->forceFault(SimFault::Refuse, 31000, 9); }, "服务器返回数据异常"},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.what);
        f.arrange();
        const size_t before = requests();
        ASSERT_TRUE(host.tapText("刷新"));
        ASSERT_TRUE(waitFor([&] { return requests() == before + 1 && !list->isRequestInFlight(103); }));
        settle(0.2);
        EXPECT_EQ(list->CJListData().size(), 30u);
        EXPECT_EQ(list->CJListData().front().labels[0].text, newest);
        EXPECT_TRUE(list->autoRequestTimer()) << "the running refresh goes on";
        auto alert = UIAlertView::topAlert();
        EXPECT_EQ(alert ? alert->title() : std::string(), f.shown);
        if (alert) host.pressAlertButton("确定");
    }
}

TEST_F(OlderDealsListTest, RefreshFollowsTheHongKongWindowsForAHongKongStock) {
    list->stopAutoRefresh();
    VTAUserDefoult::standerDefoult().setBool(false, "auto refresh");
    auto hk = std::make_shared<VTACJViewController>();
    hk->setStockCode("00700");
    hk->setStockName("腾讯控股");
    hk->setMarket(3);
    hk->setTitle("成交明细-腾讯控股");
    pushViewController(hk);
    ASSERT_TRUE(waitFor([&] { return !hk->CJListData().empty(); }));
    settle(0.5);
    // Minutes after 9:30 on the exchanges' clock, and whether "刷新" asks.
    const std::vector<std::pair<int, bool>> hongKong = {
        {29, false},   //  9:59
        {31, true},    // 10:01
        {179, true},   // 12:29
        {181, false},  // 12:31
        {301, true},   // 14:31
        {389, true},   // 15:59
        {399, true},   // 16:09: still inside, where the configured sessions end at 16:00
        {419, true},   // 16:29
        {420, false},  // 16:30 sharp
    };
    for (const auto& [minutes, asks] : hongKong) {
        Clock::freezeAt(kScreensMorning - 60 * 60 + minutes * 60);
        const size_t before = sim->requestsOf(31000, 9).size();
        ASSERT_TRUE(host.tapText("刷新"));
        settle(0.5);
        EXPECT_EQ(sim->requestsOf(31000, 9).size(), before + (asks ? 1 : 0)) << "9:30 + " << minutes << " min";
        if (asks) {
            EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9).back(), "code"), "00700.3");
        }
    }
}

TEST_F(OlderDealsListTest, TheThresholdItTookIsTheOneTheSettingsShowAndTheNewerListUses) {
    // Nothing was set: the list took its 1000 lots, and the settings say so.
    EXPECT_EQ(list->bigSetting(), 1000);
    auto settings = std::make_shared<VTASettingViewController>();
    pushViewController(settings);
    settle();
    EXPECT_TRUE(host.isTextVisible("1000手"));
    EXPECT_FALSE(host.isTextVisible("500手"));
    saveScreenshot("settings-threshold");
    popViewControllers(1);
    settle();
    auto newer = std::make_shared<TransactionDetailsViewController>(std::make_shared<VTAStock>("600000", "浦发银行", 2));
    newer->view();
    EXPECT_EQ(newer->thresholding(), 1000);
}
