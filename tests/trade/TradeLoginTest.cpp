// The trade login end to end against the simulator: the trade gate, the three
// ways of authentication, the refusals the customer sees, and what a login
// leaves behind (session values, accounts, settings, branch, idle lock).
#include "TradeTestSupport.h"

#include "core/RequestText.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/contracts/TradeContract.h"
#include "core/security/VTACoder.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "platform/uikit/UISwitch.h"
#include "platform/uikit/UITextField.h"
#include "trade/SalesDepartmentSelectViewController.h"
#include "trade/TradePickerStrip.h"
#include "trade/VTASJLPViewController.h"

namespace {

class TradeLoginTest : public TradeTest {
protected:
    VTATradeLoginViewController* loginOnTop() const { return dynamic_cast<VTATradeLoginViewController*>(top()); }
    // The soft token the phone holds for B once it has the server's seed.
    void giveThePhoneBsToken(int64_t counter = 1) {
        std::string seed = books([](SimBooks& b) { return b.customer("010110005678")->token->seed; });
        auto sign = std::make_shared<BrasnikSign>(seed);
        sign->setCustomID("110005678");
        sign->setPhoneNumber(kTestPhone);
        sign->setAccountsWithString("010110005678");
        while (sign->count() < counter) sign->heartBeet();
        BrasnikSignManager::defaultManager().appendSignner(sign);
        BrasnikSignManager::saveSigns();
    }
    // Fills the login on top by finger: account and password (and a typed code).
    void fillIn(const std::string& account, const std::string& password, const std::string& code = "") {
        auto* login = loginOnTop();
        ASSERT_TRUE(login);
        typeInto(login->accountField(), account);
        typeInto(login->passwordField(), password);
        if (!code.empty()) typeInto(login->codeField(), code);
    }
    void pressOK() {
        ASSERT_TRUE(host.tapText("确定"));
        settle(0.2);
    }
};

TEST_F(TradeLoginTest, ATradeLinkWithoutASessionLogsInThenOpensThePendingScreen) {
    ScreenRegistry::shared().addScreenClass("VTATradeCancelViewController", [](const LinkSetup&, const auto&) {
        return std::make_shared<RecordingScreen>();
    });
    auto stock = std::make_shared<VTAStock>();
    stock->setCode("600000");
    auto message = VTAMessage::messageWithSender(nullptr, stock, 1);
    auto opened = VTAUIFactory::openMenuWithTradeGate(menu("wtcd", "撤单"), message);
    settle();
    auto* login = loginOnTop();
    ASSERT_TRUE(login);
    EXPECT_EQ(login->title(), "交易登录");
    ASSERT_TRUE(login->pendingMenu());
    // No branch stored yet: the server's list gives the first one.
    ASSERT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
    EXPECT_EQ(login->yybCode(), "0101");
    EXPECT_TRUE(host.isTextVisible("第一营业部"));
    EXPECT_EQ(login->rowCount(), 6);
    EXPECT_EQ(login->footerText(), "简易方式不用输入认证口令");

    fillIn("10001234", "123456");
    saveScreenshot("filled");
    pressOK();
    ASSERT_TRUE(waitFor([&] { return depth() == 2 && !loginOnTop() && hasTradeSession(); }));
    settle();
    auto* pending = dynamic_cast<RecordingScreen*>(top());
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->title(), "撤单");
    EXPECT_EQ(pending->viewMessage(), message);
    EXPECT_TRUE(VTAUIFactory::isTradeScreen(pending));

