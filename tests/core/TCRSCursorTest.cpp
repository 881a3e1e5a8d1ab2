// The cursor, the readers and the edits of one record set.
#include <gtest/gtest.h>

#include "core/ParsedReply.h"
#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"

namespace {

// Three ticks: "tm" integer, "zjcj" packed, "avol" packed, "bs" fixed text.
std::shared_ptr<VTATCRS> ticks() {
    auto bytes = TCRSWriter()
                     .beginSet("ticks")
                     .addField("tm", TCRSFieldType::Integer, 4)
                     .addField("zjcj", TCRSFieldType::Packed, 4)
                     .addField("avol", TCRSFieldType::Packed, 8)
                     .addField("bs", TCRSFieldType::FixedText, 4)
                     .addRecord({930, "10.00", "100", "B"})
                     .addRecord({931, "10.05", "250", "S"})
                     .addRecord({932, "9.98", "75", "B"})
                     .bytes();
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets && sets->size() == 1 ? (*sets)[0] : nullptr;
}

std::vector<int64_t> times(VTATCRS& rs) {
    std::vector<int64_t> out;
    for (rs.fetchFirst(); !rs.isEOF(); rs.fetchNext()) out.push_back(rs.toIntWithFieldName("tm"));
    return out;
}

}  // namespace

TEST(TCRSCursorTest, CursorMovesAndStopsAtTheEnds) {
    auto rs = ticks();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->currentIndex(), 0);  // starts on the first record
    EXPECT_FALSE(rs->isEOF());
    EXPECT_TRUE(rs->fetchNext());
    EXPECT_TRUE(rs->fetchNext());
    EXPECT_EQ(rs->toIntWithFieldName("tm"), 932);
    EXPECT_FALSE(rs->fetchNext());  // no next record: past the end
    EXPECT_TRUE(rs->isEOF());
    EXPECT_FALSE(rs->fetchNext());  // stays past the end
    EXPECT_EQ(rs->currentIndex(), 3);

    // Past the end: nothing to read, but a missing field still reads as "".
    EXPECT_EQ(rs->toStringWithFieldName("tm"), std::nullopt);
    EXPECT_EQ(rs->toStringWithFieldName("nosuch"), "");
    EXPECT_EQ(rs->toIntWithFieldName("tm"), 0);
    EXPECT_FALSE(rs->toVTAFloatWithFieldName("zjcj"));
    EXPECT_TRUE(rs->fieldValueWithName("tm").isNull());

    EXPECT_TRUE(rs->fetchPrev());
    EXPECT_EQ(rs->currentIndex(), 2);
    rs->fetchFirst();
    EXPECT_FALSE(rs->fetchPrev());  // not before the first record
    EXPECT_EQ(rs->currentIndex(), 0);
    rs->fetchLast();
    EXPECT_EQ(rs->toIntWithFieldName("tm"), 932);

    rs->moveToIndex(1);
    rs->skipOff(0);  // keeps the cursor
    EXPECT_EQ(rs->toIntWithFieldName("tm"), 931);
    rs->skipOff(-5);
    EXPECT_EQ(rs->currentIndex(), 0);
    rs->skipOff(100);
    EXPECT_TRUE(rs->isEOF());
    rs->moveToIndex(-1);
    EXPECT_EQ(rs->currentIndex(), 0);
    rs->moveToIndex(99);
    EXPECT_TRUE(rs->isEOF());

    auto empty = VTATCRS::tcrsWithName();
    EXPECT_TRUE(empty->isEOF());
    EXPECT_FALSE(empty->fetchNext());
    empty->fetchLast();
    EXPECT_TRUE(empty->isEOF());
}

TEST(TCRSCursorTest, ReadersByNameAndPosition) {
    auto rs = ticks();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->fieldsIndexWithName("avol"), 2);
    EXPECT_EQ(rs->fieldsIndexWithName("AVOL"), -1);
    EXPECT_EQ(rs->toIntWithFieldName("nosuch"), 0);
    EXPECT_FALSE(rs->toVTAFloatWithFieldName("nosuch"));

    EXPECT_EQ(rs->toStringAtIndex(0), "930");
    EXPECT_EQ(rs->toStringAtIndex(1), "10.00");
    EXPECT_EQ(rs->toVTAFloatAtIndex(2), VTAFloat(100, 0));
    EXPECT_EQ(rs->toStringAtIndex(3), "B");
    EXPECT_EQ(rs->toStringAtIndex(4), "");
    EXPECT_EQ(rs->toStringAtIndex(-1), "");
    EXPECT_EQ(rs->toIntAtIndex(9), 0);
    EXPECT_EQ(rs->getFieldNameAtIndex(9), "");

    EXPECT_EQ(rs->fieldValueAtIndex(0), Value(930));
    EXPECT_EQ(rs->fieldValueAtIndex(1), Value("10.00"));
    EXPECT_EQ(rs->fieldValueAtIndex(3), Value("B"));
}

