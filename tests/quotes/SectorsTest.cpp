// The sector grid and the member lists against the simulator: paging through
// the sectors, a sector's members with their quotes, the quote page by a
// second tap or the change button, "加入自选" of the index list, a refresh
// that keeps the page, and the auto refresh.
#include "QuoteScreensTestSupport.h"

#include "core/contracts/QuoteContract.h"
#include "core/contracts/SectorContract.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "quotes/MarketQuotationSortViewController.h"
#include "quotes/VTABKTableViewController.h"
#include "quotes/VTAZSViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "sim/SimPortfolio.h"
#include "ui/DisplayCell.h"
#include "ui/Palette.h"
#include "ui/QuoteCells.h"

namespace {

const char* kSectorsLink = "bkhqlist?tc_mfuncno=100&tc_sfuncno=32";
const char* kIndicesLink = "zgzs?tc_mfuncno=31000&tc_sfuncno=4&code=000001.2|399001.1|399006.1|000300.2";

std::vector<uint8_t> sectorsReply(int count) {
    TCRSWriter w;
    w.beginSet()
        .addField("bktype", TCRSFieldType::Integer, 4)
        .addField("bkcode", TCRSFieldType::VarText)
        .addField("bkname", TCRSFieldType::VarText);
    for (int i = 0; i < count; ++i) w.addRecord({1, "BK" + std::to_string(900 + i), "板块" + std::to_string(i + 1)});
    return w.bytes();
}

std::string textOfView(UIView* v) {
    if (auto* b = dynamic_cast<UIButton*>(v)) return b->titleLabel()->text();
    return "";
}

}  // namespace

class SectorsTest : public QuoteScreensTest {
protected:
    std::shared_ptr<VTABKTableViewController> openGrid() {
        auto grid = open<VTABKTableViewController>(kSectorsLink, "板块行情");
        EXPECT_TRUE(grid);
        if (grid) {
            EXPECT_TRUE(waitIdle(*grid));
        }
        settle(0.3);
        return grid;
    }
    std::shared_ptr<VTAZSViewController> openedList() {
        auto list = std::dynamic_pointer_cast<VTAZSViewController>(nav->topViewController()->sharedController());
        EXPECT_TRUE(list);
        if (list) {
            EXPECT_TRUE(waitIdle(*list));
        }
        settle(0.3);
        return list;
    }
    void tapRow(UITableView& table, int row) {
        CGPoint c = rowCenter(table, row);
        host.tap(c.x - 60, c.y);  // on the name, not the change button
    }
};