    // What went to the server.
    auto sent = sim->requestsOf(500, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].encrypt, 36);
    EXPECT_FALSE(sentInClear(sent[0], "trdpwd"));
    EXPECT_EQ(fieldOf(sent[0], "operway"), "i");
    EXPECT_EQ(fieldOf(sent[0], "inputtype"), "Z");
    EXPECT_EQ(fieldOf(sent[0], "custorgid"), "0101");
    EXPECT_EQ(fieldOf(sent[0], "inputid"), "010110001234");
    EXPECT_EQ(fieldOf(sent[0], "authtype"), "0");
    EXPECT_EQ(fieldOf(sent[0], "authdata"), "");
    EXPECT_EQ(sim->requestsOf(501, 17).size(), 1u);

    // The session values every trade request carries.
    std::string info = sessionValue(TradeSessionKey::kInfo);
    EXPECT_EQ(info.rfind("custid=110001234&custorgid=0101&authid=", 0), 0u) << info;
    EXPECT_EQ(info.substr(info.size() - 10), "&operway=i");
    EXPECT_EQ(sessionValue(TradeSessionKey::kPassword), "123456");
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    ASSERT_TRUE(customer);
    EXPECT_EQ(customer->rowsAffected(), 4);
    EXPECT_EQ(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kShareholders)->rowsAffected(), 4);
    EXPECT_NE(tradeRequestString(9).find("&fundid=010110001234"), std::string::npos);

    // The account of the run, the settings, the branch.
    auto account = VTAAccountManager::tradeAccountManager().selectedAccount();
    ASSERT_TRUE(account);
    EXPECT_TRUE(account->isLogon());
    EXPECT_EQ(account->accID(), "10001234");
    EXPECT_EQ(account->zjzhAcc(), "010110001234");
    EXPECT_EQ(account->accUserName(), "张明");
    EXPECT_EQ(account->yybName(), "第一营业部");
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("your trade account type"), "Z");
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("your trade account"), "");
    EXPECT_EQ(VTAAccountManager::savedAccountManager().count(), 0);
    auto branch = DaoFactory::sharedInstance().salesDepartmentDao()->defaultSalesDepartment();
    ASSERT_TRUE(branch);
    EXPECT_EQ(branch->code(), "0101");
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey("NeedReloadMenu"));
    EXPECT_FALSE(SVProgressHUD::isVisible());
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());
    (void)opened;
}

TEST_F(TradeLoginTest, ARememberedAccountIsSavedWithoutItsPasswordAndFillsTheNextLogin) {
    VTAUserDefoult::standerDefoult().setBool(true, "save your trade account");
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    auto& saved = VTAAccountManager::savedAccountManager();
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(saved.accountAtIndex(0)->zjzhAcc(), "010210009999");
    EXPECT_EQ(saved.accountAtIndex(0)->accUserName(), "王芳");
    EXPECT_EQ(VTAUserDefoult::standerDefoult().getStringForKey("your trade account"), "10009999");
    // The saved file and the settings hold no password.
    for (const char* file : {VTAAccountManager::kSavedAccountsFile, VTAUserDefoult::kFileName}) {
        auto data = readWholeFile(documentsPath(file));
        ASSERT_TRUE(data) << file;
        EXPECT_EQ(std::string(data->begin(), data->end()).find("123456"), std::string::npos) << file;
    }
    // A second login of the same account adds no second entry.
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    EXPECT_EQ(saved.count(), 1);
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().count(), 1);

    // The next login starts from the remembered account and offers the saved ones.
    auto login = openLogin(false);
    EXPECT_TRUE(login->saveSwitch()->isOn());
    EXPECT_EQ(login->accountField()->text(), "10009999");
    EXPECT_EQ(login->yybCode(), "0102");
    login->setBranch("0101", "第一营业部");
    login->accountField()->setText("");
    ASSERT_TRUE(host.tapText("选择帐号"));
    settle();
    ASSERT_TRUE(login->savedAccountPicker()->isOpen());
    EXPECT_EQ(login->savedAccountPicker()->picker()->titleForRow(0, 0), "王芳:0102*****999第二营业部");
    saveScreenshot("saved-accounts");
    login->savedAccountPicker()->pickerViewDidSelectRow(*login->savedAccountPicker()->picker(), 0, 0);
    EXPECT_EQ(login->accountField()->text(), "10009999");
    EXPECT_EQ(login->yybCode(), "0102");
    EXPECT_EQ(login->accountCode(), "Z");
}

TEST_F(TradeLoginTest, TheBranchListAndTheTypedCodeLogCInAtItsOwnBranch) {
    books([](SimBooks& b) { b.customer("010210009999")->typedCode = b.secretOf("xy12"); });
    auto login = openLogin();
    // The branch row opens the list; the pick comes back as the default branch.
    ASSERT_TRUE(host.tapText("营业部"));
    settle();
    auto* picker = dynamic_cast<SalesDepartmentSelectViewController*>(top());
    ASSERT_TRUE(picker);
    ASSERT_TRUE(waitFor([&] { return picker->allSalesDepartment().size() == 3; }));
    EXPECT_TRUE(host.isTextVisible("所有营业部"));
    EXPECT_TRUE(host.isTextVisible("深圳营业部"));
    saveScreenshot("branches");
    ASSERT_TRUE(host.tapText("第二营业部"));
    settle();
    ASSERT_EQ(top(), login.get());
    EXPECT_EQ(login->yybCode(), "0102");
    EXPECT_TRUE(host.isTextVisible("第二营业部"));

    typeInto(login->accountField(), "10009999");
    typeInto(login->passwordField(), "123456");
    // The code's row stays above the keyboard.
    tapView(login->codeField());
    settle();
    CGRect code = login->codeField()->convertRectToView(login->codeField()->bounds(), nullptr);
    EXPECT_LE(CGRectGetMaxY(code), 480 - 216);
    saveScreenshot("keyboard");
    ASSERT_TRUE(host.type("xy12"));
    host.key("return");
    settle();
    EXPECT_DOUBLE_EQ(login->tableView()->contentOffset().y, 0);
    pressOK();
    ASSERT_TRUE(waitFor([&] { return hasTradeSession(); }));
    auto sent = sim->requestsOf(500, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "authtype"), "2");
    EXPECT_EQ(fieldOf(sent[0], "authdata"), "***");
    EXPECT_EQ(fieldOf(sent[0], "inputid"), "010210009999");
    settle();
    EXPECT_EQ(top(), root.get());
    // C has one shareholder account: its list is the customer set.
    EXPECT_EQ(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kShareholders)->rowsAffected(), 1);
}

