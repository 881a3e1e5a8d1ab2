// The fund order form driven by finger against the simulated brokerage: the
// road of one purchase, a subscription in the offering period, the risk
// re-ask, refusals, the lookup's cases, the code handed in by the hub or a
// message, replies told apart by their tags, and leaving with an order in
// flight.
#include "FundTestSupport.h"

#include "core/VTAMessage.h"
#include "core/contracts/FundContract.h"
#include "funds/VTAJJBuySaleViewController.h"

namespace {

namespace Fund = FundContract;

class FundOrderTest : public FundTest {
protected:
    VTAJJBuySaleViewController* openForm(bool purchase = true) {
        return openLink<VTAJJBuySaleViewController>(purchase ? "of_jjsg" : "of_jjrg",
                                                    purchase ? "基金申购" : "基金认购");
    }
    // Types a code in place of the one shown; its sixth digit asks for the fund.
    void typeCode(VTAJJBuySaleViewController* vc, const std::string& code) {
        const size_t before = fundRequests(Fund::kFundLookup).size();
        tapView(vc->fundCode());
        for (size_t n = vc->fundCode()->text().size(); n > 0; --n) host.key("backspace");
        ASSERT_TRUE(host.type(code));
        if (!host.key("完成")) host.key("return");
        if (code.size() == 6) {
            ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kFundLookup).size() > before; }));
        }
        ASSERT_TRUE(waitFor([&] { return !vc->isRequestInFlight(VTAJJBuySaleViewController::kLookupTag); }));
        settle(0.5);
    }
    void typeAmount(VTAJJBuySaleViewController* vc, const std::string& amount) { retype(vc->tradePrice(), amount); }
    // "确定" of the toolbar, then the sheet's; with `settleAfter`, the answer too.
    void placeOrder(VTAJJBuySaleViewController* vc, bool settleAfter = true) {
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm(settleAfter));
    }
    std::vector<SimRecord> purchases() { return fundRequests(Fund::kPurchase); }
};

TEST_F(FundOrderTest, APurchaseGoesFromTheCodeThroughTheSheetToTheBrokerage) {
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "基金申购");
    EXPECT_EQ(vc->tradeType(), 2);
    EXPECT_EQ(toolbarTitles(vc), (std::vector<std::string>{"首页", "个股", "确定"}));
    EXPECT_EQ(vc->suiteLabel()->text(), "平衡型") << "the customer's tolerance, from the login";
    EXPECT_TRUE(fundRequests(Fund::kFundLookup).empty()) << "no code, no lookup";
    saveScreenshot("empty");

    typeCode(vc, "270001");
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_EQ(vc->fundState()->text(), "正常开放");
    EXPECT_EQ(vc->fundValue()->text(), "1.2345");
    EXPECT_EQ(vc->riskLabel()->text(), "中风险");
    EXPECT_EQ(vc->moneyCanUsed()->text(), "1000000.00");
    const SimRecord lookup = fundRequests(Fund::kFundLookup).back();
    EXPECT_EQ(fieldOf(lookup, "ofcode"), "270001");
    EXPECT_EQ(fieldOf(lookup, "fundid"), "010110001234");
    EXPECT_EQ(lookup.encrypt, 36);

    typeAmount(vc, "5000");
    saveScreenshot("filled-in");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "交易类型：基金申购 \n基金代码：270001\n基金名称：稳健成长基金\n申购金额：5000\n");
    EXPECT_EQ(sheet()->buttonTitleAtIndex(0), "确定");
    saveScreenshot("confirm");
    EXPECT_TRUE(purchases().empty()) << "nothing leaves before the sheet's 确定";
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("申购已提交，请在当日委托中查询!"));
    EXPECT_EQ(vc->tradePrice()->text(), "") << "emptied before the alert";
    EXPECT_FALSE(vc->isOrdering());
    saveScreenshot("sent");

    ASSERT_EQ(purchases().size(), 1u);
    const SimRecord r = purchases().back();
    EXPECT_EQ(r.encrypt, 36) << "orders travel enciphered";
    EXPECT_FALSE(sentInClear(r, "orderamt"));
    EXPECT_EQ(fieldOf(r, "fundid"), "010110001234");
    EXPECT_EQ(fieldOf(r, "ofcode"), "270001");
    EXPECT_EQ(fieldOf(r, "orderamt"), "5000");
    EXPECT_EQ(fieldOf(r, "chkriskflag"), "1");
    // The brokerage holds the money for the day's order.
    auto orders = fundOrders();
    ASSERT_FALSE(orders.empty());
    EXPECT_EQ(orders.back().business, 35);
    EXPECT_EQ(orders.back().amount, 500000);
    EXPECT_EQ(orders.back().status, SimFundOrderStatus::Reported);
    EXPECT_EQ(money().available(), 100000000 - 500000);
    EXPECT_EQ(money().frozen, 500000);

    const size_t depthBefore = depth();
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(depth(), depthBefore - 1) << "the success alert closes the form";
}

