// Record sets written by TCRSWriter and read back by VTATCRS.
#include <gtest/gtest.h>

#include "core/TCRSFormat.h"
#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"

namespace {

using Sets = VTATCRS::TCRSArray;

// An error set, a quote set with every field type, and a named configuration set.
std::vector<uint8_t> sampleReply() {
    TCRSWriter w;
    w.errorSet(-12, "资金账号不存在");
    w.beginSet("quotes")
        .addField("zqdm", TCRSFieldType::FixedText, 8, "代码")
        .addField("zqmc", TCRSFieldType::VarText, 0, "名称")
        .addField("zjcj", TCRSFieldType::Packed, 4, "最新")
        .addField("cjje", TCRSFieldType::Packed, 8, "金额")
        .addField("tm", TCRSFieldType::Integer, 4, "时间")
        .addField("cjsl", TCRSFieldType::Integer, 8, "总手")
        .addRecord({"600000", "浦发银行", "12.34", "1234.5", 930, int64_t(5000000000)})
        .addRecord({"000001", "平安银行", Value(), "-0.05", "1131", Value()})
        .addRecord({"300750", "", 8, 0.5, Value(true), -7});
    w.beginSet("sys.conf")
        .addField("key", TCRSFieldType::VarText)
        .addField("value", TCRSFieldType::VarText)
        .addRecord({"maxmsg", "1^30"})
        .addRecord({"interval", "570-690|780-900"});
    EXPECT_TRUE(w.ok());
    return w.bytes();
}

}  // namespace

TEST(TCRSRoundTripTest, SeveralSetsWithEveryTypeReadBack) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(sampleReply());
    ASSERT_TRUE(sets);
    ASSERT_EQ(sets->size(), 3u);

    const auto& err = (*sets)[0];
    EXPECT_TRUE(err->isError());
    EXPECT_EQ(err->getError(), "资金账号不存在");
    EXPECT_EQ(err->errorCode(), -12);
    EXPECT_EQ(err->name(), "sys.error");

    const auto& q = (*sets)[1];
    EXPECT_FALSE(q->isError());
    EXPECT_EQ(q->getError(), "");
    EXPECT_EQ(q->name(), "quotes");
    EXPECT_EQ(q->fieldCount(), 6);
    EXPECT_EQ(q->rowsAffected(), 3);
    EXPECT_EQ(q->getFieldNameAtIndex(1), "zqmc");
    EXPECT_EQ(q->getFieldDescAtIndex(1), "名称");
    auto field = q->fieldDescAtIndex(3);
    ASSERT_TRUE(field);
    EXPECT_EQ(field->fieldName(), "cjje");
    EXPECT_EQ(field->fieldType(), TCRSFieldType::Packed);
    EXPECT_EQ(field->fieldLength(), 8);

    EXPECT_EQ(q->toStringWithFieldName("zqdm"), "600000");
    EXPECT_EQ(q->toStringWithFieldName("zqmc"), "浦发银行");
    EXPECT_EQ(q->toVTAFloatWithFieldName("zjcj"), VTAFloat(1234, 2));
    EXPECT_EQ(q->toIntWithFieldName("zjcj"), 1234 * 4 + 2);  // the raw packed integer
    EXPECT_EQ(q->toStringWithFieldName("zjcj"), "12.34");
    EXPECT_EQ(q->toVTAFloatWithFieldName("cjje")->toMoney(), "1234.5万");
    EXPECT_EQ(q->toIntWithFieldName("tm"), 930);
    EXPECT_EQ(q->toIntWithFieldName("cjsl"), 5000000000);

    ASSERT_TRUE(q->fetchNext());
    // No value: packed and integer.
    EXPECT_FALSE(q->toVTAFloatWithFieldName("zjcj"));
    EXPECT_EQ(q->toIntWithFieldName("zjcj"), 999999999);
    EXPECT_EQ(q->toStringWithFieldName("zjcj"), "");
    EXPECT_TRUE(q->fieldValueWithName("zjcj").isNull());
    EXPECT_EQ(q->toIntWithFieldName("cjsl"), 999999999);
    EXPECT_FALSE(q->toVTAFloatWithFieldName("cjsl"));
    EXPECT_EQ(q->toVTAFloatWithFieldName("cjje"), VTAFloat(-5, 2));
    EXPECT_EQ(q->toIntWithFieldName("tm"), 1131);  // text converted to the integer field

    ASSERT_TRUE(q->fetchNext());
    EXPECT_EQ(q->toStringWithFieldName("zqmc"), "");
    EXPECT_EQ(q->toVTAFloatWithFieldName("zjcj"), VTAFloat(8, 0));
    EXPECT_EQ(q->toVTAFloatWithFieldName("cjje"), VTAFloat(5, 1));
    EXPECT_EQ(q->toIntWithFieldName("tm"), 1);
    EXPECT_EQ(q->toIntWithFieldName("cjsl"), -7);
    EXPECT_EQ(q->toVTAFloatWithFieldName("cjsl"), VTAFloat(-7, 0));

    const auto& conf = (*sets)[2];
    EXPECT_EQ(conf->name(), "sys.conf");
    EXPECT_EQ(conf->recordIndexWithFieldIndex(0, "interval"), 1);
    conf->moveToIndex(1);
    EXPECT_EQ(conf->toStringWithFieldName("value"), "570-690|780-900");
}

