#include "core/VTAFloat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Wide = __int128;

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

Wide pow10Wide(int n) {
    Wide r = 1;
    for (int i = 0; i < n; ++i) r *= 10;
    return r;
}

int64_t saturate(Wide v) {
    if (v > Wide(kInt64Max)) return kInt64Max;
    if (v < Wide(kInt64Min)) return kInt64Min;
    return int64_t(v);
}

// Value of `f` expressed with `unit` decimals; rounds half away from zero when
// decimals are dropped. |value| < 2^63 and unit differences <= 18 keep this
// inside 128 bits.
Wide rescale(const VTAFloat& f, int unit) {
    Wide v = f.value();
    if (unit >= f.unit()) return v * pow10Wide(unit - f.unit());
    Wide d = pow10Wide(f.unit() - unit);
    Wide q = v / d;
    Wide r = v % d;
    if (r < 0) r = -r;
    if (r * 2 >= d) q += (v < 0 ? -1 : 1);
    return q;
}

const char* moneySuffix(int unit) {
    switch (unit) {
        case 1:
            return "万";
        case 2:
            return "亿";
        case 3:
            return "万亿";
        case 4:
            return "亿亿";
        default:
            return "";
    }
}

}  // namespace

VTAFloat::VTAFloat(int64_t value, int unit) : value_(value), unit_(std::clamp(unit, 0, kMaxUnit)) {}

std::optional<VTAFloat> VTAFloat::VTAFloatWithLong(int64_t packed) {
    if (packed >= kNoValue) return std::nullopt;
    // Arithmetic shift: -18 is value -5, unit 2.
    return VTAFloat(packed >> 2, int(packed & 3));
}

VTAFloat VTAFloat::VTAFloatWithValue(int64_t value, int unit) { return VTAFloat(value, unit); }

std::optional<VTAFloat> VTAFloat::VTAFloatWithString(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (b == e) return std::nullopt;
    bool negative = false;
    if (text[b] == '-' || text[b] == '+') {
        negative = text[b] == '-';
        ++b;
    }
    Wide v = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (size_t i = b; i < e; ++i) {
        char c = text[i];
        if (c == '.') {
            if (point) return std::nullopt;
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        ++digits;
        if (point) ++decimals;
        if (v > Wide(kInt64Max) || decimals > kMaxUnit) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    return VTAFloat(int64_t(negative ? -v : v), decimals);
}

std::optional<int64_t> VTAFloat::toLong() const {
    if (unit_ > 3) return std::nullopt;
    Wide packed = Wide(value_) * 4 + unit_;
    if (packed >= kNoValue || packed < Wide(kInt64Min)) return std::nullopt;
    return int64_t(packed);
}

std::string VTAFloat::toString() const {
    // Work on the magnitude as unsigned, so the smallest 64-bit value prints too.
    uint64_t mag = value_ < 0 ? uint64_t(0) - uint64_t(value_) : uint64_t(value_);
    std::string digits = std::to_string(mag);
    if (unit_ > 0) {
        if (digits.size() <= size_t(unit_)) digits.insert(0, size_t(unit_) + 1 - digits.size(), '0');
        digits.insert(digits.size() - size_t(unit_), 1, '.');
    }
    if (value_ < 0) digits.insert(0, 1, '-');
    return digits;
}

std::string VTAFloat::toMoney() const { return toString() + moneySuffix(unit_); }

float VTAFloat::toFloat() const { return float(double(value_) / std::pow(10.0, unit_)); }

double VTAFloat::realValue() const {
    if (unit_ >= 1 && unit_ <= 4) return double(value_) * std::pow(10.0, 3 * unit_);
    return double(value_) / std::pow(10.0, unit_);
}

std::optional<VTAFloat> addVTAFloat(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b) {
    if (!a || !b) return std::nullopt;
    return VTAFloat(saturate(Wide(a->value()) + rescale(*b, a->unit())), a->unit());
}

std::optional<VTAFloat> subVTAFloat(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b) {
    if (!a || !b) return std::nullopt;
    return VTAFloat(saturate(Wide(a->value()) - rescale(*b, a->unit())), a->unit());
}

std::optional<VTAFloat> divVTAFloat(const std::optional<VTAFloat>& a, int64_t divisor) {
    if (!a || divisor == 0) return std::nullopt;
    return VTAFloat(saturate(Wide(a->value()) / divisor), a->unit());
}

std::optional<VTAFloat> absVTAFloat(const std::optional<VTAFloat>& a) {
    if (!a) return std::nullopt;
    Wide v = a->value();
    return VTAFloat(saturate(v < 0 ? -v : v), a->unit());
}

std::optional<VTAFloat> maxVTAFloat(const std::optional<VTAFloat>& a, const std::optional<VTAFloat>& b) {
    if (!a) return b;
    if (!b) return a;
    return compareVTAFloat(*a, *b) >= 0 ? a : b;
}

int compareVTAFloat(const VTAFloat& a, const VTAFloat& b) {
    int unit = std::max(a.unit(), b.unit());
    Wide x = rescale(a, unit), y = rescale(b, unit);
    return x > y ? 1 : (x < y ? -1 : 0);
}
