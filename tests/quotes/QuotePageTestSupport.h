#pragma once
// The whole client against the simulator, logged in on the home screen with
// three own stocks (浦发银行 600000.2, the Shanghai composite 000001.2 and
// 腾讯控股 00700.3) in its table and on the server, which the home screen
// lists; the quote page opens from those rows. The clock stands at 10:30 of
// a Tuesday (trading time). The finger is the headless host's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QuotesTestSupport.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/UIScrollView.h"
#include "quotes/StockQuotesViewController.h"
#include "quotes/TransactionDetailsViewController.h"
#include "shell/Navigation.h"
#include "tests/shell/LaunchTestSupport.h"
#include "tests/support/Screenshots.h"

class QuotePageTest : public LaunchFixture {
protected:
    void SetUp() override {
        LaunchFixture::SetUp();
        ASSERT_TRUE(launch());
        reachHomeFirstTime();
        ASSERT_FALSE(HasFatalFailure());
        host.setRealTimeLimit(10);
        auto dao = DaoFactory::sharedInstance().portfolioDao();
        ASSERT_TRUE(dao);
        for (const auto& [code, market] : kOwnStocks) ASSERT_TRUE(dao->addStock(QZPortfolioStock(code, market)));
        sim->setOwnStocks(phone, {"600000.2", "000001.2", "00700.3"});
        home()->refresh();
        ASSERT_TRUE(waitFor([&] {
            const auto& rows = home()->quoteStocks();
            return rows.size() == 3 && rows[0]->code() == "600000" && rows[2]->code() == "00700";
        }));
    }

    StockQuotesViewController* page() const { return dynamic_cast<StockQuotesViewController*>(top()); }

    // Taps the home screen's row of the stock and waits for its trend.
    void openFromHome(const std::string& name) {
        ASSERT_TRUE(host.tapText(name)) << host.viewTreeText();
        ASSERT_TRUE(waitFor([&] { return page() && page()->isRequestedTimeTrend(); }));
        run(0.5);
    }

    // A finger swipes the paged area one page on (left) or back.
    void swipe(bool forward) {
        if (forward)
            host.drag(290, 250, 40, 250, 12);
        else
            host.drag(40, 250, 290, 250, 12);
        run(1);
    }

    // The finger on the title's arrows (previous at its left, next at its right).
    void tapTitleAt(double x) {
        auto titleView = page()->navigationItem()->titleView();
        ASSERT_TRUE(titleView && titleView->window());
        CGPoint p = titleView->convertPointToView(CGPointMake(x, 22), nullptr);
        host.tap(p.x, p.y);
        run(0.3);
    }
    void stepRight() { tapTitleAt(122); }
    void stepLeft() { tapTitleAt(17); }

    static std::string topAlertTitle() {
        auto a = UIAlertView::topAlert();
        return a ? a->title() : std::string();
    }

    // The requests of a function since the mark.
    std::vector<SimRecord> sent(int main, int sub, size_t from = 0) const {
        auto all = sim->requestsOf(main, sub);
        return from < all.size() ? std::vector<SimRecord>(all.begin() + static_cast<long>(from), all.end())
                                 : std::vector<SimRecord>{};
    }
    size_t count(int main, int sub) const { return sim->requestsOf(main, sub).size(); }

    bool inTable(const std::string& code, int market) const {
        auto dao = DaoFactory::sharedInstance().portfolioDao();
        return dao && dao->existStockWithSymbol(code, market);
    }
    std::vector<std::string> onServer() const { return sim->ownStocks(phone); }

    HeadlessHost host;
    const std::vector<std::pair<std::string, int>> kOwnStocks = {{"600000", 2}, {"000001", 2}, {"00700", 3}};
};
