// The margin screens' roads beside the usual one, by finger against the
// simulator: a new stock arriving while the order screen's quote panel is
// open (its refresh follows the new stock), the panel closing on the order
// button, on "完成" and on editing the code or the quantity (not the price),
// a cash repayment answered without its "msgok" or with nothing, which
// tells the customer where to look and asks the debt again, and the
// repayment forms refusing an order whose stock's maximum was lost.
#include "MarginTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginRepayForm.h"
#include "margin/MarginTradeViewController.h"
#include "margin/VTARZRQXJHKViewController.h"
#include "platform/uikit/UILabel.h"
#include "trade/TradePositionView.h"
#include "trade/TradeQuotesPanel.h"

namespace {

class MarginFailureRoadsTest : public MarginTest {
protected:
    MarginTradeViewController* openWithPanel(const std::string& code) {
        auto* vc = openMargin<MarginTradeViewController>(0);
        EXPECT_TRUE(vc);
        if (!vc) return nullptr;
        typeCode(vc, code);
        const int before = intradayRequests();
        tapView(vc->expandButton());
        EXPECT_TRUE(vc->isExpandQuotes());
        EXPECT_TRUE(waitFor([&] { return intradayRequests() == before + 1; }));
        return vc;
    }
    std::string lastIntradayCode() { return fieldOf(sim->requestsOf(31000, 1).back(), "code"); }
};

TEST_F(MarginFailureRoadsTest, ANewStockWhileTheQuotePanelIsOpenIsTheOneItRefreshes) {
    auto* vc = openWithPanel("600000");
    ASSERT_TRUE(vc);
    EXPECT_EQ(lastIntradayCode(), "600000.2");
    // The maximum of another code answered with the panel open (the code set
    // without editing, which would close the panel).
    vc->codeField()->setText("000001");
    vc->requestStockInfo();
    ASSERT_TRUE(waitFor([&] { return vc->currentStock() && vc->currentStock()->code() == "000001"; }));
    EXPECT_TRUE(vc->isExpandQuotes());
    const size_t before = sim->requestsOf(31000, 1).size();
    settle(2.5);
    const auto asked = sim->requestsOf(31000, 1);
    ASSERT_GT(asked.size(), before);
    for (size_t i = before; i < asked.size(); ++i) EXPECT_EQ(fieldOf(asked[i], "code"), "000001.1");
    TradePositionView* book = vc->quotesPanel().positionView();
    ASSERT_TRUE(waitFor([&] { return book->detailHQRS() != nullptr; }));
    EXPECT_EQ(vc->stockholderLabel()->text(), "深A0010001234");
}

TEST_F(MarginFailureRoadsTest, ThePanelClosesOnTheOrderButtonDoneAndEditingButNotOnThePrice) {
    struct Case {
        const char* name;
        std::function<void(MarginTradeViewController*)> act;
        bool closes;
    };
    const std::vector<Case> cases = {
        {"the price field", [&](MarginTradeViewController* vc) { tapView(vc->priceField()); }, false},
        {"完成", [&](MarginTradeViewController* vc) {
             tapView(vc->priceField());
             ASSERT_TRUE(host.tapText("完成"));
         },
         true},
        // The raised form hides the code: the keyboard bar's "上一项" moves there from the price.
        {"the code field", [&](MarginTradeViewController* vc) {
             tapView(vc->priceField());
             ASSERT_TRUE(host.tapText("上一项"));
         },
         true},
        {"the quantity field", [&](MarginTradeViewController* vc) { tapView(vc->quantityField()); }, true},
        {"the order button", [&](MarginTradeViewController* vc) { tapView(vc->tradeButton()); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* vc = openWithPanel("600000");
        ASSERT_TRUE(vc);
        c.act(vc);
        settle(0.5);
        EXPECT_EQ(vc->isExpandQuotes(), !c.closes);
        if (c.closes) {
            EXPECT_EQ(vc->tableView()->rectForRowAtIndexPath({0, 3}).size.height, 44);
            EXPECT_EQ(vc->tradeButton()->frame().origin.y, 340);
            const int before = intradayRequests();
            for (auto& a : UIAlertView::visibleAlerts()) a->dismissWithClickedButtonIndex(0, false);
            if (auto s = sheet()) s->dismissWithClickedButtonIndex(s->cancelButtonIndex(), false);
            settle(6);
            EXPECT_EQ(intradayRequests(), before) << "no refresh once closed";
        }
        for (auto& a : UIAlertView::visibleAlerts()) a->dismissWithClickedButtonIndex(0, false);
        if (auto s = sheet()) s->dismissWithClickedButtonIndex(s->cancelButtonIndex(), false);
        if (host.isTextVisible("完成")) host.tapText("完成");
        popViewControllers(1);
        settle();
    }
    EXPECT_TRUE(orders().empty());
}

TEST_F(MarginFailureRoadsTest, ARepaymentAnsweredWithoutItsConfirmationSaysWhereToLookAndShowsTheDebtAgain) {
    // A repayment is no order of the day: the text sends the customer where the debt is shown.
    const SimMenuItem* assets = sim->registry().menu().find(506);
    ASSERT_TRUE(assets);
    EXPECT_NE(std::string(VTARZRQXJHKViewController::kUnknownOutcomeText).find(assets->title), std::string::npos);
    auto* vc = openItem<VTARZRQXJHKViewController>(505);
    ASSERT_TRUE(vc && waitFor([&] { return vc->backMoneyCountLabel()->text() == "5000.00"; }));
    const auto withoutOk =
        TCRSWriter().beginSet().addField("msgok", TCRSFieldType::VarText).addRecord({std::string()}).bytes();
    for (const auto& answer : {withoutOk, std::vector<uint8_t>{}}) {
        SCOPED_TRACE(answer.empty() ? "no record set" : "msgok empty");
        sim->answerNext(MarginContract::kCashRepay, answer);
        const size_t debts = sim->requestsOf(500, 75).size();
        typeInto(vc->backMoneyField(), "100");
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(confirm());
        ASSERT_TRUE(alertShown(VTARZRQXJHKViewController::kUnknownOutcomeText)) << topAlertTitle();
        ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 75).size() == debts + 1 && !vc->hasRequestInFlight(); }));
        ASSERT_TRUE(dismissAlert(VTARZRQXJHKViewController::kUnknownOutcomeText));
        EXPECT_EQ(vc->backMoneyCountLabel()->text(), "5000.00");
    }
    EXPECT_EQ(sim->requestsOf(500, 76).size(), 2u);
}

