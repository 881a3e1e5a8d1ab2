// The wealth plans driven by finger against the simulated brokerage: the
// plan list over the simulator's menu opening the order form for the plan
// picked, the amount in whole thousands, the notice before every sheet, the
// form staying for the next order and keeping its rows when a code is not
// found, and the risk re-ask that the notice does not waive.
#include "FundTestSupport.h"

#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/contracts/FundContract.h"
#include "funds/VTAJLCBuySaleViewController.h"
#include "funds/VTAJLCCPSelectViewController.h"
#include "ui/VTATableView.h"

namespace {

namespace Fund = FundContract;

class WealthPlanTest : public FundTest {
protected:
    void SetUp() override {
        FundTest::SetUp();
        // The menu the simulator sends at login: the list's item and its "collist" sibling.
        ASSERT_TRUE(installMenuFromData(menuRecordSetsData(sim->registry().menu().records(), {})));
    }
    VTAJLCCPSelectViewController* openList() {
        auto items = menusWithLink("jlccp", 3);
        EXPECT_TRUE(items && !items->empty());
        if (!items || items->empty()) return nullptr;
        pushViewController(VTAUIFactory::viewControllerWithMenu(items->front()));
        settle();
        auto* list = dynamic_cast<VTAJLCCPSelectViewController*>(top());
        if (list) {
            EXPECT_TRUE(waitFor([&] { return list->tableData() && list->tableData()->rowsAffected() > 0; }));
        }
        settle(0.5);
        return list;
    }
    // A plan's form from the list's toolbar, its lookup answered.
    VTAJLCBuySaleViewController* openForm(VTAJLCCPSelectViewController* list, const std::string& button) {
        EXPECT_TRUE(tapToolbar(list, button));
        settle();
        auto* form = dynamic_cast<VTAJLCBuySaleViewController*>(top());
        if (form) {
            EXPECT_TRUE(waitFor([&] { return !form->fundName()->text().empty(); }));
        }
        settle(0.5);
        return form;
    }
    void typeAmount(VTAJLCBuySaleViewController* vc, const std::string& amount) {
        tapView(vc->tradePrice());
        for (size_t n = vc->tradePrice()->text().size(); n > 0; --n) host.key("backspace");
        ASSERT_TRUE(host.type(amount));
        host.tapText("完成");
        settle(0.5);
    }
    // "确定", the notice's "确定", the sheet's "确定".
    void placeOrder(VTAJLCBuySaleViewController* vc) {
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        ASSERT_TRUE(alertShown(VTAJLCBuySaleViewController::kNoticeTitle)) << topAlertTitle();
        UIAlertView::visibleAlerts().back()->layoutIfNeeded();  // its button where the finger goes
        ASSERT_TRUE(host.pressAlertButton("确定"));
        settle(0.5);
        ASSERT_TRUE(sheet());
        ASSERT_TRUE(confirm());
    }
};

TEST_F(WealthPlanTest, APlanPickedInTheListIsSubscribedAfterTheNoticeAndTheFormStays) {
    auto* list = openList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "理财产品");
    EXPECT_EQ(toolbarTitles(list), (std::vector<std::string>{"首页", "申购", "认购"}));
    auto sent = fundRequests({500, 50});
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(fieldOf(sent.back(), "qryflag"), "2");
    EXPECT_EQ(list->tableData()->toStringWithFieldName("ofname").value_or(""), "稳盈集合计划");
    saveScreenshot("plan-list");

