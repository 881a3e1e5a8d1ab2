// The fund menu lists over the simulator's menu: the visible children of the
// item, the trade login in front of every row without a trading login, and
// the list's message handed on to the screen a row opens.
#include "FundTestSupport.h"

#include "core/MenuFunctions.h"
#include "core/VTAMessage.h"
#include "funds/VTAJJBuySaleViewController.h"
#include "funds/VTAJJListController.h"
#include "messages/MessageScreens.h"

namespace {

class FundMenuListTest : public FundTest {
protected:
    void SetUp() override {
        FundTest::SetUp();
        registerMessageScreens(ScreenRegistry::shared());  // the news lists of the fund information
        // The menu the simulator sends at login.
        ASSERT_TRUE(installMenuFromData(menuRecordSetsData(sim->registry().menu().records(), {})));
    }
    VTAJJListController* openList(const std::string& command, int parent,
                                  std::shared_ptr<VTAMessage> message = nullptr) {
        auto items = menusWithLink(command, parent);
        EXPECT_TRUE(items && !items->empty()) << command;
        if (!items || items->empty()) return nullptr;
        auto vc = VTAUIFactory::viewControllerWithMenu(items->front());
        if (message) static_cast<VTAViewControllers*>(vc.get())->setViewMessage(message);
        pushViewController(vc);
        settle();
        return dynamic_cast<VTAJJListController*>(top());
    }
    std::vector<std::string> titles(VTAJJListController* list) {
        std::vector<std::string> out;
        for (const auto& m : list->menus()) out.push_back(m->title());
        return out;
    }
    void tapRow(VTAJJListController* list, int row) {
        list->tableView()->window()->layoutIfNeeded();
        auto cell = list->tableView()->cellForRowAtIndexPath({0, row});
        ASSERT_TRUE(cell);
        tapView(cell.get());
        settle();
    }
};

TEST_F(FundMenuListTest, TheListShowsTheItemsChildrenAndOpensThemForATrader) {
    auto* list = openList("openfund", 3);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "开放式基金");
    EXPECT_EQ(list->jjListDataSourceType(), 1);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"基金认购", "基金申购", "基金赎回", "基金撤单"}));
    EXPECT_EQ(toolbarTitles(list), (std::vector<std::string>{"首页", "个股", "刷新"}));
    EXPECT_EQ(list->tableView()->style(), UITableViewStyle::Grouped);
    saveScreenshot("openfund");
    tapRow(list, 1);
    auto* form = dynamic_cast<VTAJJBuySaleViewController*>(top());
    ASSERT_TRUE(form) << top()->title();
    EXPECT_EQ(form->title(), "基金申购");
    EXPECT_EQ(form->tradeType(), 2);
}

TEST_F(FundMenuListTest, WithoutATradingLoginARowWithAScreenOpensTheLoginWithTheItemAndTheMessage) {
    ScreensTest::clearTradeSession();
    auto message = VTAMessage::messageWithSender(std::any(), std::any(std::string("ofcode=270001")), 0);
    auto* list = openList("of_jjzx", -1, message);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->jjListDataSourceType(), 0);
    EXPECT_EQ(titles(list), (std::vector<std::string>{"基金要闻", "研究报告"}));
    tapRow(list, 0);
    auto* login = dynamic_cast<VTATradeLoginViewController*>(top());
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "交易登录");
    ASSERT_TRUE(login->viewMenu());
    EXPECT_EQ(login->viewMenu()->title(), "基金要闻");
    ASSERT_TRUE(login->viewMessage());
    EXPECT_EQ(login->viewMessage()->dataText(), "ofcode=270001");

    // A row whose link no screen serves opens nothing, the login neither.
    auto records = sim->registry().menu().records();
    records.push_back({990, 319, "基金定投", "of_jjdt"});
    ASSERT_TRUE(installMenuFromData(menuRecordSetsData(records, {})));
    auto* funds = openList("openfund", 3);
    ASSERT_TRUE(funds);
    ASSERT_EQ(titles(funds).back(), "基金定投");
    const size_t before = depth();
    tapRow(funds, static_cast<int>(funds->menus().size()) - 1);
    EXPECT_EQ(depth(), before);
    EXPECT_EQ(top(), funds);
    tapRow(funds, 0);
    EXPECT_TRUE(dynamic_cast<VTATradeLoginViewController*>(top())) << "the others still ask for it";
}

TEST_F(FundMenuListTest, ATraderGetsTheListsMessageOnTheScreenARowOpens) {
    auto message = VTAMessage::messageWithSender(std::any(), std::any(std::string("ofcode=270001")), 0);
    auto* list = openList("of_jjzx", -1, message);
    ASSERT_TRUE(list);
    tapRow(list, 1);
    auto* opened = dynamic_cast<VTAViewControllers*>(top());
    ASSERT_TRUE(opened && opened != list);
    EXPECT_EQ(opened->title(), "研究报告");
    ASSERT_TRUE(opened->viewMessage());
    EXPECT_EQ(opened->viewMessage()->dataText(), "ofcode=270001");
    EXPECT_EQ(opened->viewMessage()->type(), 0);
}

TEST_F(FundMenuListTest, HiddenItemsAreNotListedAndRefreshAsksNothing) {
    auto* list = openList("sgb", 3);
    ASSERT_TRUE(list);
    const size_t before = sim->requests().size();
    ASSERT_TRUE(tapToolbar(list, "刷新"));
    EXPECT_EQ(sim->requests().size(), before);
    for (const auto& m : list->menus()) EXPECT_TRUE(m->showOrNot());
    EXPECT_EQ(titles(list), (std::vector<std::string>{"按基金公司", "按基金状态", "全部基金"}));
    // The board does not show the fund information list, yet the hub finds it.
    for (const auto& group : visibleMenusOfNode(-1)) EXPECT_NE(group->link(), "of_jjzx");
}

}  // namespace
