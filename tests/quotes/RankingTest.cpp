// The ranking list against the simulator: the total and the windows it asks
// for, paging by pulls to the ranking's end and around, the chooser and the
// rise/fall switch, the rows' quote page, trade and own-stock buttons, and
// what a failure or the auto refresh does.
#include "QuoteScreensTestSupport.h"

#include <set>

#include "core/VTAMessage.h"
#include "core/contracts/RankingContract.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "platform/uikit/UILabel.h"
#include "quotes/MarketQuotationSortViewController.h"
#include "quotes/StockQuotesViewController.h"
#include "sim/SimPortfolio.h"
#include "ui/Palette.h"
#include "ui/QuoteCells.h"
#include "ui/QuotesPageControl.h"
#include "ui/SVProgressHUD.h"

namespace {

const std::string kMenuLink = "pxhq?market=1^深圳&type=101^全部A股&sort=24^成交量&tc_mfuncno=31000&tc_sfuncno=3";

std::vector<std::string> codesOf(const VTATCRS* rs) {
    std::vector<std::string> out;
    if (!rs) return out;
    auto& set = const_cast<VTATCRS&>(*rs);
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) out.push_back(set.toStringWithFieldName("code").value_or(""));
    set.fetchFirst();
    return out;
}

}  // namespace

TEST(RankingWindowTest, PagesWrapAtBothEndsAndNeverStartBeforeTheFirstRow) {
    auto walk = [](int total, bool up, int steps) {
        std::vector<int> at{0};
        RankingWindow w;
        for (int i = 0; i < steps; ++i) {
            w = up ? w.pulledUp(total) : w.pulledDown(total);
            EXPECT_EQ(w.length, 20);
            at.push_back(w.location);
        }
        return at;
    };
    EXPECT_EQ(walk(45, true, 3), (std::vector<int>{0, 20, 25, 0}));
    EXPECT_EQ(walk(45, false, 3), (std::vector<int>{0, 25, 5, 0}));
    EXPECT_EQ(walk(60, true, 3), (std::vector<int>{0, 20, 40, 0}));
    EXPECT_EQ(walk(60, false, 1), (std::vector<int>{0, 40}));
    // Shorter than a window, or empty: always the window at 0.
    for (int total : {0, 7, 19, 20}) {
        EXPECT_EQ(walk(total, true, 2), (std::vector<int>{0, 0, 0})) << total;
        EXPECT_EQ(walk(total, false, 2), (std::vector<int>{0, 0, 0})) << total;
    }
    RankingWindow ten{10, 20};
    EXPECT_EQ(ten.pulledDown(45).location, 0) << "not -10";
}

class RankingTest : public QuoteScreensTest {
protected:
    std::shared_ptr<MarketQuotationSortViewController> openRanking(const std::string& link = kMenuLink) {
        auto screen = open<MarketQuotationSortViewController>(link, "行情排行");
        EXPECT_TRUE(screen);
        if (screen) {
            EXPECT_TRUE(waitIdle(*screen));
        }
        settle(0.2);
        return screen;
    }
    // The customer scrolls to the last row, then pulls on.
    void pullUp(MarketQuotationSortViewController& s) {
        UITableView& t = *s.tableView();
        t.setContentOffset(CGPointMake(0, std::max(0.0, t.contentSize().height - t.bounds().size.height)));
        pull(160, 380, -260);
        EXPECT_TRUE(waitIdle(s));
        settle(0.2);
    }
    void pullDown(MarketQuotationSortViewController& s) {
        s.tableView()->setContentOffset(CGPointMake(0, 0));
        pull(160, 120, 260);
        EXPECT_TRUE(waitIdle(s));
        settle(0.2);
    }
    // The chooser's "确定" after picking a row of a section (by its title) or a market.
    void choose(MarketQuotationSortViewController& s, const std::function<void(VTAHQPXParamView&)>& pick,
                const std::string& shot = "") {
        ASSERT_TRUE(host.tapText("分类"));
        settle();
        ASSERT_TRUE(s.paramView()->isShown());
        pick(*s.paramView());
        settle(0.2);
        if (!shot.empty()) saveScreenshot(shot);
        ASSERT_TRUE(host.tapText("确定"));
        settle();
        ASSERT_TRUE(waitIdle(s));
        settle(0.2);
    }
    // Taps the chooser's row of that title (scrolled into view).
    void tapChooserRow(VTAHQPXParamView& p, int section, int row, const std::string& title) {
        UITableView& t = *p.myTableView();
        t.scrollToRowAtIndexPath({section, row}, UITableViewScrollPosition::Middle, false);
        t.layoutIfNeeded();
        settle(0.3);
        CGRect r = t.convertRectToView(t.rectForRowAtIndexPath({section, row}), nullptr);
        CGPoint c = CGPointMake(CGRectGetMidX(r) - 60, CGRectGetMidY(r));
        host.tap(c.x, c.y);
        settle(0.2);
        ASSERT_EQ(t.cellForRowAtIndexPath({section, row})->textLabel()->text(), title);
    }
};

