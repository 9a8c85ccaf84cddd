#include "app/date_format.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tarvex {

namespace {

struct TDateLocale {
    const char* ShortDate;
    const char* LongDate;
    const char* ShortTime;
    const char* LongTime;
    const char* DateSep;
    const char* Am;
    const char* Pm;
    const char* Months[12];
    const char* MonthsOf[12];  // after a day number
    const char* ShortMonths[12];
    const char* Days[7];
    const char* ShortDays[7];
};

constexpr TDateLocale kEnglish = {
    "m/d/yyyy", "dddd, mmmm d, yyyy", "h:nn ampm", "h:nn:ss ampm", "/", "AM", "PM",
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
     "December"},
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
     "December"},
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
    {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"},
};

constexpr TDateLocale kRussian = {
    "dd.mm.yyyy", "d mmmm yyyy 'г.'", "h:nn", "h:nn:ss", ".", "", "",
    {"Январь", "Февраль", "Март", "Апрель", "Май", "Июнь", "Июль", "Август", "Сентябрь", "Октябрь", "Ноябрь",
     "Декабрь"},
    {"января", "февраля", "марта", "апреля", "мая", "июня", "июля", "августа", "сентября", "октября", "ноября",
     "декабря"},
    {"янв", "фев", "мар", "апр", "май", "июн", "июл", "авг", "сен", "окт", "ноя", "дек"},
    {"воскресенье", "понедельник", "вторник", "среда", "четверг", "пятница", "суббота"},
    {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"},
};

char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C; }

bool StartsWithNoCase(std::string_view S, std::size_t At, std::string_view Word) {
    if (At + Word.size() > S.size()) return false;
    for (std::size_t i = 0; i < Word.size(); ++i)
        if (Lower(S[At + i]) != Word[i]) return false;
    return true;
}

// Whether the pattern shows 12-hour marks (outside quoted text).
bool HasAmPm(std::string_view P) {
    for (std::size_t i = 0; i < P.size(); ++i) {
        if (P[i] == '"' || P[i] == '\'') {
            const std::size_t close = P.find(P[i], i + 1);
            if (close == std::string_view::npos) return false;
            i = close;
            continue;
        }
        if (StartsWithNoCase(P, i, "am/pm") || StartsWithNoCase(P, i, "a/p") || StartsWithNoCase(P, i, "ampm"))
            return true;
    }
    return false;
}

class TFormatter {
public:
    TFormatter(const TDateTimeParts& T, const TDateLocale& L) : FT(T), FL(L) {}

    void Run(std::string_view P, int Depth) {
        // The locale's own 12-hour marks may be empty: then the clock stays 24-hour.
        const bool twelve = HasAmPm(P) && (*FL.Am || !OnlyLocaleMarks(P));
        std::size_t i = 0;
        while (i < P.size()) {
            const char c = Lower(P[i]);
            const std::size_t run = RunLength(P, i);
            if (c == '"' || c == '\'') {
                const std::size_t close = P.find(P[i], i + 1);
                const std::size_t end = close == std::string_view::npos ? P.size() : close;
                Out.append(P.substr(i + 1, end - i - 1));
                i = end == P.size() ? end : end + 1;
                continue;
            }
            switch (c) {
                case 'c':
                    Nested(FL.ShortDate, Depth);
                    if (FT.Hour || FT.Minute || FT.Second) {
                        Out += ' ';
                        Nested(FL.LongTime, Depth);
                    }
                    i += 1;
                    break;
                case 'd':
                    if (run >= 6) {
                        Nested(FL.LongDate, Depth);
                    } else if (run == 5) {
                        Nested(FL.ShortDate, Depth);
                    } else if (run >= 3) {
                        Out += run == 3 ? FL.ShortDays[FT.DayOfWeek % 7] : FL.Days[FT.DayOfWeek % 7];
                        Mark(false, false);
                    } else {
                        Number(FT.Day, run);
                        Mark(false, true);
                    }
                    i += std::min<std::size_t>(run, 6);
                    break;
                case 'm':
                    if (FHour && run <= 2) {
                        Number(FT.Minute, run);
                        Mark(false, false);
                    } else if (run >= 3) {
                        const int m = (FT.Month + 11) % 12;
                        Out += run == 3 ? FL.ShortMonths[m] : FDay ? FL.MonthsOf[m] : FL.Months[m];
                        Mark(false, false);
                    } else {
                        Number(FT.Month, run);
                        Mark(false, false);
                    }
                    i += std::min<std::size_t>(run, 4);
                    break;
                case 'y':
                    if (run <= 2) {
                        Number(FT.Year % 100, 2);
                    } else {
                        Number(FT.Year, 4);
                    }
                    Mark(false, false);
                    i += run <= 2 ? run : std::min<std::size_t>(run, 4);
                    break;
                case 'h': {
                    int h = FT.Hour;
                    if (twelve) h = h % 12 == 0 ? 12 : h % 12;
                    Number(h, std::min<std::size_t>(run, 2));
                    Mark(true, false);
                    i += std::min<std::size_t>(run, 2);
                    break;
                }
                case 'n':
                    Number(FT.Minute, std::min<std::size_t>(run, 2));
                    Mark(false, false);
                    i += std::min<std::size_t>(run, 2);
                    break;
                case 's':
                    Number(FT.Second, std::min<std::size_t>(run, 2));
                    Mark(false, false);
                    i += std::min<std::size_t>(run, 2);
                    break;
                case 'z':
                    Number(FT.Millisecond, run >= 3 ? 3 : 1);
                    Mark(false, false);
                    i += run >= 3 ? 3 : 1;
                    break;
                case 't':
                    Nested(run >= 2 ? FL.LongTime : FL.ShortTime, Depth);
                    i += std::min<std::size_t>(run, 2);
                    break;
                case 'a':
                    i += AmPm(P, i);
                    break;
                case '/':
                    Out += FL.DateSep;
                    i += 1;
                    break;
                default:
                    Out += P[i];
                    i += 1;
                    break;
            }
        }
    }

