// The dispatcher's link table: every link of the quote, trade, fund, margin
// and news screens with its class and set-up, the class makers later steps
// register, and the trade gate for links whose screens come later.
#include "ScreensTestSupport.h"

#include <map>
#include <set>

#include "core/VTAMessage.h"
#include "platform/uikit/UIScreen.h"
#include "shell/TradeSession.h"
#include "shell/VTALinkTable.h"
#include "shell/VTAListViewController.h"

namespace {

// What a class maker saw.
struct Made {
    LinkSetup setup;
    std::shared_ptr<VTAMenu> menu;
};

class LinkTableTest : public ScreensTest {
protected:
    void TearDown() override {
        UIDevice::currentDevice().setSystemVersion("4.1");
        ScreensTest::TearDown();
    }
    void registerClass(const std::string& cls) {
        ScreenRegistry::shared().addScreenClass(cls, [this](const LinkSetup& s, const std::shared_ptr<VTAMenu>& m) {
            made.push_back({s, m});
            auto screen = std::make_shared<RecordingScreen>();
            screen->setTitle("maker's own title");
            return screen;
        });
    }
    std::shared_ptr<UIViewController> make(const std::string& link, const std::string& title = "菜单") {
        return VTAUIFactory::viewControllerWithMenu(menu(link, title));
    }
    std::vector<Made> made;
};

TEST_F(LinkTableTest, EveryLinkIsListedOnceWithItsClassAndSetUp) {
    std::set<std::string> commands;
    for (const auto& e : VTALinkTable::entries()) {
        EXPECT_TRUE(commands.insert(e.command).second) << "twice: " << e.command;
        EXPECT_FALSE(e.screenClass.empty()) << e.command;
    }
    EXPECT_EQ(commands.size(), 67u);

    // command -> class, setter, value
    const std::map<std::string, std::tuple<std::string, std::string, int>> expected = {
        {"fschart", {"VTAHQViewController", "setChartType:", 0}},
        {"kxchart", {"VTAHQViewController", "setChartType:", 1}},
        {"bkhqlist", {"VTABKTableViewController", "initWithContentType:", 1}},
        {"of_jjrg", {"VTAJJBuySaleViewController", "setTradeType:", 1}},
        {"of_jjsg", {"VTAJJBuySaleViewController", "setTradeType:", 2}},
        {"jlcrg", {"VTAJLCBuySaleViewController", "setTradeType:", 1}},
        {"jlcsg", {"VTAJLCBuySaleViewController", "setTradeType:", 2}},
        {"of_jjxx", {"VTAJJQueryViewController", "setPageType:", 1}},
        {"of_wtcd", {"VTAJJQueryViewController", "setPageType:", 2}},
        {"of_fecx", {"VTAJJQueryViewController", "setPageType:", 3}},
        {"of_wdjj", {"VTAJJQueryViewController", "setPageType:", 4}},
        {"of_jjpx", {"VTAJJQueryViewController", "setPageType:", 5}},
        {"of_jjpj", {"VTAJJQueryViewController", "setPageType:", 6}},
        {"of_jycx", {"VTAJJQueryViewController", "setPageType:", 7}},
        {"of_jjcx", {"VTAJJFinderViewController", "setIsFindByName:", 0}},
        {"of_jjmc", {"VTAJJFinderViewController", "setIsFindByName:", 1}},
        {"of_jjzx", {"VTAJJListController", "setJjListDataSourceType:", 0}},
        {"sgb", {"VTAJJListController", "setJjListDataSourceType:", 1}},
        {"openfund", {"VTAJJListController", "setJjListDataSourceType:", 1}},
        {"kvrcp", {"VTAKVRQueryViewController", "setQueryType:", 0}},
        {"kvrzz", {"VTAKVRQueryViewController", "setQueryType:", 1}},
        {"wtcd", {"VTATradeCancelViewController", "", 0}},
        {"jsf_cxzhzj", {"GTPAccountQueryViewController", "", 0}},
        {"rzrq_zdhksz", {"MarginAutoRepaymentViewController", "", 0}},
        {"newscontent", {"InfoContentViewController", "", 0}},
    };
    for (const auto& [command, want] : expected) {
        auto e = VTALinkTable::entryForCommand(command);
        ASSERT_TRUE(e) << command;
        EXPECT_EQ(e->screenClass, std::get<0>(want)) << command;
        EXPECT_EQ(e->setter, std::get<1>(want)) << command;
        EXPECT_EQ(e->value, std::get<2>(want)) << command;
    }
    EXPECT_FALSE(VTALinkTable::entryForCommand("pushmsg"));
    EXPECT_FALSE(VTALinkTable::entryForCommand("f10"));
}

TEST_F(LinkTableTest, TradeLinksAreThoseOfTradingFundsAndMarginOnly) {
    int trade = 0;
    for (const auto& e : VTALinkTable::entries()) {
        EXPECT_EQ(VTAUIFactory::isTradeLink(e.command + "?x=1"), e.trade) << e.command;
        trade += e.trade;
    }
    EXPECT_EQ(trade, 53);
    for (const char* link : {"of_jjxx?tc_mfuncno=100&tc_sfuncno=26", "kvrmr", "kvrcp", "jlccp", "zndt_cx", "jysjjss",
                             "rzrq_dbpzq", "rzrq_xyzccx", "banktranquery", "jsf_yjzz"})
        EXPECT_TRUE(VTAUIFactory::isTradeLink(link)) << link;
    // Quotes, news, the fund finder and the fund menu lists need no trade session.
    for (const char* link : {"bkhqlist", "kxchart", "zgzs", "newscontent", "of_jjmc", "of_jjzx", "sgb", "openfund",
                             "trademenu", "rzrq", "webpage?url=http://x/buysale"})
        EXPECT_FALSE(VTAUIFactory::isTradeLink(link)) << link;
}

TEST_F(LinkTableTest, AClassMakerOpensEveryLinkOfItsClassSetUpAsTheTableSays) {
    EXPECT_FALSE(make("of_fecx"));  // the class is not built yet
    EXPECT_FALSE(VTAUIFactory::hasScreen("of_fecx"));
    registerClass("VTAJJQueryViewController");
    EXPECT_TRUE(ScreenRegistry::shared().hasScreenClass("VTAJJQueryViewController"));
    EXPECT_TRUE(VTAUIFactory::hasScreen("of_fecx"));
    EXPECT_FALSE(VTAUIFactory::hasScreen("of_jjsh"));

    setTradeSession();
    auto item = menu("of_fecx?tc_mfuncno=500&tc_sfuncno=41", "份额查询");
    auto vc = VTAUIFactory::openMenuWithTradeGate(item);
    ASSERT_TRUE(vc);
    settle();
    EXPECT_EQ(top(), vc.get());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].setup.setter, "setPageType:");
    EXPECT_EQ(made[0].setup.value, 3);
    EXPECT_EQ(made[0].menu, item);
    // The dispatcher gives the menu's title over the maker's and hands the item.
    EXPECT_EQ(vc->title(), "份额查询");
    EXPECT_EQ(dynamic_cast<RecordingScreen*>(vc.get())->viewMenu(), item);
    EXPECT_TRUE(VTAUIFactory::isTradeScreen(vc.get()));

    ASSERT_TRUE(make("of_jycx"));
    EXPECT_EQ(made.back().setup.value, 7);
}

