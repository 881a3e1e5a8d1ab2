// The older chart screen against the simulator, by finger: the intraday chart
// with its cursor and the detailed quote panel, the K-line chart's zoom,
// periods, indicators and past day, the picker, the option sheet for each
// kind of chart and stock, the switch between the charts, F10, the auto
// refresh and failures.
#include "QuoteScreensTestSupport.h"

#include "charts/HistoryTimeSharingChartViewController.h"
#include "charts/VTAFSView.h"
#include "charts/VTAKXView.h"
#include "core/VTAMessage.h"
#include "core/contracts/QuoteContract.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UIActionSheet.h"
#include "quotes/VTACJViewController.h"
#include "quotes/VTAHQViewController.h"
#include "quotes/VTAXXJGView.h"
#include "quotes/VTAXXJGViewController.h"
#include "ui/QZTabView.h"

namespace {
CGPoint midOf(const UIView& v, const CGRect& r) {
    return v.convertPointToView(CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r)), nullptr);
}
}  // namespace

class ChartHostTest : public QuoteScreensTest {
protected:
    std::shared_ptr<VTAHQViewController> openChart(const std::string& link, bool wait = true) {
        auto s = open<VTAHQViewController>(link, "行情");
        EXPECT_TRUE(s);
        if (s && wait) {
            EXPECT_TRUE(waitIdle(*s));
            settle(0.2);
        }
        return s;
    }
    // Opens the option sheet and presses the item.
    void option(const std::string& item, const std::string& shot = "") {
        ASSERT_TRUE(host.tapText("选项"));
        settle();
        if (!shot.empty()) saveScreenshot(shot);
        ASSERT_TRUE(host.pressAlertButton(item)) << item;
        settle(0.5);
    }
    SimRecord lastKLine() { return sim->requestsOf(31000, 2).back(); }
};

