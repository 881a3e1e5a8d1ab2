// The dispatcher's registry, the menu groups, the trade links and the trade gate.
#include "ScreensTestSupport.h"

#include "core/RequestText.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "net/NetworkManager.h"
#include "shell/TradeSession.h"
#include "shell/VTAAboutText.h"
#include "shell/VTACustomerServiceViewController.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/VTAFeedbackViewController.h"
#include "shell/VTAListViewController.h"
#include "shell/VTASettingViewController.h"
#include "shell/VTAWebViewController.h"

namespace {

class DispatcherTest : public ScreensTest {
protected:
    // Registers a recording screen under the command; counts the factory's calls.
    void registerRecording(const std::string& command, bool trade = false) {
        ScreenRegistry::shared().addScreen(
            command,
            [this](const std::shared_ptr<VTAMenu>& m) {
                made.push_back(m);
                return std::make_shared<RecordingScreen>();
            },
            ScreenOptions{.tradeScreen = trade});
    }
    std::vector<std::shared_ptr<VTAMenu>> made;
};

TEST_F(DispatcherTest, MapsTheCommandWithoutItsQueryAndHandsTitleAndMenu) {
    registerRecording("zxhq");
    auto item = menu("zxhq?market=1&type=2", "自选股");
    auto vc = VTAUIFactory::viewControllerWithMenu(item);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "自选股");
    auto* screen = dynamic_cast<RecordingScreen*>(vc.get());
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->viewMenu(), item);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0], item);

    // A command that only begins like a registered one is another command.
    EXPECT_FALSE(VTAUIFactory::viewControllerWithLink("zxhqx", "x"));
    EXPECT_FALSE(VTAUIFactory::viewControllerWithLink("", "空"));
    EXPECT_FALSE(VTAUIFactory::viewControllerWithMenu(nullptr));
}

TEST_F(DispatcherTest, UnknownLinksAndEmptyFactoriesAreNeverPushed) {
    ScreenRegistry::shared().addScreen("rzrq_rzmr",
                                       [](const std::shared_ptr<VTAMenu>& m) -> std::shared_ptr<UIViewController> {
                                           auto flag = queryValue(m->link(), "creditflag");
                                           if (flag != "0" && flag != "1") return nullptr;
                                           return std::make_shared<RecordingScreen>();
                                       });
    setTradeSession();
    size_t before = depth();
    EXPECT_FALSE(VTAUIFactory::openMenuWithTradeGate(menu("nosuchscreen?x=1", "没有")));
    EXPECT_FALSE(VTAUIFactory::openMenuWithTradeGate(menu("rzrq_rzmr?creditflag=7", "融资")));
    settle();
    EXPECT_EQ(depth(), before);
    EXPECT_FALSE(pushViewController(nullptr));
    EXPECT_TRUE(VTAUIFactory::openMenuWithTradeGate(menu("rzrq_rzmr?creditflag=1", "融券卖出")));
    settle();
    EXPECT_EQ(depth(), before + 1);
    EXPECT_EQ(top()->title(), "融券卖出");
}

TEST_F(DispatcherTest, OptionsKeepTheFactorysTitleAndWithholdTheMenu) {
    ScreenOptions o;
    o.keepsTitle = true;
    o.withoutMenu = true;
    ScreenRegistry::shared().addScreen(
        "zghs",
        [](const auto&) {
            auto s = std::make_shared<RecordingScreen>();
            s->setTitle("转股回售");
            return s;
        },
        o);
    auto vc = VTAUIFactory::viewControllerWithLink("zghs", "菜单标题");
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "转股回售");
    EXPECT_FALSE(dynamic_cast<RecordingScreen*>(vc.get())->viewMenu());
}

TEST_F(DispatcherTest, AnItemWithChildrenOpensAListOfItsVisibleChildren) {
    auto tree = std::make_shared<VTATree>();
    tree->addMenu(menu("", "行情", 1, -1), -1);
    tree->addMenu(menu("zxhq", "自选股", 11, 1), 1);
    auto hidden = menu("pxhq", "排行", 12, 1);
    hidden->setShowOrNot(false);
    tree->addMenu(hidden, 1);
    tree->addMenu(menu("setting", "设置", 13, 1), 1);
    VTATree::setSharedTree(tree);

    auto group = tree->nodeWithId(1)->menu();
    auto vc = VTAUIFactory::openMenuWithTradeGate(group);
    ASSERT_TRUE(vc);
    auto* list = dynamic_cast<VTAListViewController*>(vc.get());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "行情");
    ASSERT_EQ(list->menus().size(), 2u);
    EXPECT_EQ(list->menus()[0]->title(), "自选股");
    EXPECT_EQ(list->menus()[1]->title(), "设置");
    settle();

    // A tap on the list's row opens the item through the dispatcher.
    list->tableView()->layoutIfNeeded();
    auto cell = list->tableView()->cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(cell);
    UIApplication::sharedApplication().tapAt(cell->convertPointToView(CGPointMake(100, 20), nullptr));
    settle();
    EXPECT_TRUE(dynamic_cast<VTASettingViewController*>(top()));
    // A row without a screen opens nothing.
    popViewControllers(1);
    settle();
    EXPECT_FALSE(list->openItemAtIndex(0));
    EXPECT_FALSE(list->openItemAtIndex(5));
}

