// The fund query hub driven by finger against the simulated brokerage: the
// fund list paged and its rows handed to the order forms and the own funds,
// a fund picked for the order form, the own funds edited, a fund order
// cancelled, the ranking and rating with their type and period picker, the
// held shares handed to the redemption form, and the fund caches the idle
// lock clears.
#include "FundTestSupport.h"

#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/VTAMessage.h"
#include "core/contracts/FundContract.h"
#include "funds/OwnFunds.h"
#include "funds/VTAJJBuySaleViewController.h"
#include "funds/VTAJJListController.h"
#include "funds/VTAJJQueryViewController.h"
#include "funds/VTAJJRedeemViewController.h"
#include "funds/VTAJJZXView.h"
#include "messages/MessageScreens.h"
#include "platform/uikit/UIButton.h"
#include "ui/VTAAlertTextField.h"
#include "ui/VTAPageCtr.h"
#include "ui/VTATableView.h"

namespace {

namespace Fund = FundContract;
using Hub = VTAJJQueryViewController;

class FundHubTest : public FundTest {
protected:
    void SetUp() override {
        FundTest::SetUp();
        registerMessageScreens(ScreenRegistry::shared());  // the news lists of the fund information
        ASSERT_TRUE(installMenuFromData(menuRecordSetsData(sim->registry().menu().records(), {})));
        setOwnFundCodes({});
    }
    // The hub of the fund menu's item, opened as a tap on it does.
    Hub* openPage(const std::string& command, const std::string& title = "") {
        auto items = menusWithLink(command, 3);
        EXPECT_TRUE(items && !items->empty()) << command;
        if (!items || items->empty()) return nullptr;
        auto item = items->front();
        for (const auto& each : *items)
            if (!title.empty() && each->title() == title) item = each;
        VTAUIFactory::openMenuWithTradeGate(item);
        settle();
        return dynamic_cast<Hub*>(top());
    }
    bool gridShows(Hub* hub, int rows) {
        return waitFor([&] { return hub->myTableView() && hub->myTableView()->rowCount() == rows; });
    }
    std::string cell(Hub* hub, int row, const std::string& column) {
        VTATableView* grid = hub->myTableView();
        const auto& titles = grid->topTitles();
        for (size_t i = 0; i < titles.size(); ++i)
            if (titles[i] == column) return grid->rowItems(row)[i];
        return "<no column " + column + ">";
    }
    void tapRow(Hub* hub, int row) {
        VTATableView* grid = hub->myTableView();
        grid->window()->layoutIfNeeded();
        CGRect r = grid->convertRectToView(grid->rectForRow(row, 0), nullptr);
        host.tap(CGRectGetMidX(r), CGRectGetMidY(r));
        settle(0.5);
    }
    void turnPage(Hub* hub, bool forward) {
        ASSERT_TRUE(hub->pageCtrl());
        tapView(forward ? hub->pageCtrl()->nextButton() : hub->pageCtrl()->previousButton());
        settle(0.5);
    }
    static bool has(const SimRecord& r, const std::string& key) {
        for (const auto& f : r.fields)
            if (f.key == key) return true;
        return false;
    }
    SimMoney cash() {
        return customerBooks(
            [](SimCustomer& c) { return c.fundAccounts.front().balances[SimCurrency::kRMB].available(); });
    }
    VTAJJZXView* editor(Hub* hub) {
        auto e = hub->editor();
        return e && e->window() ? e.get() : nullptr;
    }
};

TEST_F(FundHubTest, TheFundListPagesAndHandsItsRowsToTheFormsTheOwnFundsAndTheNews) {
    Hub* hub = openPage("of_jjxx");
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->pageType(), Hub::kInformation);
    EXPECT_EQ(hub->title(), "基金信息");
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"认购", "申购", "加入自选", "资讯"}));
    ASSERT_TRUE(gridShows(hub, 12));
    auto sent = fundRequests(Fund::kFundInformation);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].encrypt, 54) << "type 5";
    EXPECT_EQ(fieldOf(sent[0], "count"), "12");
    EXPECT_EQ(fieldOf(sent[0], "fundid"), "010110001234");
    EXPECT_FALSE(has(sent[0], "poststr")) << "no cursor on the first page";
    EXPECT_EQ(cell(hub, 0, "基金代码"), "270001");
    EXPECT_EQ(cell(hub, 0, "基金简称"), "稳健成长基金");
    EXPECT_EQ(cell(hub, 0, "单位净值"), "1.2345");
    EXPECT_EQ(hub->pageCtrl()->pageLabel()->text(), "第1页");
    saveScreenshot("information");

    // Sixteen funds: the second page holds four, from the first page's last cursor.
    turnPage(hub, true);
    ASSERT_TRUE(gridShows(hub, 4));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInformation).back(), "poststr"), hub->cursorStack().back());
    EXPECT_EQ(cell(hub, 0, "基金代码"), "310006");
    EXPECT_TRUE(hub->pageCtrl()->nextButton()->isHidden());
    turnPage(hub, false);
    ASSERT_TRUE(gridShows(hub, 12));
    EXPECT_FALSE(has(fundRequests(Fund::kFundInformation).back(), "poststr"));

    // 加入自选: the selected row joins the own funds once.
    tapRow(hub, 7);  // 310001
    ASSERT_TRUE(tapToolbar(hub, "加入自选"));
    ASSERT_TRUE(dismissAlert("成功添加华信价值精选混合"));
    ASSERT_TRUE(tapToolbar(hub, "加入自选"));
    ASSERT_TRUE(dismissAlert("添加失败，华信价值精选混合已经存在"));
    EXPECT_EQ(ownFundCodes(), (std::vector<std::string>{"310001"}));

    // 申购 opens the purchase form with the fund, looked up at once.
    ASSERT_TRUE(tapToolbar(hub, "申购"));
    auto* form = dynamic_cast<VTAJJBuySaleViewController*>(top());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "基金申购");
    EXPECT_EQ(form->tradeType(), 2);
    ASSERT_TRUE(waitFor([&] { return form->fundName()->text() == "华信价值精选混合"; }));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundLookup).back(), "ofcode"), "310001");
    popViewControllers(1);
    settle();

    // 资讯 opens the fund information menu with the fund's code.
    tapRow(hub, 7);
    ASSERT_TRUE(tapToolbar(hub, "资讯"));
    auto* news = dynamic_cast<VTAJJListController*>(top());
    ASSERT_TRUE(news);
    EXPECT_EQ(news->title(), "基金资讯");
    ASSERT_TRUE(news->viewMessage());
    EXPECT_EQ(news->viewMessage()->dataText().value_or(""), "ofcode=310001");
    EXPECT_EQ(news->viewMessage()->type(), 0);
    popViewControllers(1);
    settle();

    // 认购 opens the subscription form.
    tapRow(hub, 7);
    ASSERT_TRUE(tapToolbar(hub, "认购"));
    form = dynamic_cast<VTAJJBuySaleViewController*>(top());
    ASSERT_TRUE(form);
    EXPECT_EQ(form->tradeType(), 1);
    EXPECT_EQ(form->fundCode()->text(), "310001");
}

