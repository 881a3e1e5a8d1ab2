// Screens against the simulated server: the older server list's refresh, the
// stock finder's search and history, feedback.
#include "ScreensTestSupport.h"

#include <algorithm>

#include "core/RequestText.h"
#include "core/VTAStock.h"
#include "platform/uikit/UIKeyboard.h"
#include "shell/VTAFeedbackViewController.h"
#include "shell/VTAListViewController.h"
#include "shell/VTATableViewController.h"
#include "tests/support/TradeLoginSupport.h"

namespace {

class ScreensServerTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        startSimulator();
    }
};

bool bodyHas(const SimRecord& r, const std::string& text) { return r.rawBody.find(text) != std::string::npos; }

TEST_F(ScreensServerTest, TheListRefreshCarriesTheTradeSessionEnciphered) {
    ASSERT_TRUE(logInToTrade());
    const std::string info = VTAParamter::shareParamter().getStringForKey("tradeUserInfo").value_or("");
    const std::string authid = queryValue(info, "authid").value_or("");
    ASSERT_FALSE(authid.empty()) << info;
    auto list = std::make_shared<VTATableViewController>();
    list->setViewMenu(menu("trade_gfcx?tc_mfuncno=31000&tc_sfuncno=4&code=600000.2|000001.1&field=3|4|11", "股份查询"));
    pushViewController(list);
    settle();
    EXPECT_EQ(list->tableViewContentRequestText(),
              "tc_mfuncno=31000&tc_sfuncno=4&code=600000.2|000001.1&field=3|4|11&" + info);
    sim->clearRequests();
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return list->myTableView() && list->myTableView()->rowCount() == 2; }));

    auto sent = sim->requestsOf(31000, 4);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].encrypt, 36 + 18);     // request type 5
    EXPECT_FALSE(bodyHas(sent[0], authid));  // never in clear
    EXPECT_EQ(fieldOf(sent[0], "authid"), simMaskedSession(authid));  // the log keeps no session text
    EXPECT_EQ(list->myTableView()->topTitles()[0], list->tableData()->getFieldDescAtIndex(0));
    EXPECT_EQ(list->myTableView()->rowItems(0)[0], "600000");
    EXPECT_EQ(list->myTableView()->rowItems(1)[1], "平安银行");

    // An error set shows its text and keeps the grid.
    sim->forceErrorSet(-5, "查询失败，请稍后再试", 31000, 4);
    list->onCommandRefresh();
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "查询失败，请稍后再试"; }));
    EXPECT_EQ(list->myTableView()->rowCount(), 2);

    // A link without a query sends nothing.
    auto bare = std::make_shared<VTATableViewController>();
    bare->setViewMenu(menu("jsf_cxzhzj", "资金帐户"));
    EXPECT_EQ(bare->tableViewContentRequestText(), "");
}

TEST_F(ScreensServerTest, TheStockFinderFindsByCodeAndPinyinAndOpensTheQuotePage) {
    std::vector<std::string> opened;
    ScreenRegistry::shared().setStockPage([&](const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) {
        opened.push_back(stocks[index]->stockId());
        auto s = std::make_shared<RecordingScreen>();
        s->setTitle(stocks[index]->name());
        return s;
    });
    auto finder = root->showStockFinder();
    ASSERT_TRUE(finder);
    settle();
    EXPECT_DOUBLE_EQ(finder->frame().origin.y, 480 - finder->frame().size.height);
    ASSERT_TRUE(finder->searchField()->isFirstResponder());

    host.type("600000");
    // Each key typed sends a search and cancels the one before; the last answers alone.
    ASSERT_TRUE(waitFor([&] {
        return finder->showsResults() && finder->results().size() == 1 && finder->results()[0]->code() == "600000";
    }));
    EXPECT_EQ(finder->results()[0]->name(), "浦发银行");
    EXPECT_EQ(finder->results()[0]->marketID(), 2);
    auto searches = sim->requestsOf(31000, 10);
    EXPECT_TRUE(std::any_of(searches.begin(), searches.end(),
                            [](const SimRecord& r) { return fieldOf(r, "key") == "600000"; }));

    // Pinyin initials, typed in lower case; characters that would change the
    // request's shape never reach the field.
    finder->searchField()->setText("");
    finder->searchWithKey("");
    EXPECT_FALSE(finder->showsResults());
    host.type("zs&=yh");
    EXPECT_EQ(finder->searchField()->text(), "zsyh");
    ASSERT_TRUE(waitFor([&] {
        return finder->showsResults() && !finder->results().empty() && finder->results()[0]->code() == "600036";
    }));
    for (const auto& r : sim->requestsOf(31000, 10)) EXPECT_EQ(fieldOf(r, "key").find('&'), std::string::npos);

    finder->pickResult(0);
    settle();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "600036.2");
    EXPECT_EQ(top()->title(), "招商银行");
    EXPECT_EQ(root->hiddenFinders, 1);
    EXPECT_FALSE(finder->superview());
    ASSERT_EQ(VTAStockFinder::history().size(), 1u);
    EXPECT_EQ(VTAStockFinder::history()[0]->code(), "600036");
}

