// New issues by finger against the simulator: the list of the customer's
// markets (ticks, the later issue that cannot be ticked), and the
// subscription of two issues in one order under every strategy: the limits,
// the calculation the customer confirms, the order and what the simulator
// froze; then the refusals (empty inputs, a quantity of 0, an issue without
// a shareholder account), the limits asked once and the keyboard's scroll.
#include "TradeQueryTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/NewIssueContract.h"
#include "sim/SimNewIssues.h"
#include "tests/support/SimOrders.h"
#include "trade/TradePickerStrip.h"
#include "trade/VTAXGBuyViewController.h"
#include "trade/VTAXGTableViewController.h"
#include "ui/VTARadioButton.h"

namespace {

constexpr int kNewIssuesItem = 207, kTodaysOrdersItem = 204;

class NewIssuesTest : public TradeQueryTest {
protected:
    // The list, shown with its four issues.
    std::shared_ptr<VTAXGTableViewController> openList() {
        auto list = openItem<VTAXGTableViewController>(kNewIssuesItem);
        const bool shown = list && gridShows(*list, 4);
        EXPECT_TRUE(shown) << topAlertTitle() << " rows "
                           << (list && list->myTableView() ? list->myTableView()->rowCount() : -1) << " requests "
                           << sim->requestsOf(100, 18).size();
        return shown ? list : nullptr;
    }
    int rowOf(VTAXGTableViewController& list, const std::string& code) {
        const int column = columnTitled(*list.myTableView(), "申购代码");
        for (int row = 0; row < list.myTableView()->rowCount(); ++row)
            if (list.myTableView()->rowItems(row)[column] == code) return row;
        return -1;
    }
    // Ticks the issues by double taps and presses "申购": the subscription screen with its limits.
    std::shared_ptr<VTAXGBuyViewController> subscribe(const std::vector<std::string>& codes) {
        auto list = openList();
        if (!list) return nullptr;
        for (const auto& code : codes) tapRow(*list->myTableView(), rowOf(*list, code), true);
        EXPECT_TRUE(host.tapText("申购"));
        settle();
        auto buy = shownBuy();
        EXPECT_TRUE(buy);
        if (buy) {
            EXPECT_TRUE(waitFor([&] { return buy->xgInfo() != nullptr; }));
        }
        return buy;
    }
    // The subscription screen on top of the stack; null when another is there.
    std::shared_ptr<VTAXGBuyViewController> shownBuy() {
        return std::dynamic_pointer_cast<VTAXGBuyViewController>(nav->viewControllers().back());
    }
    // Swipes the form until the issue's input is in full view.
    void revealIssue(VTAXGBuyViewController& buy, size_t issue) {
        UITableView& table = *buy.tableView();
        VTATextField* field = buy.item(issue);
        ASSERT_TRUE(field);
        const CGRect area = table.convertRectToView(table.bounds(), nullptr);
        const double x = CGRectGetMidX(area), y = CGRectGetMidY(area);
        for (int swipes = 0; swipes < 12; ++swipes) {
            table.window()->layoutIfNeeded();
            const CGRect at = field->window() ? field->convertRectToView(field->bounds(), nullptr) : CGRectZero;
            const bool below = !field->window() || CGRectGetMaxY(at) > CGRectGetMaxY(area);
            if (field->window() && !below && at.origin.y >= area.origin.y) break;
            host.drag(x, below ? y + 60 : y - 60, x, below ? y - 60 : y + 60, 12);
            settle(1);
        }
    }
    void typeIntoIssue(VTAXGBuyViewController& buy, size_t issue, const std::string& text) {
        revealIssue(buy, issue);
        typeInto(buy.item(issue), text);
    }
    void chooseStrategy(VTAXGBuyViewController& buy, int strategy) {
        tapView(buy.strategyBtn());
        settle(0.5);
        ASSERT_TRUE(buy.strategyPicker());
        pickRow(buy.strategyPicker()->picker(), strategy);
        buy.strategyPicker()->slideDown();
        settle(0.5);
        ASSERT_EQ(buy.strategyIndex(), strategy);
    }
    std::vector<SimOrder> subscriptions() {
        return sim->withRoom<SimTradeRoom>(
            [](SimTradeRoom& r) { return subscriptionsOf(*r.books.customer("010110001234")); });
    }
};

TEST_F(NewIssuesTest, TheListAsksForTheCustomersMarketsAndOnlyTodaysIssuesCanBeTicked) {
    auto list = openList();
    ASSERT_TRUE(list);
    auto sent = lastRequest(100, 18);
    EXPECT_EQ(fieldOf(sent, "market"), "0,1,2,3");
    for (const char* absent : {"count", "fundid", "authid", "poststr"}) EXPECT_FALSE(hasField(sent, absent)) << absent;
    VTATableView& grid = *list->myTableView();
    EXPECT_EQ(grid.topTitles().front(), "股票名称");
    EXPECT_EQ(columnTitled(grid, "市场"), -1) << "unlisted";
    EXPECT_EQ(columnTitled(grid, "状态"), -1) << "unlisted";
    const int later = rowOf(*list, "002887");
    ASSERT_GE(later, 0);
    for (int row = 0; row < grid.rowCount(); ++row) {
        EXPECT_EQ(grid.mutiButtonAtIndex(row)->isEnable(), row != later) << row;
        EXPECT_EQ(isPalette(grid.rowColors(row)[0], 45), row != later) << row;
    }
    saveScreenshot("list");

    ASSERT_TRUE(host.tapText("申购"));
    ASSERT_TRUE(alertShown(VTAXGTableViewController::kNoTickText));
    topAlert()->tapButtonAtIndex(0);
    tapRow(grid, later, true);
    ASSERT_TRUE(alertShown(VTAXGTableViewController::kNotTodayText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(grid.mutiButtonAtIndex(later)->isSeclected());

    tapRow(grid, rowOf(*list, "300888"), true);
    tapRow(grid, rowOf(*list, "732888"), true);
    saveScreenshot("ticked");
    ASSERT_TRUE(host.tapText("申购"));
    settle();
    auto buy = shownBuy();
    ASSERT_TRUE(buy);
    EXPECT_EQ(buy->title(), "新股申购");
    // In row order, whichever was ticked first.
    const bool shenzhenFirst = rowOf(*list, "300888") < rowOf(*list, "732888");
    EXPECT_EQ(buy->xgCodes(), (shenzhenFirst ? std::vector<std::string>{"300888", "732888"}
                                             : std::vector<std::string>{"732888", "300888"}));
    EXPECT_EQ(buy->xgMarkets(),
              (shenzhenFirst ? std::vector<std::string>{"0", "1"} : std::vector<std::string>{"1", "0"}));
}

TEST_F(NewIssuesTest, AReplyWithoutDescriptorsShowsTheFixedTitles) {
    TCRSWriter w;
    w.beginSet();
    for (const char* f : {"stkname", "stkcode", "price", "issuedate", "issueqty", "pe", "maxqty", "listdate", "extra",
                          "market", "status"})
        w.addField(f, TCRSFieldType::VarText, 0, "");
    w.addRecord({"华宇新材", "002888", "18.50", "20240305", "4000", "22.98", "15000", "待定", "x", "0", "0"});
    w.addRecord({"华宇新材", "002888", "18.50", "20240305", "4000", "22.98", "15000", "待定", "x", "0", "0"});
    sim->answerNext({100, 18}, w.bytes());
    auto list = openItem<VTAXGTableViewController>(kNewIssuesItem);
    ASSERT_TRUE(list && gridShows(*list, 2));
    auto titles = VTAXGTableViewController::fixedTitles();
    titles.push_back("extra");
    EXPECT_EQ(list->myTableView()->topTitles(), titles);
    // The same code ticked twice is subscribed once.
    tapRow(*list->myTableView(), 0, true);
    tapRow(*list->myTableView(), 1, true);
    ASSERT_TRUE(host.tapText("申购"));
    settle();
    auto buy = shownBuy();
    ASSERT_TRUE(buy);
    EXPECT_EQ(buy->xgCodes(), std::vector<std::string>{"002888"});
}

// Two issues, one Shenzhen and one Shanghai, subscribed in one order under each strategy.
class NewIssueStrategyTest : public NewIssuesTest, public ::testing::WithParamInterface<int> {};

TEST_P(NewIssueStrategyTest, TwoIssuesAreSubscribedInOneOrder) {
    const int strategy = GetParam();
    auto buy = subscribe({"002888", "732888"});
    ASSERT_TRUE(buy);
    ASSERT_EQ(buy->xgCodes(), (std::vector<std::string>{"002888", "732888"}));
    EXPECT_EQ(fieldOf(lastRequest(100, 30), "stkcode"), "002888,732888");
    EXPECT_EQ(buy->tolMoney()->text(), "1000000.00");
    EXPECT_TRUE(host.isTextVisible("华宇新材"));
    if (strategy != 0) chooseStrategy(*buy, strategy);
    const std::vector<std::vector<std::string>> inputs = {{"1000", "2000"}, {}, {"10", "20"}, {"50000", "30000"}, {}};
    const auto& typed = inputs[static_cast<size_t>(strategy)];
    for (size_t i = 0; i < typed.size(); ++i) typeIntoIssue(*buy, i, typed[i]);
    EXPECT_EQ(buy->tableView()->numberOfRowsInSection(0), typed.empty() ? 5 : 6);
    saveScreenshot("strategy-" + std::to_string(strategy));

    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kConfirmTitle));
    auto calc = lastRequest(100, 19);
    EXPECT_EQ(fieldOf(calc, "policyid"), std::to_string(strategy));
    EXPECT_EQ(fieldOf(calc, "codes"), "002888,732888");
    EXPECT_EQ(fieldOf(calc, "markets"), "0,1");
    EXPECT_EQ(fieldOf(calc, "params"), typed.empty() ? "" : typed[0] + "," + typed[1]);
    EXPECT_NE(topAlert()->message().find("◆华宇新材(002888) 价格:18.50"), std::string::npos) << topAlert()->message();
    if (strategy == 0) saveScreenshot("confirm");
    ASSERT_TRUE(host.pressAlertButton("确认"));
    ASSERT_TRUE(waitFor([&] { return !buy->doTradeNow() && topAlertTitle().rfind("◆", 0) == 0; }));
    EXPECT_NE(topAlertTitle().find("已提交"), std::string::npos) << topAlertTitle();

    auto order = lastRequest(100, 20);
    EXPECT_EQ(fieldOf(order, "codes"), "002888,732888");
    EXPECT_EQ(fieldOf(order, "markets"), "0,1");
    EXPECT_EQ(fieldOf(order, "secuids"), "0010001234,A100001234");
    EXPECT_EQ(fieldOf(order, "fundids"), "010110001234,010110001234");
    EXPECT_EQ(fieldOf(order, "price"), "18.50,12.36");
    auto made = subscriptions();
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0].code, "002888");
    EXPECT_EQ(made[1].code, "732888");
    EXPECT_EQ(fieldOf(order, "qty"), std::to_string(made[0].quantity) + "," + std::to_string(made[1].quantity));
    if (strategy == 0) {
        EXPECT_EQ(made[0].quantity, 1000);
        EXPECT_EQ(made[1].quantity, 2000);
    }
    for (const auto& s : made) EXPECT_GT(s.quantity, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryStrategy, NewIssueStrategyTest, ::testing::Range(0, 5));

