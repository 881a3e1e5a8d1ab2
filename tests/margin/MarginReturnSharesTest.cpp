// Returning borrowed shares driven by finger against the simulated
// brokerage: the list of the shares owed (request type 5) behind both menu
// items, the buy-to-return form (maximum with the code twice, the account
// and order types of the stock's market, a limit buy that returns the
// shares and frees the short proceeds) and the securities repayment form
// (from the credit account's own shares, at once, then listed in 当日委托).
#include "MarginTestSupport.h"

#include "margin/MarginStockLists.h"
#include "margin/VTARZRQBuyBackTradeViewController.h"
#include "margin/VTARZRQXQHQTradeViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "ui/VTASheetPicker.h"

namespace {

class MarginReturnSharesTest : public MarginTest {
protected:
    static constexpr int kBuyBackItem = 503, kRepayItem = 504;

    template <class List, class Form>
    Form* openForm(int item) {
        auto* list = openItem<List>(item);
        EXPECT_TRUE(list && gridShows(*list, 1));
        if (!list || !list->myTableView()) return nullptr;
        EXPECT_TRUE(host.tapText("确定"));
        settle();
        auto* form = dynamic_cast<Form*>(top());
        EXPECT_TRUE(form && waitFor([&] { return !form->maxQtyLabel()->text().empty(); }));
        return form;
    }
};

TEST_F(MarginReturnSharesTest, ABuyToReturnBuysTheOwedSharesBackOnTheCreditAccount) {
    auto* list = openItem<VTARZRQBuyBackQueryViewController>(kBuyBackItem);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "买券还券");
    ASSERT_TRUE(gridShows(*list, 1));
    const SimRecord asked = sim->requestsOf(500, 92).back();
    EXPECT_NE(asked.encrypt, 36) << "the base list's request type 5";
    EXPECT_EQ(cellText(*list->myTableView(), 0, "证券代码"), "600036");
    EXPECT_EQ(cellText(*list->myTableView(), 0, "融券负债"), "200");
    saveScreenshot("owed-list");
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    auto* form = dynamic_cast<VTARZRQBuyBackTradeViewController*>(top());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "买券还券交易");
    ASSERT_TRUE(waitFor([&] { return !form->maxQtyLabel()->text().empty(); }));
    const SimRecord max = maxRequests().back();
    EXPECT_EQ(fieldOf(max, "stkcode"), "600036");
    EXPECT_EQ(fieldOf(max, "code"), "600036");
    EXPECT_EQ(fieldOf(max, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(max, "creditflag"), "2");
    EXPECT_EQ(form->maxQtyLabel()->text(), "200") << "the shares owed, which the cash pays";
    EXPECT_EQ(form->bossNumLabel()->text(), "沪AA100001234");
    EXPECT_EQ(form->reloadPriceTypes(), 3) << "Shanghai's buy types";
    const SimQuote q = quoteOf("600036");
    EXPECT_EQ(form->priceField()->text(), SimMarket::priceText(q.last, 2));

    // The account picker offers the stock's market alone.
    ASSERT_TRUE(host.tapText("股东代码"));
    settle(0.5);
    ASSERT_TRUE(form->pickerSheet());
    EXPECT_EQ(form->sheetPicker()->numberOfRowsInComponent(0), 1);
    saveScreenshot("account-picker");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle(0.5);

    const std::string ask = SimMarket::priceText(q.ask[0], 2);
    form->priceField()->setText(ask);
    tapView(form->allButton());
    EXPECT_EQ(form->countField()->text(), "200");
    saveScreenshot("buy-back-form");
    const SimCreditAccount before = credit();
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "您确定要发送如下信息吗？\n股票名称：招商银行 \n股票代码：600036 \n交易价格：" + ask +
                                    " \n交易数量：200 \n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "creditflag"), "2");
    EXPECT_EQ(fieldOf(r, "bsflag"), "0B");
    EXPECT_EQ(fieldOf(r, "price"), ask);
    EXPECT_EQ(fieldOf(r, "qty"), "200");
    EXPECT_EQ(fieldOf(r, "market"), "1");
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    // Filled: nothing owed any more; the cash paid and got the short proceeds back.
    ASSERT_EQ(orders().back().status, SimOrderStatus::Filled);
    const SimMoney paid = dealsAmount(orders().back().ordersno);
    EXPECT_EQ(owedOf("600036"), 0);
    EXPECT_EQ(credit().shortProceeds, 0);
    EXPECT_EQ(credit().cash, before.cash - paid + before.shortProceeds);
    EXPECT_EQ(positionOf("600036"), 1000) << "the collateral stays";
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(top(), list);
    EXPECT_TRUE(gridShows(*list, 0));
}

