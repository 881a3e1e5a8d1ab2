// Inputs that sit exactly on a stated limit, and one past it; test data where
// two plausible orders (text and number) differ.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MenuFunctions.h"
#include "core/TCRSFormat.h"
#include "core/TCRSWriter.h"
#include "core/VTAFloat.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/VTATree.h"

namespace {

// One set written byte by byte (the writer refuses what these tests need):
// `fields` integer fields of 4 bytes side by side, or one fixed text of
// `fixedLength` bytes; one record of `recordLength` bytes (0: just the fields).
std::vector<uint8_t> handSet(uint32_t fields, uint32_t recordLength = 0, uint32_t fixedLength = 0) {
    using namespace tcrs;
    std::vector<uint8_t> descriptors;
    uint32_t used = 0;
    const uint32_t count = fixedLength ? 1 : fields;
    for (uint32_t f = 0; f < count; ++f) {
        std::string name = "f" + std::to_string(f);
        descriptors.push_back(fixedLength ? 3 : 1);
        descriptors.push_back(0);
        appendU16(descriptors, uint16_t(name.size()));
        appendU16(descriptors, 0);
        appendU16(descriptors, 0);
        const uint32_t length = fixedLength ? fixedLength : 4;
        appendU32(descriptors, length);
        appendU32(descriptors, used);
        used += length;
        descriptors.insert(descriptors.end(), name.begin(), name.end());
    }
    const uint32_t r = recordLength ? recordLength : used;
    std::vector<uint8_t> out(16, 0);
    for (int i = 0; i < 4; ++i) out.push_back(kMagic[i]);
    out.push_back(1);
    out.push_back(0);
    appendU16(out, uint16_t(count));
    appendU32(out, uint32_t(40 + descriptors.size() + r));
    appendU32(out, 1);
    appendU32(out, r);
    appendU32(out, 0);
    out.insert(out.end(), descriptors.begin(), descriptors.end());
    std::vector<uint8_t> record(r, 0);
    if (fixedLength) record.assign(r, 'x');
    out.insert(out.end(), record.begin(), record.end());
    return out;
}

bool reads(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets && sets->size() == 1;
}

TEST(Limits, FieldCountUpToTheCap) {
    EXPECT_TRUE(reads(handSet(tcrs::kMaxFields)));
    auto sets = VTATCRS::buildMuTableTCRSWithData(handSet(tcrs::kMaxFields));
    ASSERT_TRUE(sets);
    EXPECT_EQ((*sets)[0]->fieldCount(), int(tcrs::kMaxFields));
    EXPECT_EQ((*sets)[0]->getFieldNameAtIndex(int(tcrs::kMaxFields) - 1), "f4095");
    EXPECT_FALSE(reads(handSet(tcrs::kMaxFields + 1)));
}

TEST(Limits, RecordLengthUpToTheCap) {
    EXPECT_TRUE(reads(handSet(1, tcrs::kMaxRecordLength)));
    EXPECT_FALSE(reads(handSet(1, tcrs::kMaxRecordLength + 1)));
}

TEST(Limits, FixedTextLengthUpToTheCap) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(handSet(1, 0, tcrs::kMaxFixedTextLength));
    ASSERT_TRUE(sets && sets->size() == 1);
    (*sets)[0]->fetchFirst();
    EXPECT_EQ((*sets)[0]->toStringAtIndex(0)->size(), tcrs::kMaxFixedTextLength);
    EXPECT_FALSE(reads(handSet(1, 0, tcrs::kMaxFixedTextLength + 1)));
}

// A variable text slot may end exactly at the end of the variable-data area,
// never one byte past it, even where the byte past it is readable (the next set).
TEST(Limits, VariableTextSlotEndsAtTheAreaNotPastIt) {
    auto one = TCRSWriter().beginSet("v").addField("t", TCRSFieldType::VarText).addRecord({"abc"}).bytes();
    auto next = TCRSWriter().beginSet("n").addField("i", TCRSFieldType::Integer).addRecord({1}).bytes();
    const uint32_t varLength = tcrs::readU32(one.data() + 36);
    ASSERT_EQ(varLength, 3u);
    const size_t slot = one.size() - varLength - tcrs::kVarRefLength;  // the only record is the slot
    struct Case {
        uint32_t offset, length;
        const char* text;  // nullptr: the set is refused
    };
    for (const Case& c : std::vector<Case>{{0, 3, "abc"},
                                           {1, 2, "bc"},
                                           {3, 0, ""},
                                           {1, 3, nullptr},
                                           {0, 4, nullptr},
                                           {3, 1, nullptr},
                                           {4, 0, nullptr}}) {
        auto bytes = one;
        tcrs::putU32(bytes.data() + slot, c.offset);
        tcrs::putU32(bytes.data() + slot + 4, c.length);
        bytes.insert(bytes.end(), next.begin(), next.end());
        auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
        if (!c.text) {
            EXPECT_FALSE(sets) << c.offset << "+" << c.length;
            continue;
        }
        ASSERT_TRUE(sets && sets->size() == 2) << c.offset << "+" << c.length;
        (*sets)[0]->fetchFirst();
        EXPECT_EQ((*sets)[0]->toStringAtIndex(0).value_or("?"), c.text);
    }
}

TEST(Limits, PackedNumbersKeepUnitsUpToTheCap) {
    EXPECT_EQ(VTAFloat(7, VTAFloat::kMaxUnit).unit(), VTAFloat::kMaxUnit);
    EXPECT_EQ(VTAFloat(7, VTAFloat::kMaxUnit + 1).unit(), VTAFloat::kMaxUnit);
    EXPECT_EQ(VTAFloat(7, -1).unit(), 0);
    // The packed form carries units 0 to 3 only, and values below "no value".
    EXPECT_TRUE(VTAFloat(1, 3).toLong());
    EXPECT_FALSE(VTAFloat(1, 4).toLong());
    EXPECT_EQ(VTAFloat::VTAFloatWithLong(999999998).has_value(), true);
    EXPECT_FALSE(VTAFloat::VTAFloatWithLong(999999999));
}

TEST(Limits, MenuOrderIsNumericNotTextual) {
    // As texts "10" < "9" < "100"; as numbers 9 < 10 < 100.
    TCRSWriter w;
    w.beginSet("sys.menu")
        .addField("id", TCRSFieldType::Integer)
        .addField("pid", TCRSFieldType::Integer)
        .addField("title", TCRSFieldType::VarText)
        .addField("link", TCRSFieldType::VarText)
        .addField("show", TCRSFieldType::Integer)
        .addField("order", TCRSFieldType::Integer);
    w.addRecord({Value(1), Value(-1), Value("ten"), Value("a"), Value(1), Value(10)});
    w.addRecord({Value(2), Value(-1), Value("hundred"), Value("b"), Value(1), Value(100)});
    w.addRecord({Value(3), Value(-1), Value("nine"), Value("c"), Value(1), Value(9)});
    ASSERT_TRUE(installMenuFromData(w.bytes()));
    std::vector<std::string> titles;
    for (const auto& m : visibleMenusOfNode(-1)) titles.push_back(m->title());
    EXPECT_EQ(titles, (std::vector<std::string>{"nine", "ten", "hundred"}));
    VTATree::setSharedTree(nullptr);
    VTAParamter::shareParamter().removeAllValues();
}

}  // namespace