TEST_F(FundHubTest, AFundPickedFromTheOrderFormsListArrivesInTheForm) {
    auto* form = openLink<VTAJJBuySaleViewController>("of_jjsg", "基金申购");
    ASSERT_TRUE(form);
    form->formTable()->window()->layoutIfNeeded();
    auto row = form->formTable()->cellForRowAtIndexPath({0, 0});
    ASSERT_TRUE(row);
    tapView(row.get());
    settle();
    auto* hub = dynamic_cast<Hub*>(top());
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->pageType(), Hub::kPickForOrder);
    EXPECT_EQ(hub->title(), "可申购基金列表");
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"首页", "个股", "确定"}));
    // The funds open for purchase: thirteen, on two pages.
    ASSERT_TRUE(gridShows(hub, 12));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInformation).back(), "status"), "2");
    saveScreenshot("pick");
    turnPage(hub, true);
    ASSERT_TRUE(gridShows(hub, 1));
    EXPECT_EQ(cell(hub, 0, "基金代码"), "420003");
    turnPage(hub, false);
    ASSERT_TRUE(gridShows(hub, 12));

    tapRow(hub, 2);  // 270003
    ASSERT_TRUE(tapToolbar(hub, "确定"));
    ASSERT_EQ(top(), form);
    ASSERT_TRUE(waitFor([&] { return form->fundName()->text() == "恒岳增利债券"; }));
    EXPECT_EQ(form->fundCode()->text(), "270003");
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().stringForKey(VTAJJBuySaleViewController::kPickedCodeKey))
        << "the form took the code";

    // The subscription form lists the funds in their offering period.
    popViewControllers(1);
    settle();
    form = openLink<VTAJJBuySaleViewController>("of_jjrg", "基金认购");
    ASSERT_TRUE(form);
    form->formTable()->window()->layoutIfNeeded();
    tapView(form->formTable()->cellForRowAtIndexPath({0, 0}).get());
    settle();
    hub = dynamic_cast<Hub*>(top());
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->title(), "可认购基金列表");
    ASSERT_TRUE(gridShows(hub, 2));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInformation).back(), "status"), "1");
    tapRow(hub, 1);
    ASSERT_TRUE(tapToolbar(hub, "确定"));
    ASSERT_TRUE(waitFor([&] { return form->fundName()->text() == "华信科技创新混合"; }));
}