TEST_F(SectorsTest, TheGridPagesThroughTheSectorsAndASectorOpensItsMembers) {
    auto grid = openGrid();
    ASSERT_TRUE(grid);
    auto asked = sim->requestsOf(100, 32);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(grid->contentType(), 1);
    EXPECT_EQ(grid->datasource()->rowsAffected(), 37);
    EXPECT_EQ(grid->tolPage(), 2);
    EXPECT_EQ(grid->rowCountIntPage(), 10);
    EXPECT_EQ(grid->pageCtr()->pageLabel()->text(), "第1页");
    EXPECT_TRUE(host.isTextVisible("银行板块"));
    // Record k of row r, column c: 3 x (r + 10 x page) + c.
    ASSERT_TRUE(grid->buttonOfRecord(4));
    EXPECT_EQ(grid->buttonOfRecord(4)->tag(), 4);
    EXPECT_EQ(grid->memberLinkOfRecord(0), "bkph?tc_mfuncno=100&tc_sfuncno=31&bktype=1&bkcode=BK0001");
    // The row of three buttons sits in the middle of its grouped cell.
    auto cell = grid->tableView()->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(cell);
    CGRect row = cell->contentView()->convertRectToView(cell->contentView()->bounds(), nullptr);
    CGRect first = grid->buttonOfRecord(0)->convertRectToView(grid->buttonOfRecord(0)->bounds(), nullptr);
    CGRect third = grid->buttonOfRecord(2)->convertRectToView(grid->buttonOfRecord(2)->bounds(), nullptr);
    EXPECT_GT(CGRectGetMinX(first) - CGRectGetMinX(row), 10);
    EXPECT_NEAR(CGRectGetMinX(first) - CGRectGetMinX(row), CGRectGetMaxX(row) - CGRectGetMaxX(third), 1);
    saveScreenshot("first-page");

    // The next page: one row of one sector, two empty places.
    grid->pageCtr()->nextButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(grid->contentView()->lastTransition(), UIViewAnimationTransition::CurlUp);
    settle(1.5);
    EXPECT_EQ(grid->curPage(), 1);
    EXPECT_EQ(grid->rowCountIntPage(), 3);
    auto last = std::dynamic_pointer_cast<VTAHQCell>(grid->tableView()->cellForRowAtIndexPath({0, 2}));
    ASSERT_TRUE(last);
    ASSERT_EQ(last->items().size(), 3u);
    EXPECT_EQ(last->items()[0]->tag(), 36);
    EXPECT_FALSE(dynamic_cast<UIButton*>(last->items()[1].get()));
    EXPECT_FALSE(dynamic_cast<UIButton*>(last->items()[2].get()));
    saveScreenshot("last-page");

    // "刷新" on the last page keeps it and its three rows.
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitIdle(*grid));
    EXPECT_EQ(sim->requestsOf(100, 32).size(), 2u);
    EXPECT_EQ(grid->curPage(), 1);
    EXPECT_EQ(grid->rowCountIntPage(), 3);

    grid->pageCtr()->previousButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(grid->contentView()->lastTransition(), UIViewAnimationTransition::CurlDown);
    settle(1.5);
    EXPECT_EQ(grid->curPage(), 0);

    // A tap beside the buttons hides the page bar, another shows it again.
    CGPoint c = rowCenter(*grid->tableView(), 1);
    host.tap(300, c.y);
    settle();
    EXPECT_FALSE(grid->pageCtr()->superview());
    host.tap(300, c.y);
    settle();
    EXPECT_TRUE(grid->pageCtr()->superview());

    // The bank sector: its members, the leading stock first.
    ASSERT_TRUE(host.tapText("银行板块"));
    settle();
    auto members = openedList();
    ASSERT_TRUE(members);
    EXPECT_EQ(members->title(), "银行板块");
    EXPECT_TRUE(members->isSectorList());
    auto sent = sim->requestsOf(100, 31);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "bktype"), "1");
    EXPECT_EQ(fieldOf(sent[0], "bkcode"), "BK0001");
    EXPECT_EQ(fieldOf(sent[0], "field"), "1|2|3|4|6|11|13|14|15|16|20|21");
    members->zsRs()->fetchFirst();
    EXPECT_EQ(members->zsRs()->toStringWithFieldName("name"), "浦发银行");
    EXPECT_TRUE(host.isTextVisible("浦发银行"));
    EXPECT_FALSE(host.isTextVisible("加入自选")) << "a sector's list offers no own-stock button";
    saveScreenshot("bank-members");
}

TEST_F(SectorsTest, ASecondTapOrTheChangeButtonOpensTheQuotePage) {
    auto members = open<VTAZSViewController>("bkph?tc_mfuncno=100&tc_sfuncno=31&bktype=1&bkcode=BK0001", "银行板块");
    ASSERT_TRUE(members);
    ASSERT_TRUE(waitIdle(*members));
    settle(0.5);
    UITableView& table = *members->tableView();

    // Two taps on different rows, quickly: nothing.
    tapRow(table, 1);
    settle(0.1);
    tapRow(table, 2);
    settle(0.5);
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(members->selectedIndex(), 2);
    // Two taps on the same row, slowly: nothing; quickly: the stock.
    tapRow(table, 0);
    settle(0.5);
    tapRow(table, 0);
    settle(0.5);
    EXPECT_TRUE(pages.empty());
    tapRow(table, 0);
    settle(0.1);
    tapRow(table, 0);
    settle();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0]->stocks.size(), 1u);
    EXPECT_EQ(pages[0]->stocks[0]->code(), "600000");
    EXPECT_EQ(pages[0]->stocks[0]->name(), "浦发银行");
    EXPECT_EQ(pages[0]->stocks[0]->marketID(), 2);
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("hkmarket"), "2");
    popViewControllers(1);
    settle();

    // The change button of 平安银行 (Shenzhen).
    auto cell = std::dynamic_pointer_cast<HQTableCell>(table.cellForRowAtIndexPath({0, 1}));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->stockCode(), "000001");
    cell->zdfButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    settle();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1]->stocks[0]->code(), "000001");
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("hkmarket"), "1");
}

