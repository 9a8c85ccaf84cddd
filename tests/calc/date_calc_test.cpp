// The date and time calculator: the README's examples, the calendar
// arithmetic underneath, and its errors with their positions.

#include <gtest/gtest.h>

#include "calc/civil_date.h"
#include "calc/date_calc.h"
#include "platform/codepage.h"

namespace tarvex {
namespace {

const TCalcClock kClock{2024, 3, 15, 10, 30, 0};  // a Friday

std::string En(std::string_view Text) {
    const TDateCalcResult r = EvaluateDateText(Text, TCalcLanguage::English, kClock);
    EXPECT_TRUE(r.Ok()) << Text << ": error " << r.ErrorCode << " at " << r.ErrorPos;
    return r.Text;
}

// Russian results, compared as UTF-8.
std::string Ru(std::string_view Utf8) {
    const TDateCalcResult r = EvaluateDateText(Utf8ToCp1251(Utf8), TCalcLanguage::Russian, kClock);
    EXPECT_TRUE(r.Ok()) << Utf8 << ": error " << r.ErrorCode << " at " << r.ErrorPos;
    return Cp1251ToUtf8(r.Text);
}

void ExpectError(std::string_view Text, std::int32_t Code, std::int32_t Pos) {
    const TDateCalcResult r = EvaluateDateText(Text, TCalcLanguage::English, kClock);
    EXPECT_EQ(r.ErrorCode, Code) << Text;
    EXPECT_EQ(r.ErrorPos, Pos) << Text;
}

TEST(DateCalc, LoneDateGivesItsWeekday) {
    EXPECT_EQ(En("15.03.2024"), "Friday");
    EXPECT_EQ(En("2024-03-15"), "Friday");
    EXPECT_EQ(En("1.1.24"), "Monday");
    EXPECT_EQ(En("01.01.70"), "Thursday") << "two-digit years from 50 on are 19xx";
    EXPECT_EQ(En("01.01.0001"), "Monday");
    EXPECT_EQ(En("31.12.9999"), "Friday");
    EXPECT_EQ(En("15.03.2024 23:59"), "Friday");
    EXPECT_EQ(En("today"), "Friday");
    EXPECT_EQ(En("TODAY"), "Friday");
    EXPECT_EQ(Ru("сегодня"), "пятница");
    EXPECT_EQ(Ru("Сегодня"), "пятница");
    EXPECT_EQ(Ru("17.03.2024"), "воскресенье");
}

TEST(DateCalc, DatePlusOrMinusDays) {
    EXPECT_EQ(En("01.03.2024 + 30"), "31.03.2024");
    EXPECT_EQ(En("2024-03-01 + 30"), "2024-03-31") << "written back as the first date was";
    EXPECT_EQ(En("30 + 01.03.2024"), "31.03.2024");
    EXPECT_EQ(En("01.03.2024 - 1"), "29.02.2024");
    EXPECT_EQ(En("29.02.2024 + 365"), "28.02.2025");
    EXPECT_EQ(En("31.12.1999+1"), "01.01.2000");
    EXPECT_EQ(En("today + 7"), "22.03.2024");
    EXPECT_EQ(En("15.03.2024 + 0.5"), "15.03.2024 12:00") << "a part of a day is a time";
    EXPECT_EQ(En("01.03.2024 + 10 + 10 - 5"), "16.03.2024");
    EXPECT_EQ(En("01.03.2024 + 1,5"), "02.03.2024 12:00") << "both decimal marks";
}

TEST(DateCalc, DateMinusDateInDaysAndInWords) {
    EXPECT_EQ(En("31.03.2024 - 15.03.2024"), "16 (16 days)");
    EXPECT_EQ(En("15.03.2024 - 01.01.2000"), "8840 (24 years 2 months 14 days)");
    EXPECT_EQ(En("01.01.2025 - 01.01.2024"), "366 (1 year)");
    EXPECT_EQ(En("01.01.2024 - 01.01.2025"), "-366 (-1 year)");
    EXPECT_EQ(En("02.02.2024 - 01.01.2023"), "397 (1 year 1 month 1 day)");
    EXPECT_EQ(En("15.03.2024 - 15.03.2024"), "0 (0 days)");
    EXPECT_EQ(En("01.03.2024 - 31.01.2024"), "30 (1 month 1 day)") << "31 January + 1 month is 29 February";
    EXPECT_EQ(En("today - 2024-01-01"), "74 (2 months 14 days)");
    EXPECT_EQ(Ru("15.03.2024 - 01.01.2000"), "8840 (24 года 2 месяца 14 дней)");
    EXPECT_EQ(Ru("01.01.2025 - 01.01.2024"), "366 (1 год)");
    EXPECT_EQ(Ru("06.02.2035 - 01.01.2024"), "4054 (11 лет 1 месяц 5 дней)");
    EXPECT_EQ(Ru("22.06.2045 - 01.01.2024"), "7843 (21 год 5 месяцев 21 день)");
    EXPECT_EQ(Ru("03.01.2024 - 01.01.2024"), "2 (2 дня)");
    EXPECT_EQ(Ru("12.01.2024 - 01.01.2024"), "11 (11 дней)");
    // The number of days goes on as a number.
    EXPECT_EQ(En("31.03.2024 - 15.03.2024 + 4"), "20");
    EXPECT_EQ(En("31.03.2024 - 15.03.2024 / 7"), "2.2857");
}

TEST(DateCalc, DatesWithTimes) {
    EXPECT_EQ(En("15.03.2024 10:00 + 2:30"), "15.03.2024 12:30");
    EXPECT_EQ(En("2024-03-15T23:30 + 1:00"), "2024-03-16 00:30");
    EXPECT_EQ(En("15.03.2024 - 0:01"), "14.03.2024 23:59");
    EXPECT_EQ(En("15.03.2024 10:00:05 + 0:00:55"), "15.03.2024 10:01:00");
    EXPECT_EQ(En("15.03.2024 18:00 - 14.03.2024 06:30"), "1.4792 (1 day 11:30)");
    EXPECT_EQ(En("15.03.2024 06:00 - 14.03.2024 18:00"), "0.5 (12:00)");
    EXPECT_EQ(En("now"), "Friday");
    EXPECT_EQ(En("now + 1:00"), "15.03.2024 11:30");
    EXPECT_EQ(Ru("сейчас - 15.03.2024"), "0,4375 (10:30)");
}

TEST(DateCalc, TimesAndNumbers) {
    EXPECT_EQ(En("8:30 + 7:45 + 9:15"), "25:30");
    EXPECT_EQ(En("25:30"), "25.5") << "a lone time in hours";
    EXPECT_EQ(Ru("1:45"), "1,75");
    EXPECT_EQ(En("7:30 / 2:30"), "3");
    EXPECT_EQ(En("1:30 * 3"), "4:30");
    EXPECT_EQ(En("3 * 1:30"), "4:30");
    EXPECT_EQ(En("1:00 / 3"), "0:20");
    EXPECT_EQ(En("1:00 - 2:30"), "-1:30");
    EXPECT_EQ(En("-1:30 + 2:00"), "0:30");
    EXPECT_EQ(En("0:00:30 + 0:00:30"), "0:01:00") << "seconds once written stay shown";
    EXPECT_EQ(En("2 + 3 * 4"), "20") << "left to right, no precedence";
    EXPECT_EQ(En("10 / 4"), "2.5");
    EXPECT_EQ(Ru("10 / 4"), "2,5");
    EXPECT_EQ(En("1/3"), "0.3333");
    EXPECT_EQ(En("-5 - -3"), "-2");
    EXPECT_EQ(En("7"), "7");
}

TEST(DateCalc, Errors) {
    ExpectError("31.02.2024", ceWrongDate, 1);
    ExpectError("1 + 32.01.2024", ceWrongDate, 5);
    ExpectError("15.13.2024", ceWrongDate, 1);
    ExpectError("15.03.202", ceWrongDate, 1);
    ExpectError("2024-02-30", ceWrongDate, 1);
    ExpectError("01.01.0001 - 1", ceWrongDate, 12);
    ExpectError("31.12.9999 + 1", ceWrongDate, 12);
    ExpectError("01.01.2024 + 1e30", ceSyntax, 15);
    ExpectError("01.01.2024 + 99999999999", ceWrongDate, 12);
    ExpectError("10:60", ceWrongTime, 4);
    ExpectError("10:5", ceWrongTime, 4);
    ExpectError("15.03.2024 24:00", ceWrongTime, 12);
    ExpectError("1:00:75", ceWrongTime, 6);
    ExpectError("01.01.2024 + 01.01.2024", ceWrongOperation, 12);
    ExpectError("5 - 01.01.2024", ceWrongOperation, 3);
    ExpectError("01.01.2024 * 2", ceWrongOperation, 12);
    ExpectError("1:00 + 5", ceWrongOperation, 6);
    ExpectError("-01.01.2024", ceWrongOperation, 1);
    ExpectError("5 / 0", ceDivideByZero, 3);
    ExpectError("1:00 / 0:00", ceDivideByZero, 6);
    ExpectError("5 +", ceSyntax, 4);
    ExpectError("5 6", ceSyntax, 3);
    ExpectError("5 % 6", ceSyntax, 3);
    ExpectError("yesterday", ceSyntax, 1);
    ExpectError("", ceSyntax, 1);
}

TEST(CivilDate, DayNumbersRoundTrip) {
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(DayNumber({2000, 3, 1}), 11017);
    EXPECT_EQ(DayNumber({1969, 12, 31}), -1);
    for (std::int64_t n = DayNumber({1, 1, 1}); n <= DayNumber({9999, 12, 31}); n += 997) {
        const TCivilDate d = CivilFromDayNumber(n);
        ASSERT_TRUE(IsValidDate(d.Year, d.Month, d.Day)) << n;
        ASSERT_EQ(DayNumber(d), n);
    }
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_FALSE(IsValidDate(0, 1, 1));
    EXPECT_FALSE(IsValidDate(10000, 1, 1));
}

TEST(CivilDate, MonthsClampTheDay) {
    const TCivilDate d = AddMonths({2024, 1, 31}, 1);
    EXPECT_EQ(d.Month, 2);
    EXPECT_EQ(d.Day, 29);
    const TCivilDate back = AddMonths({2024, 3, 31}, -13);
    EXPECT_EQ(back.Year, 2023);
    EXPECT_EQ(back.Month, 2);
    EXPECT_EQ(back.Day, 28);
    const TYearsMonthsDays leap = CalendarDifference(DayNumber({2024, 2, 29}), DayNumber({2025, 2, 28}));
    EXPECT_EQ(leap.Years, 1);
    EXPECT_EQ(leap.Months, 0);
    EXPECT_EQ(leap.Days, 0);
}

}  // namespace
}  // namespace tarvex
