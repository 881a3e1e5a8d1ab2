#include <gtest/gtest.h>

#include <cmath>

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSDateFormatter.h"

// The test programs run in America/New_York (UTC-5, daylight saving UTC-4 from
// 2024-03-10 02:00).
namespace {

constexpr double kFriday = 1710509400.0;  // 2024-03-15 09:30:00 in New York (13:30 UTC)

std::string format(const std::string& pattern, double t) {
    return NSDateFormatter(pattern).stringFromDate(NSDate::dateWithTimeIntervalSince1970(t));
}

std::optional<double> parse(const std::string& pattern, const std::string& text) {
    auto d = NSDateFormatter(pattern).dateFromString(text);
    if (!d) return std::nullopt;
    return d->timeIntervalSince1970();
}

}  // namespace

TEST(DateFormatter, FormatsInTheLocalZone) {
    EXPECT_EQ(format("yyyy-MM-dd HH:mm:ss", 0), "1969-12-31 19:00:00");
    EXPECT_EQ(format("yyyy-MM-dd HH:mm:ss", kFriday), "2024-03-15 09:30:00");
    EXPECT_EQ(format("yyyyMMdd", kFriday), "20240315");
    EXPECT_EQ(format("yyyy-MM-dd", kFriday), "2024-03-15");
    EXPECT_EQ(format("HHmm", kFriday), "0930");
    EXPECT_EQ(format("HH:mm:ss", kFriday + 5), "09:30:05");
    EXPECT_EQ(format("HH:mm", kFriday), "09:30");
    EXPECT_EQ(format("MM-dd", kFriday), "03-15");
    EXPECT_EQ(format("M/d H:m", kFriday), "3/15 9:30");
    EXPECT_EQ(format("yy", kFriday), "24");
    EXPECT_EQ(format("HH:mm:ss.SSS", kFriday + 1.2345), "09:30:01.234");
    EXPECT_EQ(format("yyyy'年'MM'月'dd'日' 'T' ''", kFriday), "2024年03月15日 T '");
    // Early on the 16th in UTC is still the 15th in New York.
    EXPECT_EQ(format("yyyyMMdd", 1710561599.0), "20240315");
}

TEST(DateFormatter, ParsesWhatItFormats) {
    for (const char* pattern : {"yyyy-MM-dd HH:mm:ss", "yyyyMMddHHmmss", "yyyy-MM-dd HH:mm:ss.SSS"}) {
        const bool millis = std::string(pattern).find('S') != std::string::npos;
        for (double t : {kFriday, kFriday + 86399.5, 946684800.0, 4102444799.0}) {
            auto back = parse(pattern, format(pattern, t));
            ASSERT_TRUE(back) << pattern << " " << t;
            EXPECT_DOUBLE_EQ(*back, millis ? t : std::floor(t)) << pattern;
        }
    }
    EXPECT_EQ(parse("yyyyMMdd", "20240315"), kFriday - 9.5 * 3600) << "midnight local time";
}

TEST(DateFormatter, MissingFieldsDefaultToTheFirstOf2000) {
    EXPECT_EQ(format("yyyy-MM-dd HH:mm:ss", *parse("HHmm", "0930")), "2000-01-01 09:30:00");
    EXPECT_EQ(format("yyyy-MM-dd HH:mm:ss", *parse("MM-dd", "12-31")), "2000-12-31 00:00:00");
}

TEST(DateFormatter, RefusesTextThatDoesNotMatch) {
    const char* full = "yyyy-MM-dd HH:mm:ss";
    for (const char* bad :
         {"", "2024-03-15", "2024-03-15 09:30:00 ", " 2024-03-15 09:30:00", "2024-3-15 09:30:00", "2024/03/15 09:30:00",
          "2024-03-15 09:30:0x", "２０２４-03-15 09:30:00", "2024-03-15T09:30:00", "-024-03-15 09:30:00"}) {
        EXPECT_FALSE(parse(full, bad)) << '"' << bad << '"';
    }
}

