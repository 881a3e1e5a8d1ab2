#include "core/MarketTime.h"

LocalDateParts marketDateParts(const NSDate& date) { return datePartsAtUtcOffset(date, kMarketUtcOffsetSeconds); }

int marketMinuteOfDayNow() {
    LocalDateParts now = marketDateParts(NSDate::date());
    return now.hour * 60 + now.minute;
}
