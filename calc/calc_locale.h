#pragma once
// What the calculators take from the interface language: the number
// separators, the error messages and the words of the date calculator.

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

enum class TCalcLanguage : std::uint8_t { English, Russian };

// The separators of the interface language's locale: Russian writes
// "1 234,5", English "1,234.5".
struct TCalcLocale {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
};

TCalcLocale CalcLocale(TCalcLanguage L);

// Error codes. 1 to 8 are the evaluator's own; the rest belong to the date
// calculator and to the command that feeds both.
enum TCalcErrorCode : std::int32_t {
    ceNone = 0,
    ceWrongNumber = 1,
    ceBrackets = 2,
    ceDivideByZero = 3,
    ceWrongOperation = 4,
    ceExpectedOperand = 5,
    ceWrongVariable = 6,
    ceSyntax = 7,
    ceArguments = 8,
    ceWrongDate = 9,
    ceWrongTime = 10,
    ceTooLong = 11,
};

// The message of an error code in the language, as UTF-8 (for message boxes
// and the terminal); an unknown code gives a generic text with the number.
std::string CalcErrorMessage(std::int32_t Code, TCalcLanguage L);

// A name compared without case: Latin and Windows-1251 Cyrillic letters
// (Ё included) lower-cased; every other byte unchanged.
unsigned char Cp1251Lower(unsigned char C);
void Cp1251LowerInPlace(std::string& S);

// Spaces, tabs, line breaks and the no-break space (0xA0) separate tokens.
inline bool IsCalcSpace(unsigned char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n' || C == 0xA0; }
inline bool IsCalcDigit(unsigned char C) { return C >= '0' && C <= '9'; }
// Trims bytes up to the space (control characters included) and the no-break
// space from both ends.
std::string_view CalcTrim(std::string_view S);

}  // namespace tarvex