// The maximum's reply names the stock's market and so its account: one lost
// on the line leaves nothing to wait for, and a repayment form's "确定" is
// refused rather than send a Shanghai stock's order to the session's 深A account.
TEST_F(MarginFailureRoadsTest, ARepaymentWhoseMaximumWasLostIsRefused) {
    const struct {
        int item;
        const char* title;
        bool priced;
    } forms[] = {{504, "现券还券交易", false}, {503, "买券还券交易", true}, {507, "卖券还款交易", true}};
    for (const auto& f : forms) {
        SCOPED_TRACE(f.title);
        auto* list = openItem<VTATradeQueryViewController>(f.item);
        ASSERT_TRUE(list && waitFor([&] { return list->myTableView() && list->myTableView()->rowCount() > 0; }));
        tapRow(*list->myTableView(), 0);
        EXPECT_EQ(cellText(*list->myTableView(), 0, "证券代码"), "600036");
        sim->dropConnection(500, 4);
        ASSERT_TRUE(host.tapText("确定"));
        settle();
        auto* form = dynamic_cast<MarginRepayForm*>(top());
        ASSERT_TRUE(form);
        EXPECT_EQ(form->title(), f.title);
        ASSERT_TRUE(dismissAlert("网络连接失败，请检查网络设置")) << topAlertTitle();
        EXPECT_FALSE(form->hasRequestInFlight());
        if (f.priced) form->priceField()->setText(SimMarket::priceText(quoteOf("600036").last, 2));
        typeInto(form->countField(), "100");
        ASSERT_TRUE(host.tapText("确定"));
        EXPECT_FALSE(sheet());
        ASSERT_TRUE(dismissAlert("委托数据错误")) << topAlertTitle();
        EXPECT_EQ(form->bossNumLabel()->text(), "深A0010001234") << "the session's first account";
        EXPECT_TRUE(orderRequests().empty());
        EXPECT_TRUE(orders().empty());
        EXPECT_EQ(owedOf("600036"), 200);
        EXPECT_EQ(positionOf("600036"), 1000);
        popViewControllers(2);
        settle();
    }
}

}  // namespace