// On a fresh phone the login asks for the branch list as it shows: what the
// customer does meanwhile stays. A finger resting on "营业部" when the list
// arrives opens the branch list on lifting; a code typed meanwhile stays.
TEST_F(TradeLoginTest, WhatTheCustomerDoesWhileTheBranchListArrivesStays) {
    auto fingerOn = [&](UIView* v) {
        window->layoutIfNeeded();
        CGRect r = v->convertRectToView(v->bounds(), nullptr);
        return CGPointMake(CGRectGetMidX(r), CGRectGetMidY(r));
    };
    for (bool typing : {false, true}) {
        SCOPED_TRACE(typing ? "typing a code" : "touching the branch row");
        sim->holdReply(501, 17);
        // Shown at once: the loop cannot move on while the reply is held.
        auto login = std::make_shared<VTATradeLoginViewController>();
        nav->pushViewController(login, false);
        ASSERT_TRUE(pollUntil([&] { return sim->heldReplies() == 1; }));
        ASSERT_FALSE(login->isBranchListOK());
        auto& app = UIApplication::sharedApplication();
        CGPoint finger = fingerOn(typing ? static_cast<UIView*>(login->codeField()) : host.findText("营业部"));
        app.touchesBeganAt({finger});
        if (typing) {
            app.touchesEndedAt({finger});
            ASSERT_TRUE(host.type("xy12"));
            ASSERT_EQ(login->codeField()->text(), "xy12");
        }
        sim->releaseHeldReplies();
        ASSERT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
        EXPECT_TRUE(host.isTextVisible("第一营业部"));
        if (typing) {
            EXPECT_EQ(login->codeField()->text(), "xy12");
            continue;
        }
        app.touchesEndedAt({finger});
        settle();
        EXPECT_TRUE(dynamic_cast<SalesDepartmentSelectViewController*>(top()));
        popViewControllers(2);  // nothing picked: the phone still has no branch
        settle();
    }
}

TEST_F(TradeLoginTest, RefusalsKeepTheFormAndLeaveNoSession) {
    auto login = openLogin();

    // The form's own checks: nothing is sent.
    pressOK();
    EXPECT_EQ(SVProgressHUD::status(), "输入帐号错误");
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Error);
    typeInto(login->accountField(), "10001234");
    pressOK();
    EXPECT_EQ(SVProgressHUD::status(), "输入密码错误");
    login->selectAccountType(1);
    login->accountField()->setText("12345");
    login->passwordField()->setText("123456");
    pressOK();
    EXPECT_EQ(SVProgressHUD::status(), "输入帐号错误");
    login->codeField()->setText("a&b");
    login->accountField()->setText("123456");
    pressOK();
    EXPECT_TRUE(sim->requestsOf(500, 1).empty());
    settle(2);

    // A wrong password: the server's text; no value of any account.
    login->selectAccountType(0);
    login->codeField()->setText("");
    login->accountField()->setText("10001234");
    login->passwordField()->setText("654321");
    pressOK();
    ASSERT_TRUE(alertShown("交易密码错误，还可尝试4次"));
    EXPECT_FALSE(hasTradeSession());
    EXPECT_FALSE(VTAParamter::shareParamter().hasValueForKey(TradeSessionKey::kPassword));
    EXPECT_FALSE(VTAAccountManager::tradeAccountManager().selectedAccount());
    EXPECT_EQ(top(), login.get());
    EXPECT_FALSE(SVProgressHUD::isVisible());
    saveScreenshot("wrong-password");
    topAlert()->tapButtonAtIndex(0);

    // A typed code where none was applied for.
    login->passwordField()->setText("123456");
    login->codeField()->setText("abc");
    pressOK();
    ASSERT_TRUE(alertShown("此认证方式没有申请\n请重新登录"));
    EXPECT_FALSE(hasTradeSession());
}

