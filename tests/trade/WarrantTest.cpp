// The warrant exercise by finger against the simulator: the sixth character
// of the code asks for the warrant, the form shows it with the customer's
// account of its market, the confirmed exercise reaches the books; the
// refusals on the client (no account of the market, a quantity of 0, a code
// changed after the query) and an answer that cannot be read.
#include "TradeQueryTestSupport.h"

#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UILabel.h"
#include "sim/SimWarrants.h"
#include "trade/VTAWarrant.h"

namespace {

constexpr int kWarrantItem = 209, kTodayOrdersItem = 204;

class WarrantTest : public TradeQueryTest {
protected:
    std::shared_ptr<VTAWarrant> openForm() { return openItem<VTAWarrant>(kWarrantItem); }
    // Types the code a character at a time, as a finger does.
    void typeCode(VTAWarrant& form, const std::string& code) {
        tapView(form.codeField());
        for (char c : code) {
            host.type(std::string(1, c));
            settle(0.1);
        }
        settle(0.5);
    }
    // The warrants A holds, by trading code.
    int64_t held(const std::string& code) {
        return books([&](SimBooks& b) {
            for (const auto& h : b.customer("010110001234")->holdings)
                if (h.code == code) return h.quantity;
            return int64_t(0);
        });
    }
};

TEST_F(WarrantTest, TheSixthCharacterAsksAndAConfirmedExerciseReachesTheBooks) {
    auto form = openForm();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "权证行权");
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 7);
    EXPECT_TRUE(host.isTextVisible("<股东号>"));
    saveScreenshot("empty");

    typeCode(*form, "58200");
    EXPECT_TRUE(sim->requestsOf(100, 28).empty());
    host.type("1");
    ASSERT_TRUE(waitFor([&] { return form->isWarrantInfoOK(); }));
    auto query = lastRequest(100, 28);
    EXPECT_EQ(fieldOf(query, "stkcode"), "582001");
    EXPECT_EQ(fieldOf(query, "qryflag"), "1");
    EXPECT_FALSE(hasField(query, "fundid"));
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 13);
    EXPECT_EQ(form->gdhLabel()->text(), "沪AA100001234");
    EXPECT_EQ(form->nameLabel()->text(), "浦发CWB1");
    EXPECT_EQ(form->priceLabel()->text(), "8.00");
    EXPECT_TRUE(host.isTextVisible("10000"));

    // A quantity of 0 does nothing.
    typeInto(form->orderSumField(), "0");
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    EXPECT_FALSE(form->sheet());
    form->orderSumField()->setText("");
    typeInto(form->orderSumField(), "1000");
    saveScreenshot("filled");
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    ASSERT_TRUE(form->sheet() && form->sheet()->isVisible());
    EXPECT_EQ(form->sheet()->title(),
              "您确定要发送如下信息吗？\n权证行权 \n证券代码：582001 \n证券名称：浦发CWB1 \n行权价格：8.00 "
              "\n行权数量：1000 \n");
    saveScreenshot("sheet");
    ASSERT_TRUE(host.pressAlertButton("确定"));  // the sheet's
    EXPECT_EQ(form->orderSumField()->text(), "") << "emptied once sent";
    ASSERT_TRUE(alertShown(VTAWarrant::kAcceptedText));
    auto sent = lastRequest(100, 29);
    EXPECT_EQ(fieldOf(sent, "market"), "1");
    EXPECT_EQ(fieldOf(sent, "secuid"), "A100001234");
    EXPECT_EQ(fieldOf(sent, "fundid"), "010110001234");
    EXPECT_EQ(fieldOf(sent, "stkcode"), "582001");
    EXPECT_EQ(fieldOf(sent, "price"), "8.00");
    EXPECT_EQ(fieldOf(sent, "qty"), "1000");
    EXPECT_EQ(held("580001"), 9000);
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_EQ(top(), root.get());

    // Where the alert sends the customer: 当日委托 lists the exercise, done.
    auto today = openItem(kTodayOrdersItem);
    ASSERT_TRUE(today && gridShows(*today, 1));
    const VTATableView& grid = *today->myTableView();
    const auto row = grid.rowItems(0);
    EXPECT_EQ(row.at(columnTitled(grid, "证券代码")), "582001");
    EXPECT_EQ(row.at(columnTitled(grid, "买卖方向")), "行权");
    EXPECT_EQ(row.at(columnTitled(grid, "委托状态")), "已成");
}

TEST_F(WarrantTest, AWarrantOfAMarketWithoutAccountIsShownButNotExercised) {
    // 王芳 holds a Shenzhen account only; the call warrant is of Shanghai.
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    auto form = openForm();
    ASSERT_TRUE(form);
    typeCode(*form, "582001");
    ASSERT_TRUE(alertShown(VTAWarrant::kNoShareholderText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_TRUE(form->tradeDisable());
    EXPECT_EQ(form->nameLabel()->text(), "浦发CWB1");
    EXPECT_EQ(form->gdhLabel()->text(), "<股东号>");
    saveScreenshot("no-account");
    typeInto(form->orderSumField(), "100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAWarrant::kNoShareholderText));
    EXPECT_TRUE(sim->requestsOf(100, 29).empty());
}

TEST_F(WarrantTest, ACodeChangedAfterTheQueryAndUnreadableAnswersAreRefused) {
    auto form = openForm();
    ASSERT_TRUE(form);
    sim->answerNext({100, 28}, {9, 9, 9});
    typeCode(*form, "038001");
    ASSERT_TRUE(alertShown(VTAWarrant::kUnreadableText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(form->isWarrantInfoOK());

    form->codeField()->setText("03800");
    typeCode(*form, "1");
    ASSERT_TRUE(waitFor([&] { return form->isWarrantInfoOK(); }));
    EXPECT_EQ(form->gdhLabel()->text(), "深A0010001234");
    // The code edited after the query: the data shown is another warrant's.
    form->codeField()->setText("0380");
    typeInto(form->orderSumField(), "100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAWarrant::kBadWarrantText));
    topAlert()->tapButtonAtIndex(0);

    // An exercise answer that cannot be read ends the exercise: "确定" works again.
    form->codeField()->setText("03800");
    typeCode(*form, "1");
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(100, 28).size() == 3; }));
    settle();
    typeInto(form->orderSumField(), "100");
    sim->answerNext({100, 29}, {9, 9});
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("确定"));  // the sheet's
    ASSERT_TRUE(alertShown(VTAWarrant::kUnreadableText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_EQ(form->frameStatus(), VTAWarrant::kHandled);
    typeInto(form->orderSumField(), "100");
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown(VTAWarrant::kAcceptedText));
    EXPECT_EQ(held("038001"), 400);
}

}  // namespace
