#include "sim/SimClock.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
double systemNow() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

// Days from civil (Howard Hinnant's algorithm).
long daysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}
}  // namespace

SimClock::SimClock() : base_(systemNow()), realStart_(systemNow()) {}

double SimClock::now() const {
    std::lock_guard lock(mutex_);
    return frozen_ ? base_ : base_ + (systemNow() - realStart_);
}

bool SimClock::isValidTime(double t) { return std::isfinite(t) && t >= 0 && t <= kLatest; }

bool SimClock::setTime(double t) {
    if (!isValidTime(t)) return false;
    std::lock_guard lock(mutex_);
    base_ = t;
    realStart_ = systemNow();
    return true;
}

void SimClock::setFrozen(bool frozen) {
    std::lock_guard lock(mutex_);
    if (frozen == frozen_) return;
    if (frozen) base_ = base_ + (systemNow() - realStart_);
    realStart_ = systemNow();
    frozen_ = frozen;
}

bool SimClock::isFrozen() const {
    std::lock_guard lock(mutex_);
    return frozen_;
}

bool SimClock::advance(double seconds) {
    std::lock_guard lock(mutex_);
    double shown = frozen_ ? base_ : base_ + (systemNow() - realStart_);
    if (!std::isfinite(seconds) || !isValidTime(shown + seconds)) return false;
    base_ += seconds;
    return true;
}

int SimClock::Local::yyyymmdd() const { return year * 10000 + month * 100 + day; }
int SimClock::Local::minuteOfDay() const { return hour * 60 + minute; }

SimClock::Local SimClock::local(double t) {
    long long s = static_cast<long long>(std::floor(t)) + kUtcOffset;
    long days = static_cast<long>(s >= 0 ? s / 86400 : (s - 86399) / 86400);
    long rest = static_cast<long>(s - static_cast<long long>(days) * 86400);
    Local l{};
    civilFromDays(days, l.year, l.month, l.day);
    l.hour = static_cast<int>(rest / 3600);
    l.minute = static_cast<int>(rest % 3600 / 60);
    l.second = static_cast<int>(rest % 60);
    l.weekday = weekdayOfDay(days);
    return l;
}

long SimClock::dayNumber(int yyyymmdd) {
    return daysFromCivil(yyyymmdd / 10000, static_cast<unsigned>(yyyymmdd / 100 % 100),
                         static_cast<unsigned>(yyyymmdd % 100));
}

std::optional<int> SimClock::validDate(long long yyyymmdd) {
    if (yyyymmdd < 19900101 || yyyymmdd > 99991231) return std::nullopt;
    const int date = static_cast<int>(yyyymmdd);
    // A real day reads back as itself; 20240230 comes back as 20240301.
    if (dateOfDay(dayNumber(date)) != date) return std::nullopt;
    return date;
}

int SimClock::dateOfDay(long dayNumber) {
    int y, m, d;
    civilFromDays(dayNumber, y, m, d);
    return y * 10000 + m * 100 + d;
}

int SimClock::weekdayOfDay(long dayNumber) {
    long w = (dayNumber + 4) % 7;  // 1970-01-01 was a Thursday
    return static_cast<int>(w < 0 ? w + 7 : w);
}

double SimClock::fromLocal(int yyyymmdd, int minuteOfDay, int second) {
    return static_cast<double>(dayNumber(yyyymmdd)) * 86400 + minuteOfDay * 60 + second - kUtcOffset;
}

std::optional<double> SimClock::parse(const std::string& text) {
    int y, mo, d, h = 0, mi = 0, s = 0, used = 0;
    const int fields = std::sscanf(text.c_str(), "%4d-%2d-%2d%n %2d:%2d%n:%2d%n", &y, &mo, &d, &used, &h, &mi, &used,
                                   &s, &used);
    if (fields >= 3) {
        if (static_cast<size_t>(used) != text.size() || fields == 4) return std::nullopt;
        if (h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0) return std::nullopt;
        const auto date = validDate(y * 10000LL + mo * 100 + d);
        if (!date) return std::nullopt;
        const double t = fromLocal(*date, h * 60 + mi, s);
        return isValidTime(t) ? std::optional<double>(t) : std::nullopt;
    }
    char* end = nullptr;
    const double t = std::strtod(text.c_str(), &end);
    if (text.empty() || !end || *end != '\0' || !isValidTime(t)) return std::nullopt;
    return t;
}

std::optional<double> SimClock::parseSpan(const std::string& text) {
    if (text.size() < 3 || text[0] != '+') return std::nullopt;
    double unit = 0;
    switch (text.back()) {
        case 's':
            unit = 1;
            break;
        case 'm':
            unit = 60;
            break;
        case 'h':
            unit = 3600;
            break;
        case 'd':
            unit = 86400;
            break;
        default:
            return std::nullopt;
    }
    const std::string digits = text.substr(1, text.size() - 2);
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stod(digits) * unit;
}

std::string SimClock::format(double t) {
    Local l = local(t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", l.year, l.month, l.day, l.hour, l.minute, l.second);
    return buf;
}
