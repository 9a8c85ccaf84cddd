// TCalcExpress: the lexer, the parser and the conversion of number literals.

#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>

#include "calc/calc_express.h"

namespace tarvex {

namespace {

struct TFunctionName {
    const char* Name;
    TCalcOp Op;
};
constexpr TFunctionName kFunctions[] = {
    {"cos", coCos},       {"sin", coSin},         {"tg", coTg},           {"tan", coTg},
    {"ctg", coCtg},       {"cot", coCtg},         {"abs", coAbs},         {"sgn", coSgn},
    {"sign", coSgn},      {"sqrt", coSqrt},       {"ln", coLn},           {"exp", coExp},
    {"arcsin", coArcsin}, {"arccos", coArccos},   {"arctg", coArctg},     {"arctan", coArctg},
    {"arcctg", coArcctg}, {"arccot", coArcctg},   {"sh", coSh},           {"sinh", coSh},
    {"ch", coCh},         {"cosh", coCh},         {"th", coTh},           {"tanh", coTh},
    {"cth", coCth},       {"coth", coCth},        {"heaviside", coHeaviside}, {"h", coHeaviside},
    {"ceil", coCeil},     {"frac", coFrac},       {"int", coInt},         {"round", coRound},
    {"log10", coLog10},   {"lg", coLog10},        {"log2", coLog2},       {"sqr", coSqr},
    {"floor", coFloor},
};

bool IsNameStart(unsigned char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_' || C >= 192 || C == 0xA8 || C == 0xB8;
}
bool IsNameChar(unsigned char C) { return IsNameStart(C) || IsCalcDigit(C); }
// Blanks a number literal may hold between its digits.
bool IsLiteralSpace(unsigned char C) { return C == ' ' || C == 0xA0; }

// 10^0 .. 10^27: every one exact in a 64-bit mantissa (5^27 < 2^63).
constexpr long double kPow10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
                                  1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
                                  1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};

// The value of Digits x 10^Exp10 (Digits: decimal digits, leading zeros
// allowed). False on overflow; underflow gives 0.
bool DecimalValue(std::string_view Digits, std::int64_t Exp10, long double& Value) {
    while (!Digits.empty() && Digits.front() == '0') Digits.remove_prefix(1);
    if (Digits.empty()) {
        Value = 0;
        return true;
    }
    if (Digits.size() <= 19 && Exp10 >= -27 && Exp10 <= 27) {
        // One correctly rounded operation on two exact values.
        std::uint64_t m = 0;
        for (const char c : Digits) m = m * 10 + static_cast<std::uint64_t>(c - '0');
        const auto lm = static_cast<long double>(m);
        Value = Exp10 >= 0 ? lm * kPow10[Exp10] : lm / kPow10[-Exp10];
        return true;
    }
    // The order of magnitude decides before the library is asked.
    const std::int64_t magnitude = static_cast<std::int64_t>(Digits.size()) + Exp10;
    if (magnitude > 4940) return false;
    if (magnitude < -4960) {
        Value = 0;
        return true;
    }
    std::string text(Digits);
    text += 'e';
    text += std::to_string(Exp10);
    const auto r = std::from_chars(text.data(), text.data() + text.size(), Value);
    if (r.ec == std::errc::result_out_of_range) {
        if (magnitude > 0) return false;
        Value = 0;
        return true;
    }
    return r.ec == std::errc() && std::isfinite(Value);
}

// Adds a decimal exponent digit, saturating far beyond any representable value.
void AddExponentDigit(std::int64_t& E, char C) {
    if (E < 1000000) E = E * 10 + (C - '0');
}

}  // namespace

TCalcOp CalcFunctionOf(std::string_view Name) {
    for (const TFunctionName& f : kFunctions)
        if (Name.size() == std::strlen(f.Name) && std::memcmp(Name.data(), f.Name, Name.size()) == 0) return f.Op;
    return coEnd;
}