TEST_F(DispatcherTest, TradeLinksAreKnownBeforeTheirScreensExist) {
    for (const char* link : {"buysale?MMLB=0", "wtcd", "trade_gfcx?tc_mfuncno=500&tc_sfuncno=10", "jsf_yzzz", "of_jjsg",
                             "kvrmr", "zndt_kt", "zghs", "rzrq_rzmr?creditflag=0", "rzrq_zdhksz"})
        EXPECT_TRUE(VTAUIFactory::isTradeLink(link)) << link;
    for (const char* link :
         {"zxhq", "pxhq?market=1", "fschart", "newslist", "setting", "pushmsg", "of_jjcx", "", "buysalex"})
        EXPECT_FALSE(VTAUIFactory::isTradeLink(link)) << link;
    registerRecording("mytrade", true);
    EXPECT_TRUE(VTAUIFactory::isTradeLink("mytrade?a=1"));
}

TEST_F(DispatcherTest, WithoutASessionOrLoginScreenTheGateAlertsAndOpensNothing) {
    registerRecording("wtcd");
    size_t before = depth();
    EXPECT_FALSE(VTAUIFactory::openMenuWithTradeGate(menu("wtcd", "撤单")));
    settle();
    EXPECT_EQ(depth(), before);
    EXPECT_EQ(topAlertTitle(), "请先登录交易");
    EXPECT_TRUE(made.empty());
}

TEST_F(DispatcherTest, WithoutASessionTheTradeLoginOpensWithTheItemPending) {
    registerRecording("wtcd");
    std::shared_ptr<VTAMenu> pending;
    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& m) {
        pending = m;
        return std::make_shared<RecordingScreen>();
    });
    auto item = menu("wtcd", "撤单");
    auto message = VTAMessage::messageWithSender(std::any(), std::string("stkcode=600000"), 0);
    auto vc = VTAUIFactory::openMenuWithTradeGate(item, message);
    ASSERT_TRUE(vc);
    settle();
    EXPECT_EQ(top(), vc.get());
    EXPECT_EQ(vc->title(), "交易登录");
    EXPECT_EQ(pending, item);
    auto* login = dynamic_cast<RecordingScreen*>(vc.get());
    EXPECT_EQ(login->viewMenu(), item);
    EXPECT_EQ(login->viewMessage(), message);
    EXPECT_TRUE(made.empty());  // the trade screen itself was not made
    EXPECT_FALSE(VTAUIFactory::isTradeScreen(vc.get()));

    // A session needs both values: the text alone is not one.
    VTAParamter::shareParamter().setString("authid=1", "tradeUserInfo");
    EXPECT_FALSE(hasTradeSession());
}

TEST_F(DispatcherTest, WithASessionTheTradeScreenOpensAndIsMarked) {
    registerRecording("wtcd");
    ScreenRegistry::shared().setTradeLogin([](const auto&) { return std::make_shared<RecordingScreen>(); });
    setTradeSession();
    ASSERT_TRUE(hasTradeSession());
    auto vc = VTAUIFactory::openMenuWithTradeGate(menu("wtcd", "撤单"));
    ASSERT_TRUE(vc);
    settle();
    EXPECT_EQ(top(), vc.get());
    EXPECT_EQ(vc->title(), "撤单");
    EXPECT_TRUE(VTAUIFactory::isTradeScreen(vc.get()));
    EXPECT_FALSE(VTAUIFactory::isTradeScreen(root.get()));
}

