// The login's rules without the screen (the account sent, the request texts,
// what a reply yields) and the branch list's rules on the branch picker and
// the login.
#include "TradeTestSupport.h"

#include "core/TCRSWriter.h"
#include "core/contracts/BranchContract.h"
#include "trade/SalesDepartmentSelectViewController.h"
#include "trade/TradeLogin.h"

namespace {

RecordSets setsOf(const TCRSWriter& w) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(w.bytes());
    return sets ? *sets : RecordSets();
}

TCRSWriter& sessionSet(TCRSWriter& w, const std::string& text) {
    return w.beginSet().addField("userinfo", TCRSFieldType::VarText).addRecord({text});
}

TCRSWriter& customerSet(TCRSWriter& w) {
    return w.beginSet()
        .addField("custname", TCRSFieldType::VarText)
        .addField("fundid", TCRSFieldType::VarText)
        .addField("orgid", TCRSFieldType::VarText)
        .addRecord({"张明", "010110001234", "0101"});
}

TEST(TradeLoginRulesTest, TheAccountSentAndTheRequestTexts) {
    EXPECT_EQ(tradeLoginInputId("1234", "0101", "Z"), "010100001234");
    EXPECT_EQ(tradeLoginInputId("10001234", "0101", "Z"), "010110001234");
    EXPECT_EQ(tradeLoginInputId("12345678901", "0101", "Z"), "010112345678901");
    EXPECT_EQ(tradeLoginInputId("123456789012", "0101", "Z"), "123456789012");
    EXPECT_EQ(tradeLoginInputId("123456", "0101", "0"), "123456");
    EXPECT_EQ(tradeLoginInputId("881234567", "0101", "1"), "881234567");

    TradeLoginForm form{"Z", "0101", "1234", "135790", "0", ""};
    EXPECT_EQ(tradeLoginRequest(form).text(),
              "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0101&inputid=010100001234&trdpwd=135790"
              "&authtype=0&authdata=");
    form.authType = "5";
    form.authData = "123456";
    EXPECT_EQ(relateAccountRequest(form, true).text(),
              "tc_mfuncno=3750&tc_sfuncno=2&operway=i&inputtype=Z&custorgid=0101&inputid=010100001234&trdpwd=135790"
              "&isimportccg=1&authtype=5&authdata=123456");
    form.authType = "2";
    form.authData = "a=1";
    auto refused = tradeLoginRequest(form);
    EXPECT_TRUE(refused.refused());
    EXPECT_EQ(refused.text(), "");
    EXPECT_EQ(refused.refusal(), kTradeInputRefusal);

    for (const char* text : {"令牌验证失败", "找不到令牌", "认证失败，您已经申请了动态口令", "此认证方式没有申请",
                             "错误：令牌验证失败(3)"})
        EXPECT_TRUE(isSoftTokenError(text)) << text;
    EXPECT_FALSE(isSoftTokenError("交易密码错误"));
    EXPECT_EQ(VTATradeLoginViewController::addpointtostring("010110001234"), "0101*****234");
    EXPECT_EQ(VTATradeLoginViewController::addpointtostring("10001234"), "10001234");
}