bool CalcParseNumber(std::string_view S, char Decimal, long double& Value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < S.size() && (S[i] == '+' || S[i] == '-')) negative = S[i++] == '-';
    std::string digits;
    std::int64_t exp10 = 0;
    bool any = false;
    for (; i < S.size() && IsCalcDigit(S[i]); ++i, any = true) digits += S[i];
    if (i < S.size() && S[i] == Decimal) {
        for (++i; i < S.size() && IsCalcDigit(S[i]); ++i, any = true) {
            digits += S[i];
            --exp10;
        }
    }
    if (!any) return false;
    if (i < S.size() && (S[i] == 'e' || S[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < S.size() && (S[i] == '+' || S[i] == '-')) expNegative = S[i++] == '-';
        if (i >= S.size() || !IsCalcDigit(S[i])) return false;
        std::int64_t e = 0;
        for (; i < S.size() && IsCalcDigit(S[i]); ++i) AddExponentDigit(e, S[i]);
        exp10 += expNegative ? -e : e;
    }
    if (i != S.size()) return false;
    if (!DecimalValue(digits, exp10, Value)) return false;
    if (negative) Value = -Value;
    return true;
}

ECalcError::ECalcError(std::int32_t C, std::int32_t P)
    : std::runtime_error(CalcErrorMessage(C, TCalcLanguage::English)), Code(C), Pos(P) {}

TCalcExpress::TCalcExpress(TCalcLocale Locale) : FLocale(Locale), FFormula(1, '0') { Parse(); }

void TCalcExpress::SetFormula(std::string_view F) {
    FFormula.assign(F);
    Parse();
}

void TCalcExpress::SetVariables(std::vector<std::string> Names) {
    for (std::string& n : Names) Cp1251LowerInPlace(n);
    FVariables = std::move(Names);
    Parse();
}

void TCalcExpress::SetLocale(TCalcLocale L) {
    FLocale = L;
    Parse();
}

void TCalcExpress::Parse() {
    FNodes.clear();
    FProgram.clear();
    FRoot = -1;
    FText = FFormula;
    Cp1251LowerInPlace(FText);
    FPos = FTokStart = 0;
    FTok = coStart;  // becomes the first token's predecessor
    FPrev = coStart;
    FDepth = 0;
    FPercent = false;
    FErrorCode = FParseCode = ceNone;
    FErrorPos = FParsePos = 0;
    try {
        Next();
        const std::int32_t root = Expression();
        // Expression stops only at the end or at a ")" that opened nothing.
        if (FTok == coClose) Fail(ceBrackets, static_cast<std::int32_t>(FTokStart) + 1);
        FRoot = root;
        Compile();
    } catch (const TFault& f) {
        FNodes.clear();
        FProgram.clear();
        FRoot = -1;
        FErrorCode = FParseCode = f.Code;
        FErrorPos = FParsePos = f.Pos;
    }
}

// --- lexer

void TCalcExpress::Next() {
    FPrev = FTok;
    const std::size_t n = FText.size();
    const char* s = FText.data();
    const char thousands = FLocale.ThousandSeparator;
    for (;;) {
        while (FPos < n && (IsCalcSpace(s[FPos]) || s[FPos] == thousands)) ++FPos;
        if (FPos < n && s[FPos] == '%') {
            FPercent = true;
            ++FPos;
            continue;
        }
        break;
    }
    FTokStart = FPos;
    if (FPos >= n) {
        FTok = coEnd;
        return;
    }
    const auto c = static_cast<unsigned char>(s[FPos]);
    auto startsNumber = [&](std::size_t At) {
        return At < n && (IsCalcDigit(s[At]) || (s[At] == FLocale.DecimalSeparator && At + 1 < n && IsCalcDigit(s[At + 1])));
    };
    switch (c) {
        case '(': FTok = coOpen; ++FPos; return;
        case ')': FTok = coClose; ++FPos; return;
        case '+': FTok = coPlus; ++FPos; return;
        case '*': FTok = coMul; ++FPos; return;
        case '/': FTok = coDiv; ++FPos; return;
        case '^': FTok = coPow; ++FPos; return;
        case '-':
            // Right after "(" a minus before a digit belongs to the number;
            // at the very start it is a sign that negates the whole term.
            if (FPrev == coOpen && startsNumber(FPos + 1)) {
                ReadNumber();
                return;
            }
            FTok = coMinus;
            ++FPos;
            return;
        default: break;
    }
    if (startsNumber(FPos)) {
        ReadNumber();
        return;
    }
    if (IsNameStart(c)) {
        ReadName();
        return;
    }
    Fail(ceSyntax, static_cast<std::int32_t>(FPos) + 1);
}

