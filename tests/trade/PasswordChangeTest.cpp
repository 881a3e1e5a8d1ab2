// The trading password changed by finger: the checks in their order, the
// request (enciphered, its passwords never logged), the session going on
// under the new authid in this screen and the next, the account the pager
// restores, a login with the new password, and the refusals that leave the
// session alone.
#include "TradeQueryTestSupport.h"

#include "core/RequestText.h"
#include "core/contracts/TradeQueryContract.h"
#include "trade/TradeLogin.h"
#include "trade/VTAResignPasswordController.h"

namespace {

constexpr int kPasswordItem = 210, kHoldingsItem = 206;

class PasswordChangeTest : public TradeQueryTest {
protected:
    void fill(VTAResignPasswordController& form, const std::string& now, const std::string& wanted,
              const std::string& again) {
        for (auto* f : {form.oldPwd(), form.newPwd(), form.signPwd()}) f->setText("");
        typeInto(form.oldPwd(), now);
        typeInto(form.newPwd(), wanted);
        typeInto(form.signPwd(), again);
    }
    void pressOK(const std::string& expectAlert) {
        ASSERT_TRUE(host.tapText("确定"));
        ASSERT_TRUE(alertShown(expectAlert));
        topAlert()->tapButtonAtIndex(0);
        settle(0.3);
    }
    std::string authidOf(const std::string& info) { return queryValue("?" + info, "authid").value_or(""); }
};

TEST_F(PasswordChangeTest, TheChecksComeInTheirOrderAndTheNewPasswordHasSixDigits) {
    auto form = openItem<VTAResignPasswordController>(kPasswordItem);
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "修改密码");
    EXPECT_EQ(form->subFunction(), 12);
    EXPECT_TRUE(host.isTextVisible("只能修改为6位数字密码"));
    for (const char* caption : {"原 密 码：", "新 密 码：", "确认新密码："}) EXPECT_TRUE(host.isTextVisible(caption));
    saveScreenshot("form");

    fill(*form, "12345", "654321", "654321");
    pressOK("原密码不能为空或少于6位");
    fill(*form, "123456", "65432", "65432");
    pressOK("新密码不能为空或少于6位");
    fill(*form, "123456", "654321", "654320");
    pressOK("新密码确认错误，请仔细再次确认");
    EXPECT_TRUE(sim->requestsOf(500, 12).empty());
    // The new password takes six characters at the most.
    form->newPwd()->setText("");
    typeInto(form->newPwd(), "6543210");
    EXPECT_EQ(form->newPwd()->text(), "654321");
    // The present one may be longer.
    form->oldPwd()->setText("");
    typeInto(form->oldPwd(), "12345678");
    EXPECT_EQ(form->oldPwd()->text(), "12345678");
}

TEST_F(PasswordChangeTest, TheSessionGoesOnUnderTheNewAuthidAndTheNewPasswordLogsIn) {
    const std::string before = sessionValue("tradeUserInfo");
    auto form = openItem<VTAResignPasswordController>(kPasswordItem);
    ASSERT_TRUE(form);
    fill(*form, "123456", "654321", "654321");
    saveScreenshot("filled");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown(VTAResignPasswordController::kDoneText));
    settle();
    EXPECT_EQ(top(), root.get()) << "the screen went back";

    auto sent = sim->requestsOf(500, 12);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "oldpwd"), "***") << "the log keeps no password";
    EXPECT_FALSE(sentInClear(sent[0], "newpwd"));
    EXPECT_EQ(fieldOf(sent[0], "fundid"), "010110001234");
    EXPECT_TRUE(books([](SimBooks& b) { return b.secretMatches(b.customer("010110001234")->password, "654321"); }));

    const std::string after = sessionValue("tradeUserInfo");
    EXPECT_NE(authidOf(after), authidOf(before));
    EXPECT_TRUE(books([&](SimBooks& b) { return b.session(authidOf(after)) != nullptr; }));
    EXPECT_EQ(replaceParam(after, authidOf(before), "authid"), before) << "only the authid changed";
    EXPECT_EQ(sessionValue("tradepassword"), "654321");
    auto account = VTAAccountManager::tradeAccountManager().selectedAccount();
    ASSERT_TRUE(account);
    EXPECT_EQ(account->password(), "654321");
    EXPECT_EQ(account->userInfoText("VTAAccountInfo"), after);
    topAlert()->tapButtonAtIndex(0);

    // The next screen's request goes with the new authid, and is answered.
    auto list = openItem(kHoldingsItem);
    ASSERT_TRUE(list && gridShows(*list, 7));
    EXPECT_EQ(fieldOf(lastRequest(500, 10), "authid"), simMaskedSession(authidOf(after)));
    popViewControllers(1);
    settle();

    // A new login with the new password.
    TradeCustomer changed = kTradeCustomerA;
    changed.password = "654321";
    EXPECT_TRUE(logInToTrade(changed));
}

TEST_F(PasswordChangeTest, RefusalsAndUnreadableAnswersLeaveTheSessionAlone) {
    const std::string info = sessionValue("tradeUserInfo");
    auto form = openItem<VTAResignPasswordController>(kPasswordItem);
    ASSERT_TRUE(form);
    fill(*form, "111111", "654321", "654321");
    pressOK("原交易密码错误");
    sim->answerNext(TradeQueryContract::kPasswordChange, {5, 5});
    pressOK(VTAResignPasswordController::kUnreadableText);
    // An answer without an authid: the password is taken, the session text kept.
    sim->answerNext(TradeQueryContract::kPasswordChange,
                    TCRSWriter().beginSet().addField("result", TCRSFieldType::Integer, 4).addRecord({1}).bytes());
    fill(*form, "123456", "654321", "654321");
    pressOK(VTAResignPasswordController::kDoneText);
    EXPECT_EQ(sessionValue("tradeUserInfo"), info);
    EXPECT_EQ(sessionValue("tradepassword"), "654321");
    EXPECT_EQ(top(), root.get());
}

TEST_F(PasswordChangeTest, TheSubFunctionComesFromTheLinkAndIsTwelveWhenEmpty) {
    for (const char* link : {"xgmm?tc_sfuncno=", "xgmm"}) {
        auto form = std::dynamic_pointer_cast<VTAResignPasswordController>(
            VTAUIFactory::tradeViewControllerWithLink(link, "修改密码"));
        ASSERT_TRUE(form);
        EXPECT_EQ(form->subFunction(), 12) << link;
    }
    auto other = std::dynamic_pointer_cast<VTAResignPasswordController>(
        VTAUIFactory::tradeViewControllerWithLink("xgmm?tc_sfuncno=13", "修改密码"));
    ASSERT_TRUE(other);
    EXPECT_EQ(other->subFunction(), 13);
}

}  // namespace