TEST_F(NewIssuesTest, EmptyInputsAZeroQuantityAndAMarketWithoutAccountSendNoOrder) {
    auto buy = subscribe({"002888", "732888"});
    ASSERT_TRUE(buy);
    typeIntoIssue(*buy, 0, "1000");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kEmptyInputText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_TRUE(sim->requestsOf(100, 19).empty());

    // 100 shares are less than a lot of either issue.
    typeIntoIssue(*buy, 1, "100");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kZeroText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(buy->getComformInfo());

    // A calculation naming a market the customer has no account in.
    sim->answerNext({100, 19}, TCRSWriter()
                                   .beginSet()
                                   .addField("stkcode", TCRSFieldType::VarText, 0, "")
                                   .addField("stkname", TCRSFieldType::VarText, 0, "")
                                   .addField("price", TCRSFieldType::VarText, 0, "")
                                   .addField("qty", TCRSFieldType::VarText, 0, "")
                                   .addField("amount", TCRSFieldType::VarText, 0, "")
                                   .addField("market", TCRSFieldType::VarText, 0, "")
                                   .addRecord({"002888", "华宇新材", "18.50", "1000", "18500.00", "0"})
                                   .addRecord({"732888", "沪光智能", "12.36", "1000", "12360.00", "9"})
                                   .bytes());
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kConfirmTitle));
    ASSERT_TRUE(host.pressAlertButton("确认"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kNoShareholderText));
    EXPECT_FALSE(buy->doTradeNow());
    EXPECT_TRUE(sim->requestsOf(100, 20).empty());
    EXPECT_TRUE(subscriptions().empty());
}