TEST_F(TradeLoginTest, AnUnexpectedReplyChangesNoSessionValue) {
    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    const std::string info = sessionValue(TradeSessionKey::kInfo);
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);

    auto login = openLogin(false);
    login->setBranch("0102", "第二营业部");
    login->accountField()->setText("10009999");
    login->passwordField()->setText("123456");
    // The session text alone, without the customer.
    sim->answerNext(TradeContract::kLogin, TCRSWriter()
                                               .beginSet()
                                               .addField("userinfo", TCRSFieldType::VarText)
                                               .addRecord({"custid=9&authid=x"})
                                               .beginSet()
                                               .addField("userinfo", TCRSFieldType::VarText)
                                               .addRecord({"custid=9&authid=y"})
                                               .bytes());
    login->onCommandOK();
    ASSERT_TRUE(alertShown("返回数据错误"));
    EXPECT_EQ(sessionValue(TradeSessionKey::kInfo), info);
    EXPECT_EQ(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer), customer);
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().count(), 1);
    topAlert()->tapButtonAtIndex(0);

    // A reply of four sets takes its third as the shareholder accounts.
    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("userinfo", TCRSFieldType::VarText)
                     .addRecord({"custid=120009999&custorgid=0102&authid=z"})
                     .beginSet()
                     .addField("custname", TCRSFieldType::VarText)
                     .addField("fundid", TCRSFieldType::VarText)
                     .addRecord({"王芳", "010210009999"})
                     .beginSet()
                     .addField("market", TCRSFieldType::VarText)
                     .addField("secuid", TCRSFieldType::VarText)
                     .addRecord({"0", "0010009999"})
                     .addRecord({"2", "2010009999"})
                     .beginSet()
                     .addField("other", TCRSFieldType::VarText)
                     .addRecord({"x"})
                     .bytes();
    sim->answerNext(TradeContract::kLogin, bytes);
    login->onCommandOK();
    ASSERT_TRUE(waitFor([&] { return sessionValue(TradeSessionKey::kInfo) != info; }));
    EXPECT_EQ(sessionValue(TradeSessionKey::kInfo), "custid=120009999&custorgid=0102&authid=z&operway=i");
    EXPECT_EQ(VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kShareholders)->rowsAffected(), 2);
    EXPECT_EQ(VTAAccountManager::tradeAccountManager().count(), 2);
}

