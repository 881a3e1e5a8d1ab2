// The forms on the funds a customer holds, driven by finger against the
// simulated brokerage: a conversion into another fund of the same company
// (the holdings asked for and kept in the session, the target looked up,
// the choices of the pickers, the units checked) and the dividend method
// (the net values of all holdings at once, the fund the query hub handed
// in, a rejected setting).
#include "FundTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/VTAMessage.h"
#include "core/VTAParamter.h"
#include "core/contracts/FundContract.h"
#include "core/contracts/WealthContract.h"
#include "funds/VTAJJExchangeViewController.h"
#include "funds/VTAJJFHViewController.h"
#include "shell/TradeSession.h"
#include "sim/SimWealth.h"
#include "ui/VTASheetPicker.h"

namespace {

namespace Fund = FundContract;
namespace Wealth = WealthContract;

class HeldFundFormsTest : public FundTest {
protected:
    template <class Form>
    Form* open(const std::string& link, const std::string& title) {
        auto* form = openLink<Form>(link, title);
        if (form) {
            EXPECT_TRUE(waitFor([&] { return !form->hasRequestInFlight(); }));
        }
        settle(0.5);
        return form;
    }
    // Picks a row of the sheet's picker and presses its "确定".
    void pick(FundPickerSheet& pickers, int row) {
        ASSERT_TRUE(pickers.isVisible());
        pickRow(pickers.picker(), row);
        ASSERT_TRUE(host.pressAlertButton("确定"));
        settle(0.5);
    }
    void tapRow(FundForm* form, int row) {
        form->formTable()->layoutIfNeeded();
        auto cell = form->formTable()->cellForRowAtIndexPath({0, row});
        ASSERT_TRUE(cell);
        tapView(cell.get());
        settle(0.5);
    }
    std::vector<SimConversion> conversions() {
        return sim->withRoom<SimWealthRoom>([](SimWealthRoom& r) { return r.customers["110001234"].conversions; });
    }
};

TEST_F(HeldFundFormsTest, AFundHeldIsConvertedIntoAnotherOfTheSameCompany) {
    auto* vc = open<VTAJJExchangeViewController>("of_jjzh", "基金转换");
    ASSERT_TRUE(vc);
    ASSERT_EQ(fundRequests(Fund::kHoldings).size(), 1u);
    EXPECT_EQ(vc->myFunds(), (std::vector<std::string>{"稳健成长基金", "恒岳货币A", "华信纯债债券"}));
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_EQ(vc->fundCode()->text(), "270001");
    EXPECT_EQ(vc->numCanUsed()->text(), "10000.00份");
    EXPECT_EQ(vc->typeLabel()->text(), "取消");
    EXPECT_TRUE(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFunds)) << "kept for the other forms";
    saveScreenshot("conversion-holdings");

    // The units are checked before anything leaves.
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_TRUE(dismissAlert("请输入基金代码"));
    retypeInto(vc->newFundCode(), "999999");
    ASSERT_TRUE(dismissAlert("查无此基金信息！")) << topAlertTitle();
    retypeInto(vc->newFundCode(), "270003");
    EXPECT_EQ(vc->newFundName()->text(), "恒岳增利债券");
    auto target = fundRequests(Wealth::kFundQuery).back();
    EXPECT_EQ(fieldOf(target, "ofcode"), "270003");
    for (const char* bad : {"", "0", "1.2.3"}) {
        retypeInto(vc->numOfChange(), bad);
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        EXPECT_TRUE(dismissAlert("请输入正确的份额")) << bad << ": " << topAlertTitle();
    }

    // The second holding and the deferral, by the pickers.
    tapRow(vc, 0);
    EXPECT_EQ(vc->pickers().sheet()->title(), "请选择您要转换的基金");
    pick(vc->pickers(), 1);
    EXPECT_EQ(vc->fundCode()->text(), "270004");
    EXPECT_EQ(vc->numCanUsed()->text(), "20000.00份");
    tapRow(vc, 6);
    EXPECT_EQ(vc->pickers().sheet()->title(), "请选择巨额方式");
    pick(vc->pickers(), 1);
    EXPECT_EQ(vc->typeLabel()->text(), "顺延");

