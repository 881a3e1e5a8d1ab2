// Cash repayment and automatic repayment driven by finger against the
// simulated brokerage: the debt shown, the amount checked, a repayment that
// lowers the debt and the cash in the books and shows in the labels again,
// "确定" before the debt is known, the brokerage's refusal; the automatic
// repayment's state, a setting that round-trips, a refused one that puts
// the switch back, and a state refused after a setting that leaves it free.
#include "MarginTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/MarginContract.h"
#include "margin/MarginAutoRepaymentViewController.h"
#include "margin/VTARZRQXJHKViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UISwitch.h"

namespace {

class MarginCashRepayTest : public MarginTest {
protected:
    static constexpr int kCashItem = 505, kAutoItem = 512;
};

TEST_F(MarginCashRepayTest, ACashRepaymentLowersTheDebtByTheAmountShown) {
    auto* vc = openItem<VTARZRQXJHKViewController>(kCashItem);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "直接还款");
    ASSERT_TRUE(waitFor([&] { return vc->backMoneyCountLabel()->text() == "5000.00"; }));
    EXPECT_EQ(vc->moneyCountLabel()->text(), "20000.00");
    const SimRecord debt = sim->requestsOf(500, 75).back();
    EXPECT_EQ(debt.encrypt, 36);
    EXPECT_EQ(fieldOf(debt, "creditid"), "0");
    EXPECT_EQ(fieldOf(debt, "moneytype"), "0");
    EXPECT_EQ(fieldOf(debt, "fundid"), "010110001234");
    saveScreenshot("debt");

    // Not amounts: nothing is asked.
    for (const char* bad : {"", "1,000", "0", "0.00", "1.2.3"}) {
        vc->backMoneyField()->setText(bad);
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(dismissAlert("输入金额有误！")) << bad;
    }
    vc->backMoneyField()->setText("");
    typeInto(vc->backMoneyField(), "1000.5");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "您确定要发送如下信息吗？\n币种：人民币 \n还款金额：1000.5 \n");
    saveScreenshot("confirm");
    ASSERT_TRUE(confirm());
    EXPECT_EQ(vc->backMoneyField()->text(), "");
    ASSERT_TRUE(alertShown("还款委托已经成功提交！"));
    const SimRecord repay = sim->requestsOf(500, 76).back();
    EXPECT_EQ(fieldOf(repay, "payoffasset"), "1000.5");
    EXPECT_EQ(fieldOf(repay, "moneytype"), "0");
    EXPECT_EQ(credit().financingDebt, 500000 - 100050);
    EXPECT_EQ(credit().cash, 2000000 - 100050);
    // The debt is asked again: the labels and "全部" follow the books.
    ASSERT_TRUE(waitFor([&] { return vc->backMoneyCountLabel()->text() == "3999.50"; }));
    EXPECT_EQ(vc->moneyCountLabel()->text(), "18999.50");
    ASSERT_TRUE(dismissAlert("还款委托已经成功提交！"));
    tapView(vc->allButton());
    EXPECT_EQ(vc->backMoneyField()->text(), "3999.50");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("还款委托已经成功提交！"));
    EXPECT_EQ(credit().financingDebt, 0);
    saveScreenshot("repaid");

    // Nothing owed any more: the brokerage refuses, and says why.
    ASSERT_TRUE(dismissAlert("还款委托已经成功提交！"));
    ASSERT_TRUE(waitFor([&] { return vc->backMoneyCountLabel()->text() == "0.00"; }));
    vc->backMoneyField()->setText("1");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(alertShown("还款金额超过负债"));
    EXPECT_EQ(sim->requestsOf(500, 76).size(), 3u);
}

TEST_F(MarginCashRepayTest, NothingIsRepaidBeforeTheDebtIsKnownNorOnComingBack) {
    // The debt does not come: "确定" prepares nothing.
    sim->forceFault(SimFault::Refuse, 500, 75);
    auto* vc = openItem<VTARZRQXJHKViewController>(kCashItem);
    ASSERT_TRUE(vc);
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    vc->backMoneyField()->setText("100");
    ASSERT_TRUE(host.tapText("确定"));
    settle(0.5);
    EXPECT_FALSE(sheet());
    EXPECT_EQ(vc->backMoneyCountLabel()->text(), "");
    // Another screen over it and back: the debt is asked, no repayment.
    pushViewController(std::make_shared<RecordingScreen>());
    settle();
    popViewControllers(1);
    ASSERT_TRUE(waitFor([&] { return vc->backMoneyCountLabel()->text() == "5000.00"; }));
    EXPECT_EQ(sim->requestsOf(500, 75).size(), 2u);
    EXPECT_TRUE(sim->requestsOf(500, 76).empty());
    EXPECT_EQ(credit().financingDebt, 500000);
}

