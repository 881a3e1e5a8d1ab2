// Collateral and the credit queries driven by finger against the simulated
// brokerage: the transfer list in both directions (its own title, the
// direction picker), transfers into and out of the credit account that move
// the shares in the books and are listed in 当日委托, the brokerage's guard
// of the account; the credit
// limit and asset lists, their paging cursor, and the code entry with its
// list of one stock.
#include "MarginTestSupport.h"

#include "core/RequestText.h"
#include "core/TCRSWriter.h"
#include "core/VTAParamter.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginCreditQueries.h"
#include "margin/VTADBPTransferCodeViewController.h"
#include "margin/VTARZRQDBPHZOperateViewController.h"
#include "margin/VTARZRQDBPHZSelectViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "shell/TradeSession.h"
#include "ui/VTAPageCtr.h"
#include "ui/VTASheetPicker.h"

namespace {

class MarginCollateralTest : public MarginTest {
protected:
    static constexpr int kTransferItem = 508, kCollateralItem = 509, kTargetItem = 510, kLimitsItem = 511,
                         kAssetsItem = 506;

    // The list's row with the code chosen, and "确定": the form on top.
    VTARZRQDBPHZOperateViewController* openForm(VTARZRQDBPHZSelectViewController* list, const std::string& code) {
        VTATableView& grid = *list->myTableView();
        for (int row = 0; row < grid.rowCount(); ++row)
            if (cellText(grid, row, "证券代码") == code) tapRow(grid, row);
        EXPECT_TRUE(host.tapText("确定"));
        settle();
        return dynamic_cast<VTARZRQDBPHZOperateViewController*>(top());
    }
    int64_t ordinaryHolding(const std::string& code) { return holding(code).quantity; }
};

TEST_F(MarginCollateralTest, CollateralMovesIntoAndOutOfTheCreditAccount) {
    auto* list = openItem<VTARZRQDBPHZSelectViewController>(kTransferItem);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "担保品划转-划出") << "the screen's own title";
    ASSERT_TRUE(gridShows(*list, 2));
    SimRecord asked = sim->requestsOf(500, 94).back();
    EXPECT_EQ(fieldOf(asked, "busiflag"), "0");
    EXPECT_EQ(asked.encrypt, 36);
    EXPECT_EQ(asked.fields.back().key, "busiflag") << "after the base list's fields";
    saveScreenshot("out-list");

    // "取消" keeps the direction and asks nothing.
    ASSERT_TRUE(host.tapText("划转方向"));
    settle(0.5);
    ASSERT_TRUE(list->dirSheet());
    pickRow(list->dirPicker(), 1);
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle(0.5);
    EXPECT_EQ(list->dirTypeValue(), "0");
    EXPECT_EQ(sim->requestsOf(500, 94).size(), 1u);
    // Into the credit account: the ordinary holdings of collateral stocks.
    ASSERT_TRUE(host.tapText("划转方向"));
    settle(0.5);
    pickRow(list->dirPicker(), 1);
    saveScreenshot("direction-picker");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    EXPECT_EQ(list->title(), "担保品划转-划入");
    ASSERT_TRUE(gridShows(*list, 4));
    asked = sim->requestsOf(500, 94).back();
    EXPECT_EQ(fieldOf(asked, "busiflag"), "1");
    EXPECT_FALSE(hasField(asked, "poststr")) << "from the first page";
    saveScreenshot("in-list");