TEST_F(TradeLoginTest, TheSoftTokensCodeIsSentOnceAndItsErrorsDropTheToken) {
    giveThePhoneBsToken();
    auto login = openLogin();
    typeInto(login->accountField(), "10005678");
    ASSERT_TRUE(login->currentToken());
    EXPECT_EQ(login->rowCount(), 7);
    EXPECT_EQ(login->footerText(), "您已开通手机令牌模式，无需认证口令");
    EXPECT_FALSE(login->codeField()->isEnable());
    const std::string first = login->tokenCodeField()->text();
    EXPECT_EQ(first.size(), 6u);
    EXPECT_TRUE(host.isTextVisible("手机令牌"));
    typeInto(login->passwordField(), "000000");
    saveScreenshot("with-token");

    // A wrong password: the used code is never sent again.
    pressOK();
    ASSERT_TRUE(alertShown("交易密码错误，还可尝试4次"));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_EQ(login->currentToken()->count(), 2);
    const std::string second = login->tokenCodeField()->text();
    EXPECT_NE(second, first);
    // The counter was saved before the request went.
    BrasnikSignManager::defaultManager().reload();
    EXPECT_EQ(BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678")->count(), 2);
    login->checkTheAccount();
    ASSERT_TRUE(login->currentToken());

    login->passwordField()->setText("123456");
    pressOK();
    ASSERT_TRUE(waitFor([&] { return hasTradeSession(); }));
    auto sent = sim->requestsOf(500, 1);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(fieldOf(sent[1], "authtype"), "5");
    EXPECT_EQ(books([](SimBooks& b) { return b.customer("010110005678")->token->counter; }), 3);
    settle();

    // An old copy of the token file (its counter behind the server's): the code
    // is refused as used, the token dropped, and the customer offered to enrol again.
    clearTradeSession();
    BrasnikSignManager::defaultManager().removeSignner(
        BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678"));
    giveThePhoneBsToken(1);
    auto again = openLogin(false);
    again->accountField()->setText("10005678");
    again->checkTheAccount();
    again->passwordField()->setText("123456");
    pressOK();
    ASSERT_TRUE(alertShown("令牌验证失败，还可尝试4次\n手机令牌认证失效，现在重新申请令牌？"));
    EXPECT_FALSE(again->currentToken());
    EXPECT_FALSE(BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678"));
    EXPECT_EQ(again->rowCount(), 6);
    EXPECT_FALSE(hasTradeSession());
    saveScreenshot("token-refused");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();
    EXPECT_TRUE(dynamic_cast<VTASJLPViewController*>(top()));
}

TEST_F(TradeLoginTest, ATokenTheServerDoesNotKnowIsDroppedAndAPasswordAloneIsRefusedForB) {
    // A phone token for A, whom the server issued none.
    auto sign = std::make_shared<BrasnikSign>("00112233445566778899aabbccddeeff00112233");
    sign->setCustomID("110001234");
    sign->setPhoneNumber(kTestPhone);
    sign->setAccountsWithString("010110001234");
    BrasnikSignManager::defaultManager().appendSignner(sign);
    BrasnikSignManager::saveSigns();
    auto login = openLogin(false);
    login->setBranch("0101", "第一营业部");
    login->accountField()->setText("10001234");
    login->checkTheAccount();
    ASSERT_TRUE(login->currentToken());
    login->passwordField()->setText("123456");
    pressOK();
    ASSERT_TRUE(alertShown("找不到令牌\n手机令牌认证失效，现在重新申请令牌？"));
    EXPECT_TRUE(BrasnikSignManager::defaultManager().allSignners().empty());
    ASSERT_TRUE(host.pressAlertButton("取消"));
    settle();
    EXPECT_EQ(top(), login.get());

    // Without the token the password alone now goes through.
    pressOK();
    ASSERT_TRUE(waitFor([&] { return hasTradeSession(); }));
    settle();

    // B without a token on the phone: the server asks for it.
    clearTradeSession();
    auto b = openLogin(false);
    b->accountField()->setText("10005678");
    b->checkTheAccount();
    b->passwordField()->setText("123456");
    pressOK();
    ASSERT_TRUE(alertShown("认证失败，您已经申请了动态口令\n手机令牌认证失效，现在重新申请令牌？"));
    EXPECT_FALSE(hasTradeSession());
}

TEST_F(TradeLoginTest, TheRelateModeRelatesTheAccountToThePhone) {
    auto relate = VTAUIFactory::viewControllerWithLink("tradelogin?relate=1&mcjg=1", "关联资金帐号");
    auto* login = dynamic_cast<VTATradeLoginViewController*>(relate.get());
    ASSERT_TRUE(login);
    EXPECT_TRUE(login->isRelateViewContorller());
    EXPECT_TRUE(login->isRelateFromMCJG());
    EXPECT_FALSE(login->pendingMenu());
    pushViewController(relate);
    settle();
    EXPECT_TRUE(host.isTextVisible("关联资金帐号"));
    EXPECT_TRUE(host.isTextVisible("将持仓股加入自选股"));
    EXPECT_TRUE(login->saveSwitch()->isOn());
    ASSERT_TRUE(waitFor([&] { return login->isBranchListOK(); }));
    login->accountField()->setText("10001234");
    login->passwordField()->setText("1");
    saveScreenshot("relate");
    pressOK();
    ASSERT_TRUE(alertShown("关联资金帐号失败"));
    EXPECT_EQ(topAlert()->message(), "交易密码错误，还可尝试4次");
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_EQ(top(), relate.get());
    // The customer's "off" stays through the form's reloads.
    tapView(login->saveSwitch());
    login->checkTheAccount();
    EXPECT_FALSE(login->saveSwitch()->isOn());

    login->passwordField()->setText("123456");
    pressOK();
    ASSERT_TRUE(alertShown("关联资金帐号成功"));
    auto sent = sim->requestsOf(3750, 2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(fieldOf(sent[1], "isimportccg"), "0");
    EXPECT_EQ(fieldOf(sent[1], "inputid"), "010110001234");
    EXPECT_FALSE(hasTradeSession());
    topAlert()->tapButtonAtIndex(0);
    settle();
    EXPECT_EQ(top(), root.get());
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey("RelateFromMCJGStatus"));
    EXPECT_EQ(sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.relatedAccounts[kTestPhone].size(); }), 1u);
}

}  // namespace