TEST_F(RankingTest, TheMenuRankingAsksItsTotalThenPagesThroughItsWindowsAndAround) {
    auto s = openRanking();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title(), "深圳-全部A股-成交量");
    auto totals = sim->requestsOf(191, 7);
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(fieldOf(totals[0], "market"), "1");
    EXPECT_EQ(fieldOf(totals[0], "class"), "101");
    EXPECT_EQ(fieldOf(totals[0], "field"), "0|1|2");
    auto windows = sim->requestsOf(31000, 3);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(fieldOf(windows[0], "market"), "1");
    EXPECT_EQ(fieldOf(windows[0], "class"), "101");
    EXPECT_EQ(fieldOf(windows[0], "type"), "24") << "the sort goes out as \"type\"";
    EXPECT_EQ(fieldOf(windows[0], "offset"), "0");
    EXPECT_EQ(fieldOf(windows[0], "count"), "20");
    EXPECT_EQ(fieldOf(windows[0], "direct"), "1");
    EXPECT_EQ(fieldOf(windows[0], "field"), "1|3|4|6|11|16|20|21|");
    EXPECT_FALSE(hasField(windows[0], "sort"));

    const int total = s->itemsCount();
    EXPECT_EQ(total, 31) << "the Shenzhen A shares of the simulator";
    auto first = codesOf(s->hqrs().get());
    ASSERT_EQ(first.size(), 20u);
    EXPECT_NE(std::find(first.begin(), first.end(), "000001"), first.end()) << "平安银行 in the first window";
    EXPECT_TRUE(host.isTextVisible("平安银行"));
    EXPECT_EQ(s->refreshFooterView()->positionText(), "第1-20条 共31条");
    saveScreenshot("first-window");

    // Up: the last full window, then around to the first.
    std::set<std::string> seen(first.begin(), first.end());
    pullUp(*s);
    EXPECT_EQ(s->range().location, 11);
    auto second = codesOf(s->hqrs().get());
    EXPECT_EQ(second.size(), 20u);
    seen.insert(second.begin(), second.end());
    EXPECT_EQ(seen.size(), size_t(total)) << "every stock of the ranking was shown";
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 3).back(), "offset"), "11");
    EXPECT_EQ(s->refreshFooterView()->positionText(), "第12-31条 共31条");
    pullUp(*s);
    EXPECT_EQ(s->range().location, 0);
    EXPECT_EQ(codesOf(s->hqrs().get()), first);
    // Down: from the first window to the last.
    pullDown(*s);
    EXPECT_EQ(s->range().location, 11);
    pullDown(*s);
    EXPECT_EQ(s->range().location, 0);
    EXPECT_EQ(sim->requestsOf(191, 7).size(), 1u) << "paging asks no total";
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(RankingTest, EveryMarketClassAndSortOfTheChooserPagesToItsEnd) {
    auto s = openRanking();
    ASSERT_TRUE(s);
    VTAHQPXParamView& p = *s->paramView();
    ASSERT_TRUE(p.hasConfiguration());
    ASSERT_EQ(p.markets().count(), 4u);
    ASSERT_EQ(p.types().count(), 9u);
    ASSERT_EQ(p.sorts().count(), 6u);

    // Pages up from the first window until it comes round again; every row
    // of the ranking is seen, each window in order of the figure.
    auto pageThrough = [&](const std::string& what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(s->range().location, 0);
        EXPECT_EQ(fieldOf(sim->requestsOf(31000, 3).back(), "offset"), "0");
        const int total = s->itemsCount();
        std::set<std::string> seen;
        std::set<int> markets;
        std::string expected = p.selectedMarket();
        for (int guard = 0; guard < 10; ++guard) {
            VTATCRS* rs = s->hqrs().get();
            ASSERT_TRUE(rs);
            EXPECT_EQ(rs->rowsAffected(), std::min(total, 20));
            for (rs->fetchFirst(); !rs->isEOF(); rs->fetchNext()) {
                seen.insert(rs->toStringWithFieldName("code").value_or("") + "." +
                            std::to_string(rs->toIntWithFieldName("exchid")));
                markets.insert(static_cast<int>(rs->toIntWithFieldName("exchid")));
            }
            rs->fetchFirst();
            if (total <= 20) break;
            pullUp(*s);
            if (s->range().location == 0) break;
        }
        EXPECT_EQ(seen.size(), size_t(total));
        for (int m : markets) EXPECT_NE(expected.find(std::to_string(m)), std::string::npos) << m;
    };

    pageThrough("the menu's ranking");
    for (int m = 0; m < static_cast<int>(p.markets().count()); ++m) {
        choose(*s, [&](VTAHQPXParamView& v) {
            settle(0.3);
            CGRect seg = v.marketSegment()->convertRectToView(v.marketSegment()->rectForSegment(m), nullptr);
            host.tap(CGRectGetMidX(seg), CGRectGetMidY(seg));
        });
        EXPECT_EQ(fieldOf(sim->requestsOf(191, 7).back(), "market"), p.markets().pairs()[size_t(m)].second);
        pageThrough("market " + p.markets().pairs()[size_t(m)].first);
    }
    for (int t = 0; t < static_cast<int>(p.types().count()); ++t) {
        choose(*s, [&](VTAHQPXParamView& v) { tapChooserRow(v, 1, t, v.types().pairs()[size_t(t)].first); });
        EXPECT_EQ(fieldOf(sim->requestsOf(31000, 3).back(), "class"), p.types().pairs()[size_t(t)].second);
        pageThrough("class " + p.types().pairs()[size_t(t)].first);
        EXPECT_EQ(s->title(), p.getMarketName() + "-" + p.types().pairs()[size_t(t)].first + "-" + p.getSortName());
    }
    for (int k = 0; k < static_cast<int>(p.sorts().count()); ++k) {
        choose(*s, [&](VTAHQPXParamView& v) { tapChooserRow(v, 2, k, v.sorts().pairs()[size_t(k)].first); });
        EXPECT_EQ(fieldOf(sim->requestsOf(31000, 3).back(), "type"), p.sorts().pairs()[size_t(k)].second);
        pageThrough("sort " + p.sorts().pairs()[size_t(k)].first);
    }
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}

