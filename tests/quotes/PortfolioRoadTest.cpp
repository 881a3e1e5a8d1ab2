// The own stocks over the whole client, as a customer goes: stocks added on
// their quote pages, the list seen and edited, kept by the server across a
// restart, the trading account's holdings added, sorted, traded, and their
// news read.
#include "core/VTAMessage.h"
#include "core/storage/DaoFactory.h"
#include "messages/InfoContentViewController.h"
#include "platform/host/HeadlessHost.h"
#include "quotes/EditPortfolioViewController.h"
#include "quotes/PortfolioTitleView.h"
#include "quotes/PortfolioViewController.h"
#include "quotes/StockQuotesViewController.h"
#include "shell/VTAUIFactory.h"
#include "tests/quotes/QuotesTestSupport.h"
#include "tests/shell/LaunchTestSupport.h"
#include "tests/support/Screenshots.h"
#include "ui/SVProgressHUD.h"

namespace {

class PortfolioRoadTest : public LaunchFixture {
protected:
    void SetUp() override {
        LaunchFixture::SetUp();
        ASSERT_TRUE(launch());
        reachHomeFirstTime();
        ASSERT_FALSE(HasFatalFailure());
        host.setRealTimeLimit(10);
    }

    PortfolioViewController* portfolio() const { return dynamic_cast<PortfolioViewController*>(top()); }
    EditPortfolioViewController* editor() const {
        auto nav = delegate->navigationController();
        auto* modal = nav ? dynamic_cast<UINavigationController*>(nav->modalViewController()) : nullptr;
        return modal ? dynamic_cast<EditPortfolioViewController*>(modal->topViewController()) : nullptr;
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (const auto& item : portfolio()->tableData()) out.push_back(item.name);
        return out;
    }
    static std::vector<std::string> table() {
        std::vector<std::string> out;
        for (const auto& s : DaoFactory::sharedInstance().portfolioDao()->listPortfolioStocks())
            out.push_back(s->stockId());
        return out;
    }
    bool quiet() {
        bool ok = waitFor([&] {
            return !(portfolio() && portfolio()->hasRequestInFlight()) &&
                   XXNetworkManager::sharedManager().pendingCount() == 0;
        });
        run(0.3);
        return ok;
    }

    // The stock's quote page, its "添加自选" pressed.
    void addOnQuotePage(const std::string& code, const std::string& name, int market) {
        auto stock = std::make_shared<VTAStock>(code, name, market);
        auto page = VTAUIFactory::stockPageWithStocks({stock}, 0);
        ASSERT_TRUE(page && pushViewController(page));
        run(1);
        ASSERT_TRUE(host.tapText(StockQuotesViewController::kAddTitle));
        ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Success; }));
        run(1.5);
        popToRootViewController();
        run(1);
    }
    // 行情 > 自选股 on the home board.
    void openPortfolioFromHome() {
        ASSERT_TRUE(home());
        ASSERT_TRUE(host.tapText("行情"));
        run(1);
        ASSERT_TRUE(host.tapText("自选股"));
        run(1);
        ASSERT_TRUE(portfolio());
        ASSERT_TRUE(quiet());
    }
    void tapView(UIView* v) {
        ASSERT_TRUE(v);
        UIApplication::sharedApplication().keyWindow()->layoutIfNeeded();
        CGRect f = v->convertRectToView(v->bounds(), nullptr);
        host.tap(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2);
    }
    UITableViewCell* cellOf(UITableView* t, int row) {
        UIApplication::sharedApplication().keyWindow()->layoutIfNeeded();
        return t->cellForRowAtIndexPath({0, row}).get();
    }
    void swipeQuoteRow(int row) {
        auto* cell = cellOf(portfolio()->quotesTableView(), row);
        ASSERT_TRUE(cell);
        CGRect r = cell->convertRectToView(cell->bounds(), nullptr);
        host.drag(r.origin.x + 220, r.origin.y + 21, r.origin.x + 80, r.origin.y + 21, 8);
        run(0.3);
    }

    HeadlessHost host;
};

}  // namespace