TEST_F(ScreensServerTest, FeedbackReachesTheServerAndShapeChangingTextIsRefused) {
    auto fb = std::make_shared<VTAFeedbackViewController>();
    pushViewController(fb);
    settle();
    EXPECT_FALSE(fb->submit());
    EXPECT_EQ(topAlertTitle(), "请输入反馈内容");
    topAlert()->tapButtonAtIndex(0);

    fb->contentField()->setText("行情刷新&慢");
    EXPECT_FALSE(fb->submit());
    EXPECT_EQ(topAlertTitle(), "反馈内容不能包含&或=");
    topAlert()->tapButtonAtIndex(0);
    EXPECT_TRUE(sim->requestsOf(100, 17).empty());

    fb->contentField()->setText("希望增加港股行情");
    fb->contactField()->setText("13800138000");
    ASSERT_TRUE(host.tapText("提交"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "感谢您的反馈"; }));
    auto sent = sim->requestsOf(100, 17);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "content"), "希望增加港股行情");
    EXPECT_FALSE(bodyHas(sent[0], "13800138000"));
    EXPECT_EQ(fb->contentField()->text(), "");
}

// A feedback the server did not take says so, and what was typed stays to be sent again.
TEST_F(ScreensServerTest, FeedbackTheServerRefusesKeepsTheTextAndNeverThanks) {
    struct Case {
        std::vector<uint8_t> answer;
        const char* shown;
    } cases[] = {
        {simErrorSet(-1, "反馈服务暂停"), "反馈服务暂停"},
        {simResultSet(0, "反馈过于频繁"), "反馈过于频繁"},
        {simResultSet(0, ""), VTAFeedbackViewController::kNotTakenText},
    };
    auto fb = std::make_shared<VTAFeedbackViewController>();
    pushViewController(fb);
    settle();
    for (const auto& c : cases) {
        sim->answerNext({100, 17}, c.answer);
        fb->contentField()->setText("希望增加港股行情");
        fb->contactField()->setText("13800138000");
        ASSERT_TRUE(host.tapText("提交"));
        ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; })) << c.shown;
        EXPECT_EQ(topAlertTitle(), c.shown);
        EXPECT_EQ(fb->contentField()->text(), "希望增加港股行情") << c.shown;
        EXPECT_EQ(fb->contactField()->text(), "13800138000") << c.shown;
        EXPECT_FALSE(fb->isSending());
        topAlert()->tapButtonAtIndex(0);
        settle(0.3);
    }
    EXPECT_EQ(sim->requestsOf(100, 17).size(), std::size(cases));
}

}  // namespace

namespace {

TEST_F(ScreensServerTest, AServerListThatGotNoRowsAsksAgainWhenItComesBack) {
    sim->forceErrorSet(-3, "资讯暂不可用", 3504, 1);
    auto list = std::make_shared<VTAListViewController>();
    list->setListType(VTAListViewController::kServerList);
    list->setViewMenu(menu("newsmenu?tc_mfuncno=3504&tc_sfuncno=1", "资讯"));
    pushViewController(list);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "资讯暂不可用"; }));
    EXPECT_TRUE(list->menus().empty());
    topAlert()->dismissWithClickedButtonIndex(0, false);

    // Away and back: the list asks again and fills.
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return !list->menus().empty(); }));
    EXPECT_EQ(sim->requestsOf(3504, 1).size(), 2u);

    // Once filled it does not ask on every return.
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    settle();
    EXPECT_EQ(sim->requestsOf(3504, 1).size(), 2u);
}

}  // namespace