TEST_F(SectorsTest, AMemberTakesTheColourOfItsMove) {
    sim->answerNext({31000, 4}, risenFallenFlatReply());
    auto list = open<VTAZSViewController>(kIndicesLink, "指数");
    ASSERT_TRUE(list && waitIdle(*list));
    settle(0.5);
    ASSERT_EQ(list->zsRs()->rowsAffected(), 3);
    list->tableView()->layoutIfNeeded();
    const int palettes[] = {15, 16, 17};  // of the price and the change
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto cell = std::dynamic_pointer_cast<HQTableCell>(list->tableView()->cellForRowAtIndexPath({0, i}));
        ASSERT_TRUE(cell);
        EXPECT_EQ(*cell->priceLabel()->textColor(), *colorWithIndex(palettes[i]));
        EXPECT_EQ(*cell->zdLabel()->textColor(), *colorWithIndex(palettes[i]));
        // The change percent on the red button unless it fell.
        auto image = cell->zdfButton()->currentBackgroundImage();
        ASSERT_TRUE(image);
        const uint32_t p = image->pixelAt(image->pixelWidth() / 2, image->pixelHeight() / 2);
        const int red = (p >> 16) & 0xff, green = (p >> 8) & 0xff;
        EXPECT_EQ(green > red, i == 1) << std::hex << p;
    }
    saveScreenshot("rise-fall-flat");
}

TEST_F(SectorsTest, TheIndexListAddsTheRowLastTappedToTheOwnStocks) {
    auto list = open<VTAZSViewController>(kIndicesLink, "指数");
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitIdle(*list));
    settle(0.5);
    EXPECT_FALSE(list->isSectorList());
    auto sent = sim->requestsOf(31000, 4).back();
    EXPECT_EQ(fieldOf(sent, "code"), "000001.2|399001.1|399006.1|000300.2");
    EXPECT_EQ(fieldOf(sent, "field"), "1|2|3|4|6|11|13|14|15|16|20|21");
    ASSERT_EQ(list->zsRs()->rowsAffected(), 4);
    saveScreenshot("indices");

    auto& dao = *DaoFactory::sharedInstance().portfolioDao();
    tapRow(*list->tableView(), 1);
    settle(0.5);
    ASSERT_TRUE(host.tapText("加入自选"));
    EXPECT_EQ(topAlertTitle(), "添加自选成功");
    EXPECT_TRUE(dao.existStockWithSymbol("399001", 1));
    host.pressAlertButton("确定");
    ASSERT_TRUE(host.tapText("加入自选"));
    EXPECT_EQ(topAlertTitle(), "自选股已经存在");
    host.pressAlertButton("确定");
    EXPECT_TRUE(sim->requestsOf(3710, 3).empty()) << "own stocks on the phone only";

    // Own stocks on the server: the server is asked first and the table
    // follows its yes.
    VTAUserDefoult::standerDefoult().setBool(true, "SaveMyStockInServer");
    const std::string phone = "13800138000";
    tapRow(*list->tableView(), 3);
    settle(0.5);
    ASSERT_TRUE(host.tapText("加入自选"));
    ASSERT_TRUE(waitFor([&] { return !UIAlertView::visibleAlerts().empty(); }));
    EXPECT_EQ(topAlertTitle(), "添加自选股成功");
    host.pressAlertButton("确定");
    EXPECT_EQ(fieldOf(sim->requestsOf(3710, 3)[0], "code"), "000300.2");
    EXPECT_TRUE(dao.existStockWithSymbol("000300", 2));
    EXPECT_EQ(sim->ownStocks(phone), (std::vector<std::string>{"000300.2"}));

    // Nothing changes before the answer, and a second tap meanwhile sends
    // nothing. (The commands at once: a finger's tap would run the loop until
    // the held answer came.)
    tapRow(*list->tableView(), 0);
    settle(0.5);
    sim->holdReply(3710, 3);
    list->portfolioAction();
    list->portfolioAction();
    EXPECT_TRUE(list->isAddingToServer());
    EXPECT_EQ(XXNetworkManager::sharedManager().pendingCount(), 1u);
    EXPECT_FALSE(dao.existStockWithSymbol("000001", 2));
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !UIAlertView::visibleAlerts().empty(); }));
    EXPECT_EQ(topAlertTitle(), "添加自选股成功");
    host.pressAlertButton("确定");
    EXPECT_EQ(sim->requestsOf(3710, 3).size(), 2u);
    EXPECT_TRUE(dao.existStockWithSymbol("000001", 2));

    // The server's refusal, its error set and a failed line are shown and
    // leave the table as it was.
    struct Failure {
        std::function<void()> arrange;
        std::string shown;
    };
    const std::vector<Failure> failures = {
        {[&] { sim->setOwnStocks(phone, {"000300.2", "000001.2", "399006.1"}); }, "添加自选股失败"},
        {[&] { sim->forceErrorSet(-1, "自选股数量已达上限", 3710, 3); }, "自选股数量已达上限"},
        {[&] { sim->forceFault(SimFault::Refuse, 3710, 3); }, "服务器返回数据异常"},
        {[&] { sim->answerNext({3710, 3}, {1, 2, 3}); }, "数据解析错误"},
    };
    tapRow(*list->tableView(), 2);
    settle(0.5);
    for (const auto& f : failures) {
        f.arrange();
        ASSERT_TRUE(host.tapText("加入自选"));
        ASSERT_TRUE(waitFor([&] { return !UIAlertView::visibleAlerts().empty(); })) << f.shown;
        EXPECT_EQ(topAlertTitle(), f.shown);
        if (&f == &failures.front()) saveScreenshot("indices-add-refused");
        host.pressAlertButton("确定");
        EXPECT_FALSE(dao.existStockWithSymbol("399006", 1)) << f.shown;
    }

    // A shorter list moves the row to its last; an empty one adds nothing.
    sim->answerNext(QuoteContract::kSnapshot,
                    snapshotBytes({{"创业板指", "399006", 1, 2, "2020.40", "2024.46", "4.06", "0.20"}}));
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitIdle(*list));
    EXPECT_EQ(list->selectedIndex(), 0);
    sim->answerNext(QuoteContract::kSnapshot, TCRSWriter().beginSet().addField("code", TCRSFieldType::VarText).bytes());
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitIdle(*list));
    EXPECT_EQ(list->zsRs()->rowsAffected(), 0);
    ASSERT_TRUE(host.tapText("加入自选"));
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(SectorsTest, AShorterListStartsAgainAtItsFirstPageAndFailuresKeepTheData) {
    auto grid = openGrid();
    ASSERT_TRUE(grid);
    grid->pageCtr()->nextButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    settle(1.5);
    ASSERT_EQ(grid->curPage(), 1);
    // Seven sectors: three rows on one page, the last with one button.
    sim->answerNext(SectorContract::kList, sectorsReply(7));
    grid->onCommandRefresh();
    ASSERT_TRUE(waitIdle(*grid));
    EXPECT_EQ(grid->curPage(), 0);
    EXPECT_EQ(grid->tolPage(), 1);
    EXPECT_EQ(grid->rowCountIntPage(), 3);
    EXPECT_EQ(grid->pageCtr()->pageLabel()->text(), "第1页");
    EXPECT_TRUE(grid->pageCtr()->nextButton()->isHidden());
    auto last = std::dynamic_pointer_cast<VTAHQCell>(grid->tableView()->cellForRowAtIndexPath({0, 2}));
    ASSERT_TRUE(last);
    EXPECT_EQ(textOfView(last->items()[0].get()), "板块7");
    EXPECT_FALSE(dynamic_cast<UIButton*>(last->items()[1].get()));

    // An error set: its text, the sectors stay.
    sim->forceErrorSet(-1, "板块数据维护中", 100, 32);
    grid->onCommandRefresh();
    ASSERT_TRUE(waitFor([] { return UIAlertView::topAlert() != nullptr; }));
    EXPECT_EQ(topAlertTitle(), "板块数据维护中");
    EXPECT_EQ(grid->datasource()->rowsAffected(), 7);
}

