// What the customer does on the quote page beyond paging: the own-stock
// button on the server and on the phone, the trade jumps through the gate,
// the radar pop-up, and the failures the page reports.
#include "QuotePageTestSupport.h"

#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/PortfolioContract.h"
#include "quotes/QuotesInfoRadarPopView.h"
#include "shell/VTAStockFinder.h"
#include "ui/SVProgressHUD.h"

namespace {

// The order screen (it comes with a later step): keeps what it was handed.
class StandInOrderScreen : public UIViewController, public VTAMenuScreen {
public:
    void setViewMenu(std::shared_ptr<VTAMenu> m) override { menu = std::move(m); }
    std::shared_ptr<VTAMenu> viewMenu() const override { return menu; }
    void setViewMessage(std::shared_ptr<VTAMessage> m) override { message = std::move(m); }
    std::shared_ptr<VTAMessage> viewMessage() const override { return message; }
    std::shared_ptr<VTAMenu> menu;
    std::shared_ptr<VTAMessage> message;
};

// The screen the trade gate opens while no one is logged in to trading: it
// keeps the item and the message it was handed.
class PendingLogin : public UIViewController, public VTAMenuScreen {
public:
    explicit PendingLogin(std::shared_ptr<VTAMenu> pending) : pending(std::move(pending)) {}
    void setViewMenu(std::shared_ptr<VTAMenu> m) override { menu = std::move(m); }
    std::shared_ptr<VTAMenu> viewMenu() const override { return menu; }
    void setViewMessage(std::shared_ptr<VTAMessage> m) override { message = std::move(m); }
    std::shared_ptr<VTAMessage> viewMessage() const override { return message; }
    std::shared_ptr<VTAMenu> pending, menu;
    std::shared_ptr<VTAMessage> message;
};

}  // namespace

TEST_F(QuotePageTest, OwnStockRemovedAndAddedAgainOnTheServerAndInTheTable) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    ASSERT_TRUE(VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer"));
    ASSERT_TRUE(p->isInPortfolio());

    ASSERT_TRUE(host.tapText("删除自选"));
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Success; }));
    EXPECT_EQ(SVProgressHUD::status(), "删除自选股成功");
    EXPECT_EQ(fieldOf(sent(3710, 4).back(), "code"), "600000.2");
    EXPECT_FALSE(inTable("600000", 2));
    EXPECT_EQ(onServer(), (std::vector<std::string>{"000001.2", "00700.3"}));
    EXPECT_FALSE(p->isInPortfolio());
    saveScreenshot("removed");
    run(1.5);
    EXPECT_TRUE(host.isTextVisible("添加自选"));

    ASSERT_TRUE(host.tapText("添加自选"));
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Success; }));
    EXPECT_EQ(SVProgressHUD::status(), "添加自选股成功");
    EXPECT_TRUE(inTable("600000", 2));
    EXPECT_EQ(onServer(), (std::vector<std::string>{"000001.2", "00700.3", "600000.2"}));
    run(1.5);
    EXPECT_TRUE(host.isTextVisible("删除自选"));

    // The home screen lists it again, last.
    popToRootViewController();
    ASSERT_TRUE(waitFor(
        [&] { return home() && home()->quoteStocks().size() == 3 && home()->quoteStocks()[2]->code() == "600000"; }));
}

TEST_F(QuotePageTest, AServerThatSaysNoLeavesTheOwnStocksAsTheyWereWithTheErrorMark) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    // A refusal ("result" 0): the failure shows as one, not as a success.
    sim->answerNext(PortfolioContract::kDelete, simResultSet(0, "删除失败"));
    ASSERT_TRUE(host.tapText("删除自选"));
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }));
    EXPECT_EQ(SVProgressHUD::status(), "删除自选股失败");
    EXPECT_TRUE(inTable("600000", 2));
    EXPECT_TRUE(p->isInPortfolio());
    EXPECT_FALSE(UIAlertView::topAlert());  // reported once, by the overlay
    saveScreenshot("refused");
    run(2);

    // An error set: its own text.
    sim->forceErrorSet(-1, "自选股服务暂停", 3710, 4);
    ASSERT_TRUE(host.tapText("删除自选"));
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }));
    EXPECT_EQ(SVProgressHUD::status(), "自选股服务暂停");
    EXPECT_TRUE(inTable("600000", 2));
    run(2);

    // An unreadable reply.
    sim->answerNext(PortfolioContract::kDelete, {0x01, 0x02});
    ASSERT_TRUE(host.tapText("删除自选"));
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }));
    EXPECT_EQ(SVProgressHUD::status(), "数据解析错误");
    EXPECT_TRUE(inTable("600000", 2));
    EXPECT_EQ(onServer().size(), 3u);
}

