// A past day's intraday chart against the simulated server: the request
// passed through, the reply drawn, errors shown, and leaving on time.
#include "ChartsTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"

#include "charts/HistoryTimeSharingChartViewController.h"
#include "charts/VTAFSView.h"

namespace {

std::shared_ptr<VTATCRS> header() {
    KLineReply r;
    r.code = "600000";
    r.name = "浦发银行";
    r.market = 2;
    return r.sets()[0];
}

}  // namespace

class HistoryTimeSharingTest : public ScreensTest {
protected:
    void SetUp() override {
        ScreensTest::SetUp();
        startSimulator();
    }
};

TEST_F(HistoryTimeSharingTest, ShowsThePastDayItWasOpenedForAndCloses) {
    auto screen = openHistoryTimeSharing(*header(), "20240301");
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->title(), "浦发银行-20240301");
    ASSERT_TRUE(waitFor([&] {
        auto* chart = screen->timeSharingChartView();
        return chart && chart->chartHQRS() && chart->chartHQRS()->rowsAffected() > 0;
    }));
    auto sent = sim->requestsOf(31000, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "date"), "20240301");
    EXPECT_EQ(fieldOf(sent[0], "code"), "600000.2");
    EXPECT_EQ(fieldOf(sent[0], "addup"), "0");
    EXPECT_TRUE(screen->timeSharingChartView()->isHistory());
    EXPECT_EQ(screen->timeSharingChartView()->stkName(), "浦发银行");
    host.render();
    saveChartShot(*host.render(), "history-intraday");

    ASSERT_TRUE(host.tapText("关闭"));
    settle();
    EXPECT_FALSE(nav->modalViewController());
}

TEST_F(HistoryTimeSharingTest, AnErrorIsShownAndTheChartStaysEmpty) {
    sim->forceErrorSet(-1, "股票代码不存在", 31000, 1);
    auto screen = openHistoryTimeSharing(*header(), "20240301");
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "股票代码不存在"; }));
    EXPECT_FALSE(screen->timeSharingChartView()->chartHQRS());
}

TEST_F(HistoryTimeSharingTest, LeavingCancelsTheRequest) {
    sim->holdReply(31000, 1);
    auto screen = openHistoryTimeSharing(*header(), "20240301");
    ASSERT_TRUE(waitFor([&] { return screen->isRequestInFlight(HistoryTimeSharingChartViewController::kHistoryTag); }));
    screen->backAction();
    settle();
    EXPECT_FALSE(screen->isRequestInFlight(HistoryTimeSharingChartViewController::kHistoryTag));
    sim->releaseHeldReplies();
    drainTransfers();
    EXPECT_FALSE(screen->timeSharingChartView()->chartHQRS()) << "no reply reaches the screen";
    EXPECT_FALSE(topAlert());
}

TEST_F(HistoryTimeSharingTest, NothingOpensWithoutAStockOrADay) {
    EXPECT_FALSE(openHistoryTimeSharing(*header(), ""));
    KLineReply none;
    auto empty = VTATCRS::tcrsWithName();
    EXPECT_FALSE(openHistoryTimeSharing(*empty, "20240301"));
    EXPECT_FALSE(nav->modalViewController());
}
