#pragma once
// Record sets made from a fuzz input, for the targets whose readers look for
// named columns: a reply made of bytes alone seldom names one, so the set is
// written with the columns the reader knows, each of a type, and with rows of
// values, that the input chooses (a column may be missing or of another type;
// a value may be absent, 999999999, negative, huge or a text that is no number).
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"

struct FuzzInput {
    const uint8_t* p;
    size_t n;

    bool empty() const { return n == 0; }
    uint8_t byte() {
        if (!n) return 0;
        --n;
        return *p++;
    }
    uint16_t word() {
        const uint16_t low = byte();
        return static_cast<uint16_t>(low | byte() << 8);
    }
    // A number of the shapes a reply carries.
    int64_t number() {
        switch (byte() % 8) {
            case 0:
                return 0;
            case 1:
                return 999999999;  // no value
            case 2:
                return -static_cast<int64_t>(word());
            case 3: {
                const int64_t high = word();
                return high << 32 | word();
            }
            case 4:
                return 900 + byte() % 80 * 10;  // times of the day as HHMM
            case 5:
                return 20240101 + word() % 1300;  // days as yyyymmdd
            default:
                return word();
        }
    }
    std::string text(size_t max = 24) {
        std::string s;
        for (size_t len = byte() % (max + 1); len > 0 && n > 0; --len) s += static_cast<char>(byte());
        return s;
    }
    // The next `count` bytes (fewer at the end of the input).
    std::vector<uint8_t> bytes(size_t count) {
        count = std::min(count, n);
        std::vector<uint8_t> out(p, p + count);
        p += count;
        n -= count;
        return out;
    }
    std::vector<uint8_t> rest() { return bytes(n); }
};

// A value for a field of that type: mostly of its kind, sometimes a text.
inline Value fuzzValue(FuzzInput& in, TCRSFieldType type) {
    const uint8_t how = in.byte();
    if (how % 16 == 15) return Value();
    if (how % 16 == 14 || type == TCRSFieldType::FixedText || type == TCRSFieldType::VarText) {
        if (how & 0x80) return Value(std::to_string(in.number()));
        return Value(in.text());
    }
    if (type == TCRSFieldType::Packed && (how & 0x40))
        return Value(std::to_string(in.number()) + "." + std::to_string(in.byte() % 100));
    return Value(in.number());
}

// Adds a set of these columns (each kept or left out, of a type the input
// picks) with up to maxRows rows.
inline void addFuzzSet(TCRSWriter& writer, FuzzInput& in, const std::vector<std::string>& columns, int maxRows,
                       const std::string& name = "") {
    writer.beginSet(name);
    std::vector<TCRSFieldType> types;
    for (const auto& column : columns) {
        const uint8_t pick = in.byte();
        if (pick % 16 == 15) continue;  // a column the reply lacks
        auto type = static_cast<TCRSFieldType>(1 + pick % 4);
        int length = type == TCRSFieldType::FixedText ? 1 + pick / 16 : ((pick & 0x40) ? 8 : 4);
        if (type == TCRSFieldType::VarText) length = 0;
        writer.addField(column, type, length, (pick & 0x20) ? in.text(8) : "");
        types.push_back(type);
    }
    for (int rows = in.byte() % (maxRows + 1); rows > 0 && !in.empty(); --rows) {
        std::vector<Value> record;
        for (auto type : types) record.push_back(fuzzValue(in, type));
        writer.addRecord(record);
    }
}