TEST_F(RankingTest, ARowTakesTheColourOfItsMove) {
    sim->answerNext({31000, 3}, risenFallenFlatReply());
    auto s = openRanking();
    ASSERT_TRUE(s && s->hqrs() && s->hqrs()->rowsAffected() == 3);
    s->tableView()->layoutIfNeeded();
    struct Row {
        int palette;  // of the price and the change
        int upDown;   // the change percent on red (0), green (1) or grey (2)
    };
    const Row rows[] = {{15, 0}, {16, 1}, {17, 2}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(s->tableView()->cellForRowAtIndexPath({0, i}));
        ASSERT_TRUE(cell);
        EXPECT_EQ(*cell->lastTradeLabel()->textColor(), *colorWithIndex(rows[i].palette));
        EXPECT_EQ(*cell->changeLabel()->textColor(), *colorWithIndex(rows[i].palette));
        EXPECT_EQ(cell->upDownType(), rows[i].upDown);
        const UIColor& percent = *cell->changePercentLabel()->backgroundColor();
        EXPECT_EQ(percent.red() > percent.green(), rows[i].upDown == 0);
        EXPECT_EQ(percent.green() > percent.red(), rows[i].upDown == 1);
    }
    saveScreenshot("rise-fall-flat");
}

TEST_F(RankingTest, TheChoosersOkAndTheRiseFallSwitchStartAtTheFirstWindow) {
    auto s = openRanking();
    ASSERT_TRUE(s);
    pullUp(*s);
    ASSERT_EQ(s->range().location, 11);

    // The switch: sorted by the rise ("21"), the falls first, from row 0.
    ASSERT_TRUE(host.tapText(MarketQuotationSortViewController::kDecreaseText));
    ASSERT_TRUE(waitIdle(*s));
    auto sent = sim->requestsOf(31000, 3).back();
    EXPECT_EQ(fieldOf(sent, "offset"), "0");
    EXPECT_EQ(fieldOf(sent, "type"), "21");
    EXPECT_EQ(fieldOf(sent, "direct"), "0");
    EXPECT_FALSE(s->isIncrease());
    EXPECT_EQ(s->title(), "深圳-全部A股-涨幅");
    VTATCRS& rs = *s->hqrs();
    double previous = -1e9;
    for (rs.fetchFirst(); !rs.isEOF(); rs.fetchNext()) {
        double rise = rs.toVTAFloatWithFieldName("zdf")->toFloat();
        EXPECT_GE(rise, previous - 1e-6) << "the largest fall first";
        previous = rise;
    }
    rs.fetchFirst();

    // The chooser's OK: a new total and its first window, rising again.
    pullUp(*s);
    ASSERT_EQ(s->range().location, 11);
    choose(
        *s, [&](VTAHQPXParamView& v) { tapChooserRow(v, 1, 0, "股票"); }, "chooser");
    EXPECT_EQ(sim->requestsOf(191, 7).size(), 2u);
    sent = sim->requestsOf(31000, 3).back();
    EXPECT_EQ(fieldOf(sent, "offset"), "0") << "not the old window";
    EXPECT_EQ(fieldOf(sent, "direct"), "1");
    EXPECT_EQ(fieldOf(sent, "class"), "3");
    EXPECT_EQ(s->title(), "深圳-股票-涨幅");
}