    auto* form = openForm(list, "600000");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "担保品划转交易");
    EXPECT_EQ(form->directionLabel()->text(), "划入信用帐户");
    EXPECT_EQ(form->maxQtyLabel()->text(), "2000");
    EXPECT_EQ(form->bossNumLabel()->text(), "沪AA100001234");
    EXPECT_EQ(form->stockNameLabel()->text(), "浦发银行");
    EXPECT_EQ(form->creditFlag(), 5);
    settle();
    EXPECT_EQ(maxRequests().size(), 0u) << "the list's maximum is shown";
    typeInto(form->countField(), "500");
    saveScreenshot("transfer-form");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(
        sheet()->title(),
        "您确定要发送如下信息吗？\n证券名称：浦发银行 \n证券代码：600000 \n划转方向：划入信用帐户 \n划转数量：500 \n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    EXPECT_EQ(form->countField()->text(), "500") << "the quantity stays";
    SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "creditflag"), "5");
    EXPECT_EQ(fieldOf(r, "creditid"), "0");
    EXPECT_EQ(fieldOf(r, "qty"), "500");
    EXPECT_EQ(fieldOf(r, "market"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    EXPECT_FALSE(hasField(r, "bsflag"));
    EXPECT_FALSE(hasField(r, "price"));
    EXPECT_EQ(ordinaryHolding("600000"), 1500);
    EXPECT_EQ(positionOf("600000"), 500);

    // Back on the list, which asks again; then out of the credit account.
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    ASSERT_EQ(top(), list);
    ASSERT_TRUE(host.tapText("划转方向"));
    settle(0.5);
    pickRow(list->dirPicker(), 0);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    ASSERT_TRUE(gridShows(*list, 3));
    form = openForm(list, "000001");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->creditFlag(), 6);
    EXPECT_EQ(form->bossNumLabel()->text(), "深A0010001234");
    tapView(form->allButton());
    EXPECT_EQ(form->countField()->text(), "2000");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    EXPECT_EQ(fieldOf(orderRequests().back(), "creditflag"), "6");
    EXPECT_EQ(positionOf("000001"), 0);
    EXPECT_EQ(ordinaryHolding("000001"), 3000);

    // Where the alert sends the customer: both, under the numbers they were given.
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    const auto made = orders();
    ASSERT_EQ(made.size(), 2u);
    auto* today = openItem<VTATradeQueryViewController>(204);
    ASSERT_TRUE(today && gridShows(*today, 2));
    const VTATableView& grid = *today->myTableView();
    EXPECT_EQ(cellText(grid, 0, "委托编号"), std::to_string(made[1].ordersno));
    EXPECT_EQ(cellText(grid, 0, "买卖方向"), "担保品转出");
    EXPECT_EQ(cellText(grid, 1, "委托编号"), std::to_string(made[0].ordersno));
    EXPECT_EQ(cellText(grid, 1, "买卖方向"), "担保品转入");
    EXPECT_EQ(cellText(grid, 1, "委托状态"), "已成");
    saveScreenshot("today-orders");
}

TEST_F(MarginCollateralTest, TheBrokerageKeepsEnoughCollateralForTheDebt) {
    // A large debt: taking collateral out would leave too little behind.
    customerBooks([](SimCustomer& c) { c.credit->financingDebt = 2000000; });
    auto* list = openItem<VTARZRQDBPHZSelectViewController>(kTransferItem);
    ASSERT_TRUE(list && gridShows(*list, 2));
    auto* form = openForm(list, "600036");
    ASSERT_TRUE(form);
    form->countField()->setText("1000");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("划出后维持担保比例不足300%"));
    EXPECT_EQ(positionOf("600036"), 1000);
    ASSERT_TRUE(dismissAlert("划出后维持担保比例不足300%"));
    // A row of a market the customer has no account of cannot be sent.
    auto orphan = VTARZRQDBPHZOperateViewController::initWithTradeSide("划出信用帐户", "0", "100", "9");
    orphan->setViewMessage(
        VTAMessage::messageWithSender(nullptr, std::make_shared<VTAStock>("600036", "招商银行", 2), 1));
    pushViewController(orphan);
    settle();
    EXPECT_EQ(orphan->bossNumLabel()->text(), "无对应股东代码");
    orphan->countField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("无对应股东代码"));
    EXPECT_EQ(orderRequests().size(), 1u);
}

