// The soft token end to end: the token page as customer service opens it,
// the two notices, the application form, the countdown, the token listed,
// and the login that then goes with the token's code.
#include "TradeTestSupport.h"

#include <filesystem>

#include "core/VTATCRS.h"
#include "core/contracts/SystemContract.h"
#include "core/contracts/TradeContract.h"
#include "platform/foundation/Paths.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UITextField.h"
#include "shell/FileRecoveryNotice.h"
#include "shell/VTACustomerServiceViewController.h"
#include "trade/VTASJLPViewController.h"
#include "trade/VTASjlpApplyController.h"
#include "trade/VTASjlpDirectionController.h"
#include "ui/YMCountdownAlert.h"

namespace {

class SoftTokenTest : public TradeTest {
protected:
    // The token page as customer service's "手机令牌" opens it.
    VTASJLPViewController* openTokenPage() {
        auto service = std::make_shared<VTACustomerServiceViewController>();
        pushViewController(service);
        settle();
        for (size_t i = 0; i < VTACustomerServiceViewController::items().size(); ++i)
            if (VTACustomerServiceViewController::items()[i].title == "手机令牌") service->selectItem(int(i));
        settle();
        return dynamic_cast<VTASJLPViewController*>(top());
    }
    // The application form pushed over the token page, once its branch is known.
    std::shared_ptr<VTASjlpApplyController> openForm(VTASJLPViewController* page) {
        auto form = std::make_shared<VTASjlpApplyController>();
        form->setTargetController(std::dynamic_pointer_cast<VTASJLPViewController>(page->sharedController()));
        pushViewController(form);
        settle();
        return waitFor([&] { return form->isBranchListOK(); }) ? form : nullptr;
    }
    // The form over the page filled in for customer B, whose token the tests replace.
    std::shared_ptr<VTASjlpApplyController> openFormForB(VTASJLPViewController* page) {
        auto form = openForm(page);
        if (!form) return nullptr;
        form->accountField()->setText("10005678");
        form->passwordField()->setText("123456");
        return form;
    }
    // The seed of the token the brokerage holds for customer B ("" none).
    std::string serverSeedOfB() {
        return books([](SimBooks& b) {
            const auto& token = b.customer("010110005678")->token;
            return token ? token->seed : std::string();
        });
    }
    template <class T>
    T* topAs() const {
        return dynamic_cast<T*>(top());
    }
};

TEST_F(SoftTokenTest, EnrolmentThenLoginWithTheToken) {
    auto* page = openTokenPage();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->title(), "手机令牌");
    ASSERT_TRUE(waitFor([&] { return !page->direction().empty(); }));
    EXPECT_EQ(sim->requestsOf(100, 5).back().encrypt, 0);
    // No token yet: the promotion and the way to apply.
    EXPECT_TRUE(page->showsPromotion());
    EXPECT_EQ(page->tableView()->numberOfSections(), 2);
    EXPECT_TRUE(host.isTextVisible("您尚未在本手机申请手机令牌，请申请后再使用"));
    saveScreenshot("no-token");
    ASSERT_TRUE(host.tapText("阅读"));
    ASSERT_TRUE(alertShown("使用说明"));
    EXPECT_EQ(topAlert()->message(), page->direction());
    topAlert()->tapButtonAtIndex(0);

