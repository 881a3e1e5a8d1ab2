// The detailed quote panel (what it reads from one set or two, what it draws,
// its level buttons) and the detailed quote screen against the simulator
// (the snapshot it asks for, buy and sell, the option sheet, failures).
#include "QuoteScreensTestSupport.h"

#include <map>

#include "core/VTAMessage.h"
#include "core/contracts/QuoteContract.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIButton.h"
#include "quotes/VTAXXJGView.h"
#include "quotes/VTAXXJGViewController.h"
#include "tests/support/WindowTest.h"
#include "ui/Palette.h"

namespace {

// A snapshot set: a stock at 10.30 (previous close 10.00) with its levels;
// `values` replaces fields by name ("" no value).
std::shared_ptr<VTATCRS> snapshot(const std::map<std::string, std::string>& values = {},
                                  const std::vector<long long>& volumes = {}) {
    std::vector<std::pair<std::string, std::string>> prices{
        {"zrsp", "10.00"}, {"zjcj", "10.30"}, {"zgcj", "10.40"}, {"zdcj", "9.90"}, {"zhd", "0.30"},
        {"zdf", "3.00"},   {"jrkp", "10.05"}, {"cjjj", "10.12"}, {"lb", "1.30"},   {"wb", "-12.50"},
        {"hsl", "0.85"},   {"syl", "8.50"},   {"cjsl", "12.5"},  {"cjje", "1.3"}};
    for (int k = 1; k <= 5; ++k) {
        prices.push_back({"sj" + std::to_string(k), "10.3" + std::to_string(k)});
        prices.push_back({"bj" + std::to_string(k), "10.2" + std::to_string(9 - k)});
    }
    TCRSWriter w;
    beginQuoteSet(w);
    for (auto& [name, _] : prices) w.addField(name, TCRSFieldType::Packed);
    for (int k = 1; k <= 5; ++k) w.addField("sl" + std::to_string(k), TCRSFieldType::Integer, 4);
    for (int k = 1; k <= 5; ++k) w.addField("bl" + std::to_string(k), TCRSFieldType::Integer, 4);
    auto text = [&](const std::string& f, const std::string& d) {
        auto it = values.find(f);
        return it == values.end() ? d : it->second;
    };
    std::vector<Value> row{text("name", "平安银行"), text("code", "000001"), std::stoi(text("exchid", "1")),
                           std::stoi(text("classid", "1"))};
    for (auto& [name, v] : prices) {
        std::string t = text(name, v);
        row.push_back(t.empty() ? Value() : Value(t));
    }
    for (int i = 0; i < 10; ++i)
        row.push_back(volumes.empty() ? Value(static_cast<long long>((i + 1) * 1000)) : Value(volumes[size_t(i)]));
    w.addRecord(row);
    auto sets = VTATCRS::buildMuTableTCRSWithData(w.bytes());
    return sets && !sets->empty() ? sets->front() : nullptr;
}

// A header set as the intraday reply's set 0.
std::shared_ptr<VTATCRS> header(const std::string& name, const std::string& last) {
    TCRSWriter w;
    auto bytes = beginQuoteSet(w)
                     .addField("zjcj", TCRSFieldType::Packed)
                     .addField("zrsp", TCRSFieldType::Packed)
                     .addRecord({name, "600000", 2, 1, last, "10.00"})
                     .bytes();
    return VTATCRS::buildMuTableTCRSWithData(bytes)->front();
}

}  // namespace

class DetailPanelTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        panel = std::make_shared<VTAXXJGView>(CGRectMake(0, 0, 320, 372));
        window->addSubview(panel);
    }
    void TearDown() override {
        panel.reset();
        WindowTest::TearDown();
    }
    // Pixels of the bar colour (0.1, 0.1, 0.6) in the right third of the level rows.
    int barPixels() {
        auto img = panel->renderToImage(2);
        int n = 0;
        for (double y = 2; y < 310; y += 1)
            for (double x = 250; x < 310; x += 1) {
                uint32_t p = pixel(*img, x, y);
                if (std::abs(red(p) - 25) < 12 && std::abs(green(p) - 25) < 12 && std::abs(blue(p) - 153) < 12) ++n;
            }
        return n;
    }
    std::shared_ptr<VTAXXJGView> panel;
};

