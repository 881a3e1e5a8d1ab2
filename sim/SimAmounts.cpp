#include "sim/SimAmounts.h"

int64_t simParseDecimal(std::string_view text, int decimals, size_t longest) {
    constexpr int64_t kMostWhole = 999999999999999;  // 15 digits: no product with 10^decimals overflows
    if (text.empty() || text.size() > longest) return -1;
    int64_t whole = 0, fraction = 0;
    int fractionDigits = 0;
    bool point = false, digits = false;
    for (char ch : text) {
        if (ch == '.') {
            if (point) return -1;
            point = true;
        } else if (ch >= '0' && ch <= '9') {
            digits = true;
            if (!point) {
                whole = whole * 10 + (ch - '0');
                if (whole > kMostWhole) return -1;
            } else if (fractionDigits < decimals) {
                fraction = fraction * 10 + (ch - '0');
                ++fractionDigits;
            } else if (ch != '0') {
                return -1;
            }
        } else {
            return -1;
        }
    }
    if (!digits) return -1;
    for (int k = fractionDigits; k < decimals; ++k) fraction *= 10;
    int64_t scale = 1;
    for (int k = 0; k < decimals; ++k) scale *= 10;
    return whole * scale + fraction;
}

int64_t simParseHundredths(std::string_view text) { return simParseDecimal(text, 2, kSimAmountChars); }
