// A past day's intraday chart against the simulated server: the request
// passed through, the reply drawn, errors shown, and leaving on time.
#include "ChartsTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"

#include "charts/HistoryTimeSharingChartViewController.h"
#include "charts/VTAFSView.h"
#include "platform/uikit/UINavigationController.h"

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

    // The screen takes no chart action: taps on the price, the volume, the
    // detail box and the spot above it, and a swipe, change nothing.
    auto* chart = screen->timeSharingChartView();
    const size_t asked = sim->requests().size();
    const CGRect detail = chart->detailRect();
    for (CGPoint p : {CGPointMake(CGRectGetMidX(chart->lineRect()), CGRectGetMidY(chart->lineRect())),
                      CGPointMake(CGRectGetMidX(chart->cjlRect()), CGRectGetMidY(chart->cjlRect())),
                      CGPointMake(CGRectGetMidX(detail), CGRectGetMidY(detail)),
                      CGPointMake(detail.origin.x + 10, detail.origin.y - 10)}) {
        CGPoint at = chart->convertPointToView(p, nullptr);
        host.tap(at.x, at.y);
        settle(0.5);
    }
    CGPoint from = chart->convertPointToView(CGPointMake(20, CGRectGetMidY(chart->lineRect())), nullptr);
    host.drag(from.x, from.y, from.x + 150, from.y, 8);
    settle(0.5);
    EXPECT_EQ(sim->requests().size(), asked);
    EXPECT_FALSE(topAlert());
    auto* shown = dynamic_cast<UINavigationController*>(nav->modalViewController());
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->topViewController(), screen.get());

    ASSERT_TRUE(host.tapText("关闭"));
    settle();
    EXPECT_FALSE(nav->modalViewController());
}

TEST_F(HistoryTimeSharingTest, AnErrorOrAnUnreadableReplyIsShownAndTheChartStaysEmpty) {
    struct Case {
        const char* name;
        std::function<void()> answer;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"error set", [&] { sim->forceErrorSet(-1, "股票代码不存在", 31000, 1); }, "股票代码不存在"},
        {"no record set", [&] { sim->answerNext({31000, 1}, {}); }, "数据解析错误！"},
        {"bytes that are no record set", [&] { sim->answerNext({31000, 1}, {9, 9, 9}); }, "数据解析错误！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.answer();
        auto screen = openHistoryTimeSharing(*header(), "20240301");
        ASSERT_TRUE(screen);
        ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
        EXPECT_EQ(topAlertTitle(), c.text);
        EXPECT_FALSE(screen->timeSharingChartView()->chartHQRS());
        ASSERT_TRUE(host.pressAlertButton("确定"));
        screen->backAction();
        settle();
        ASSERT_FALSE(nav->modalViewController());
    }
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
