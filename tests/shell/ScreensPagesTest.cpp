// The shell's own pages: settings, the in-app web page and its link commands,
// the server-filled menu list, the stock finder's history file, disclaimer,
// invitation, update, customer service.
#include "ScreensTestSupport.h"

#include <fstream>

#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "platform/foundation/Paths.h"
#include "platform/services/MessageComposeViewController.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIWebView.h"
#include "shell/IdleTimeCheck.h"
#include "shell/VTACustomerServiceViewController.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/VTAInviteViewController.h"
#include "shell/VTAListViewController.h"
#include "shell/VTASettingViewController.h"
#include "shell/VTAUpdateViewController.h"
#include "shell/VTAWebViewController.h"

namespace {

class ScreensPagesTest : public ScreensTest {
protected:
    static std::pair<int, int> rowOf(const VTASettingViewController& s, const std::string& title) {
        for (size_t i = 0; i < s.sections().size(); ++i)
            for (size_t j = 0; j < s.sections()[i].rows.size(); ++j)
                if (s.sections()[i].rows[j].title == title) return {int(i), int(j)};
        return {-1, -1};
    }
};

TEST_F(ScreensPagesTest, SettingsAreWrittenAtOnceAndReadBack) {
    auto s = std::make_shared<VTASettingViewController>();
    pushViewController(s);
    settle();
    auto& defaults = VTAUserDefoult::standerDefoult();
    bool wasOn = defaults.getBoolForKey("auto refresh");

    auto [sec, row] = rowOf(*s, "自动刷新");
    ASSERT_GE(sec, 0);
    s->selectRow(sec, row);
    auto [isec, irow] = rowOf(*s, "刷新间隔");
    s->selectRow(isec, irow);
    ASSERT_TRUE(s->choiceSheet());
    EXPECT_TRUE(host.pressAlertButton("30秒"));
    auto [bsec, brow] = rowOf(*s, "大单标准");
    EXPECT_EQ(s->valueText(s->sections()[bsec].rows[brow]), "500手");  // absent: the newer lists' 500
    s->selectRow(bsec, brow);
    EXPECT_TRUE(host.pressAlertButton("1000手"));
    auto [lsec, lrow] = rowOf(*s, "交易锁定时间");
    s->selectRow(lsec, lrow);
    EXPECT_TRUE(host.pressAlertButton("5分钟"));
    auto [fsec, frow] = rowOf(*s, "字体大小");
    s->selectRow(fsec, frow);
    EXPECT_TRUE(host.pressAlertButton("取消"));
    settle();

    // What the file and the platform defaults hold, read again from disk.
    defaults.reload();
    EXPECT_EQ(defaults.getBoolForKey("auto refresh"), !wasOn);
    EXPECT_EQ(defaults.getIntForKey("auto refresh wait time"), 30);
    EXPECT_EQ(defaults.getIntForKey("StepForBS"), 1000);
    EXPECT_EQ(defaults.getIntForKey("defoult font size"), 15);
    NSUserDefaults::standardUserDefaults().reload();
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("TradeLockInterval"), 5);
    EXPECT_EQ(s->valueText(s->sections()[isec].rows[irow]), "30秒");
    NSUserDefaults::standardUserDefaults().removeObjectForKey("TradeLockInterval");
}

TEST_F(ScreensPagesTest, TheSettingsShowTheLockIntervalTheIdleLockUses) {
    auto s = std::make_shared<VTASettingViewController>();
    pushViewController(s);
    settle();
    auto [sec, row] = rowOf(*s, "交易锁定时间");
    ASSERT_GE(sec, 0);
    auto shown = [&] { return s->valueText(s->sections()[sec].rows[row]); };
    auto& d = NSUserDefaults::standardUserDefaults();
    // {stored minutes, what both use}: absent or not positive is the default, above a day is a day.
    for (auto [stored, used] : {std::pair{0, 10}, {-3, 10}, {15, 15}, {1440, 1440}, {2000, 1440}}) {
        if (stored == 0)
            d.removeObjectForKey("TradeLockInterval");
        else
            d.setInteger(stored, "TradeLockInterval");
        EXPECT_EQ(shown(), std::to_string(used) + "分钟") << stored;
        EXPECT_DOUBLE_EQ(IdleTimeCheck::tradeLockIntervalSeconds(), used * 60.0) << stored;
    }
    d.removeObjectForKey("TradeLockInterval");
}

