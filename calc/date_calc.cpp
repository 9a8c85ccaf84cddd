#include "calc/date_calc.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "calc/calc_express.h"
#include "calc/calc_format.h"
#include "calc/civil_date.h"
#include "platform/codepage.h"

namespace tarvex {

namespace {

constexpr std::int64_t kDaySeconds = 86400;
// Shifts beyond any date of years 1 to 9999 are refused before they are
// multiplied out.
constexpr long double kMaxShiftDays = 4000000;

std::int64_t FloorDiv(std::int64_t A, std::int64_t B) {
    std::int64_t q = A / B;
    if ((A % B != 0) && ((A < 0) != (B < 0))) --q;
    return q;
}

enum class TKind : std::uint8_t { Number, Date, Time };

struct TValue {
    TKind Kind = TKind::Number;
    long double Number = 0;   // Number
    std::int64_t Moment = 0;  // Date: seconds from 1970-01-01 00:00 of the local clock
    bool HasTime = false;     // Date: a time of day is part of it
    long double Seconds = 0;  // Time: a duration
};

struct TFault {
    std::int32_t Code;
    std::int32_t Pos;
};

bool IsWordChar(unsigned char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C >= 0xC0 || C == 0xA8 || C == 0xB8;
}

// A word of the language for N: English singular or plural, Russian with
// its three plural forms (1 год, 2 года, 5 лет; 11-14 take the third).
std::string CountWord(std::int64_t N, TCalcLanguage L, const char* One, const char* Many, const char* RuOne,
                      const char* RuFew, const char* RuMany) {
    std::string word;
    if (L == TCalcLanguage::Russian) {
        const std::int64_t last = N % 10, lastTwo = N % 100;
        const char* form = RuMany;
        if (last == 1 && lastTwo != 11) form = RuOne;
        else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) form = RuFew;
        word = Utf8ToCp1251(form);
    } else {
        word = N == 1 ? One : Many;
    }
    return std::to_string(N) + " " + word;
}

class TDateCalculator {
public:
    TDateCalculator(std::string_view Text, TCalcLanguage L, const TCalcClock& Now) : S(Text), Lang(L), Clock(Now) {}
    TDateCalcResult Run();

private:
    void SkipBlanks() {
        while (P < S.size() && IsCalcSpace(static_cast<unsigned char>(S[P]))) ++P;
    }
    bool DigitAt(std::size_t At) const { return At < S.size() && IsCalcDigit(static_cast<unsigned char>(S[At])); }
    std::size_t DigitsEnd(std::size_t At) const {
        while (DigitAt(At)) ++At;
        return At;
    }
    // The value of S[From, To), or Code at From when it has more than 9 digits.
    std::int64_t Integer(std::size_t From, std::size_t To, std::int32_t Code) const {
        if (To - From > 9) throw TFault{Code, static_cast<std::int32_t>(From) + 1};
        std::int64_t v = 0;
        for (std::size_t i = From; i < To; ++i) v = v * 10 + (S[i] - '0');
        return v;
    }
    TValue Operand();
    TValue Word(std::size_t Start);
    TValue DottedDate(std::size_t Start);
    TValue IsoDate(std::size_t Start);
    void AttachTime(TValue& Date);
    std::int64_t ClockTime(std::size_t At, bool OfDay);
    TValue Combine(const TValue& A, char Op, const TValue& B, std::int32_t Pos);
    TValue Shift(const TValue& Date, long double Seconds, std::int32_t Pos) const;
    std::string Result(const TValue& V, std::int32_t Operands) const;
    std::string DateText(const TValue& V) const;
    std::string ClockText(std::int64_t Seconds, bool Hours2) const;
    std::string DifferenceText(std::int64_t From, std::int64_t To) const;

