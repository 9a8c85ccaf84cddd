#include "calc/civil_date.h"

namespace tarvex {

bool IsLeapYear(std::int32_t Y) { return (Y % 4 == 0 && Y % 100 != 0) || Y % 400 == 0; }

std::int32_t DaysInMonth(std::int32_t Y, std::int32_t M) {
    static constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return M == 2 && IsLeapYear(Y) ? 29 : kDays[M - 1];
}

bool IsValidDate(std::int32_t Y, std::int32_t M, std::int32_t D) {
    return Y >= kMinCalcYear && Y <= kMaxCalcYear && M >= 1 && M <= 12 && D >= 1 && D <= DaysInMonth(Y, M);
}

// Day numbers through 400-year eras of 146097 days, counted from 1 March so
// that the leap day ends the year.
std::int64_t DayNumber(const TCivilDate& D) {
    const std::int64_t y = D.Year - (D.Month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (D.Month + (D.Month > 2 ? -3 : 9)) + 2) / 5 + D.Day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

TCivilDate CivilFromDayNumber(std::int64_t N) {
    N += 719468;
    const std::int64_t era = (N >= 0 ? N : N - 146096) / 146097;
    const std::int64_t doe = N - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    TCivilDate r;
    r.Day = static_cast<std::int32_t>(doy - (153 * mp + 2) / 5 + 1);
    r.Month = static_cast<std::int32_t>(mp < 10 ? mp + 3 : mp - 9);
    r.Year = static_cast<std::int32_t>(yoe + era * 400 + (r.Month <= 2 ? 1 : 0));
    return r;
}

std::int32_t Weekday(std::int64_t N) {
    // 1970-01-01 was a Thursday.
    std::int64_t w = (N + 3) % 7;
    if (w < 0) w += 7;
    return static_cast<std::int32_t>(w);
}

TCivilDate AddMonths(const TCivilDate& D, std::int64_t Months) {
    std::int64_t total = static_cast<std::int64_t>(D.Year) * 12 + (D.Month - 1) + Months;
    TCivilDate r;
    std::int64_t y = total / 12, m = total % 12;
    if (m < 0) {
        m += 12;
        --y;
    }
    r.Year = static_cast<std::int32_t>(y);
    r.Month = static_cast<std::int32_t>(m + 1);
    const std::int32_t last = DaysInMonth(r.Year, r.Month);
    r.Day = D.Day > last ? last : D.Day;
    return r;
}

TYearsMonthsDays CalendarDifference(std::int64_t FromDay, std::int64_t ToDay) {
    const TCivilDate a = CivilFromDayNumber(FromDay), b = CivilFromDayNumber(ToDay);
    std::int64_t months = (static_cast<std::int64_t>(b.Year) - a.Year) * 12 + (b.Month - a.Month);
    if (months > 0 && DayNumber(AddMonths(a, months)) > ToDay) --months;
    TYearsMonthsDays r;
    r.Years = months / 12;
    r.Months = months % 12;
    r.Days = ToDay - DayNumber(AddMonths(a, months));
    return r;
}

}  // namespace tarvex
