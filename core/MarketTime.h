#pragma once
// The exchanges' clock. Shenzhen, Shanghai and Hong Kong keep China Standard
// Time (UTC+8, no daylight saving), and so does the server: trading hours,
// auto refresh and chart session windows are judged in it, whatever zone the
// phone is set to, so that a customer abroad sees live quotes while the
// markets are open. Dates the customer reads or picks stay in the phone's zone
// (localDateParts of platform/foundation/NSDate.h).
#include "platform/foundation/NSDate.h"

inline constexpr int kMarketUtcOffsetSeconds = 8 * 3600;

// The calendar fields of a date on the exchanges' clock.
LocalDateParts marketDateParts(const NSDate& date);
// The exchanges' minute of the day now (Clock): 0 to 1439.
int marketMinuteOfDayNow();