TEST_F(NewIssuesTest, AnAnswerShortOfItsResultLinesShowsThoseItHasAndSaysWhereToLookForTheRest) {
    auto buy = subscribe({"002888", "732888"});
    ASSERT_TRUE(buy);
    typeIntoIssue(*buy, 0, "1000");
    typeIntoIssue(*buy, 1, "1000");
    const std::string whereToLook = VTAXGBuyViewController::kUnknownOutcomeText;
    auto lines = [](std::vector<std::vector<std::string>> records) {
        TCRSWriter w;
        w.beginSet()
            .addField("stkcode", TCRSFieldType::VarText, 0, "")
            .addField("result", TCRSFieldType::VarText, 0, "");
        for (const auto& r : records) w.addRecord(std::vector<::Value>(r.begin(), r.end()));
        return w.bytes();
    };
    // Bytes that are no record sets, a set without a record, a record without
    // its result line, one line for the two issues sent.
    const struct {
        std::vector<uint8_t> answer;
        std::string alert;
    } answers[] = {
        {{1, 2, 3}, whereToLook},
        {lines({}), whereToLook},
        {lines({{"002888", ""}}), whereToLook},
        {lines({{"002888", "申购1000股已提交"}}), "◆申购1000股已提交\n" + whereToLook},
    };
    for (const auto& a : answers) {
        sim->answerNext({100, 20}, a.answer);
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(alertShown(VTAXGBuyViewController::kConfirmTitle));
        ASSERT_TRUE(host.pressAlertButton("确认"));
        ASSERT_TRUE(alertShown(a.alert)) << topAlertTitle();
        if (&a == &answers[3]) saveScreenshot("some-lines-and-where-to-look");
        topAlert()->tapButtonAtIndex(0);
        EXPECT_FALSE(buy->doTradeNow());
    }
    EXPECT_TRUE(subscriptions().empty());
    // Taken: 当日委托 lists both as the alert says.
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kConfirmTitle));
    ASSERT_TRUE(host.pressAlertButton("确认"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle().find("已提交") != std::string::npos; })) << topAlertTitle();
    EXPECT_EQ(topAlertTitle().find(whereToLook), std::string::npos) << "a line for each issue";
    ASSERT_EQ(subscriptions().size(), 2u);
    topAlert()->tapButtonAtIndex(0);
    auto today = openItem(kTodaysOrdersItem);
    ASSERT_TRUE(today && gridShows(*today, 2));
    VTATableView& grid = *today->myTableView();
    const auto row = grid.rowItems(1);  // newest first
    EXPECT_EQ(row[size_t(columnTitled(grid, "委托编号"))], std::to_string(subscriptions()[0].ordersno));
    EXPECT_EQ(row[size_t(columnTitled(grid, "证券代码"))], "002888");
    EXPECT_EQ(row[size_t(columnTitled(grid, "买卖方向"))], "申购");
    EXPECT_EQ(row[size_t(columnTitled(grid, "委托状态"))], "已报");
}