TEST_F(FundOrderTest, ASubscriptionInTheOfferingPeriodAndOneOutsideIt) {
    auto* vc = openForm(false);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->tradeType(), 1);
    // Outside its offering period the brokerage refuses; the amount goes, the rest stays.
    typeCode(vc, "270001");
    typeAmount(vc, "2000");
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("该基金不在认购期"));
    EXPECT_EQ(vc->tradePrice()->text(), "");
    EXPECT_EQ(vc->fundCode()->text(), "270001");
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_FALSE(vc->isOrdering());

    typeCode(vc, "270006");
    EXPECT_EQ(vc->fundState()->text(), "认购期");
    typeAmount(vc, "10000.50");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "交易类型：基金认购 \n基金代码：270006\n基金名称：恒岳新兴产业混合\n认购金额：10000.50\n");
    saveScreenshot("subscription-confirm");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("认购已提交，请在当日委托中查询!"));
    auto sent = fundRequests(Fund::kSubscribe);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(fieldOf(sent[1], "ofcode"), "270006");
    EXPECT_EQ(fieldOf(sent[1], "orderamt"), "10000.50");
    EXPECT_EQ(fundOrders().back().business, 34);
    EXPECT_EQ(fundOrders().back().amount, 1000050);
}

TEST_F(FundOrderTest, AFundAboveTheCustomersToleranceIsAskedAgainAndTheConsentServesOneOrder) {
    auto* vc = openForm();
    typeCode(vc, "270002");
    EXPECT_EQ(vc->riskLabel()->text(), "高风险");
    typeAmount(vc, "3000");
    placeOrder(vc);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle().find("88001") != std::string::npos; }));
    const std::string warning = topAlertTitle();
    EXPECT_EQ(warning, "[88001]该基金风险等级高于您的风险承受能力，是否确认继续购买？");
    EXPECT_EQ(topAlert()->buttonTitleAtIndex(0), "确定");
    EXPECT_EQ(topAlert()->buttonTitleAtIndex(1), "取消");
    EXPECT_TRUE(vc->isOrdering()) << "the order is still open while the customer reads";
    EXPECT_EQ(vc->tradePrice()->text(), "3000") << "a warning is no refusal";
    saveScreenshot("risk-reask");
    // "取消": nothing more is sent, the form stays as filled.
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle();
    EXPECT_FALSE(vc->isOrdering());
    EXPECT_EQ(purchases().size(), 1u);
    EXPECT_EQ(vc->tradePrice()->text(), "3000");

    // Asked again and accepted: the same order goes once more with the check waived.
    placeOrder(vc);
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == warning; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(alertShown("申购已提交，请在当日委托中查询!"));
    auto sent = purchases();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(fieldOf(sent[1], "chkriskflag"), "1");
    EXPECT_EQ(fieldOf(sent[2], "chkriskflag"), "0");
    EXPECT_EQ(fieldOf(sent[2], "orderamt"), "3000");
    EXPECT_FALSE(vc->riskConsent()) << "used up by that one order";
    EXPECT_EQ(fundOrders().back().code, "270002");
    host.pressAlertButton("确定");
    settle();
}