    std::string Out;

private:
    static std::size_t RunLength(std::string_view P, std::size_t I) {
        std::size_t n = 1;
        while (I + n < P.size() && Lower(P[I + n]) == Lower(P[I])) ++n;
        return n;
    }
    // "ampm" alone stands for the locale's marks; they may be empty.
    static bool OnlyLocaleMarks(std::string_view P) {
        for (std::size_t i = 0; i < P.size(); ++i)
            if (StartsWithNoCase(P, i, "am/pm") || StartsWithNoCase(P, i, "a/p")) return false;
        return true;
    }
    void Nested(std::string_view P, int Depth) {
        if (Depth < 3) Run(P, Depth + 1);
    }
    void Number(int V, std::size_t Digits) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*d", static_cast<int>(Digits), V);
        Out += buf;
    }
    // What the last field was: an hour makes "m" minutes, a day number puts
    // a month name in its "of" form.
    void Mark(bool Hour, bool Day) {
        FHour = Hour;
        FDay = Day;
    }
    // The 12-hour marks at I; returns the characters used.
    std::size_t AmPm(std::string_view P, std::size_t I) {
        const bool pm = FT.Hour >= 12;
        if (StartsWithNoCase(P, I, "am/pm")) {
            // The case the pattern writes the mark in.
            const std::size_t at = pm ? I + 3 : I;
            Out.append(P.substr(at, 2));
            return 5;
        }
        if (StartsWithNoCase(P, I, "a/p")) {
            Out += P[pm ? I + 2 : I];
            return 3;
        }
        if (StartsWithNoCase(P, I, "ampm")) {
            Out += pm ? FL.Pm : FL.Am;
            return 4;
        }
        Out += P[I];
        return 1;
    }

    const TDateTimeParts& FT;
    const TDateLocale& FL;
    bool FHour = false, FDay = false;
};

}  // namespace

TDateTimeParts CurrentDateTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    TDateTimeParts p;
    p.Year = tm.tm_year + 1900;
    p.Month = tm.tm_mon + 1;
    p.Day = tm.tm_mday;
    p.Hour = tm.tm_hour;
    p.Minute = tm.tm_min;
    p.Second = tm.tm_sec;
    p.Millisecond =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    p.DayOfWeek = tm.tm_wday;
    return p;
}

std::string FormatDateTime(std::string_view Pattern, const TDateTimeParts& T, bool Russian) {
    TFormatter f(T, Russian ? kRussian : kEnglish);
    f.Run(Pattern, 0);
    return std::move(f.Out);
}

}  // namespace tarvex
