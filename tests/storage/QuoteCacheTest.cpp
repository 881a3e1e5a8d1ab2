#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "core/storage/QuoteCache.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/RunLoop.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string kRequest = "tc_mfuncno=31000&tc_sfuncno=1&code=600000.2";

std::vector<uint8_t> bytes(size_t n, uint8_t seed = 7) {
    std::vector<uint8_t> b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 31);
    return b;
}

// Runs the main loop until the completion came; the answer must come on the
// main thread.
std::optional<QuoteCacheEntry> load(QuoteCache& cache, const std::string& request) {
    bool done = false;
    std::optional<QuoteCacheEntry> result;
    cache.loadDataForRequest(request, [&](std::optional<QuoteCacheEntry> e) {
        EXPECT_TRUE(RunLoop::main().isMainThread());
        result = std::move(e);
        done = true;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, 1, kHangSeconds));
    return result;
}

bool store(QuoteCache& cache, const std::vector<uint8_t>& data, const std::string& request) {
    bool done = false, ok = false;
    cache.storeData(data, request, [&](bool stored) {
        EXPECT_TRUE(RunLoop::main().isMainThread());
        ok = stored;
        done = true;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, 1, kHangSeconds));
    return ok;
}

class QuoteCacheTest : public ::testing::Test {
protected:
    void SetUp() override { Clock::freezeAt(1700000000.5); }
    void TearDown() override { Clock::useSystemTime(); }
    TempDir dir;
};

}  // namespace

TEST_F(QuoteCacheTest, StoresAndLoadsOnItsQueueAnsweringOnTheMainLoop) {
    QuoteCache cache(dir.file("cache"));
    EXPECT_FALSE(load(cache, kRequest));  // nothing yet, no folder yet

    auto data = bytes(100000);
    EXPECT_TRUE(store(cache, data, kRequest));
    auto entry = load(cache, kRequest);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->data, data);
    EXPECT_EQ(entry->storedAt, 1700000000.5);
    EXPECT_TRUE(fs::exists(dir.file("cache") + "/" + QuoteCache::fileNameForRequest(kRequest)));

    // Another request is another entry; an empty reply is an entry too.
    EXPECT_TRUE(store(cache, {}, kRequest + "&x=1"));
    ASSERT_TRUE(load(cache, kRequest + "&x=1"));
    EXPECT_TRUE(load(cache, kRequest + "&x=1")->data.empty());
    EXPECT_EQ(load(cache, kRequest)->data, data);
}

TEST_F(QuoteCacheTest, RequestsRunInTheOrderAsked) {
    QuoteCache cache(dir.file("cache"));
    std::vector<std::string> answers;
    cache.storeData(bytes(10, 1), kRequest);
    cache.loadDataForRequest(kRequest, [&](auto e) { answers.push_back(e ? std::to_string(e->data[0]) : "miss"); });
    cache.storeData(bytes(10, 2), kRequest);
    cache.loadDataForRequest(kRequest, [&](auto e) { answers.push_back(e ? std::to_string(e->data[0]) : "miss"); });
    cache.removeDataForRequest(kRequest);
    cache.loadDataForRequest(kRequest, [&](auto e) { answers.push_back(e ? std::to_string(e->data[0]) : "miss"); });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return answers.size() == 3; }, 1, kHangSeconds));
    EXPECT_EQ(answers, (std::vector<std::string>{"1", "2", "miss"}));
}

TEST_F(QuoteCacheTest, RemoveAllEmptiesTheFolder) {
    QuoteCache cache(dir.file("cache"));
    EXPECT_TRUE(store(cache, bytes(5), "a"));
    EXPECT_TRUE(store(cache, bytes(5), "b"));
    bool done = false, ok = false;
    cache.removeAllData([&](bool r) {
        ok = r;
        done = true;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, 1, kHangSeconds));
    EXPECT_TRUE(ok);
    EXPECT_FALSE(load(cache, "a"));
    EXPECT_FALSE(load(cache, "b"));
    QuoteCache missing(dir.file("never-made"));
    done = false;
    missing.removeAllData([&](bool r) {
        ok = r;
        done = true;
    });
    EXPECT_TRUE(RunLoop::main().runUntil([&] { return done; }, 1, kHangSeconds));
    EXPECT_TRUE(ok);
}

