#pragma once
// EvaluateText: the calculate command's way into the evaluator. The text is
// an expression, optionally followed by ":" and definitions separated by ";"
// or ":", each NAME=VALUE or a bare VALUE:
//   sin(x) : x=0.5      x*y : 2; 3      2*r*pi : r = 1 000
// Both "." and "," are taken as the decimal point unless the locale uses the
// other one for thousands. "pi" and "e" are always defined; a bare value is
// bound to the first name of the expression that no definition names. A
// later definition of a name replaces an earlier one (pi and e included).

#include <cstdint>
#include <string_view>

#include "calc/calc_locale.h"

namespace tarvex {

struct TCalcValue {
    long double Value = 0;          // 0 on an error
    std::int32_t ErrorCode = ceNone;
    std::int32_t ErrorPos = 0;      // 1-based in the text given
    bool Ok() const { return ErrorCode == ceNone; }
};

TCalcValue EvaluateText(std::string_view Text, const TCalcLocale& Locale);

}  // namespace tarvex