TEST_F(MarginReturnSharesTest, ABuyToReturnChecksItsPriceAndTheBrokerageItsQuantity) {
    auto* form = openForm<VTARZRQBuyBackQueryViewController, VTARZRQBuyBackTradeViewController>(kBuyBackItem);
    ASSERT_TRUE(form);
    // Coming back asks the maximum again; the price the customer typed stays.
    form->priceField()->setText("31.1");
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return maxRequests().size() == 2u; }));
    settle();
    EXPECT_EQ(form->priceField()->text(), "31.1");
    form->priceField()->setText("01.x");
    form->countField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("股票价格有误！"));
    // A market type empties the price and sends none.
    ASSERT_TRUE(host.tapText("报价方式"));
    settle(0.5);
    pickRow(form->sheetPicker(), 1);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    EXPECT_EQ(form->priceTypeLabelView()->text(), "五档即成剩撤");
    EXPECT_EQ(form->priceField()->text(), "");
    form->countField()->setText("300");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(
        sheet()->title(),
        "您确定要发送如下信息吗？\n股票名称：招商银行 \n股票代码：600036 \n报价方式：五档即成剩撤 \n交易数量：300 \n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("还券数量超过融券负债"));
    EXPECT_EQ(fieldOf(orderRequests().back(), "price"), "");
    EXPECT_EQ(fieldOf(orderRequests().back(), "bsflag"), "0d");
    EXPECT_TRUE(orders().empty());
    EXPECT_EQ(owedOf("600036"), 200);
}

// A buy-to-return at a market type is held at the limit-up price: where the
// cash pays the owed shares at the last price but not at the limit-up, its
// maximum is asked again there and "全部" is taken.
TEST_F(MarginReturnSharesTest, ABuyToReturnAtAMarketTypeOffersWhatTheCashPaysAtTheLimitUp) {
    const SimInstrument& s = *simTradableStock(sim->market(), "600036");
    const SimPrice up = simPriceOf(simPriceLimits(sim->market(), s, sim->clock().now()).up, s.decimals);
    const SimMoney cash = simAmountOf(200, up) - 1;
    ASSERT_LE(simAmountOf(200, quoteOf("600036").last * 10), cash);
    customerBooks([&](SimCustomer& c) { c.credit->cash = cash; });
    auto* form = openForm<VTARZRQBuyBackQueryViewController, VTARZRQBuyBackTradeViewController>(kBuyBackItem);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->maxQtyLabel()->text(), "200");
    ASSERT_TRUE(host.tapText("报价方式"));
    settle(0.5);
    pickRow(form->sheetPicker(), 1);  // 五档即成剩撤
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(waitFor([&] { return form->maxQtyLabel()->text() == "100"; })) << form->maxQtyLabel()->text();
    const SimRecord max = maxRequests().back();
    EXPECT_EQ(fieldOf(max, "price"), SimMarket::priceText(up / 10, 2));
    EXPECT_EQ(fieldOf(max, "bsflag"), "0d");
    EXPECT_EQ(fieldOf(max, "creditflag"), "2");
    tapView(form->allButton());
    EXPECT_EQ(form->countField()->text(), "100");
    saveScreenshot("market-type-all");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!")) << topAlertTitle();
    const SimOrder o = orders().back();
    EXPECT_EQ(o.quantity, 100);
    EXPECT_EQ(o.bsflag, "0d");
    EXPECT_EQ(o.creditFlag.value_or(-1), 2);
    EXPECT_GT(o.matched, 0);
    EXPECT_EQ(owedOf("600036"), 200 - o.matched);
    EXPECT_GE(credit().cash, 0);
}

