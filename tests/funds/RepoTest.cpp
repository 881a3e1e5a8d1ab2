// The quoted repo (澄穗通) driven by finger against the simulated brokerage:
// buying from the menu's buy form and from the product list, the amount's
// exact quantity and its refusals, the picker's rows across appearances, and
// ending a running deal early from the deals' list, with paging while the
// termination is on its way.
#include "FundMenuTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/RepoContract.h"
#include "funds/RepoRules.h"
#include "funds/VTAKVRQueryViewController.h"
#include "funds/VTAKVRTradeViewController.h"
#include "sim/SimRepo.h"
#include "trade/TradePickerStrip.h"
#include "ui/QZTabView.h"
#include "ui/VTAPageCtr.h"
#include "ui/VTATableView.h"

namespace {

namespace Repo = RepoContract;

class RepoTest : public FundMenuTest {
protected:
    VTAKVRTradeViewController* openBuyForm() {
        auto* vc = openItem<VTAKVRTradeViewController>("kvrmr");
        EXPECT_TRUE(vc);
        if (vc) {
            EXPECT_TRUE(waitFor([&] { return !vc->maxIncomeLabel()->text().empty(); }));
        }
        settle(0.5);
        return vc;
    }
    std::vector<SimRepoDeal> deals() {
        return sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) { return r.deals["110001234"]; });
    }
    std::vector<SimRecord> buys() { return sim->requestsOf(Repo::kBuy.main, Repo::kBuy.sub); }
    std::vector<SimRecord> ends() { return sim->requestsOf(Repo::kEnd.main, Repo::kEnd.sub); }
};

TEST_F(RepoTest, ABuyFromTheMenuLendsTheAmountForTheFirstProduct) {
    auto* vc = openBuyForm();
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "报价回购");
    EXPECT_EQ(toolbarTitles(vc), (std::vector<std::string>{"首页", "个股", "确定"}));
    EXPECT_EQ(vc->tradeCode(), "205001");
    EXPECT_EQ(vc->nameLabel()->text(), "澄穗通7天(205001)");
    EXPECT_EQ(vc->maxIncomeLabel()->text(), "2.80");
    EXPECT_EQ(vc->minIncomeLabel()->text(), "0.72");
    EXPECT_EQ(vc->deadLineLabel()->text(), "7");
    EXPECT_EQ(vc->moneyLabel()->text(), "1000000.00元");
    const SimRecord info = sim->requestsOf(Repo::kInfo.main, Repo::kInfo.sub).back();
    EXPECT_EQ(fieldOf(info, "stkcode"), "205001");
    EXPECT_EQ(fieldOf(info, "fundid"), "010110001234");
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 54).back(), "unlist"), "|market|");
    saveScreenshot("repo-buy");

    expectInSightWhileTyped(vc->moneyField());
    saveScreenshot("repo-buy-typing");
    retype(vc->moneyField(), "12345");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "请仔细确认以下信息:\n交易类型：买入（澄穗通）\n证券名称：澄穗通7天(205001)\n委托金额：12345");
    saveScreenshot("repo-buy-confirm");
    EXPECT_TRUE(buys().empty()) << "nothing leaves before the sheet's 确定";
    ASSERT_TRUE(confirm());
    EXPECT_EQ(vc->moneyField()->text(), "") << "the amount is emptied when the order goes";
    ASSERT_TRUE(alertShown(VTAKVRTradeViewController::kSuccessText));
    saveScreenshot("repo-buy-sent");
    ASSERT_EQ(buys().size(), 1u);
    const SimRecord buy = buys().back();
    EXPECT_EQ(fieldOf(buy, "orderqty"), "123.45");
    EXPECT_EQ(fieldOf(buy, "market"), "1");
    EXPECT_EQ(fieldOf(buy, "secuid"), "A100001234");
    EXPECT_EQ(fieldOf(buy, "stkcode"), "205001");
    const auto all = deals();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all.back().code, "205001");
    EXPECT_EQ(all.back().amount, 1234500);
    EXPECT_EQ(money().available(), 100000000 - 1234500);
    ASSERT_TRUE(dismissAlert(VTAKVRTradeViewController::kSuccessText));
    EXPECT_NE(top(), vc) << "the success alert's button closes the form";
}

