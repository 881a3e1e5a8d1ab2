#include "platform/foundation/NSKeyedArchiver.h"

#include <plist/plist.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/foundation/FileIO.h"
#include "platform/foundation/TextHelpers.h"

namespace {

constexpr int kMaxDepth = 256;
// Property-list dates count from 2001-01-01 00:00:00 UTC.
constexpr double kPlistEpoch = 978307200.0;

// A key that writes and reads back as itself: UTF-8 without NUL characters.
bool isWritableKey(const std::string& key) { return key.find('\0') == std::string::npos && isValidUTF8(key); }

struct PlistDeleter {
    void operator()(void* p) const { plist_free(static_cast<plist_t>(p)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

plist_t toPlist(const Value& v, int depth) {
    if (depth > kMaxDepth) return nullptr;
    switch (v.type()) {
        case Value::Type::Null:
            return plist_new_uid(0);
        case Value::Type::Bool:
            return plist_new_bool(v.toBool() ? 1 : 0);
        case Value::Type::Integer:
            return plist_new_uint(static_cast<uint64_t>(v.toInt()));
        case Value::Type::Real:
            return plist_new_real(v.toDouble());
        case Value::Type::String:
            return plist_new_string(repairedUTF8(v.string()).c_str());
        case Value::Type::Data: {
            const auto& d = v.data();
            return plist_new_data(reinterpret_cast<const char*>(d.data()), d.size());
        }
        case Value::Type::Date: {
            double rel = v.date().seconds - kPlistEpoch;
            if (!std::isfinite(rel)) return nullptr;
            double sec = std::floor(rel);
            long long usec = std::llround((rel - sec) * 1e6);
            if (usec >= 1000000) {
                sec += 1;
                usec -= 1000000;
            }
            if (sec < std::numeric_limits<int32_t>::min() || sec > std::numeric_limits<int32_t>::max()) return nullptr;
            return plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>(usec));
        }
        case Value::Type::Array: {
            PlistPtr arr(plist_new_array());
            for (const auto& item : v.array()) {
                plist_t p = toPlist(item, depth + 1);
                if (!p) return nullptr;
                plist_array_append_item(arr.get(), p);
            }
            return arr.release();
        }
        case Value::Type::Dict: {
            PlistPtr dict(plist_new_dict());
            for (const auto& [key, item] : v.dict()) {
                if (!isWritableKey(key)) continue;
                plist_t p = toPlist(item, depth + 1);
                if (!p) return nullptr;
                plist_dict_set_item(dict.get(), key.c_str(), p);
            }
            return dict.release();
        }
    }
    return nullptr;
}

std::optional<Value> fromPlist(plist_t node, int depth) {
    if (!node || depth > kMaxDepth) return std::nullopt;
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return Value(b != 0);
        }
        case PLIST_UINT: {
            uint64_t u = 0;
            plist_get_uint_val(node, &u);
            return Value(static_cast<int64_t>(u));
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            return Value(d);
        }
        case PLIST_STRING:
        case PLIST_KEY: {
            uint64_t len = 0;
            const char* s = plist_get_string_ptr(node, &len);
            std::string text(s ? s : "", s ? len : 0);
            text.resize(std::min(text.size(), text.find('\0')));  // as it would be written
            return Value(repairedUTF8(text));
        }
        case PLIST_DATA: {
            uint64_t len = 0;
            const char* d = plist_get_data_ptr(node, &len);
            const auto* b = reinterpret_cast<const uint8_t*>(d);
            return Value(Value::Data(b, b + (d ? len : 0)));
        }
        case PLIST_DATE: {
            int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            // libplist splits the stored seconds into a part truncated toward zero and the
            // size of the fraction, so a date before 2001 carries its fraction the other way.
            double rel = sec < 0 ? sec - usec / 1e6 : sec + usec / 1e6;
            return Value(Value::Date{std::round((rel + kPlistEpoch) * 1e6) / 1e6});
        }
        case PLIST_UID:
            return Value();
        case PLIST_ARRAY: {
            Value::Array arr;
            uint32_t n = plist_array_get_size(node);
            arr.reserve(n);
            for (uint32_t i = 0; i < n; ++i) {
                auto item = fromPlist(plist_array_get_item(node, i), depth + 1);
                if (!item) return std::nullopt;
                arr.push_back(std::move(*item));
            }
            return Value(std::move(arr));
        }
        case PLIST_DICT: {
            Value::Dict dict;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            if (!it) return Value(std::move(dict));
            bool ok = true;
            for (;;) {
                char* key = nullptr;
                plist_t val = nullptr;
                plist_dict_next_item(node, it, &key, &val);
                if (!val) {
                    std::free(key);
                    break;
                }
                auto item = fromPlist(val, depth + 1);
                if (!item || !key)
                    ok = false;
                else if (isWritableKey(key))  // a damaged key loses its own entry only
                    dict[key] = std::move(*item);
                std::free(key);
                if (!ok) break;
            }
            std::free(it);
            if (!ok) return std::nullopt;
            return Value(std::move(dict));
        }
        default:
            return std::nullopt;
    }
}

// libplist stops the program (an assertion) on a dictionary key that holds a NUL
// character, so such input is refused before it reaches the library.
//
// Binary property list, as far as this check reads it (all integers big-endian):
//   "bplist00" ... objects ... offset table ... 32-byte trailer:
//   trailer[6] = size of an offset-table entry (1-8), trailer[7] = size of an
//   object reference (1-8), trailer[8..15] = number of objects, trailer[24..31] =
//   offset of the offset table. An object starts with a marker byte: high nibble
//   0x5 = ASCII string, 0x6 = UTF-16 string, 0xD = dictionary; the low nibble is
//   the count, or 0xF followed by an integer object (marker 0x1S, 2^S bytes).
//   A dictionary holds `count` key references followed by `count` value references.
// Every offset and length is checked against the buffer; anything inconsistent
// is refused as well.
uint64_t readBigEndian(const uint8_t* p, size_t size) {
    uint64_t v = 0;
    for (size_t i = 0; i < size; ++i) v = (v << 8) | p[i];
    return v;
}

bool binaryKeysAreSafe(const uint8_t* p, size_t n) {
    if (n < 8 + 32) return false;
    const uint8_t* trailer = p + n - 32;
    const size_t offsetSize = trailer[6];
    const size_t refSize = trailer[7];
    const uint64_t count = readBigEndian(trailer + 8, 8);
    const uint64_t tableOffset = readBigEndian(trailer + 24, 8);
    const size_t end = n - 32;  // objects and the offset table lie before the trailer
    if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8) return false;
    if (count == 0 || count > end || tableOffset < 8 || tableOffset > end) return false;
    if ((end - tableOffset) / offsetSize < count) return false;
    auto objectOffset = [&](uint64_t index, size_t& out) {
        if (index >= count) return false;
        uint64_t off = readBigEndian(p + tableOffset + index * offsetSize, offsetSize);
        if (off < 8 || off >= end) return false;
        out = static_cast<size_t>(off);
        return true;
    };
    // Count of the object at `off` and where its content starts.
    auto countAndStart = [&](size_t off, uint64_t& length, size_t& start) {
        uint8_t info = p[off] & 0x0f;
        if (info != 0x0f) {
            length = info;
            start = off + 1;
            return true;
        }
        if (off + 2 > end || (p[off + 1] & 0xf0) != 0x10) return false;
        size_t bytes = size_t(1) << (p[off + 1] & 0x0f);
        if (bytes > 8 || off + 2 + bytes > end) return false;
        length = readBigEndian(p + off + 2, bytes);
        start = off + 2 + bytes;
        return true;
    };
    for (uint64_t i = 0; i < count; ++i) {
        size_t off;
        if (!objectOffset(i, off)) return false;
        if ((p[off] >> 4) != 0xD) continue;
        uint64_t entries;
        size_t start;
        if (!countAndStart(off, entries, start)) return false;
        if (entries > (end - start) / refSize) return false;
        for (uint64_t k = 0; k < entries; ++k) {
            size_t keyOff;
            if (!objectOffset(readBigEndian(p + start + k * refSize, refSize), keyOff)) return false;
            uint8_t type = p[keyOff] >> 4;
            if (type != 0x5 && type != 0x6) continue;  // not a text: the library refuses it itself
            uint64_t length;
            size_t text;
            if (!countAndStart(keyOff, length, text)) return false;
            uint64_t unit = type == 0x5 ? 1 : 2;
            if (length > (end - text) / unit) return false;
            for (uint64_t c = 0; c < length; ++c) {
                if (unit == 1 ? p[text + c] == 0 : (p[text + 2 * c] == 0 && p[text + 2 * c + 1] == 0)) return false;
            }
        }
    }
    return true;
}