    retypeInto(vc->numOfChange(), "500");
    saveScreenshot("conversion-filled-in");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(),
              "交易类型：基金转换 "
              "\n转出代码：270004\n转出名称：恒岳货币A\n转入代码：270003\n转入名称：恒岳增利债券\n转换份额：500\n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("转换已提交，请在当日委托中查询!"));
    EXPECT_EQ(vc->numOfChange()->text(), "");
    auto sent = fundRequests(Wealth::kConversion);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "ofcode"), "270004");
    EXPECT_EQ(fieldOf(sent[0], "orderqty"), "500");
    EXPECT_EQ(fieldOf(sent[0], "otherofcode"), "270003");
    EXPECT_EQ(fieldOf(sent[0], "redeemtype"), "1");
    EXPECT_EQ(fieldOf(sent[0], "fundid"), "010110001234");
    ASSERT_EQ(conversions().size(), 1u);
    EXPECT_EQ(fundHolding("270004").available, 19500 * 100) << "the brokerage holds the units";
    EXPECT_FALSE(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFunds)) << "held units changed";
    const size_t before = depth();
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(depth(), before - 1);
}

TEST_F(HeldFundFormsTest, TheHoldingsComeFromTheSessionOrTheirOwnReplyWhateverTheTargetTyped) {
    // The one holding the query hub left in the session: nothing is asked, it is all the picker offers.
    auto one = VTATCRS::buildMuTableTCRSWithData(TCRSWriter()
                                                     .beginSet()
                                                     .addField("ofcode", TCRSFieldType::VarText)
                                                     .addField("ofname", TCRSFieldType::VarText)
                                                     .addField("ofavl", TCRSFieldType::VarText)
                                                     .addRecord({"310003", "华信纯债债券", "300.00"})
                                                     .bytes());
    ASSERT_TRUE(one && one->size() == 1);
    VTAParamter::shareParamter().setTCRS(one->front(), TradeSessionKey::kFunds);
    auto* vc = open<VTAJJExchangeViewController>("of_jjzh", "基金转换");
    ASSERT_TRUE(vc);
    EXPECT_TRUE(fundRequests(Fund::kHoldings).empty());
    EXPECT_EQ(vc->myFunds(), (std::vector<std::string>{"华信纯债债券"}));
    EXPECT_EQ(vc->fundCode()->text(), "310003");
    EXPECT_EQ(vc->numCanUsed()->text(), "300.00份");

    // Back on the form without holdings in the session: they are asked again,
    // and a target typed in full before they come is looked up on its own;
    // each reply fills its own rows.
    VTAParamter::shareParamter().removeValueForKey(TradeSessionKey::kFunds);
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    sim->holdReply(Fund::kHoldings.main, Fund::kHoldings.sub);
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return vc->isRequestInFlight(VTAJJExchangeViewController::kHoldingsTag); }));
    vc->newFundCode()->setText("270003");
    vc->myTextFieldReachMax(*vc->newFundCode(), 6);
    ASSERT_TRUE(vc->isRequestInFlight(VTAJJExchangeViewController::kTargetTag));
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !vc->hasRequestInFlight(); }));
    EXPECT_EQ(vc->newFundName()->text(), "恒岳增利债券");
    EXPECT_EQ(vc->myFunds(), (std::vector<std::string>{"稳健成长基金", "恒岳货币A", "华信纯债债券"}));
    EXPECT_EQ(vc->fundCode()->text(), "270001");
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_EQ(vc->numCanUsed()->text(), "10000.00份");
}

TEST_F(HeldFundFormsTest, AConversionTheBrokerageRefusesShowsItsTextAndKeepsTheForm) {
    auto* vc = open<VTAJJExchangeViewController>("of_jjzh", "基金转换");
    ASSERT_TRUE(vc);
    retypeInto(vc->newFundCode(), "310001");
    retypeInto(vc->numOfChange(), "100");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("只能在同一基金公司的基金之间转换")) << topAlertTitle();
    EXPECT_FALSE(vc->isOrdering());
    EXPECT_EQ(vc->fundCode()->text(), "270001");
    EXPECT_TRUE(conversions().empty());
}

