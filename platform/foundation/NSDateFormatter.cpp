#include "platform/foundation/NSDateFormatter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

bool isPatternLetter(char c) {
    return c == 'y' || c == 'M' || c == 'd' || c == 'H' || c == 'm' || c == 's' || c == 'S';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string padded(long long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, v);
    return buf;
}

}  // namespace

void NSDateFormatter::setDateFormat(const std::string& fmt) {
    format_ = fmt;
    tokens_.clear();
    auto addLiteral = [&](const std::string& s) {
        if (s.empty()) return;
        if (!tokens_.empty() && tokens_.back().letter == 0)
            tokens_.back().text += s;
        else
            tokens_.push_back(Token{0, 0, s});
    };
    size_t i = 0;
    while (i < fmt.size()) {
        char c = fmt[i];
        if (c == '\'') {
            if (i + 1 < fmt.size() && fmt[i + 1] == '\'') {
                addLiteral("'");
                i += 2;
                continue;
            }
            std::string lit;
            ++i;
            while (i < fmt.size()) {
                if (fmt[i] == '\'') {
                    if (i + 1 < fmt.size() && fmt[i + 1] == '\'') {
                        lit += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                lit += fmt[i++];
            }
            addLiteral(lit);
        } else if (isPatternLetter(c)) {
            size_t j = i;
            while (j < fmt.size() && fmt[j] == c) ++j;
            tokens_.push_back(Token{c, static_cast<int>(j - i), {}});
            i = j;
        } else {
            addLiteral(std::string(1, c));
            ++i;
        }
    }
}

std::string NSDateFormatter::stringFromDate(const NSDate& date) const {
    double s = date.timeIntervalSince1970();
    if (!std::isfinite(s)) s = 0;
    double whole = std::floor(s);
    double fraction = s - whole;
    LocalDateParts p = localDateParts(NSDate::dateWithTimeIntervalSince1970(whole));
    std::string out;
    for (const Token& t : tokens_) {
        switch (t.letter) {
            case 0:
                out += t.text;
                break;
            case 'y':
                out += t.count == 2 ? padded(p.year % 100, 2) : padded(p.year, t.count);
                break;
            case 'M':
                out += padded(p.month, std::min(t.count, 2));
                break;
            case 'd':
                out += padded(p.day, std::min(t.count, 2));
                break;
            case 'H':
                out += padded(p.hour, std::min(t.count, 2));
                break;
            case 'm':
                out += padded(p.minute, std::min(t.count, 2));
                break;
            case 's':
                out += padded(p.second, std::min(t.count, 2));
                break;
            case 'S': {
                int digits = std::min(t.count, 9);
                long long scaled = static_cast<long long>(std::floor(fraction * std::pow(10.0, digits)));
                out += padded(scaled, digits);
                for (int k = digits; k < t.count; ++k) out += '0';
                break;
            }
            default:
                break;
        }
    }
    return out;
}

std::optional<NSDate> NSDateFormatter::dateFromString(const std::string& text) const {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    double fraction = 0;
    size_t pos = 0;
    // Reads between minDigits and maxDigits ASCII digits.
    auto readNumber = [&](int minDigits, int maxDigits, long long& value) {
        int n = 0;
        value = 0;
        while (n < maxDigits && pos < text.size() && isDigit(text[pos])) {
            value = value * 10 + (text[pos] - '0');
            ++pos;
            ++n;
        }
        return n >= minDigits;
    };
    for (const Token& t : tokens_) {
        if (t.letter == 0) {
            if (text.compare(pos, t.text.size(), t.text) != 0) return std::nullopt;
            pos += t.text.size();
            continue;
        }
        long long v = 0;
        if (t.letter == 'S') {
            int digits = std::min(t.count, 18);
            if (t.count > 18 || !readNumber(digits, digits, v)) return std::nullopt;
            fraction = static_cast<double>(v) / std::pow(10.0, digits);
            continue;
        }
        if (t.letter == 'y') {
            if (t.count == 1) {
                if (!readNumber(1, 4, v)) return std::nullopt;
                year = static_cast<int>(v);
            } else if (t.count == 2) {
                if (!readNumber(2, 2, v)) return std::nullopt;
                year = static_cast<int>(v < 50 ? 2000 + v : 1900 + v);
            } else {
                if (t.count > 4 || !readNumber(t.count, t.count, v)) return std::nullopt;
                year = static_cast<int>(v);
            }
            continue;
        }
        if (t.count > 2) return std::nullopt;
        if (!readNumber(t.count, 2, v)) return std::nullopt;
        switch (t.letter) {
            case 'M':
                month = static_cast<int>(v);
                break;
            case 'd':
                day = static_cast<int>(v);
                break;
            case 'H':
                hour = static_cast<int>(v);
                break;
            case 'm':
                minute = static_cast<int>(v);
                break;
            case 's':
                second = static_cast<int>(v);
                break;
            default:
                return std::nullopt;
        }
    }
    if (pos != text.size()) return std::nullopt;
    auto date = localDate(year, month, day, hour, minute, second);
    if (!date) return std::nullopt;
    return date->dateByAddingTimeInterval(fraction);
}
