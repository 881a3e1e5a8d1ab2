#pragma once
// The quote screens on the application's navigation stack against the
// simulated server: a live service session, the menu and configuration of
// the server's 100/2 installed as at login, the application database in a
// temporary Documents folder, the quote screens registered, and a quote page
// that records the stocks it is opened with.
#include "tests/shell/ScreensTestSupport.h"

#include <optional>

#include "core/RequestText.h"
#include "core/TCRSWriter.h"
#include "core/storage/DaoFactory.h"
#include "net/XXNetworkManager.h"
#include "platform/uikit/UIApplication.h"
#include "quotes/QuoteScreens.h"
#include "tests/support/Screenshots.h"
#include "tests/quotes/QuotesTestSupport.h"
#include "tests/support/TestSupport.h"

// A new quote set's first columns, the stock's: name, code, market and class.
inline TCRSWriter& beginQuoteSet(TCRSWriter& w) {
    return w.beginSet()
        .addField("name", TCRSFieldType::VarText)
        .addField("code", TCRSFieldType::VarText)
        .addField("exchid", TCRSFieldType::Integer, 4)
        .addField("classid", TCRSFieldType::Integer, 4);
}

// A quote list's reply of three stocks that rose, fell and stayed (previous
// close 10.00), in the columns the ranking and the member lists read.
inline std::vector<uint8_t> risenFallenFlatReply() {
    TCRSWriter w;
    beginQuoteSet(w);
    for (const char* f : {"zjcj", "zrsp", "zhd", "zdf"}) w.addField(f, TCRSFieldType::Packed);
    w.addRecord({"涨股", "000001", 1, 1, "10.30", "10.00", "0.30", "3.00"})
        .addRecord({"跌股", "000002", 1, 1, "9.80", "10.00", "-0.20", "-2.00"})
        .addRecord({"平股", "000003", 1, 1, "10.00", "10.00", "0.00", "0.00"});
    return w.bytes();
}

// The quote page as the lists open it: what it was opened with.
class RecordedStockPage : public VTAViewControllers {
public:
    RecordedStockPage(std::vector<std::shared_ptr<VTAStock>> stocks, int index)
        : stocks(std::move(stocks)), index(index) {
        setTitle(this->stocks[static_cast<size_t>(index)]->name());
    }
    std::vector<std::shared_ptr<VTAStock>> stocks;
    int index;
};

class QuoteScreensTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        docs = std::make_unique<ScopedDocuments>();
        ASSERT_NE(DaoFactory::sharedInstance().setUpDatabase(), DatabaseSetupResult::CreateFailed);
        for (const char* key : {"auto refresh", "auto refresh wait time", "SaveMyStockInServer", "your stocks",
                                "fschart dj set", "kx dj type", "hkmarket"})
            VTAUserDefoult::standerDefoult().removeValueForKey(key);
        startSimulator();
        ASSERT_FALSE(HasFatalFailure());
        installServerMenu();
        registerQuoteScreens(ScreenRegistry::shared());
        auto recordPage = [this](const auto& stocks, int index) {
            auto page = std::make_shared<RecordedStockPage>(stocks, index);
            pages.push_back(page);
            return page;
        };
        ScreenRegistry::shared().setStockPage(recordPage);
        ScreenRegistry::shared().setStockListPage(recordPage);
    }
    void TearDown() override {
        XXNetworkManager::sharedManager().cancelAll();
        pages.clear();
        ScreensTest::TearDown();
        VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ");
        DaoFactory::sharedInstance().close();
        docs.reset();
    }

    // The server's menu and configuration (100/2), as the login installs them.
    void installServerMenu() {
        struct Sink : QZNetworkServiceDelegate {
            std::optional<std::vector<uint8_t>> bytes;
            void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& d, int) override { bytes = d; }
        } sink;
        QZNetworkService s;
        s.setDelegate(&sink);
        s.requestStr("tc_mfuncno=100&tc_sfuncno=2", 3);
        ASSERT_TRUE(waitFor([&] { return sink.bytes.has_value(); }));
        ASSERT_TRUE(installMenuFromData(*sink.bytes));
    }

    // Opens a menu link through the dispatcher, as a tap on its item does.
    template <class Screen>
    std::shared_ptr<Screen> open(const std::string& link, const std::string& title) {
        auto vc = VTAUIFactory::viewControllerWithLink(link, title);
        auto screen = std::dynamic_pointer_cast<Screen>(vc);
        if (!screen) return nullptr;
        pushViewController(vc);
        settle();
        return screen;
    }
    // Waits until the server has received `count` requests of the function.
    bool waitForRequests(int main, int sub, size_t count) {
        return waitFor([&] { return sim->requestsOf(main, sub).size() >= count; });
    }
    // Runs the loop until nothing is in flight on the screen.
    bool waitIdle(RequestBinding& screen) {
        return waitFor([&] { return !screen.hasRequestInFlight(); });
    }
    // The middle of a table's row in window coordinates.
    static CGPoint rowCenter(UITableView& table, int row) {
        CGRect r = table.convertRectToView(table.rectForRowAtIndexPath({0, row}), nullptr);
        return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
    }
    // A finger swipes sideways over the row.
    void swipeRow(UITableView& table, int row) {
        settle(0.5);
        CGPoint c = rowCenter(table, row);
        UIApplication::sharedApplication().dragFrom(CGPointMake(c.x + 80, c.y), CGPointMake(c.x - 80, c.y), 0.3, 10);
        settle(0.1);
    }
    // A finger pulls the window's content down (dy > 0) or up (dy < 0) from the point.
    void pull(double x, double y, double dy) {
        settle(0.5);
        UIApplication::sharedApplication().dragFrom(CGPointMake(x, y), CGPointMake(x, y + dy), 0.8, 20);
        settle(0.1);
    }

    std::unique_ptr<ScopedDocuments> docs;
    std::vector<std::shared_ptr<RecordedStockPage>> pages;
};
