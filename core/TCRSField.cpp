#include "core/TCRSField.h"

#include "core/TCRSFormat.h"

int TCRSField::defaultLength(TCRSFieldType type) { return type == TCRSFieldType::FixedText ? 32 : 8; }

bool TCRSField::isValidLength(TCRSFieldType type, int64_t length) {
    switch (type) {
        case TCRSFieldType::Integer:
        case TCRSFieldType::Packed:
            return length == 4 || length == 8;
        case TCRSFieldType::VarText:
            return length == int64_t(tcrs::kVarRefLength);
        case TCRSFieldType::FixedText:
            return length >= 1 && length <= int64_t(tcrs::kMaxFixedTextLength);
    }
    return false;
}

bool TCRSField::isKnownType(uint8_t type) { return type >= 1 && type <= 4; }