TEST_F(FundHubTest, OwnFundsAreAskedByCodeAndEditedAddedReorderedAndRemoved) {
    // An empty list asks with an empty code and a count of 0.
    Hub* hub = openPage("of_wdjj");
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->pageType(), Hub::kOwnFunds);
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"认购", "申购", "编辑", "资讯"}));
    ASSERT_TRUE(gridShows(hub, 0));
    auto sent = fundRequests(Fund::kFundInformation).back();
    EXPECT_EQ(sent.encrypt, 18) << "type 3";
    EXPECT_TRUE(has(sent, "ofcode"));
    EXPECT_EQ(fieldOf(sent, "ofcode"), "");
    EXPECT_EQ(fieldOf(sent, "count"), "0");
    EXPECT_FALSE(has(sent, "fundid")) << "no account, no session";

    // 编辑, 添加 twice: each code checked with the brokerage and appended.
    ASSERT_TRUE(tapToolbar(hub, "编辑"));
    VTAJJZXView* panel = editor(hub);
    ASSERT_TRUE(panel);
    for (const char* code : {"270001", "310003", "420001"}) {
        ASSERT_TRUE(host.tapText("添加"));
        settle(0.5);
        ASSERT_TRUE(panel->addDialog());
        ASSERT_TRUE(host.type(code));
        ASSERT_TRUE(host.pressAlertButton("确定"));
        ASSERT_TRUE(waitFor([&] { return panel->data().size() && panel->data().back().second == code; }));
        settle(0.5);
    }
    // A short code is refused without asking.
    const size_t checks = fundRequests(Fund::kFundInformation).size();
    ASSERT_TRUE(host.tapText("添加"));
    settle(0.5);
    ASSERT_TRUE(host.type("2700"));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(dismissAlert("代码错误！"));
    EXPECT_EQ(fundRequests(Fund::kFundInformation).size(), checks);
    saveScreenshot("own-editor");

    // The last one moved to the top, the middle one removed.
    UITableView* table = panel->myTableView();
    table->window()->layoutIfNeeded();
    auto last = table->cellForRowAtIndexPath({0, 2});
    ASSERT_TRUE(last && last->reorderControl());
    CGRect grip = last->reorderControl()->convertRectToView(last->reorderControl()->bounds(), nullptr);
    host.drag(CGRectGetMidX(grip), CGRectGetMidY(grip), CGRectGetMidX(grip),
              CGRectGetMidY(grip) - 2 * VTAJJZXView::kRowHeight, 8);
    settle(0.5);
    table->window()->layoutIfNeeded();
    auto middle = table->cellForRowAtIndexPath({0, 2});
    ASSERT_TRUE(middle && middle->editingControl());
    tapView(middle->editingControl());
    ASSERT_TRUE(middle->showingDeleteConfirmation());
    tapView(middle->deleteConfirmationButton());
    settle(0.5);
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(waitFor([&] { return !editor(hub); }));
    EXPECT_EQ(ownFundCodes(), (std::vector<std::string>{"420001", "270001"}));

    // The hub asks again for the two, in their order.
    ASSERT_TRUE(gridShows(hub, 2));
    sent = fundRequests(Fund::kFundInformation).back();
    EXPECT_EQ(fieldOf(sent, "ofcode"), "420001,270001");
    EXPECT_EQ(fieldOf(sent, "count"), "2");
    EXPECT_EQ(cell(hub, 0, "基金简称"), "长江红利股票");
    saveScreenshot("own-funds");

    // "取消" writes nothing.
    ASSERT_TRUE(tapToolbar(hub, "编辑"));
    panel = editor(hub);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->data(), (std::vector<VTAJJZXView::Fund>{{"长江红利股票", "420001"}, {"稳健成长基金", "270001"}}));
    table = panel->myTableView();
    table->window()->layoutIfNeeded();
    auto first = table->cellForRowAtIndexPath({0, 0});
    tapView(first->editingControl());
    tapView(first->deleteConfirmationButton());
    settle(0.5);
    ASSERT_TRUE(host.tapText("取消"));
    ASSERT_TRUE(waitFor([&] { return !editor(hub); }));
    EXPECT_EQ(ownFundCodes(), (std::vector<std::string>{"420001", "270001"}));
}

