#pragma once
// The record set: the unit of every server reply and of the menu file. A set
// has a name ("sys.menu", "sys.conf"; often empty), fields, fixed-size records
// and a cursor over them. The bytes are described in core/TCRSReader.h.
//
// Record sets are shared, mutable objects: hold them by std::shared_ptr.
//
// Reading the current record, by field type:
//   text:     the text; as integer its leading decimal number (0 when none);
//             as VTAFloat the decimal number it spells (nullopt when none).
//   integer:  as text its decimal digits; as integer the raw number; as VTAFloat
//             the number with unit 0, nullopt for 999999999 and above.
//   packed:   as text VTAFloat::toString ("" for no value); as integer the raw
//             packed number (999999999 or more for no value); as VTAFloat the
//             decoded number, nullopt for no value.
// fieldValue*: the stored value: String for texts, Integer (raw) for integers,
//   String of VTAFloat::toString for packed numbers, Null for no value.
//
// insertRecord converts each value to its field's type:
//   integer field: Integer, Bool, Real (rounded) or a decimal text ("930");
//                  Null or "" store no value (999999999).
//   packed field:  Integer (unit 0), Real (up to 3 decimals), Bool, or a decimal
//                  text ("12.34" is value 1234 unit 2, what fieldValue gives back);
//                  Null or "" store no value.
//   text field:    String (UTF-8) or a number printed; Null the empty text; a fixed
//                  text is cut to the field length at a character boundary.
// A value that cannot be converted (a text "abc" for a number, a packed number
// with more than 3 decimals, an integer too large for a 4-byte field, invalid
// UTF-8, arrays...) makes the insertion fail and nothing changes.
#include <cassert>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/TCRSField.h"
#include "core/VTAFloat.h"
#include "platform/foundation/Value.h"

class VTATCRS {
public:
    using TCRSArray = std::vector<std::shared_ptr<VTATCRS>>;

    // The record sets of `bytes` in order: an empty array for zero bytes; nullopt
    // when the first set cannot be read; the sets read so far when a later one fails.
    static std::optional<TCRSArray> buildMuTableTCRSWithData(const std::vector<uint8_t>& bytes);
    static std::optional<TCRSArray> buildMuTableTCRSWithData(const uint8_t* data, size_t size);

    // A new empty set; a name longer than 16 bytes is cut at a character boundary.
    static std::shared_ptr<VTATCRS> tcrsWithName(const std::string& name = "", bool isError = false);
    // Adds a field at the end of the record (length 0: the type's default length).
    // Refused (false) once the set holds records, for an invalid length or type,
    // or beyond 4096 fields / 1 MiB records.
    bool addField(const std::string& name, TCRSFieldType type, int length = 0, const std::string& desc = "");

    // The bytes of this set (reader's format); several sets: concatenate, or dataWithTCRSArray.
    std::vector<uint8_t> toData() const;
    static std::vector<uint8_t> dataWithTCRSArray(const TCRSArray& sets);

    bool isError() const { return isError_; }
    // The error text of an error set (field "errmsg" of its first record), "" otherwise.
    std::string getError() const;
    // The error code of an error set (field "errcode" of its first record), 0 otherwise.
    int64_t errorCode() const;
    std::string name() const { return name_; }

    int fieldCount() const { return int(fields_.size()); }
    int rowsAffected() const { return count_; }
    std::string getFieldNameAtIndex(int index) const;
    std::string getFieldDescAtIndex(int index) const;
    std::optional<TCRSField> fieldDescAtIndex(int index) const;
    const std::vector<TCRSField>& fields() const { return fields_; }
    int fieldsIndexWithName(const std::string& name) const;  // -1 when absent

    // The cursor starts on the first record; its index runs from 0 to rowsAffected
    // (that last position is past the end: isEOF).
    void fetchFirst() { cursor_ = 0; }
    bool fetchNext();  // moves on; true while it stands on a record
    bool fetchPrev();  // moves back (not before the first record); true when it moved onto a record
    void fetchLast();  // the last record (past the end for an empty set)
    bool isEOF() const { return cursor_ >= count_; }
    void moveToIndex(int index);  // clamped to 0..rowsAffected
    void skipOff(int count);      // moves by count, clamped the same way
    int currentIndex() const { return cursor_; }

    // "" when the set has no such field; nullopt when the cursor is past the end.
    std::optional<std::string> toStringWithFieldName(const std::string& name) const;
    // The raw integer; 0 for a missing field or past the end.
    int64_t toIntWithFieldName(const std::string& name) const;
    std::optional<VTAFloat> toVTAFloatWithFieldName(const std::string& name) const;
    // By field position; out of range reads like a missing field ("", 0, nullopt).
    std::optional<std::string> toStringAtIndex(int fieldIndex) const;
    int64_t toIntAtIndex(int fieldIndex) const;
    std::optional<VTAFloat> toVTAFloatAtIndex(int fieldIndex) const;
    Value fieldValueWithName(const std::string& name) const;  // Null for missing field or past the end
    Value fieldValueAtIndex(int fieldIndex) const;

    // The index of the first record whose field (as text, see toStringAtIndex)
    // equals `value`; -1 when none or the field index is out of range.
    int recordIndexWithFieldIndex(int fieldIndex, const std::string& value) const;
    // A new set with the same name and fields holding the records start ..
    // start + length - 1, cut to the records that exist; nullptr for a negative
    // start or length.
    std::shared_ptr<VTATCRS> subTCRSWithRange(int start, int length) const;
    // Inserts before record `index` (out of range or -1: appends). Returns 0 when
    // done, 2 when the record count did not grow (more values than fields, a value
    // that does not convert, a set without fields). Missing trailing values store
    // no value / the empty text. The cursor index is left as it is.
    int insertRecord(const std::vector<Value>& record, int index);
    // Returns 0 when done, 2 when the index is out of range. A cursor past the
    // new end is moved to the end.
    int deleteRecordAtIndex(int index);

private:
    friend class TCRSReader;

    const uint8_t* row(int index) const {
        assert(index >= 0 && index < count_);
        return rows_.data() + size_t(index) * recordLength_;
    }
    const uint8_t* currentRow() const {
        assert(cursor_ >= 0 && cursor_ <= count_);
        return isEOF() ? nullptr : row(cursor_);
    }
    std::string textAt(const uint8_t* row, const TCRSField& f) const;
    int64_t intAt(const uint8_t* row, const TCRSField& f) const;
    std::string stringOf(const uint8_t* row, const TCRSField& f) const;
    int64_t integerOf(const uint8_t* row, const TCRSField& f) const;
    std::optional<VTAFloat> floatOf(const uint8_t* row, const TCRSField& f) const;
    Value valueOf(const uint8_t* row, const TCRSField& f) const;
    bool encodeValue(const Value& v, const TCRSField& f, uint8_t* row, std::vector<uint8_t>& var) const;
    void appendRowFrom(const VTATCRS& source, int index);

    std::string name_;
    bool isError_ = false;
    std::vector<TCRSField> fields_;
    uint32_t recordLength_ = 0;
    int count_ = 0;
    std::vector<uint8_t> rows_;  // count_ * recordLength_ bytes
    std::vector<uint8_t> var_;   // variable-data area; every text slot points inside it
    int cursor_ = 0;
};
