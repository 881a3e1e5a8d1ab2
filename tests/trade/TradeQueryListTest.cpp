// The paged query list of the trade menu, driven by finger against the
// simulator: the holdings with their colours, toolbar and quote page, the
// funds, the cost change from a holding, and what a refused or unreadable
// page leaves.
#include "TradeQueryTestSupport.h"

#include "core/contracts/TradeQueryContract.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "trade/TradeViewController.h"
#include "trade/VTAModifyCostViewController.h"

namespace {

constexpr int kHoldingsItem = 206, kFundsItem = 205;

TEST_F(TradeQueryTest, HoldingsShowTheServersColumnsSignedRowsAndOnePage) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list);
    ASSERT_TRUE(gridShows(*list, 7));
    EXPECT_EQ(list->title(), "股份查询");
    VTATableView& grid = *list->myTableView();
    // The descriptors are the titles; the cursor and the unlisted market code are not shown.
    EXPECT_EQ(grid.topTitles().front(), "证券名称");
    EXPECT_EQ(columnTitled(grid, "定位串"), -1);
    EXPECT_EQ(columnTitled(grid, "市场代码"), -1);
    EXPECT_NE(columnTitled(grid, "市场"), -1);
    EXPECT_EQ(grid.rowItems(0)[0], "平安银行");

    // What the server received: the link's pairs, the page size, the login's
    // fund account and the session; no cursor on the first page.
    SimRecord sent = lastRequest(500, 10);
    EXPECT_EQ(fieldOf(sent, "count"), "12");
    EXPECT_EQ(fieldOf(sent, "position"), "poststr");
    EXPECT_EQ(fieldOf(sent, "sign"), "income");
    EXPECT_EQ(fieldOf(sent, "fundid"), "010110001234");
    EXPECT_FALSE(fieldOf(sent, "authid").empty());
    EXPECT_FALSE(hasField(sent, "poststr"));
    EXPECT_EQ(sent.encrypt, 54) << "enciphered, the reply compressed (type 5)";

    // Every row is coloured by its profit from the second column on.
    const int income = columnTitled(grid, "浮动盈亏");
    ASSERT_GT(income, 0);
    for (int row = 0; row < grid.rowCount(); ++row) {
        const std::string value = grid.rowItems(row)[size_t(income)];
        const int palette = value[0] == '-' ? 42 : value.find_first_not_of("0.") == std::string::npos ? 43 : 41;
        EXPECT_TRUE(isPalette(grid.rowColors(row)[size_t(income)], palette)) << row << " " << value;
        EXPECT_TRUE(isPalette(grid.rowColors(row)[0], 43)) << "the first column keeps white";
        if (palette != 43) {
            EXPECT_TRUE(isPalette(grid.rowColors(row)[1], palette)) << row;
        }
    }

    // One page: the bar shows 第1页 and offers neither way.
    ASSERT_TRUE(list->pageCtrl());
    EXPECT_EQ(list->pageCtrl()->pageLabel()->text(), "第1页");
    EXPECT_TRUE(list->pageCtrl()->nextButton()->isHidden());
    EXPECT_TRUE(list->pageCtrl()->previousButton()->isHidden());
    for (const char* item : {"首页", "刷新", "修改成本", "买入", "卖出"}) EXPECT_TRUE(host.isTextVisible(item)) << item;
    saveScreenshot("holdings");
}

TEST_F(TradeQueryTest, ADoubleTapOnAHoldingOpensItsQuotePage) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 7));
    tapRow(*list->myTableView(), 2, true);
    settle();
    ASSERT_NE(top(), list.get());
    EXPECT_EQ(top()->title(), "浦发银行");
    popViewControllers(1);
    settle();
    // The funds list ignores double taps.
    auto funds = openItem(kFundsItem);
    ASSERT_TRUE(funds && gridShows(*funds, 3));
    tapRow(*funds->myTableView(), 0, true);
    settle();
    EXPECT_EQ(top(), funds.get());
}

TEST_F(TradeQueryTest, AHoldingIsBoughtAndSoldFromItsAccount) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 7));
    tapRow(*list->myTableView(), 2);  // 浦发银行 on 沪A A100001234
    ASSERT_TRUE(host.tapText("卖出"));
    settle();
    auto* sell = dynamic_cast<TradeViewController*>(top());
    ASSERT_TRUE(sell);
    EXPECT_EQ(sell->title(), "卖出委托");
    EXPECT_EQ(sell->viewMenu()->params(), "沪AA100001234");
    ASSERT_TRUE(waitFor([&] { return sell->codeField()->text() == "600000" && sell->isStockInfoBack(); }));
    ASSERT_TRUE(waitFor([&] { return sell->stockholderLabel()->text() == "沪AA100001234"; }));
    popViewControllers(1);
    settle();
    ASSERT_TRUE(gridShows(*list, 7));
    tapRow(*list->myTableView(), 0);
    ASSERT_TRUE(host.tapText("买入"));
    settle();
    auto* buy = dynamic_cast<TradeViewController*>(top());
    ASSERT_TRUE(buy);
    EXPECT_EQ(buy->title(), "买入委托");
    ASSERT_TRUE(waitFor([&] { return buy->codeField()->text() == "000001"; }));
}