TEST_F(LinkTableTest, FixedTitlesAndScreensMadeWithoutTheMenuItem) {
    for (const char* cls : {"IFIOpenViewController", "IFIOpenedQueryViewController", "CBTradeViewController",
                            "EFTradeViewController", "VTARZRQDBPHZSelectViewController"})
        registerClass(cls);
    auto open = make("zndt_kt", "定投开通");
    ASSERT_TRUE(open);
    EXPECT_EQ(open->title(), "开通智能定投");
    EXPECT_TRUE(dynamic_cast<RecordingScreen*>(open.get())->viewMenu());
    EXPECT_EQ(make("zndt_cx")->title(), "已开通的智能定投");

    auto cb = make("zghs", "可转债");
    ASSERT_TRUE(cb);
    EXPECT_EQ(cb->title(), "转股回售");
    EXPECT_FALSE(dynamic_cast<RecordingScreen*>(cb.get())->viewMenu());
    auto ef = make("jysjjss", "ETF");
    EXPECT_EQ(ef->title(), "交易所基金申赎");
    EXPECT_FALSE(dynamic_cast<RecordingScreen*>(ef.get())->viewMenu());

    auto collateral = make("rzrq_dbphz", "担保品划转");
    ASSERT_TRUE(collateral);
    EXPECT_EQ(collateral->title(), "");
    EXPECT_TRUE(dynamic_cast<RecordingScreen*>(collateral.get())->viewMenu());
}

TEST_F(LinkTableTest, TheOrderScreenFollowsTheSystemVersionAndTheDirection) {
    registerClass("TradeViewController");
    registerClass("VTATradeController");
    ASSERT_TRUE(make("buysale?MMLB=0", "买入"));
    EXPECT_EQ(made.back().setup.screenClass, "TradeViewController");
    EXPECT_EQ(made.back().setup.setter, "initWithTradeDirection:");
    EXPECT_EQ(made.back().setup.value, 0);
    ASSERT_TRUE(make("buysale?MMLB=1", "卖出"));
    EXPECT_EQ(made.back().setup.value, 1);
    ASSERT_TRUE(make("buysale?MMLB=2"));
    EXPECT_EQ(made.back().setup.value, 1);
    ASSERT_TRUE(make("buysale"));
    EXPECT_EQ(made.back().setup.value, 0);

    UIDevice::currentDevice().setSystemVersion("4.0.2");
    ASSERT_TRUE(make("buysale?MMLB=1"));
    EXPECT_EQ(made.back().setup.screenClass, "VTATradeController");
    EXPECT_EQ(made.back().setup.setter, "initWithType:");
    EXPECT_EQ(made.back().setup.value, 1);
    // "4.10" is newer than "4.1": compared as numbers, not as text.
    UIDevice::currentDevice().setSystemVersion("4.10");
    ASSERT_TRUE(make("buysale?MMLB=0"));
    EXPECT_EQ(made.back().setup.screenClass, "TradeViewController");
}