TEST(TradeLoginRulesTest, AReplyYieldsItsValuesOnlyWhenWhole) {
    TCRSWriter two;
    sessionSet(two, "custid=1&authid=a");
    customerSet(two);
    auto values = tradeLoginValues(setsOf(two));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->info, "custid=1&authid=a&operway=i");
    EXPECT_EQ(values->fundId(), "010110001234");
    EXPECT_EQ(values->customerName(), "张明");
    EXPECT_EQ(values->branch(), "0101");
    EXPECT_EQ(values->shareholders, values->customer);

    // The customer first, then the session text; an empty third set: the customer set.
    TCRSWriter swapped;
    customerSet(swapped);
    sessionSet(swapped, "custid=1&authid=b");
    swapped.beginSet().addField("market", TCRSFieldType::VarText).addField("secuid", TCRSFieldType::VarText);
    values = tradeLoginValues(setsOf(swapped));
    ASSERT_TRUE(values);
    EXPECT_EQ(values->info, "custid=1&authid=b&operway=i");
    EXPECT_EQ(values->shareholders, values->customer);

    // Without the customer, or with an error set, nothing.
    TCRSWriter infoOnly;
    sessionSet(infoOnly, "a");
    sessionSet(infoOnly, "b");
    EXPECT_FALSE(tradeLoginValues(setsOf(infoOnly)));
    TCRSWriter erred;
    sessionSet(erred, "a");
    erred.errorSet(-1, "系统忙");
    EXPECT_FALSE(tradeLoginValues(setsOf(erred)));
    TCRSWriter one;
    customerSet(one);
    EXPECT_FALSE(tradeLoginValues(setsOf(one)));
}

class BranchRulesTest : public TradeTest {};

TEST_F(BranchRulesTest, ThePickerStoresTheDefaultOnceAndSaysWhenItCannot) {
    auto picker = std::make_shared<SalesDepartmentSelectViewController>();
    pushViewController(picker);
    settle();
    ASSERT_TRUE(waitFor([&] { return picker->allSalesDepartment().size() == 3; }));
    EXPECT_EQ(picker->tableView()->numberOfRowsInSection(0), 0);
    ASSERT_TRUE(picker->pickBranch(1, 1));
    settle();
    EXPECT_EQ(top(), root.get());
    auto dao = DaoFactory::sharedInstance().salesDepartmentDao();
    EXPECT_EQ(dao->defaultSalesDepartment()->code(), "0102");

    // Picking it again from the recent list adds no row.
    auto again = std::make_shared<SalesDepartmentSelectViewController>();
    again->setUsedSalesDepartment(dao->listSalesDepartment());
    again->setAllSalesDepartment(dao->listSalesDepartment());
    pushViewController(again);
    settle();
    ASSERT_TRUE(again->pickBranch(0, 0));
    settle();
    EXPECT_EQ(dao->listSalesDepartment().size(), 1u);
    EXPECT_TRUE(sim->requestsOf(501, 17).size() == 1u);  // the caller's list was not empty

    // One record is no list; a table that refuses keeps the picker open.
    auto third = std::make_shared<SalesDepartmentSelectViewController>();
    third->setUsedSalesDepartment(dao->listSalesDepartment());
    sim->answerNext(BranchContract::kBranchList, TCRSWriter()
                                                     .beginSet()
                                                     .addField("org_code", TCRSFieldType::VarText)
                                                     .addField("org_name", TCRSFieldType::VarText)
                                                     .addRecord({"0101", "第一营业部"})
                                                     .bytes());
    pushViewController(third);
    settle();
    ASSERT_TRUE(alertShown("营业部请求错误!"));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_TRUE(third->allSalesDepartment().empty());
    DaoFactory::sharedInstance().close();
    EXPECT_FALSE(third->pickBranch(0, 0));
    EXPECT_EQ(topAlertTitle(), SalesDepartmentSelectViewController::kNotStoredText);
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_EQ(top(), third.get());
}

TEST_F(BranchRulesTest, WithoutABranchTheLoginAsksForTheListAgainAndSendsNoLogin) {
    sim->answerNext(BranchContract::kBranchList, TCRSWriter().errorSet(-1, "系统维护中").bytes());
    auto login = openLogin(false);
    ASSERT_TRUE(alertShown("系统维护中"));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(login->isBranchListOK());
    login->accountField()->setText("10001234");
    login->passwordField()->setText("123456");
    login->onCommandOK();
    ASSERT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
    EXPECT_EQ(sim->requestsOf(501, 17).size(), 2u);
    EXPECT_TRUE(sim->requestsOf(500, 1).empty());
    EXPECT_FALSE(SVProgressHUD::isVisible());
    EXPECT_EQ(login->yybCode(), "0101");
}

}  // namespace
