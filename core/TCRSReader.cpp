#include "core/TCRSReader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/TCRSFormat.h"
#include "platform/foundation/TextHelpers.h"

using namespace tcrs;

namespace tcrs {

size_t utf8PrefixLength(const uint8_t* text, size_t size, size_t limit) {
    if (size <= limit) return size;
    size_t n = limit;
    // Step back over continuation bytes to the start of the cut character.
    while (n > 0 && (text[n] & 0xC0) == 0x80) --n;
    return n;
}

}  // namespace tcrs

namespace {

bool allZero(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

// The record's texts must be readable: variable slots inside the area, UTF-8 everywhere.
bool recordTextsValid(const uint8_t* row, const std::vector<TCRSField>& textFields, const uint8_t* var,
                      uint64_t varLength) {
    for (const TCRSField& f : textFields) {
        const uint8_t* slot = row + f.fieldOffset();
        if (f.fieldType() == TCRSFieldType::FixedText) {
            const void* nul = std::memchr(slot, 0, size_t(f.fieldLength()));
            size_t len = nul ? size_t(static_cast<const uint8_t*>(nul) - slot) : size_t(f.fieldLength());
            if (!isValidUTF8(slot, len)) return false;
        } else {
            uint64_t off = readU32(slot), len = readU32(slot + 4);
            if (off + len > varLength) return false;
            if (!isValidUTF8(var + off, size_t(len))) return false;
        }
    }
    return true;
}

}  // namespace

std::shared_ptr<VTATCRS> TCRSReader::readSet(const uint8_t* data, size_t size, size_t& offset) {
    if (!data || offset >= size) return nullptr;
    const uint8_t* p = data + offset;
    const uint64_t avail = size - offset;
    if (avail < kHeaderLength) return nullptr;
    if (std::memcmp(p + kInfoLength, kMagic, 4) != 0 || p[20] != kVersion) return nullptr;
    const uint8_t flags = p[21];
    if (flags & ~kFlagError) return nullptr;
    const uint32_t fieldCount = readU16(p + 22);
    const uint64_t total = readU32(p + 24);
    const uint32_t recordCount = readU32(p + 28);
    const uint32_t recordLength = readU32(p + 32);
    const uint64_t varLength = readU32(p + 36);
    if (fieldCount > kMaxFields || total < kHeaderLength || total > avail) return nullptr;
    if (recordCount > uint32_t(INT_MAX) || recordLength > kMaxRecordLength) return nullptr;
    if (recordCount > 0 && recordLength == 0) return nullptr;

    // The name: UTF-8 up to the first NUL, zero bytes after it.
    const void* nul = std::memchr(p, 0, kInfoLength);
    size_t nameLength = nul ? size_t(static_cast<const uint8_t*>(nul) - p) : kInfoLength;
    if (!allZero(p + nameLength, kInfoLength - nameLength) || !isValidUTF8(p, nameLength)) return nullptr;

    auto set = std::make_shared<VTATCRS>();
    set->name_.assign(reinterpret_cast<const char*>(p), nameLength);
    set->isError_ = (flags & kFlagError) != 0;
    set->recordLength_ = recordLength;
    set->fields_.reserve(fieldCount);

    uint64_t pos = kHeaderLength;
    for (uint32_t i = 0; i < fieldCount; ++i) {
        if (total - pos < kFieldHeaderLength) return nullptr;
        const uint8_t* d = p + pos;
        const uint8_t type = d[0];
        const uint64_t nLen = readU16(d + 2), dLen = readU16(d + 4);
        const uint64_t length = readU32(d + 8), fieldOffset = readU32(d + 12);
        if (!TCRSField::isKnownType(type) || d[1] != 0 || readU16(d + 6) != 0) return nullptr;
        if (!TCRSField::isValidLength(TCRSFieldType(type), int64_t(length))) return nullptr;
        if (fieldOffset + length > recordLength) return nullptr;
        pos += kFieldHeaderLength;
        if (total - pos < nLen + dLen) return nullptr;
        const uint8_t* name = p + pos;
        const uint8_t* desc = name + nLen;
        if (!isValidUTF8(name, size_t(nLen)) || !isValidUTF8(desc, size_t(dLen))) return nullptr;
        set->fields_.emplace_back(std::string(reinterpret_cast<const char*>(name), size_t(nLen)), TCRSFieldType(type),
                                  int(length), int(fieldOffset),
                                  std::string(reinterpret_cast<const char*>(desc), size_t(dLen)));
        pos += nLen + dLen;
    }

    // Fields must not overlap inside the record.
    std::vector<const TCRSField*> byOffset;
    byOffset.reserve(set->fields_.size());
    for (const TCRSField& f : set->fields_) byOffset.push_back(&f);
    std::sort(byOffset.begin(), byOffset.end(),
              [](const TCRSField* a, const TCRSField* b) { return a->fieldOffset() < b->fieldOffset(); });
    for (size_t i = 1; i < byOffset.size(); ++i)
        if (byOffset[i - 1]->fieldOffset() + byOffset[i - 1]->fieldLength() > byOffset[i]->fieldOffset())
            return nullptr;

    const uint64_t recordBytes = uint64_t(recordCount) * recordLength;
    if (total - pos < recordBytes || total - pos - recordBytes != varLength) return nullptr;
    const uint8_t* records = p + pos;
    const uint8_t* var = records + recordBytes;

    std::vector<TCRSField> textFields;
    for (const TCRSField& f : set->fields_)
        if (f.isText()) textFields.push_back(f);
    if (!textFields.empty()) {
        for (uint32_t r = 0; r < recordCount; ++r)
            if (!recordTextsValid(records + uint64_t(r) * recordLength, textFields, var, varLength)) return nullptr;
    }

    set->rows_.assign(records, records + recordBytes);
    set->var_.assign(var, var + varLength);
    set->count_ = int(recordCount);
    offset += size_t(total);
    return set;
}

std::optional<VTATCRS::TCRSArray> TCRSReader::readAll(const uint8_t* data, size_t size) {
    VTATCRS::TCRSArray sets;
    size_t offset = 0;
    while (offset < size) {
        auto set = readSet(data, size, offset);
        if (!set) break;
        sets.push_back(std::move(set));
    }
    if (size > 0 && sets.empty()) return std::nullopt;
    return sets;
}
