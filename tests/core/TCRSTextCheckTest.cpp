// The UTF-8 check of a set's texts: a variable-text slot must hold whole
// characters, whether or not the rest of the variable-data area is valid; a
// fixed text is read up to its NUL and nothing after it counts.
#include <gtest/gtest.h>

#include "core/TCRSFormat.h"
#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"

namespace {

// Two records of a fixed text "code" (8 bytes at offset 0) and a variable text
// "name" (slot at offset 8); the variable area holds "股票A" then "股票B".
std::vector<uint8_t> twoStocks() {
    return TCRSWriter()
        .beginSet("t")
        .addField("code", TCRSFieldType::FixedText, 8)
        .addField("name", TCRSFieldType::VarText)
        .addRecord({"600000", "股票A"})
        .addRecord({"600001", "股票B"})
        .bytes();
}

constexpr size_t kRecordsAt = tcrs::kHeaderLength + 2 * tcrs::kFieldHeaderLength + 4 + 4;
constexpr size_t kRecordLength = 16;
constexpr size_t kTextLength = 7;  // "股票A"

size_t slotAt(int record) { return kRecordsAt + size_t(record) * kRecordLength + 8; }

// Appends bytes to the variable area, keeping the set's lengths right.
void appendToVarArea(std::vector<uint8_t>& b, std::initializer_list<uint8_t> extra) {
    b.insert(b.end(), extra);
    tcrs::putU32(b.data() + 24, uint32_t(b.size()));
    tcrs::putU32(b.data() + 36, tcrs::readU32(b.data() + 36) + uint32_t(extra.size()));
}

std::optional<std::string> firstName(const std::vector<uint8_t>& b) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(b);
    if (!sets || sets->empty()) return std::nullopt;
    return (*sets)[0]->toStringWithFieldName("name");
}

}  // namespace

TEST(TCRSTextCheckTest, VariableTextSlotsHoldWholeCharacters) {
    struct Case {
        const char* what;
        bool garbageAfter;  // invalid bytes no slot points at, after the texts
        uint32_t offset, length;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {"as written", false, 0, kTextLength, "股票A"},
        {"starts inside a character", false, 1, kTextLength - 1, std::nullopt},
        {"ends inside a character", false, 0, 2, std::nullopt},
        {"spans both texts", false, 0, 2 * kTextLength, "股票A股票B"},
        {"empty at the very end", false, 2 * kTextLength, 0, ""},
        {"unused bad bytes are not read", true, 0, kTextLength, "股票A"},
        {"with unused bad bytes, starts inside", true, 1, kTextLength - 1, std::nullopt},
        {"with unused bad bytes, ends inside", true, 3, 2, std::nullopt},
        {"points at the bad bytes", true, 2 * kTextLength, 1, std::nullopt},
    };
    for (const Case& c : cases) {
        auto b = twoStocks();
        ASSERT_EQ(firstName(b), "股票A");
        if (c.garbageAfter) appendToVarArea(b, {0xFF, 0xE4, 0x80});
        tcrs::putU32(b.data() + slotAt(0), c.offset);
        tcrs::putU32(b.data() + slotAt(0) + 4, c.length);
        EXPECT_EQ(firstName(b), c.name) << c.what;
    }
}

TEST(TCRSTextCheckTest, FixedTextsEndAtTheirFirstNul) {
    auto b = twoStocks();
    const size_t code = kRecordsAt;
    b[code + 6] = 0;
    b[code + 7] = 0xFF;  // after the NUL: not part of the text
    auto sets = VTATCRS::buildMuTableTCRSWithData(b);
    ASSERT_TRUE(sets && sets->size() == 1);
    EXPECT_EQ((*sets)[0]->toStringWithFieldName("code"), "600000");

    const uint8_t chinese[] = {0xE8, 0x82, 0xA1};  // 股
    std::copy(std::begin(chinese), std::end(chinese), b.begin() + long(code));
    EXPECT_EQ(VTATCRS::buildMuTableTCRSWithData(b).value()[0]->toStringWithFieldName("code"), "股000");
    b[code + 2] = 0x41;  // the character cut short
    EXPECT_FALSE(VTATCRS::buildMuTableTCRSWithData(b));
}