TEST_F(DetailPanelTest, OneSetGivesHeaderAndValuesTwoSetsTakeTheHeaderFromTheFirst) {
    panel->parseHQData({snapshot()});
    EXPECT_EQ(panel->abstractTitle(), "详细报价-平安银行");
    EXPECT_EQ(panel->stKCode(), "000001");
    EXPECT_EQ(panel->stkMarketID(), 1);
    EXPECT_FALSE(panel->baseHQRS());
    panel->parseHQData({header("浦发银行", "10.50"), snapshot()});
    EXPECT_EQ(panel->abstractTitle(), "详细报价-浦发银行");
    EXPECT_EQ(panel->stKCode(), "600000");
    EXPECT_EQ(panel->stkMarketID(), 2);
    ASSERT_TRUE(panel->baseHQRS());
    panel->parseHQData({});
    EXPECT_EQ(panel->stKCode(), "600000") << "an empty reply changes nothing";
    EXPECT_NEAR(VTAXXJGView(CGRectMake(0, 0, 320, 372)).lastPriceFontSize("123.45"), 140.0 / 6 * 1.3, 1e-9);
    EXPECT_EQ(panel->lastPriceFontSize(""), 0);
}

TEST_F(DetailPanelTest, VolumeBarsOnlyForWholeLotsAndTheLevelsAreButtonsForTradableStocks) {
    panel->parseHQData({snapshot()});
    window->layoutIfNeeded();
    EXPECT_GT(barPixels(), 100);
    for (int tag = 10; tag < 20; ++tag) {
        ASSERT_TRUE(panel->levelButton(tag));
        EXPECT_TRUE(panel->levelButton(tag)->isEnabled());
        EXPECT_NEAR(panel->levelButton(tag)->frame().origin.y, std::round((tag - 10) * 31.0 + 1), 1e-9);
    }
    saveScreenshot(*panel, "panel");
    // Every level below 100 shares: no bars.
    panel->parseHQData({snapshot({}, {99, 50, 0, 1, 99, 10, 20, 30, 40, 99})});
    EXPECT_EQ(barPixels(), 0);
    // An index: no trading from the levels, no average price.
    panel->parseHQData({snapshot({{"classid", "2"}, {"name", "上证指数"}})});
    panel->renderToImage(2);
    EXPECT_FALSE(panel->levelButton(13)->isEnabled());
    saveScreenshot(*panel, "index");
    // Hong Kong, or market 0: disabled too; a missing last price draws without it.
    panel->parseHQData({snapshot({{"exchid", "3"}, {"zjcj", ""}})});
    EXPECT_TRUE(panel->renderToImage(2));
    EXPECT_FALSE(panel->levelButton(10)->isEnabled());
    panel->parseHQData({snapshot({{"exchid", "0"}})});
    panel->renderToImage(2);
    EXPECT_FALSE(panel->levelButton(19)->isEnabled());
    // Open above the high and below the low.
    panel->parseHQData({snapshot({{"jrkp", "10.45"}})});
    EXPECT_TRUE(panel->renderToImage(2));
    saveScreenshot(*panel, "open-above-high");
}

TEST_F(DetailPanelTest, TheLeftColumnSignsTheChangeLetsTheOpenStretchTheRangeAndShowsNoAverageForAnIndex) {
    auto value = [&](const std::string& label) {
        for (const auto& row : panel->leftColumnRows())
            if (row.label == label) return row.value;
        return std::string("(none)");
    };
    struct Case {
        std::map<std::string, std::string> fields;
        std::string change, percent, high, low, average;
    };
    const std::vector<Case> cases = {
        {{}, "+0.30", "+3.00%", "10.40", "9.90", "10.12"},
        {{{"zhd", "-0.20"}, {"zdf", "-2.00"}}, "-0.20", "-2.00%", "10.40", "9.90", "10.12"},
        {{{"zhd", "0.00"}, {"zdf", "0.00"}}, "+0.00", "+0.00%", "10.40", "9.90", "10.12"},
        {{{"jrkp", "10.45"}}, "+0.30", "+3.00%", "10.45", "9.90", "10.12"},       // open above the high
        {{{"jrkp", "9.80"}}, "+0.30", "+3.00%", "10.40", "9.80", "10.12"},        // open below the low
        {{{"jrkp", ""}}, "+0.30", "+3.00%", "10.40", "9.90", "10.12"},            // no open
        {{{"classid", "2"}, {"name", "上证指数"}}, "+0.30", "+3.00%", "10.40", "9.90", "--"},  // an index
    };
    for (const auto& c : cases) {
        panel->parseHQData({snapshot(c.fields)});
        auto rows = panel->leftColumnRows();
        ASSERT_EQ(rows.size(), 11u);
        SCOPED_TRACE(c.change + " " + c.high + " " + c.low + " " + c.average);
        EXPECT_EQ(rows[0].value, c.change);
        EXPECT_EQ(rows[1].value, c.percent);
        EXPECT_EQ(value("最 高："), c.high);
        EXPECT_EQ(value("最 低："), c.low);
        EXPECT_EQ(value("均 价："), c.average);
        // The change's colour follows its sign; the previous close is flat.
        EXPECT_EQ(*rows[0].color, *colorWithIndex(c.change[0] == '-' ? 16 : c.change == "+0.00" ? 17 : 15));
        EXPECT_EQ(*rows[1].color, *rows[0].color);
        EXPECT_EQ(value("昨 收："), "10.00");
    }
    // Two sets (the chart host): high and low from the header (this one has
    // none, so the open stands in for both), the open from the values.
    panel->parseHQData({header("浦发银行", "10.50"), snapshot({{"jrkp", "10.30"}})});
    EXPECT_EQ(value("最 高："), "10.30");
    EXPECT_EQ(value("最 低："), "10.30");
    saveScreenshot(*panel, "left-column");
}