TEST_F(SectorsTest, TheMembersRefreshThemselvesInTradingHoursAndTheRankingOpensTheGrid) {
    VTAUserDefoult::standerDefoult().setBool(true, "auto refresh");
    VTAUserDefoult::standerDefoult().setInt(10, "auto refresh wait time");
    auto list = open<VTAZSViewController>("bkph?tc_mfuncno=100&tc_sfuncno=31&bktype=1", "板块排行");
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitIdle(*list));
    EXPECT_GT(list->zsRs()->rowsAffected(), 20) << "every industry's members";
    const size_t first = sim->requestsOf(100, 31).size();
    settle(8.5);
    EXPECT_EQ(sim->requestsOf(100, 31).size(), first);
    settle(2);
    ASSERT_TRUE(waitForRequests(100, 31, first + 1));
    ASSERT_TRUE(waitIdle(*list));
    popViewControllers(1);
    settle(30);
    EXPECT_EQ(sim->requestsOf(100, 31).size(), first + 1) << "leaving stops it";

    // The ranking's "板块": the menu's sector grid.
    auto ranking = open<MarketQuotationSortViewController>("pxhq?market=1&type=101", "行情排行");
    ASSERT_TRUE(ranking);
    ASSERT_TRUE(waitIdle(*ranking));
    ASSERT_TRUE(host.tapText("板块"));
    settle();
    auto grid = std::dynamic_pointer_cast<VTABKTableViewController>(nav->topViewController()->sharedController());
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->title(), "板块行情");
}