    auto* form = openForm(list, "认购");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "理财认购");
    EXPECT_EQ(form->tradeType(), 1);
    EXPECT_EQ(form->fundCode()->text(), "900001");
    EXPECT_EQ(form->fundName()->text(), "稳盈集合计划");
    EXPECT_EQ(form->fundState()->text(), "认购期");
    EXPECT_EQ(form->moneyCanUsed()->text(), "1000000.00");
    EXPECT_EQ(toolbarTitles(form), (std::vector<std::string>{"首页", "个股", "确定"}));
    EXPECT_EQ(form->formTable()->numberOfRowsInSection(0), 8) << "no list of funds here";

    for (const char* bad : {"1500", "1000.5", "0", "999"}) {
        typeAmount(form, bad);
        ASSERT_TRUE(tapToolbar(form, "确定"));
        EXPECT_TRUE(dismissAlert("输入金额的金额必须为1000的整数倍")) << bad << ": " << topAlertTitle();
    }
    typeAmount(form, "1.0.0");
    ASSERT_TRUE(tapToolbar(form, "确定"));
    EXPECT_TRUE(dismissAlert("请输入正确的金额")) << topAlertTitle();

    typeAmount(form, "20000");
    ASSERT_TRUE(tapToolbar(form, "确定"));
    ASSERT_TRUE(alertShown(VTAJLCBuySaleViewController::kNoticeTitle));
    EXPECT_EQ(UIAlertView::visibleAlerts().back()->message(), VTAJLCBuySaleViewController::kNoticeText);
    saveScreenshot("plan-notice");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "交易类型：基金认购 \n基金代码：900001\n基金名称：稳盈集合计划\n认购金额：20000\n");
    EXPECT_TRUE(fundRequests(Fund::kSubscribe).empty()) << "nothing leaves before the sheet's 确定";
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("认购已提交，请在当日委托中查询"));
    saveScreenshot("plan-sent");
    ASSERT_TRUE(dismissAlert("认购已提交，请在当日委托中查询"));
    EXPECT_EQ(top(), form) << "the form stays for another order";
    EXPECT_EQ(form->tradePrice()->text(), "");
    EXPECT_EQ(form->fundName()->text(), "稳盈集合计划");

    auto orders = fundRequests(Fund::kSubscribe);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(fieldOf(orders[0], "ofcode"), "900001");
    EXPECT_EQ(fieldOf(orders[0], "orderamt"), "20000");
    EXPECT_EQ(fieldOf(orders[0], "chkriskflag"), "1") << "the notice waives no risk check";
    auto kept = fundOrders();
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back().code, "900001");
    EXPECT_EQ(kept.back().amount, 2000000);
    EXPECT_EQ(money().frozen, 2000000);

    // A second order at once; refused by the brokerage, the form stays too.
    typeAmount(form, "5000");
    placeOrder(form);
    ASSERT_TRUE(dismissAlert("委托金额低于最低限额10000.00元")) << topAlertTitle();
    EXPECT_EQ(top(), form);
    EXPECT_FALSE(form->isOrdering());

    // A code the brokerage does not know leaves the plan's rows as they were.
    const std::string cash = form->moneyCanUsed()->text();
    tapView(form->fundCode());
    for (size_t n = form->fundCode()->text().size(); n > 0; --n) host.key("backspace");
    ASSERT_TRUE(host.type("999999"));
    ASSERT_TRUE(dismissAlert("查无此基金信息！")) << topAlertTitle();
    EXPECT_EQ(form->fundName()->text(), "稳盈集合计划");
    EXPECT_EQ(form->fundState()->text(), "认购期");
    EXPECT_FALSE(form->fundValue()->text().empty());
    EXPECT_FALSE(form->riskLabel()->text().empty());
    EXPECT_EQ(form->moneyCanUsed()->text(), cash);
}

TEST_F(WealthPlanTest, APlanAboveTheCustomersToleranceIsAskedAgainAndSentWithTheSameAmount) {
    auto* list = openList();
    ASSERT_TRUE(list);
    host.tap(100, 169);  // the third row, 恒岳进取一号
    settle(0.5);
    ASSERT_EQ(list->myTableView()->getSelectedIndex(), 2);
    auto* form = openForm(list, "申购");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "理财申购");
    EXPECT_EQ(form->fundCode()->text(), "900003");
    EXPECT_EQ(form->riskLabel()->text(), "高风险");
    typeAmount(form, "100000");
    placeOrder(form);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle().find("88001") != std::string::npos; })) << topAlertTitle();
    EXPECT_TRUE(form->isOrdering()) << "the order waits for the customer's answer";
    saveScreenshot("plan-risk-reask");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    ASSERT_TRUE(alertShown("申购已提交，请在当日委托中查询"));
    auto orders = fundRequests(Fund::kPurchase);
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(fieldOf(orders[0], "chkriskflag"), "1");
    EXPECT_EQ(fieldOf(orders[1], "chkriskflag"), "0") << "accepted in the re-ask";
    EXPECT_EQ(fieldOf(orders[1], "orderamt"), "100000") << "the same order again";
    EXPECT_EQ(fundOrders().back().code, "900003");
}

TEST_F(WealthPlanTest, TheListOpensNothingWithoutTheMenusFormItemsOrAPlan) {
    auto* list = openList();
    ASSERT_TRUE(list);
    // A list opened for an item with no "collist" beside it.
    auto lone = VTAUIFactory::viewControllerWithLink("jlccp?tc_mfuncno=500&tc_sfuncno=50&qryflag=2&position=poststr",
                                                     "理财产品");
    ASSERT_TRUE(lone);
    pushViewController(lone);
    settle();
    auto* loneList = dynamic_cast<VTAJLCCPSelectViewController*>(top());
    ASSERT_TRUE(loneList);
    const size_t before = depth();
    loneList->rgAction();
    settle();
    EXPECT_EQ(depth(), before);
    popViewControllers(2);
    settle();

    // An empty list has no plan to hand over: neither button opens a form.
    sim->answerNext({500, 50}, TCRSWriter()
                                   .beginSet()
                                   .addField("ofcode", TCRSFieldType::VarText, 0, "产品代码")
                                   .addField("ofname", TCRSFieldType::VarText, 0, "产品名称")
                                   .addField("poststr", TCRSFieldType::VarText)
                                   .bytes());
    const size_t shown = depth();
    pushViewController(VTAUIFactory::viewControllerWithMenu(menusWithLink("jlccp", 3)->front()));
    settle();
    auto* empty = dynamic_cast<VTAJLCCPSelectViewController*>(top());
    ASSERT_TRUE(empty && waitFor([&] { return empty->tableData() && !empty->hasRequestInFlight(); }));
    EXPECT_EQ(empty->tableData()->rowsAffected(), 0);
    for (const char* button : {"认购", "申购"}) {
        ASSERT_TRUE(tapToolbar(empty, button));
        settle();
        EXPECT_EQ(top(), empty) << button;
    }
    EXPECT_EQ(depth(), shown + 1);
    EXPECT_TRUE(fundRequests(Fund::kFundLookup).empty());
}

}  // namespace
