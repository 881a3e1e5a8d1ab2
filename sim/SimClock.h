#pragma once
// The simulated server's own clock (not the client's Clock): it runs with real
// time from a start instant, or stands still when frozen; tests set and
// advance it. The market's local time is China Standard Time (UTC+8, no
// daylight saving), whatever the process time zone. Its times lie between
// 1970 and the end of the year 9999 (local): a time outside, or one that is
// no number at all, is refused. Thread-safe.
#include <mutex>
#include <optional>
#include <string>

class SimClock {
public:
    SimClock();
    double now() const;  // seconds since 1970 UTC
    // The clock shows t now (and runs on unless frozen); false (unchanged) for no valid time.
    bool setTime(double t);
    void setFrozen(bool frozen);
    bool isFrozen() const;
    // false (unchanged) when the clock would leave the valid times.
    bool advance(double seconds);

    static constexpr double kLatest = 253402271999;  // 9999-12-31 23:59:59 local
    static bool isValidTime(double t);

    static constexpr int kUtcOffset = 8 * 3600;
    struct Local {
        int year, month, day, hour, minute, second, weekday;
        int yyyymmdd() const;
        int minuteOfDay() const;
    };
    static Local local(double t);
    // Seconds since 1970 of a local date and time.
    static double fromLocal(int yyyymmdd, int minuteOfDay, int second = 0);
    // Days since 1970 of a yyyymmdd date (local calendar), and back.
    static long dayNumber(int yyyymmdd);
    // A date a request names (yyyyMMdd) when it is a real day from 1990 to
    // 9999; nullopt for anything else (more digits, month 13, 30 February).
    static std::optional<int> validDate(long long yyyymmdd);
    static int dateOfDay(long dayNumber);
    static int weekdayOfDay(long dayNumber);  // 0 Sunday
    // "yyyy-MM-dd HH:mm:ss" of a time.
    static std::string format(double t);
    // A market time "yyyy-MM-dd HH:mm[:ss]" (a date alone: its midnight) or
    // seconds since 1970; nullopt for anything else or no valid time.
    static std::optional<double> parse(const std::string& text);
    // A span the clock moves by: "+30s", "+15m", "+2h", "+1d" (seconds);
    // nullopt for anything else.
    static std::optional<double> parseSpan(const std::string& text);

private:
    mutable std::mutex mutex_;
    double base_;  // clock reading at realStart_
    double realStart_;
    bool frozen_ = false;
};
