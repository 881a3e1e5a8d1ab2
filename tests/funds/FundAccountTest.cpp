// Fund account opening driven by finger against the simulated brokerage: the
// disclosure first (declined: nothing asked), the companies and the
// customer's data, a new account opened with the name and address in hex,
// an account held elsewhere added, and the checks of what was typed.
#include "FundTestSupport.h"

#include "core/VTAUserDefoult.h"
#include "core/contracts/WealthContract.h"
#include "funds/FundRules.h"
#include "funds/VTAJJNewAccount.h"
#include "platform/uikit/UISegmentedControl.h"
#include "sim/SimWealth.h"
#include "ui/VTASheetPicker.h"

namespace {

namespace Wealth = WealthContract;

class FundAccountTest : public FundTest {
protected:
    void SetUp() override {
        FundTest::SetUp();
        VTAUserDefoult::standerDefoult().setString("13800138000", "your phone number");
    }
    // The form past its disclosure, the customer's data shown.
    VTAJJNewAccount* openForm() {
        auto* vc = openLink<VTAJJNewAccount>("of_jjkh", "基金开户");
        if (!vc) return nullptr;
        EXPECT_TRUE(alertShown(VTAJJNewAccount::kDisclosureTitle));
        EXPECT_TRUE(host.pressAlertButton("确定"));
        EXPECT_TRUE(waitFor([&] { return vc->hasCustomerData(); }));
        settle(0.5);
        return vc;
    }
    std::vector<SimAccountOpening> openings() {
        return sim->withRoom<SimWealthRoom>([](SimWealthRoom& r) { return r.customers["110001234"].openings; });
    }
    void submit(VTAJJNewAccount* vc) {
        ASSERT_TRUE(tapToolbar(vc, "确定"));
        ASSERT_TRUE(sheet()) << topAlertTitle();
        ASSERT_TRUE(confirm());
    }
};

TEST_F(FundAccountTest, DecliningTheDisclosureLeavesWithoutAsking) {
    const size_t before = depth();
    auto* vc = openLink<VTAJJNewAccount>("of_jjkh", "基金开户");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(alertShown(VTAJJNewAccount::kDisclosureTitle));
    EXPECT_EQ(UIAlertView::visibleAlerts().back()->message(), VTAJJNewAccount::kDisclosureText);
    saveScreenshot("account-disclosure");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle();
    EXPECT_EQ(depth(), before);
    EXPECT_TRUE(fundRequests(Wealth::kCompanies).empty());
    EXPECT_TRUE(fundRequests(Wealth::kCustomer).empty());
}

TEST_F(FundAccountTest, ANewAccountWithACompanyIsOpenedWithTheCustomersData) {
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    EXPECT_EQ(vc->fundcompony()->text(), "恒岳基金");
    EXPECT_EQ(vc->componyCode(), "01");
    EXPECT_EQ(vc->userName()->text(), "姓名：张明");
    EXPECT_EQ(vc->userBase()->text(), "性别：男");
    EXPECT_EQ(vc->passPortType()->text(), "身份证");
    EXPECT_EQ(vc->passPortNumber()->text(), "110101198001011234");
    EXPECT_EQ(vc->phone()->text(), "13800138000");
    EXPECT_EQ(vc->address()->text(), "北京市朝阳区建国路1号");
    EXPECT_EQ(vc->zipCode()->text(), "100020");
    EXPECT_EQ(vc->formTable()->numberOfRowsInSection(0), 7);
    saveScreenshot("account-new");
    expectInSightWhileTyped(vc->phone());
    host.tapText("完成");
    settle();

    // A company the customer has an account with: the brokerage says so.
    submit(vc);
    ASSERT_TRUE(dismissAlert("您已开立该基金公司的基金帐户")) << topAlertTitle();
    EXPECT_FALSE(vc->isOrdering());

    // 长江基金, by the picker.
    ASSERT_TRUE(host.tapText("基金公司"));
    settle(0.5);
    ASSERT_TRUE(vc->pickers().isVisible());
    EXPECT_EQ(vc->pickers().sheet()->title(), "请选择您要开户的基金公司");
    EXPECT_EQ(vc->pickers().picker()->numberOfRowsInComponent(0), 3);
    pickRow(vc->pickers().picker(), 2);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);
    EXPECT_EQ(vc->componyCode(), "03");
    EXPECT_EQ(vc->fundcompony()->text(), "长江基金");

