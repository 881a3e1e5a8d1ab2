// The older margin order form (systems below "4.1") driven by finger against
// the simulated brokerage: a financing buy at a market type and a short sell
// through the toolbar's "确定", the maximum asked by the sixth code digit,
// the pickers on sheets, the form's checks before the brokerage's, a reply
// without an order number, and the dispatcher's choice of generation.
#include "MarginTestSupport.h"

#include <algorithm>

#include "core/TCRSWriter.h"
#include "core/contracts/TradeContract.h"
#include "margin/MarginTradeViewController.h"
#include "margin/VTARZRQTradeViewController.h"
#include "platform/uikit/UILabel.h"
#include "ui/VTASheetPicker.h"

namespace {

class MarginOrderFormTest : public MarginTest {
protected:
    void SetUp() override {
        MarginTest::SetUp();
        UIDevice::currentDevice().setSystemVersion("3.1.3");
    }
    VTARZRQTradeViewController* openMenu(int creditFlag) { return openMargin<VTARZRQTradeViewController>(creditFlag); }
    // Types into a field of the form, closing its keyboard.
    void typeInto(VTATextField* field, const std::string& text) {
        tapView(field);
        ASSERT_TRUE(host.type(text));
        if (field->isEditing()) host.tapText("完成");
        settle(0.5);
    }
    // The sixth digit asks for the maximum; waits for its answer.
    void typeCode(VTARZRQTradeViewController* vc, const std::string& code) {
        const size_t asked = maxRequests().size();
        typeInto(vc->codeField(), code);
        ASSERT_TRUE(waitFor([&] { return maxRequests().size() > asked && !vc->maxQtyLabel()->text().empty(); }));
        settle(0.5);
    }
    // Opens a row's picker sheet, turns its wheel to the row, and presses "确定".
    void pick(VTARZRQTradeViewController* vc, const std::string& rowTitle, int row) {
        ASSERT_TRUE(host.tapText(rowTitle));
        settle(0.5);
        ASSERT_TRUE(vc->pickerSheet() && vc->pickerSheet()->isVisible());
        pickRow(vc->sheetPicker(), row);
        ASSERT_TRUE(host.pressAlertButton("确定"));
        settle(0.5);
    }
    void order() {
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm());
    }
};