TEST_F(ChartHostTest, TheIntradayChartAsksForItsStockAndLaysThePanelOverIt) {
    auto s = openChart("fschart?code=000001.1");
    ASSERT_TRUE(s && s->fsView());
    auto sent = sim->requestsOf(31000, 1);
    ASSERT_EQ(sent.size(), 1u);
    for (auto [key, value] : std::vector<std::pair<const char*, const char*>>{{"freq", "2"},
                                                                              {"addup", "0"},
                                                                              {"time", "0"},
                                                                              {"date", "0"},
                                                                              {"maxvol", "999999999"},
                                                                              {"code", "000001.1"}})
        EXPECT_EQ(fieldOf(sent[0], key), value) << key;
    EXPECT_EQ(s->title(), "分时-平安银行");
    EXPECT_TRUE(host.isTextVisible("K线")) << "the toolbar offers the other chart";
    saveScreenshot("intraday");

    // A tap on the prices shows the cursor, another hides it.
    VTAFSView& fs = *s->fsView();
    CGPoint price = midOf(fs, fs.lineRect());
    settle(0.5);
    host.tap(price.x, price.y);
    settle(0.5);
    EXPECT_TRUE(fs.showCursor());
    EXPECT_GE(fs.cursorIndex(), 0);
    host.tap(price.x, price.y);
    settle(0.5);
    EXPECT_FALSE(fs.showCursor());

    // A double tap on the detail box: the panel over the whole screen.
    CGPoint box = midOf(fs, fs.detailRect());
    host.doubleTap(box.x, box.y);
    settle(0.5);
    ASSERT_TRUE(s->isPanelShown());
    EXPECT_EQ(s->jgView()->tag(), VTAHQViewController::kPanelTag);
    EXPECT_EQ(s->jgView()->frame(), s->view()->bounds());
    EXPECT_EQ(s->title(), "详细报价-平安银行");
    EXPECT_EQ(s->jgView()->lastLayerTransitionKey(), VTAHQViewController::kTransitionKey);
    EXPECT_EQ(s->jgView()->lastLayerTransition()->subtype, CATransitionSubtype::FromTop);
    EXPECT_TRUE(host.isTextVisible("隐藏"));
    saveScreenshot("panel");
    // Every reply refreshes it.
    s->onCommandRefresh();
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(sim->requestsOf(31000, 1).size(), 2u);
    EXPECT_EQ(s->title(), "详细报价-平安银行");
    // A downward swipe on the panel closes it.
    settle(0.5);
    host.drag(60, 150, 60, 350);
    settle(0.5);
    EXPECT_FALSE(s->isPanelShown());
    EXPECT_EQ(s->title(), "分时-平安银行");
    EXPECT_EQ(s->jgView()->lastLayerTransition()->subtype, CATransitionSubtype::FromBottom);
    // An upward swipe from the box opens it; "隐藏" closes it.
    settle(0.5);
    host.drag(box.x, CGRectGetMaxY(fs.convertRectToView(fs.detailRect(), nullptr)) - 3, box.x, 120);
    settle(0.5);
    ASSERT_TRUE(s->isPanelShown());
    ASSERT_TRUE(host.tapText("隐藏"));
    settle(0.5);
    EXPECT_FALSE(s->isPanelShown());
    EXPECT_FALSE(host.isTextVisible("隐藏"));
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(ChartHostTest, TheKLineZoomsChangesPeriodAndIndicatorAndOpensAPastDay) {
    auto s = openChart("kxchart?code=600000.2");
    ASSERT_TRUE(s && s->kxView());
    VTAKXView& kx = *s->kxView();
    EXPECT_EQ(s->title(), "K线-浦发银行");
    auto first = lastKLine();
    EXPECT_EQ(fieldOf(first, "type"), "5") << "the day";
    EXPECT_EQ(fieldOf(first, "count"), "320");
    EXPECT_EQ(fieldOf(first, "direct"), "1");
    EXPECT_EQ(fieldOf(first, "code"), "600000.2");
    ASSERT_TRUE(kx.chartHQRS());
    saveScreenshot("kline");
    CGPoint c = midOf(kx, kx.lineRect());

    // Horizontal pinch and spread: the zoom step, around at both ends.
    const int zoom = kx.itemIndex();
    const int shown = kx.window().count;
    host.pinch(c.x, c.y, 200, 60);
    EXPECT_EQ(kx.itemIndex(), (zoom + 1) % 5);
    settle(0.5);  // the 0.35 s animation, then the bars are worked out again
    EXPECT_NE(kx.window().count, shown);
    kx.setItemIndex(4);
    host.pinch(c.x, c.y, 200, 60);
    EXPECT_EQ(kx.itemIndex(), 0);
    settle(0.5);
    host.pinch(c.x, c.y, 60, 200);
    EXPECT_EQ(kx.itemIndex(), 4);
    settle(0.5);
    EXPECT_EQ(sim->requestsOf(31000, 2).size(), 1u) << "a zoom asks nothing";

    // Vertical pinch: the period before, asked once the animation has run.
    host.verticalPinch(c.x, c.y, 200, 60);
    EXPECT_EQ(kx.typeIndex(), 3);
    EXPECT_FALSE(kx.chartHQRS()) << "the bars of the old period are dropped";
    EXPECT_EQ(sim->requestsOf(31000, 2).size(), 1u);
    settle(0.5);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(fieldOf(lastKLine(), "type"), "4") << "60 minutes";
    EXPECT_EQ(fieldOf(lastKLine(), "count"), "320");
    kx.setTypeIndex(0);
    host.verticalPinch(c.x, c.y, 200, 60);
    EXPECT_EQ(kx.typeIndex(), 6) << "5分钟 back to 月线";
    settle(0.5);
    ASSERT_TRUE(waitIdle(*s));
    host.verticalPinch(c.x, c.y, 60, 200);
    EXPECT_EQ(kx.typeIndex(), 0) << "月线 on to 5分钟";
    settle(0.5);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(fieldOf(lastKLine(), "type"), "1");
    saveScreenshot("five-minutes");

    // A tap on the candles shows the cursor; on the volume area (cursor hidden)
    // the next indicator, asked at once.
    settle(0.5);
    host.tap(c.x, c.y);
    settle(0.5);
    EXPECT_TRUE(kx.showCursor());
    const size_t asked = sim->requestsOf(31000, 2).size();
    CGPoint volume = midOf(kx, kx.cjlRect());
    host.tap(volume.x, volume.y);
    settle(0.5);
    EXPECT_EQ(sim->requestsOf(31000, 2).size(), asked) << "not while the cursor shows";
    host.tap(c.x, c.y);
    settle(0.5);
    const std::string before = kx.techName();
    host.tap(volume.x, volume.y);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_NE(kx.techName(), before);
    EXPECT_EQ(fieldOf(lastKLine(), "techname"), kx.techName());
    kx.setTechName("SAR");
    settle(0.5);
    host.tap(volume.x, volume.y);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(kx.techName(), "") << "after the last, the first (volume)";

    // A double tap on a candle: that day's intraday chart.
    settle(0.5);
    host.doubleTap(c.x, c.y);
    settle();
    auto* modal = dynamic_cast<UINavigationController*>(nav->modalViewController());
    ASSERT_TRUE(modal);
    auto* history = dynamic_cast<HistoryTimeSharingChartViewController*>(modal->topViewController());
    ASSERT_TRUE(history);
    ASSERT_TRUE(waitForRequests(31000, 1, 1));
    auto day = sim->requestsOf(31000, 1).back();
    EXPECT_EQ(fieldOf(day, "code"), "600000.2");
    EXPECT_EQ(fieldOf(day, "date").size(), 8u);
    EXPECT_NE(fieldOf(day, "date"), "0");
    ASSERT_TRUE(waitIdle(*history));
    settle(0.5);
    saveScreenshot("past-day");
    history->backAction();
    settle();
    EXPECT_FALSE(nav->modalViewController());
}

TEST_F(ChartHostTest, ThePickerSetsThePeriodAndTheIndicator) {
    auto s = openChart("kxchart?code=600000.2");
    ASSERT_TRUE(s);
    VTAKXView& kx = *s->kxView();
    option("K线周期");
    ASSERT_TRUE(s->indexPickerTab() && s->indexPickerTab()->open());
    UIPickerView& picker = *s->indexPicker();
    EXPECT_EQ(picker.numberOfComponents(), 2);
    EXPECT_EQ(picker.numberOfRowsInComponent(1), 7);
    EXPECT_EQ(picker.titleForRow(4, 1), "日线");
    EXPECT_EQ(picker.selectedRowInComponent(1), kx.typeIndex());
    saveScreenshot("picker");
    // A row turned to the middle: its period or indicator, asked at once.
    s->pickerViewDidSelectRow(picker, 5, 1);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(kx.typeIndex(), 5);
    EXPECT_EQ(fieldOf(lastKLine(), "type"), "6") << "the week";
    EXPECT_EQ(fieldOf(lastKLine(), "count"), "320");
    s->pickerViewDidSelectRow(picker, 1, 0);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(kx.techName(), "MACD");
    EXPECT_EQ(fieldOf(lastKLine(), "techname"), "MACD");
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey(VTAKXView::kTechSetting), "MACD");
    s->indexPickerTab()->slideDown();
    settle();
    // Shown again after a pinch: it turns to the chart's period.
    CGPoint c = midOf(kx, kx.lineRect());
    host.verticalPinch(c.x, c.y, 60, 200);
    settle(0.5);
    ASSERT_TRUE(waitIdle(*s));
    option("K线周期");
    EXPECT_EQ(picker.selectedRowInComponent(1), 6);
}

