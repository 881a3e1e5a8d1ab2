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

// Whether the bytes are all ASCII, a whole word at a time: most texts of a
// reply are codes and digits, for which this is the whole UTF-8 check.
bool isAscii(const uint8_t* p, size_t n) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, p + i, 8);
        any |= word;
    }
    if (i < n) {
        uint64_t word = 0;
        std::memcpy(&word, p + i, n - i);
        any |= word;
    }
    return (any & kHighBits) == 0;
}

// A fixed text: UTF-8 up to its first NUL; the bytes after it are not read.
bool fixedTextValid(const uint8_t* slot, size_t length) {
    if (isAscii(slot, length)) return true;
    const void* nul = std::memchr(slot, 0, length);
    size_t len = nul ? size_t(static_cast<const uint8_t*>(nul) - slot) : length;
    return isValidUTF8(slot, len);
}

bool isContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The texts of the variable-data area. When the area as a whole is valid UTF-8
// (the usual case), a slot is valid when it starts and ends on character
// boundaries, so each byte is checked once however many slots point at it;
// otherwise each slot is checked on its own (unused bytes may be anything).
class VarTexts {
public:
    VarTexts(const uint8_t* var, uint64_t length)
        : var_(var), length_(length), wholeValid_(isValidUTF8(var, size_t(length))) {}

    bool slotValid(const uint8_t* slot) const {
        const uint64_t off = readU32(slot), len = readU32(slot + 4);
        if (off + len > length_) return false;
        if (len == 0) return true;
        if (!wholeValid_) return isValidUTF8(var_ + off, size_t(len));
        const uint64_t end = off + len;
        return !isContinuation(var_[off]) && (end == length_ || !isContinuation(var_[end]));
    }

private:
    const uint8_t* var_;
    uint64_t length_;
    bool wholeValid_;
};

// Every text of every record must be readable: variable slots inside the area, UTF-8 everywhere.
bool recordTextsValid(const uint8_t* records, uint32_t recordCount, uint32_t recordLength,
                      const std::vector<TCRSField>& fields, const uint8_t* var, uint64_t varLength) {
    std::vector<const TCRSField*> fixed, variable;
    for (const TCRSField& f : fields) {
        if (f.fieldType() == TCRSFieldType::FixedText) fixed.push_back(&f);
        if (f.fieldType() == TCRSFieldType::VarText) variable.push_back(&f);
    }
    if (fixed.empty() && variable.empty()) return true;
    const VarTexts texts(var, variable.empty() ? 0 : varLength);
    for (uint32_t r = 0; r < recordCount; ++r) {
        const uint8_t* row = records + uint64_t(r) * recordLength;
        for (const TCRSField* f : fixed)
            if (!fixedTextValid(row + f->fieldOffset(), size_t(f->fieldLength()))) return false;
        for (const TCRSField* f : variable)
            if (!texts.slotValid(row + f->fieldOffset())) return false;
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

    if (!recordTextsValid(records, recordCount, recordLength, set->fields_, var, varLength)) return nullptr;

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
