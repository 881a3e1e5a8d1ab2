// The fund redemption form driven by finger against the simulated
// brokerage: the funds held and the fund's information, the two pickers, a
// part of a holding redeemed, the checks and refusals, a fund picked whose
// information does not come, a holding handed over by the hub, and a customer
// without funds.
#include "FundTestSupport.h"

#include <functional>

#include "core/contracts/FundContract.h"
#include "funds/VTAJJRedeemViewController.h"

namespace {

namespace Fund = FundContract;

class FundRedeemTest : public FundTest {
protected:
    VTAJJRedeemViewController* openForm() {
        auto* vc = openLink<VTAJJRedeemViewController>("of_jjsh", "基金赎回");
        EXPECT_TRUE(vc);
        if (vc) {
            EXPECT_TRUE(waitFor([&] { return !vc->hasRequestInFlight(); }));
            settle(0.5);
        }
        return vc;
    }
    void typeUnits(VTAJJRedeemViewController* vc, const std::string& units) { retype(vc->redeemNum(), units); }
    // A row's picker: the row tapped, the wheel turned, "确定".
    void pick(VTAJJRedeemViewController* vc, int formRow, int row) {
        auto cell = vc->formTable()->cellForRowAtIndexPath({0, formRow});
        ASSERT_TRUE(cell);
        tapView(cell.get());
        settle(0.5);
        ASSERT_TRUE(vc->picker() && vc->picker()->window());
        pickRow(vc->picker(), row);
        ASSERT_TRUE(host.pressAlertButton("确定") || host.tapText("确定"));
        settle(0.5);
    }
    std::shared_ptr<VTATCRS> sessionFunds() {
        return VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kFunds);
    }
};

TEST_F(FundRedeemTest, PartOfAHoldingIsRedeemedAfterPickingTheFundAndTheHandling) {
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    EXPECT_EQ(toolbarTitles(vc), (std::vector<std::string>{"首页", "个股", "确定"}));
    // The funds held, then the first one's information.
    ASSERT_EQ(fundRequests(Fund::kHoldings).size(), 1u);
    ASSERT_EQ(fundRequests(Fund::kFundInfo).size(), 1u);
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInfo)[0], "ofcode"), "270001");
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInfo)[0], "fundid"), "010110001234");
    EXPECT_EQ(vc->myFunds(), (std::vector<std::string>{"稳健成长基金", "恒岳货币A", "华信纯债债券"}));
    EXPECT_EQ(vc->fundName()->text(), "稳健成长基金");
    EXPECT_EQ(vc->fundCode()->text(), "270001");
    EXPECT_EQ(vc->fundStatus()->text(), "正常开放");
    EXPECT_EQ(vc->fundPrice()->text(), "1.2345");
    EXPECT_EQ(vc->numCanUsed()->text(), "10000.00");
    EXPECT_EQ(vc->riskLabel()->text(), "中风险");
    EXPECT_EQ(vc->typeLabel()->text(), "取消");
    ASSERT_TRUE(sessionFunds());
    EXPECT_EQ(sessionFunds()->rowsAffected(), 3);
    saveScreenshot("holding");

    pick(vc, 0, 2);
    EXPECT_EQ(vc->selectedFundIndex(), 2);
    EXPECT_EQ(vc->fundCode()->text(), "310003");
    ASSERT_TRUE(waitFor([&] { return vc->numCanUsed()->text() == "5000.00"; }));
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInfo).back(), "ofcode"), "310003");
    EXPECT_EQ(vc->fundPrice()->text(), "1.1024");
    EXPECT_EQ(vc->riskLabel()->text(), "中低风险");
    pick(vc, 6, 1);
    EXPECT_EQ(vc->typeLabel()->text(), "顺延");

    typeUnits(vc, "1000");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "交易类型：基金赎回 \n基金代码：310003\n基金名称：华信纯债债券\n赎回份额：1000\n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirm(false));
    EXPECT_EQ(vc->redeemNum()->text(), "") << "emptied as the order goes";
    ASSERT_TRUE(alertShown("赎回已提交，请在当日委托中查询!"));
    saveScreenshot("sent");
    auto sent = fundRequests(Fund::kRedeem);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].encrypt, 36);
    EXPECT_EQ(fieldOf(sent[0], "ofcode"), "310003");
    EXPECT_EQ(fieldOf(sent[0], "orderqty"), "1000");
    EXPECT_EQ(fieldOf(sent[0], "redeemtype"), "1");
    // The brokerage holds the units for the day's order; the rest may still go.
    const SimFundHolding h = fundHolding("310003");
    EXPECT_EQ(h.units, 500000);
    EXPECT_EQ(h.available, 400000);
    EXPECT_EQ(fundOrders().back().business, 36);
    EXPECT_EQ(fundOrders().back().units, 100000);
    EXPECT_EQ(fundOrders().back().redeemType, 1);
    EXPECT_FALSE(sessionFunds()) << "the funds held are asked again next time";
    const size_t before = depth();
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_EQ(depth(), before - 1);
}