TEST_F(PortfolioRoadTest, AddedOnQuotePagesEditedKeptByTheServerFilledSortedTradedAndRead) {
    // A fresh install kept no own stock: the login made the server their keeper.
    EXPECT_TRUE(VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer"));
    addOnQuotePage("600519", "贵州茅台", 2);
    addOnQuotePage("000063", "中兴通讯", 1);
    addOnQuotePage("601318", "中国平安", 2);
    EXPECT_EQ(sim->ownStocks(phone), (std::vector<std::string>{"600519.2", "000063.1", "601318.2"}));

    openPortfolioFromHome();
    EXPECT_EQ(rows(), (std::vector<std::string>{"贵州茅台", "中兴通讯", "中国平安"}));
    saveScreenshot("portfolio");

    // The editor: 中国平安 to the top, 中兴通讯 out, saved on the server.
    ASSERT_TRUE(host.tapText("编辑"));
    run(1);
    ASSERT_TRUE(editor());
    ASSERT_TRUE(quiet());
    auto* list = editor()->tableView();
    auto* grip = cellOf(list, 2)->reorderControl();
    ASSERT_TRUE(grip);
    CGRect g = grip->convertRectToView(grip->bounds(), nullptr);
    host.drag(g.origin.x + g.size.width / 2, g.origin.y + g.size.height / 2, g.origin.x + g.size.width / 2,
              g.origin.y + g.size.height / 2 - 2 * list->rowHeight(), 8);
    run(0.3);
    auto* cell = cellOf(list, 2);
    tapView(cell->editingControl());
    run(0.3);
    tapView(cell->deleteConfirmationButton());
    run(0.3);
    saveScreenshot("edited");
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(
        waitFor([&] { return UIAlertView::topAlert() && UIAlertView::topAlert()->title() == "编辑自选股成功"; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    run(1);
    ASSERT_TRUE(quiet());
    EXPECT_EQ(sim->ownStocks(phone), (std::vector<std::string>{"601318.2", "600519.2"}));
    EXPECT_EQ(rows(), (std::vector<std::string>{"中国平安", "贵州茅台"}));

    // A restart: the setting stays, the server's list comes down again (even
    // where the phone lost a row).
    ASSERT_TRUE(DaoFactory::sharedInstance().portfolioDao()->deleteStockBySymbol("600519", 2));
    restart();
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    waitForHomeReplies();
    EXPECT_TRUE(VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer"));
    const size_t downloads = sim->requestsOf(3710, 2).size();
    openPortfolioFromHome();
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), downloads + 1);
    EXPECT_EQ(table(), (std::vector<std::string>{"601318.2", "600519.2"}));
    EXPECT_EQ(rows(), (std::vector<std::string>{"中国平安", "贵州茅台"}));

    // The trading account's holdings join the list.
    openTradeSession();
    ASSERT_TRUE(portfolio());
    ASSERT_TRUE(quiet());
    ASSERT_TRUE(host.tapText("编辑"));
    run(1);
    ASSERT_TRUE(quiet());
    ASSERT_TRUE(host.tapText("添加持仓股"));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(
        waitFor([&] { return UIAlertView::topAlert() && UIAlertView::topAlert()->title() == "添加持仓股成功"; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    run(1);
    ASSERT_TRUE(quiet());
    const std::vector<std::string> withHoldings = sim->ownStocks(phone);
    EXPECT_EQ(withHoldings.size(), 9u)
        << "中国平安, 贵州茅台 and 平安银行, 万科Ａ, 浦发银行, 招商银行, 模拟转债, 浦发CWB1, 万科JTP1";
    EXPECT_EQ(table(), withHoldings);
    EXPECT_EQ(portfolio()->tableData().size(), withHoldings.size());

    // Sorted by the change, largest first.
    ASSERT_TRUE(host.tapText("涨幅"));
    run(0.3);
    std::vector<float> changes;
    for (const auto& item : portfolio()->tableData()) changes.push_back(item.changePercent());
    EXPECT_TRUE(std::is_sorted(changes.rbegin(), changes.rend()));
    saveScreenshot("sorted");

    // Expanded and bought: the order screen of the row's stock (the session is open).
    const PortfolioItem first = portfolio()->tableData()[0];
    swipeQuoteRow(0);
    auto* expanded = dynamic_cast<MYExpandTableViewCell*>(cellOf(portfolio()->quotesTableView(), 0));
    ASSERT_TRUE(expanded && expanded->isExpanded());
    tapView(expanded->actionButton(1));
    run(1);
    auto* order = dynamic_cast<VTAMenuScreen*>(top());
    ASSERT_TRUE(order && order != static_cast<VTAMenuScreen*>(portfolio()));
    ASSERT_TRUE(order->viewMenu());
    EXPECT_EQ(order->viewMenu()->link(), "buysale?MMLB=0");
    ASSERT_TRUE(order->viewMessage() && order->viewMessage()->dataStock());
    EXPECT_EQ(order->viewMessage()->dataStock()->stockId(), first.stockId());
    saveScreenshot("order");
    popViewControllers(1);
    run(1);
    ASSERT_TRUE(quiet());

    // The news of the own stocks, and one article.
    tapView(portfolio()->titleView()->titleButton());
    run(0.5);
    ASSERT_TRUE(host.tapText("自选资讯"));
    ASSERT_TRUE(waitFor([&] { return !portfolio()->infoTableData().empty() && !portfolio()->isLoadingInfo(); }));
    run(0.3);
    auto news = sim->requestsOf(504, 56);
    ASSERT_EQ(news.size(), 1u);
    std::string ids;
    for (const auto& id : table()) ids += (ids.empty() ? "" : ",") + id;
    EXPECT_EQ(fieldOf(news[0], "stkcodes"), ids);
    const Digest headline = portfolio()->infoTableData()[0];
    saveScreenshot("news");
    ASSERT_TRUE(host.tapText(headline.title()));
    run(1);
    auto* article = dynamic_cast<InfoContentViewController*>(top());
    ASSERT_TRUE(article);
    ASSERT_TRUE(waitFor([&] { return !article->contentLabel()->text().empty(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(504, 61).back(), "newsid"), headline.digestId());
    EXPECT_EQ(article->titleLabel()->text(), headline.title());
}