TEST(DateFormatter, RefusesFieldsOutOfRange) {
    EXPECT_FALSE(parse("yyyyMMdd", "20241301"));
    EXPECT_FALSE(parse("yyyyMMdd", "20240001"));
    EXPECT_FALSE(parse("yyyyMMdd", "20240431"));
    EXPECT_FALSE(parse("yyyyMMdd", "20230229"));
    EXPECT_TRUE(parse("yyyyMMdd", "20240229"));
    EXPECT_FALSE(parse("yyyyMMdd", "20240300"));
    EXPECT_FALSE(parse("HHmm", "2400"));
    EXPECT_FALSE(parse("HHmm", "0960"));
    EXPECT_FALSE(parse("HH:mm:ss", "09:30:60"));
}

TEST(DateFormatter, ShortFieldsTakeOneOrTwoDigitsAndTwoDigitYearsAWindow) {
    EXPECT_EQ(format("yyyy-MM-dd", *parse("y/M/d", "2024/3/5")), "2024-03-05");
    EXPECT_EQ(format("yyyy-MM-dd", *parse("y/M/d", "2024/12/25")), "2024-12-25");
    EXPECT_EQ(format("yyyy", *parse("yy", "24")), "2024");
    EXPECT_EQ(format("yyyy", *parse("yy", "99")), "1999");
}

TEST(LocalDateParts, GivesTheLocalCalendarFields) {
    LocalDateParts p = localDateParts(NSDate::dateWithTimeIntervalSince1970(kFriday + 45.9));
    EXPECT_EQ(p, (LocalDateParts{2024, 3, 15, 9, 30, 45, 5}));  // a Friday
    EXPECT_EQ(localDateParts(NSDate::dateWithTimeIntervalSince1970(kFriday + 2 * 86400)).weekday, 0);
}

TEST(LocalDateParts, LocalDateBuildsTheSameInstant) {
    auto d = localDate(2024, 3, 15, 9, 30, 0);
    ASSERT_TRUE(d);
    EXPECT_DOUBLE_EQ(d->timeIntervalSince1970(), kFriday);
    EXPECT_FALSE(localDate(2024, 2, 30));
    EXPECT_FALSE(localDate(2024, 1, 1, 24));
    EXPECT_FALSE(localDate(2024, 3, 10, 2, 30)) << "skipped by the change to daylight saving";
    EXPECT_TRUE(localDate(2024, 3, 10, 3, 0));
}

TEST(LocalDateParts, AFixedOffsetIgnoresTheProcessZone) {
    // 2024-03-15 09:30 in New York is 21:30 in Shanghai (UTC+8).
    EXPECT_EQ(datePartsAtUtcOffset(NSDate::dateWithTimeIntervalSince1970(kFriday + 45.9), 8 * 3600),
              (LocalDateParts{2024, 3, 15, 21, 30, 45, 5}));
    // Across midnight and the year: 2023-12-31 20:00 UTC is 2024-01-01 04:00 at UTC+8, a Monday.
    EXPECT_EQ(datePartsAtUtcOffset(NSDate::dateWithTimeIntervalSince1970(1704052800), 8 * 3600),
              (LocalDateParts{2024, 1, 1, 4, 0, 0, 1}));
}

TEST(NSDateTest, FollowsTheInjectedClock) {
    Clock::freezeAt(kFriday);
    EXPECT_DOUBLE_EQ(NSDate::date().timeIntervalSince1970(), kFriday);
    NSDate later = NSDate::date().dateByAddingTimeInterval(90);
    EXPECT_DOUBLE_EQ(later.timeIntervalSinceNow(), 90);
    EXPECT_LT(NSDate::date(), later);
    EXPECT_DOUBLE_EQ(later.timeIntervalSinceDate(NSDate::date()), 90);
    EXPECT_EQ(NSDate::fromValue(later.toValue()), later);
    EXPECT_FALSE(NSDate::fromValue(Value(5)));
    Clock::useSystemTime();
}