TEST_F(QuotePageTest, OwnStocksKeptOnThePhoneOnlyChangeTheTableAlone) {
    VTAUserDefoult::standerDefoult().setBool(false, "SaveMyStockInServer");
    openFromHome("浦发银行");
    size_t serverCalls = count(3710, 3) + count(3710, 4);
    ASSERT_TRUE(host.tapText("删除自选"));
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Success);
    EXPECT_EQ(SVProgressHUD::status(), "删除自选成功");
    EXPECT_FALSE(inTable("600000", 2));
    run(1.5);
    ASSERT_TRUE(host.tapText("添加自选"));
    EXPECT_EQ(SVProgressHUD::status(), "添加自选成功");
    EXPECT_TRUE(inTable("600000", 2));
    run(1.5);
    EXPECT_EQ(count(3710, 3) + count(3710, 4), serverCalls);
    EXPECT_EQ(onServer().size(), 3u);
}

TEST_F(QuotePageTest, BuyAndSellGoThroughTheTradeGateWithTheStock) {
    std::shared_ptr<StandInOrderScreen> order;
    ScreenRegistry::shared().addScreenClass("TradeViewController", [&](const LinkSetup&, const auto&) {
        order = std::make_shared<StandInOrderScreen>();
        return order;
    });
    std::shared_ptr<PendingLogin> login;
    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& pending) {
        login = std::make_shared<PendingLogin>(pending);
        return login;
    });
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    ASSERT_TRUE(host.tapText("买入"));
    ASSERT_TRUE(waitFor([&] { return login && top() == login.get(); }));
    ASSERT_TRUE(login->pending);
    EXPECT_EQ(login->pending->link(), "buysale?MMLB=0");
    EXPECT_EQ(login->pending->title(), "买入委托");
    ASSERT_TRUE(login->message);
    EXPECT_EQ(login->message->type(), 1);
    ASSERT_TRUE(login->message->dataStock());
    EXPECT_EQ(login->message->dataStock()->stockId(), "600000.2");
    auto sender = std::any_cast<std::weak_ptr<UIViewController>>(login->message->sender()).lock();
    EXPECT_EQ(sender.get(), p);

    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return page() == p; }));
    ASSERT_TRUE(host.tapText("卖出"));
    ASSERT_TRUE(waitFor([&] { return login && top() == login.get(); }));
    EXPECT_EQ(login->pending->link(), "buysale?MMLB=1");
    EXPECT_EQ(login->pending->title(), "卖出委托");

    // Logged in to trading: the order screen itself, with the stock.
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return page() == p; }));
    openTradeSession();
    ASSERT_TRUE(host.tapText("买入"));
    ASSERT_TRUE(waitFor([&] { return order && top() == order.get(); }));
    EXPECT_EQ(order->menu->link(), "buysale?MMLB=0");
    ASSERT_TRUE(order->message && order->message->dataStock());
    EXPECT_EQ(order->message->dataStock()->code(), "600000");
}

TEST_F(QuotePageTest, TheRadarStripOpensEveryItemAndAStockWithoutRadarKeepsTheIndices) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    run(3.5);
    ASSERT_TRUE(waitFor([&] { return p->quotesInfoRadarView()->isHaveRadar(); }));
    EXPECT_EQ(p->infoRadarContentArray(),
              (std::vector<std::string>{"10:12 浦发银行：主力资金净流入1.26亿元，居银行板块首位，大单买入占比升至41%",
                                        "09:31 浦发银行公告：董事会审议通过发行不超过500亿元金融债券的议案",
                                        "08:45 机构评级：维持浦发银行“买入”评级，目标价9.20元"}));
    host.tap(160, 64 + 340 + 16 + 8);  // the strip, under the page marks
    ASSERT_TRUE(host.isTextVisible("信息雷达"));
    run(0.5);
    saveScreenshot("radar-popup");
    ASSERT_TRUE(host.tapText("关闭"));
    run(0.5);
    EXPECT_FALSE(host.isTextVisible("信息雷达"));

    // 腾讯控股 has no radar: the indices stay, and each auto refresh renews them.
    stepLeft();
    EXPECT_EQ(p->currentStock()->code(), "00700");
    run(3.5);
    ASSERT_TRUE(waitFor([&] { return p->isInfoRadarNil(); }));
    EXPECT_FALSE(p->quotesInfoRadarView()->isHaveRadar());
    EXPECT_FALSE(p->quotesInfoRadarView()->infoBtn()->isEnabled());
    EXPECT_NE(p->quotesInfoRadarView()->accessibilityText().find("深证成指:"), std::string::npos);
    size_t indices = count(31000, 4);
    run(VTAViewControllers::autoRefreshInterval() + 0.5);
    ASSERT_TRUE(waitFor([&] { return count(31000, 4) > indices; }));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 4).back(), "code"), "000001.2|399001.1");
    host.tap(160, 64 + 340 + 16 + 8);
    EXPECT_FALSE(host.isTextVisible("信息雷达"));
}