TEST_F(QuoteCacheTest, DamagedOrForeignEntriesReadAsMisses) {
    QuoteCacheEntry entry{bytes(64), 12.25};
    auto good = QuoteCache::encodeEntry(kRequest, entry);
    ASSERT_TRUE(QuoteCache::decodeEntry(good, kRequest));
    // Every truncation, and one byte too many.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_FALSE(QuoteCache::decodeEntry(cut, kRequest)) << n;
    }
    auto longer = good;
    longer.push_back(0);
    EXPECT_FALSE(QuoteCache::decodeEntry(longer, kRequest));
    // Another request's entry under this name (a hash collision) is a miss.
    EXPECT_FALSE(QuoteCache::decodeEntry(good, kRequest + "&y=2"));
    auto badMagic = good;
    badMagic[0] = 'X';
    EXPECT_FALSE(QuoteCache::decodeEntry(badMagic, kRequest));
    // Lengths that point far past the end.
    auto hugeKey = good;
    hugeKey[4] = hugeKey[5] = hugeKey[6] = hugeKey[7] = 0xFF;
    EXPECT_FALSE(QuoteCache::decodeEntry(hugeKey, kRequest));
    auto hugeData = good;
    size_t dataLengthAt = 8 + QuoteCache::kRequestKeyLength + 8;
    hugeData[dataLengthAt + 3] = 0x7F;
    EXPECT_FALSE(QuoteCache::decodeEntry(hugeData, kRequest));

    // A damaged file on disk loads as a miss.
    QuoteCache cache(dir.file("cache"));
    EXPECT_TRUE(store(cache, bytes(64), kRequest));
    std::string path = dir.file("cache") + "/" + QuoteCache::fileNameForRequest(kRequest);
    auto onDisk = readWholeFile(path);
    ASSERT_TRUE(onDisk);
    onDisk->resize(onDisk->size() - 1);
    ASSERT_TRUE(writeFileAtomically(path, *onDisk));
    EXPECT_FALSE(load(cache, kRequest));
}

TEST_F(QuoteCacheTest, PendingWritesFinishWhenTheCacheGoes) {
    {
        QuoteCache cache(dir.file("cache"));
        for (int i = 0; i < 20; ++i) cache.storeData(bytes(1000, static_cast<uint8_t>(i)), "r" + std::to_string(i));
    }
    // Drain the answers the writes posted (none were asked for).
    RunLoop::main().runOnce();
    QuoteCache again(dir.file("cache"));
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(load(again, "r" + std::to_string(i))) << i;
}

TEST_F(QuoteCacheTest, TheRequestTextNeverLiesOnDisk) {
    // A trade query carries the trade session: the cache keeps only a digest of it.
    const std::string secretRequest = "tc_mfuncno=500&tc_sfuncno=7&authid=SECRET-AUTH-77&fundid=123456";
    QuoteCache cache(dir.file("cache"));
    EXPECT_TRUE(store(cache, bytes(32), secretRequest));
    auto onDisk = readWholeFile(dir.file("cache") + "/" + QuoteCache::fileNameForRequest(secretRequest));
    ASSERT_TRUE(onDisk);
    std::string raw(onDisk->begin(), onDisk->end());
    EXPECT_EQ(raw.find("SECRET-AUTH-77"), std::string::npos);
    EXPECT_EQ(raw.find("authid"), std::string::npos);
    // Still found again by the same text, and a text differing in the secret is a miss.
    EXPECT_TRUE(load(cache, secretRequest));
    EXPECT_FALSE(load(cache, "tc_mfuncno=500&tc_sfuncno=7&authid=SECRET-AUTH-78&fundid=123456"));
}

TEST_F(QuoteCacheTest, EntriesUpToTheCapAreKeptAndOnePastItIsRefused) {
    QuoteCache cache(dir.path());
    const std::vector<uint8_t> largest(QuoteCache::kMaxEntryBytes, 7);
    EXPECT_TRUE(store(cache, largest, kRequest));
    auto loaded = load(cache, kRequest);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->data.size(), QuoteCache::kMaxEntryBytes);
    EXPECT_FALSE(store(cache, std::vector<uint8_t>(QuoteCache::kMaxEntryBytes + 1, 7), "other"));
    EXPECT_FALSE(load(cache, "other"));
    // A file declaring one byte more than the cap reads as a miss.
    auto entry = QuoteCache::encodeEntry(kRequest, {std::vector<uint8_t>(QuoteCache::kMaxEntryBytes + 1, 7), 1});
    EXPECT_FALSE(QuoteCache::decodeEntry(entry, kRequest));
    entry = QuoteCache::encodeEntry(kRequest, {largest, 1});
    EXPECT_TRUE(QuoteCache::decodeEntry(entry, kRequest));
}
