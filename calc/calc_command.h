#pragma once
// The two calculate commands (Calculate Mathemat., Calculate Date Time) on
// an editor: they take the expression from the selection or from the caret
// line, work out the result and insert it after the expression as one undo
// step. The shell only shows what they report.
//
// Without a selection the expression is the caret's paragraph from its start
// to the caret. When it holds "=", only the part after the last "=" counts;
// when that part is blank (the line ends with "="), the part before that "="
// is taken instead (again only after its own last "=") and the result goes
// in without an "=" of its own:
//   "2+3*4"   -> "=14"        "2+3*4="  -> "14"       "a = 2+3" -> "=5"
// In the arithmetic mode an "=" of a definition after ":" ("sin(x) : x=0.5")
// is not such an "=".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calc/calc_locale.h"
#include "calc/date_calc.h"
#include "textstore/types.h"

namespace tarvex {

class TDudiRiri;

enum class TCalcMode : std::uint8_t { Math, DateTime };

// Longer expressions are refused (ceTooLong) before they are copied.
inline constexpr std::size_t kMaxCalcExpression = std::size_t{1} << 20;

// The expression a command works on.
struct TCalcSource {
    std::string Expression;   // trimmed
    std::size_t Offset = 0;   // of its first character in the text it came from
    bool OmitEquals = false;  // the line ended with "="
    bool TooLong = false;
};
TCalcSource ExpressionFromLine(std::string_view LineToCaret, TCalcMode Mode);
TCalcSource ExpressionFromSelection(std::string_view Selected);

// The text to insert, or an error with its 1-based position in the
// expression. The arithmetic mode converts a whole decimal, hexadecimal or
// binary number into the other two bases and evaluates anything else.
struct TCalcAnswer {
    std::string Insert;  // Windows-1251: "=" + result, or the result alone
    std::int32_t ErrorCode = ceNone;
    std::int32_t ErrorPos = 0;
    bool Ok() const { return ErrorCode == ceNone; }
};
TCalcAnswer CalculateExpression(const TCalcSource& Source, TCalcMode Mode, TCalcLanguage Language,
                                const TCalcClock& Now);

struct TCalcCommandResult {
    enum TKind : std::uint8_t {
        ckNothing,   // an empty text or expression
        ckInserted,  // Text went in at the insertion point; the caret is behind it
        ckShown,     // a read-only editor: show Message instead
        ckFailed,    // show Message; the caret was put at the error
    };
    TKind Kind = ckNothing;
    std::string Text;      // Windows-1251: what went in, or would have
    std::string Message;   // UTF-8: "expression=result" (ckShown), the error message (ckFailed)
    std::int32_t ErrorCode = ceNone;
    std::int32_t ErrorPos = 0;  // 1-based in the expression
    TPos Caret = -1;            // where the caret was put on an error (-1: not moved)
};

// Runs the command on M in the interface Language (its separators and
// messages); Now gives "today" and "now" to the date mode.
TCalcCommandResult CalculateCommand(TDudiRiri& M, TCalcMode Mode, TCalcLanguage Language, const TCalcClock& Now);
TCalcCommandResult CalculateCommand(TDudiRiri& M, TCalcMode Mode, TCalcLanguage Language);

}  // namespace tarvex