TEST_F(RankingTest, ALinkWithoutItsKeysAsksForTheDefaultsAndTheChooserNeedsTheConfiguration) {
    auto s = openRanking("pxhq");
    ASSERT_TRUE(s);
    auto sent = sim->requestsOf(31000, 3).back();
    EXPECT_EQ(sent.main, 31000);
    EXPECT_EQ(sent.sub, 3);
    EXPECT_EQ(fieldOf(sent, "market"), "1|2");
    EXPECT_EQ(fieldOf(sent, "class"), "3");
    EXPECT_EQ(fieldOf(sent, "type"), "21");
    EXPECT_EQ(s->title(), "深沪-股票-涨幅");
    popViewControllers(1);
    settle();

    VTAParamter::shareParamter().removeValueForKey("commomdSettingForHQ");
    auto bare = open<MarketQuotationSortViewController>(kMenuLink, "行情排行");
    ASSERT_TRUE(bare);
    auto alert = topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "配置错误");
    EXPECT_EQ(alert->message(), "请重新请求配置文件");
    EXPECT_FALSE(bare->paramView()->hasConfiguration());
    EXPECT_EQ(bare->title(), "1-101-24") << "the codes stand in for the names";
}

TEST_F(RankingTest, ATapOpensTheQuotePageAmongTheWindowsStocksAndAReturnAsksNothingAtOnce) {
    auto s = openRanking();
    ASSERT_TRUE(s);
    auto codes = codesOf(s->hqrs().get());
    int row = static_cast<int>(std::find(codes.begin(), codes.end(), "000001") - codes.begin());
    ASSERT_LT(row, 20);
    s->tableView()->scrollToRowAtIndexPath({0, row}, UITableViewScrollPosition::Middle, false);
    settle(0.5);
    CGPoint c = rowCenter(*s->tableView(), row);
    host.tap(c.x, c.y);
    settle();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(top(), pages[0].get());
    EXPECT_EQ(pages[0]->stocks.size(), 20u);
    EXPECT_EQ(pages[0]->index, row);
    EXPECT_EQ(pages[0]->stocks[size_t(row)]->name(), "平安银行");
    EXPECT_EQ(pages[0]->stocks[size_t(row)]->marketID(), 1);
    EXPECT_EQ(pages[0]->stocks[size_t(row)]->typeID(), 1);
    EXPECT_EQ(s->title(), "深圳") << "the back button reads the market";

    const size_t asked = sim->requestsOf(31000, 3).size();
    popViewControllers(1);
    settle(2);
    EXPECT_EQ(s->title(), "深圳-全部A股-成交量");
    EXPECT_EQ(sim->requestsOf(31000, 3).size(), asked);
    EXPECT_EQ(sim->requestsOf(191, 7).size(), 1u);
}

