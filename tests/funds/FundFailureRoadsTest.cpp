// The roads of the fund screens that end in a failure or meet a second
// choice, by finger against the simulator: a fund order's cancel refused or
// answered with nothing readable, the own-fund editor's duplicate and its
// check lost on the line, the quoted repo's product changed while a buy is on
// its way and its buy without a shareholder account of the product's market.
// Each says why, keeps the list or form as it was, and the books hold only
// what the brokerage was asked to do.
#include "FundMenuTestSupport.h"

#include "core/contracts/FundContract.h"
#include "core/contracts/RepoContract.h"
#include "core/contracts/PlanContract.h"
#include "funds/IFICloseViewController.h"
#include "funds/OwnFunds.h"
#include "funds/VTAJJQueryViewController.h"
#include "funds/VTAJJZXView.h"
#include "funds/VTAKVRQueryViewController.h"
#include "funds/VTAKVRTradeViewController.h"
#include "sim/SimPlans.h"
#include "sim/SimRepo.h"
#include "trade/TradePickerStrip.h"

namespace {

using Hub = VTAJJQueryViewController;

class FundFailureRoadsTest : public FundMenuTest {
protected:
    bool cancelled(int64_t sno) {
        for (const auto& o : fundOrders())
            if (o.sno == sno) return o.status == SimFundOrderStatus::Cancelled;
        return false;
    }
    std::vector<SimRepoDeal> repoDeals() {
        return sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) { return r.deals["110001234"]; });
    }
    VTAKVRTradeViewController* openRepoBuy() {
        auto* vc = openItem<VTAKVRTradeViewController>("kvrmr");
        if (!vc || !waitFor([&] { return !vc->hasRequestInFlight() && !vc->maxIncomeLabel()->text().empty(); }))
            return nullptr;
        settle(0.5);
        return vc;
    }
};

TEST_F(FundFailureRoadsTest, ACancelRefusedOrAnsweredWithNothingReadableKeepsTheOrderAndTheNextCancelGoes) {
    const int64_t sno = placeFundPurchase();
    auto* hub = openItem<Hub>("of_wtcd");
    ASSERT_TRUE(hub && waitFor([&] { return hub->myTableView() && hub->myTableView()->rowCount() == 1; }));
    const FunctionId cancel = FundContract::kCancel;
    struct Case {
        const char* name;
        std::function<void()> answer;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"refused", [&] { sim->forceErrorSet(-1, "该委托已确认，不能撤单", cancel.main, cancel.sub); },
         "该委托已确认，不能撤单"},
        {"bytes that are no record set", [&] { sim->answerNext(cancel, {9, 9, 9}); }, Hub::kUnknownOutcomeText},
        {"no record set", [&] { sim->answerNext(cancel, {}); }, Hub::kUnknownOutcomeText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.answer();
        tapGridRow(*hub->myTableView(), 0);
        ASSERT_TRUE(tapToolbar(hub, "确定"));
        ASSERT_TRUE(confirm());
        ASSERT_TRUE(alertShown(c.text)) << topAlertTitle();
        EXPECT_FALSE(hub->isWithdraw());
        EXPECT_FALSE(cancelled(sno));
        ASSERT_TRUE(dismissAlert(c.text));
        EXPECT_EQ(top(), hub) << "the list stays";
        EXPECT_EQ(hub->myTableView()->rowCount(), 1);
    }
    tapGridRow(*hub->myTableView(), 0);
    ASSERT_TRUE(tapToolbar(hub, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("撤单已提交，请进入当日委托查询!"));
    EXPECT_TRUE(cancelled(sno));
    EXPECT_EQ(fundRequests(cancel).size(), cases.size() + 1);
}

TEST_F(FundFailureRoadsTest, TheOwnFundEditorRefusesAFundListedAlreadyAndKeepsItsListWhenTheCheckIsLost) {
    setOwnFundCodes({"270001"});
    auto* hub = openItem<Hub>("of_wdjj");
    ASSERT_TRUE(hub && waitFor([&] { return hub->myTableView() && hub->myTableView()->rowCount() == 1; }));
    ASSERT_TRUE(tapToolbar(hub, "编辑"));
    auto panel = hub->editor();
    ASSERT_TRUE(panel && panel->window());
    auto add = [&](const std::string& code) {
        ASSERT_TRUE(host.tapText("添加"));
        settle(0.5);
        ASSERT_TRUE(panel->addDialog());
        ASSERT_TRUE(host.type(code));
        ASSERT_TRUE(host.pressAlertButton("确定"));
    };
    add("270001");
    ASSERT_TRUE(alertShown("添加失败，稳健成长基金已经存在")) << topAlertTitle();
    ASSERT_TRUE(dismissAlert("添加失败，稳健成长基金已经存在"));
    EXPECT_EQ(panel->data().size(), 1u);
    sim->dropConnection(FundContract::kFundInformation.main, FundContract::kFundInformation.sub);
    add("310003");
    ASSERT_TRUE(alertShown("网络连接失败，请检查网络设置")) << topAlertTitle();
    ASSERT_TRUE(dismissAlert("网络连接失败，请检查网络设置"));
    EXPECT_EQ(panel->data().size(), 1u);
    // Once the line is back the same code comes in; OK keeps the two.
    add("310003");
    ASSERT_TRUE(waitFor([&] { return panel->data().size() == 2; }));
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    EXPECT_EQ(ownFundCodes(), (std::vector<std::string>{"270001", "310003"}));
}

TEST_F(FundFailureRoadsTest, AnotherRepoProductChosenWhileABuyIsOnItsWayWaitsAndTheBuyKeepsItsAnswer) {
    auto* vc = openRepoBuy();
    ASSERT_TRUE(vc);
    ASSERT_GE(vc->productData().size(), 2u);
    const std::string first = vc->tradeCode(), second = vc->productData()[1]->code();
    ASSERT_NE(first, second);
    const size_t deals = repoDeals().size(), infos = sim->requestsOf(100, 27).size();
    retype(vc->moneyField(), "1000");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    sim->holdReply(RepoContract::kBuy.main, RepoContract::kBuy.sub);
    ASSERT_TRUE(confirm(false));
    ASSERT_TRUE(vc->isRequestInFlight(VTAKVRTradeViewController::kOrderTag));
    // A finger on the product's row opens no wheel before the buy is answered
    // (nor does a wheel left turning choose another): the form keeps the
    // product of the buy on its way.
    vc->formTable()->window()->layoutIfNeeded();
    pressAtOnce(vc->formTable()->cellForRowAtIndexPath({0, 0}).get());
    EXPECT_FALSE(vc->codePicker()->isOpen());
    vc->codePicker()->pickerViewDidSelectRow(*vc->codePicker()->picker(), 1, 0);
    EXPECT_EQ(vc->tradeCode(), first);
    EXPECT_EQ(sim->requestsOf(100, 27).size(), infos) << "no information asked for another product";
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown(VTAKVRTradeViewController::kSuccessText)) << topAlertTitle();
    ASSERT_TRUE(waitFor([&] { return !vc->hasRequestInFlight(); }));
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u) << "one outcome";
    const auto made = repoDeals();
    ASSERT_EQ(made.size(), deals + 1);
    EXPECT_EQ(made.back().code, first) << "the product confirmed";
    EXPECT_EQ(sim->requestsOf(RepoContract::kBuy.main, RepoContract::kBuy.sub).size(), 1u);
    EXPECT_NE(vc->nameLabel()->text().find(first), std::string::npos);
}

