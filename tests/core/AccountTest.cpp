#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/VTAAccountManager.h"
#include "core/VTAUserDefoult.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "tests/support/FileDamage.h"
#include "tests/support/TestSupport.h"

namespace {

std::shared_ptr<VTAAccount> account(const std::string& id, const std::string& type = "Z",
                                    const std::string& branch = "0101") {
    return VTAAccount::initWithIDEX(id, VTAAccountType::accountTypeWithCode(type, type == "Z" ? "资金帐号" : "股东"),
                                    std::make_shared<VTAYYB>(branch, "深圳营业部"), "Z" + id);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Accounts : public ::testing::Test {
protected:
    void SetUp() override {
        VTAUserDefoult::standerDefoult().reload();
        auto& center = NSNotificationCenter::defaultCenter();
        center.addObserver(this, kAccountNumberDidChangedNotification,
                           [this](const NSNotification&) { ++numberPosts; });
        center.addObserver(this, kAccountDidChangedNotification, [this](const NSNotification& n) {
            ++selectionPosts;
            EXPECT_FALSE(n.object.has_value());
        });
    }
    void TearDown() override {
        NSNotificationCenter::defaultCenter().removeObserver(this);
        Clock::useSystemTime();
    }
    ScopedDocuments documents;
    int numberPosts = 0;
    int selectionPosts = 0;
};

TEST_F(Accounts, LimitDefaultsToTenWhenTheSettingIsAbsentOrBelowOne) {
    for (int setting : {-100, 0}) {
        if (setting == -100)
            VTAUserDefoult::standerDefoult().removeValueForKey("logaccnum");
        else
            VTAUserDefoult::standerDefoult().setInt(setting, "logaccnum");
        VTAAccountManager list;
        for (int i = 0; i < 12; ++i) EXPECT_TRUE(list.appendAccount(account(std::to_string(1000 + i))));
        ASSERT_EQ(list.count(), 10);
        EXPECT_EQ(list.accountAtIndex(0)->accID(), "1002");  // the two oldest dropped
        EXPECT_EQ(list.accountAtIndex(9)->accID(), "1011");
    }
}

TEST_F(Accounts, LimitFromTheSettingDropsTheOldest) {
    VTAUserDefoult::standerDefoult().setInt(3, "logaccnum");
    VTAAccountManager list;
    for (const char* id : {"1", "2", "3", "4"}) list.appendAccount(account(id));
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.accountAtIndex(0)->accID(), "2");
    // Lowered below the present count: the list shrinks to below it before appending.
    VTAUserDefoult::standerDefoult().setInt(2, "logaccnum");
    list.appendAccount(account("5"));
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.accountAtIndex(0)->accID(), "4");
    EXPECT_EQ(list.accountAtIndex(1)->accID(), "5");
    EXPECT_FALSE(list.accountAtIndex(2));
    EXPECT_FALSE(list.accountAtIndex(-1));
}

TEST_F(Accounts, EqualAccountIsNotAppendedTwice) {
    VTAAccountManager list;
    EXPECT_TRUE(list.appendAccount(account("1", "Z", "0101")));
    EXPECT_FALSE(list.appendAccount(account("1", "Z", "0101")));
    EXPECT_TRUE(list.appendAccount(account("1", "0", "0101")));  // other type
    EXPECT_TRUE(list.appendAccount(account("1", "Z", "0202")));  // other branch
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(numberPosts, 0);  // appending alone posts nothing
}

TEST_F(Accounts, SelectionAndRemovalPostTheirNotifications) {
    VTAAccountManager list;
    auto a = account("1"), b = account("2");
    list.setSelectedAccount(a);  // appended and selected
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(numberPosts, 1);
    EXPECT_EQ(selectionPosts, 1);
    list.setSelectedAccount(b);
    EXPECT_TRUE(b->isSelected());
    EXPECT_FALSE(a->isSelected());
    EXPECT_EQ(list.selectedIndex(), 1);
    EXPECT_EQ(numberPosts, 2);
    EXPECT_EQ(selectionPosts, 2);

    // Reading the selection posts nothing, so an observer may read it freely.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.selectedAccount(), b);
    EXPECT_EQ(selectionPosts, 2);

    // Selecting an equal object selects the listed one.
    list.setSelectedAccount(account("1"));
    EXPECT_EQ(list.selectedAccount(), a);
    EXPECT_EQ(list.count(), 2);

    list.removeAccount(*account("2"));  // not the selected one
    EXPECT_EQ(numberPosts, 4);
    EXPECT_EQ(selectionPosts, 3);
    list.removeAccount(*account("1"));  // the selected one
    EXPECT_EQ(numberPosts, 5);
    EXPECT_EQ(selectionPosts, 4);
    EXPECT_FALSE(list.selectedAccount());
    EXPECT_EQ(list.selectedIndex(), -1);
    list.removeAccount(*account("9"));  // nothing removed, nothing posted
    EXPECT_EQ(numberPosts, 5);
}