TEST_F(RepoTest, AmountsThatNeedRoundingOrFailTheCheckAreRefusedAndNothingIsSent) {
    auto* vc = openBuyForm();
    ASSERT_TRUE(vc);
    for (const char* amount : {"0", "012", "1.05", "0.5", "0.05", "1.2.3", ""}) {
        SCOPED_TRACE(amount);
        vc->moneyField()->setText(amount);
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        EXPECT_FALSE(sheet());
        ASSERT_TRUE(dismissAlert(kRepoBadAmountText));
    }
    // Whole 元 written with zero decimals is exact: 10.0 元 lends 0.10 hundreds.
    vc->moneyField()->setText("1000.0");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown(VTAKVRTradeViewController::kSuccessText));
    EXPECT_EQ(fieldOf(buys().back(), "orderqty"), "10.00");
    EXPECT_EQ(buys().size(), 1u);
}

TEST_F(RepoTest, ThePickerOffersEachProductOnceAndAChoiceAsksForItsInformation) {
    auto* vc = openBuyForm();
    ASSERT_TRUE(vc);
    // Coming back asks for the list again; its rows replace the picker's.
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    settle();
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 54).size() == 2; }));
    settle();
    EXPECT_EQ(vc->productData().size(), 4u);

    vc->formTable()->window()->layoutIfNeeded();
    tapView(vc->formTable()->cellForRowAtIndexPath({0, 0}).get());
    settle(0.5);
    ASSERT_TRUE(vc->codePicker()->isOpen());
    EXPECT_EQ(vc->codePicker()->picker()->numberOfRowsInComponent(0), 4);
    EXPECT_EQ(vc->codePicker()->picker()->selectedRowInComponent(0), 0);
    saveScreenshot("repo-picker");
    pickRow(vc->codePicker()->picker(), 2);
    ASSERT_TRUE(waitFor([&] { return vc->deadLineLabel()->text() == "28"; }));
    EXPECT_EQ(vc->tradeCode(), "205003");
    EXPECT_EQ(vc->nameLabel()->text(), "澄穗通28天(205003)");
    EXPECT_EQ(vc->maxIncomeLabel()->text(), "3.40");

    // An information reply naming another product than the one now chosen
    // (one chosen before, answered late) is dropped: the form never shows
    // 14 days for the 91-day product, nor lends on it.
    TCRSWriter stale;
    stale.beginSet();
    for (const char* f : {"stkname", "stkcode", "dueprice", "interprice", "gh_days", "market"})
        stale.addField(f, TCRSFieldType::VarText);
    stale.addRecord({"澄穗通14天", "205002", "3.10", "0.72", "14", "1"});
    stale.beginSet().addField("t0fundavl", TCRSFieldType::VarText).addRecord({"1.00"});
    sim->answerNext(Repo::kInfo, stale.bytes());
    auto* strip = vc->codePicker();
    strip->pickerViewDidSelectRow(*strip->picker(), 3, 0);
    ASSERT_TRUE(waitFor([&] { return !vc->hasRequestInFlight(); }));
    settle(0.5);
    EXPECT_EQ(vc->tradeCode(), "205004");
    EXPECT_EQ(vc->nameLabel()->text(), "澄穗通91天(205004)");
    EXPECT_NE(vc->deadLineLabel()->text(), "14");
    EXPECT_NE(vc->moneyLabel()->text(), "1.00元");
    strip->slideDown();
    settle(0.5);
    retype(vc->moneyField(), "1000");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_FALSE(sheet()) << "no information of the product chosen, no sheet";
    ASSERT_TRUE(dismissAlert(kRepoUnknownText)) << topAlertTitle();
    // Its own information, asked again, is taken.
    strip->pickerViewDidSelectRow(*strip->picker(), 3, 0);
    ASSERT_TRUE(waitFor([&] { return vc->deadLineLabel()->text() == "91"; }));
    EXPECT_EQ(vc->maxIncomeLabel()->text(), "3.80");
}