TEST_F(DetailPanelTest, TheTotalsUnderTheLevelsShowVolumeAndAmountInMoneyFormEachInItsColour) {
    panel->parseHQData({snapshot({{"cjsl", "12.5"}, {"cjje", "1.3"}})});
    const auto rows = panel->totalRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].label, "总手：");
    EXPECT_EQ(rows[0].value, "12.5万");
    EXPECT_EQ(*rows[0].color, *colorWithIndex(28));
    EXPECT_EQ(rows[1].label, "金额：");
    EXPECT_EQ(rows[1].value, "1.3万");
    EXPECT_EQ(*rows[1].color, *colorWithIndex(17));
    // Drawn in rows 10 and 11 of the right column (31 points each), the values after a third of it.
    auto img = panel->renderToImage(2);
    auto inkOf = [&](double top, const UIColor& c) {
        int n = 0;
        for (double y = top + 2; y < top + 29; y += 0.5)
            for (double x = 200; x < 318; x += 0.5) {
                uint32_t p = pixel(*img, x, y);
                n += std::abs(red(p) - int(c.red() * 255)) < 30 && std::abs(green(p) - int(c.green() * 255)) < 30 &&
                     std::abs(blue(p) - int(c.blue() * 255)) < 30;
            }
        return n;
    };
    EXPECT_GT(inkOf(310, *colorWithIndex(28)), 20);
    EXPECT_GT(inkOf(341, *colorWithIndex(17)), 20);
    EXPECT_EQ(inkOf(310, *colorWithIndex(17)), 0);
    EXPECT_EQ(inkOf(341, *colorWithIndex(28)), 0);
    EXPECT_TRUE(VTAXXJGView(CGRectMake(0, 0, 320, 372)).totalRows().empty());
}

class DetailQuoteScreenTest : public QuoteScreensTest {
protected:
    std::shared_ptr<VTAXXJGViewController> openDetail(const std::string& id) {
        auto screen = std::make_shared<VTAXXJGViewController>();
        screen->setStkcode(id);
        pushViewController(screen);
        settle();
        EXPECT_TRUE(waitIdle(*screen));
        settle(0.2);
        return screen;
    }
    // The trade login and the order screen, recorded.
    void recordTradeScreens() {
        ScreenRegistry::shared().setTradeLogin([this](const std::shared_ptr<VTAMenu>& m) {
            pending = m;
            auto login = std::make_shared<RecordingScreen>();
            login->setTitle("交易登录");
            return login;
        });
        ScreenRegistry::shared().addScreenClass("TradeViewController", [this](const LinkSetup& setup, const auto&) {
            auto order = std::make_shared<RecordingScreen>();
            order->setTitle(setup.value == 0 ? "买入委托" : "卖出委托");
            orders.push_back(order);
            return order;
        });
    }
    std::shared_ptr<VTAMenu> pending;
    std::vector<std::shared_ptr<RecordingScreen>> orders;
};