TEST_F(MarginOrderFormTest, AFinancingBuyAtAMarketTypeGoesThroughTheToolbarsOK) {
    auto* vc = openMenu(0);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "融资买入");
    EXPECT_FALSE(vc->isToolBarHidden());
    EXPECT_EQ(vc->tableView()->numberOfRowsInSection(0), 7);
    EXPECT_EQ(vc->bossNumLabel()->text(), "深A0010001234");
    EXPECT_EQ(vc->priceTypeLabelView()->text(), "限价委托");
    saveScreenshot("empty");

    const SimQuote q = quoteOf("600000");
    typeCode(vc, "600000");
    const SimRecord max = maxRequests().back();
    EXPECT_EQ(fieldOf(max, "stkcode"), "600000");
    EXPECT_EQ(fieldOf(max, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(max, kLinkFlagKey), "0");
    EXPECT_FALSE(std::any_of(max.fields.begin(), max.fields.end(), [](const SimField& f) { return f.key == "price"; }))
        << "the older form sends no price";
    EXPECT_EQ(vc->stockNameLabel()->text(), "浦发银行");
    EXPECT_EQ(vc->maxQtyLabel()->text(), std::to_string((30000000 - 500000) * 10 / (q.last * 10) / 100 * 100));
    EXPECT_EQ(vc->priceField()->text(), SimMarket::priceText(q.last, 2));
    EXPECT_EQ(vc->bossNumLabel()->text(), "沪AA100001234");

    // 报价方式 on a sheet: Shanghai's three types; a market type empties and locks the price.
    ASSERT_TRUE(host.tapText("报价方式"));
    settle(0.5);
    ASSERT_TRUE(vc->pickerSheet());
    EXPECT_EQ(vc->pickerSheet()->title(), "报价方式");
    EXPECT_EQ(vc->sheetPicker()->numberOfRowsInComponent(0), 3);
    pickRow(vc->sheetPicker(), 1);
    saveScreenshot("order-type-sheet");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    EXPECT_EQ(vc->priceType(), "0d");
    EXPECT_EQ(vc->priceTypeLabelView()->text(), "五档即成剩撤");
    EXPECT_EQ(vc->priceField()->text(), "");
    EXPECT_FALSE(vc->priceField()->isEnable());
    typeInto(vc->countField(), "500");
    saveScreenshot("filled-in");

    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(
        sheet()->title(),
        "您确定要发送如下信息吗？\n买入证券：浦发银行 \n证券代码：600000 \n报价方式：五档即成剩撤 \n买入数量：500 \n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirm());
    EXPECT_EQ(vc->countField()->text(), "");
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    saveScreenshot("sent");
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "bsflag"), "0d");
    EXPECT_EQ(fieldOf(r, "price"), "");
    EXPECT_EQ(fieldOf(r, "qty"), "500");
    EXPECT_EQ(fieldOf(r, "creditid"), "0");
    EXPECT_EQ(fieldOf(r, "creditflag"), "0");
    EXPECT_EQ(fieldOf(r, "market"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    EXPECT_EQ(fieldOf(r, "fundid"), "010110001234");
    EXPECT_EQ(orders().back().status, SimOrderStatus::Filled);
    EXPECT_EQ(credit().financingDebt, 500000 + dealsAmount(orders().back().ordersno));
    EXPECT_EQ(positionOf("600000"), 500);
    ASSERT_TRUE(waitFor([&] { return !sim->requestsOf(3710, 3).empty(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(3710, 3).back(), "code"), "600000.2");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(top(), root.get());
}

// A financing buy at a market type is held at the limit-up price: its
// maximum is asked again there (and at none back at the limit order), and
// the number shown is one the financing room takes.
TEST_F(MarginOrderFormTest, AFinancingBuyAtAMarketTypeShowsWhatTheRoomTakesAtTheLimitUp) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    const std::string atLast = vc->maxQtyLabel()->text();
    const SimInstrument& s = *simTradableStock(sim->market(), "600000");
    const SimPrice up = simPriceOf(simPriceLimits(sim->market(), s, sim->clock().now()).up, s.decimals);
    const std::string room = std::to_string((30000000 - 500000) * 10 / up / 100 * 100);
    ASSERT_NE(atLast, room) << "the last price affords more";
    auto shows = [&](const std::string& max) {
        return waitFor(
            [&] { return !vc->isRequestInFlight(TradeOrderScreen::kMaximumTag) && vc->maxQtyLabel()->text() == max; });
    };
    pick(vc, "报价方式", 1);  // 五档即成剩撤
    ASSERT_TRUE(shows(room)) << vc->maxQtyLabel()->text();
    EXPECT_EQ(fieldOf(maxRequests().back(), "price"), SimMarket::priceText(up / 10, 2));
    EXPECT_EQ(fieldOf(maxRequests().back(), "bsflag"), "0B");
    EXPECT_EQ(fieldOf(maxRequests().back(), kLinkFlagKey), "0");
    pick(vc, "报价方式", 0);
    ASSERT_TRUE(shows(atLast)) << vc->maxQtyLabel()->text();
    EXPECT_FALSE(hasField(maxRequests().back(), "price"));
    pick(vc, "报价方式", 1);
    ASSERT_TRUE(shows(room)) << vc->maxQtyLabel()->text();
    saveScreenshot("market-type-maximum");
    typeInto(vc->countField(), room);
    order();
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    const SimOrder o = orders().back();
    EXPECT_EQ(std::to_string(o.quantity), room);
    EXPECT_EQ(o.bsflag, "0d");
    EXPECT_EQ(o.creditFlag.value_or(-1), 0);
    EXPECT_GT(o.matched, 0);
    EXPECT_EQ(positionOf("600000"), o.matched);
    EXPECT_EQ(credit().financingDebt, 500000 + dealsAmount(o.ordersno));
}

TEST_F(MarginOrderFormTest, AShortSellHasNoOrderTypeRowAndAddsNoOwnStock) {
    auto* vc = openMenu(1);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "融券卖出");
    EXPECT_EQ(vc->tableView()->numberOfRowsInSection(0), 6);
    typeCode(vc, "000001");
    EXPECT_EQ(fieldOf(maxRequests().back(), "bsflag"), "0S");
    EXPECT_EQ(fieldOf(maxRequests().back(), kLinkFlagKey), "1");
    const SimQuote q = quoteOf("000001");
    EXPECT_EQ(vc->priceField()->text(), SimMarket::priceText(q.last, 2));
    // Selling at the first bid fills at once.
    vc->priceField()->setText(SimMarket::priceText(q.bid[0], 2));
    typeInto(vc->countField(), "200");
    saveScreenshot("short-sell");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "您确定要发送如下信息吗？\n卖出证券：平安银行 \n证券代码：000001 \n卖出价格：" +
                                    SimMarket::priceText(q.bid[0], 2) + " \n卖出数量：200 \n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!"));
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "bsflag"), "0S");
    EXPECT_EQ(fieldOf(r, "creditflag"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "0010001234");
    EXPECT_EQ(credit().owed["000001"], 200);
    settle(1);
    EXPECT_TRUE(sim->requestsOf(3710, 3).empty()) << "a short sell's stock joins no own stocks";
}