TEST_F(ScreensPagesTest, SettingsShowTrafficAndOpenTheMessageSettingsOnceRegistered) {
    auto s = std::make_shared<VTASettingViewController>();
    pushViewController(s);
    settle();
    EXPECT_EQ(rowOf(*s, "消息提醒设置").first, -1);
    NetworkManager::manager().resetTraffic();
    NetworkManager::manager().addTraffic(2048, 3 * 1024 * 1024);
    s->viewWillAppear(false);
    auto [sec, row] = rowOf(*s, "发送");
    EXPECT_EQ(s->valueText(s->sections()[sec].rows[row]), "2.0KB");
    EXPECT_EQ(s->valueText(s->sections()[sec].rows[row + 1]), "3.00MB");
    auto [zsec, zrow] = rowOf(*s, "流量清零");
    s->selectRow(zsec, zrow);
    EXPECT_EQ(NetworkManager::manager().sentBytes(), 0);

    ScreenRegistry::shared().addScreen("msgsetting", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    s->viewWillAppear(false);
    auto [msec, mrow] = rowOf(*s, "消息提醒设置");
    EXPECT_EQ(msec, 0);
    s->selectRow(msec, mrow);
    settle();
    ASSERT_NE(top(), s.get());
    EXPECT_EQ(top()->title(), "");
}

TEST_F(ScreensPagesTest, TheWebPageCatchesLinkCommands) {
    std::vector<std::string> logins;
    auto page = std::make_shared<VTAWebViewController>();
    page->loadHTMLString(
        "<p>业务办理</p><a href=\"@qzopt=user_upgrade?from=page\">升级</a>"
        "<a href=\"@qzopt=open?link=setting&title=设置\">设置</a><a href=\"@qzopt=nosuch\">x</a>");
    pushViewController(page);
    settle();
    EXPECT_NE(page->webView()->pageText().find("业务办理"), std::string::npos);

    // No trade login yet: the customer is told, nothing opens.
    page->webView()->activateLink("@qzopt=user_upgrade?from=page");
    settle();
    EXPECT_EQ(top(), page.get());
    EXPECT_EQ(topAlertTitle(), "请先登录交易");
    topAlert()->tapButtonAtIndex(0);

    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& m) {
        logins.push_back(m->link());
        return std::make_shared<RecordingScreen>();
    });
    page->webView()->activateLink("@qzopt=user_switch?x=1");
    settle();
    ASSERT_EQ(logins.size(), 1u);
    EXPECT_EQ(logins[0], "tradelogin?relate=1&mcjg=1");
    EXPECT_EQ(top()->title(), "关联资金帐号");

    // After the relate the page loads the remembered address again.
    page->setURL("");  // keep the test's page text; remember an address of our own
    EXPECT_TRUE(page->performLinkCommand("user_upgrade?again"));
    settle();
    NSUserDefaults::standardUserDefaults().setBool(true, "RelateFromMCJGStatus");
    popToRootViewController();
    settle();
    pushViewController(page);
    settle();
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().boolForKey("RelateFromMCJGStatus"));

    popToRootViewController();
    settle();
    pushViewController(page);
    settle();
    page->webView()->activateLink("@qzopt=open?link=setting&title=设置");
    settle();
    EXPECT_TRUE(dynamic_cast<VTASettingViewController*>(top()));
    EXPECT_EQ(top()->title(), "设置");
    popViewControllers(1);
    settle();
    EXPECT_FALSE(page->performLinkCommand("nosuch"));
    EXPECT_TRUE(page->performLinkCommand("tel?number=1;rm"));
    EXPECT_FALSE(topAlert()) << "no prompt for what is no number";
    // The phone asks before it calls.
    EXPECT_TRUE(page->performLinkCommand("tel?number=95588"));
    EXPECT_EQ(topAlertTitle(), "95588");
    EXPECT_TRUE(UIApplication::sharedApplication().openedURLs().empty());
    EXPECT_TRUE(host.pressAlertButton("呼叫"));
    ASSERT_EQ(UIApplication::sharedApplication().openedURLs().size(), 1u);
    EXPECT_EQ(UIApplication::sharedApplication().openedURLs()[0], "tel:95588");
    page->performLinkCommand("back");
    settle();
    EXPECT_EQ(top(), root.get());
}

