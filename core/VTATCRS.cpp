#include "core/VTATCRS.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/TCRSFormat.h"
#include "core/TCRSReader.h"
#include "platform/foundation/TextHelpers.h"

using namespace tcrs;

namespace {

bool fitsField(int64_t v, int length) { return length == 8 || (v >= INT32_MIN && v <= INT32_MAX); }

// A whole decimal integer ("-930"), nothing else.
std::optional<int64_t> parseInteger(const std::string& text) {
    auto f = VTAFloat::VTAFloatWithString(text);
    if (!f || f->unit() != 0 || text.find('.') != std::string::npos) return std::nullopt;
    return f->value();
}

// The number as a VTAFloat of at most 3 decimals (the packed form holds no more).
std::optional<VTAFloat> floatFromReal(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    for (int d = 0; d <= 3; ++d) {
        double scaled = x * std::pow(10.0, d);
        if (std::fabs(scaled) > 9.0e18) return std::nullopt;
        double r = std::round(scaled);
        if (std::fabs(scaled - r) <= 1e-6 * std::max(1.0, std::fabs(scaled)) || d == 3) return VTAFloat(int64_t(r), d);
    }
    return std::nullopt;
}

// Drops trailing zero decimals beyond 3, so "1.2300" still packs.
std::optional<int64_t> packedOf(VTAFloat f) {
    while (f.unit() > 3 && f.value() % 10 == 0) f = VTAFloat(f.value() / 10, f.unit() - 1);
    return f.toLong();
}

}  // namespace

std::optional<VTATCRS::TCRSArray> VTATCRS::buildMuTableTCRSWithData(const std::vector<uint8_t>& bytes) {
    return TCRSReader::readAll(bytes.data(), bytes.size());
}

std::optional<VTATCRS::TCRSArray> VTATCRS::buildMuTableTCRSWithData(const uint8_t* data, size_t size) {
    return TCRSReader::readAll(data, size);
}

std::shared_ptr<VTATCRS> VTATCRS::tcrsWithName(const std::string& name, bool isError) {
    auto set = std::make_shared<VTATCRS>();
    std::string n = name.substr(0, name.find('\0'));
    const auto* bytes = reinterpret_cast<const uint8_t*>(n.data());
    if (!isValidUTF8(bytes, n.size())) n.clear();
    n.resize(utf8PrefixLength(bytes, n.size(), kInfoLength));
    set->name_ = n;
    set->isError_ = isError;
    return set;
}

bool VTATCRS::addField(const std::string& name, TCRSFieldType type, int length, const std::string& desc) {
    if (count_ > 0 || !TCRSField::isKnownType(uint8_t(type)) || fields_.size() >= kMaxFields) return false;
    if (length == 0) length = TCRSField::defaultLength(type);
    if (!TCRSField::isValidLength(type, length)) return false;
    if (uint64_t(recordLength_) + uint64_t(length) > kMaxRecordLength) return false;
    if (name.size() > 0xFFFF || desc.size() > 0xFFFF) return false;
    if (!isValidUTF8(reinterpret_cast<const uint8_t*>(name.data()), name.size()) ||
        !isValidUTF8(reinterpret_cast<const uint8_t*>(desc.data()), desc.size()))
        return false;
    fields_.emplace_back(name, type, length, int(recordLength_), desc);
    recordLength_ += uint32_t(length);
    return true;
}

std::vector<uint8_t> VTATCRS::toData() const {
    uint64_t total = kHeaderLength + rows_.size() + var_.size();
    for (const TCRSField& f : fields_) total += kFieldHeaderLength + f.fieldName().size() + f.fieldDesc().size();
    if (total > UINT32_MAX) return {};
    std::vector<uint8_t> out;
    out.reserve(size_t(total));
    out.resize(kInfoLength, 0);
    std::memcpy(out.data(), name_.data(), std::min(name_.size(), kInfoLength));
    out.insert(out.end(), kMagic, kMagic + 4);
    out.push_back(kVersion);
    out.push_back(isError_ ? kFlagError : 0);
    appendU16(out, uint16_t(fields_.size()));
    appendU32(out, uint32_t(total));
    appendU32(out, uint32_t(count_));
    appendU32(out, recordLength_);
    appendU32(out, uint32_t(var_.size()));
    for (const TCRSField& f : fields_) {
        out.push_back(uint8_t(f.fieldType()));
        out.push_back(0);
        appendU16(out, uint16_t(f.fieldName().size()));
        appendU16(out, uint16_t(f.fieldDesc().size()));
        appendU16(out, 0);
        appendU32(out, uint32_t(f.fieldLength()));
        appendU32(out, uint32_t(f.fieldOffset()));
        out.insert(out.end(), f.fieldName().begin(), f.fieldName().end());
        out.insert(out.end(), f.fieldDesc().begin(), f.fieldDesc().end());
    }
    out.insert(out.end(), rows_.begin(), rows_.end());
    out.insert(out.end(), var_.begin(), var_.end());
    return out;
}

