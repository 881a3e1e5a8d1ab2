// The side panel of the intraday trend chart: its texts, its switch, and the
// order buttons of the five levels.
#include "ChartsTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"

#include "charts/TimeTrendChartView.h"
#include "charts/TimeTrendSidePanel.h"
#include "core/VTAMessage.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UISegmentedControl.h"
#include "ui/Palette.h"
#include "ui/SVSegmentedControl.h"

namespace {

struct Source : TimeTrendChartDataSource {
    RecordSets sets;
    RecordSets quotesDataInTimeTrendChartView(TimeTrendChartView&) override { return sets; }
};

std::string text(const std::optional<VTAFloat>& v) { return v ? v->toString() : "none"; }

}  // namespace

TEST(TimeTrendSidePanel, LevelsShowPricesInTheirColoursAndVolumesInLots) {
    IntradayReply r;
    r.asks[2] = "0.00";  // an empty level
    auto levels = panelLevels(r.sets());
    ASSERT_EQ(levels.size(), 10u);
    // Top to bottom: sj5 .. sj1, bj1 .. bj5.
    EXPECT_EQ(text(levels[0].price), "10.35");
    EXPECT_EQ(text(levels[4].price), "10.31");
    EXPECT_EQ(text(levels[5].price), "10.30");
    EXPECT_EQ(text(levels[9].price), "10.26");
    EXPECT_EQ(levels[4].volume, "2") << "250 shares";
    EXPECT_EQ(levels[3].volume, "0") << "99 shares";
    EXPECT_EQ(levels[0].volume, "123");
    EXPECT_EQ(levels[4].result, 1);
    EXPECT_EQ(*levels[4].priceColor, *colorWithIndex(15));
    EXPECT_EQ(levels[2].result, 0) << "the empty level";
    EXPECT_EQ(*levels[2].priceColor, *colorWithIndex(17));

    r.bids[0] = "9.80";
    EXPECT_EQ(panelLevels(r.sets())[5].result, -1);
    EXPECT_EQ(*panelLevels(r.sets())[5].priceColor, *colorWithIndex(16));

    r.withDetail = false;
    EXPECT_TRUE(panelLevels(r.sets()).empty());
    EXPECT_TRUE(panelSummary(r.sets(), 1).empty());
}

TEST(TimeTrendSidePanel, SummaryReadsTheHeaderAndTheDetail) {
    IntradayReply r;
    auto rows = panelSummary(r.sets(), 1);
    ASSERT_EQ(rows.size(), 11u);
    std::vector<std::string> texts;
    for (const auto& row : rows) texts.push_back(row.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"10.05", "10.40", "9.90", "10.12", "10.00", "12.5万", "1.3万", "1.05",
                                               "-12.50%", "0.85%", "8.50"}));
    EXPECT_EQ(*rows[1].color, *colorWithIndex(15));
    EXPECT_EQ(*rows[2].color, *colorWithIndex(16));
    rows = panelSummary(r.sets(), 2);
    EXPECT_EQ(rows[8].text, "--");
    EXPECT_EQ(rows[9].text, "--");
    EXPECT_EQ(rows[10].text, "--");
}

class TimeTrendPanelScreenTest : public ScreensTest {
protected:
    void TearDown() override {
        if (chart) chart->removeFromSuperview();
        chart.reset();
        UIDevice::currentDevice().setSystemVersion("4.1");
        ScreensTest::TearDown();
    }
    void show(const IntradayReply& reply) {
        source.sets = reply.sets();
        chart = std::make_shared<TimeTrendChartView>(CGRectMake(0, 0, 320, 340));
        chart->setDataSource(&source);
        root->view()->setBackgroundColor(UIColor::blackColor());
        root->view()->addSubview(chart);
        host.render();
    }
    void tapChart(double x, double y) {
        UIApplication::sharedApplication().tapAt(chart->convertPointToView({x, y}, nullptr));
        host.render();
    }
    bool anyButtonEnabled() const {
        for (int tag = 1001; tag <= 1010; ++tag)
            if (chart->orderButton(tag)->isEnabled()) return true;
        return false;
    }

    Source source;
    std::shared_ptr<TimeTrendChartView> chart;
};

