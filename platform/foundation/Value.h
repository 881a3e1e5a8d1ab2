#pragma once
// A property-list value: what the settings file, the platform user defaults,
// keyed-archive files, notification payloads and session values hold.
// Null stands for the platform's nil and stays distinct from an empty text.
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

class Value {
public:
    using Array = std::vector<Value>;
    using Dict = std::map<std::string, Value>;
    using Data = std::vector<uint8_t>;
    // A point in time, seconds since 1970-01-01 UTC.
    struct Date {
        double seconds = 0;
        bool operator==(const Date& o) const { return seconds == o.seconds; }
    };
    enum class Type { Null, Bool, Integer, Real, String, Data, Date, Array, Dict };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : v_(b) {}
    Value(int i) : v_(int64_t(i)) {}
    Value(long i) : v_(int64_t(i)) {}
    Value(long long i) : v_(int64_t(i)) {}
    Value(unsigned i) : v_(int64_t(i)) {}
    Value(double d) : v_(d) {}
    Value(const char* s) : v_(std::string(s ? s : "")) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(Data d) : v_(std::move(d)) {}
    Value(Date d) : v_(d) {}
    Value(Array a) : v_(std::move(a)) {}
    Value(Dict d) : v_(std::move(d)) {}

    Type type() const { return static_cast<Type>(v_.index()); }
    bool isNull() const { return type() == Type::Null; }
    bool isBool() const { return type() == Type::Bool; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isNumber() const { return isBool() || isInteger() || isReal(); }
    bool isString() const { return type() == Type::String; }
    bool isData() const { return type() == Type::Data; }
    bool isDate() const { return type() == Type::Date; }
    bool isArray() const { return type() == Type::Array; }
    bool isDict() const { return type() == Type::Dict; }

    // Lenient readers, as the platform's boolValue / integerValue / doubleValue:
    // numbers convert, a text is read as a number ("YES"/"true" are true),
    // anything else answers false or 0.
    bool toBool() const;
    int64_t toInt() const;
    double toDouble() const;
    // Texts as they are, numbers printed; anything else the empty text.
    std::string toString() const;

    // Strict accessors: valid only for the matching type (checked, throws std::bad_variant_access).
    const std::string& string() const { return std::get<std::string>(v_); }
    const Data& data() const { return std::get<Data>(v_); }
    const Array& array() const { return std::get<Array>(v_); }
    const Dict& dict() const { return std::get<Dict>(v_); }
    Array& array() { return std::get<Array>(v_); }
    Dict& dict() { return std::get<Dict>(v_); }
    Date date() const { return std::get<Date>(v_); }

    // Member of a dictionary, or a null value when this is no dictionary or the key is absent.
    const Value& operator[](const std::string& key) const;

    bool operator==(const Value& o) const { return v_ == o.v_; }
    bool operator!=(const Value& o) const { return !(*this == o); }

private:
    std::variant<std::monostate, bool, int64_t, double, std::string, Data, Date, Array, Dict> v_;
};