TEST_F(DispatcherTest, TradeViewControllerWithLinkFollowsTheSession) {
    registerRecording("buysale");
    EXPECT_FALSE(VTAUIFactory::tradeViewControllerWithLink("nosuch", "x"));
    EXPECT_FALSE(VTAUIFactory::tradeViewControllerWithLink("buysale?MMLB=0", "买入"));  // no login yet
    ScreenRegistry::shared().setTradeLogin([](const auto&) {
        auto s = std::make_shared<RecordingScreen>();
        s->setViewMessage(VTAMessage::messageWithSender(std::any(), std::string("login"), 0));
        return s;
    });
    auto login = VTAUIFactory::tradeViewControllerWithLink("buysale?MMLB=0", "买入");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "交易登录");
    EXPECT_EQ(dynamic_cast<RecordingScreen*>(login.get())->viewMenu()->link(), "buysale?MMLB=0");
    EXPECT_TRUE(made.empty());
    setTradeSession();
    auto order = VTAUIFactory::tradeViewControllerWithLink("buysale?MMLB=0", "买入");
    ASSERT_TRUE(order);
    EXPECT_EQ(order->title(), "买入");
    EXPECT_EQ(made.size(), 1u);
}

TEST_F(DispatcherTest, TheShellsOwnLinksMakeTheirScreens) {
    EXPECT_TRUE(dynamic_cast<VTASettingViewController*>(VTAUIFactory::viewControllerWithLink("setting", "设置").get()));
    EXPECT_TRUE(
        dynamic_cast<VTADisclaimerViewController*>(VTAUIFactory::viewControllerWithLink("disclaimer", "免责").get()));
    EXPECT_TRUE(
        dynamic_cast<VTAFeedbackViewController*>(VTAUIFactory::viewControllerWithLink("feedback", "反馈").get()));
    EXPECT_TRUE(dynamic_cast<VTACustomerServiceViewController*>(
        VTAUIFactory::viewControllerWithLink("customerservice", "客服").get()));
    auto about = VTAUIFactory::viewControllerWithLink("about", "关于");
    ASSERT_TRUE(about);
    EXPECT_EQ(about->title(), "关于");
    auto web = VTAUIFactory::viewControllerWithLink("webpage?url=http://127.0.0.1/a?b=1&c=2", "网页");
    auto* page = dynamic_cast<VTAWebViewController*>(web.get());
    ASSERT_TRUE(page);
    EXPECT_EQ(VTAWebViewController::addressOfLink(page->viewMenu()->link()), "http://127.0.0.1/a?b=1&c=2");
    // A path is a page of the service's current host, wherever that now is.
    NetworkManager::manager().setLoopbackHost("http://127.0.0.1:8077");
    EXPECT_EQ(VTAWebViewController::addressOfLink("webpage?url=/page/help.html"),
              "http://127.0.0.1:8077/page/help.html");
    NetworkManager::manager().setLoopbackHost("http://127.0.0.1:8078");
    EXPECT_EQ(VTAWebViewController::addressOfLink("webpage?url=/page/help.html"),
              "http://127.0.0.1:8078/page/help.html");
    auto news = VTAUIFactory::viewControllerWithLink("newsmenu?tc_mfuncno=504&tc_sfuncno=1", "资讯");
    auto* list = dynamic_cast<VTAListViewController*>(news.get());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->listType(), VTAListViewController::kServerList);
    // A later step may replace an entry; a reset brings the shell's back.
    registerRecording("setting");
    EXPECT_TRUE(dynamic_cast<RecordingScreen*>(VTAUIFactory::viewControllerWithLink("setting", "设置").get()));
    resetShellScreens();
    EXPECT_TRUE(dynamic_cast<VTASettingViewController*>(VTAUIFactory::viewControllerWithLink("setting", "设置").get()));
}

TEST_F(DispatcherTest, TheStockPageEntryOpensOnlyWhenRegisteredAndInRange) {
    auto stock = std::make_shared<VTAStock>("600000", "浦发银行", 2);
    EXPECT_FALSE(VTAUIFactory::hasStockPage());
    EXPECT_FALSE(VTAUIFactory::stockPageWithStocks({stock}, 0));
    int seenIndex = -1;
    ScreenRegistry::shared().setStockPage([&](const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) {
        seenIndex = index;
        auto s = std::make_shared<RecordingScreen>();
        s->setTitle(stocks[index]->name());
        return s;
    });
    EXPECT_FALSE(VTAUIFactory::stockPageWithStocks({stock}, 1));
    EXPECT_FALSE(VTAUIFactory::stockPageWithStocks({nullptr}, 0));
    EXPECT_FALSE(VTAUIFactory::stockPageWithStocks({}, 0));
    EXPECT_EQ(seenIndex, -1);
    auto vc = VTAUIFactory::stockPageWithStocks({stock, stock}, 1);
    ASSERT_TRUE(vc);
    EXPECT_EQ(seenIndex, 1);
    EXPECT_EQ(vc->title(), "浦发银行");
}

}  // namespace
