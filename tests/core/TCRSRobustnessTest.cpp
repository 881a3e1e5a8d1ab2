// Truncated, garbled and hostile record-set bytes: never a crash or a read past
// the end (run under AddressSanitizer), always nullopt or the sets read so far.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "core/TCRSFormat.h"
#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<uint8_t> setBytes(int records) {
    TCRSWriter w;
    w.beginSet("q")
        .addField("code", TCRSFieldType::FixedText, 6)
        .addField("name", TCRSFieldType::VarText)
        .addField("price", TCRSFieldType::Packed, 4)
        .addField("vol", TCRSFieldType::Integer, 8);
    for (int i = 0; i < records; ++i) w.addRecord({std::to_string(600000 + i), "股票" + std::to_string(i), "1.5", i});
    return w.bytes();
}

std::vector<uint8_t> concat(const std::vector<std::vector<uint8_t>>& parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

size_t readCount(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets ? sets->size() : size_t(-1);
}

// Reads everything a caller could read, so a bad slot would show under ASan.
void walk(const VTATCRS::TCRSArray& sets) {
    for (const auto& s : sets) {
        s->getError();
        for (s->fetchFirst(); !s->isEOF(); s->fetchNext())
            for (int f = 0; f < s->fieldCount(); ++f) {
                s->toStringAtIndex(f);
                s->toVTAFloatAtIndex(f);
                s->fieldValueAtIndex(f);
            }
    }
}

// Offsets inside the first set of setBytes(): header fields and the first record.
constexpr size_t kFieldCountAt = 22, kTotalAt = 24, kRecordCountAt = 28, kRecordLengthAt = 32, kVarLengthAt = 36;
size_t firstRecordAt() { return tcrs::kHeaderLength + 4 * tcrs::kFieldHeaderLength + 4 + 4 + 5 + 3; }

// The seed inputs of the record-set fuzzer (fuzz/corpus/tcrs).
std::map<std::string, std::vector<uint8_t>> fuzzSeeds() {
    std::map<std::string, std::vector<uint8_t>> seeds;
    seeds["quotes.bin"] = setBytes(3);
    seeds["error_then_data.bin"] = concat({TCRSWriter().errorSet(-1, "会话超时").bytes(), setBytes(1)});
    seeds["menu_and_conf.bin"] = TCRSWriter()
                                     .beginSet("sys.menu")
                                     .addField("m_id", TCRSFieldType::Integer, 4)
                                     .addField("m_pid", TCRSFieldType::Integer, 4)
                                     .addField("title", TCRSFieldType::VarText, 0, "标题")
                                     .addField("link", TCRSFieldType::VarText)
                                     .addRecord({1, -1, "行情", "hq"})
                                     .addRecord({2, 1, "自选股", "zxg?type=1"})
                                     .beginSet("sys.conf")
                                     .addField("key", TCRSFieldType::FixedText, 16)
                                     .addField("value", TCRSFieldType::VarText)
                                     .addRecord({"maxmsg", "1^30"})
                                     .bytes();
    seeds["no_values.bin"] = TCRSWriter()
                                 .beginSet()
                                 .addField("p", TCRSFieldType::Packed, 8)
                                 .addField("i", TCRSFieldType::Integer, 4)
                                 .addRecord({Value(), Value()})
                                 .addRecord({"-0.05", -1})
                                 .bytes();
    seeds["empty_sets.bin"] = TCRSWriter().beginSet().beginSet("x").addField("a", TCRSFieldType::Integer).bytes();
    auto cut = setBytes(2);
    cut.resize(cut.size() - 3);
    seeds["truncated.bin"] = cut;
    return seeds;
}

}  // namespace

TEST(TCRSRobustnessTest, EveryPrefixGivesNothingOrTheCompleteSets) {
    auto a = TCRSWriter().errorSet(5, "错误").bytes();
    auto b = setBytes(3);
    auto c = setBytes(1);
    auto all = concat({a, b, c});
    for (size_t len = 0; len <= all.size(); ++len) {
        std::vector<uint8_t> prefix(all.begin(), all.begin() + ptrdiff_t(len));
        auto sets = VTATCRS::buildMuTableTCRSWithData(prefix);
        size_t complete = (len >= a.size()) + (len >= a.size() + b.size()) + (len == all.size());
        if (len == 0) {
            ASSERT_TRUE(sets);
            EXPECT_TRUE(sets->empty());
        } else if (complete == 0) {
            EXPECT_FALSE(sets) << len;
        } else {
            ASSERT_TRUE(sets) << len;
            EXPECT_EQ(sets->size(), complete) << len;
            walk(*sets);
        }
    }
}