    retypeInto(vc->zipCode(), "1000");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_TRUE(dismissAlert("请填写用户信息!"));
    retypeInto(vc->zipCode(), "100020");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "您确认要申请开通基金帐号吗?");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert(VTAJJNewAccount::kDoneText)) << topAlertTitle();

    auto sent = fundRequests(Wealth::kOpenAccount);
    ASSERT_EQ(sent.size(), 2u);
    const SimRecord& r = sent[1];
    EXPECT_EQ(fieldOf(r, "tacode"), "03");
    EXPECT_FALSE(hasField(r, "taacc")) << "a new account carries none";
    EXPECT_EQ(fieldOf(r, "name"), "205f0e66") << "张明 as UTF-16LE hex";
    EXPECT_EQ(fieldOf(r, "fullname"), "205f0e66");
    EXPECT_EQ(fieldOf(r, "idtype"), "0");
    EXPECT_EQ(fieldOf(r, "idno"), "110101198001011234");
    EXPECT_EQ(fieldOf(r, "sex"), "1");
    EXPECT_EQ(fieldOf(r, "addr"), hexFundName("北京市朝阳区建国路1号"));
    EXPECT_EQ(fieldOf(r, "postid"), "100020");
    EXPECT_EQ(fieldOf(r, "telno"), "13800138000");
    auto opened = openings();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_FALSE(opened[0].added);
    EXPECT_EQ(fundSide([](SimFundCustomer& c) { return c.companyAccounts.count("03"); }), 1u);
    EXPECT_EQ(top(), vc) << "the form stays";
}

TEST_F(FundAccountTest, AnAccountHeldElsewhereIsAddedAndAOneCharacterAccountIsRefused) {
    auto* vc = openForm();
    ASSERT_TRUE(vc);
    tapSegment(vc->fundSegment(), 1);
    settle(0.5);
    EXPECT_EQ(vc->formTable()->numberOfRowsInSection(0), 8);
    ASSERT_TRUE(host.tapText("基金公司"));
    settle(0.5);
    pickRow(vc->pickers().picker(), 2);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle(0.5);

    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_TRUE(dismissAlert("请填写要添加的基金账号"));
    retypeInto(vc->fundSymbol(), "C");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_TRUE(dismissAlert("请填写要添加的基金账号")) << "one character is no account to add";
    retypeInto(vc->fundSymbol(), "CJ&x=1");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    EXPECT_TRUE(dismissAlert("请填写要添加的基金账号"));
    retypeInto(vc->fundSymbol(), "CJ0001234");
    saveScreenshot("account-add");
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(sheet());
    EXPECT_EQ(sheet()->title(), "您确认要申请添加基金帐号吗?");
    ASSERT_TRUE(confirm());
    ASSERT_TRUE(dismissAlert(VTAJJNewAccount::kDoneText)) << topAlertTitle();
    auto sent = fundRequests(Wealth::kOpenAccount);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "taacc"), "CJ0001234");
    EXPECT_EQ(fundSide([](SimFundCustomer& c) { return c.companyAccounts.at("03"); }), "CJ0001234");

    // Changing the mode empties the account typed.
    tapSegment(vc->fundSegment(), 0);
    settle(0.5);
    EXPECT_EQ(vc->fundSymbol()->text(), "");
    EXPECT_EQ(vc->formTable()->numberOfRowsInSection(0), 7);
}

TEST_F(FundAccountTest, WithoutTheCustomersDataNothingIsConfirmed) {
    sim->forceErrorSet(-1, "客户资料读取失败", 500, 49);
    auto* vc = openLink<VTAJJNewAccount>("of_jjkh", "基金开户");
    ASSERT_TRUE(vc);
    ASSERT_TRUE(alertShown(VTAJJNewAccount::kDisclosureTitle));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(dismissAlert("客户资料读取失败")) << topAlertTitle();
    ASSERT_TRUE(tapToolbar(vc, "确定"));
    ASSERT_TRUE(alertShown("用户信息获取错误！"));
    EXPECT_EQ(UIAlertView::visibleAlerts().back()->message(), "请返回上级页面，再次进入。");
    EXPECT_FALSE(sheet());
}

}  // namespace