std::vector<uint8_t> VTATCRS::dataWithTCRSArray(const TCRSArray& sets) {
    std::vector<uint8_t> out;
    for (const auto& set : sets) {
        if (!set) continue;
        auto bytes = set->toData();
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

std::string VTATCRS::getError() const {
    int i = fieldsIndexWithName(kErrorTextField);
    if (!isError_ || i < 0 || count_ == 0) return {};
    return stringOf(row(0), fields_[size_t(i)]);
}

int64_t VTATCRS::errorCode() const {
    int i = fieldsIndexWithName(kErrorCodeField);
    if (!isError_ || i < 0 || count_ == 0) return 0;
    return integerOf(row(0), fields_[size_t(i)]);
}

std::string VTATCRS::getFieldNameAtIndex(int index) const {
    return index >= 0 && index < fieldCount() ? fields_[size_t(index)].fieldName() : std::string();
}

std::string VTATCRS::getFieldDescAtIndex(int index) const {
    return index >= 0 && index < fieldCount() ? fields_[size_t(index)].fieldDesc() : std::string();
}

std::optional<TCRSField> VTATCRS::fieldDescAtIndex(int index) const {
    if (index < 0 || index >= fieldCount()) return std::nullopt;
    return fields_[size_t(index)];
}

int VTATCRS::fieldsIndexWithName(const std::string& name) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].fieldName() == name) return int(i);
    return -1;
}

bool VTATCRS::fetchNext() {
    if (cursor_ < count_) ++cursor_;
    return cursor_ < count_;
}

bool VTATCRS::fetchPrev() {
    if (cursor_ == 0) return false;
    --cursor_;
    return cursor_ < count_;
}

void VTATCRS::fetchLast() { cursor_ = count_ > 0 ? count_ - 1 : 0; }

void VTATCRS::moveToIndex(int index) { cursor_ = std::clamp(index, 0, count_); }

void VTATCRS::skipOff(int count) {
    int64_t target = int64_t(cursor_) + count;
    cursor_ = int(std::clamp<int64_t>(target, 0, count_));
}

// --- reading fields of one record ---------------------------------------------------

std::string VTATCRS::textAt(const uint8_t* r, const TCRSField& f) const {
    const uint8_t* slot = r + f.fieldOffset();
    if (f.fieldType() == TCRSFieldType::FixedText) {
        const void* nul = std::memchr(slot, 0, size_t(f.fieldLength()));
        size_t len = nul ? size_t(static_cast<const uint8_t*>(nul) - slot) : size_t(f.fieldLength());
        return std::string(reinterpret_cast<const char*>(slot), len);
    }
    // Slots were checked by the reader or written by insertRecord: inside var_.
    uint32_t off = readU32(slot), len = readU32(slot + 4);
    if (uint64_t(off) + len > var_.size()) return {};
    return std::string(reinterpret_cast<const char*>(var_.data()) + off, len);
}

int64_t VTATCRS::intAt(const uint8_t* r, const TCRSField& f) const {
    return readInt(r + f.fieldOffset(), uint32_t(f.fieldLength()));
}

std::string VTATCRS::stringOf(const uint8_t* r, const TCRSField& f) const {
    switch (f.fieldType()) {
        case TCRSFieldType::Integer:
            return std::to_string(intAt(r, f));
        case TCRSFieldType::Packed: {
            auto v = VTAFloat::VTAFloatWithLong(intAt(r, f));
            return v ? v->toString() : std::string();
        }
        default:
            return textAt(r, f);
    }
}

int64_t VTATCRS::integerOf(const uint8_t* r, const TCRSField& f) const {
    if (f.isNumber()) return intAt(r, f);
    std::string text = textAt(r, f);
    return std::strtoll(text.c_str(), nullptr, 10);
}