TEST(TCRSCursorTest, InsertConvertsAndAppendsOutOfRange) {
    auto rs = ticks();
    ASSERT_TRUE(rs);
    // Gap filling: "%d" texts and numbers, inserted at the front.
    EXPECT_EQ(rs->insertRecord({"929", "10.00", 0, "B"}, 0), 0);
    EXPECT_EQ(rs->insertRecord({"933", "9.99", 0, ""}, -1), 0);
    EXPECT_EQ(rs->insertRecord({"934", "9.99", 0, ""}, 99), 0);
    EXPECT_EQ(rs->insertRecord({935}, 6), 0);  // index == count appends too
    EXPECT_EQ(times(*rs), (std::vector<int64_t>{929, 930, 931, 932, 933, 934, 935}));
    rs->moveToIndex(6);
    EXPECT_FALSE(rs->toVTAFloatWithFieldName("zjcj"));  // missing values: no value
    EXPECT_EQ(rs->toStringWithFieldName("bs"), "");

    // Copying a record's stored values keeps them.
    rs->moveToIndex(2);
    std::vector<Value> copy;
    for (int i = 0; i < rs->fieldCount(); ++i) copy.push_back(rs->fieldValueAtIndex(i));
    ASSERT_EQ(rs->insertRecord(copy, -1), 0);
    rs->fetchLast();
    EXPECT_EQ(rs->toIntWithFieldName("tm"), 931);
    EXPECT_EQ(rs->toVTAFloatWithFieldName("zjcj"), VTAFloat(1005, 2));
    EXPECT_EQ(rs->toStringWithFieldName("bs"), "S");

    // Failures leave the count as it was.
    const int count = rs->rowsAffected();
    EXPECT_EQ(rs->insertRecord({"abc"}, -1), 2);                             // no integer
    EXPECT_EQ(rs->insertRecord({1, "1.2345"}, -1), 2);                       // more than 3 decimals
    EXPECT_EQ(rs->insertRecord({1, "", "", "", 5}, -1), 2);                  // more values than fields
    EXPECT_EQ(rs->insertRecord({int64_t(1) << 33}, -1), 2);                  // too large for a 4-byte field
    EXPECT_EQ(rs->insertRecord({1, 2, 3, std::string("\xff\xfe")}, -1), 2);  // not UTF-8
    EXPECT_EQ(rs->insertRecord({Value(Value::Array{})}, -1), 2);
    EXPECT_EQ(rs->rowsAffected(), count);
    EXPECT_EQ(VTATCRS::tcrsWithName()->insertRecord({}, -1), 2);  // no fields
    EXPECT_EQ(rs->insertRecord({1, "1.2300"}, -1), 0);            // trailing zeros do not count
}

TEST(TCRSCursorTest, DeleteKeepsTheCursorInRange) {
    auto rs = ticks();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->deleteRecordAtIndex(3), 2);
    EXPECT_EQ(rs->deleteRecordAtIndex(-1), 2);
    rs->fetchLast();
    EXPECT_EQ(rs->deleteRecordAtIndex(2), 0);
    EXPECT_TRUE(rs->isEOF());
    EXPECT_EQ(rs->currentIndex(), 2);
    EXPECT_EQ(rs->deleteRecordAtIndex(0), 0);
    EXPECT_EQ(times(*rs), std::vector<int64_t>{931});
    EXPECT_EQ(rs->deleteRecordAtIndex(0), 0);
    EXPECT_EQ(rs->rowsAffected(), 0);
    EXPECT_TRUE(rs->isEOF());
    EXPECT_EQ(rs->currentIndex(), 0);
}

