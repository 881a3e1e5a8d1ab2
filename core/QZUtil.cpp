#include "core/QZUtil.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/MarketTime.h"
#include "core/RequestText.h"
#include "core/VTAParamter.h"
#include "platform/foundation/NSDate.h"
#include "platform/foundation/TextHelpers.h"

namespace {

Value configValue(const std::string& key) {
    auto config = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ");
    if (!config) return Value();
    auto it = config->find(key);
    return it == config->end() ? Value() : it->second;
}

// A text of 1 to 9 ASCII digits, read as an integer.
std::optional<int> readNumber(const std::string& s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "HHMM" (or "HMM") as a minute of the day.
std::optional<int> readHHMM(const std::string& s) {
    if (s.size() < 3 || s.size() > 4) return std::nullopt;
    auto n = readNumber(s);
    if (!n) return std::nullopt;
    int hours = *n / 100, minutes = *n % 100;
    if (hours > 23 || minutes > 59) return std::nullopt;
    return hours * 60 + minutes;
}

// The day of a moment on the exchanges' calendar as yyyymmdd (it keeps no
// daylight saving, so a day back is always 86400 seconds back).
int marketDayNumber(const NSDate& date) {
    LocalDateParts parts = marketDateParts(date);
    return parts.year * 10000 + parts.month * 100 + parts.day;
}

}  // namespace

std::vector<QZUtil::Window> QZUtil::tradeWindowsFromText(const std::string& interval) {
    std::vector<Window> windows;
    for (const std::string& part : splitText(interval, ",")) {
        std::vector<std::string> bounds = splitText(trimmedText(part), "-");
        if (bounds.size() != 2) continue;
        auto start = readHHMM(trimmedText(bounds[0]));
        auto end = readHHMM(trimmedText(bounds[1]));
        if (!start || !end || *start > *end) continue;
        windows.emplace_back(*start, *end);
    }
    return windows;
}

std::vector<QZUtil::Window> QZUtil::tradeWindows() {
    Value interval = configValue("interval");
    if (interval.isString()) {
        auto windows = tradeWindowsFromText(interval.string());
        if (!windows.empty()) return windows;
    }
    return {{9 * 60 + 30, 11 * 60 + 30}, {13 * 60, 15 * 60}};
}

bool QZUtil::isTradeTimeAtMinute(int minuteOfDay) {
    for (const Window& w : tradeWindows())
        if (minuteOfDay >= w.first && minuteOfDay <= w.second) return true;
    return false;
}

bool QZUtil::isTradeTimeNow() { return isTradeTimeAtMinute(marketMinuteOfDayNow()); }

std::vector<int> QZUtil::tradeTimeOnsetArrayOfHK() {
    const std::vector<int> fallback{600, 750, 870, 960};
    Value hk = configValue("HKtime");
    if (!hk.isString()) return fallback;
    std::vector<std::string> parts = splitText(hk.string(), ",");
    if (parts.size() != 4) return fallback;
    std::vector<int> bounds;
    for (const std::string& p : parts) {
        auto n = readNumber(trimmedText(p));
        if (!n || *n > 1439 || (!bounds.empty() && *n < bounds.back())) return fallback;
        bounds.push_back(*n);
    }
    return bounds;
}

int QZUtil::integerFromSignStr(const std::optional<std::string>& text) {
    if (!text || text->empty()) return 0;
    const std::string& s = *text;
    if (s[0] == '-') return -1;
    if (s[0] < '0' || s[0] > '9') {
        if (s.find("买") != std::string::npos) return 1;
        if (s.find("卖") != std::string::npos) return -1;
        return 0;
    }
    for (char c : s)
        if (c != '0' && c != '.') return 1;
    return 0;
}

std::string QZUtil::stringTimeFromIntTime(int minutes) {
    if (minutes < 0) minutes = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d", minutes / 60, minutes % 60);
    return buf;
}

int QZUtil::compareWithFloatString(const std::string& first, const std::string& another) {
    double a = std::strtod(first.c_str(), nullptr);
    double b = std::strtod(another.c_str(), nullptr);
    if (a > b) return 1;
    if (a < b) return -1;
    return 0;
}

std::optional<std::string> QZUtil::dayDescFromDate(const std::optional<std::string>& date,
                                                   const std::optional<std::string>& week) {
    if (!date || date->empty() || !week || week->empty()) return std::nullopt;
    int y = 0, m = 0, d = 0;
    char tail = 0;
    if (std::sscanf(date->c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return *date;
    const int day = y * 10000 + m * 100 + d;
    const NSDate now = NSDate::date();
    if (day >= marketDayNumber(now)) return std::string("今天");
    if (day == marketDayNumber(now.dateByAddingTimeInterval(-86400))) return std::string("昨天");
    return *date;
}

std::optional<std::string> QZUtil::weekdayDescFromIntweek(int week) {
    static const char* const names[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    if (week < 0 || week > 6) return std::nullopt;
    return std::string(names[week]);
}

std::optional<std::string> QZUtil::timeWithoutSecond(const std::optional<std::string>& time) {
    if (!time) return std::nullopt;
    std::vector<std::string> parts = splitText(*time, ":");
    if (parts.size() != 3) return *time;
    return parts[0] + ":" + parts[1];
}

std::optional<std::string> QZUtil::timeWithoutMillisecond(const std::optional<std::string>& time) {
    if (!time) return std::nullopt;
    size_t point = time->find('.');
    if (point == std::string::npos) return *time;
    return time->substr(0, point);
}

int QZUtil::maxMessageExpressAmount() {
    std::vector<std::string> parts = splitText(configValue("maxmsg").toString(), "^");
    long amount = parts.size() >= 2 ? std::strtol(trimmedText(parts[1]).c_str(), nullptr, 10) : 0;
    if (amount < 1 || amount > 1000000) return amount < 1 ? 30 : 1000000;
    return static_cast<int>(amount);
}

int QZUtil::intValueFromDate(const std::optional<NSDate>& date) {
    if (!date) return 0;
    LocalDateParts parts = localDateParts(*date);
    return parts.year * 10000 + parts.month * 100 + parts.day;
}

int QZUtil::compareSystemVersion(const std::string& a, const std::string& b) {
    std::vector<std::string> pa = splitText(a, "."), pb = splitText(b, ".");
    size_t n = std::max(pa.size(), pb.size());
    for (size_t i = 0; i < n; ++i) {
        long x = i < pa.size() ? std::strtol(pa[i].c_str(), nullptr, 10) : 0;
        long y = i < pb.size() ? std::strtol(pb[i].c_str(), nullptr, 10) : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}
