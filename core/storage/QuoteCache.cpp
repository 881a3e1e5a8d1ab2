#include "core/storage/QuoteCache.h"

#include <cstring>
#include <filesystem>

#include "core/security/Digests.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/FileIO.h"
#include "platform/foundation/NSOperationQueue.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[4] = {'R', 'D', 'Q', 'C'};
constexpr const char* kSuffix = ".qc";

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putF64(std::vector<uint8_t>& out, double d) {
    uint64_t v;
    std::memcpy(&v, &d, sizeof v);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Reads little-endian fields, refusing any read past the end.
class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& b) : b_(b) {}
    bool has(size_t n) const { return n <= b_.size() - pos_; }
    std::optional<uint32_t> u32() {
        if (!has(4)) return std::nullopt;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(b_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return v;
    }
    std::optional<double> f64() {
        if (!has(8)) return std::nullopt;
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= uint64_t(b_[pos_ + i]) << (8 * i);
        pos_ += 8;
        double d;
        std::memcpy(&d, &v, sizeof d);
        return d;
    }
    const uint8_t* take(size_t n) {
        if (!has(n)) return nullptr;
        const uint8_t* p = b_.data() + pos_;
        pos_ += n;
        return p;
    }
    bool atEnd() const { return pos_ == b_.size(); }

private:
    const std::vector<uint8_t>& b_;
    size_t pos_ = 0;
};

// What an entry keeps of its request text: its SHA-1, never the text.
std::vector<uint8_t> requestKey(const std::string& requestText) {
    return sha1(std::vector<uint8_t>(requestText.begin(), requestText.end()));
}

std::string entryPath(const std::string& directory, const std::string& requestText) {
    return (fs::path(directory) / QuoteCache::fileNameForRequest(requestText)).string();
}

template <class F, class... A>
void answer(F completion, A&&... args) {
    if (!completion) return;
    RunLoop::main().post(
        [completion = std::move(completion), ... a = std::forward<A>(args)]() mutable { completion(std::move(a)...); });
}

}  // namespace

QuoteCache& QuoteCache::sharedCache() {
    static QuoteCache cache(documentsPath("QuoteCache"));
    return cache;
}

QuoteCache::QuoteCache(std::string directory)
    : directory_(std::move(directory)), queue_(std::make_unique<NSOperationQueue>(1)) {}

QuoteCache::~QuoteCache() { queue_.reset(); }

const std::string& QuoteCache::directory() const { return directory_; }

std::string QuoteCache::fileNameForRequest(const std::string& requestText) { return md5Hex(requestText) + kSuffix; }

std::vector<uint8_t> QuoteCache::encodeEntry(const std::string& requestText, const QuoteCacheEntry& entry) {
    // Starting from the magic (rather than inserting it after reserve) keeps
    // GCC 12's overflow checker from a false alarm.
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    const std::vector<uint8_t> key = requestKey(requestText);
    out.reserve(20 + key.size() + entry.data.size());
    putU32(out, static_cast<uint32_t>(key.size()));
    out.insert(out.end(), key.begin(), key.end());
    putF64(out, entry.storedAt);
    putU32(out, static_cast<uint32_t>(entry.data.size()));
    out.insert(out.end(), entry.data.begin(), entry.data.end());
    return out;
}

std::optional<QuoteCacheEntry> QuoteCache::decodeEntry(const std::vector<uint8_t>& bytes,
                                                       const std::string& requestText) {
    Reader r(bytes);
    const uint8_t* magic = r.take(4);
    if (!magic || std::memcmp(magic, kMagic, 4) != 0) return std::nullopt;
    auto keyLength = r.u32();
    if (!keyLength || *keyLength != kRequestKeyLength) return std::nullopt;
    const uint8_t* key = r.take(*keyLength);
    if (!key || std::vector<uint8_t>(key, key + *keyLength) != requestKey(requestText)) return std::nullopt;
    auto storedAt = r.f64();
    auto dataLength = r.u32();
    if (!storedAt || !dataLength || *dataLength > kMaxEntryBytes) return std::nullopt;
    const uint8_t* data = r.take(*dataLength);
    if (!data || !r.atEnd()) return std::nullopt;
    QuoteCacheEntry entry;
    entry.storedAt = *storedAt;
    entry.data.assign(data, data + *dataLength);
    return entry;
}

void QuoteCache::storeData(const std::vector<uint8_t>& data, const std::string& requestText,
                           StoreCompletion completion) {
    if (data.size() > kMaxEntryBytes || requestText.size() > kMaxEntryBytes) {
        answer(std::move(completion), false);
        return;
    }
    QuoteCacheEntry entry{data, Clock::now()};
    queue_->addOperation(
        [dir = directory_, requestText, entry = std::move(entry), completion = std::move(completion)]() mutable {
            bool ok = createPrivateDirectories(dir) &&
                      writeFileAtomically(entryPath(dir, requestText), encodeEntry(requestText, entry));
            answer(std::move(completion), ok);
        });
}

void QuoteCache::loadDataForRequest(const std::string& requestText, LoadCompletion completion) {
    queue_->addOperation([dir = directory_, requestText, completion = std::move(completion)]() mutable {
        std::optional<QuoteCacheEntry> entry;
        if (auto bytes = readWholeFile(entryPath(dir, requestText), kMaxEntryBytes + kRequestKeyLength + 20))
            entry = decodeEntry(*bytes, requestText);
        answer(std::move(completion), std::move(entry));
    });
}

void QuoteCache::removeDataForRequest(const std::string& requestText, StoreCompletion completion) {
    queue_->addOperation([dir = directory_, requestText, completion = std::move(completion)]() mutable {
        std::error_code ec;
        fs::remove(entryPath(dir, requestText), ec);
        answer(std::move(completion), !ec);
    });
}

void QuoteCache::removeAllData(StoreCompletion completion) {
    queue_->addOperation([dir = directory_, completion = std::move(completion)]() mutable {
        std::error_code ec;
        bool ok = true;
        if (fs::exists(dir, ec)) {
            fs::directory_iterator it(dir, ec), end;
            for (; !ec && it != end; it.increment(ec)) {
                std::error_code removeError;
                if (it->path().extension() == kSuffix && !fs::remove(it->path(), removeError)) ok = false;
            }
            if (ec) ok = false;
        }
        answer(std::move(completion), ok);
    });
}

void QuoteCache::waitUntilIdle() { queue_->waitUntilAllOperationsAreFinished(); }
