#pragma once
// A disk cache of reply record-set bytes, keyed by the request text that
// fetched them (quotes and chart data shown at once while the fresh reply is
// on its way). Entries are read and written on the cache's own operation
// queue, one at a time in the order asked, so a load after a store of the same
// request sees the stored bytes. Answers come on the main run loop.
//
// One file per request in the cache folder, named by the MD5 of the request
// text (lower-case hex) + ".qc". Entry layout, little-endian:
//   offset  size  field
//   0       4     magic "RDQC"
//   4       4     u32 length K of the request key (20)
//   8       K     the request key: SHA-1 of the request text, compared on
//                 load, so another text under the same name is a miss. The
//                 text itself is never written: a trade query carries the
//                 trade session, which must not lie on disk in clear.
//   8+K     8     f64 time of storing (Clock seconds)
//   16+K    4     u32 length N of the data
//   20+K    N     the data
// The file ends there; a file shorter or longer, a wrong magic or lengths
// beyond kMaxEntryBytes read as a miss. Files are written atomically.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NSOperationQueue;

struct QuoteCacheEntry {
    std::vector<uint8_t> data;
    double storedAt = 0;  // Clock seconds
};

class QuoteCache {
public:
    static constexpr size_t kMaxEntryBytes = 16u << 20;
    using LoadCompletion = std::function<void(std::optional<QuoteCacheEntry>)>;
    using StoreCompletion = std::function<void(bool stored)>;

    // The cache of the Documents folder ("QuoteCache"), made on first use.
    static QuoteCache& sharedCache();
    // A cache in the given folder (created when needed).
    explicit QuoteCache(std::string directory);
    ~QuoteCache();  // lets queued writes finish
    QuoteCache(const QuoteCache&) = delete;
    QuoteCache& operator=(const QuoteCache&) = delete;

    const std::string& directory() const;

    // The completion runs on the main run loop, also after this cache is
    // gone; a caller that may go first captures a weak reference.
    void storeData(const std::vector<uint8_t>& data, const std::string& requestText,
                   StoreCompletion completion = nullptr);
    void loadDataForRequest(const std::string& requestText, LoadCompletion completion);
    void removeDataForRequest(const std::string& requestText, StoreCompletion completion = nullptr);
    void removeAllData(StoreCompletion completion = nullptr);
    // Blocks until every queued read and write is done (tests, shutdown).
    void waitUntilIdle();

    // The entry format, for the queue's work and for tests.
    static std::string fileNameForRequest(const std::string& requestText);
    static std::vector<uint8_t> encodeEntry(const std::string& requestText, const QuoteCacheEntry& entry);
    static std::optional<QuoteCacheEntry> decodeEntry(const std::vector<uint8_t>& bytes,
                                                      const std::string& requestText);
    static constexpr size_t kRequestKeyLength = 20;

private:
    std::string directory_;
    std::unique_ptr<NSOperationQueue> queue_;
};