void TCalcExpress::ReadNumber() {
    const std::size_t n = FText.size();
    const char* s = FText.data();
    const bool negative = s[FPos] == '-';
    if (negative) ++FPos;
    // Digits gathered without the blanks and separators written between them.
    char digits[64];
    std::size_t count = 0;
    std::int64_t exp10 = 0;
    FLiteral.clear();
    auto addDigit = [&](char D, bool Fraction) {
        if (count == 0 && D == '0') {
            if (Fraction) --exp10;  // a leading zero of the fraction only scales
            return;
        }
        if (count < sizeof digits) {
            digits[count++] = D;
            if (Fraction) --exp10;
        } else if (!Fraction) {
            ++exp10;  // digits beyond 64 significant ones only scale
        }
    };
    for (; FPos < n; ++FPos) {
        const auto ch = static_cast<unsigned char>(s[FPos]);
        if (IsCalcDigit(ch)) addDigit(static_cast<char>(ch), false);
        else if (!IsLiteralSpace(ch) && s[FPos] != FLocale.ThousandSeparator) break;
    }
    if (FPos < n && s[FPos] == FLocale.DecimalSeparator) {
        std::size_t p = FPos + 1;
        while (p < n && IsLiteralSpace(s[p])) ++p;
        if (p >= n || !IsCalcDigit(s[p])) Fail(ceWrongNumber, static_cast<std::int32_t>(p) + 1);
        for (FPos = p; FPos < n && IsCalcDigit(s[FPos]); ++FPos) addDigit(s[FPos], true);
    }
    if (FPos < n && s[FPos] == 'e') {
        std::size_t p = FPos + 1;
        bool expNegative = false;
        if (p < n && (s[p] == '+' || s[p] == '-')) expNegative = s[p++] == '-';
        if (p >= n || !IsCalcDigit(s[p])) Fail(ceWrongNumber, static_cast<std::int32_t>(p) + 1);
        std::int64_t e = 0;
        for (FPos = p; FPos < n && IsCalcDigit(s[FPos]); ++FPos) AddExponentDigit(e, s[FPos]);
        exp10 += expNegative ? -e : e;
    }
    long double v = 0;
    if (!DecimalValue(std::string_view(digits, count), exp10, v))
        Fail(ceWrongNumber, static_cast<std::int32_t>(FTokStart) + 1);
    FNumber = negative ? -v : v;
    FTok = coNumber;
}

void TCalcExpress::ReadName() {
    const std::size_t start = FPos;
    while (FPos < FText.size() && IsNameChar(static_cast<unsigned char>(FText[FPos]))) ++FPos;
    const std::string_view name(FText.data() + start, FPos - start);
    const TCalcOp f = CalcFunctionOf(name);
    if (f != coEnd) {
        FTok = f;
        return;
    }
    FVarIndex = VariableIndex(name, static_cast<std::int32_t>(start) + 1);
    FTok = coVariable;
}

std::int32_t TCalcExpress::VariableIndex(std::string_view Name, std::int32_t Pos) {
    const auto count = static_cast<std::int32_t>(FVariables.size());
    for (std::int32_t i = 0; i < count; ++i)
        if (FVariables[i] == Name) return i;
    for (std::int32_t i = 0; i < count; ++i)
        if (FVariables[i].empty()) {
            FVariables[i].assign(Name);
            return i;
        }
    if (count == 0 || FVariables.back() == "pi" || FVariables.back() == "e") Fail(ceWrongVariable, Pos);
    return count - 1;
}

