#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/NSKeyedArchiver.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

Value everyKind() {
    Value::Dict nested{{"empty array", Value(Value::Array{})}, {"empty dict", Value(Value::Dict{})}};
    return Value(Value::Dict{
        {"null", Value()},
        {"yes", Value(true)},
        {"no", Value(false)},
        {"zero", Value(0)},
        {"negative", Value(-5)},
        {"min", Value(std::numeric_limits<int64_t>::min())},
        {"max", Value(std::numeric_limits<int64_t>::max())},
        {"real", Value(-1234.5678)},
        {"empty text", Value("")},
        {"text", Value("平安银行 000001 &=%")},
        {"data", Value(Value::Data{0, 0, 1, 0x80, 0xff})},
        {"date", Value(Value::Date{1710466200.125})},
        {"old date", Value(Value::Date{946684799.5})},  // before 2001, with a fraction
        {"array", Value(Value::Array{Value(1), Value("two"), Value(), Value(Value::Array{Value(3.0)})})},
        {"dict", Value(nested)},
    });
}

std::vector<std::string> folderEntries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
}

}  // namespace

TEST(KeyedArchiver, EveryValueKindRoundTripsThroughBytes) {
    Value original = everyKind();
    auto bytes = NSKeyedArchiver::archivedDataWithRootObject(original);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 8), "bplist00");
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, original);
}

TEST(KeyedArchiver, ScalarAndNullRootsRoundTrip) {
    for (const Value& v : {Value(), Value(true), Value(42), Value("x"), Value(Value::Date{0}), Value(Value::Data{})}) {
        auto back = NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(v));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, v);
    }
}

TEST(KeyedArchiver, DatesKeepMicroseconds) {
    for (double t : {1710466200.123456, 978307200.0, 0.0, -86400.75}) {
        Value v(Value::Date{t});
        auto back = NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(v));
        ASSERT_TRUE(back && back->isDate());
        EXPECT_NEAR(back->date().seconds, t, 2e-6) << t;
    }
}

TEST(KeyedArchiver, DatesOutsideTheFormatsRangeAreRefusedNotWrapped) {
    EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(Value(Value::Date{1e12})).empty());
    EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(
                    Value(Value::Array{Value(Value::Date{std::numeric_limits<double>::quiet_NaN()})}))
                    .empty());
}

TEST(KeyedArchiver, XmlPropertyListsAreRead) {
    std::string xml = NSKeyedArchiver::xmlWithRootObject(everyKind());
    ASSERT_NE(xml.find("<plist"), std::string::npos);
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(std::vector<uint8_t>(xml.begin(), xml.end()));
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["text"].toString(), "平安银行 000001 &=%");
    EXPECT_EQ((*back)["min"].toInt(), std::numeric_limits<int64_t>::min());
}

TEST(KeyedArchiver, GarbageAndEveryTruncationReadAsNothing) {
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData({}));
    std::string junk = "hello, not a plist";
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(std::vector<uint8_t>(junk.begin(), junk.end())));
    auto bytes = NSKeyedArchiver::archivedDataWithRootObject(everyKind());
    for (size_t n = 1; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + n);
        EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(cut)) << "prefix of " << n;
    }
    // Flipped bytes: anything may come out, but no crash.
    for (size_t i = 8; i < bytes.size(); ++i) {
        auto bad = bytes;
        bad[i] ^= 0x5a;
        (void)NSKeyedUnarchiver::unarchiveObjectWithData(bad);
    }
}

TEST(KeyedArchiver, KeysHoldingANulCharacterAreRefusedNotFatal) {
    // One-key dictionary {"a\0b": 1}, written out by hand: libplist itself would stop the program on it.
    std::vector<uint8_t> bin = {'b',  'p',  'l',  'i',  's',  't',
                                '0',  '0',  0xD1, 0x01, 0x02,  // object 0 at 8: dict, key ref 1, value ref 2
                                0x53, 'a',  0x00, 'b',         // object 1 at 11: ASCII string of 3
                                0x10, 0x01,                    // object 2 at 15: integer 1
                                8,    11,   15};               // offset table at 17
    std::vector<uint8_t> trailer(32, 0);
    trailer[6] = 1;
    trailer[7] = 1;
    trailer[15] = 3;   // objects
    trailer[31] = 17;  // offset table
    bin.insert(bin.end(), trailer.begin(), trailer.end());
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(bin));
    bin[13] = 'x';  // the same without the NUL reads fine
    auto ok = NSKeyedUnarchiver::unarchiveObjectWithData(bin);
    ASSERT_TRUE(ok);
    EXPECT_EQ((*ok)["axb"].toInt(), 1);

    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a&#x00;b</key><true/></dict></plist>";
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(std::vector<uint8_t>(xml.begin(), xml.end())));
}

TEST(KeyedArchiver, AKeyThatIsNotUtf8CostsItsOwnEntryOnly) {
    Value::Dict dict{{"alpha", Value(1)}, {"bravo", Value("two")}, {"中文", Value(3)}};
    std::vector<uint8_t> bin = NSKeyedArchiver::archivedDataWithRootObject(Value(dict));
    std::string bytes(bin.begin(), bin.end());
    size_t at = bytes.find("bravo");
    ASSERT_NE(at, std::string::npos);
    for (uint8_t flipped : {0x80, 0xC3, 0xE1, 0xFF}) {
        std::vector<uint8_t> damaged = bin;
        damaged[at + 1] = flipped;
        auto back = NSKeyedUnarchiver::unarchiveObjectWithData(damaged);
        ASSERT_TRUE(back && back->isDict()) << int(flipped);
        EXPECT_EQ(back->dict().size(), 2u);
        EXPECT_EQ((*back)["alpha"].toInt(), 1);
        EXPECT_EQ((*back)["中文"].toInt(), 3);
    }
}