TEST_F(HeldFundFormsTest, TheDividendMethodIsSetForTheFundTheHubHandedIn) {
    VTAParamter::shareParamter().removeValueForKey(TradeSessionKey::kFunds);
    auto screen = VTAUIFactory::viewControllerWithMenu(menu("of_fhsz", "分红设置"));
    auto* vc = dynamic_cast<VTAJJFHViewController*>(screen.get());
    ASSERT_TRUE(vc);
    vc->setViewMessage(VTAMessage::messageWithSender(nullptr, std::string("ofcode=310003"), 1));
    pushViewController(screen);
    settle();
    ASSERT_TRUE(waitFor([&] { return !vc->fundPrice()->text().empty(); }));
    EXPECT_EQ(vc->fundName()->text(), "华信纯债债券") << "the fund handed in, not the first one held";
    EXPECT_EQ(vc->fundCode()->text(), "310003");
    EXPECT_EQ(vc->fundPrice()->text(), "1.1024");
    EXPECT_EQ(vc->fundFH()->text(), "红利转投");
    auto values = fundRequests(Fund::kFundInformation);
    ASSERT_EQ(values.size(), 1u) << "the net values of all holdings at once";
    EXPECT_EQ(fieldOf(values[0], "ofcode"), "270001,270004,310003");
    EXPECT_EQ(fieldOf(values[0], "count"), "3");
    saveScreenshot("dividend");

    // Another fund held: its net value from what came, nothing asked again.
    tapRow(vc, 0);
    pick(vc->pickers(), 0);
    EXPECT_EQ(vc->fundCode()->text(), "270001");
    EXPECT_EQ(vc->fundPrice()->text(), "1.2345");
    EXPECT_EQ(fundRequests(Fund::kFundInformation).size(), 1u);
    tapRow(vc, 3);
    EXPECT_EQ(vc->pickers().sheet()->title(), "选择分红方式");
    EXPECT_EQ(vc->pickers().picker()->tag(), VTAJJFHViewController::kMethodPickerTag);
    pick(vc->pickers(), 1);
    EXPECT_EQ(vc->fundFH()->text(), "现金分红");

    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "交易类型：分红设置 \n基金代码：270001\n基金名称：稳健成长基金\n分红方式：现金分红\n");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("设置已提交，请在当日委托中查询!"));
    auto sent = fundRequests(Wealth::kDividend);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "ofcode"), "270001");
    EXPECT_EQ(fieldOf(sent[0], "dividmethod"), "1");
    EXPECT_EQ(fundHolding("270001").dividendMethod, 1);
}

TEST_F(HeldFundFormsTest, ARejectedSettingEndsTheOrderAndAPickerDuringAnOrderLosesNoAnswer) {
    auto* vc = open<VTAJJFHViewController>("of_fhsz", "分红设置");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(waitFor([&] { return !vc->fundPrice()->text().empty(); }));
    sim->forceErrorSet(-1, "该基金暂不支持修改分红方式", 500, 39);
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("该基金暂不支持修改分红方式")) << topAlertTitle();
    EXPECT_FALSE(vc->isOrdering()) << "a rejected setting ends the order";

    // The order on its way while the customer opens and closes a picker.
    sim->delayReply(0.5, 500, 39);
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm(false));
    EXPECT_TRUE(vc->isOrdering());
    tapRow(vc, 3);
    ASSERT_TRUE(vc->pickers().isVisible());
    ASSERT_TRUE(host.pressAlertButton("取消"));
    ASSERT_TRUE(alertShown("设置已提交，请在当日委托中查询!")) << "the answer is the order's";
}

TEST_F(HeldFundFormsTest, NoFundHeldLeavesTheFormsWithNothingToPick) {
    sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
        r.customer("110001234").holdings.clear();
        return 0;
    });
    auto* vc = open<VTAJJFHViewController>("of_fhsz", "分红设置");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(dismissAlert("没有可选基金!")) << topAlertTitle();
    EXPECT_TRUE(fundRequests(Fund::kFundInformation).empty());
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_TRUE(dismissAlert("请选择持有的基金"));
}

}  // namespace
