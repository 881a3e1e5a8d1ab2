#pragma once
// Class operations on dates, trading hours and limits.
//
// Trading hours come from the server configuration "commomdSettingForHQ" of
// VTAParamter, in minutes of the day on the exchanges' clock (China Standard
// Time whatever the phone's zone: core/MarketTime.h):
//   "interval": the trading windows of the Shenzhen and Shanghai markets as
//               "HHMM-HHMM" pairs joined by ",", e.g. "0930-1130,1300-1500"
//               (hours may have one digit: "930-1130"; blanks around parts are
//               ignored). A minute lies in a window when start <= minute <= end.
//               Parts that do not read as a window are skipped; when none reads
//               (or the key is absent) the windows are 09:30-11:30 and 13:00-15:00.
//   "HKtime":   the Hong Kong sessions as four minute-of-day numbers joined by
//               ",": morning open, morning close, afternoon open, afternoon close,
//               e.g. "600,750,870,960". Anything else (not four ascending numbers
//               within 0..1439) gives the default 600, 750, 870, 960.
//   "maxmsg":   "a^b", b the most pushed messages kept.
#include <optional>
#include <string>
#include <utility>
#include <vector>

class NSDate;

class QZUtil {
public:
    using Window = std::pair<int, int>;  // minutes of the day, both inclusive

    // Whether the exchanges' current minute (Clock, core/MarketTime.h) lies in a window of "interval".
    static bool isTradeTimeNow();
    static bool isTradeTimeAtMinute(int minuteOfDay);
    static std::vector<Window> tradeWindows();  // of the configuration, or the default
    static std::vector<Window> tradeWindowsFromText(const std::string& interval);  // empty when none reads

    // The four Hong Kong session bounds (minutes of the day on the exchanges' clock).
    static std::vector<int> tradeTimeOnsetArrayOfHK();

    // 0 for nothing or an empty text; -1 when the first character is "-";
    // when the first character is not a digit: 1 when the text holds "买",
    // else -1 when it holds "卖", else 0; when it is a digit: 1 when any
    // character is other than "0" and ".", else 0.
    static int integerFromSignStr(const std::optional<std::string>& text);

    // Minutes of the day as "H:MM" (570 -> "9:30").
    static std::string stringTimeFromIntTime(int minutes);

    // Compares two decimal texts as numbers: 1 when the first is larger (shown
    // red), -1 when smaller (green), 0 when equal (white).
    static int compareWithFloatString(const std::string& first, const std::string& another);

    // "今天" when the date ("yyyy-MM-dd") is today or later, "昨天" for
    // yesterday, otherwise the date text itself; nullopt when either argument
    // is missing or empty. Today is judged on the exchanges' calendar (China
    // Standard Time), the one the server dates its messages in, whatever the
    // phone's zone: a message of the server's today is "今天" in New York at
    // night as in Auckland after midnight.
    static std::optional<std::string> dayDescFromDate(const std::optional<std::string>& date,
                                                      const std::optional<std::string>& week);
    // "星期日" ... "星期六" for 0 to 6; nullopt otherwise.
    static std::optional<std::string> weekdayDescFromIntweek(int week);
    // "HH:mm" of a text of exactly three ":"-separated parts; any other text
    // is returned unchanged; nullopt for nothing.
    static std::optional<std::string> timeWithoutSecond(const std::optional<std::string>& time);
    // The part before the first "."; a text without "." is returned unchanged;
    // nullopt for nothing.
    static std::optional<std::string> timeWithoutMillisecond(const std::optional<std::string>& time);
    // The second "^" part of "maxmsg" as an integer; 30 when that is below 1 or
    // missing; at most 1000000 (a bad configuration cannot ask for more).
    static int maxMessageExpressAmount();
    // The local calendar day of the date as yyyymmdd; 0 for no date.
    static int intValueFromDate(const std::optional<NSDate>& date);

    // Numeric comparison of dotted version texts by component ("4.10" > "4.9";
    // missing components count 0: "4" == "4.0"): -1, 0 or 1.
    static int compareSystemVersion(const std::string& a, const std::string& b);

    // Own-stock operations. They live with the database layer and are
    // implemented in core/storage/QZUtilPortfolio.cpp (library rd_storage).
    //
    // Code, a point and market id of every own-stock row, joined by "|".
    static std::string portfolioListFromDatabase();
    // YES when "IsFirstInPortfolio" or "IsPortfolioChanged" is set, or more
    // than the radar interval (10 minutes) has passed since
    // "LastRequestPortfolioInfoRadarTime".
    static bool isNeedRequestPortfolioInfoRadar();
    // Clears "IsFirstInPortfolio" and "IsPortfolioChanged" and stores now as
    // "LastRequestPortfolioInfoRadarTime".
    static void markPortfolioInfoRadarFlagToInit();
};