TEST_F(RankingTest, ASwipedRowOffersTradeAndTheOwnStocks) {
    auto s = openRanking();
    ASSERT_TRUE(s);
    UITableView& table = *s->tableView();
    swipeRow(table, 1);
    ASSERT_EQ(s->selectedIndex(), 1);
    auto cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 1}));
    ASSERT_TRUE(cell && cell->isExpanded());
    EXPECT_EQ(table.rectForRowAtIndexPath({0, 1}).size.height, 84);
    saveScreenshot("expanded-row");
    // Another row: it expands, the first collapses; a swipe on it collapses it.
    swipeRow(table, 3);
    EXPECT_EQ(s->selectedIndex(), 3);
    EXPECT_EQ(table.rectForRowAtIndexPath({0, 1}).size.height, 42);
    swipeRow(table, 3);
    EXPECT_EQ(s->selectedIndex(), -1);

    // "+自选" with the own stocks kept locally: into the table, once.
    swipeRow(table, 0);
    cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 0}));
    ASSERT_TRUE(cell);
    const std::string code = cell->symbol();
    const int market = cell->marketId();
    cell->actionButton(0)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(SVProgressHUD::status(), "添加自选股成功");
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Success);
    auto& dao = *DaoFactory::sharedInstance().portfolioDao();
    EXPECT_TRUE(dao.existStockWithSymbol(code, market));
    EXPECT_EQ(s->selectedIndex(), 0) << "the add leaves the row open";
    settle(1);
    cell->actionButton(0)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(SVProgressHUD::status(), "自选股已经存在");
    settle(1);

    // Kept on the server: the server's list first, then the table.
    VTAUserDefoult::standerDefoult().setBool(true, "SaveMyStockInServer");
    swipeRow(table, 0);
    swipeRow(table, 2);
    cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 2}));
    ASSERT_TRUE(cell);
    const std::string id = cell->symbol() + "." + std::to_string(cell->marketId());
    cell->actionButton(0)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(SVProgressHUD::status(), "添加自选股...");
    ASSERT_TRUE(waitFor([] { return SVProgressHUD::mark() == SVProgressHUDMark::Success; }));
    EXPECT_EQ(SVProgressHUD::status(), "添加自选股成功");
    EXPECT_TRUE(dao.existStockWithSymbol(cell->symbol(), cell->marketId()));
    sim->withRoom<SimPortfolioRoom>([&](SimPortfolioRoom& r) {
        bool found = false;
        for (auto& [phone, list] : r.ownStocks) found = found || std::count(list.begin(), list.end(), id);
        EXPECT_TRUE(found) << id;
    });
    settle(1);

    // A refusal of the server is an error, shown once, and the table is left alone.
    swipeRow(table, 2);
    swipeRow(table, 4);
    cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 4}));
    ASSERT_TRUE(cell);
    sim->forceErrorSet(-1, "自选股数量已达上限", 3710, 3);
    cell->actionButton(0)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    ASSERT_TRUE(waitFor([] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }));
    EXPECT_EQ(SVProgressHUD::status(), "自选股数量已达上限");
    EXPECT_FALSE(dao.existStockWithSymbol(cell->symbol(), cell->marketId()));
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    settle(2);

    // "买入" and "卖出": the order screen through the trade gate (the trade
    // login while there is no trade session), handed the stock.
    std::shared_ptr<VTAMenu> pending;
    ScreenRegistry::shared().setTradeLogin([&](const std::shared_ptr<VTAMenu>& m) {
        pending = m;
        auto login = std::make_shared<RecordingScreen>();
        login->setTitle("交易登录");
        return login;
    });
    std::vector<std::shared_ptr<RecordingScreen>> orders;
    ScreenRegistry::shared().addScreenClass("TradeViewController", [&](const LinkSetup& setup, const auto&) {
        auto order = std::make_shared<RecordingScreen>();
        order->setTitle(setup.value == 0 ? "买入委托" : "卖出委托");
        orders.push_back(order);
        return order;
    });
    swipeRow(table, 4);
    cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 4}));
    ASSERT_TRUE(cell);
    const std::string tradeCode = cell->symbol();
    cell->actionButton(1)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    settle();
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->link(), "buysale?MMLB=0");
    EXPECT_EQ(top()->title(), "交易登录");
    EXPECT_EQ(s->selectedIndex(), -1) << "the trade buttons close the row";
    popViewControllers(1);
    settle();

    setTradeSession();
    swipeRow(table, 4);
    cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 4}));
    ASSERT_TRUE(cell);
    cell->actionButton(2)->sendActionsForControlEvents(UIControlEventTouchUpInside);
    settle();
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(top(), orders[0].get());
    EXPECT_EQ(orders[0]->title(), "卖出委托");
    auto message = orders[0]->viewMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type(), 1);
    ASSERT_TRUE(message->dataStock());
    EXPECT_EQ(message->dataStock()->code(), tradeCode);
}

