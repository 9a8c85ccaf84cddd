#pragma once
// Dates of the proleptic Gregorian calendar as day numbers (0 = 1970-01-01),
// for the date calculator.

#include <cstdint>

namespace tarvex {

struct TCivilDate {
    std::int32_t Year = 1970;
    std::int32_t Month = 1;  // 1..12
    std::int32_t Day = 1;    // 1..DaysInMonth
};

inline constexpr std::int32_t kMinCalcYear = 1;
inline constexpr std::int32_t kMaxCalcYear = 9999;

bool IsLeapYear(std::int32_t Y);
std::int32_t DaysInMonth(std::int32_t Y, std::int32_t M);
bool IsValidDate(std::int32_t Y, std::int32_t M, std::int32_t D);
std::int64_t DayNumber(const TCivilDate& D);
TCivilDate CivilFromDayNumber(std::int64_t N);
// 0 = Monday .. 6 = Sunday.
std::int32_t Weekday(std::int64_t DayNumber);
// The date Months calendar months later (or earlier), its day clamped to the
// length of the month reached (31.01 + 1 month = 28.02 or 29.02).
TCivilDate AddMonths(const TCivilDate& D, std::int64_t Months);

// The whole years, months and days from From to To (From <= To): the most
// calendar months that fit, then the days left.
struct TYearsMonthsDays {
    std::int64_t Years = 0;
    std::int64_t Months = 0;
    std::int64_t Days = 0;
};
TYearsMonthsDays CalendarDifference(std::int64_t FromDay, std::int64_t ToDay);

}  // namespace tarvex