TEST(TCRSCursorTest, SubSetsAndSearch) {
    auto rs = ticks();
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->recordIndexWithFieldIndex(3, "S"), 1);
    EXPECT_EQ(rs->recordIndexWithFieldIndex(1, "9.98"), 2);
    EXPECT_EQ(rs->recordIndexWithFieldIndex(0, "932"), 2);
    EXPECT_EQ(rs->recordIndexWithFieldIndex(3, "X"), -1);
    EXPECT_EQ(rs->recordIndexWithFieldIndex(7, "B"), -1);

    auto sub = rs->subTCRSWithRange(1, 2);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->name(), "ticks");
    EXPECT_EQ(sub->fieldCount(), 4);
    EXPECT_EQ(times(*sub), (std::vector<int64_t>{931, 932}));
    // The copy is independent of the original.
    sub->deleteRecordAtIndex(0);
    EXPECT_EQ(rs->rowsAffected(), 3);

    EXPECT_EQ(times(*rs->subTCRSWithRange(2, 100)), std::vector<int64_t>{932});  // cut to what exists
    EXPECT_EQ(rs->subTCRSWithRange(3, 1)->rowsAffected(), 0);
    EXPECT_EQ(rs->subTCRSWithRange(1, INT32_MAX)->rowsAffected(), 2);
    EXPECT_EQ(rs->subTCRSWithRange(-1, 2), nullptr);
    EXPECT_EQ(rs->subTCRSWithRange(0, -1), nullptr);
}

TEST(TCRSCursorTest, VariableTextsSurviveEditsAndSubSets) {
    auto rs = VTATCRS::tcrsWithName("menu");
    ASSERT_TRUE(rs->addField("title", TCRSFieldType::VarText, 0, "标题"));
    ASSERT_TRUE(rs->addField("link", TCRSFieldType::VarText));
    EXPECT_FALSE(rs->addField("bad", TCRSFieldType::FixedText, 70000));
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(rs->insertRecord({"菜单" + std::to_string(i), "list?id=" + std::to_string(i)}, -1), 0);
    EXPECT_FALSE(rs->addField("late", TCRSFieldType::Integer));
    for (int i = 0; i < 20; i += 2) rs->deleteRecordAtIndex(i / 2);
    auto sub = rs->subTCRSWithRange(2, 3);
    auto back = VTATCRS::buildMuTableTCRSWithData(sub->toData());
    ASSERT_TRUE(back);
    ASSERT_EQ((*back)[0]->rowsAffected(), 3);
    EXPECT_EQ((*back)[0]->toStringWithFieldName("title"), "菜单5");
    (*back)[0]->fetchLast();
    EXPECT_EQ((*back)[0]->toStringWithFieldName("link"), "list?id=9");
    EXPECT_EQ((*back)[0]->getFieldDescAtIndex(0), "标题");
}

// ---- a reply checked once ----

TEST(ParsedReplyTest, TellsUnreadableErrorEmptyAndUsableRepliesApart) {
    ParsedReply nothing(std::vector<uint8_t>{});
    EXPECT_TRUE(nothing.readable()) << "no bytes are no record sets, not an unreadable reply";
    EXPECT_TRUE(nothing.ok());
    EXPECT_EQ(nothing.firstRecord(), nullptr);

    ParsedReply garbage(std::vector<uint8_t>{1, 2, 3});
    EXPECT_FALSE(garbage.readable());
    EXPECT_FALSE(garbage.ok());
    EXPECT_TRUE(garbage.sets().empty());

    ParsedReply error(TCRSWriter().errorSet(-12, "密码错误").bytes());
    EXPECT_TRUE(error.isError());
    EXPECT_EQ(error.errorText(), "密码错误");
    EXPECT_EQ(error.errorCode(), -12);
    EXPECT_EQ(error.firstRecord(), nullptr) << "an error set is never read as data";

    ParsedReply emptySet(TCRSWriter().beginSet().addField("code", TCRSFieldType::VarText).bytes());
    EXPECT_TRUE(emptySet.ok());
    EXPECT_EQ(emptySet.sets().size(), 1u);
    EXPECT_EQ(emptySet.firstRecord(), nullptr);

    auto bytes = TCRSWriter()
                     .beginSet()
                     .addField("code", TCRSFieldType::VarText)
                     .addRecord({"600000"})
                     .addRecord({"000001"})
                     .bytes();
    ParsedReply two(bytes);
    two.sets()[0]->fetchLast();
    ASSERT_NE(two.firstRecord(), nullptr);
    EXPECT_EQ(two.firstRecord()->toStringWithFieldName("code"), "600000") << "the cursor goes back to the first record";
}