TEST_F(TradeQueryTest, FundsListEveryCurrencyWithoutAPageBar) {
    auto list = openItem(kFundsItem);
    ASSERT_TRUE(list && gridShows(*list, 3));
    VTATableView& grid = *list->myTableView();
    EXPECT_EQ(grid.rowItems(0)[0], "人民币");
    EXPECT_EQ(grid.rowItems(0)[size_t(columnTitled(grid, "可用资金"))], "1000000.00");
    EXPECT_FALSE(list->pageCtrl()) << "the link names no cursor";
    EXPECT_TRUE(host.isTextVisible("个股"));
    EXPECT_FALSE(host.isTextVisible("修改成本"));
    const size_t before = sim->requestsOf(500, 9).size();
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 9).size() == before + 1; }));
    saveScreenshot("funds");
}

TEST_F(TradeQueryTest, ACostIsChangedFromTheSelectedHoldingAndTheListShowsIt) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 7));
    tapRow(*list->myTableView(), 1);  // 万科Ａ
    ASSERT_TRUE(host.tapText("修改成本"));
    settle();
    auto change = list->costChange();
    ASSERT_TRUE(change);
    EXPECT_TRUE(host.isTextVisible("万科Ａ"));
    EXPECT_TRUE(host.isTextVisible("000002"));
    EXPECT_TRUE(host.isTextVisible("10.20"));
    saveScreenshot("cost-form");

    // A text that is no plain decimal number is refused; nothing is sent.
    typeInto(change->newCostField(), "1.2.3");
    ASSERT_TRUE(host.tapText("修改"));
    ASSERT_TRUE(alertShown(VTAModifyCostViewController::kBadCostText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_TRUE(sim->requestsOf(500, 82).empty());

    // A corrected one goes at once; a second press while it is on its way sends nothing.
    change->newCostField()->setText("");
    typeInto(change->newCostField(), "9.5");
    sim->holdReply(500, 82);
    ASSERT_TRUE(host.tapText("修改"));
    ASSERT_TRUE(change->isTrading());
    change->onCommandOK();  // pressed again while the change is on its way
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown(VTAModifyCostViewController::kChangedText));
    ASSERT_EQ(sim->requestsOf(500, 82).size(), 1u);
    SimRecord sent = lastRequest(500, 82);
    EXPECT_EQ(fieldOf(sent, "market"), "0");
    EXPECT_EQ(fieldOf(sent, "stkcode"), "000002");
    EXPECT_EQ(fieldOf(sent, "costprice"), "9.5");
    EXPECT_EQ(fieldOf(sent, "secuid"), "0010001234");
    EXPECT_EQ(fieldOf(sent, "fundid"), "010110001234");
    EXPECT_EQ(books([](SimBooks& b) { return b.customer("010110001234")->holding("0010001234", "000002")->costPrice(3); }),
              9500);
    saveScreenshot("cost-changed");

    // "确定" closes the form, and the list shows the new cost.
    const size_t pages = sim->requestsOf(500, 10).size();
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_FALSE(nav->modalViewController());
    EXPECT_EQ(top(), list.get());
    ASSERT_TRUE(waitFor([&] {
        auto* g = list->myTableView();
        return sim->requestsOf(500, 10).size() > pages && g && g->rowCount() == 7 &&
               g->rowItems(1)[size_t(columnTitled(*g, "成本价"))] == "9.50";
    }));
}

TEST_F(TradeQueryTest, TheCostFormsCancelClosesItAndARefusalKeepsItOpen) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 7));
    ASSERT_TRUE(host.tapText("修改成本"));  // row 0 when none was tapped
    settle();
    auto change = list->costChange();
    ASSERT_TRUE(change);
    EXPECT_TRUE(host.isTextVisible("平安银行"));
    sim->forceErrorSet(-1, "该股东帐户没有此证券持仓", 500, 82);
    typeInto(change->newCostField(), "12.");
    ASSERT_TRUE(host.tapText("修改"));
    ASSERT_TRUE(alertShown("该股东帐户没有此证券持仓"));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(change->isTrading());
    EXPECT_TRUE(nav->modalViewController());

    sim->answerNext(TradeQueryContract::kCostChange, {1, 2, 3});
    ASSERT_TRUE(host.tapText("修改"));
    ASSERT_TRUE(alertShown(VTAModifyCostViewController::kUnreadableText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(change->isTrading());

    ASSERT_TRUE(host.tapText("取消"));
    settle();
    EXPECT_FALSE(nav->modalViewController());
    EXPECT_EQ(top(), list.get());
}

TEST_F(TradeQueryTest, ARefusedPageEmptiesTheRowsActionsAndAnUnreadableOneSaysSo) {
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 7));
    sim->forceErrorSet(-1, "系统繁忙，请稍后再试", 500, 10);
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(alertShown("系统繁忙，请稍后再试"));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(list->tableData());
    EXPECT_EQ(list->myTableView()->rowCount(), 7) << "the grid on screen stays";
    ASSERT_TRUE(host.tapText("修改成本"));
    ASSERT_TRUE(alertShown("错误代码"));
    topAlert()->tapButtonAtIndex(0);
    ASSERT_TRUE(host.tapText("买入"));
    ASSERT_TRUE(alertShown("错误代码"));
    topAlert()->tapButtonAtIndex(0);

    sim->answerNext(TradeQueryContract::kHoldings, {9, 9, 9});
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(alertShown(VTATradeQueryViewController::kUnreadableListText));
    topAlert()->tapButtonAtIndex(0);
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return list->tableData() && list->tableData()->rowsAffected() == 7; }));
}

}  // namespace
