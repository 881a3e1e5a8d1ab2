#include "platform/foundation/NSDate.h"

#include <cmath>
#include <ctime>

#include "platform/foundation/Clock.h"

NSDate NSDate::date() { return NSDate(Clock::now()); }

NSDate NSDate::dateWithTimeIntervalSince1970(double s) { return NSDate(s); }

NSDate NSDate::dateWithTimeIntervalSinceNow(double s) { return NSDate(Clock::now() + s); }

double NSDate::timeIntervalSinceNow() const { return seconds_ - Clock::now(); }

std::optional<NSDate> NSDate::fromValue(const Value& v) {
    if (!v.isDate()) return std::nullopt;
    return NSDate(v.date().seconds);
}

namespace {
time_t wholeSeconds(const NSDate& date) {
    double s = date.timeIntervalSince1970();
    return std::isfinite(s) ? static_cast<time_t>(std::floor(s)) : 0;
}

LocalDateParts partsOf(const struct tm& tm) {
    return LocalDateParts{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_wday};
}

constexpr LocalDateParts kEpochParts{1970, 1, 1, 0, 0, 0, 4};
}  // namespace

LocalDateParts localDateParts(const NSDate& date) {
    time_t t = wholeSeconds(date);
    struct tm tm {};
    return localtime_r(&t, &tm) ? partsOf(tm) : kEpochParts;
}

LocalDateParts datePartsAtUtcOffset(const NSDate& date, int offsetSeconds) {
    time_t t = wholeSeconds(date) + offsetSeconds;
    struct tm tm {};
    return gmtime_r(&t, &tm) ? partsOf(tm) : kEpochParts;
}

namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

}  // namespace

std::optional<NSDate> localDate(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    struct tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    time_t t = mktime(&tm);
    // mktime moves a time that falls in a daylight-saving gap; such a time does not exist.
    if (tm.tm_year != year - 1900 || tm.tm_mon != month - 1 || tm.tm_mday != day || tm.tm_hour != hour ||
        tm.tm_min != minute)
        return std::nullopt;
    return NSDate::dateWithTimeIntervalSince1970(static_cast<double>(t));
}