    std::string_view S;
    TCalcLanguage Lang;
    TCalcClock Clock;
    std::size_t P = 0;
    bool SawDate = false;
    bool IsoStyle = false;      // the first date was yyyy-mm-dd
    bool ShowSeconds = false;   // a time was written with seconds
    bool Difference = false;    // the value is the latest date - date
    std::int64_t DiffFrom = 0, DiffTo = 0;
};

TDateCalcResult TDateCalculator::Run() {
    TDateCalcResult r;
    try {
        TValue v = Operand();
        std::int32_t operands = 1;
        for (;;) {
            SkipBlanks();
            if (P >= S.size()) break;
            const char op = S[P];
            if (op != '+' && op != '-' && op != '*' && op != '/') throw TFault{ceSyntax, static_cast<std::int32_t>(P) + 1};
            const auto opPos = static_cast<std::int32_t>(P) + 1;
            ++P;
            const TValue rhs = Operand();
            v = Combine(v, op, rhs, opPos);
            ++operands;
        }
        r.Text = Result(v, operands);
    } catch (const TFault& f) {
        r.ErrorCode = f.Code;
        r.ErrorPos = f.Pos;
    }
    return r;
}

TValue TDateCalculator::Operand() {
    SkipBlanks();
    const std::size_t start = P;
    if (P >= S.size()) throw TFault{ceSyntax, static_cast<std::int32_t>(P) + 1};
    bool negative = false;
    if ((S[P] == '-' || S[P] == '+') && DigitAt(P + 1)) negative = S[P++] == '-';
    const auto c = static_cast<unsigned char>(S[P]);
    if (IsWordChar(c) && P == start) return Word(start);
    if (!IsCalcDigit(c)) throw TFault{ceSyntax, static_cast<std::int32_t>(P) + 1};
    const std::size_t a = P, aEnd = DigitsEnd(P);
    auto noSign = [&] {
        if (a != start) throw TFault{ceWrongOperation, static_cast<std::int32_t>(start) + 1};
    };
    if (aEnd < S.size() && S[aEnd] == ':' && DigitAt(aEnd + 1)) {
        TValue t;
        t.Kind = TKind::Time;
        t.Seconds = static_cast<long double>(ClockTime(a, false));
        if (negative) t.Seconds = -t.Seconds;
        return t;
    }
    if (aEnd < S.size() && S[aEnd] == '.' && DigitAt(aEnd + 1)) {
        const std::size_t bEnd = DigitsEnd(aEnd + 1);
        if (bEnd < S.size() && S[bEnd] == '.' && DigitAt(bEnd + 1)) {
            noSign();
            return DottedDate(a);
        }
    }
    if (aEnd - a == 4 && aEnd < S.size() && S[aEnd] == '-' && DigitAt(aEnd + 1)) {
        const std::size_t bEnd = DigitsEnd(aEnd + 1);
        if (bEnd < S.size() && S[bEnd] == '-' && DigitAt(bEnd + 1)) {
            noSign();
            return IsoDate(a);
        }
    }
    // A number: digits, then "." or "," and the decimals.
    std::string literal(S.substr(a, aEnd - a));
    P = aEnd;
    if (P < S.size() && (S[P] == '.' || S[P] == ',') && DigitAt(P + 1)) {
        const std::size_t fEnd = DigitsEnd(P + 1);
        literal += '.';
        literal.append(S.substr(P + 1, fEnd - P - 1));
        P = fEnd;
    }
    TValue n;
    if (!CalcParseNumber(literal, '.', n.Number)) throw TFault{ceWrongNumber, static_cast<std::int32_t>(a) + 1};
    if (negative) n.Number = -n.Number;
    return n;
}

TValue TDateCalculator::Word(std::size_t Start) {
    while (P < S.size() && IsWordChar(static_cast<unsigned char>(S[P]))) ++P;
    std::string w(S.substr(Start, P - Start));
    Cp1251LowerInPlace(w);
    const bool today = w == "today" || w == Utf8ToCp1251("сегодня");
    const bool now = w == "now" || w == Utf8ToCp1251("сейчас");
    if (!today && !now) throw TFault{ceSyntax, static_cast<std::int32_t>(Start) + 1};
    if (!IsValidDate(Clock.Year, Clock.Month, Clock.Day)) throw TFault{ceWrongDate, static_cast<std::int32_t>(Start) + 1};
    TValue d;
    d.Kind = TKind::Date;
    d.Moment = DayNumber({Clock.Year, Clock.Month, Clock.Day}) * kDaySeconds;
    if (now) {
        d.Moment += Clock.Hour * 3600 + Clock.Minute * 60 + Clock.Second;
        d.HasTime = true;
    }
    SawDate = true;
    return d;
}

TValue TDateCalculator::DottedDate(std::size_t Start) {
    const std::size_t aEnd = DigitsEnd(Start), b = aEnd + 1, bEnd = DigitsEnd(b), c = bEnd + 1, cEnd = DigitsEnd(c);
    const auto pos = static_cast<std::int32_t>(Start) + 1;
    const std::size_t yearDigits = cEnd - c;
    if (aEnd - Start > 2 || bEnd - b > 2 || (yearDigits != 2 && yearDigits != 4)) throw TFault{ceWrongDate, pos};
    std::int64_t year = Integer(c, cEnd, ceWrongDate);
    if (yearDigits == 2) year += year < 50 ? 2000 : 1900;
    const auto day = static_cast<std::int32_t>(Integer(Start, aEnd, ceWrongDate));
    const auto month = static_cast<std::int32_t>(Integer(b, bEnd, ceWrongDate));
    if (!IsValidDate(static_cast<std::int32_t>(year), month, day)) throw TFault{ceWrongDate, pos};
    TValue d;
    d.Kind = TKind::Date;
    d.Moment = DayNumber({static_cast<std::int32_t>(year), month, day}) * kDaySeconds;
    if (!SawDate) IsoStyle = false;
    SawDate = true;
    P = cEnd;
    AttachTime(d);
    return d;
}

TValue TDateCalculator::IsoDate(std::size_t Start) {
    const std::size_t yEnd = Start + 4, m = yEnd + 1, mEnd = DigitsEnd(m), d = mEnd + 1, dEnd = DigitsEnd(d);
    const auto pos = static_cast<std::int32_t>(Start) + 1;
    if (mEnd - m > 2 || dEnd - d > 2) throw TFault{ceWrongDate, pos};
    const auto year = static_cast<std::int32_t>(Integer(Start, yEnd, ceWrongDate));
    const auto month = static_cast<std::int32_t>(Integer(m, mEnd, ceWrongDate));
    const auto day = static_cast<std::int32_t>(Integer(d, dEnd, ceWrongDate));
    if (!IsValidDate(year, month, day)) throw TFault{ceWrongDate, pos};
    TValue v;
    v.Kind = TKind::Date;
    v.Moment = DayNumber({year, month, day}) * kDaySeconds;
    if (!SawDate) IsoStyle = true;
    SawDate = true;
    P = dEnd;
    AttachTime(v);
    return v;
}

// A time of day right after a date ("T" or blanks between) joins it.
void TDateCalculator::AttachTime(TValue& Date) {
    std::size_t q = P;
    if (q < S.size() && (S[q] == 'T' || S[q] == 't') && DigitAt(q + 1)) {
        ++q;
    } else {
        while (q < S.size() && (S[q] == ' ' || S[q] == '\t')) ++q;
    }
    const std::size_t hEnd = DigitsEnd(q);
    if (hEnd == q || hEnd >= S.size() || S[hEnd] != ':' || !DigitAt(hEnd + 1)) return;
    Date.Moment += ClockTime(q, true);
    Date.HasTime = true;
}

// h:nn or h:nn:ss at At, in seconds; P moves past it. Of a day, the hours
// stay below 24.
std::int64_t TDateCalculator::ClockTime(std::size_t At, bool OfDay) {
    const std::size_t hEnd = DigitsEnd(At), m = hEnd + 1, mEnd = DigitsEnd(m);
    const std::int64_t hours = Integer(At, hEnd, ceWrongTime);
    if (mEnd - m != 2) throw TFault{ceWrongTime, static_cast<std::int32_t>(m) + 1};
    const std::int64_t minutes = Integer(m, mEnd, ceWrongTime);
    if (minutes > 59) throw TFault{ceWrongTime, static_cast<std::int32_t>(m) + 1};
    if (OfDay && hours > 23) throw TFault{ceWrongTime, static_cast<std::int32_t>(At) + 1};
    std::int64_t seconds = 0;
    P = mEnd;
    if (P < S.size() && S[P] == ':' && DigitAt(P + 1)) {
        const std::size_t s = P + 1, sEnd = DigitsEnd(s);
        if (sEnd - s != 2) throw TFault{ceWrongTime, static_cast<std::int32_t>(s) + 1};
        seconds = Integer(s, sEnd, ceWrongTime);
        if (seconds > 59) throw TFault{ceWrongTime, static_cast<std::int32_t>(s) + 1};
        ShowSeconds = true;
        P = sEnd;
    }
    return hours * 3600 + minutes * 60 + seconds;
}

TValue TDateCalculator::Shift(const TValue& Date, long double Seconds, std::int32_t Pos) const {
    static const std::int64_t kFirst = DayNumber({kMinCalcYear, 1, 1}) * kDaySeconds;
    static const std::int64_t kLast = (DayNumber({kMaxCalcYear, 12, 31}) + 1) * kDaySeconds - 1;
    if (!(std::fabs(Seconds) <= kMaxShiftDays * kDaySeconds)) throw TFault{ceWrongDate, Pos};
    const auto shift = static_cast<std::int64_t>(std::llround(Seconds));
    TValue r = Date;
    r.Moment += shift;
    if (r.Moment < kFirst || r.Moment > kLast) throw TFault{ceWrongDate, Pos};
    if (shift % kDaySeconds != 0) r.HasTime = true;
    return r;
}

TValue TDateCalculator::Combine(const TValue& A, char Op, const TValue& B, std::int32_t Pos) {
    using K = TKind;
    const K a = A.Kind, b = B.Kind;
    Difference = false;
    TValue r;
    auto number = [&](long double V) {
        if (!std::isfinite(V)) throw TFault{ceWrongNumber, Pos};
        r.Kind = K::Number;
        r.Number = V;
        return r;
    };
    auto time = [&](long double V) {
        if (!(std::fabs(V) < 1e15L)) throw TFault{ceWrongNumber, Pos};
        r.Kind = K::Time;
        r.Seconds = V;
        return r;
    };
    auto nonZero = [&](long double V) {
        if (V == 0) throw TFault{ceDivideByZero, Pos};
    };
    switch (Op) {
        case '+':
            if (a == K::Number && b == K::Number) return number(A.Number + B.Number);
            if (a == K::Date && b == K::Number) return Shift(A, B.Number * kDaySeconds, Pos);
            if (a == K::Number && b == K::Date) return Shift(B, A.Number * kDaySeconds, Pos);
            if (a == K::Date && b == K::Time) return Shift(A, B.Seconds, Pos);
            if (a == K::Time && b == K::Date) return Shift(B, A.Seconds, Pos);
            if (a == K::Time && b == K::Time) return time(A.Seconds + B.Seconds);
            break;
        case '-':
            if (a == K::Number && b == K::Number) return number(A.Number - B.Number);
            if (a == K::Date && b == K::Number) return Shift(A, -B.Number * kDaySeconds, Pos);
            if (a == K::Date && b == K::Time) return Shift(A, -B.Seconds, Pos);
            if (a == K::Time && b == K::Time) return time(A.Seconds - B.Seconds);
            if (a == K::Date && b == K::Date) {
                number(static_cast<long double>(A.Moment - B.Moment) / kDaySeconds);
                Difference = true;
                DiffFrom = B.Moment;
                DiffTo = A.Moment;
                return r;
            }
            break;
        case '*':
            if (a == K::Number && b == K::Number) return number(A.Number * B.Number);
            if (a == K::Time && b == K::Number) return time(A.Seconds * B.Number);
            if (a == K::Number && b == K::Time) return time(A.Number * B.Seconds);
            break;
        case '/':
            if (a == K::Number && b == K::Number) return nonZero(B.Number), number(A.Number / B.Number);
            if (a == K::Time && b == K::Number) return nonZero(B.Number), time(A.Seconds / B.Number);
            if (a == K::Time && b == K::Time) return nonZero(B.Seconds), number(A.Seconds / B.Seconds);
            break;
        default: break;
    }
    throw TFault{ceWrongOperation, Pos};
}

std::string TDateCalculator::ClockText(std::int64_t Seconds, bool Hours2) const {
    const bool negative = Seconds < 0;
    const std::int64_t s = negative ? -Seconds : Seconds;
    char buf[64];
    const auto h = static_cast<long long>(s / 3600);
    const auto m = static_cast<int>(s / 60 % 60), sec = static_cast<int>(s % 60);
    if (sec != 0 || ShowSeconds) std::snprintf(buf, sizeof buf, Hours2 ? "%02lld:%02d:%02d" : "%lld:%02d:%02d", h, m, sec);
    else std::snprintf(buf, sizeof buf, Hours2 ? "%02lld:%02d" : "%lld:%02d", h, m);
    std::string out;
    if (negative) out += '-';
    out += buf;
    return out;
}

std::string TDateCalculator::DateText(const TValue& V) const {
    const std::int64_t day = FloorDiv(V.Moment, kDaySeconds);
    const TCivilDate c = CivilFromDayNumber(day);
    char buf[32];
    if (IsoStyle) std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.Year, c.Month, c.Day);
    else std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", c.Day, c.Month, c.Year);
    std::string out = buf;
    if (V.HasTime) {
        out += ' ';
        out += ClockText(V.Moment - day * kDaySeconds, true);
    }
    return out;
}

