#include "core/Utilities.h"

#include <algorithm>
#include <climits>

#include <regex.h>

#include "core/MarketTime.h"

namespace {

// Decodes one UTF-8 sequence at text[i]; advances i. Malformed input gives U+FFFD.
uint32_t nextCodePoint(const std::string& text, size_t& i) {
    auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra;
    uint32_t cp;
    uint32_t minimum;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<size_t>(extra) >= text.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        uint8_t b = byte(i + static_cast<size_t>(k));
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

std::vector<uint8_t> dataFromString(const std::string& text) {
    std::vector<uint8_t> out;
    out.reserve(text.size() * 2);
    auto unit = [&](uint32_t u) {
        out.push_back(static_cast<uint8_t>(u & 0xFF));
        out.push_back(static_cast<uint8_t>((u >> 8) & 0xFF));
    };
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = nextCodePoint(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 + (cp >> 10));
            unit(0xDC00 + (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

size_t utf8Length(const std::string& text) {
    size_t n = 0;
    for (size_t i = 0; i < text.size();) {
        nextCodePoint(text, i);
        ++n;
    }
    return n;
}

std::string hexString(const std::vector<uint8_t>& bytes, size_t length, int upperCase) {
    static const char lower[] = "0123456789abcdef";
    static const char upper[] = "0123456789ABCDEF";
    const char* digits = upperCase == 1 ? upper : lower;
    if (length > bytes.size()) length = bytes.size();
    std::string out;
    out.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
    return out;
}

std::string hexString(const std::vector<uint8_t>& bytes, int upperCase) {
    return hexString(bytes, bytes.size(), upperCase);
}

int currentHHmm() {
    int minute = marketMinuteOfDayNow();
    return minute / 60 * 100 + minute % 60;
}

bool isDecimalText(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    int points = 0;
    for (size_t i = begin; i < end; ++i) {
        if (isBlank(text[i])) return false;
        if (text[i] == '.') ++points;
    }
    return points <= 1;
}

int intValueOfText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 2147483648LL) value = 2147483648LL;
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

bool gtm_matchesPattern(const std::string& text, const std::string& pattern) {
    // regexec reads a C string: a text with a NUL inside cannot match as a whole.
    if (text.find('\0') != std::string::npos || pattern.find('\0') != std::string::npos) return false;
    regex_t re;
    std::string anchored = "^(" + pattern + ")$";
    if (regcomp(&re, anchored.c_str(), REG_EXTENDED | REG_NOSUB) != 0) return false;
    bool matched = regexec(&re, text.c_str(), 0, nullptr, 0) == 0;
    regfree(&re);
    return matched;
}

std::string normalizeTokenAccount(const std::string& account, const std::string& branchCode,
                                  const std::string& typeCode) {
    const size_t length = account.size();
    if (typeCode == "Z") {
        std::string padded = length < 8 ? std::string(8 - length, '0') + account : account;
        if (padded.size() < 12) padded = branchCode + padded;
        return padded;
    }
    if (typeCode == "0" || typeCode == "2") {
        if (length <= 9) return std::string(10 - length, '0') + account;
        return account;
    }
    if (typeCode == "1" && length == 9) {
        if (account.compare(0, 2, "88") == 0) return "B" + account;
        if (account.compare(0, 2, "89") == 0) return "D" + account;
        return "A" + account;
    }
    if (typeCode == "3" && length == 9) return "C" + account;
    return account;
}
