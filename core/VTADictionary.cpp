#include "core/VTADictionary.h"

std::string toParamtersWithSepretor(const VTAStringDictionary& pairs, const std::string& separator) {
    std::string out;
    bool first = true;
    for (const auto& [key, value] : pairs) {
        if (!first) out += separator;
        first = false;
        out += key;
        out += '=';
        out += value;
    }
    return out;
}

std::string toParamtersWithSepretor(const Value::Dict& pairs, const std::string& separator) {
    std::string out;
    bool first = true;
    for (const auto& [key, value] : pairs) {
        if (!first) out += separator;
        first = false;
        out += key;
        out += '=';
        out += value.toString();
    }
    return out;
}