TEST(TCRSRoundTripTest, SerialisingReadSetsGivesTheSameBytes) {
    auto bytes = sampleReply();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    ASSERT_TRUE(sets);
    EXPECT_EQ(VTATCRS::dataWithTCRSArray(*sets), bytes);

    // After edits the bytes still read back, with the edits.
    auto& q = (*sets)[1];
    ASSERT_EQ(q->insertRecord({"000002", "万科Ａ", "9.99"}, 0), 0);
    ASSERT_EQ(q->deleteRecordAtIndex(2), 0);
    auto again = VTATCRS::buildMuTableTCRSWithData(VTATCRS::dataWithTCRSArray(*sets));
    ASSERT_TRUE(again);
    ASSERT_EQ(again->size(), 3u);
    auto& q2 = (*again)[1];
    ASSERT_EQ(q2->rowsAffected(), 3);
    EXPECT_EQ(q2->toStringWithFieldName("zqmc"), "万科Ａ");
    EXPECT_EQ(q2->toIntWithFieldName("cjsl"), 999999999);  // missing trailing values: no value
    q2->moveToIndex(2);
    EXPECT_EQ(q2->toStringWithFieldName("zqdm"), "300750");
}

TEST(TCRSRoundTripTest, EmptyInputAndEmptySets) {
    auto none = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>{});
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());

    // A set without fields or records, and one with fields but no records.
    auto bytes = TCRSWriter().beginSet().beginSet("x").addField("a", TCRSFieldType::Integer).bytes();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    ASSERT_TRUE(sets);
    ASSERT_EQ(sets->size(), 2u);
    EXPECT_EQ((*sets)[0]->name(), "");
    EXPECT_EQ((*sets)[0]->fieldCount(), 0);
    EXPECT_TRUE((*sets)[1]->isEOF());
    EXPECT_EQ((*sets)[1]->toStringWithFieldName("a"), std::nullopt);
}

TEST(TCRSRoundTripTest, TextsAreCutAtCharacterBoundaries) {
    // 16-byte names and fixed texts never end inside a character.
    auto bytes = TCRSWriter()
                     .beginSet("名称名称名称名称")  // 24 bytes: cut to 5 characters (15 bytes)
                     .addField("t", TCRSFieldType::FixedText, 7)
                     .addRecord({"中文字"})  // 9 bytes: 2 characters fit in 7
                     .bytes();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    ASSERT_TRUE(sets);
    EXPECT_EQ((*sets)[0]->name(), "名称名称名");
    EXPECT_EQ((*sets)[0]->toStringWithFieldName("t"), "中文");
}

TEST(TCRSRoundTripTest, WriterRefusesWhatCannotBeWritten) {
    TCRSWriter w;
    w.addRecord({1});  // no set yet
    EXPECT_FALSE(w.ok());

    TCRSWriter w2;
    w2.beginSet().addField("n", TCRSFieldType::Integer, 4).addRecord({int64_t(1) << 40});
    EXPECT_FALSE(w2.ok());  // does not fit 4 bytes

    TCRSWriter w3;
    w3.beginSet().addField("n", TCRSFieldType::Integer).addRecord({1}).addField("late", TCRSFieldType::Integer);
    EXPECT_FALSE(w3.ok());  // fields come before records

    TCRSWriter w4;
    w4.beginSet().addField("n", TCRSFieldType::Integer, 3);
    EXPECT_FALSE(w4.ok());  // numbers are 4 or 8 bytes
    auto sets = VTATCRS::buildMuTableTCRSWithData(w4.bytes());
    ASSERT_TRUE(sets);
    EXPECT_EQ((*sets)[0]->fieldCount(), 0);
}