TEST_F(FundOrderTest, TheFormsChecksComeBeforeTheSheetAndTheLookupsCases) {
    auto* vc = openForm();
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请输入基金代码"));
    // A code of five digits is never looked up, but an order with it may go: the brokerage judges it.
    typeCode(vc, "27000");
    EXPECT_TRUE(fundRequests(Fund::kFundLookup).empty());
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请输入金额"));
    typeAmount(vc, "1.2.3");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请输入正确的金额"));
    typeAmount(vc, ".");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("价格输入错误"));
    EXPECT_TRUE(purchases().empty());
    // An amount longer than the field takes: the field keeps what fits and says why the keyboard went.
    tapView(vc->tradePrice());
    for (size_t n = vc->tradePrice()->text().size(); n > 0; --n) host.key("backspace");
    ASSERT_TRUE(host.type("99999999999"));
    EXPECT_EQ(vc->tradePrice()->text(), "9999999999");
    EXPECT_FALSE(UIKeyboard::isShown());
    EXPECT_TRUE(SVProgressHUD::isVisible());
    EXPECT_EQ(SVProgressHUD::status(), "最多可输入10位");
    saveScreenshot("amount-full");
    typeAmount(vc, "1000");
    placeOrder(vc);
    ASSERT_TRUE(dismissAlert("基金代码不存在"));

    // An unknown six-digit code empties the fund's rows.
    typeCode(vc, "270001");
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    typeCode(vc, "999999");
    ASSERT_TRUE(dismissAlert("查无此基金信息！"));
    EXPECT_EQ(vc->fundName()->text(), "");
    EXPECT_EQ(vc->fundValue()->text(), "");
    EXPECT_EQ(vc->moneyCanUsed()->text(), "");
    EXPECT_EQ(vc->suiteLabel()->text(), "平衡型") << "the customer's row stays";

    // A lookup the brokerage refuses keeps what was shown.
    typeCode(vc, "270003");
    sim->forceErrorSet(-1, "系统忙，请稍后再试", 100, 24);
    typeCode(vc, "270004");
    ASSERT_TRUE(dismissAlert("系统忙，请稍后再试"));
    EXPECT_EQ(vc->fundName()->text(), "恒岳增利债券");
}

// A slow line: the lookup of 999999 is on its way and nothing shows yet, so
// the customer types its last digit again. That code is looked up once, and
// its one answer is one alert.
TEST_F(FundOrderTest, ACodeCompletedAgainWhileItsLookupIsOnItsWayIsLookedUpAndAnsweredOnce) {
    auto* vc = openForm();
    sim->holdReply(100, 24);
    tapView(vc->fundCode());
    ASSERT_TRUE(host.type("999999"));
    ASSERT_TRUE(vc->isRequestInFlight(VTAJJBuySaleViewController::kLookupTag));
    // Keys at once (a finger's tap would run the loop until the reply came).
    vc->fundCode()->becomeFirstResponder();
    ASSERT_TRUE(host.key("backspace"));
    ASSERT_TRUE(host.type("9"));
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !vc->hasRequestInFlight(); }));
    settle();
    EXPECT_EQ(fundRequests(Fund::kFundLookup).size(), 1u);
    EXPECT_EQ(UIAlertView::visibleAlerts().size(), 1u);
    saveScreenshot("unknown-code");
    ASSERT_TRUE(dismissAlert("查无此基金信息！"));
    EXPECT_EQ(topAlert(), nullptr);
    EXPECT_EQ(vc->fundName()->text(), "");
}