TEST_F(MarginReturnSharesTest, ASecuritiesRepaymentReturnsTheCreditAccountsOwnSharesAtOnce) {
    auto* list = openItem<VTARZRQXQHQQueryViewController>(kRepayItem);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "现券还券");
    ASSERT_TRUE(gridShows(*list, 1));
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    auto* form = dynamic_cast<VTARZRQXQHQTradeViewController*>(top());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "现券还券交易");
    ASSERT_TRUE(waitFor([&] { return !form->maxQtyLabel()->text().empty(); }));
    const SimRecord max = maxRequests().back();
    EXPECT_EQ(fieldOf(max, "creditflag"), "4");
    EXPECT_FALSE(hasField(max, "bsflag"));
    EXPECT_EQ(form->maxQtyLabel()->text(), "200");
    EXPECT_EQ(form->stockNameLabel()->text(), "招商银行");
    EXPECT_EQ(form->bossNumLabel()->text(), "沪AA100001234");
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 5);

    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("股票数量为空！"));
    typeInto(form->countField(), "150");
    saveScreenshot("repay-form");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "您确定要发送如下信息吗？\n股票名称：招商银行 \n股票代码：600036 \n交易数量：150 \n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));
    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "creditflag"), "4");
    EXPECT_EQ(fieldOf(r, "qty"), "150");
    EXPECT_FALSE(hasField(r, "bsflag"));
    EXPECT_FALSE(hasField(r, "price"));
    EXPECT_EQ(fieldOf(r, "secuid"), "A100001234");
    EXPECT_EQ(owedOf("600036"), 50);
    EXPECT_EQ(positionOf("600036"), 850);
    // A quarter of the owed shares came back: their part of the proceeds is free.
    EXPECT_EQ(credit().shortProceeds, 650000 - 650000 * 150 / 200);
    ASSERT_EQ(orders().size(), 1u);
    const int64_t number = orders().back().ordersno;

    // Back on the list and into the form again: the maximum follows.
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    ASSERT_EQ(top(), list);
    ASSERT_TRUE(waitFor([&] { return cellText(*list->myTableView(), 0, "融券负债") == "50"; }));
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    form = dynamic_cast<VTARZRQXQHQTradeViewController*>(top());
    ASSERT_TRUE(form && waitFor([&] { return form->maxQtyLabel()->text() == "50"; }));
    form->countField()->setText("60");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("还券数量超过融券负债"));
    EXPECT_EQ(owedOf("600036"), 50);

    // Where the alert sent the customer: the return, under its number.
    ASSERT_TRUE(dismissAlert("还券数量超过融券负债"));
    auto* today = openItem<VTATradeQueryViewController>(204);
    ASSERT_TRUE(today && gridShows(*today, 1));
    EXPECT_EQ(cellText(*today->myTableView(), 0, "委托编号"), std::to_string(number));
    EXPECT_EQ(cellText(*today->myTableView(), 0, "买卖方向"), "现券还券");
    EXPECT_EQ(cellText(*today->myTableView(), 0, "成交数量"), "150");
}

// "确定" before the maximum's reply (a quick customer, a slow line) waits for
// it: the order goes to the account of the stock's market, and the brokerage
// answers on the quantity.
TEST_F(MarginReturnSharesTest, ARepaymentConfirmedBeforeTheStocksReplyGoesToItsMarketsAccount) {
    auto* list = openItem<VTARZRQXQHQQueryViewController>(kRepayItem);
    ASSERT_TRUE(list && gridShows(*list, 1));
    sim->holdReply(500, 4);
    ASSERT_TRUE(host.tapText("确定"));
    VTARZRQXQHQTradeViewController* form = nullptr;
    ASSERT_TRUE(waitFor([&] {
        form = dynamic_cast<VTARZRQXQHQTradeViewController*>(top());
        return form && form->isRequestInFlight(TradeOrderScreen::kStockInfoTag);
    }));
    // The command at once (a finger's tap would run the loop until the reply came).
    form->countField()->setText("300");
    form->onCommandOK();
    EXPECT_FALSE(sheet()) << "confirmed before the stock's market is known";
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return sheet() != nullptr; }));
    EXPECT_EQ(form->bossNumLabel()->text(), "沪AA100001234");
    saveScreenshot("confirmed-before-the-reply");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("还券数量超过融券负债")) << topAlertTitle();
    ASSERT_EQ(orderRequests().size(), 1u);
    EXPECT_EQ(fieldOf(orderRequests().back(), "market"), "1");
    EXPECT_EQ(fieldOf(orderRequests().back(), "secuid"), "A100001234");
    EXPECT_EQ(fieldOf(orderRequests().back(), "qty"), "300");
    EXPECT_TRUE(orders().empty());
    EXPECT_EQ(owedOf("600036"), 200);
    EXPECT_EQ(positionOf("600036"), 1000);
}

TEST_F(MarginReturnSharesTest, AnEmptyListOpensNoForm) {
    customerBooks([](SimCustomer& c) { c.credit->owed.clear(); });
    auto* list = openItem<VTARZRQXQHQQueryViewController>(kRepayItem);
    ASSERT_TRUE(list && gridShows(*list, 0));
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("没有相关信息"));
    EXPECT_EQ(top(), list);
}

}  // namespace