TEST(TCRSRobustnessTest, GarbledBytesNeverReadPastTheEnd) {
    auto bytes = concat({TCRSWriter().errorSet(5, "错误").bytes(), setBytes(4)});
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (uint8_t mask : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
            auto garbled = bytes;
            garbled[i] ^= mask;
            auto sets = VTATCRS::buildMuTableTCRSWithData(garbled);
            if (!sets) continue;
            EXPECT_LE(sets->size(), 2u);
            walk(*sets);
            // What was read serialises to bytes that read back the same.
            auto again = VTATCRS::dataWithTCRSArray(*sets);
            EXPECT_EQ(readCount(again), sets->size());
        }
    }
}

TEST(TCRSRobustnessTest, HostileHeadersAreRefused) {
    auto good = setBytes(2);
    ASSERT_EQ(readCount(good), 1u);
    auto patched = [&](size_t at, uint32_t v) {
        auto b = good;
        tcrs::putU32(b.data() + at, v);
        return b;
    };
    EXPECT_EQ(readCount(patched(kTotalAt, 0xFFFFFFFF)), size_t(-1));                 // longer than the buffer
    EXPECT_EQ(readCount(patched(kTotalAt, uint32_t(good.size() - 1))), size_t(-1));  // parts do not add up
    EXPECT_EQ(readCount(patched(kRecordCountAt, 0x7FFFFFFF)), size_t(-1));
    EXPECT_EQ(readCount(patched(kRecordCountAt, 0x80000000)), size_t(-1));
    EXPECT_EQ(readCount(patched(kRecordLengthAt, 0xFFFFFFF0)), size_t(-1));
    EXPECT_EQ(readCount(patched(kVarLengthAt, 0xFFFFFFFF)), size_t(-1));
    auto manyFields = good;
    tcrs::putU16(manyFields.data() + kFieldCountAt, 0xFFFF);
    EXPECT_EQ(readCount(manyFields), size_t(-1));
    auto badMagic = good;
    badMagic[16] = 'X';
    EXPECT_EQ(readCount(badMagic), size_t(-1));
    auto badFlags = good;
    badFlags[21] = 0x02;
    EXPECT_EQ(readCount(badFlags), size_t(-1));
    auto badVersion = good;
    badVersion[20] = 2;
    EXPECT_EQ(readCount(badVersion), size_t(-1));
}

TEST(TCRSRobustnessTest, HostileFieldsAndSlotsAreRefused) {
    auto good = setBytes(2);
    const size_t field0 = tcrs::kHeaderLength;  // "code", fixed text 6 at offset 0
    auto with = [&](auto change) {
        auto b = good;
        change(b);
        return readCount(b);
    };
    EXPECT_EQ(with([&](auto& b) { b[field0] = 9; }), size_t(-1));                                // unknown type
    EXPECT_EQ(with([&](auto& b) { tcrs::putU32(b.data() + field0 + 12, 1000); }), size_t(-1));   // outside the record
    EXPECT_EQ(with([&](auto& b) { tcrs::putU32(b.data() + field0 + 12, 8); }), size_t(-1));      // overlaps "name"
    EXPECT_EQ(with([&](auto& b) { tcrs::putU16(b.data() + field0 + 2, 0xFFFF); }), size_t(-1));  // name past the end
    // The variable text slot of the first record ("name" at offset 6).
    const size_t slot = firstRecordAt() + 6;
    EXPECT_EQ(with([&](auto& b) { tcrs::putU32(b.data() + slot, 0xFFFFFFF0); }), size_t(-1));
    EXPECT_EQ(with([&](auto& b) { tcrs::putU32(b.data() + slot + 4, 0xFFFFFFFF); }), size_t(-1));
    // Invalid UTF-8 in a fixed text.
    EXPECT_EQ(with([&](auto& b) { b[firstRecordAt()] = 0xC0; }), size_t(-1));

    // A bad second set keeps the first one.
    auto two = concat({good, good});
    two[good.size() + 16] = 'Y';
    EXPECT_EQ(readCount(two), 1u);
}

TEST(TCRSRobustnessTest, CommittedFuzzSeedsMatchTheWriter) {
    // Rewrite with: test_core --gtest_also_run_disabled_tests --gtest_filter=*WriteFuzzSeeds
    for (const auto& [name, bytes] : fuzzSeeds()) {
        std::ifstream in(sourcePath("fuzz/corpus/tcrs/" + name), std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(file, bytes) << name;
    }
}

TEST(TCRSRobustnessTest, DISABLED_WriteFuzzSeeds) {
    std::filesystem::create_directories(sourcePath("fuzz/corpus/tcrs"));
    for (const auto& [name, bytes] : fuzzSeeds()) {
        std::ofstream out(sourcePath("fuzz/corpus/tcrs/" + name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
}
