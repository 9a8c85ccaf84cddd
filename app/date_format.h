#pragma once
// Dates and times formatted by a pattern, in English or Russian (UTF-8 in
// and out). The pattern letters, in either case:
//   c       the short date and the long time (no time at midnight)
//   d dd    day 1..31, 01..31        ddd dddd  weekday short, long
//   ddddd   the short date           dddddd    the long date
//   m mm    month 1..12, 01..12 (minutes right after an hour)
//   mmm mmmm  month name short, long (after a day number: "15 марта")
//   yy yyyy year in 2 or 4 digits
//   h hh    hour (12-hour when the pattern has am/pm), n nn minute, s ss second
//   z zzz   milliseconds             t tt      the short, long time
//   am/pm a/p ampm   the 12-hour marks (ampm: the language's own)
//   /       the date separator       :         the time separator
//   "text" 'text'    as it stands; any other character as it stands.
// Insert Date Time and the settings dialog's sample use it.

#include <string>
#include <string_view>

namespace tarvex {

struct TDateTimeParts {
    int Year = 2000, Month = 1, Day = 1;  // Month 1..12
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int DayOfWeek = 6;  // 0 Sunday .. 6 Saturday
};

// The local date and time now.
TDateTimeParts CurrentDateTime();
std::string FormatDateTime(std::string_view Pattern, const TDateTimeParts& T, bool Russian);

}  // namespace tarvex
