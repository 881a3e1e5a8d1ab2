#pragma once
// A fixed-point number: an integer value and a unit. For prices the unit is the
// number of decimals (value 1234, unit 2 is 12.34). For amounts and volumes the
// unit is at the same time the magnitude shown by toMoney and realValue:
// 1 "万" (1e4), 2 "亿" (1e8), 3 "万亿" (1e12), 4 "亿亿" (1e16), the value keeping
// that many decimals (value 12345, unit 1 is 1234.5万).
//
// Servers send the number packed into one integer, value * 4 + unit (unit 0..3);
// a packed integer of 999999999 or more means that there is no value. Packed
// integers are decoded with an arithmetic shift, so negative changes work.
//
// "No value" is std::optional<VTAFloat> without a value; the free functions
// take and give optionals and answer nullopt when an operand has no value.
#include <cstdint>
#include <optional>
#include <string>

class VTAFloat {
public:
    static constexpr int64_t kNoValue = 999999999;  // packed integers at or above this: no value
    static constexpr int kMaxUnit = 18;             // 10^18 still fits in 64 bits

    // The unit is kept within 0..kMaxUnit.
    VTAFloat(int64_t value = 0, int unit = 0);

    // From the packed form value * 4 + unit; nullopt above 999999998.
    static std::optional<VTAFloat> VTAFloatWithLong(int64_t packed);
    static VTAFloat VTAFloatWithValue(int64_t value, int unit);
    // From a decimal text ("12.34", "-0.5", " 7 "): the unit is the number of
    // digits after the point. nullopt for anything else (empty, "--", "1e5").
    static std::optional<VTAFloat> VTAFloatWithString(const std::string& text);

    int64_t value() const { return value_; }
    int unit() const { return unit_; }

    // The packed form value * 4 + unit; nullopt when the unit is above 3 or the
    // result would read as "no value" (999999999 or more).
    std::optional<int64_t> toLong() const;

    // The number with `unit` decimals: "12.34", "-0.05", "1234".
    std::string toString() const;
    // toString followed by "万", "亿", "万亿" or "亿亿" for unit 1 to 4.
    std::string toMoney() const;
    // value / 10^unit in single precision.
    float toFloat() const;
    // The amount: value / 10^unit times 1e4, 1e8, 1e12 or 1e16 for unit 1 to 4,
    // computed in double precision (the plain number for unit 0 and above 4).
    double realValue() const;

    bool operator==(const VTAFloat& o) const { return value_ == o.value_ && unit_ == o.unit_; }
    bool operator!=(const VTAFloat& o) const { return !(*this == o); }

private:
    int64_t value_ = 0;
    int unit_ = 0;
};

// a + b and a - b with the decimals of a; b is rescaled to a's decimals first
// (rounded half away from zero when b has more decimals). Results saturate at
// the 64-bit range.
std::optional<VTAFloat> addVTAFloat(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b);
std::optional<VTAFloat> subVTAFloat(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b);
// value / divisor (integer division, toward zero), decimals kept; nullopt for a divisor of 0.
std::optional<VTAFloat> divVTAFloat(const std::optional<VTAFloat>& a, int64_t divisor);
std::optional<VTAFloat> absVTAFloat(const std::optional<VTAFloat>& a);
// The larger by compareVTAFloat, the first when equal; with one operand
// missing the other one.
std::optional<VTAFloat> maxVTAFloat(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b);
// 1, -1 or 0 as a is greater, less or equal; exact (both rescaled to the larger
// number of decimals in 128-bit integers), so large amounts compare correctly.
int compareVTAFloat(const VTAFloat& a, const VTAFloat& b);
