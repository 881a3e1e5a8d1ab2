#include "sim/SimRequestLog.h"

size_t SimRecord::bytes() const {
    size_t n = rawBody.size();
    for (const auto* list : {&fields, &clearFields})
        for (const auto& f : *list) n += f.key.size() + f.value.size();
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
