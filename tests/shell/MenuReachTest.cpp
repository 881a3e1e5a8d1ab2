// The menu the simulated server sends at login reaches every screen the client
// has: from the home board, every item of the downloaded tree is opened as a
// tap does (board button, then the rows of the menu lists), each screen the
// dispatcher maps is pushed and shows its title, and the customer comes back.
// Links whose screens come with later steps are listed: they open nothing.
#include "LaunchTestSupport.h"

#include <map>
#include <set>

#include "core/Brokerage.h"
#include "core/RequestText.h"
#include "net/HTTPQueue.h"
#include "net/HTTPRequest.h"
#include "platform/host/ViewQueries.h"
#include "platform/uikit/UIWebView.h"
#include "shell/Navigation.h"
#include "shell/VTAListViewController.h"
#include "shell/VTAUIFactory.h"
#include "shell/VTAWebViewController.h"
#include "shell/WebFetcher.h"

namespace {

// The link commands of the simulator's menu (and of its server-filled list)
// whose screens belong to later steps: quotes, trading, funds and margin.
// When a step registers one of them, it leaves this list (the walk then opens
// it like any other screen).
const std::set<std::string> kLaterScreens = {};

// Screens registered under a link command that the menu does not carry:
// other screens open them. Each with where it opens from.
const std::map<std::string, std::string> kOpenedElsewhere = {
    {"tradelogin", "the trade gate, customer service's 关联资金帐号, the web page's relate link"},
    {"msgsetting", "the settings screen's 消息提醒设置"},
    {"softtoken", "customer service's 手机令牌, the trade login's token button and re-enrol dialog"},
};

std::string shownTexts() {
    std::string out;
    for (const auto& t : visibleTexts()) out += "\"" + t.substr(0, 40) + "\" ";
    return out;
}

bool onScreen(const std::string& text) {
    auto views = visibleViews();
    return findVisibleText(views, text) != nullptr;
}

class MenuReachTest : public LaunchFixture {
protected:
    void SetUp() override {
        LaunchFixture::SetUp();
        installWebFetcher();
    }
    void TearDown() override {
        UIWebView::setDefaultFetcher(nullptr);
        LaunchFixture::TearDown();
    }

    size_t depth() const { return delegate->navigationController()->viewControllers().size(); }

    static std::vector<std::string> takeAlerts() {
        std::vector<std::string> titles;
        for (auto& a : UIAlertView::visibleAlerts()) {
            titles.push_back(a->title());
            a->dismissWithClickedButtonIndex(0, false);
        }
        return titles;
    }

    // Opens one item with `open` (a tap on its board button or list row) and
    // checks what the customer sees; comes back to the screen it started from.
    void visit(const std::shared_ptr<VTAMenu>& item, const std::function<std::shared_ptr<UIViewController>()>& open,
               const std::string& path) {
        SCOPED_TRACE(path);
        const std::string command = stripQuery(item->link());
        const bool group = item->m_id() != -1 && !visibleMenusOfNode(item->m_id()).empty();
        const bool mapped = group || VTAUIFactory::hasScreen(command);
        UIViewController* from = top();
        const size_t before = depth();

        auto vc = open();
        run(1);
        if (!mapped) {
            // A screen of a later step: nothing is pushed (the trade gate may
            // say the trade login is missing).
            EXPECT_FALSE(vc);
            EXPECT_EQ(depth(), before);
            EXPECT_EQ(top(), from);
            for (const auto& title : takeAlerts()) EXPECT_EQ(title, VTAUIFactory::kNoTradeLoginText);
            unmapped.insert(command);
            return;
        }
        ASSERT_TRUE(vc) << item->link();
        EXPECT_EQ(top(), vc.get());
        EXPECT_EQ(depth(), before + 1);
        EXPECT_FALSE(vc->title().empty());
        // The navigation bar shows the screen's title.
        EXPECT_TRUE(onScreen(vc->title())) << "title not shown: " << vc->title() << "; shown: " << shownTexts();
        if (!group) opened.insert(command);

        if (auto* list = dynamic_cast<VTAListViewController*>(vc.get())) {
            if (list->listType() == VTAListViewController::kServerList) {
                ASSERT_TRUE(waitFor([&] { return !list->menus().empty() || !UIAlertView::visibleAlerts().empty(); }));
                serverRows += list->menus().size();
            }
            EXPECT_FALSE(list->menus().empty());
            for (size_t i = 0; i < list->menus().size(); ++i) {
                auto row = list->menus()[i];
                list->tableView()->scrollToRowAtIndexPath({0, static_cast<int>(i)}, UITableViewScrollPosition::None,
                                                          false);
                list->tableView()->layoutIfNeeded();
                EXPECT_TRUE(onScreen(row->title())) << row->title();
                visit(
                    row, [list, i] { return list->openItemAtIndex(static_cast<int>(i)); }, path + " > " + row->title());
                if (HasFatalFailure()) return;
            }
        }
        if (auto* web = dynamic_cast<VTAWebViewController*>(vc.get())) checkWebPage(*web);

        EXPECT_TRUE(takeAlerts().empty()) << "an alert on " << vc->title();
        popViewControllers(1);
        run(1);
        EXPECT_EQ(depth(), before);
        EXPECT_EQ(top(), from);
    }