TEST_F(NewIssuesTest, TheLimitsAreAskedOnceAndTheThirdIssuesKeyboardScrollsTheForm) {
    auto buy = subscribe({"002888", "300888", "732888"});
    ASSERT_TRUE(buy);
    ASSERT_EQ(buy->xgCodes().size(), 3u);
    // Away and back: the limits are not asked again.
    auto other = std::make_shared<VTAXGBuyViewController>();
    pushViewController(other);
    settle();
    popViewControllers(1);
    settle();
    EXPECT_EQ(sim->requestsOf(100, 30).size(), 1u);
    // An unreadable calculation ends its stage: "确定" asks again.
    sim->answerNext({100, 19}, {1, 2, 3});
    typeIntoIssue(*buy, 0, "500");
    typeIntoIssue(*buy, 1, "500");
    revealIssue(*buy, 2);
    tapView(buy->item(2));
    settle(0.5);
    EXPECT_EQ(buy->tableView()->contentOffset().y, 820);
    EXPECT_FALSE(buy->tableView()->isScrollEnabled());
    EXPECT_TRUE(host.type("1000"));
    saveScreenshot("third-input");
    EXPECT_TRUE(host.key("完成") || host.key("return"));
    settle(0.5);
    EXPECT_FALSE(buy->item(2)->isEditing());
    EXPECT_TRUE(buy->tableView()->isScrollEnabled());
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(RequestBinding::kUnreadableText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(buy->getComformInfo());
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAXGBuyViewController::kConfirmTitle));
    EXPECT_EQ(sim->requestsOf(100, 19).size(), 2u);
}

}  // namespace