TEST_F(ChartHostTest, TheOptionSheetFollowsTheChartAndTheStock) {
    auto s = openChart("fschart?code=000001.1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->optionItems(),
              (std::vector<std::string>{"开启叠加", "加入自选", "买入委托", "卖出委托", "交易明细", "返回首页"}));
    // The overlay: the setting turns and the chart asks with the index.
    option("开启叠加", "intraday-sheet");
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_TRUE(VTAUserDefoult::standerDefoult().getBoolForKey(VTAFSView::kOverlaySetting));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 1).back(), "addup"), "1");
    EXPECT_EQ(s->optionItems()[0], "取消叠加");
    saveScreenshot("overlay");
    // "加入自选": the own-stock table.
    option("加入自选");
    EXPECT_EQ(topAlertTitle(), "平安银行(000001.1),添加成功！");
    EXPECT_TRUE(DaoFactory::sharedInstance().portfolioDao()->existStockWithSymbol("000001", 1));
    host.pressAlertButton("确定");
    // "买入委托" through the trade gate.
    std::shared_ptr<VTAMenu> pending;
    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& m) {
        pending = m;
        return std::make_shared<RecordingScreen>();
    });
    ScreenRegistry::shared().addScreenClass(
        "TradeViewController", [](const LinkSetup&, const auto&) { return std::make_shared<RecordingScreen>(); });
    option("卖出委托");
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->link(), "buysale?MMLB=1");
    popViewControllers(1);
    settle();
    // "交易明细": the deals of the stock.
    option("交易明细");
    auto* deals = dynamic_cast<VTACJViewController*>(top());
    ASSERT_TRUE(deals);
    EXPECT_EQ(deals->title(), "成交明细-平安银行");
    EXPECT_EQ(deals->stockCode(), "000001");
    EXPECT_EQ(deals->market(), 1);
    ASSERT_TRUE(waitForRequests(31000, 9, 1));
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 9)[0], "code"), "000001.1");
    popViewControllers(1);
    settle();

    // The K-line of the same stock: the detailed quote screen, home.
    ASSERT_TRUE(host.tapText("K线"));
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(s->optionItems(),
              (std::vector<std::string>{"详细报价", "加入自选", "K线周期", "买入委托", "卖出委托", "返回首页"}));
    option("详细报价");
    auto* detail = dynamic_cast<VTAXXJGViewController*>(top());
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->stkcode(), "000001.1");
    popViewControllers(1);
    settle();

    // Hong Kong K-line: four items; index 3 goes home, 4 is "取消".
    popViewControllers(1);
    settle();
    auto hk = openChart("kxchart?code=00700.3");
    ASSERT_TRUE(hk);
    EXPECT_EQ(hk->optionItems(), (std::vector<std::string>{"详细报价", "加入自选", "K线周期", "返回首页"}));
    ASSERT_TRUE(host.tapText("选项"));
    settle();
    ASSERT_TRUE(hk->optionSheet());
    EXPECT_EQ(hk->optionSheet()->cancelButtonIndex(), 4);
    hk->optionSheet()->dismissWithClickedButtonIndex(4, false);
    settle();
    EXPECT_EQ(top(), hk.get());
    // An index intraday chart: three items.
    popViewControllers(1);
    settle();
    auto index = openChart("fschart?code=000001.2");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->optionItems(), (std::vector<std::string>{"取消叠加", "加入自选", "返回首页"}));
    option("返回首页");
    EXPECT_EQ(depth(), 1u);
}

