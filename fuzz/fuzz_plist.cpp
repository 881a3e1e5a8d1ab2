// Property lists and keyed archives under arbitrary bytes (the settings files,
// the saved accounts, the menu cache): read, write again, and read that back as
// the same value; then the saved-accounts list read from a file holding them.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/VTAAccountManager.h"
#include "fuzz/FuzzDocuments.h"
#include "platform/foundation/NSKeyedArchiver.h"

namespace {

// Equal values; dates within a microsecond (the format keeps microseconds,
// and the library truncates the last one), reals equal or both not a number.
bool same(const Value& a, const Value& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case Value::Type::Date:
            return std::fabs(a.date().seconds - b.date().seconds) <= 1.5e-6;
        case Value::Type::Real:
            return a.toDouble() == b.toDouble() || (std::isnan(a.toDouble()) && std::isnan(b.toDouble()));
        case Value::Type::Array: {
            if (a.array().size() != b.array().size()) return false;
            for (size_t i = 0; i < a.array().size(); ++i)
                if (!same(a.array()[i], b.array()[i])) return false;
            return true;
        }
        case Value::Type::Dict: {
            if (a.dict().size() != b.dict().size()) return false;
            for (const auto& [key, item] : a.dict()) {
                auto it = b.dict().find(key);
                if (it == b.dict().end() || !same(item, it->second)) return false;
            }
            return true;
        }
        default:
            return a == b;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    auto value = NSKeyedUnarchiver::unarchiveObjectWithData(bytes);
    if (value) {
        // A value read once writes to bytes that read back to themselves.
        std::vector<uint8_t> written = NSKeyedArchiver::archivedDataWithRootObject(*value);
        if (!written.empty()) {
            auto back = NSKeyedUnarchiver::unarchiveObjectWithData(written);
            if (!back || !same(*back, *value)) std::abort();
        }
        NSKeyedArchiver::xmlWithRootObject(*value);
    }
    // The saved-accounts list reads files whose root is a dictionary; others
    // read as an empty list without a look inside.
    if (!value || !value->isDict()) return 0;
    const std::string path = fuzzDocuments() + "/" + VTAAccountManager::kSavedAccountsFile;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    VTAAccountManager saved(VTAAccountManager::kSavedAccountsFile);
    for (int i = 0; i < saved.count(); ++i)
        if (!saved.accountAtIndex(i)) std::abort();
    if (saved.selectedAccount() && saved.selectedIndex() < 0) std::abort();
    return 0;
}