TEST_F(RepoTest, TheProductListBuysTheSelectedProductAndOpensTheDealsList) {
    auto* list = openItem<VTAKVRQueryViewController>("kvrcp");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->queryType(), 0);
    ASSERT_TRUE(gridShows(*list, 4));
    EXPECT_EQ(toolbarTitles(list), (std::vector<std::string>{"首页", "提前终止", "买入"}));
    EXPECT_EQ(list->myTableView()->topTitles().front(), "证券代码");
    for (const auto& title : list->myTableView()->topTitles()) EXPECT_NE(title, "市场") << "the link unlists it";
    saveScreenshot("repo-products");

    tapGridRow(*list->myTableView(), 1);
    ASSERT_TRUE(tapToolbar(list, "买入"));
    settle();
    auto* buy = dynamic_cast<VTAKVRTradeViewController*>(top());
    ASSERT_TRUE(buy);
    ASSERT_TRUE(waitFor([&] { return buy->deadLineLabel()->text() == "14"; }));
    EXPECT_EQ(buy->tradeCode(), "205002");
    ASSERT_TRUE(waitFor([&] { return buy->productData().size() == 4; }));
    EXPECT_EQ(buy->selectedIndex(), 1) << "the handed product is preselected in the picker";
    settle();
    EXPECT_EQ(sim->requestsOf(100, 27).back().fields.empty(), false);
    EXPECT_EQ(fieldOf(sim->requestsOf(100, 27).back(), "stkcode"), "205002") << "never the list's first product";

    popViewControllers(1);
    settle();
    ASSERT_TRUE(tapToolbar(list, "提前终止"));
    settle();
    auto* deals = dynamic_cast<VTAKVRQueryViewController*>(top());
    ASSERT_TRUE(deals);
    EXPECT_EQ(deals->queryType(), 1);
    EXPECT_EQ(toolbarTitles(deals), (std::vector<std::string>{"首页", "个股", "确定"}));
}

TEST_F(RepoTest, ADealEndsEarlyWholeOnceAndPagingMeanwhileAsksOnlyForTheList) {
    auto* list = openItem<VTAKVRQueryViewController>("kvrzz");
    ASSERT_TRUE(list);
    ASSERT_TRUE(gridShows(*list, 1));
    saveScreenshot("repo-deals");
    ASSERT_TRUE(tapToolbar(list, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(
        sheet()->title(),
        "请确认以下信息:\n交易类型:提前终止（澄穗通）\n证券名称：澄穗通14天\n证券代码：205002\n委托数量：50.00\n");
    saveScreenshot("repo-end-confirm");

    // The answer is held back until released: the termination is surely
    // still on its way at the second press.
    sim->holdReply(500, 58);
    ASSERT_TRUE(confirm(false));
    ASSERT_TRUE(list->isEnding());
    const size_t lists = sim->requestsOf(500, 57).size();
    list->onCommandRefresh();  // paging and refreshing go through the same road
    ASSERT_TRUE(list->isEnding());
    list->onCommandOK();
    EXPECT_FALSE(sheet()) << "no second termination while one is on its way";
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown(VTAKVRQueryViewController::kEndAcceptedText));
    saveScreenshot("repo-end-sent");
    EXPECT_EQ(ends().size(), 1u);
    EXPECT_TRUE(waitFor([&] { return sim->requestsOf(500, 57).size() > lists; })) << "the refresh asked for the list";
    const SimRecord end = ends().back();
    EXPECT_EQ(fieldOf(end, "orderqty"), "50.00") << "the whole deal";
    EXPECT_EQ(fieldOf(end, "matchcode"), "R1");
    EXPECT_EQ(fieldOf(end, "secuid"), "A100001234");
    const auto all = deals();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].status, SimRepoDealStatus::Ended);
    // 5,000.00 元 back with three days at 0.72 % a year: 0.2959 rounded half up to 0.30.
    EXPECT_EQ(all[0].paidBack, 500030);
    EXPECT_EQ(money().available(), 100000000 + all[0].paidBack);
    ASSERT_TRUE(dismissAlert(VTAKVRQueryViewController::kEndAcceptedText));
    EXPECT_NE(top(), list);
}

TEST_F(RepoTest, AnEmptyOrFailedDealsListEndsNothing) {
    sim->forceErrorSet(-1, "查询失败", 500, 57);
    auto* list = openItem<VTAKVRQueryViewController>("kvrzz");
    ASSERT_TRUE(list);
    ASSERT_TRUE(dismissAlert("查询失败"));
    ASSERT_TRUE(tapToolbar(list, "确定"));
    EXPECT_FALSE(sheet());
    EXPECT_TRUE(ends().empty());
}

}  // namespace