std::optional<VTAFloat> VTATCRS::floatOf(const uint8_t* r, const TCRSField& f) const {
    switch (f.fieldType()) {
        case TCRSFieldType::Packed:
            return VTAFloat::VTAFloatWithLong(intAt(r, f));
        case TCRSFieldType::Integer: {
            int64_t v = intAt(r, f);
            if (v >= kNoValue) return std::nullopt;
            return VTAFloat(v, 0);
        }
        default:
            return VTAFloat::VTAFloatWithString(textAt(r, f));
    }
}

Value VTATCRS::valueOf(const uint8_t* r, const TCRSField& f) const {
    switch (f.fieldType()) {
        case TCRSFieldType::Integer:
            return Value(intAt(r, f));
        case TCRSFieldType::Packed: {
            auto v = VTAFloat::VTAFloatWithLong(intAt(r, f));
            return v ? Value(v->toString()) : Value();
        }
        default:
            return Value(textAt(r, f));
    }
}

std::optional<std::string> VTATCRS::toStringWithFieldName(const std::string& name) const {
    return toStringAtIndex(fieldsIndexWithName(name));
}

int64_t VTATCRS::toIntWithFieldName(const std::string& name) const { return toIntAtIndex(fieldsIndexWithName(name)); }

std::optional<VTAFloat> VTATCRS::toVTAFloatWithFieldName(const std::string& name) const {
    return toVTAFloatAtIndex(fieldsIndexWithName(name));
}

std::optional<std::string> VTATCRS::toStringAtIndex(int fieldIndex) const {
    if (fieldIndex < 0 || fieldIndex >= fieldCount()) return std::string();
    if (isEOF()) return std::nullopt;
    return stringOf(currentRow(), fields_[size_t(fieldIndex)]);
}

int64_t VTATCRS::toIntAtIndex(int fieldIndex) const {
    if (fieldIndex < 0 || fieldIndex >= fieldCount() || isEOF()) return 0;
    return integerOf(currentRow(), fields_[size_t(fieldIndex)]);
}

std::optional<VTAFloat> VTATCRS::toVTAFloatAtIndex(int fieldIndex) const {
    if (fieldIndex < 0 || fieldIndex >= fieldCount() || isEOF()) return std::nullopt;
    return floatOf(currentRow(), fields_[size_t(fieldIndex)]);
}

Value VTATCRS::fieldValueWithName(const std::string& name) const {
    return fieldValueAtIndex(fieldsIndexWithName(name));
}

Value VTATCRS::fieldValueAtIndex(int fieldIndex) const {
    if (fieldIndex < 0 || fieldIndex >= fieldCount() || isEOF()) return Value();
    return valueOf(currentRow(), fields_[size_t(fieldIndex)]);
}

int VTATCRS::recordIndexWithFieldIndex(int fieldIndex, const std::string& value) const {
    if (fieldIndex < 0 || fieldIndex >= fieldCount()) return -1;
    const TCRSField& f = fields_[size_t(fieldIndex)];
    for (int r = 0; r < count_; ++r)
        if (stringOf(row(r), f) == value) return r;
    return -1;
}

// --- editing --------------------------------------------------------------------------