TEST_F(ChartHostTest, TheOtherChartFlipsInAndF10NeedsAStockOfTheMainland) {
    auto s = openChart("fschart?code=600000.2");
    ASSERT_TRUE(s);
    ASSERT_TRUE(host.tapText("K线"));
    EXPECT_EQ(s->contentView()->lastTransition(), UIViewAnimationTransition::FlipFromRight);
    EXPECT_EQ(s->title(), "K线");
    EXPECT_FALSE(s->fsView());
    ASSERT_TRUE(s->kxView());
    EXPECT_EQ(s->chartType(), 1);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(s->title(), "K线-浦发银行");
    EXPECT_EQ(fieldOf(lastKLine(), "code"), "600000.2");
    EXPECT_TRUE(host.isTextVisible("分时"));
    ASSERT_TRUE(host.tapText("分时"));
    EXPECT_EQ(s->contentView()->lastTransition(), UIViewAnimationTransition::FlipFromLeft);
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_TRUE(s->fsView());
    EXPECT_EQ(sim->requestsOf(31000, 1).size(), 2u);

    // F10: the menu's "f10" item, handed the stock; refused for indices and Hong Kong.
    std::shared_ptr<VTAMessage> handed;
    ScreenRegistry::shared().addScreen("f10", [&](const std::shared_ptr<VTAMenu>&) {
        auto f10 = std::make_shared<RecordingScreen>();
        f10->setTitle("F10");
        return f10;
    });
    ASSERT_TRUE(host.tapText("F10"));
    settle();
    auto* f10 = dynamic_cast<RecordingScreen*>(top());
    ASSERT_TRUE(f10);
    ASSERT_TRUE(f10->viewMessage());
    EXPECT_EQ(f10->viewMessage()->type(), 0);
    EXPECT_EQ(f10->viewMessage()->dataText(), "stkcode=600000&market=2");
    popViewControllers(1);
    settle();
    VTATree::setSharedTree(nullptr);
    ASSERT_TRUE(host.tapText("F10"));
    EXPECT_EQ(topAlertTitle(), "找不到菜单");
    host.pressAlertButton("确定");
    popViewControllers(1);
    settle();

    auto index = openChart("kxchart?code=399001.1");
    ASSERT_TRUE(host.tapText("F10"));
    EXPECT_EQ(topAlertTitle(), "大盘没有个股资讯");
    host.pressAlertButton("确定");
    popViewControllers(1);
    settle();
    auto hk = openChart("fschart?code=00700.3");
    ASSERT_TRUE(host.tapText("F10"));
    EXPECT_EQ(topAlertTitle(), "暂不支持港股个股资讯功能");
    host.pressAlertButton("确定");
}