TEST_F(FundHubTest, AFundOrderIsCancelledAfterTheSheetAndTheHubCloses) {
    Hub* hub = openPage("of_wtcd");
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->pageType(), Hub::kCancellable);
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"首页", "个股", "确定"}));
    ASSERT_TRUE(gridShows(hub, 0));
    EXPECT_FALSE(has(fundRequests(Fund::kCancellable).back(), "count"));
    ASSERT_TRUE(tapToolbar(hub, "确定"));
    ASSERT_TRUE(dismissAlert("没有可撤单!"));
    EXPECT_TRUE(fundRequests(Fund::kCancel).empty());
    popViewControllers(1);
    settle();

    // A purchase of today, through the form.
    const SimMoney before = cash();
    auto* form = openLink<VTAJJBuySaleViewController>("of_jjsg", "基金申购");
    ASSERT_TRUE(form);
    tapView(form->fundCode());
    ASSERT_TRUE(host.type("270001"));
    ASSERT_TRUE(waitFor([&] { return form->fundName()->text() == "稳健成长基金"; }));
    retype(form->tradePrice(), "2000");
    ASSERT_TRUE(tapToolbar(form, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("申购已提交，请在当日委托中查询!"));
    EXPECT_EQ(cash(), before - 200000);
    const std::string sno = std::to_string(fundOrders().back().sno);

    hub = openPage("of_wtcd");
    ASSERT_TRUE(hub && gridShows(hub, 1));
    EXPECT_EQ(cell(hub, 0, "委托号"), sno);
    saveScreenshot("cancellable");
    // The sheet's "取消" sends nothing and keeps the list.
    ASSERT_TRUE(tapToolbar(hub, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "请仔细确定撤单信息：\n基金：稳健成长基金(270001)\n委托号：" + sno);
    saveScreenshot("cancel-sheet");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle(0.5);
    EXPECT_TRUE(fundRequests(Fund::kCancel).empty());
    EXPECT_EQ(top(), hub);

    ASSERT_TRUE(tapToolbar(hub, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("撤单已提交，请进入当日委托查询!"));
    auto cancels = fundRequests(Fund::kCancel);
    ASSERT_EQ(cancels.size(), 1u);
    EXPECT_EQ(cancels[0].encrypt, 36) << "type 4";
    EXPECT_EQ(fieldOf(cancels[0], "sno"), sno);
    EXPECT_EQ(fieldOf(cancels[0], "fundid"), "010110001234");
    EXPECT_EQ(fundOrders().back().status, SimFundOrderStatus::Cancelled);
    EXPECT_EQ(cash(), before) << "the amount is free again";
    const size_t depthBefore = depth();
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(depth(), depthBefore - 1);

    // The trade query lists every fund order, the cancelled one first.
    hub = openPage("of_jycx");
    ASSERT_TRUE(hub);
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"首页", "个股", "刷新"}));
    ASSERT_TRUE(gridShows(hub, 5));
    EXPECT_EQ(cell(hub, 0, "委托号"), sno);
    EXPECT_EQ(cell(hub, 0, "状态"), "已撤");
    const size_t asked = fundRequests(Fund::kOrderHistory).size();
    ASSERT_TRUE(tapToolbar(hub, "刷新"));
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kOrderHistory).size() == asked + 1; }));
    saveScreenshot("trade-query");

    // Where the form's and the cancel's alerts send the customer: the day's fund orders.
    hub = openPage("of_jycx", "基金当日委托");
    ASSERT_TRUE(hub && gridShows(hub, 1));
    EXPECT_EQ(hub->title(), "基金当日委托");
    EXPECT_EQ(cell(hub, 0, "委托号"), sno);
    EXPECT_EQ(cell(hub, 0, "业务"), "申购");
    EXPECT_EQ(cell(hub, 0, "状态"), "已撤");
    saveScreenshot("today-business");
}