TEST_F(FundFailureRoadsTest, OnePlanIsTerminatedAtATime) {
    sim->withRoom<SimPlansRoom>([](SimPlansRoom& r) {
        SimPlan second = r.plans["110001234"].front();
        second.code = "270001";
        r.plans["110001234"].push_back(second);
        return 0;
    });
    auto* vc = openItem<IFICloseViewController>("zndt_zz");
    ASSERT_TRUE(vc && waitFor([&] { return vc->tableData().size() == 2; }));
    const FunctionId close = PlanContract::kClose;
    auto running = [&] {
        return sim->withRoom<SimPlansRoom>([](SimPlansRoom& r) {
            int n = 0;
            for (const auto& p : r.plans["110001234"]) n += p.running ? 1 : 0;
            return n;
        });
    };
    // "终止" of a row and its sheet's "终止", with no turn of the run loop in between.
    auto terminate = [&](int row) {
        vc->tableViewCommitEditingStyle(*vc->tableView(), UITableViewCellEditingStyle::Delete, {0, row});
        if (auto* s = vc->closeSheet(); s && s->window()) s->tapButtonAtIndex(s->destructiveButtonIndex());
    };
    sim->holdReply(close.main, close.sub);
    terminate(0);
    ASSERT_TRUE(vc->isClosing());
    terminate(1);
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown("智能定投已终止")) << topAlertTitle();
    ASSERT_TRUE(waitFor([&] { return !vc->isClosing(); }));
    EXPECT_EQ(sim->requestsOf(close.main, close.sub).size(), 1u);
    EXPECT_EQ(running(), 1);
    ASSERT_TRUE(dismissAlert("智能定投已终止"));
    // The other one is ended on its own afterwards.
    ASSERT_EQ(vc->tableData().size(), 1u);
    terminate(0);
    ASSERT_TRUE(alertShown("智能定投已终止")) << topAlertTitle();
    EXPECT_EQ(running(), 0);
}

class FundsWithoutShanghaiTest : public FundFailureRoadsTest {
protected:
    const TradeCustomer& customer() const override { return kTradeCustomerC; }
};

TEST_F(FundsWithoutShanghaiTest, ARepoBuyWithoutAnAccountOfTheProductsMarketIsRefusedOnThePhone) {
    auto* vc = openRepoBuy();
    ASSERT_TRUE(vc);
    retype(vc->moneyField(), "1000");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    if (sheet()) {
        ASSERT_TRUE(confirm());
    }
    ASSERT_TRUE(alertShown("无对应股东代码")) << topAlertTitle();
    EXPECT_TRUE(sim->requestsOf(RepoContract::kBuy.main, RepoContract::kBuy.sub).empty());
    EXPECT_FALSE(vc->isRequestInFlight(VTAKVRTradeViewController::kOrderTag));
}

TEST_F(FundsWithoutShanghaiTest, AnEarlyEndWithoutAnAccountOfTheDealsMarketIsRefusedOnThePhone) {
    // A Shanghai deal on the books of a customer whose login has no Shanghai account.
    sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) {
        SimRepoDeal d = r.deals["110001234"].front();
        d.matchCode = "R9";
        d.secuid = "";
        r.deals["120009999"].push_back(d);
        return 0;
    });
    auto* list = openItem<VTAKVRQueryViewController>("kvrzz");
    ASSERT_TRUE(list && gridShows(*list, 1));
    ASSERT_TRUE(tapToolbar(list, "确定"));
    ASSERT_TRUE(alertShown("无对应股东代码")) << topAlertTitle();
    EXPECT_FALSE(sheet()) << "nothing to confirm";
    EXPECT_FALSE(list->isEnding());
    EXPECT_TRUE(sim->requestsOf(RepoContract::kEnd.main, RepoContract::kEnd.sub).empty());
    const auto held = sim->withRoom<SimRepoRoom>([](SimRepoRoom& r) { return r.deals["120009999"]; });
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].status, SimRepoDealStatus::Running);
}

}  // namespace
