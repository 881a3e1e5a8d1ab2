#include "platform/foundation/Value.h"

#include <cstdio>
#include <cstdlib>

bool Value::toBool() const {
    switch (type()) {
        case Type::Bool:
            return std::get<bool>(v_);
        case Type::Integer:
            return std::get<int64_t>(v_) != 0;
        case Type::Real:
            return std::get<double>(v_) != 0;
        case Type::String: {
            const std::string& s = string();
            if (s.empty()) return false;
            char c = s[0];
            if (c == 'Y' || c == 'y' || c == 'T' || c == 't') return true;
            return std::strtoll(s.c_str(), nullptr, 10) != 0;
        }
        default:
            return false;
    }
}

int64_t Value::toInt() const {
    switch (type()) {
        case Type::Bool:
            return std::get<bool>(v_) ? 1 : 0;
        case Type::Integer:
            return std::get<int64_t>(v_);
        case Type::Real:
            return static_cast<int64_t>(std::get<double>(v_));
        case Type::String:
            return std::strtoll(string().c_str(), nullptr, 10);
        default:
            return 0;
    }
}

double Value::toDouble() const {
    switch (type()) {
        case Type::Bool:
            return std::get<bool>(v_) ? 1 : 0;
        case Type::Integer:
            return static_cast<double>(std::get<int64_t>(v_));
        case Type::Real:
            return std::get<double>(v_);
        case Type::String:
            return std::strtod(string().c_str(), nullptr);
        default:
            return 0;
    }
}

std::string Value::toString() const {
    switch (type()) {
        case Type::String:
            return string();
        case Type::Bool:
            return std::get<bool>(v_) ? "1" : "0";
        case Type::Integer:
            return std::to_string(std::get<int64_t>(v_));
        case Type::Real: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%g", std::get<double>(v_));
            return buf;
        }
        default:
            return {};
    }
}

const Value& Value::operator[](const std::string& key) const {
    static const Value kNull;
    if (!isDict()) return kNull;
    auto it = dict().find(key);
    return it == dict().end() ? kNull : it->second;
}
