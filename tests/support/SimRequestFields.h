#pragma once
// Reading the requests the simulator recorded, for tests that check what a
// screen sent.
#include <string>

#include "sim/SimRequestLog.h"

// Whether the request sent the key at all (an empty value counts).
inline bool hasField(const SimRecord& r, const std::string& key) {
    for (const auto& f : r.fields)
        if (f.key == key) return true;
    return false;
}

// The value the request sent under the key (deciphered where it went
// enciphered, secrets masked by the log); "" when it sent none: hasField
// tells the two apart.
inline std::string fieldOf(const SimRecord& r, const std::string& key) {
    for (const auto& f : r.fields)
        if (f.key == key) return f.value;
    return "";
}
