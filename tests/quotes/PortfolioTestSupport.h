#pragma once
// The own-stock screens against the simulator: ScreensTest's application and
// navigation stack (root "首页") with the quote and trade screens registered
// (the trade gate opens the real trade login), a fresh Documents folder with
// the application database, the phone 13800138000 with a live service
// session, and the run's own-stock flags as a fresh start leaves them. The
// finger is the headless host's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/contracts/PortfolioContract.h"
#include "core/storage/DaoFactory.h"
#include "messages/InfoContentViewController.h"
#include "messages/InfoTitleCell.h"
#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UIKeyboard.h"
#include "quotes/EditPortfolioViewController.h"
#include "quotes/PortfolioPopView.h"
#include "quotes/PortfolioStore.h"
#include "quotes/PortfolioTitleView.h"
#include "quotes/PortfolioViewController.h"
#include "quotes/QuoteScreens.h"
#include "shell/PushHandling.h"
#include "tests/quotes/QuotesTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TestSupport.h"
#include "trade/TradeScreens.h"
#include "ui/SVProgressHUD.h"

inline constexpr const char* kPortfolioPhone = "13800138000";

class PortfolioTest : public ScreensTest {
protected:
    void SetUp() override {
        docs = std::make_unique<ScopedDocuments>();
        ScreensTest::SetUp();
        ASSERT_EQ(DaoFactory::sharedInstance().setUpDatabase(), DatabaseSetupResult::Ok);
        registerQuoteScreens(ScreenRegistry::shared());
        registerTradeScreens(ScreenRegistry::shared());
        VTAUserDefoult::standerDefoult().setString(kPortfolioPhone, "your phone number");
        auto& ud = NSUserDefaults::standardUserDefaults();
        ud.setBool(false, kIsDownloadPortfolioKey);
        ud.setBool(true, "IsFirstInPortfolio");
        ud.removeObjectForKey(kPortfolioRadarKey);
        startSimulator();
        host.setRealTimeLimit(10);
    }
    void TearDown() override {
        for (auto& a : UIAlertView::visibleAlerts()) a->dismissWithClickedButtonIndex(-1, false);
        SVProgressHUD::dismiss();
        XXNetworkManager::sharedManager().cancelAll();
        ScreensTest::TearDown();
        DaoFactory::sharedInstance().close();
        docs.reset();
        NSUserDefaults::standardUserDefaults().reload();
        VTAUserDefoult::standerDefoult().reload();
    }

    // ---- the two lists ----
    static void storeLocally(const std::vector<std::string>& ids) {
        ASSERT_TRUE(portfolioTable().replaceAllWithStocks(ids));
    }
    static std::vector<std::string> localIds() {
        std::vector<std::string> out;
        for (const auto& s : portfolioTable().listPortfolioStocks()) out.push_back(s->stockId());
        return out;
    }
    void storeOnServer(const std::vector<std::string>& ids) { sim->setOwnStocks(kPortfolioPhone, ids); }
    std::vector<std::string> serverIds() { return sim->ownStocks(kPortfolioPhone); }
    // The same list on the phone and the server, which keeps it; this run fetched it already.
    void startWith(const std::vector<std::string>& ids) {
        liveOnServerAndDownloaded();
        storeLocally(ids);
        storeOnServer(ids);
    }
    // Own stocks live on the server and this run fetched them already.
    static void liveOnServerAndDownloaded() {
        setOwnStocksLiveOnServer();
        setPortfolioDownloaded();
    }
    static void keptOnPhoneOnly() { VTAUserDefoult::standerDefoult().setBool(false, kSaveMyStockInServerKey); }

    // ---- the screen ----
    // The menu's "自选股" opened through the dispatcher, and its first quotes awaited.
    PortfolioViewController* openPortfolio(bool waitForQuotes = true) {
        auto vc = VTAUIFactory::viewControllerWithMenu(menu("zxhq", "自选股", 101, 1));
        portfolio = std::dynamic_pointer_cast<PortfolioViewController>(vc);
        if (!portfolio || !pushViewController(vc)) return nullptr;
        settle();
        if (waitForQuotes) {
            EXPECT_TRUE(waitFor([&] { return sim->requestsOf(31000, 4).size() >= 1 && !busy(); }));
        }
        settle(0.2);
        return portfolio.get();
    }
    bool busy() const { return portfolio && portfolio->hasRequestInFlight(); }
    // Waits until the screen has no request on its way.
    bool settled() {
        bool ok = waitFor([&] { return !busy() && XXNetworkManager::sharedManager().pendingCount() == 0; });
        settle(0.2);
        return ok;
    }
    std::vector<std::string> rowNames() const {
        std::vector<std::string> out;
        for (const auto& item : portfolio->tableData()) out.push_back(item.name);
        return out;
    }
    MYExpandTableViewCell* quoteCell(int row) {
        auto* table = portfolio->quotesTableView();
        table->window()->layoutIfNeeded();
        return dynamic_cast<MYExpandTableViewCell*>(table->cellForRowAtIndexPath({0, row}).get());
    }
    // A finger swipes the row sideways.
    void swipeRow(int row) {
        auto* cell = quoteCell(row);
        ASSERT_TRUE(cell);
        CGRect r = cell->convertRectToView(cell->bounds(), nullptr);
        double y = r.origin.y + 21;
        host.drag(r.origin.x + 220, y, r.origin.x + 80, y, 8);
        settle(0.3);
    }
    // Taps one of the expanded row's five buttons (0 "-自选" ... 4 "五档"); a
    // request it sends is still on its way.
    void tapRowButton(int row, int button) {
        auto* cell = quoteCell(row);
        ASSERT_TRUE(cell && cell->isExpanded());
        UIView* b = cell->actionButton(button);
        CGRect f = b->convertRectToView(b->bounds(), nullptr);
        host.tap(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2);
    }
    void tapView(UIView* v) {
        window->layoutIfNeeded();
        ASSERT_TRUE(v && v->window());
        v->window()->layoutIfNeeded();
        CGRect f = v->convertRectToView(v->bounds(), nullptr);
        host.tap(f.origin.x + f.size.width / 2, f.origin.y + f.size.height / 2);
        settle(0.3);
    }
    // The view chooser from the title, then one of its rows.
    void chooseView(int row) {
        tapView(portfolio->titleView()->titleButton());
        ASSERT_TRUE(portfolio->popView() && portfolio->popView()->window());
        ASSERT_TRUE(host.tapText(PortfolioPopView::kRowTitles[row]));
        settle(0.5);
    }

    std::unique_ptr<ScopedDocuments> docs;
    std::shared_ptr<PortfolioViewController> portfolio;
};
