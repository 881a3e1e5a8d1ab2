#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/TCRSWriter.h"
#include "core/VTAParamter.h"
#include "core/VTAUserDefoult.h"
#include "platform/foundation/GuardedFile.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "tests/support/FileDamage.h"
#include "tests/support/TestSupport.h"

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { settings().reload(); }
    void TearDown() override {}
    static VTAUserDefoult& settings() { return VTAUserDefoult::standerDefoult(); }
    ScopedDocuments documents;
};

TEST_F(Settings, FreshFileHoldsTheDefaults) {
    EXPECT_EQ(settings().filePath(), documentsPath("vtadb.plish"));
    EXPECT_EQ(settings().getIntForKey("the version"), 122);
    EXPECT_TRUE(settings().getBoolForKey("auto refresh"));
    EXPECT_EQ(settings().getIntForKey("auto refresh wait time"), 10);
    EXPECT_EQ(settings().getIntForKey("logaccnum"), 10);
    EXPECT_EQ(settings().getDoubleForKey("defoult font size"), 15.0);
    EXPECT_EQ(settings().getStringForKey("kx dj type"), "");
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("MessageExpressNotifyType"), 3);
    // The defaults are on disk at once.
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(documentsPath("vtadb.plish"));
    ASSERT_TRUE(root && root->isDict());
    EXPECT_EQ((*root)["the version"].toInt(), 122);
}

TEST_F(Settings, AbsentKeysGiveTheirAbsentAnswers) {
    EXPECT_FALSE(settings().getBoolForKey("SaveMyStockInServer"));
    EXPECT_EQ(settings().getIntForKey("StepForBS"), -1);
    EXPECT_FALSE(settings().getStringForKey("your phone number"));
    EXPECT_FALSE(settings().getArrayForKey("fund you care"));
    EXPECT_FALSE(settings().getDoubleForKey("nothing"));
    EXPECT_TRUE(settings().getValueForKey("nothing").isNull());
    // A key of another kind is no array and no integer.
    settings().setArray({Value("000001")}, "fund you care");
    settings().setString("13800000000", "your phone number");
    EXPECT_FALSE(settings().getArrayForKey("your phone number"));
    EXPECT_EQ(settings().getIntForKey("fund you care"), -1);
    EXPECT_FALSE(settings().getStringForKey("fund you care"));
}

TEST_F(Settings, ValuesSurviveSaveAndReload) {
    settings().setBool(true, "SaveMyStockInServer");
    settings().setInt(500, "StepForBS");
    settings().setString("13800000000", "your phone number");
    settings().setString("MACD", "kx dj type");
    settings().setArray({Value("600000.2"), Value("000001.1")}, "your stocks");
    settings().setDouble(17.5, "defoult font size");
    settings().setValue(Value(Value::Dict{{"k", Value(1)}}), "misc");
    ASSERT_TRUE(settings().save());

    settings().setString("lost", "your phone number");  // not saved
    settings().reload();
    EXPECT_TRUE(settings().getBoolForKey("SaveMyStockInServer"));
    EXPECT_EQ(settings().getIntForKey("StepForBS"), 500);
    EXPECT_EQ(settings().getStringForKey("your phone number"), "13800000000");
    EXPECT_EQ(settings().getStringForKey("kx dj type"), "MACD");
    EXPECT_EQ(settings().getArrayForKey("your stocks"), (Value::Array{Value("600000.2"), Value("000001.1")}));
    EXPECT_EQ(settings().getDoubleForKey("defoult font size"), 17.5);
    EXPECT_EQ(settings().getValueForKey("misc")["k"].toInt(), 1);

    settings().removeValueForKey("your stocks");
    settings().setValue(Value(), "StepForBS");  // Null removes
    ASSERT_TRUE(settings().save());
    settings().reload();
    EXPECT_FALSE(settings().getArrayForKey("your stocks"));
    EXPECT_EQ(settings().getIntForKey("StepForBS"), -1);
}

TEST_F(Settings, ADamagedFileStartsFromItsLastGoodCopyAndIsKeptAside) {
    const std::string path = documentsPath("vtadb.plish");
    settings().setString("13800138000", "your phone number");
    settings().setInt(25, "logaccnum");
    ASSERT_TRUE(settings().save());
    takeRecoveredFiles(documents.path());
    int round = 0;
    for (const auto& damage : fileDamages()) {
        SCOPED_TRACE(damage.name);
        damage.apply(path);
        const auto damaged = fileBytesOf(path);
        settings().reload();
        // Still registered, the customer's own settings kept.
        EXPECT_EQ(settings().getStringForKey("your phone number"), "13800138000");
        EXPECT_EQ(settings().getIntForKey("logaccnum"), 25);
        EXPECT_EQ(fileBytesOf(path + ".damaged-" + std::to_string(++round)), damaged);
        auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(path);
        ASSERT_TRUE(root && root->isDict());  // whole again
        EXPECT_EQ((*root)["your phone number"].string(), "13800138000");
        auto notes = takeRecoveredFiles(documents.path());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_TRUE(notes[0].fromCopy);
    }
}

