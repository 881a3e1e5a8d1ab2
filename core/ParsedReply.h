#pragma once
// A server reply's record sets, read and checked once: whether the bytes are
// record sets at all, and whether set 0 is the server's error set. Every
// reader of replies (the request binding of the screens, the service client,
// the session login) asks this instead of parsing on its own.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/VTATCRS.h"

class ParsedReply {
public:
    explicit ParsedReply(const std::vector<uint8_t>& bytes);
    // Sets the request road parsed already (the chart replies).
    explicit ParsedReply(VTATCRS::TCRSArray sets);

    // The bytes are record sets (possibly none).
    bool readable() const { return sets_.has_value(); }
    // Set 0 is the server's error set.
    bool isError() const;
    // Readable and not an error.
    bool ok() const { return readable() && !isError(); }
    // The error set's text and code ("" and 0 unless isError()).
    std::string errorText() const;
    int64_t errorCode() const;

    // The sets read (empty when unreadable).
    const VTATCRS::TCRSArray& sets() const;
    // Set 0 with its cursor on its first record, when the reply is ok and set
    // 0 holds a record; null otherwise.
    VTATCRS* firstRecord() const;

private:
    std::optional<VTATCRS::TCRSArray> sets_;
};