TEST_F(ScreensPagesTest, AnOrdinaryLinkIsFollowed) {
    auto page = std::make_shared<VTAWebViewController>();
    pushViewController(page);
    settle();
    EXPECT_TRUE(page->webViewShouldStartLoadWithRequest(*page->webView(), NSURLRequest("http://127.0.0.1/news"),
                                                        UIWebViewNavigationType::LinkClicked));
    EXPECT_FALSE(page->webViewShouldStartLoadWithRequest(
        *page->webView(), NSURLRequest("http://127.0.0.1/x@qzopt=home"), UIWebViewNavigationType::LinkClicked));
}

TEST_F(ScreensPagesTest, AServerListStoresTheNewsTypeAndOpensItsRows) {
    ScreenRegistry::shared().addScreen("newslist", [](const auto&) { return std::make_shared<RecordingScreen>(); });
    auto list = std::make_shared<VTAListViewController>();
    list->setListType(VTAListViewController::kServerList);
    auto message = VTAMessage::messageWithSender(std::any(), std::string("stkcode=600000&market=2"), 0);
    list->setViewMessage(message);
    list->view();
    auto reply = TCRSWriter()
                     .beginSet()
                     .addField("title", TCRSFieldType::VarText)
                     .addField("link", TCRSFieldType::VarText)
                     .addField("newstypeid", TCRSFieldType::VarText)
                     .addRecord({"公司新闻", "newslist?tc_mfuncno=504&tc_sfuncno=22&typeid=7", "7"})
                     .addRecord({"未知栏目", "nosuch", ""})
                     .bytes();
    list->receiveReply(VTAListViewController::kListTag, reply);
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("newstypeid"), "7");
    ASSERT_EQ(list->menus().size(), 2u);
    EXPECT_EQ(list->menus()[0]->title(), "公司新闻");
    auto vc = list->openItemAtIndex(0);
    ASSERT_TRUE(vc);
    EXPECT_EQ(dynamic_cast<RecordingScreen*>(vc.get())->viewMessage(), message);
    EXPECT_FALSE(list->openItemAtIndex(1));

    // Another tag, bytes that do not parse, an error set.
    list->receiveReply(1, reply);
    list->receiveReply(VTAListViewController::kListTag, {1, 2, 3});
    EXPECT_EQ(topAlertTitle(), "数据解析错误");
    list->receiveReply(VTAListViewController::kListTag, TCRSWriter().errorSet(-1, "栏目不存在").bytes());
    EXPECT_EQ(topAlertTitle(), "栏目不存在");
    EXPECT_EQ(list->menus().size(), 2u);
}

TEST_F(ScreensPagesTest, TheSearchHistoryFileRoundTripsAndSurvivesCorruption) {
    for (int i = 0; i < 25; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "6%05d", i);
        VTAStockFinder::addToHistory(std::make_shared<VTAStock>(code, "股票", 2));
    }
    auto again = std::make_shared<VTAStock>("600003", "股票", 2);
    VTAStockFinder::addToHistory(again);
    VTAStockFinder::addToHistory(std::make_shared<VTAStock>("", "无代码", 1));
    ASSERT_EQ(VTAStockFinder::history().size(), VTAStockFinder::kMaxHistory);
    EXPECT_EQ(VTAStockFinder::history()[0]->code(), "600003");
    EXPECT_EQ(VTAStockFinder::history()[1]->code(), "600024");
    ASSERT_TRUE(VTAStockFinder::saveHistory());

    VTAStockFinder::clearHistory();
    VTAStockFinder::reloadHistory();
    ASSERT_EQ(VTAStockFinder::history().size(), VTAStockFinder::kMaxHistory);
    EXPECT_EQ(VTAStockFinder::history()[0]->stockId(), "600003.2");

    std::ofstream(documentsPath(VTAStockFinder::kHistoryFile), std::ios::binary | std::ios::trunc) << "garbage\x01\x02";
    VTAStockFinder::reloadHistory();
    EXPECT_TRUE(VTAStockFinder::history().empty());
}