TEST_F(MarginOrderFormTest, TheFormsChecksThenTheBrokeragesAndPickersStillWorkAfterARefusal) {
    auto* vc = openMenu(0);
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("证券代码为空！"));
    // After a refused check the pickers still take the customer's pick; "取消" keeps it.
    pick(vc, "股东代码", 2);
    EXPECT_EQ(vc->bossNumLabel()->text(), "深B2010001234");
    ASSERT_TRUE(host.tapText("股东代码"));
    settle(0.5);
    EXPECT_EQ(vc->sheetPicker()->selectedRowInComponent(0), 2) << "the sheet opens on the chosen account";
    pickRow(vc->sheetPicker(), 0);
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle(0.5);
    EXPECT_EQ(vc->bossNumLabel()->text(), "深B2010001234");

    // Five digits ask nothing; the sixth asks, and the accounts follow the stock.
    typeInto(vc->codeField(), "60000");
    EXPECT_TRUE(maxRequests().empty());
    vc->codeField()->setText("");
    typeCode(vc, "600000");
    EXPECT_EQ(vc->bossNumLabel()->text(), "沪AA100001234");
    vc->priceField()->setText("7..4");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("证券价格有误！"));
    vc->priceField()->setText(SimMarket::priceText(quoteOf("600000").last, 2));
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("证券数量为空！"));
    EXPECT_TRUE(orderRequests().empty());
    // A quantity longer than the field takes: it keeps what fits and says so.
    tapView(vc->countField());
    ASSERT_TRUE(host.type("9999999999999"));
    EXPECT_EQ(vc->countField()->text(), "999999999999");
    EXPECT_EQ(SVProgressHUD::status(), "最多可输入12位");
    vc->countField()->setText("");
    // A quantity of "0" is the brokerage's to refuse.
    typeInto(vc->countField(), "0");
    order();
    ASSERT_TRUE(alertShown("委托数量错误"));
    saveScreenshot("refused");
    ASSERT_TRUE(dismissAlert("委托数量错误"));
    EXPECT_EQ(top(), vc);
    EXPECT_EQ(orderRequests().size(), 1u);
    EXPECT_TRUE(orders().empty());
}