TEST_F(Accounts, LoginAndLogoutTimes) {
    NSUserDefaults::standardUserDefaults().setBool(false, "NeedReloadMenu");
    auto at = localDate(2024, 3, 15, 9, 31, 5);
    ASSERT_TRUE(at);
    Clock::freezeAt(at->timeIntervalSince1970());
    auto a = account("88001");
    a->activeAccountWithLogonOnUser("张三", "pw", {{"VTAAccountInfo", std::string("authid=x")}});
    EXPECT_TRUE(a->isLogon());
    EXPECT_EQ(a->loginTime(), "2024-03-15 09:31:05");
    EXPECT_EQ(a->lastLoginTime(), "2024-03-15 09:31:05");
    EXPECT_EQ(a->userInfoText("VTAAccountInfo"), "authid=x");
    EXPECT_FALSE(a->userInfoTCRS("VTAAccountInfo"));
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey("NeedReloadMenu"));

    NSUserDefaults::standardUserDefaults().setBool(false, "NeedReloadMenu");
    Clock::advance(3600);
    a->unactiveAccount();
    EXPECT_FALSE(a->isLogon());
    EXPECT_EQ(a->logoutTime(), "2024-03-15 10:31:05");
    EXPECT_TRUE(NSUserDefaults::standardUserDefaults().boolForKey("NeedReloadMenu"));
    // Logging out forgets the password and the session objects.
    EXPECT_EQ(a->password(), "");
    EXPECT_EQ(a->userInfoText("VTAAccountInfo"), "");
    a->activeAccountWithLogonOnUser("张三", "pw", {});
    EXPECT_EQ(a->loginTime(), "2024-03-15 10:31:05");
    EXPECT_EQ(a->lastLoginTime(), "2024-03-15 09:31:05");  // kept once set
}

TEST_F(Accounts, SavedListRoundTripsWithoutPasswordsOrSessions) {
    const std::string secret = "Pw-7731-secret";
    const std::string session = "authid=SESSION-XYZ";
    {
        VTAAccountManager saved(VTAAccountManager::kSavedAccountsFile);
        EXPECT_EQ(saved.count(), 0);
        auto a = account("10001"), b = account("20002", "1", "0303");
        a->activeAccountWithLogonOnUser("李四", secret, {{"VTAAccountInfo", session}});
        b->activeAccountWithLogonOnUser("王五", secret + "2", {});
        saved.appendAccount(a);
        saved.setSelectedAccount(b);
        ASSERT_TRUE(saved.save());
    }
    std::string bytes = fileBytes(documentsPath(VTAAccountManager::kSavedAccountsFile));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.find(secret), std::string::npos);
    EXPECT_EQ(bytes.find("SESSION-XYZ"), std::string::npos);
    EXPECT_NE(bytes.find("10001"), std::string::npos);

    VTAAccountManager again(VTAAccountManager::kSavedAccountsFile);
    ASSERT_EQ(again.count(), 2);
    auto b = again.accountAtIndex(1);
    EXPECT_EQ(b->accID(), "20002");
    EXPECT_EQ(b->accTypeCode(), "1");
    EXPECT_EQ(b->yybCode(), "0303");
    EXPECT_EQ(b->yybName(), "深圳营业部");
    EXPECT_EQ(b->zjzhAcc(), "Z20002");
    EXPECT_EQ(b->accUserName(), "王五");
    EXPECT_FALSE(b->lastLoginTime().empty());
    EXPECT_EQ(b->password(), "");
    EXPECT_TRUE(b->userInfo().empty());
    EXPECT_FALSE(b->isLogon());
    EXPECT_EQ(again.selectedAccount(), b);
    EXPECT_TRUE(b->isSelected());
}

TEST_F(Accounts, ADamagedSavedFileGivesAnEmptyListAndIsKeptAside) {
    const std::string path = documentsPath(VTAAccountManager::kSavedAccountsFile);
    int round = 0;
    for (const auto& damage : fileDamages()) {
        SCOPED_TRACE(damage.name);
        {
            VTAAccountManager saved(VTAAccountManager::kSavedAccountsFile);
            saved.setSelectedAccount(account("10001"));
            ASSERT_TRUE(saved.save());
        }
        damage.apply(path);
        const auto damaged = fileBytesOf(path);
        VTAAccountManager saved(VTAAccountManager::kSavedAccountsFile);
        EXPECT_EQ(saved.count(), 0);
        EXPECT_FALSE(saved.selectedAccount());
        EXPECT_EQ(fileBytesOf(path + ".damaged-" + std::to_string(++round)), damaged);
        auto notes = takeRecoveredFiles(documentsDirectory());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_FALSE(notes[0].fromCopy);
    }
    // A list in memory has no file to write.
    EXPECT_FALSE(VTAAccountManager().save());
}

}  // namespace