// XML: no NUL byte and no character reference to NUL ("&#0;", "&#x00;").
bool xmlIsSafe(const uint8_t* p, size_t n) {
    if (std::memchr(p, 0, n)) return false;
    for (size_t i = 0; i + 2 < n; ++i) {
        if (p[i] != '&' || p[i + 1] != '#') continue;
        size_t j = i + 2;
        bool hex = j < n && (p[j] == 'x' || p[j] == 'X');
        if (hex) ++j;
        bool digits = false, nonZero = false;
        for (; j < n && std::isxdigit(p[j]) && (hex || std::isdigit(p[j])); ++j) {
            digits = true;
            if (p[j] != '0') nonZero = true;
        }
        if (digits && !nonZero) return false;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> NSKeyedArchiver::archivedDataWithRootObject(const Value& root) {
    PlistPtr p(toPlist(root, 0));
    if (!p) return {};
    char* bin = nullptr;
    uint32_t len = 0;
    plist_to_bin(p.get(), &bin, &len);
    if (!bin) return {};
    std::vector<uint8_t> out(reinterpret_cast<uint8_t*>(bin), reinterpret_cast<uint8_t*>(bin) + len);
    plist_to_bin_free(bin);
    return out;
}

std::string NSKeyedArchiver::xmlWithRootObject(const Value& root) {
    PlistPtr p(toPlist(root, 0));
    if (!p) return {};
    char* xml = nullptr;
    uint32_t len = 0;
    plist_to_xml(p.get(), &xml, &len);
    if (!xml) return {};
    std::string out(xml, len);
    plist_to_xml_free(xml);
    return out;
}

bool NSKeyedArchiver::archiveRootObject(const Value& root, const std::string& path, FileDurability durability,
                                        LastGoodCopy copy) {
    std::vector<uint8_t> bytes = archivedDataWithRootObject(root);
    if (bytes.empty()) return false;
    return writeGuardedFile(path, bytes, durability, copy);
}

std::optional<Value> NSKeyedUnarchiver::unarchiveObjectWithData(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
    const auto* chars = reinterpret_cast<const char*>(bytes.data());
    const bool binary = plist_is_binary(chars, static_cast<uint32_t>(bytes.size())) != 0;
    if (binary ? !binaryKeysAreSafe(bytes.data(), bytes.size()) : !xmlIsSafe(bytes.data(), bytes.size()))
        return std::nullopt;
    plist_t raw = nullptr;
    plist_from_memory(reinterpret_cast<const char*>(bytes.data()), static_cast<uint32_t>(bytes.size()), &raw);
    PlistPtr p(raw);
    if (!p) return std::nullopt;
    return fromPlist(p.get(), 0);
}

std::optional<Value> NSKeyedUnarchiver::unarchiveObjectWithFile(const std::string& path) {
    auto bytes = readWholeFile(path);
    if (!bytes) return std::nullopt;
    return unarchiveObjectWithData(*bytes);
}

std::optional<Value::Dict> NSKeyedUnarchiver::unarchiveDictionaryWithGuardedFile(const std::string& path,
                                                                                 LastGoodCopy copy) {
    std::optional<Value> root;
    auto isDictionary = [&](const std::vector<uint8_t>& bytes) {
        root = unarchiveObjectWithData(bytes);
        return root && root->isDict();
    };
    if (!readGuardedFile(path, isDictionary, copy).bytes) return std::nullopt;
    return std::move(root->dict());
}