std::string TDateCalculator::DifferenceText(std::int64_t From, std::int64_t To) const {
    const bool negative = To < From;
    if (negative) std::swap(From, To);
    std::int64_t fromDay = FloorDiv(From, kDaySeconds), toDay = FloorDiv(To, kDaySeconds);
    const std::int64_t fromTime = From - fromDay * kDaySeconds, toTime = To - toDay * kDaySeconds;
    std::int64_t rest = toTime - fromTime;
    if (rest < 0) {
        --toDay;
        rest += kDaySeconds;
    }
    const TYearsMonthsDays d = CalendarDifference(fromDay, toDay);
    std::string out;
    auto add = [&](const std::string& Part) { out += (out.empty() ? "" : " ") + Part; };
    if (d.Years) add(CountWord(d.Years, Lang, "year", "years", "год", "года", "лет"));
    if (d.Months) add(CountWord(d.Months, Lang, "month", "months", "месяц", "месяца", "месяцев"));
    if (d.Days || (out.empty() && rest == 0)) add(CountWord(d.Days, Lang, "day", "days", "день", "дня", "дней"));
    if (rest) add(ClockText(rest, false));
    return (negative ? "-" : "") + out;
}

std::string TDateCalculator::Result(const TValue& V, std::int32_t Operands) const {
    const char decimal = CalcLocale(Lang).DecimalSeparator;
    if (Operands == 1) {
        switch (V.Kind) {
            case TKind::Date: {
                static const char* const kEn[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
                static const char* const kRu[] = {"понедельник", "вторник", "среда", "четверг", "пятница", "суббота", "воскресенье"};
                const std::int32_t w = Weekday(FloorDiv(V.Moment, kDaySeconds));
                return Lang == TCalcLanguage::Russian ? Utf8ToCp1251(kRu[w]) : kEn[w];
            }
            case TKind::Time: return FormatFixed4(V.Seconds / 3600, decimal);
            case TKind::Number: return FormatFixed4(V.Number, decimal);
        }
    }
    switch (V.Kind) {
        case TKind::Date: return DateText(V);
        case TKind::Time: return ClockText(static_cast<std::int64_t>(std::llround(V.Seconds)), false);
        case TKind::Number: break;
    }
    std::string out = FormatFixed4(V.Number, decimal);
    if (Difference) out += " (" + DifferenceText(DiffFrom, DiffTo) + ")";
    return out;
}

}  // namespace

TCalcClock LocalClock() {
    const std::time_t t = std::time(nullptr);
    std::tm lt{};
    localtime_r(&t, &lt);
    return {lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec};
}

TDateCalcResult EvaluateDateText(std::string_view Text, TCalcLanguage Language, const TCalcClock& Now) {
    return TDateCalculator(Text, Language, Now).Run();
}

}  // namespace tarvex