TEST_F(FundRedeemTest, UnitsAreCheckedBeforeTheSheetAndTheBrokerageJudgesTheHolding) {
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    // (the keyboard offers no blank; FundRulesTest covers an inner one)
    for (const char* bad : {"", "1.2.3", ".", "0", "0.00"}) {
        typeUnits(vc, bad);
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        ASSERT_TRUE(dismissAlert("请输入份额")) << bad;
    }
    EXPECT_FALSE(sheet());
    typeUnits(vc, "10000.01");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert("可用份额不足"));
    EXPECT_FALSE(vc->isOrdering());
    EXPECT_EQ(vc->fundCode()->text(), "270001") << "a refused order keeps the form";
    EXPECT_EQ(fundHolding("270001").available, 1000000);
    // The default handling goes as 0.
    EXPECT_EQ(fieldOf(fundRequests(Fund::kRedeem).back(), "redeemtype"), "0");
}

// A fund picked whose information does not come (the brokerage knows the
// fund no longer, or the line dropped) shows nothing of the fund shown before
// it: its name and code as the funds held name them, and the alert once.
TEST_F(FundRedeemTest, AFundPickedWhoseInformationDoesNotComeShowsNothingOfTheFundBefore) {
    const struct {
        const char* name;
        std::function<void()> cause;
        std::string text;
    } causes[] = {
        {"line-dropped", [&] { sim->dropConnection(Fund::kFundInfo.main, Fund::kFundInfo.sub); },
         "网络连接失败，请检查网络设置"},
        {"unknown-fund",
         [&] {
             sim->withRoom<SimFundsRoom>([](SimFundsRoom& r) {
                 std::erase_if(r.funds, [](const SimFund& f) { return f.code == "310003"; });
             });
         },
         "查无此基金信息！"},
    };
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    for (const auto& c : causes) {
        SCOPED_TRACE(c.name);
        pick(vc, 0, 0);
        ASSERT_TRUE(waitFor([&] { return vc->fundPrice()->text() == "1.2345" && !vc->hasRequestInFlight(); }));
        ASSERT_EQ(vc->numCanUsed()->text(), "10000.00");
        c.cause();
        pick(vc, 0, 2);
        ASSERT_TRUE(alertShown(c.text)) << topAlertTitle();
        ASSERT_TRUE(dismissAlert(c.text));
        saveScreenshot(std::string("no-information-") + c.name);
        EXPECT_FALSE(topAlert()) << "told once: " << topAlertTitle();
        EXPECT_EQ(vc->fundCode()->text(), "310003");
        EXPECT_EQ(vc->fundName()->text(), "华信纯债债券");
        EXPECT_EQ(vc->fundStatus()->text(), "");
        EXPECT_EQ(vc->fundPrice()->text(), "");
        EXPECT_EQ(vc->numCanUsed()->text(), "");
        EXPECT_EQ(vc->riskLabel()->text(), "");
    }
    EXPECT_TRUE(fundRequests(Fund::kRedeem).empty());
}

