// Sell-to-repay driven by finger against the simulated brokerage: the list of
// the credit account's shares, the form it opens (debt, then the maximum of
// the credit account, then the order), a sale whose money repays the
// financing debt in the brokerage's books, the form's checks, "确定" before
// the debt is known, and the order types of the stock's own market.
#include "MarginTestSupport.h"

#include <algorithm>

#include "margin/MarginStockLists.h"
#include "margin/VTARZRQMQHKTradeViewController.h"
#include "platform/uikit/UILabel.h"

namespace {

class MarginSellToRepayTest : public MarginTest {
protected:
    static constexpr int kItem = 507;

    // The list, its row `row` chosen and "确定" pressed: the form on top.
    VTARZRQMQHKTradeViewController* openForm(int row) {
        auto* list = openItem<VTARZRQMQHKSelectedViewController>(kItem);
        EXPECT_TRUE(list && gridShows(*list, 2));
        if (!list || !list->myTableView()) return nullptr;
        tapRow(*list->myTableView(), row);
        EXPECT_TRUE(host.tapText("确定"));
        settle();
        return dynamic_cast<VTARZRQMQHKTradeViewController*>(top());
    }
    bool maximumShown(VTARZRQMQHKTradeViewController* form) {
        return waitFor([&] { return !form->maxQtyLabel()->text().empty(); });
    }
};

TEST_F(MarginSellToRepayTest, ASaleOfTheCreditAccountsSharesRepaysTheDebt) {
    auto* list = openItem<VTARZRQMQHKSelectedViewController>(kItem);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "卖券还款");
    ASSERT_TRUE(gridShows(*list, 2));
    const SimRecord asked = sim->requestsOf(500, 93).back();
    EXPECT_EQ(asked.encrypt, 36) << "asked with request type 4";
    EXPECT_EQ(fieldOf(asked, "count"), "12");
    EXPECT_EQ(fieldOf(asked, "fundid"), "010110001234");
    VTATableView& grid = *list->myTableView();
    EXPECT_EQ(cellText(grid, 1, "证券代码"), "000001");
    EXPECT_EQ(cellText(grid, 1, "可卖数量"), "2000");
    const auto& titles = grid.topTitles();
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "市场"), 0) << "the link leaves the market unlisted";
    saveScreenshot("list");

    tapRow(grid, 1);
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    auto* form = dynamic_cast<VTARZRQMQHKTradeViewController*>(top());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "卖券还款交易");
    ASSERT_TRUE(maximumShown(form));
    // The debt first, then the maximum of the credit account.
    const SimRecord debt = sim->requestsOf(500, 75).back();
    EXPECT_EQ(fieldOf(debt, "creditid"), "0");
    EXPECT_EQ(fieldOf(debt, "moneytype"), "0");
    EXPECT_EQ(fieldOf(debt, "fundid"), "010110001234");
    EXPECT_EQ(form->debtLabel()->text(), "5000.00");
    const SimRecord max = maxRequests().back();
    EXPECT_EQ(fieldOf(max, "stkcode"), "000001");
    EXPECT_EQ(fieldOf(max, "bsflag"), "0S");
    EXPECT_EQ(fieldOf(max, "creditflag"), "7");
    EXPECT_EQ(form->maxQtyLabel()->text(), "2000");
    EXPECT_EQ(form->stockNameLabel()->text(), "平安银行");
    EXPECT_EQ(form->bossNumLabel()->text(), "深A0010001234");
    EXPECT_EQ(form->reloadPriceTypes(), 6) << "Shenzhen's sell types";

    const SimQuote q = quoteOf("000001");
    const std::string bid = SimMarket::priceText(q.bid[0], 2);
    form->priceField()->setText(bid);
    typeInto(form->countField(), "200");
    saveScreenshot("form");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "您确定要发送如下信息吗？\n卖出：平安银行 \n证券代码：000001 \n卖出价格：" + bid + " \n卖出数量：200 \n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirm());
    EXPECT_EQ(form->countField()->text(), "");
    ASSERT_TRUE(alertShown("委托已提交，请进入当日委托查询!"));

    const SimRecord r = orderRequests().back();
    EXPECT_EQ(fieldOf(r, "creditflag"), "7");
    EXPECT_EQ(fieldOf(r, "creditid"), "0");
    EXPECT_EQ(fieldOf(r, "bsflag"), "0S");
    EXPECT_EQ(fieldOf(r, "price"), bid);
    EXPECT_EQ(fieldOf(r, "qty"), "200");
    EXPECT_EQ(fieldOf(r, "market"), "0");
    EXPECT_EQ(fieldOf(r, "secuid"), "0010001234");
    // Filled: the money repaid the debt; the shares left the credit account.
    ASSERT_EQ(orders().back().status, SimOrderStatus::Filled);
    const SimMoney proceeds = dealsAmount(orders().back().ordersno);
    EXPECT_GT(proceeds, 0);
    EXPECT_EQ(credit().financingDebt, 500000 - proceeds);
    EXPECT_EQ(credit().cash, 2000000);
    EXPECT_EQ(positionOf("000001"), 1800);

    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(top(), list) << "back on the list";
}