TEST_F(FundHubTest, RankingAndRatingAskTheTypesOnceAndFollowThePicker) {
    Hub* hub = openPage("of_jjpx");
    ASSERT_TRUE(hub);
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"分类", "加入自选", "资讯"}));
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kRanking).size() == 1; }));
    EXPECT_EQ(fundRequests(Fund::kFundTypes).size(), 1u);
    auto ranked = fundRequests(Fund::kRanking).back();
    EXPECT_EQ(fieldOf(ranked, "style"), "1");
    EXPECT_EQ(fieldOf(ranked, "ordertype"), "1");
    // The stock funds of the last day, best first.
    ASSERT_TRUE(gridShows(hub, 3));
    EXPECT_EQ(hub->title(), "股票型最近一天基金排行");
    EXPECT_EQ(cell(hub, 0, "基金代码"), "420001");
    EXPECT_FALSE(hub->pageCtrl()) << "a ranking is one page";
    saveScreenshot("ranking");

    // 分类: the bond funds of the last year.
    ASSERT_TRUE(tapToolbar(hub, "分类"));
    ASSERT_TRUE(hub->optionPicker() && hub->optionPicker()->window());
    EXPECT_EQ(hub->optionPicker()->numberOfComponents(), 2);
    pickRow(hub->optionPicker(), 2);
    pickRow(hub->optionPicker(), 4, 1);
    saveScreenshot("ranking-picker");
    ASSERT_TRUE(host.pressAlertButton("确定") || host.tapText("确定"));
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kRanking).size() == 2; }));
    ranked = fundRequests(Fund::kRanking).back();
    EXPECT_EQ(fieldOf(ranked, "style"), "3");
    EXPECT_EQ(fieldOf(ranked, "ordertype"), "5");
    ASSERT_TRUE(waitFor([&] { return hub->title() == "债券型最近一年基金排行"; })) << hub->title();
    ASSERT_TRUE(gridShows(hub, 4));
    EXPECT_EQ(cell(hub, 0, "基金代码"), "310003");
    tapRow(hub, 0);
    ASSERT_TRUE(tapToolbar(hub, "加入自选"));
    ASSERT_TRUE(dismissAlert("成功添加华信纯债债券"));
    popViewControllers(1);
    settle();

    // The rating uses the types kept in the session.
    hub = openPage("of_jjpj");
    ASSERT_TRUE(hub);
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kRating).size() == 1; }));
    EXPECT_EQ(fundRequests(Fund::kFundTypes).size(), 1u) << "the types are asked once a session";
    auto rated = fundRequests(Fund::kRating).back();
    EXPECT_EQ(fieldOf(rated, "style"), "1");
    EXPECT_EQ(fieldOf(rated, "qryflag"), "0");
    EXPECT_EQ(fieldOf(rated, "count"), "12");
    EXPECT_TRUE(has(rated, "poststr"));
    ASSERT_TRUE(gridShows(hub, 3));
    EXPECT_EQ(hub->title(), "股票型基金评级");
    ASSERT_TRUE(tapToolbar(hub, "分类"));
    EXPECT_EQ(hub->optionPicker()->numberOfComponents(), 1);
    pickRow(hub->optionPicker(), 1);
    // "取消" asks nothing; the turned type serves the next request.
    ASSERT_TRUE(host.pressAlertButton("取消") || host.tapText("取消"));
    settle(0.5);
    EXPECT_EQ(fundRequests(Fund::kRating).size(), 1u);
    ASSERT_TRUE(tapToolbar(hub, "分类"));
    ASSERT_TRUE(host.pressAlertButton("确定") || host.tapText("确定"));
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kRating).size() == 2; }));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kRating).back(), "style"), "2");
    ASSERT_TRUE(waitFor([&] { return hub->title() == "混合型基金评级"; })) << hub->title();
    ASSERT_TRUE(gridShows(hub, 3));
    EXPECT_EQ(cell(hub, 0, "基金代码"), "310001");
    saveScreenshot("rating");

    // The idle lock clears the fund caches with the trade session.
    ASSERT_TRUE(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFundTypes));
    lockTradeSession();
    settle();
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kFundTypes));
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kFunds));
}

