// Quote cache entries under arbitrary bytes: the first byte gives the length
// of the request text, the rest after it is the entry file. An entry that
// reads is exactly the entry its data writes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/storage/QuoteCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t textLength = data[0] < size - 1 ? data[0] : size - 1;
    const std::string requestText(reinterpret_cast<const char*>(data + 1), textLength);
    const std::vector<uint8_t> file(data + 1 + textLength, data + size);
    QuoteCache::fileNameForRequest(requestText);
    if (auto entry = QuoteCache::decodeEntry(file, requestText)) {
        if (entry->data.size() > QuoteCache::kMaxEntryBytes) std::abort();
        if (QuoteCache::encodeEntry(requestText, *entry) != file) std::abort();
    }
    return 0;
}