    // The notices: the second must be accepted.
    ASSERT_TRUE(host.tapText("申请"));
    settle();
    auto* notice = topAs<VTASjlpDirectionController>();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->title(), "申请提示");
    EXPECT_EQ(notice->direction(), page->riskinfo());
    saveScreenshot("apply-notice");
    ASSERT_TRUE(host.tapText("确定"));
    settle();
    auto* usage = topAs<VTASjlpDirectionController>();
    ASSERT_TRUE(usage && usage != notice);
    EXPECT_EQ(usage->title(), "使用说明");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(alertShown("请仔细阅读上文，并确认"));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_EQ(top(), usage);
    tapView(usage->checkButton());
    EXPECT_TRUE(usage->isCheck());
    saveScreenshot("usage-accepted");
    ASSERT_TRUE(host.tapText("确定"));
    settle();

    // The form takes the notices' place.
    auto* form = topAs<VTASjlpApplyController>();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->title(), "申请手机令牌");
    EXPECT_EQ(depth(), 4u);  // root, customer service, token page, form
    ASSERT_TRUE(waitFor([&] { return form->isBranchListOK(); }));
    EXPECT_EQ(sim->requestsOf(501, 17).back().encrypt, 36);  // type 4
    host.tapText("确定");
    EXPECT_EQ(topAlertTitle(), "输入帐号错误");
    topAlert()->tapButtonAtIndex(0);
    typeInto(form->accountField(), "10005678");
    typeInto(form->passwordField(), "123456");
    saveScreenshot("form");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(waitFor([&] { return form->countdown() != nullptr; }));
    auto sent = sim->requestsOf(500, 69);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(fieldOf(sent[0], "inputid"), "010110005678");
    EXPECT_EQ(fieldOf(sent[0], "mobileno"), kTestPhone);
    EXPECT_EQ(fieldOf(sent[0], "trdpwd"), "***");
    // The token is kept at once, with the server's seed.
    auto token = BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678");
    ASSERT_TRUE(token);
    EXPECT_EQ(token->seed(), books([](SimBooks& b) { return b.customer("010110005678")->token->seed; }));
    EXPECT_EQ(token->count(), 1);
    EXPECT_TRUE(token->holdsAccount("010110005678"));
    EXPECT_TRUE(token->holdsGdh("A100005678"));
    EXPECT_EQ(form->countdown()->title(), "手机令牌申请中...");
    settle(5);
    saveScreenshot("countdown");
    settle(26);
    ASSERT_TRUE(alertShown("手机令牌申请成功"));
    ASSERT_TRUE(host.pressAlertButton("确定"));
    settle();

    // Back on the token page, which lists it.
    ASSERT_EQ(top(), page);
    EXPECT_EQ(page->theSjlp().size(), 1u);
    EXPECT_TRUE(host.isTextVisible("您已申请手机令牌的帐号"));
    EXPECT_TRUE(host.isTextVisible("110005678"));
    EXPECT_TRUE(host.isTextVisible(kTestPhone));
    saveScreenshot("token-listed");

    // The login finds it and sends its code.
    auto login = openLogin();
    typeInto(login->accountField(), "10005678");
    ASSERT_TRUE(login->currentToken());
    typeInto(login->passwordField(), "123456");
    ASSERT_TRUE(host.tapText("确定"));
    ASSERT_TRUE(waitFor([&] { return hasTradeSession(); }));
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 1).back(), "authtype"), "5");
    BrasnikSignManager::defaultManager().reload();
    EXPECT_EQ(BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678")->count(), 2);
}

TEST_F(SoftTokenTest, ApplyingAgainReplacesTheTokenAndABadReplyKeepsIt) {
    auto* page = openTokenPage();
    ASSERT_TRUE(page);
    sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { r.tokenPromotion = "好"; });
    page->requestTokenHint();
    ASSERT_TRUE(waitFor([&] { return page->promotion() == "好"; }));
    // A promotion of one character is not shown: one section with the buttons.
    EXPECT_FALSE(page->showsPromotion());
    EXPECT_EQ(page->tableView()->numberOfSections(), 1);

    auto form = openForm(page);
    ASSERT_TRUE(form);
    // A Shanghai A account of 9 digits starting with "88" goes with a "B".
    form->selectAccountType(2);
    form->accountField()->setText("881234567");
    form->passwordField()->setText("123456");
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(alertShown("帐号不存在"));
    EXPECT_EQ(fieldOf(sim->requestsOf(500, 69).back(), "inputid"), "B881234567");
    topAlert()->tapButtonAtIndex(0);

    form->selectAccountType(0);
    form->accountField()->setText("10005678");
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(waitFor([&] { return form->countdown() != nullptr; }));
    form->countdown()->cancel();
    auto first = BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678");
    ASSERT_TRUE(first);
    const std::string firstSeed = first->seed();

    // Once more: one token per customer, the new seed.
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(500, 69).size() == 3 && form->countdown()->isVisible(); }));
    settle();
    form->countdown()->cancel();
    ASSERT_EQ(BrasnikSignManager::defaultManager().allSignners().size(), 1u);
    EXPECT_NE(BrasnikSignManager::defaultManager().allSignners()[0]->seed(), firstSeed);

    // A reply without a usable seed keeps the token the phone has.
    const std::string kept = BrasnikSignManager::defaultManager().allSignners()[0]->seed();
    sim->answerNext(TradeContract::kTokenApplication, TCRSWriter()
                                                          .beginSet()
                                                          .addField("seed", TCRSFieldType::VarText)
                                                          .addField("custid", TCRSFieldType::VarText)
                                                          .addRecord({"not hex", "110005678"})
                                                          .bytes());
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(alertShown("数据解析错误"));
    ASSERT_EQ(BrasnikSignManager::defaultManager().allSignners().size(), 1u);
    EXPECT_EQ(BrasnikSignManager::defaultManager().allSignners()[0]->seed(), kept);
}