TEST_F(LinkTableTest, TheMarginOrderTakesItsSideAndTitleFromTheCreditFlag) {
    registerClass("MarginTradeViewController");
    registerClass("VTARZRQTradeViewController");
    auto buy = make("rzrq_rzmr?creditflag=0", "融资融券");
    ASSERT_TRUE(buy);
    EXPECT_EQ(buy->title(), "融资买入");
    EXPECT_EQ(made.back().setup.value, 0);
    auto sell = make("rzrq_rzmr?creditflag=1", "融资融券");
    ASSERT_TRUE(sell);
    EXPECT_EQ(sell->title(), "融券卖出");
    EXPECT_EQ(made.back().setup.value, 1);
    size_t before = made.size();
    EXPECT_FALSE(make("rzrq_rzmr?creditflag=2"));
    EXPECT_FALSE(make("rzrq_rzmr"));
    EXPECT_FALSE(make("rzrq_rzmr?creditflag=01"));
    EXPECT_EQ(made.size(), before);  // no screen was even made

    UIDevice::currentDevice().setSystemVersion("3.1.3");
    ASSERT_TRUE(make("rzrq_rzmr?creditflag=1"));
    EXPECT_EQ(made.back().setup.screenClass, "VTARZRQTradeViewController");
    EXPECT_EQ(made.back().setup.setter, "initWithTradeSide:");
    EXPECT_EQ(made.back().setup.textValue, "S");
    ASSERT_TRUE(make("rzrq_rzmr?creditflag=0"));
    EXPECT_EQ(made.back().setup.textValue, "B");
}

TEST_F(LinkTableTest, TheBankTransferDirectionComesFromTheItemsTitle) {
    registerClass("VTATransferController");
    ASSERT_TRUE(make("banktransfer", "证券转银行"));
    EXPECT_EQ(made.back().setup.value, 2);
    ASSERT_TRUE(make("banktransfer", "银行转证券"));
    EXPECT_EQ(made.back().setup.value, 1);
}

TEST_F(LinkTableTest, AnOwnEntryComesFirstAndAMakerKeepsAGroupFromBecomingAList) {
    registerClass("PortfolioViewController");
    ScreenRegistry::shared().addScreen("zxhq", [](const auto&) {
        auto s = std::make_shared<RecordingScreen>();
        s->setTitle("own entry");
        return s;
    });
    auto own = make("zxhq", "自选股");
    ASSERT_TRUE(own);
    EXPECT_TRUE(made.empty());
    resetShellScreens();
    registerClass("PortfolioViewController");
    ASSERT_TRUE(make("zxhq", "自选股"));
    EXPECT_EQ(made.size(), 1u);

    // An item with children whose link has a screen opens that screen, not a list.
    auto tree = std::make_shared<VTATree>();
    tree->addMenu(menu("of_jjzx", "基金资讯", 1, -1), -1);
    tree->addMenu(menu("of_jjcx", "基金查询", 11, 1), 1);
    VTATree::setSharedTree(tree);
    auto group = tree->nodeWithId(1)->menu();
    EXPECT_TRUE(dynamic_cast<VTAListViewController*>(VTAUIFactory::viewControllerWithMenu(group).get()));
    registerClass("VTAJJListController");
    auto fundList = VTAUIFactory::viewControllerWithMenu(group);
    ASSERT_TRUE(fundList);
    EXPECT_FALSE(dynamic_cast<VTAListViewController*>(fundList.get()));
    EXPECT_EQ(made.back().setup.setter, "setJjListDataSourceType:");
}

TEST_F(LinkTableTest, TheGateHoldsForAClassMadeScreenWithoutASession) {
    std::shared_ptr<VTAMenu> pending;
    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& m) {
        pending = m;
        return std::make_shared<RecordingScreen>();
    });
    registerClass("VTAKVRTradeViewController");
    auto login = VTAUIFactory::tradeViewControllerWithLink("kvrmr", "报价回购");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "交易登录");
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->link(), "kvrmr");
    EXPECT_TRUE(made.empty());
    setTradeSession();
    auto screen = VTAUIFactory::tradeViewControllerWithLink("kvrmr", "报价回购");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->title(), "报价回购");
    EXPECT_EQ(made.size(), 1u);
    // A link of the table whose class is not built yet makes nothing.
    EXPECT_FALSE(VTAUIFactory::tradeViewControllerWithLink("kvrcp", "产品"));
}

}  // namespace
