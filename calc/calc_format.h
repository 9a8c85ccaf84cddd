#pragma once
// How the calculators write numbers, and the whole-number base conversions
// of the calculate command.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/calc_locale.h"

namespace tarvex {

// 15 significant digits, trailing zeros dropped; scientific ("1.5E+20",
// "1E-5") below 1E-4 and from 1E+15 on; the locale's decimal separator.
std::string FormatCalcNumber(long double V, const TCalcLocale& L);
// At most four decimals, trailing zeros dropped ("0.####").
std::string FormatFixed4(long double V, char Decimal);

enum class TCalcBase : std::uint8_t { None, Decimal, Hexadecimal, Binary };

// Decimal: digits only. Binary: "0" and "1" with an optional "B"/"b" at the
// end. Hexadecimal: hex digits with an optional "$" first and an optional
// "H"/"h" last. Decimal wins, then binary when the text ends in "b".
TCalcBase ClassifyWholeNumber(std::string_view S);

struct TBaseConversion {
    std::string Text;               // "FFh=11111111b", "255=11111111b", "10=Ah"
    std::int32_t ErrorCode = ceNone;  // ceWrongNumber beyond 64 bits
    std::int32_t ErrorPos = 0;      // 1-based: the digit that overflowed
};
// The number in the two other bases (unsigned 64-bit).
TBaseConversion ConvertWholeNumber(std::string_view S, TCalcBase Base);

std::string ToHex(std::uint64_t V);
std::string ToBinary(std::uint64_t V);

}  // namespace tarvex