TEST_F(SoftTokenTest, TheCountdownOutlivesNoFormAndAFailedPageRequestSaysSo) {
    auto* page = openTokenPage();
    ASSERT_TRUE(page);
    auto form = openForm(page);
    ASSERT_TRUE(form);
    form->accountField()->setText("10001234");
    form->passwordField()->setText("123456");
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(waitFor([&] { return form->countdown() != nullptr; }));
    // The customer leaves before the count ends: nothing calls the gone form.
    std::weak_ptr<UIViewController> weakForm = form;
    popViewControllers(1);
    form.reset();
    settle(40);
    EXPECT_TRUE(weakForm.expired());
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty());

    sim->answerNext(SystemContract::kTokenNotices, {0x01, 0x02, 0x03});
    page->requestTokenHint();
    ASSERT_TRUE(alertShown("数据获取错误"));
}

// The phone's token file cannot be written (a folder stands in its place):
// the server is not asked to replace the customer's token, and a token that
// arrives while the file cannot take it is no enrolment.
TEST_F(SoftTokenTest, ATokenThePhoneCannotKeepIsNeverReportedEnrolled) {
    auto* page = openTokenPage();
    ASSERT_TRUE(page);
    auto form = openFormForB(page);
    ASSERT_TRUE(form);
    const std::string file = documentsPath(BrasnikSignManager::kFileName);
    auto blockFile = [&] { std::filesystem::create_directory(file); };

    blockFile();
    const std::string before = serverSeedOfB();
    EXPECT_FALSE(form->requestToken());
    ASSERT_TRUE(alertShown(VTASjlpApplyController::kNotKeptText));
    topAlert()->tapButtonAtIndex(0);
    EXPECT_TRUE(sim->requestsOf(500, 69).empty());
    EXPECT_EQ(serverSeedOfB(), before);

    // The file takes the list again; it is blocked while the application is on its way.
    std::filesystem::remove(file);
    ASSERT_TRUE(form->requestToken());
    std::filesystem::remove(file);
    blockFile();
    ASSERT_TRUE(alertShown(VTASjlpApplyController::kSaveFailedText));
    topAlert()->tapButtonAtIndex(0);
    settle(31);
    EXPECT_FALSE(form->countdown());
    EXPECT_TRUE(UIAlertView::visibleAlerts().empty()) << "no " << VTASjlpApplyController::kDoneText;
    EXPECT_FALSE(BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678"));
    std::filesystem::remove(file);
    BrasnikSignManager::defaultManager().reload();
    EXPECT_FALSE(BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678"));
}

// The device key's salt file cut short (a damaged disk, a copy cut short)
// can never give the token file's key back: the next start sets both aside,
// tells the customer once, and the token is applied for again, the
// brokerage's old one ending with it.
TEST_F(SoftTokenTest, ASaltCutShortIsToldOnceAndTheTokenIsAppliedForAgain) {
    auto* page = openTokenPage();
    ASSERT_TRUE(page);
    auto form = openFormForB(page);
    ASSERT_TRUE(form);
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(waitFor([&] { return form->countdown() != nullptr; }));
    form->countdown()->cancel();
    const std::string oldSeed = serverSeedOfB();
    ASSERT_TRUE(BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678"));
    popViewControllers(1);
    form.reset();

    const std::string salt = documentsPath("deviceSalt.bin");
    const std::string file = documentsPath(BrasnikSignManager::kFileName);
    std::filesystem::resize_file(salt, 16);
    // The next start reads the token file and tells what it found, once.
    BrasnikSignManager::defaultManager().reload();
    ASSERT_TRUE(FileRecoveryNotice::showIfAny());
    ASSERT_TRUE(alertShown(FileRecoveryNotice::kTitle));
    EXPECT_NE(topAlert()->message().find("手机令牌无法读取，请重新申请。"), std::string::npos);
    topAlert()->tapButtonAtIndex(0);
    EXPECT_FALSE(FileRecoveryNotice::showIfAny());
    EXPECT_EQ(std::filesystem::file_size(salt + ".damaged-1"), 16u);
    EXPECT_TRUE(std::filesystem::exists(file + ".damaged-1"));
    EXPECT_EQ(std::filesystem::file_size(salt), 32u);

    // The page says there is none, and one is applied for again and kept.
    page->viewWillAppear(false);
    settle();
    EXPECT_TRUE(page->theSjlp().empty());
    EXPECT_TRUE(host.isTextVisible("您尚未在本手机申请手机令牌，请申请后再使用"));
    form = openFormForB(page);
    ASSERT_TRUE(form);
    ASSERT_TRUE(form->requestToken());
    ASSERT_TRUE(waitFor([&] { return form->countdown() != nullptr; }));
    form->countdown()->cancel();
    EXPECT_EQ(sim->requestsOf(500, 69).size(), 2u);
    EXPECT_NE(serverSeedOfB(), oldSeed);
    BrasnikSignManager::defaultManager().reload();
    auto token = BrasnikSignManager::defaultManager().findSignerWithCustomID("110005678");
    ASSERT_TRUE(token);
    EXPECT_EQ(token->seed(), serverSeedOfB());
    EXPECT_FALSE(FileRecoveryNotice::showIfAny());
}

}  // namespace
