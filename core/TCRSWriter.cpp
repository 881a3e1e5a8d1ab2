#include "core/TCRSWriter.h"

#include "core/TCRSFormat.h"

TCRSWriter& TCRSWriter::beginSet(const std::string& name) {
    sets_.push_back(VTATCRS::tcrsWithName(name));
    return *this;
}

TCRSWriter& TCRSWriter::addField(const std::string& name, TCRSFieldType type, int length, const std::string& desc) {
    if (sets_.empty() || !sets_.back()->addField(name, type, length, desc)) ok_ = false;
    return *this;
}

TCRSWriter& TCRSWriter::addRecord(const std::vector<Value>& values) {
    if (sets_.empty() || sets_.back()->insertRecord(values, -1) != 0) ok_ = false;
    return *this;
}

TCRSWriter& TCRSWriter::errorSet(int code, const std::string& text) {
    auto set = VTATCRS::tcrsWithName(tcrs::kErrorSetName, true);
    set->addField(tcrs::kErrorCodeField, TCRSFieldType::Integer, 4);
    set->addField(tcrs::kErrorTextField, TCRSFieldType::VarText);
    if (set->insertRecord({Value(code), Value(text)}, -1) != 0) ok_ = false;
    sets_.push_back(set);
    return *this;
}

TCRSWriter& TCRSWriter::appendSet(const VTATCRS& set) {
    if (auto copy = set.subTCRSWithRange(0, set.rowsAffected()))
        sets_.push_back(copy);
    else
        ok_ = false;
    return *this;
}

std::vector<uint8_t> TCRSWriter::bytes() const { return VTATCRS::dataWithTCRSArray(sets_); }