TEST_F(MarginCashRepayTest, AStatusTheBrokerageDoesNotTellIsSaidAndNeverReadAsOff) {
    struct Case {
        const char* name;
        std::function<void()> make;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"refused", [&] { sim->forceErrorSet(-1, "信用账户状态异常", 500, 86); }, "信用账户状态异常"},
        {"line lost", [&] { sim->dropConnection(500, 86); }, "网络连接失败，请检查网络设置"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.make();
        auto* vc = openItem<MarginAutoRepaymentViewController>(kAutoItem);
        ASSERT_TRUE(vc);
        ASSERT_TRUE(alertShown(c.text)) << topAlertTitle();
        EXPECT_FALSE(vc->currentStatus());
        EXPECT_FALSE(vc->repaySwitch()->isEnabled()) << "nothing to switch from";
        EXPECT_TRUE(host.isTextVisible("当前自动还款设置为: "));
        ASSERT_TRUE(dismissAlert(c.text));
        EXPECT_TRUE(sim->requestsOf(500, 87).empty());
        popViewControllers(1);
        settle();
    }
}

TEST_F(MarginCashRepayTest, AutomaticRepaymentRoundTripsAndARefusalPutsTheSwitchBack) {
    auto* vc = openItem<MarginAutoRepaymentViewController>(kAutoItem);
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->title(), "自动还款设置");
    ASSERT_TRUE(waitFor([&] { return vc->currentStatus().has_value(); }));
    EXPECT_EQ(*vc->currentStatus(), "关闭");
    EXPECT_FALSE(vc->repaySwitch()->isOn());
    EXPECT_TRUE(host.isTextVisible("当前自动还款设置为:关闭"));
    EXPECT_EQ(sim->requestsOf(500, 86).back().encrypt, 36);
    saveScreenshot("off");

    tapView(vc->repaySwitch());
    ASSERT_TRUE(waitFor([&] { return vc->currentStatus() == std::optional<std::string>("开通"); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 87).back(), "repayflag"), "1");
    EXPECT_EQ(sim->requestsOf(500, 86).size(), 2u) << "the state asked again";
    EXPECT_TRUE(vc->repaySwitch()->isOn());
    EXPECT_TRUE(credit().autoRepay);
    settle(0.5);
    EXPECT_TRUE(host.isTextVisible("当前自动还款设置为:开通"));
    saveScreenshot("on");

    // The brokerage refuses to switch it off: the switch goes back on.
    sim->forceErrorSet(-1, "非交易时间不能设置", 500, 87);
    tapView(vc->repaySwitch());
    ASSERT_TRUE(alertShown("非交易时间不能设置"));
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 87).back(), "repayflag"), "0");
    EXPECT_TRUE(vc->repaySwitch()->isOn());
    EXPECT_EQ(*vc->currentStatus(), "开通");
    EXPECT_TRUE(credit().autoRepay);
    saveScreenshot("refused");
    ASSERT_TRUE(dismissAlert("非交易时间不能设置"));

    // A reply without "msgok" took nothing either.
    sim->answerNext(
        MarginContract::kAutoRepaySet,
        TCRSWriter().beginSet().addField("msgok", TCRSFieldType::VarText).addRecord({std::string()}).bytes());
    tapView(vc->repaySwitch());
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 87).size() == 3u; }));
    settle();
    EXPECT_TRUE(vc->repaySwitch()->isOn());
    EXPECT_EQ(sim->requestsOf(500, 86).size(), 2u);

    // Switched off, then on again; this time the state asked after it is
    // refused: the switch stays as set, free for the next setting.
    tapView(vc->repaySwitch());
    ASSERT_TRUE(waitFor([&] { return vc->currentStatus() == std::optional<std::string>("关闭"); }));
    sim->forceErrorSet(-1, "信用账户状态异常", 500, 86);
    tapView(vc->repaySwitch());
    ASSERT_TRUE(alertShown("信用账户状态异常")) << topAlertTitle();
    EXPECT_TRUE(credit().autoRepay);
    EXPECT_TRUE(vc->repaySwitch()->isOn());
    EXPECT_TRUE(vc->repaySwitch()->isEnabled());
}

}  // namespace