TEST_F(MarginSellToRepayTest, NothingLeavesBeforeTheDebtAndTheFormsChecksComeFirst) {
    // The debt does not come: "确定" prepares nothing, and no maximum is asked.
    sim->forceFault(SimFault::Refuse, 500, 75);
    auto* form = openForm(0);
    ASSERT_TRUE(form);
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    EXPECT_TRUE(form->isBeforeLoad());
    form->countField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    EXPECT_FALSE(sheet());
    EXPECT_TRUE(maxRequests().empty());
    // Coming back asks the debt again, then the maximum.
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    ASSERT_TRUE(maximumShown(form));
    EXPECT_FALSE(form->isBeforeLoad());
    EXPECT_TRUE(orderRequests().empty());
    EXPECT_EQ(sim->requestsOf(500, 75).size(), 2u);

    // 招商银行 is a Shanghai stock: its market's three sell types, whatever the first account.
    EXPECT_EQ(form->stockNameLabel()->text(), "招商银行");
    EXPECT_EQ(form->bossNumLabel()->text(), "沪AA100001234");
    EXPECT_EQ(form->reloadPriceTypes(), 3);

    form->priceField()->setText("0");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("股票价格有误！"));
    form->priceField()->setText("32.5");
    form->countField()->setText("");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(dismissAlert("股票数量为空！"));
    // A price below 1 is a price; the brokerage judges its limits.
    form->priceField()->setText("0.05");
    form->countField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("委托价格超出涨跌幅限制"));
    saveScreenshot("refused");
    ASSERT_TRUE(dismissAlert("委托价格超出涨跌幅限制"));
    EXPECT_EQ(top(), form);
    EXPECT_TRUE(orders().empty());
    // The refusal ended the order: the next "确定" starts over.
    form->countField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    EXPECT_TRUE(sheet());
}

TEST_F(MarginSellToRepayTest, SharesSoldAreNoLongerSellableAndTheBrokerageRefusesMore) {
    auto* form = openForm(1);
    ASSERT_TRUE(form && maximumShown(form));
    // Outside the best bid the sale waits; what it asks is no longer sellable.
    form->priceField()->setText(SimMarket::priceText(quoteOf("000001").ask[4], 2));
    form->countField()->setText("1500");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("委托已提交，请进入当日委托查询!"));
    settle();
    auto* list = dynamic_cast<VTARZRQMQHKSelectedViewController*>(top());
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return cellText(*list->myTableView(), 1, "可卖数量") == "500"; }));
    tapRow(*list->myTableView(), 1);
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    form = dynamic_cast<VTARZRQMQHKTradeViewController*>(top());
    ASSERT_TRUE(form && maximumShown(form));
    EXPECT_EQ(form->maxQtyLabel()->text(), "500");
    form->countField()->setText("600");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("可卖数量不足"));
    EXPECT_EQ(orders().size(), 1u);
}

}  // namespace