TEST_F(TimeTrendPanelScreenTest, TheSwitchStartsOnTheSummaryAndOpensTheLevels) {
    show(IntradayReply{});
    EXPECT_FALSE(chart->isPosition());
    EXPECT_EQ(chart->quotesInfoSegIndex(), 1) << "the switch shows what the panel shows";
    EXPECT_FALSE(anyButtonEnabled());
    tapChart(250, 318);  // "五档"
    EXPECT_EQ(chart->quotesInfoSegIndex(), 0);
    EXPECT_TRUE(chart->isPosition());
    for (int tag = 1001; tag <= 1010; ++tag) EXPECT_TRUE(chart->orderButton(tag)->isEnabled()) << tag;
    saveChartShot(*host.render(), "trend-chart-levels");
    EXPECT_EQ(chart->orderButton(1005)->backgroundImageForState(UIControlStateHighlighted),
              UIImage::imageNamed("QuotesPositionRed.png"));
    tapChart(300, 318);  // "报价"
    EXPECT_FALSE(chart->isPosition());
    EXPECT_FALSE(anyButtonEnabled());
}

TEST_F(TimeTrendPanelScreenTest, AnIndexKeepsTheSummaryAndHongKongAndMarketZeroCannotOrder) {
    IntradayReply index;
    index.stock.classId = 2;
    show(index);
    EXPECT_FALSE(chart->quotesInfoSeg()->isEnabled());
    EXPECT_EQ(chart->quotesInfoSegIndex(), 1);
    tapChart(250, 318);
    EXPECT_FALSE(chart->isPosition());
    EXPECT_FALSE(anyButtonEnabled());

    for (int market : {3, 0}) {
        chart->removeFromSuperview();
        IntradayReply r;
        r.stock.market = market;
        show(r);
        tapChart(250, 318);
        EXPECT_TRUE(chart->isPosition()) << market;
        EXPECT_FALSE(anyButtonEnabled()) << market;
    }
}

TEST_F(TimeTrendPanelScreenTest, ALevelOpensTheOrderScreenAtItsPrice) {
    setTradeSession();
    std::vector<std::string> opened;
    ScreenRegistry::shared().addScreen("buysale",
                                       [&](const std::shared_ptr<VTAMenu>& m) {
                                           opened.push_back(m->link());
                                           return std::make_shared<RecordingScreen>();
                                       },
                                       {.tradeScreen = true});
    IntradayReply r;
    r.asks[2] = "0.00";
    show(r);
    tapChart(250, 318);
    tapChart(280, 48 + 4 * 26 + 13);  // sj1
    settle();
    ASSERT_EQ(opened, (std::vector<std::string>{"buysale?MMLB=0"}));
    auto* order = dynamic_cast<VTAViewControllers*>(top());
    ASSERT_TRUE(order);
    EXPECT_EQ(order->title(), "买入委托");
    ASSERT_TRUE(order->viewMessage());
    EXPECT_EQ(order->viewMessage()->type(), 1);
    auto stock = order->viewMessage()->dataStock();
    ASSERT_TRUE(stock);
    EXPECT_EQ(stock->code(), "000001");
    EXPECT_EQ(stock->marketID(), 1);
    EXPECT_FLOAT_EQ(stock->price(), 10.31f);

    nav->popViewControllerAnimated(false);
    settle();
    tapChart(280, 48 + 6 * 26 + 13);  // bj2
    settle();
    EXPECT_EQ(opened.back(), "buysale?MMLB=1");
    EXPECT_EQ(top()->title(), "卖出委托");
    nav->popViewControllerAnimated(false);
    settle();

    tapChart(280, 48 + 2 * 26 + 13);  // sj3: an empty level orders nothing
    settle();
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(TimeTrendPanelScreenTest, OlderSystemsGetThePlainSwitch) {
    UIDevice::currentDevice().setSystemVersion("3.1");
    show(IntradayReply{});
    auto* seg = dynamic_cast<UISegmentedControl*>(chart->quotesInfoSeg());
    ASSERT_TRUE(seg);
    EXPECT_EQ(seg->frame(), CGRectMake(232, 304, 86, 24));
    EXPECT_EQ(seg->selectedSegmentIndex(), 1);
    tapChart(250, 316);
    EXPECT_TRUE(chart->isPosition());
}
