#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSUserDefaults.h"
#include "tests/support/FileDamage.h"
#include "tests/support/TestSupport.h"

TEST(UserDefaults, AbsentKeysAnswerFalseZeroAndNothing) {
    ScopedDocuments docs;
    auto& d = NSUserDefaults::standardUserDefaults();
    EXPECT_FALSE(d.boolForKey("IsReboot"));
    EXPECT_EQ(d.integerForKey("MESortType"), 0);
    EXPECT_EQ(d.doubleForKey("x"), 0);
    EXPECT_FALSE(d.stringForKey("NeedPushMessageId"));
    EXPECT_FALSE(d.arrayForKey("CachedPortfolioInfoRadarArray"));
    EXPECT_FALSE(d.dictionaryForKey("d"));
    EXPECT_TRUE(d.objectForKey("Token").isNull());
}

TEST(UserDefaults, ValuesSurviveAReadOfTheFile) {
    ScopedDocuments docs;
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setBool(true, "IsDownloadPortfolio");
    d.setInteger(3, "MessageExpressNotifyType");
    d.setDouble(2.5, "ratio");
    d.setObject(Value("000001"), "JJSGRG");
    d.setObject(Value(Value::Array{Value("600000.1"), Value("000001.0")}), "CachedPortfolioInfoRadarArray");
    d.setObject(Value(Value::Dict{{"k", Value(1)}}), "dict");
    d.setObject(Value(Value::Date{1710466200.25}), "TradeLockFireTime");
    d.setObject(Value(Value::Data{0, 1, 2, 255}), "Token");
    ASSERT_TRUE(d.synchronize());

    // What is on disk is a dictionary property list with those values.
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(docs.path() + "/userdefaults.plist");
    ASSERT_TRUE(root && root->isDict());
    EXPECT_EQ((*root)["JJSGRG"].toString(), "000001");

    d.reload();
    EXPECT_TRUE(d.boolForKey("IsDownloadPortfolio"));
    EXPECT_EQ(d.integerForKey("MessageExpressNotifyType"), 3);
    EXPECT_DOUBLE_EQ(d.doubleForKey("ratio"), 2.5);
    EXPECT_EQ(d.stringForKey("JJSGRG"), "000001");
    ASSERT_TRUE(d.arrayForKey("CachedPortfolioInfoRadarArray"));
    EXPECT_EQ(d.arrayForKey("CachedPortfolioInfoRadarArray")->size(), 2u);
    EXPECT_EQ((*d.dictionaryForKey("dict"))["k"].toInt(), 1);
    EXPECT_DOUBLE_EQ(*d.dateForKey("TradeLockFireTime"), 1710466200.25);
    EXPECT_EQ(*d.dataForKey("Token"), (Value::Data{0, 1, 2, 255}));
    EXPECT_EQ(d.stringForKey("MessageExpressNotifyType"), "3") << "a number reads as its text";
    EXPECT_FALSE(d.arrayForKey("JJSGRG")) << "a text is no array";
}

TEST(UserDefaults, ChangesReachTheFileWithoutSynchronize) {
    ScopedDocuments docs;
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setBool(true, "IsReboot");
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(docs.path() + "/userdefaults.plist");
    ASSERT_TRUE(root);
    EXPECT_TRUE((*root)["IsReboot"].toBool());
    d.removeObjectForKey("IsReboot");
    d.reload();
    EXPECT_FALSE(d.boolForKey("IsReboot"));
    EXPECT_TRUE(d.objectForKey("IsReboot").isNull());
}

TEST(UserDefaults, SettingNullRemovesTheKey) {
    ScopedDocuments docs;
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setObject(Value("x"), "NeedPushMessageId");
    d.setObject(Value(), "NeedPushMessageId");
    d.reload();
    EXPECT_FALSE(d.stringForKey("NeedPushMessageId"));
}

TEST(UserDefaults, EachDocumentsFolderHasItsOwnDefaults) {
    ScopedDocuments first;
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setInteger(7, "TradeLockInterval");
    {
        ScopedDocuments second;
        EXPECT_EQ(d.integerForKey("TradeLockInterval"), 0);
        d.setInteger(9, "TradeLockInterval");
    }
    EXPECT_EQ(d.integerForKey("TradeLockInterval"), 7);
}

TEST(UserDefaults, ADamagedFileStartsFromTheLastSynchronizedCopyAndIsKeptAside) {
    ScopedDocuments docs;
    const std::string path = docs.path() + "/userdefaults.plist";
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setBool(true, "DisclaimerAgreed");
    d.setObject(Value("install-7"), "Token");
    ASSERT_TRUE(d.synchronize());
    d.setBool(true, "IsReboot");  // changed since: in the file, not in its copy
    int round = 0;
    for (const auto& damage : fileDamages()) {
        SCOPED_TRACE(damage.name);
        damage.apply(path);
        const auto damaged = fileBytesOf(path);
        d.reload();
        EXPECT_TRUE(d.boolForKey("DisclaimerAgreed"));
        EXPECT_EQ(d.stringForKey("Token"), "install-7");
        EXPECT_FALSE(d.boolForKey("IsReboot"));
        EXPECT_EQ(fileBytesOf(path + ".damaged-" + std::to_string(++round)), damaged);
        ASSERT_EQ(takeRecoveredFiles(docs.path()).size(), 1u);
    }

    // Without a good copy: empty defaults, the damaged file still kept, not written over.
    std::filesystem::remove(lastGoodCopyPath(path));
    {
        std::ofstream f(path, std::ios::binary);
        f << "bplist00\x01\x02 this is not a property list";
    }
    d.reload();
    EXPECT_FALSE(d.boolForKey("DisclaimerAgreed"));
    d.setBool(true, "IsReboot");
    d.reload();
    EXPECT_TRUE(d.boolForKey("IsReboot"));
    auto notes = takeRecoveredFiles(docs.path());
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_FALSE(notes[0].fromCopy);
    EXPECT_NE(fileBytesOf(notes[0].keptAs).size(), 0u);

    // A valid property list whose root is no dictionary is no defaults file either.
    std::filesystem::remove(lastGoodCopyPath(path));
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(Value::Array{Value(1)}), path));
    d.reload();
    EXPECT_FALSE(d.boolForKey("IsReboot"));
    EXPECT_EQ(takeRecoveredFiles(docs.path()).size(), 1u);
}