TEST_F(FundHubTest, TheTypesAreAskedUntilSomeComeAndARatingPagesOnItsCursor) {
    // A refused type list is shown and asks nothing more.
    sim->forceErrorSet(-1, "基金类型查询失败", Fund::kFundTypes.main, Fund::kFundTypes.sub);
    Hub* hub = openPage("of_jjpj");
    ASSERT_TRUE(hub);
    ASSERT_TRUE(dismissAlert("基金类型查询失败"));
    EXPECT_TRUE(fundRequests(Fund::kRating).empty());
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kFundTypes));
    ASSERT_TRUE(tapToolbar(hub, "分类"));
    EXPECT_FALSE(hub->optionPicker()) << "no types, no picker";
    popViewControllers(1);
    settle();

    // An empty one is not kept: no "style" is ever sent without a type.
    sim->answerNext(Fund::kFundTypes, TCRSWriter()
                                          .beginSet()
                                          .addField("style", TCRSFieldType::VarText)
                                          .addField("name", TCRSFieldType::VarText)
                                          .bytes());
    hub = openPage("of_jjpj");
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kFundTypes).size() == 2; }));
    settle(0.5);
    EXPECT_TRUE(fundRequests(Fund::kRating).empty());
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kFundTypes));
    popViewControllers(1);
    settle();

    // A full page of ratings: the next page asks from its last cursor.
    TCRSWriter page;
    page.beginSet()
        .addField("TradingCode", TCRSFieldType::VarText, 0, "基金代码")
        .addField("SecuAbbr", TCRSFieldType::VarText, 0, "基金简称")
        .addField("rating", TCRSFieldType::VarText, 0, "评级")
        .addField("poststr", TCRSFieldType::VarText);
    for (int i = 1; i <= 12; ++i)
        page.addRecord({std::to_string(600000 + i), "基金" + std::to_string(i), "★★★", "p" + std::to_string(i)});
    sim->answerNext(Fund::kRating, page.bytes());
    hub = openPage("of_jjpj");
    ASSERT_TRUE(hub && gridShows(hub, 12));
    EXPECT_EQ(fundRequests(Fund::kFundTypes).size(), 3u);
    ASSERT_TRUE(hub->pageCtrl());
    turnPage(hub, true);
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kRating).size() == 2; }));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kRating).back(), "poststr"), "p12");
    EXPECT_EQ(fieldOf(fundRequests(Fund::kRating).back(), "style"), "1");
}

TEST_F(FundHubTest, AHoldingGoesToTheRedemptionFormAndItsCodeToTheInformation) {
    Hub* hub = openPage("of_fecx");
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->pageType(), Hub::kHoldings);
    EXPECT_EQ(toolbarTitles(hub), (std::vector<std::string>{"首页", "赎回", "分红", "资讯"}));
    ASSERT_TRUE(gridShows(hub, 3));
    EXPECT_FALSE(has(fundRequests(Fund::kHoldings).back(), "count"));
    saveScreenshot("holdings");

    // The holding's code read where the list has no "TradingCode".
    tapRow(hub, 1);  // 270004
    ASSERT_TRUE(tapToolbar(hub, "资讯"));
    auto* news = dynamic_cast<VTAJJListController*>(top());
    ASSERT_TRUE(news && news->viewMessage());
    EXPECT_EQ(news->viewMessage()->dataText().value_or(""), "ofcode=270004");
    popViewControllers(1);
    settle();

    ASSERT_TRUE(gridShows(hub, 3));
    tapRow(hub, 1);  // the grid is drawn afresh on return
    const size_t holdingsAsked = fundRequests(Fund::kHoldings).size();
    ASSERT_TRUE(tapToolbar(hub, "赎回"));
    auto* redeem = dynamic_cast<VTAJJRedeemViewController*>(top());
    ASSERT_TRUE(redeem);
    ASSERT_TRUE(waitFor([&] { return redeem->numCanUsed()->text() == "20000.00"; }))
        << redeem->numCanUsed()->text() << "|" << redeem->fundCode()->text() << "|" << redeem->myFunds().size();
    EXPECT_EQ(redeem->myFunds(), (std::vector<std::string>{"恒岳货币A"}));
    EXPECT_EQ(fundRequests(Fund::kHoldings).size(), holdingsAsked) << "the holding came from the hub";
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInfo).back(), "ofcode"), "270004");
}

