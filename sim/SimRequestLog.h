#pragma once
// The requests the simulated server received, for tests: the newest ones, at
// most `maxCount` of them and at most `maxBytes` of memory together (the
// oldest go first; a record larger than that alone is not kept), so that a
// flood cannot grow it without end. A record's memory is its texts and its
// lists of fields, each field's entry counted at its size however short its
// texts: a body of many short fields takes many times its own bytes.
// Passwords, one-time codes and session texts are not kept: their values are
// masked (simMaskSecrets of SimRequest.h).
// Not thread-safe: the server holds its state lock around it.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "sim/SimRequest.h"

// One request as received.
struct SimRecord {
    std::string rawBody;
    std::vector<SimField> fields;       // clear and deciphered
    std::vector<SimField> clearFields;  // as on the wire
    int main = 0, sub = 0;
    int encrypt = 0;      // TC_ENCRYPT
    std::string session;  // TC_SESSION without braces, masked (simMaskedSession)
    std::string userAgent;
    std::string acceptEncoding;
    std::string packageId;
    std::string etag;             // of the reply ("" when none)
    std::string contentEncoding;  // of the reply
    size_t replyBytes = 0;
    // What it holds in memory: itself, its texts and its fields' lists.
    size_t bytes() const;
};

class SimRequestLog {
public:
    SimRequestLog(size_t maxCount, size_t maxBytes) : maxCount_(maxCount), maxBytes_(maxBytes) {}
    void add(SimRecord record);
    void clear();
    size_t size() const { return records_.size(); }
    size_t bytes() const { return bytes_; }
    const std::deque<SimRecord>& records() const { return records_; }

private:
    size_t maxCount_, maxBytes_;
    std::deque<SimRecord> records_;
    size_t bytes_ = 0;
};