// The account is the stock's market's: no order goes before a maximum of the
// code typed, and "确定" while it is on its way waits for it.
TEST_F(MarginOrderFormTest, AnOrderWaitsForTheMaximumThatNamesItsAccount) {
    auto* vc = openMenu(0);
    const std::string price = SimMarket::priceText(quoteOf("600000").last, 2);
    typeInto(vc->codeField(), "60000");
    vc->priceField()->setText(price);
    vc->countField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("委托数据错误"));
    EXPECT_TRUE(orderRequests().empty());

    sim->holdReply(500, 4);
    vc->codeField()->setText("");
    tapView(vc->codeField());
    ASSERT_TRUE(host.type("600000"));
    ASSERT_TRUE(vc->isRequestInFlight(TradeOrderScreen::kStockInfoTag));
    vc->countField()->setText("100");
    vc->onCommandOK();  // at once: a finger's tap would run the loop until the reply came
    EXPECT_FALSE(sheet());
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return sheet() != nullptr; }));
    EXPECT_EQ(vc->bossNumLabel()->text(), "沪AA100001234");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    ASSERT_EQ(orderRequests().size(), 1u);
    EXPECT_EQ(fieldOf(orderRequests().back(), "market"), "1");
    EXPECT_EQ(fieldOf(orderRequests().back(), "secuid"), "A100001234");
}

TEST_F(MarginOrderFormTest, AReplyWithoutOrderNumberSaysToCheckTheDaysOrders) {
    auto* vc = openMenu(0);
    typeCode(vc, "600000");
    typeInto(vc->countField(), "100");
    sim->answerNext(
        TradeContract::kOrder,
        TCRSWriter().beginSet().addField("orderid", TCRSFieldType::VarText).addRecord({std::string()}).bytes());
    order();
    ASSERT_TRUE(alertShown(RequestBinding::kOrderLeftText));
    ASSERT_TRUE(dismissAlert(RequestBinding::kOrderLeftText));
    EXPECT_EQ(top(), vc) << "nothing says the order was taken";
    EXPECT_FALSE(vc->sureToTrade());
    EXPECT_TRUE(orders().empty());
}

TEST_F(MarginOrderFormTest, TheMenuOpensTheScreenOfTheSystemsGeneration) {
    EXPECT_TRUE(openMargin<VTARZRQTradeViewController>(1));
    popViewControllers(1);
    settle();
    UIDevice::currentDevice().setSystemVersion("4.1");
    auto* newer = openMargin<MarginTradeViewController>(1);
    ASSERT_TRUE(newer);
    EXPECT_EQ(newer->tradeDirection(), 1);
    EXPECT_EQ(newer->creditFlag(), 1);
    popViewControllers(1);
    settle();
    // Only the two flags that open a position make a screen here.
    EXPECT_FALSE(VTAUIFactory::openMenuWithTradeGate(menu("rzrq_rzmr?creditflag=2", "融资融券")));
}

}  // namespace

namespace {

// Customer C has a Shenzhen account only: the older form refuses a Shanghai
// stock before sending, and its account picker offers nothing to take.
class MarginFormWithoutShanghaiAccountTest : public MarginOrderFormTest {
protected:
    const TradeCustomer& customer() const override { return kTradeCustomerC; }
};

TEST_F(MarginFormWithoutShanghaiAccountTest, AStockOfAMarketWithoutAccountIsRefusedBeforeSending) {
    customerBooks([](SimCustomer& c) {
        c.credit = SimCreditAccount{};
        c.credit->financingLimit = 10000000;
    });
    auto* vc = openMenu(0);
    ASSERT_TRUE(vc);
    typeCode(vc, "600000");
    EXPECT_EQ(vc->bossNumLabel()->text(), "无对应股东代码");
    ASSERT_TRUE(host.tapText("股东代码"));
    settle(0.5);
    ASSERT_TRUE(vc->sheetPicker());
    EXPECT_EQ(vc->sheetPicker()->numberOfRowsInComponent(0), 0);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    EXPECT_EQ(vc->bossNumLabel()->text(), "无对应股东代码") << "an empty wheel gives nothing";
    typeInto(vc->countField(), "100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown("无对应股东代码"));
    saveScreenshot("no-stockholder");
    ASSERT_TRUE(dismissAlert("无对应股东代码"));
    EXPECT_TRUE(orderRequests().empty());
}

}  // namespace