TEST_F(FundOrderTest, ACodePickedInTheHubOrHandedInIsLookedUpOnAppearingAndTakenOnce) {
    NSUserDefaults::standardUserDefaults().setObject(Value(std::string("310001")),
                                                     VTAJJBuySaleViewController::kPickedCodeKey);
    auto* vc = openForm();
    ASSERT_TRUE(waitFor([&] { return vc->fundName()->text() == "华信价值精选混合"; }));
    EXPECT_EQ(vc->fundCode()->text(), "310001");
    EXPECT_FALSE(NSUserDefaults::standardUserDefaults().stringForKey(VTAJJBuySaleViewController::kPickedCodeKey));

    // Every return with a full code asks again; the key is not taken twice.
    const size_t lookups = fundRequests(Fund::kFundLookup).size();
    auto cover = std::make_shared<RecordingScreen>();
    pushViewController(cover);
    settle();
    popViewControllers(1);
    settle();
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kFundLookup).size() == lookups + 1; }));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundLookup).back(), "ofcode"), "310001");

    // A message of type 1 with "ofcode" (the hub's 认购 and 申购) fills the code.
    popViewControllers(1);
    settle();
    auto form = VTAUIFactory::viewControllerWithLink("of_jjrg?tc_mfuncno=500&tc_sfuncno=34", "基金认购");
    ASSERT_TRUE(form);
    static_cast<VTAViewControllers*>(form.get())
        ->setViewMessage(VTAMessage::messageWithSender(std::any(), std::any(std::string("ofcode=310006")), 1));
    pushViewController(form);
    settle();
    auto* subscription = dynamic_cast<VTAJJBuySaleViewController*>(form.get());
    ASSERT_TRUE(subscription);
    ASSERT_TRUE(waitFor([&] { return subscription->fundName()->text() == "华信科技创新混合"; }));
    EXPECT_EQ(subscription->fundValue()->text(), "1.0000");
}

TEST_F(FundOrderTest, ALateLookupReplyIsNeverTakenForTheOrdersReply) {
    auto* vc = openForm();
    typeCode(vc, "270001");
    typeAmount(vc, "1000");
    sim->holdReply(500, 35);
    placeOrder(vc, false);
    ASSERT_TRUE(vc->isRequestInFlight(VTAJJBuySaleViewController::kOrderTag));
    // No lookup goes while the order is out, even for a full code.
    vc->requestFundTrade();
    vc->myTextFieldReachMax(*vc->fundCode(), 6);
    EXPECT_FALSE(vc->isRequestInFlight(VTAJJBuySaleViewController::kLookupTag));
    // A lookup reply that comes now changes the rows only.
    auto fund = TCRSWriter()
                    .beginSet()
                    .addField("ofname", TCRSFieldType::VarText)
                    .addField("~ofstatus", TCRSFieldType::VarText)
                    .addField("nav", TCRSFieldType::VarText)
                    .addField("~ofriskvalue", TCRSFieldType::VarText)
                    .addRecord({"稳健成长基金", "正常开放", "1.2400", "中风险"})
                    .bytes();
    vc->receiveReply(VTAJJBuySaleViewController::kLookupTag, fund);
    EXPECT_EQ(vc->fundValue()->text(), "1.2400");
    EXPECT_EQ(topAlert(), nullptr);
    EXPECT_TRUE(vc->isOrdering());
    sim->releaseHeldReplies();
    ASSERT_TRUE(alertShown("申购已提交，请在当日委托中查询!"));
    EXPECT_FALSE(vc->isOrdering());
}

TEST_F(FundOrderTest, LeavingWithAnOrderInFlightSaysWhereToLookAndTheFormLooksUpAgain) {
    auto* vc = openForm();
    typeCode(vc, "270001");
    typeAmount(vc, "1000");
    sim->holdReply(500, 35);
    placeOrder(vc, false);
    ASSERT_TRUE(vc->isOrdering());
    auto cover = std::make_shared<RecordingScreen>();
    pushViewController(cover);
    ASSERT_TRUE(dismissAlert(RequestBinding::kOrderLeftText));
    EXPECT_FALSE(vc->isOrdering());
    sim->releaseHeldReplies();
    const size_t lookups = fundRequests(Fund::kFundLookup).size();
    popViewControllers(1);
    settle();
    ASSERT_TRUE(waitFor([&] { return fundRequests(Fund::kFundLookup).size() == lookups + 1; }))
        << "the form asks by itself again";
    // An answer that is no record set leaves the order's fate to the day's orders.
    sim->answerNext(Fund::kPurchase, {});
    placeOrder(vc);
    ASSERT_TRUE(alertShown("返回结果异常，请进入当日委托查询"));
    EXPECT_FALSE(vc->isOrdering());
}

}  // namespace