TEST_F(MarginCollateralTest, TheCreditQueriesShowTheAccountAndPage) {
    auto* limits = openItem<VTARZRQXYSXSelectViewController>(kLimitsItem);
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->title(), "信用额度");
    ASSERT_TRUE(gridShows(*limits, 2));
    const SimRecord asked = sim->requestsOf(500, 90).back();
    EXPECT_EQ(asked.encrypt, 36);
    EXPECT_EQ(fieldOf(asked, "count"), "12");
    EXPECT_EQ(asked.fields.back().key, "fundid") << "the fund account last";
    EXPECT_EQ(fieldOf(asked, "fundid"), "010110001234");
    VTATableView& grid = *limits->myTableView();
    EXPECT_EQ(cellText(grid, 0, "信用类别"), "融资");
    EXPECT_EQ(cellText(grid, 0, "授信额度"), "300000.00");
    EXPECT_EQ(cellText(grid, 0, "已用额度"), "5000.00");
    EXPECT_EQ(cellText(grid, 1, "已用额度"), "6500.00") << "the short sale brought";
    saveScreenshot("limits");
    popViewControllers(1);
    settle();

    auto* assets = openItem<VTARZRQXYZCSelectViewController>(kAssetsItem);
    ASSERT_TRUE(assets && gridShows(*assets, 1));
    EXPECT_EQ(cellText(*assets->myTableView(), 0, "资金余额"), "20000.00");
    EXPECT_EQ(cellText(*assets->myTableView(), 0, "融资负债"), "5000.00");
    EXPECT_NE(cellText(*assets->myTableView(), 0, "维持担保比例"), "-");
    saveScreenshot("assets");

    // A full page carries its cursor: the next page asks after it.
    TCRSWriter page;
    page.beginSet()
        .addField("crdttype", TCRSFieldType::VarText, 0, "信用类别")
        .addField("poststr", TCRSFieldType::VarText, 0, "定位串");
    for (int i = 1; i <= 12; ++i) page.addRecord({"额度" + std::to_string(i), std::to_string(i)});
    sim->answerNext(MarginContract::kCreditAssets, page.bytes());
    assets->onCommandRefresh();
    ASSERT_TRUE(gridShows(*assets, 12));
    EXPECT_FALSE(hasField(sim->requestsOf(500, 91).back(), "poststr")) << "the first page names no cursor";
    ASSERT_TRUE(assets->pageCtrl());
    tapView(assets->pageCtrl()->nextButton());
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 91).size() == 3u; }));
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 91).back(), "poststr"), "12");

    // A link without parameters still frames its request: the page size, the
    // session and the fund account, enciphered.
    popViewControllers(1);
    settle();
    sim->clearRequests();
    VTAUIFactory::openMenuWithTradeGate(menu("rzrq_xysxcx", "信用额度"));
    settle();
    ASSERT_TRUE(dynamic_cast<VTARZRQXYSXSelectViewController*>(top()));
    ASSERT_TRUE(waitFor([&] { return !sim->requests().empty(); }));
    const SimRecord bare = sim->requests().back();
    EXPECT_EQ(bare.encrypt, 36);
    EXPECT_EQ(fieldOf(bare, "count"), "12");
    EXPECT_EQ(fieldOf(bare, "fundid"), "010110001234");
    EXPECT_EQ(bare.fields.back().key, "fundid");
    const auto session = parseQuery(VTAParamter::shareParamter().getStringForKey(TradeSessionKey::kInfo).value_or(""));
    ASSERT_FALSE(session.allKeys().empty());
    for (const auto& key : session.allKeys()) EXPECT_TRUE(hasField(bare, key)) << key;
}

TEST_F(MarginCollateralTest, TheCodeEntryOpensTheListOfOneStockWithItsMenuItem) {
    auto* entry = openItem<VTADBPTransferCodeViewController>(kCollateralItem);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->title(), "担保证券查询");
    for (const char* bad : {"", "60000"}) {
        entry->codeField()->setText(bad);
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(dismissAlert("股票代码输入有误！")) << bad;
    }
    entry->codeField()->setText("");
    typeInto(entry->codeField(), "600000");
    saveScreenshot("code-entry");
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    auto* list = dynamic_cast<VTARZRQDBPZQSelectViewController*>(top());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->viewMenu(), entry->viewMenu());
    ASSERT_TRUE(gridShows(*list, 1));
    const SimRecord asked = sim->requestsOf(500, 95).back();
    EXPECT_EQ(asked.fields.back().key, "stkcode");
    EXPECT_EQ(fieldOf(asked, "stkcode"), "600000");
    EXPECT_FALSE(hasField(asked, "fundid"));
    EXPECT_EQ(cellText(*list->myTableView(), 0, "折算率"), "70%");
    saveScreenshot("collateral-of-code");
    popViewControllers(2);
    settle();

    // The other item opens the same entry; its list is the eligible stocks'.
    entry = openItem<VTADBPTransferCodeViewController>(kTargetItem);
    ASSERT_TRUE(entry);
    typeInto(entry->codeField(), "000002");
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    list = dynamic_cast<VTARZRQDBPZQSelectViewController*>(top());
    ASSERT_TRUE(list && gridShows(*list, 1));
    EXPECT_EQ(cellText(*list->myTableView(), 0, "融资标的"), "是");
    EXPECT_EQ(cellText(*list->myTableView(), 0, "融券标的"), "否");
}

}  // namespace