TEST_F(RankingTest, FailuresEndThePullAndTheAutoRefreshAsksForTheSameWindow) {
    VTAUserDefoult::standerDefoult().setBool(true, "auto refresh");
    VTAUserDefoult::standerDefoult().setInt(3, "auto refresh wait time");
    auto s = openRanking();
    ASSERT_TRUE(s);
    pullUp(*s);
    ASSERT_EQ(s->range().location, 11);
    size_t asked = sim->requestsOf(31000, 3).size();
    settle(5.1);  // "3" reads as 5 seconds
    ASSERT_TRUE(waitIdle(*s));
    ASSERT_EQ(sim->requestsOf(31000, 3).size(), asked + 1);
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 3).back(), "offset"), "11");

    // An error set: its text, the band ready again, no timer.
    sim->forceErrorSet(-1, "行情服务暂停", 31000, 3);
    pullUp(*s);
    EXPECT_EQ(topAlertTitle(), "行情服务暂停");
    EXPECT_EQ(s->refreshFooterView()->state(), QZPullRefreshState::Normal);
    EXPECT_FALSE(s->autoRequestTimer());
    host.pressAlertButton("确定");

    // A failure of the service: once read, the auto refresh runs again.
    sim->forceFault(SimFault::Refuse, 31000, 3);
    s->onCommandRefresh();
    ASSERT_TRUE(waitFor([] { return UIAlertView::topAlert() != nullptr; }));
    EXPECT_FALSE(s->autoRequestTimer());
    host.pressAlertButton("确定");
    EXPECT_TRUE(s->autoRequestTimer());

    // Leaving stops it.
    popViewControllers(1);
    settle();
    asked = sim->requestsOf(31000, 3).size();
    settle(12);
    EXPECT_EQ(sim->requestsOf(31000, 3).size(), asked);
}

TEST_F(RankingTest, TheRowsKLineAndOrderBookButtonsOpenTheQuotePageOnTheirPages) {
    registerQuoteScreens(ScreenRegistry::shared());  // the real quote page
    auto s = openRanking();
    ASSERT_TRUE(s);
    UITableView& table = *s->tableView();
    for (int button : {3, 4}) {
        swipeRow(table, 2);
        auto cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.cellForRowAtIndexPath({0, 2}));
        ASSERT_TRUE(cell);
        const std::string code = cell->symbol();
        cell->actionButton(button)->sendActionsForControlEvents(UIControlEventTouchUpInside);
        settle();
        auto* page = dynamic_cast<StockQuotesViewController*>(top());
        ASSERT_TRUE(page) << button;
        EXPECT_EQ(page->quotesPageControl()->currentPage(), button == 3 ? 1 : 0);
        EXPECT_NE(page->codeLabel()->text().find(code), std::string::npos) << page->codeLabel()->text();
        EXPECT_EQ(s->selectedIndex(), -1);
        popViewControllers(1);
        settle();
    }
}

TEST_F(RankingTest, TheStockFindersRankingsOpenHereAnEmptyOneToo) {
    auto s = openRanking();
    ASSERT_TRUE(s);
    ASSERT_TRUE(host.tapText("个股"));
    settle();
    ASSERT_TRUE(host.tapText("沪市A股"));
    settle();
    auto shanghai = std::dynamic_pointer_cast<MarketQuotationSortViewController>(top()->sharedController());
    ASSERT_TRUE(shanghai && shanghai != s);
    ASSERT_TRUE(waitIdle(*shanghai));
    EXPECT_EQ(shanghai->title(), "上海-A股-涨幅");
    auto sent = sim->requestsOf(31000, 3).back();
    EXPECT_EQ(fieldOf(sent, "market"), "2");
    EXPECT_EQ(fieldOf(sent, "class"), "100");
    EXPECT_EQ(shanghai->itemsCount(), 28) << "沪光智能 603888 among them";

    // No Hong Kong warrants are listed: an empty ranking, pulled either way, stays at its first row.
    auto warrants = openRanking("pxhq?market=3^港股&type=5^权证&tc_mfuncno=31000&tc_sfuncno=3");
    ASSERT_TRUE(warrants);
    EXPECT_EQ(warrants->itemsCount(), 0);
    EXPECT_EQ(warrants->tableView()->numberOfRowsInSection(0), 0);
    pullUp(*warrants);
    pullDown(*warrants);
    EXPECT_EQ(warrants->range().location, 0);
    EXPECT_EQ(fieldOf(sim->requestsOf(31000, 3).back(), "offset"), "0");
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
}