bool VTATCRS::encodeValue(const Value& v, const TCRSField& f, uint8_t* r, std::vector<uint8_t>& var) const {
    uint8_t* slot = r + f.fieldOffset();
    const uint32_t length = uint32_t(f.fieldLength());
    switch (f.fieldType()) {
        case TCRSFieldType::Integer: {
            std::optional<int64_t> n;
            switch (v.type()) {
                case Value::Type::Null:
                    n = kNoValue;
                    break;
                case Value::Type::Bool:
                case Value::Type::Integer:
                    n = v.toInt();
                    break;
                case Value::Type::Real: {
                    double d = v.toDouble();
                    if (std::isfinite(d) && std::fabs(d) < 9.0e18) n = std::llround(d);
                    break;
                }
                case Value::Type::String: {
                    std::string t = trimmedText(v.string());
                    n = t.empty() ? std::optional<int64_t>(kNoValue) : parseInteger(t);
                    break;
                }
                default:
                    break;
            }
            if (!n || !fitsField(*n, int(length))) return false;
            putInt(slot, length, *n);
            return true;
        }
        case TCRSFieldType::Packed: {
            std::optional<int64_t> packed;
            switch (v.type()) {
                case Value::Type::Null:
                    packed = kNoValue;
                    break;
                case Value::Type::Bool:
                case Value::Type::Integer:
                    packed = VTAFloat(v.toInt(), 0).toLong();
                    break;
                case Value::Type::Real:
                    if (auto x = floatFromReal(v.toDouble())) packed = x->toLong();
                    break;
                case Value::Type::String: {
                    std::string t = trimmedText(v.string());
                    if (t.empty())
                        packed = kNoValue;
                    else if (auto x = VTAFloat::VTAFloatWithString(t))
                        packed = packedOf(*x);
                    break;
                }
                default:
                    break;
            }
            if (!packed || !fitsField(*packed, int(length))) return false;
            putInt(slot, length, *packed);
            return true;
        }
        case TCRSFieldType::FixedText:
        case TCRSFieldType::VarText: {
            std::string text;
            switch (v.type()) {
                case Value::Type::Null:
                    break;
                case Value::Type::String:
                    text = v.string();
                    break;
                case Value::Type::Bool:
                case Value::Type::Integer:
                case Value::Type::Real:
                    text = v.toString();
                    break;
                default:
                    return false;
            }
            const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
            if (!isValidUTF8(bytes, text.size())) return false;
            if (f.fieldType() == TCRSFieldType::FixedText) {
                size_t n = utf8PrefixLength(bytes, text.size(), length);
                std::memcpy(slot, bytes, n);
                std::memset(slot + n, 0, length - n);
                return true;
            }
            if (uint64_t(var.size()) + text.size() > UINT32_MAX) return false;
            putU32(slot, text.empty() ? 0 : uint32_t(var.size()));
            putU32(slot + 4, uint32_t(text.size()));
            var.insert(var.end(), text.begin(), text.end());
            return true;
        }
    }
    return false;
}

int VTATCRS::insertRecord(const std::vector<Value>& record, int index) {
    if (fields_.empty() || record.size() > fields_.size() || count_ == INT_MAX) return 2;
    std::vector<uint8_t> newRow(recordLength_, 0);
    const size_t varBefore = var_.size();
    static const Value kNull;
    for (size_t i = 0; i < fields_.size(); ++i) {
        if (!encodeValue(i < record.size() ? record[i] : kNull, fields_[i], newRow.data(), var_)) {
            var_.resize(varBefore);
            return 2;
        }
    }
    if (index < 0 || index > count_) index = count_;
    rows_.insert(rows_.begin() + ptrdiff_t(size_t(index) * recordLength_), newRow.begin(), newRow.end());
    ++count_;
    return 0;
}

int VTATCRS::deleteRecordAtIndex(int index) {
    if (index < 0 || index >= count_) return 2;
    auto first = rows_.begin() + ptrdiff_t(size_t(index) * recordLength_);
    rows_.erase(first, first + recordLength_);
    --count_;
    if (cursor_ > count_) cursor_ = count_;
    return 0;
}

void VTATCRS::appendRowFrom(const VTATCRS& source, int index) {
    assert(source.recordLength_ == recordLength_ && source.fields_.size() == fields_.size());
    const uint8_t* from = source.row(index);
    const size_t at = rows_.size();
    rows_.insert(rows_.end(), from, from + recordLength_);
    for (const TCRSField& f : fields_) {
        if (f.fieldType() != TCRSFieldType::VarText) continue;
        std::string text = source.textAt(from, f);
        uint8_t* slot = rows_.data() + at + f.fieldOffset();
        putU32(slot, text.empty() ? 0 : uint32_t(var_.size()));
        putU32(slot + 4, uint32_t(text.size()));
        var_.insert(var_.end(), text.begin(), text.end());
    }
    ++count_;
}

std::shared_ptr<VTATCRS> VTATCRS::subTCRSWithRange(int start, int length) const {
    if (start < 0 || length < 0) return nullptr;
    auto sub = std::make_shared<VTATCRS>();
    sub->name_ = name_;
    sub->isError_ = isError_;
    sub->fields_ = fields_;
    sub->recordLength_ = recordLength_;
    const int first = std::min(start, count_);
    const int end = int(std::min<int64_t>(count_, int64_t(start) + length));
    sub->rows_.reserve(size_t(std::max(0, end - first)) * recordLength_);
    for (int r = first; r < end; ++r) sub->appendRowFrom(*this, r);
    return sub;
}
