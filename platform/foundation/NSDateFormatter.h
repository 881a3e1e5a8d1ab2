#pragma once
// Dates as texts in the local time of the customer's zone (process TZ).
//
// Pattern letters: yyyy (year, 4 digits), yy (2 digits; parsed into 1950-2049),
// y (year, as many digits as it has), MM/M (month), dd/d (day), HH/H (hour
// 0-23), mm/m (minute), ss/s (second), S... (fraction of a second, as many
// digits as letters). Two letters mean two digits, one letter one or two.
// Other characters stand for themselves; text in single quotes is literal
// ('' is a quote). Other letters are taken literally.
//
// Parsing is strict: the whole text must match the pattern, with exactly the
// digits the pattern asks for and fields in range (a 31st of April is refused);
// fields the pattern lacks default to 2000-01-01 00:00:00 local time.
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/NSDate.h"

class NSDateFormatter {
public:
    NSDateFormatter() = default;
    explicit NSDateFormatter(const std::string& fmt) { setDateFormat(fmt); }

    void setDateFormat(const std::string& fmt);  // "yyyy-MM-dd HH:mm:ss", "yyyyMMdd", "HHmm", ...
    const std::string& dateFormat() const { return format_; }
    std::string stringFromDate(const NSDate&) const;
    std::optional<NSDate> dateFromString(const std::string&) const;  // nullopt when it does not match

private:
    struct Token {
        char letter = 0;  // 0: literal text
        int count = 0;
        std::string text;  // literal
    };
    std::string format_;
    std::vector<Token> tokens_;
};
