#pragma once
// One column of a record set: its name, its descriptor text (the column title
// shown to the customer), its type, and where it lies inside a record.
#include <cstdint>
#include <string>

enum class TCRSFieldType : uint8_t {
    Integer = 1,    // signed integer, 4 or 8 bytes; 999999999 and above: no value
    Packed = 2,     // VTAFloat packed as value * 4 + unit, 4 or 8 bytes
    FixedText = 3,  // UTF-8 text in the record, NUL-padded to the field length
    VarText = 4,    // UTF-8 text in the variable-data area (offset and length in the record)
};

class TCRSField {
public:
    TCRSField() = default;
    TCRSField(std::string name, TCRSFieldType type, int length, int offset, std::string desc = "")
        : name_(std::move(name)), desc_(std::move(desc)), type_(type), length_(length), offset_(offset) {}

    const std::string& fieldName() const { return name_; }
    const std::string& fieldDesc() const { return desc_; }
    TCRSFieldType fieldType() const { return type_; }
    int fieldLength() const { return length_; }
    int fieldOffset() const { return offset_; }

    bool isNumber() const { return type_ == TCRSFieldType::Integer || type_ == TCRSFieldType::Packed; }
    bool isText() const { return !isNumber(); }

    // Bytes a field of that type takes when no length is given: 8 for numbers
    // and variable texts, 32 for fixed texts.
    static int defaultLength(TCRSFieldType type);
    // Whether the length is allowed for the type: 4 or 8 for numbers, 8 for a
    // variable text, 1 to 65535 for a fixed text.
    static bool isValidLength(TCRSFieldType type, int64_t length);
    static bool isKnownType(uint8_t type);

private:
    std::string name_;
    std::string desc_;
    TCRSFieldType type_ = TCRSFieldType::Integer;
    int length_ = 0;
    int offset_ = 0;
};