TEST_F(FundRedeemTest, AHoldingHandedOverByTheHubIsAskedAboutAtOnce) {
    auto one = TCRSWriter()
                   .beginSet()
                   .addField("ofcode", TCRSFieldType::VarText)
                   .addField("ofname", TCRSFieldType::VarText)
                   .addField("ofavl", TCRSFieldType::VarText)
                   .addRecord({"270004", "恒岳货币A", "20000.00"})
                   .bytes();
    VTAParamter::shareParamter().setTCRS(VTATCRS::buildMuTableTCRSWithData(one)->front(), TradeSessionKey::kFunds);
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    EXPECT_TRUE(fundRequests(Fund::kHoldings).empty()) << "the holding came with the form";
    ASSERT_EQ(fundRequests(Fund::kFundInfo).size(), 1u);
    EXPECT_EQ(fieldOf(fundRequests(Fund::kFundInfo)[0], "ofcode"), "270004");
    EXPECT_EQ(vc->myFunds(), (std::vector<std::string>{"恒岳货币A"}));
    EXPECT_EQ(vc->numCanUsed()->text(), "20000.00");
    EXPECT_EQ(vc->fundStatus()->text(), "正常开放");

    // The holding read is the fund's own, wherever the brokerage lists it.
    auto info = TCRSWriter()
                    .beginSet()
                    .addField("ofcode", TCRSFieldType::VarText)
                    .addField("ofname", TCRSFieldType::VarText)
                    .addField("~ofstatus", TCRSFieldType::VarText)
                    .addField("nav", TCRSFieldType::VarText)
                    .addField("~ofriskvalue", TCRSFieldType::VarText)
                    .addRecord({"270004", "恒岳货币A", "正常开放", "1.0000", "低风险"})
                    .beginSet()
                    .addField("ofcode", TCRSFieldType::VarText)
                    .addField("ofavl", TCRSFieldType::VarText)
                    .addRecord({"270001", "10000.00"})
                    .addRecord({"270004", "19000.00"})
                    .bytes();
    vc->receiveReply(VTAJJRedeemViewController::kInfoTag, info);
    EXPECT_EQ(vc->numCanUsed()->text(), "19000.00");
    // A reply of one set is no fund information.
    auto single = TCRSWriter().beginSet().addField("ofcode", TCRSFieldType::VarText).addRecord({"270004"}).bytes();
    vc->receiveReply(VTAJJRedeemViewController::kInfoTag, single);
    ASSERT_TRUE(dismissAlert("数据错误！请重新选择代码"));
    EXPECT_EQ(vc->numCanUsed()->text(), "19000.00");

    popViewControllers(1);
    settle();
    EXPECT_FALSE(sessionFunds()) << "the form leaves nothing in the session";
}

class FundRedeemWithoutFundsTest : public FundRedeemTest {
protected:
    const TradeCustomer& customer() const override { return kTradeCustomerC; }
};

TEST_F(FundRedeemWithoutFundsTest, ACustomerWithoutFundsIsToldAndTheFormStaysEmpty) {
    VTAUIFactory::openMenuWithTradeGate(menu("of_jjsh", "基金赎回"));
    ASSERT_TRUE(alertShown(VTAJJRedeemViewController::kNoFundsText));
    auto* vc = dynamic_cast<VTAJJRedeemViewController*>(top());
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->frameStatus(), 0);
    EXPECT_TRUE(vc->myFunds().empty());
    EXPECT_TRUE(fundRequests(Fund::kFundInfo).empty());
    saveScreenshot("no-funds");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    typeUnits(vc, "100");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(dismissAlert("请选择持有的基金"));
}

}  // namespace