    // The help page the menu points at: served by the simulator, its plain
    // link loads the next page, its "@qzopt=" links open screens.
    void checkWebPage(VTAWebViewController& page) {
        auto* web = page.webView();
        ASSERT_TRUE(waitFor([&] { return !web->isLoading() && !web->pageText().empty(); }));
        EXPECT_NE(web->pageText().find("使用帮助"), std::string::npos) << web->pageText();
        EXPECT_EQ(web->request().URL(), sim->url() + "/page/help.html");
        EXPECT_TRUE(onScreen(std::string("客服热线 ") + kBrokerageHotline));
        webPages++;

        const size_t before = depth();
        web->activateLink("@qzopt=open?link=about&title=关于");
        run(1);
        ASSERT_EQ(depth(), before + 1);
        EXPECT_EQ(top()->title(), "关于");
        popViewControllers(1);
        run(1);

        web->activateLink("faq.html");
        ASSERT_TRUE(
            waitFor([&] { return !web->isLoading() && web->pageText().find("常见问题") != std::string::npos; }));
        EXPECT_EQ(web->request().URL(), sim->url() + "/page/faq.html");
        EXPECT_EQ(depth(), before);
        ASSERT_TRUE(web->canGoBack());
        web->goBack();
        ASSERT_TRUE(
            waitFor([&] { return !web->isLoading() && web->pageText().find("使用帮助") != std::string::npos; }));
    }

    std::set<std::string> opened, unmapped;
    size_t serverRows = 0;
    int webPages = 0;
};

TEST_F(MenuReachTest, EveryItemOfTheDownloadedMenuOpensItsScreenOrIsALaterStep) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    ASSERT_FALSE(HasFatalFailure());
    auto* board = home();
    ASSERT_TRUE(board);
    ASSERT_GE(board->boardMenus().size(), 7u);

    for (size_t i = 0; i < board->boardMenus().size(); ++i) {
        auto item = board->boardMenus()[i];
        ASSERT_EQ(top(), board);
        visit(
            item, [board, i] { return board->openBoardItem(static_cast<int>(i)); }, item->title());
        ASSERT_FALSE(HasFatalFailure());
    }

    // Every registered screen is on the menu, or another screen opens it.
    for (const auto& command : ScreenRegistry::shared().commands())
        EXPECT_TRUE(opened.count(command) || kOpenedElsewhere.count(command))
            << "no menu item opens \"" << command << "\" (list it with where it opens from)";
    // What the menu links to and nobody maps is exactly the later steps' list.
    for (const auto& command : unmapped)
        EXPECT_TRUE(kLaterScreens.count(command)) << "\"" << command << "\" maps to no screen";
    for (const auto& command : kLaterScreens)
        EXPECT_TRUE(unmapped.count(command) || opened.count(command))
            << "\"" << command << "\" is not on the menu any more";
    for (const auto& command : opened)
        EXPECT_FALSE(kLaterScreens.count(command)) << "\"" << command << "\" has its screen now: take it off the list";
    EXPECT_EQ(serverRows, 4u);
    EXPECT_EQ(webPages, 1);
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("newstypeid"), "01");
    EXPECT_GE(sim->requestsOf(504, 1).size(), 1u);
}

TEST_F(MenuReachTest, WithATradeSessionTradeLinksWithoutScreensStillOpenNothing) {
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    ASSERT_FALSE(HasFatalFailure());
    openTradeSession();
    const size_t before = depth();
    int tried = 0;
    for (const auto& group : visibleMenusOfNode(-1)) {
        for (const auto& item : visibleMenusOfNode(group->m_id())) {
            if (!VTAUIFactory::isTradeLink(item->link()) || VTAUIFactory::hasScreen(stripQuery(item->link()))) continue;
            EXPECT_FALSE(VTAUIFactory::openMenuWithTradeGate(item)) << item->link();
            ++tried;
        }
    }
    run(1);
    // Every such link waits on the list; once the list is empty there is none to try.
    if (kLaterScreens.empty())
        EXPECT_EQ(tried, 0);
    else
        EXPECT_GT(tried, 0);
    EXPECT_EQ(depth(), before);
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

}  // namespace