TEST_F(FundHubTest, ThePlanFormsListShowsTheFundsWhosePlansRunAndHandsOneBack) {
    auto hub = std::make_shared<Hub>();
    hub->setPageType(Hub::kPickForPlan);
    hub->setViewMenu(menu("zndt_kt", "可定投基金列表"));
    hub->setTitle("可定投基金列表");
    pushViewController(hub);
    settle();
    EXPECT_EQ(toolbarTitles(hub.get()), (std::vector<std::string>{"首页", "个股", "确定"}));
    // Four funds are open for plans; 270007's plans are paused and left out.
    ASSERT_TRUE(gridShows(hub.get(), 4));
    auto sent = fundRequests(Fund::kPlanFunds);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].encrypt, 36) << "type 4";
    EXPECT_EQ(fieldOf(sent[0], "qryflag"), "1");
    EXPECT_EQ(fieldOf(sent[0], "count"), "30");
    EXPECT_EQ(fieldOf(sent[0], "fundid"), "010110001234");
    for (int row = 0; row < 4; ++row) EXPECT_NE(cell(hub.get(), row, "基金代码"), "270007");
    tapRow(hub.get(), 1);
    const std::string picked = cell(hub.get(), 1, "基金代码");
    const size_t before = depth();
    ASSERT_TRUE(tapToolbar(hub.get(), "确定"));
    EXPECT_EQ(depth(), before - 1);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().stringForKey(Hub::kPickedForPlanKey).value_or(""), picked);
    NSUserDefaults::standardUserDefaults().removeObjectForKey(Hub::kPickedForPlanKey);
}

// The plan funds come 30 to a page: a page of fewer is the last even when it
// fills more than the grid's 12 rows, and a full page goes on even when some
// of its funds' plans are paused and left out.
TEST_F(FundHubTest, ThePlanFundsEndOnAPageOfFewerThanThirtyCame) {
    auto page = [](int rows, int paused, int from) {
        TCRSWriter w;
        w.beginSet()
            .addField("ofcode", TCRSFieldType::VarText, 0, "基金代码")
            .addField("ofname", TCRSFieldType::VarText, 0, "基金名称")
            .addField("schedueleflag", TCRSFieldType::VarText, 0, "定投状态")
            .addField("poststr", TCRSFieldType::VarText);
        for (int i = 0; i < rows; ++i) {
            const std::string n = std::to_string(from + i);
            w.addRecord({"27" + std::string(4 - n.size(), '0') + n, "基金" + n, i < paused ? "0" : "1", "p" + n});
        }
        return w.bytes();
    };
    struct Case {
        int rows, paused;
        size_t shown;
        bool more;
    };
    for (const Case c : {Case{20, 0, 20, false}, Case{30, 2, 28, true}, Case{29, 0, 29, false}}) {
        SCOPED_TRACE(c.rows);
        sim->answerNext(Fund::kPlanFunds, page(c.rows, c.paused, 1));
        auto hub = std::make_shared<Hub>();
        hub->setPageType(Hub::kPickForPlan);
        hub->setViewMenu(menu("zndt_kt", "可定投基金列表"));
        pushViewController(hub);
        settle();
        ASSERT_TRUE(gridShows(hub.get(), static_cast<int>(c.shown)));
        ASSERT_TRUE(hub->pageCtrl());
        EXPECT_EQ(hub->pageCtrl()->nextButton()->isHidden(), !c.more);
        if (c.more) {
            sim->answerNext(Fund::kPlanFunds, page(3, 0, 31));
            turnPage(hub.get(), true);
            ASSERT_TRUE(gridShows(hub.get(), 3));
            EXPECT_EQ(fieldOf(fundRequests(Fund::kPlanFunds).back(), "poststr"), "p30");
            EXPECT_TRUE(hub->pageCtrl()->nextButton()->isHidden());
        }
        popViewControllers(1);
        settle();
    }
}

}  // namespace