TEST_F(QuotePageTest, RepliesOfAnotherStockAreDroppedAndFailuresSayWhy) {
    openFromHome("浦发银行");
    auto* p = page();
    ASSERT_TRUE(p);
    auto trend = p->timeTrendData();
    ASSERT_FALSE(trend.empty());
    // A late trend of 平安银行 (a quick step there and back), and one of the
    // same code in another market: not drawn.
    for (const auto& [code, market] : std::vector<std::pair<std::string, int>>{{"000001", 1}, {"600000", 1}}) {
        auto other = TCRSWriter()
                         .beginSet()
                         .addField("code", TCRSFieldType::VarText)
                         .addField("exchid", TCRSFieldType::Integer, 4)
                         .addRecord({code, market})
                         .bytes();
        p->receiveReply(StockQuotesViewController::kTimeTrendTag, other);
        EXPECT_EQ(p->timeTrendData(), trend) << code << "." << market;
    }

    // The radar fails: the strip keeps the indices; the failure is told.
    sim->forceErrorSet(-1, "资讯服务暂不可用", 504, 60);
    run(3.5);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "资讯服务暂不可用"; }));
    EXPECT_TRUE(p->isInfoRadarNil());
    EXPECT_FALSE(p->quotesInfoRadarView()->isHaveRadar());
    ASSERT_TRUE(host.pressAlertButton("确定"));

    // Deals that fail stop the auto refresh; dismissing the alert starts it again.
    swipe(true);
    swipe(true);
    ASSERT_TRUE(waitFor([&] { return p->isRequestedTradeDetail(); }));
    sim->forceErrorSet(-1, "行情服务繁忙", 31000, 9);
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "行情服务繁忙"; }));
    EXPECT_FALSE(p->autoRequestTimer());
    ASSERT_TRUE(host.pressAlertButton("确定"));
    EXPECT_TRUE(p->autoRequestTimer());
}

TEST_F(QuotePageTest, TheSearchButtonFindsAStockWhosePageHasNoArrows) {
    openFromHome("浦发银行");
    // The search button of the navigation bar, the key typed, the first match tapped.
    auto find = [&](const std::string& key) {
        auto* before = page();
        ASSERT_TRUE(before);
        host.tap(300, 42);
        run(1);
        ASSERT_TRUE(host.type(key)) << host.viewTreeText();
        std::shared_ptr<VTAStockFinder> finder;
        for (auto& v : host.window()->subviews())
            if (auto f = std::dynamic_pointer_cast<VTAStockFinder>(v)) finder = f;
        ASSERT_TRUE(finder);
        ASSERT_TRUE(waitFor([&] { return finder->showsResults() && !finder->results().empty(); }));
        finder->listView()->layoutIfNeeded();
        auto cell = finder->listView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0));
        ASSERT_TRUE(cell);
        CGPoint p = cell->convertPointToView(CGPointMake(100, cell->bounds().size.height / 2), nullptr);
        host.tap(p.x, p.y);
        ASSERT_TRUE(waitFor([&] { return page() && page() != before && page()->isRequestedTimeTrend(); }));
    };
    find("00700");
    EXPECT_EQ(page()->currentStock()->code(), "00700");
    EXPECT_FALSE(page()->hasArrows());
    EXPECT_EQ(page()->pageCount(), 2);
    saveScreenshot("found");
    // The convertible bond A holds is a security of the market like any stock.
    find("110001");
    EXPECT_EQ(page()->currentStock()->code(), "110001");
    EXPECT_EQ(page()->currentStock()->marketID(), 2);
    run(1);
    saveScreenshot("bond");
}
