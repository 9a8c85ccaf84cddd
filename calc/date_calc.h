#pragma once
// The date and time calculator: operands are dates, times of day or
// durations, and numbers, joined by + - * / and taken strictly from left to
// right (no precedence, no brackets).
//
// Operands:
//   dates       dd.mm.yyyy, dd.mm.yy (00-49: 20yy, 50-99: 19yy), yyyy-mm-dd
//               (day and month may have one digit), today / сегодня
//   date-times  a date, blanks or "T", then hh:nn or hh:nn:ss; now / сейчас
//   times       h:nn or h:nn:ss (hours unbounded: a duration)
//   numbers     digits with "." or "," before the decimals; a sign in front
//               of a number or a time
// Operations:
//   date + number, number + date, date - number   the date moved by days
//   date + time, time + date, date - time         a date-time
//   date - date                                   days, also in years,
//                                                 months and days
//   time + time, time - time, time * number,
//   number * time, time / number                  a time
//   time / time, number op number                 a number
// A lone date gives its weekday; a lone time its hours as a number.
// Dates are written back as the first date was (dd.mm.yyyy or yyyy-mm-dd);
// numbers as "0.####" with the language's decimal separator.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/calc_locale.h"

namespace tarvex {

// A moment of the local clock; "today" and "now" are read from it.
struct TCalcClock {
    std::int32_t Year = 1970, Month = 1, Day = 1;
    std::int32_t Hour = 0, Minute = 0, Second = 0;
};
TCalcClock LocalClock();

struct TDateCalcResult {
    std::string Text;                 // Windows-1251
    std::int32_t ErrorCode = ceNone;
    std::int32_t ErrorPos = 0;        // 1-based in the text given
    bool Ok() const { return ErrorCode == ceNone; }
};

TDateCalcResult EvaluateDateText(std::string_view Text, TCalcLanguage Language, const TCalcClock& Now);

}  // namespace tarvex