TEST_F(DetailQuoteScreenTest, TheSnapshotFillsThePanelAndItsLevelsOpenOrdersAtTheirPrices) {
    recordTradeScreens();
    auto s = openDetail("600000.2");
    auto sent = sim->requestsOf(31000, 4);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "code"), "600000.2");
    EXPECT_EQ(fieldOf(sent[0], "field"), VTAXXJGViewController::kFields);
    EXPECT_EQ(s->title(), "详细报价-浦发银行");
    EXPECT_EQ(s->myJGView()->stkMarketID(), 2);
    saveScreenshot("detail");

    // "买入" without a trade session: the trade login with the order pending.
    ASSERT_TRUE(host.tapText("买入"));
    settle();
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->link(), "buysale?MMLB=0");
    popViewControllers(1);
    settle();

    // With a session: the fourth level row (卖二) buys at its price.
    setTradeSession();
    UIButton* level = s->myJGView()->levelButton(13);
    ASSERT_TRUE(level && level->isEnabled());
    CGPoint c = level->convertPointToView(CGPointMake(level->bounds().size.width / 2, 10), nullptr);
    host.tap(c.x, c.y);
    settle();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(top(), orders[0].get());
    EXPECT_EQ(orders[0]->title(), "买入委托");
    auto message = orders[0]->viewMessage();
    ASSERT_TRUE(message && message->dataStock());
    EXPECT_EQ(message->type(), 1);
    EXPECT_EQ(message->dataStock()->code(), "600000");
    s->myJGView()->chartHQRS()->fetchFirst();
    EXPECT_FLOAT_EQ(message->dataStock()->price(),
                    s->myJGView()->chartHQRS()->toVTAFloatWithFieldName("sj2")->toFloat());
    popViewControllers(1);
    settle();
    // A bid row sells; "卖出" of the toolbar too.
    s->myJGView()->levelButton(17)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    settle();
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders[1]->title(), "卖出委托");
    popViewControllers(1);
    settle();
    ASSERT_TRUE(host.tapText("卖出"));
    settle();
    ASSERT_EQ(orders.size(), 3u);
    EXPECT_EQ(orders[2]->viewMessage()->dataStock()->name(), "浦发银行");
}

TEST_F(DetailQuoteScreenTest, IndicesAndHongKongStocksAreNotTradedHere) {
    recordTradeScreens();
    setTradeSession();
    auto index = openDetail("000001.2");
    EXPECT_EQ(index->title(), "详细报价-上证指数");
    EXPECT_FALSE(index->myJGView()->levelButton(12)->isEnabled());
    ASSERT_TRUE(host.tapText("买入"));
    EXPECT_EQ(topAlertTitle(), "指数无法交易！");
    host.pressAlertButton("确定");
    saveScreenshot("index");
    popViewControllers(1);
    settle();
    auto hk = openDetail("00700.3");
    ASSERT_TRUE(host.tapText("卖出"));
    EXPECT_EQ(topAlertTitle(), "暂不支持港股交易！");
    host.pressAlertButton("确定");
    EXPECT_TRUE(orders.empty());
}

TEST_F(DetailQuoteScreenTest, TheOptionSheetAddsToTheOwnStocksAndGoesHome) {
    auto s = openDetail("600000.2");
    ASSERT_TRUE(host.tapText("选项"));
    settle();
    ASSERT_TRUE(s->optionSheet() && s->optionSheet()->isVisible());
    EXPECT_EQ(s->optionSheet()->buttonTitleAtIndex(0), "返回首页");
    EXPECT_EQ(s->optionSheet()->buttonTitleAtIndex(1), "加入自选");
    EXPECT_EQ(s->optionSheet()->buttonTitleAtIndex(2), "取消");
    ASSERT_TRUE(host.pressAlertButton("加入自选"));
    settle();
    EXPECT_EQ(topAlertTitle(), "浦发银行(600000.2),添加成功！");
    EXPECT_TRUE(DaoFactory::sharedInstance().portfolioDao()->existStockWithSymbol("600000", 2));
    host.pressAlertButton("确定");

    // "刷新" asks again; a failure leaves the panel as it was.
    sim->forceErrorSet(-1, "行情暂停", 31000, 4);
    ASSERT_TRUE(host.tapText("刷新"));
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(sim->requestsOf(31000, 4).size(), 2u);
    EXPECT_EQ(topAlertTitle(), "行情暂停");
    host.pressAlertButton("确定");
    EXPECT_EQ(s->myJGView()->stKCode(), "600000");
    sim->answerNext(QuoteContract::kSnapshot, {1, 2, 3});
    s->onCommandRefresh();
    ASSERT_TRUE(waitIdle(*s));
    EXPECT_EQ(topAlertTitle(), "数据构建错误");
    host.pressAlertButton("确定");

    ASSERT_TRUE(host.tapText("选项"));
    settle();
    ASSERT_TRUE(host.pressAlertButton("返回首页"));
    settle();
    EXPECT_EQ(depth(), 1u);
}