TEST_F(ScreensPagesTest, TheFinderClosesAndTellsItsOpener) {
    auto finder = root->showStockFinder();
    settle();
    ASSERT_TRUE(finder->superview());
    // History shown while nothing is typed: two sections, the ranking links last.
    EXPECT_EQ(finder->numberOfSectionsInTableView(*finder->listView()), 2);
    EXPECT_EQ(finder->tableViewNumberOfRowsInSection(*finder->listView(), 1), 8);
    ASSERT_TRUE(host.tapText("关闭"));
    settle();
    EXPECT_FALSE(finder->superview());
    EXPECT_EQ(root->hiddenFinders, 1);
    // A ranking link without its screen opens nothing.
    auto other = root->showStockFinder();
    settle();
    other->pickRanking(0);
    settle();
    EXPECT_EQ(top(), root.get());
    EXPECT_EQ(root->hiddenFinders, 2);
}

TEST_F(ScreensPagesTest, TheDisclaimerReportsTheAnswer) {
    auto d = std::make_shared<VTADisclaimerViewController>();
    std::vector<bool> answers;
    d->setCompletion([&](bool agreed) { answers.push_back(agreed); });
    pushViewController(d);
    settle();
    ASSERT_TRUE(host.tapText("同意"));
    EXPECT_EQ(answers, std::vector<bool>{true});
    d->disagree();  // answered once only
    EXPECT_EQ(answers.size(), 1u);

    auto plain = std::make_shared<VTADisclaimerViewController>();
    pushViewController(plain);
    settle();
    EXPECT_TRUE(plain->toolbar()->isHidden());
    EXPECT_NE(plain->bodyLabel()->text().find("投资需谨慎"), std::string::npos);
}

TEST_F(ScreensPagesTest, TheInvitationGoesThroughTheComposer) {
    SentMessageLog::shared().clear();
    auto invite = std::make_shared<VTAInviteViewController>();
    pushViewController(invite);
    settle();
    invite->numberField()->setText("1380013");
    EXPECT_FALSE(invite->sendInvitation());
    EXPECT_EQ(topAlertTitle(), "请输入正确的手机号码");
    topAlert()->tapButtonAtIndex(0);
    invite->numberField()->setText("13900139000");
    auto composer = invite->sendInvitation();
    ASSERT_TRUE(composer);
    settle();
    composer->send();
    settle();
    ASSERT_EQ(SentMessageLog::shared().messages().size(), 1u);
    EXPECT_EQ(SentMessageLog::shared().messages()[0].recipients, std::vector<std::string>{"13900139000"});
    EXPECT_EQ(SentMessageLog::shared().messages()[0].body, VTAInviteViewController::kInviteText);
    EXPECT_EQ(topAlertTitle(), "邀请短信已发送");
    EXPECT_FALSE(invite->modalViewController());
}

TEST_F(ScreensPagesTest, UpdateAndCustomerService) {
    auto upd = std::make_shared<VTAUpdateViewController>();
    pushViewController(upd);
    settle();
    EXPECT_EQ(upd->statusLabel()->text(), "已是最新版本");
    EXPECT_FALSE(upd->upgrade());
    VTAParamter::shareParamter().setString("2.4.0", "newVersionGet");
    VTAParamter::shareParamter().setString("http://127.0.0.1/upgrade", "newVersionURL");
    upd->viewWillAppear(false);
    EXPECT_EQ(upd->statusLabel()->text(), "发现新版本 2.4.0");
    EXPECT_TRUE(upd->upgrade());
    VTAParamter::shareParamter().removeValueForKey("newVersionGet");
    VTAParamter::shareParamter().removeValueForKey("newVersionURL");

    auto cs = std::make_shared<VTACustomerServiceViewController>();
    pushViewController(cs);
    settle();
    EXPECT_FALSE(cs->selectItem(1));  // the soft-token page is not built yet
    auto fb = cs->selectItem(3);
    ASSERT_TRUE(fb);
    EXPECT_EQ(fb->title(), "意见反馈");
}

}  // namespace
