#pragma once
// A point in time (seconds since 1970 UTC) and the local calendar of the
// customer's zone (the process's TZ, read through localtime_r / mktime).
#include <compare>
#include <optional>

#include "platform/foundation/Value.h"

class NSDate {
public:
    NSDate() = default;    // 1970-01-01 00:00:00 UTC
    static NSDate date();  // Clock::now()
    static NSDate dateWithTimeIntervalSince1970(double s);
    static NSDate dateWithTimeIntervalSinceNow(double s);
    double timeIntervalSince1970() const { return seconds_; }
    double timeIntervalSinceNow() const;
    double timeIntervalSinceDate(const NSDate& other) const { return seconds_ - other.seconds_; }
    NSDate dateByAddingTimeInterval(double s) const { return NSDate(seconds_ + s); }

    // As a property-list value and back (nullopt when the value is no date).
    Value toValue() const { return Value(Value::Date{seconds_}); }
    static std::optional<NSDate> fromValue(const Value& v);

    auto operator<=>(const NSDate&) const = default;

private:
    explicit NSDate(double s) : seconds_(s) {}
    double seconds_ = 0;
};

// Calendar helpers: local calendar fields of a date.
struct LocalDateParts {
    int year, month, day, hour, minute, second, weekday;
    bool operator==(const LocalDateParts&) const = default;
};  // weekday 0 = Sunday
LocalDateParts localDateParts(const NSDate&);
// The calendar fields at a fixed offset from UTC (a zone without daylight
// saving, whatever the process's TZ).
LocalDateParts datePartsAtUtcOffset(const NSDate&, int offsetSeconds);

// The date of a local calendar time; nullopt when the fields are out of range
// (month 1-12, day within the month, hour 0-23, minute and second 0-59) or the
// local time does not exist.
std::optional<NSDate> localDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
