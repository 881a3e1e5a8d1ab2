#pragma once
// The simulated server's own clock (not the client's Clock): it runs with real
// time from a start instant, or stands still when frozen; tests set and
// advance it. The market's local time is China Standard Time (UTC+8, no
// daylight saving), whatever the process time zone. Thread-safe.
#include <mutex>
#include <string>

class SimClock {
public:
    SimClock();
    double now() const;      // seconds since 1970 UTC
    void setTime(double t);  // the clock shows t now (and runs on unless frozen)
    void setFrozen(bool frozen);
    bool isFrozen() const;
    void advance(double seconds);

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
    static int dateOfDay(long dayNumber);
    static int weekdayOfDay(long dayNumber);  // 0 Sunday
    // "yyyy-MM-dd HH:mm:ss" of a time.
    static std::string format(double t);

private:
    mutable std::mutex mutex_;
    double base_;  // clock reading at realStart_
    double realStart_;
    bool frozen_ = false;
};
