#include "sim/SimRequestLog.h"

namespace {

// What a block of `n` bytes takes on the heap: its bytes and the allocator's header.
size_t heapBlock(size_t n) { return n + 16; }

// The heap a string holds: none while its text fits in the string itself.
size_t heapOf(const std::string& s) {
    static const size_t inPlace = std::string().capacity();
    return s.capacity() > inPlace ? heapBlock(s.capacity() + 1) : 0;
}

// A list of fields: its room for entries (each as large, however short its
// texts) and the texts too long to fit in their entries.
size_t heapOf(const std::vector<SimField>& fields) {
    size_t n = fields.capacity() == 0 ? 0 : heapBlock(fields.capacity() * sizeof(SimField));
    for (const auto& f : fields) n += heapOf(f.key) + heapOf(f.value);
    return n;
}

}  // namespace

size_t SimRecord::bytes() const {
    size_t n = sizeof(SimRecord) + heapOf(fields) + heapOf(clearFields);
    for (const auto* text : {&rawBody, &session, &userAgent, &acceptEncoding, &packageId, &etag, &contentEncoding})
        n += heapOf(*text);
    return n;
}

void SimRequestLog::add(SimRecord record) {
    record.rawBody = simMaskSecrets(record.rawBody);
    record.session = simMaskedSession(record.session);
    record.fields = simMaskSecrets(std::move(record.fields));
    record.clearFields = simMaskSecrets(std::move(record.clearFields));
    bytes_ += record.bytes();
    records_.push_back(std::move(record));
    while (!records_.empty() && (records_.size() > maxCount_ || bytes_ > maxBytes_)) {
        bytes_ -= records_.front().bytes();
        records_.pop_front();
    }
}

void SimRequestLog::clear() {
    records_.clear();
    bytes_ = 0;
}