TEST(KeyedArchiver, TextThatIsNotUtf8IsNeverWrittenUnreadable) {
    Value::Dict dict{
        {"good", Value(1)}, {std::string("b\xff" "d"), Value(2)}, {"text", Value(std::string("a\xc3z\xe4\xb8"))}};
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(Value(dict)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->dict().size(), 2u);  // the key that cannot be read back is not written
    EXPECT_EQ((*back)["good"].toInt(), 1);
    EXPECT_EQ((*back)["text"].string(), "a\xef\xbf\xbdz\xef\xbf\xbd\xef\xbf\xbd");
    // What was read writes the same again.
    EXPECT_EQ(NSKeyedArchiver::archivedDataWithRootObject(*back),
              NSKeyedArchiver::archivedDataWithRootObject(
                  *NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(*back))));
}

TEST(KeyedArchiver, MutatedArchivesNeverCrash) {
    auto bytes = NSKeyedArchiver::archivedDataWithRootObject(everyKind());
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 20000; ++round) {
        auto bad = bytes;
        int edits = 1 + next() % 4;
        for (int e = 0; e < edits; ++e) {
            size_t at = 8 + next() % (bad.size() - 8);
            switch (next() % 3) {
                case 0:
                    bad[at] = static_cast<uint8_t>(next() >> 24);
                    break;
                case 1:
                    bad[at] ^= static_cast<uint8_t>(1u << (next() % 8));
                    break;
                default:
                    bad[at] = static_cast<uint8_t>(next() % 2 ? 0 : 0xff);
                    break;
            }
        }
        (void)NSKeyedUnarchiver::unarchiveObjectWithData(bad);
    }
}

TEST(KeyedArchiver, DeepNestingIsRefusedBothWays) {
    Value deep(1);
    for (int i = 0; i < 300; ++i) deep = Value(Value::Array{deep});
    EXPECT_TRUE(NSKeyedArchiver::archivedDataWithRootObject(deep).empty());
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 300; ++i) xml += "<array>";
    for (int i = 0; i < 300; ++i) xml += "</array>";
    xml += "</plist>";
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(std::vector<uint8_t>(xml.begin(), xml.end())));
}

TEST(KeyedArchiver, FileRoundTripLeavesNoTemporaryFiles) {
    TempDir dir;
    const std::string path = dir.file("menudb.plist");
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(everyKind(), path));
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(Value::Dict{{"v", Value(2)}}), path));
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"menudb.plist"});
    auto back = NSKeyedUnarchiver::unarchiveObjectWithFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ((*back)["v"].toInt(), 2);
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithFile(dir.file("missing.plist")));
}

TEST(KeyedArchiver, FailedWriteLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("vtadb.plish");
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value(Value::Dict{{"the version", Value(122)}}), path));
    auto before = readWholeFile(path);

    // A value that cannot be written.
    EXPECT_FALSE(NSKeyedArchiver::archiveRootObject(Value(Value::Date{1e15}), path));
    EXPECT_EQ(readWholeFile(path), before);

    // A rename that fails: the target name is taken by a folder that is not empty.
    fs::create_directory(dir.file("blocked"));
    std::ofstream(dir.file("blocked/inside")) << "x";
    EXPECT_FALSE(NSKeyedArchiver::archiveRootObject(Value(1), dir.file("blocked")));
    // A folder that does not exist.
    EXPECT_FALSE(NSKeyedArchiver::archiveRootObject(Value(1), dir.file("nowhere/file.plist")));

    EXPECT_EQ(readWholeFile(path), before);
    auto entries = folderEntries(dir.path());
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{"blocked", "vtadb.plish"})) << "no temporary file left";
}

TEST(KeyedArchiver, CorruptFileReadsAsNothing) {
    TempDir dir;
    const std::string path = dir.file("accounts.plist");
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(everyKind(), path));
    auto bytes = *readWholeFile(path);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(writeFileAtomically(path, bytes));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithFile(path));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithFile(dir.path())) << "a folder is no file";
}

TEST(FileIO, ReadRefusesFilesAboveTheLimit) {
    TempDir dir;
    ASSERT_TRUE(writeFileAtomically(dir.file("big"), std::vector<uint8_t>(1000, 7)));
    EXPECT_FALSE(readWholeFile(dir.file("big"), 999));
    EXPECT_EQ(readWholeFile(dir.file("big"), 1000)->size(), 1000u);
}

TEST(FileIO, FilesAreTheOwnersOnlyFromTheFirstWriteWhateverTheUmask) {
    TempDir dir;
    const mode_t previous = ::umask(0);
    const std::string path = dir.file("settings");
    ASSERT_TRUE(writeFileAtomically(path, {1, 2, 3}));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(path, fs::perms::all, fs::perm_options::replace);  // written by an older version
    ASSERT_TRUE(writeFileAtomically(path, {4}, FileDurability::AtomicOnly));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    const std::string nested = dir.file("a/b/c");
    ASSERT_TRUE(createPrivateDirectories(nested));
    for (const std::string& folder : {dir.file("a"), dir.file("a/b"), nested})
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all) << folder;
    EXPECT_TRUE(createPrivateDirectories(nested));  // already there
    EXPECT_FALSE(createPrivateDirectories(path + "/below-a-file"));
    ::umask(previous);
}