// --- parser

std::int32_t TCalcExpress::Add(TCalcOp Op, std::int32_t Pos, std::int32_t Left, std::int32_t Right) {
    TCalcNode node;
    node.Op = Op;
    node.Pos = Pos;
    node.Left = Left;
    node.Right = Right;
    FNodes.push_back(node);
    return static_cast<std::int32_t>(FNodes.size()) - 1;
}

std::int32_t TCalcExpress::AddBinary(TCalcOp Op, std::int32_t Pos, std::int32_t Left, std::int32_t Right) {
    const std::int32_t i = Add(Op, Pos, Left, Right);
    FNodes[i].Percent = FPercent;
    FPercent = false;
    return i;
}

std::int32_t TCalcExpress::Expression() {
    std::int32_t left = Term();
    while (FTok == coPlus || FTok == coMinus) {
        const TCalcOp op = FTok;
        const auto pos = static_cast<std::int32_t>(FTokStart) + 1;
        Next();
        const std::int32_t right = Term();
        left = AddBinary(op, pos, left, right);
    }
    if (FTok != coEnd && FTok != coClose) Fail(ceSyntax, static_cast<std::int32_t>(FTokStart) + 1);
    return left;
}

std::int32_t TCalcExpress::Term() {
    bool negate = false;
    std::int32_t signPos = 0;
    if ((FPrev == coStart || FPrev == coOpen) && (FTok == coPlus || FTok == coMinus)) {
        negate = FTok == coMinus;
        signPos = static_cast<std::int32_t>(FTokStart) + 1;
        Next();
    }
    std::int32_t left = Factor();
    while (FTok == coMul || FTok == coDiv) {
        const TCalcOp op = FTok;
        const auto pos = static_cast<std::int32_t>(FTokStart) + 1;
        Next();
        const std::int32_t right = Factor();
        left = AddBinary(op, pos, left, right);
    }
    return negate ? Add(coNeg, signPos, left) : left;
}

std::int32_t TCalcExpress::Factor() {
    std::int32_t node = Primary();
    while (FTok == coPow) {
        const auto pos = static_cast<std::int32_t>(FTokStart) + 1;
        Next();
        // The exponent is one operand: a number, a variable, a bracket or a
        // function call; a sign or an operator is not.
        if (FTok != coNumber && FTok != coVariable && FTok != coOpen && !IsCalcFunction(FTok))
            Fail(ceExpectedOperand, static_cast<std::int32_t>(FTokStart) + 1);
        const std::int32_t exponent = Primary();
        node = Add(coPow, pos, node, exponent);
    }
    return node;
}

std::int32_t TCalcExpress::Primary() {
    const auto pos = static_cast<std::int32_t>(FTokStart) + 1;
    if (FTok == coNumber) {
        const std::int32_t i = Add(coNumber, pos);
        FNodes[i].Value = FNumber;
        Next();
        return i;
    }
    if (FTok == coVariable) {
        const std::int32_t i = Add(coVariable, pos);
        FNodes[i].Var = FVarIndex;
        Next();
        return i;
    }
    const TCalcOp f = FTok;
    if (IsCalcFunction(f)) {
        Next();
        if (FTok != coOpen) Fail(ceBrackets, static_cast<std::int32_t>(FTokStart) + 1);
    } else if (f != coOpen) {
        Fail(ceWrongOperation, pos);
    }
    if (++FDepth > kMaxNesting) Fail(ceSyntax, static_cast<std::int32_t>(FTokStart) + 1);
    Next();
    const std::int32_t inner = Expression();
    // Expression stopped at ")" or at the end: then the bracket stays open.
    if (FTok != coClose) Fail(ceBrackets, static_cast<std::int32_t>(FText.size()) + 1);
    --FDepth;
    Next();
    return f == coOpen ? inner : Add(f, pos, inner);
}

}  // namespace tarvex