TEST_F(Settings, ADamagedFileWithoutAGoodCopyGivesTheDefaults) {
    const std::string path = documentsPath("vtadb.plish");
    for (const std::string& junk : {std::string("bplist00\xff\xff garbage"), std::string(), std::string("<plist>")}) {
        settings().setString("13800138000", "your phone number");
        ASSERT_TRUE(settings().save());
        std::filesystem::remove(lastGoodCopyPath(path));
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << junk;
        }
        settings().reload();
        EXPECT_EQ(settings().getIntForKey("the version"), 122);
        EXPECT_EQ(settings().getIntForKey("logaccnum"), 10);
        EXPECT_FALSE(settings().getStringForKey("your phone number"));
        auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(path);
        EXPECT_TRUE(root && root->isDict());  // rewritten readable
        auto notes = takeRecoveredFiles(documents.path());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_FALSE(notes[0].fromCopy);
        EXPECT_EQ(fileBytesOf(notes[0].keptAs), std::vector<uint8_t>(junk.begin(), junk.end()));
    }
    // A readable archive whose root is no dictionary, and no copy either.
    std::filesystem::remove(lastGoodCopyPath(path));
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(Value::Array{Value(1)}), path));
    settings().reload();
    EXPECT_EQ(settings().getIntForKey("the version"), 122);
}

TEST_F(Settings, ADamagedKeyLosesItsEntryAndKeepsTheOthers) {
    settings().setString("13800138000", "your phone number");
    settings().setBool(true, "SaveMyStockInServer");
    settings().setInt(25, "logaccnum");
    ASSERT_TRUE(settings().save());
    std::string bytes;
    {
        std::ifstream in(documentsPath("vtadb.plish"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    size_t at = bytes.find("SaveMyStockInServer");
    ASSERT_NE(at, std::string::npos);
    bytes[at + 4] = '\xff';  // one flipped byte
    {
        std::ofstream out(documentsPath("vtadb.plish"), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    settings().reload();
    EXPECT_EQ(settings().getStringForKey("your phone number"), "13800138000");  // still registered
    EXPECT_EQ(settings().getIntForKey("logaccnum"), 25);
    EXPECT_FALSE(settings().getBoolForKey("SaveMyStockInServer"));
    // Saved again, the file reads whole.
    ASSERT_TRUE(settings().save());
    auto root = NSKeyedUnarchiver::unarchiveObjectWithFile(documentsPath("vtadb.plish"));
    ASSERT_TRUE(root && root->isDict());
    EXPECT_EQ((*root)["your phone number"].string(), "13800138000");
}

TEST_F(Settings, OtherVersionGetsTheDefaultsAndKeepsOtherKeys) {
    Value::Dict old{{"the version", Value(121)},
                    {"auto refresh", Value(false)},
                    {"logaccnum", Value(3)},
                    {"your phone number", Value("13900000000")}};
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(old), documentsPath("vtadb.plish")));
    settings().reload();
    EXPECT_EQ(settings().getIntForKey("the version"), 122);
    EXPECT_TRUE(settings().getBoolForKey("auto refresh"));
    EXPECT_EQ(settings().getIntForKey("logaccnum"), 10);
    EXPECT_EQ(settings().getStringForKey("your phone number"), "13900000000");

    // The current version is read as it is.
    old["the version"] = Value(122);
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(old), documentsPath("vtadb.plish")));
    settings().reload();
    EXPECT_FALSE(settings().getBoolForKey("auto refresh"));
    EXPECT_EQ(settings().getIntForKey("logaccnum"), 3);
}

class SessionValues : public ::testing::Test {
protected:
    void SetUp() override { p().removeAllValues(); }
    void TearDown() override { p().removeAllValues(); }
    static VTAParamter& p() { return VTAParamter::shareParamter(); }
};

TEST_F(SessionValues, TypedReadersAnswerOnlyForTheirKind) {
    p().setString("abc&operway=i", "tradeUserInfo");
    p().setValue(Value(Value::Dict{{"maxmsg", Value("1^30")}}), "commomdSettingForHQ");
    auto sets = VTATCRS::buildMuTableTCRSWithData(
        TCRSWriter().beginSet().addField("fundid", TCRSFieldType::VarText).addRecord({Value("F1")}).bytes());
    ASSERT_TRUE(sets && sets->size() == 1);
    p().setTCRS((*sets)[0], "tradeUserTCRS");

    EXPECT_EQ(p().getStringForKey("tradeUserInfo"), "abc&operway=i");
    EXPECT_EQ(p().getValueForKey("tradeUserInfo"), Value("abc&operway=i"));
    EXPECT_FALSE(p().getDictionaryForKey("tradeUserInfo"));
    EXPECT_EQ(p().getDictionaryForKey("commomdSettingForHQ")->at("maxmsg"), Value("1^30"));
    EXPECT_FALSE(p().getStringForKey("commomdSettingForHQ"));
    EXPECT_EQ(p().getTCRSForKey("tradeUserTCRS"), (*sets)[0]);  // the same shared set
    EXPECT_FALSE(p().getStringForKey("tradeUserTCRS"));
    EXPECT_TRUE(p().getValueForKey("tradeUserTCRS").isNull());
    EXPECT_FALSE(p().getTCRSForKey("tradeUserInfo"));

    p().setValue(Value(7), "n");
    EXPECT_EQ(p().getStringForKey("n"), "7");
    p().setObject(std::string("x"), "obj");
    EXPECT_EQ(std::any_cast<std::string>(p().getObjectForKey("obj")), "x");
}

TEST_F(SessionValues, RemovalAndNilSetting) {
    p().setString("s", "tradepassword");
    p().removeValueForKey("tradepassword");
    EXPECT_FALSE(p().getStringForKey("tradepassword"));
    EXPECT_FALSE(p().hasValueForKey("tradepassword"));
    p().setString("s", "k");
    p().setValue(Value(), "k");
    EXPECT_FALSE(p().hasValueForKey("k"));
    p().setString("s", "k");
    p().setTCRS(nullptr, "k");
    EXPECT_FALSE(p().hasValueForKey("k"));
    p().removeValueForKey("never there");
}

}  // namespace