TEST_F(ChartHostTest, WithoutACodeNothingIsAskedAndTheAutoRefreshFollowsItsSettings) {
    VTAUserDefoult::standerDefoult().setBool(true, "auto refresh");
    auto none = openChart("fschart", false);
    ASSERT_TRUE(none);
    settle(12);
    EXPECT_TRUE(sim->requestsOf(31000, 1).empty());
    EXPECT_FALSE(none->autoRequestTimer());
    popViewControllers(1);
    settle();

    // "auto refresh wait time" 3 reads as 5 s; every reply restarts it.
    VTAUserDefoult::standerDefoult().setInt(3, "auto refresh wait time");
    auto s = openChart("fschart?code=000001.1");
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->autoRequestTimer());
    EXPECT_DOUBLE_EQ(s->autoRequestTimer()->timeInterval(), 5);
    settle(5.1);
    ASSERT_TRUE(waitForRequests(31000, 1, 2));
    ASSERT_TRUE(waitIdle(*s));
    popViewControllers(1);
    settle();
    VTAUserDefoult::standerDefoult().setInt(10, "auto refresh wait time");
    s = openChart("kxchart?code=600000.2");
    ASSERT_TRUE(s && s->autoRequestTimer());
    EXPECT_DOUBLE_EQ(s->autoRequestTimer()->timeInterval(), 10);
    popViewControllers(1);
    settle();
    VTAUserDefoult::standerDefoult().setBool(false, "auto refresh");
    s = openChart("kxchart?code=600000.2");
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->autoRequestTimer());
}

TEST_F(ChartHostTest, AFailedReplyLeavesTheChartAsItWas) {
    auto s = openChart("kxchart?code=600000.2");
    ASSERT_TRUE(s);
    const int bars = s->kxView()->chartHQRS()->rowsAffected();
    sim->forceErrorSet(-1, "K线服务暂停", 31000, 2);
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(topAlertTitle(), "K线服务暂停");
    host.pressAlertButton("确定");
    ASSERT_TRUE(s->kxView()->chartHQRS());
    EXPECT_EQ(s->kxView()->chartHQRS()->rowsAffected(), bars);
    EXPECT_EQ(s->title(), "K线-浦发银行");
    sim->answerNext(QuoteContract::kKLine, {9, 9, 9});
    s->onCommandRefresh();
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(topAlertTitle(), "数据解析错误！");
}
