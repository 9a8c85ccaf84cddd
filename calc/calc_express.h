#pragma once
// TCalcExpress: an arithmetic formula parsed once into a tree and evaluated,
// as often as wanted, against an array of variable values in extended
// precision (long double).
//
// Grammar (recursive descent, one token of look-ahead):
//   Expression := Term { ("+" | "-") Term }            ends at the end or at ")"
//   Term       := [sign] Factor { ("*" | "/") Factor }  a "-" sign negates the whole term
//   Factor     := Primary { "^" Exponent }             powers associate to the left
//   Primary    := number | variable | "(" Expression ")" | function "(" Expression ")"
//   Exponent   := a Primary
// A sign is taken only after the start of the text or "("; a "-" right
// after "(" and before a digit is part of the number. "%" after an operand
// marks the next "+", "-", "*" or "/" node built as a percentage.
//
// Nothing recurses over the length of the text: operator chains are loops,
// the tree lives in one array, evaluation runs a flat program compiled from
// it, and brackets nest at most kMaxNesting deep (deeper is a syntax error).

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calc_locale.h"

namespace tarvex {

// Token and node codes.
enum TCalcOp : std::uint8_t {
    coEnd = 0,
    coOpen = 1,
    coClose = 2,
    coPlus = 3,
    coMinus = 4,
    coMul = 5,
    coDiv = 6,
    coNumber = 7,
    coVariable = 8,
    coNeg = 9,
    coCos = 10,
    coSin = 11,
    coTg = 12,
    coCtg = 13,
    coAbs = 14,
    coSgn = 15,
    coSqrt = 16,
    coLn = 17,
    coExp = 18,
    coArcsin = 19,
    coArccos = 20,
    coArctg = 21,
    coArcctg = 22,
    coSh = 23,
    coCh = 24,
    coTh = 25,
    coCth = 26,
    coHeaviside = 27,
    coPow = 31,
    coCeil = 32,
    coFrac = 33,
    coInt = 34,
    coRound = 35,
    coLog10 = 36,
    coLog2 = 37,
    coSqr = 38,
    coFloor = 39,
    // Codes that are no token of the text: the lexer's state before the
    // first token, and the evaluation step that checks a divisor.
    coStart = 100,
    coCheckDivisor = 101,
};

inline bool IsCalcFunction(TCalcOp Op) { return (Op >= coCos && Op <= coHeaviside) || (Op >= coCeil && Op <= coFloor); }
// The function of a lower-case name (every spelling the lexer knows), or coEnd.
TCalcOp CalcFunctionOf(std::string_view Name);

// One node of the parse tree. Functions and negation use Left only.
struct TCalcNode {
    TCalcOp Op = coNumber;
    bool Percent = false;
    std::int32_t Left = -1;
    std::int32_t Right = -1;
    std::int32_t Pos = 0;     // 1-based position of the token that made the node
    std::int32_t Var = -1;    // coVariable: the index into the value array
    long double Value = 0;    // coNumber: the literal's value
};

// An error with its code and its 1-based position in the formula.
class ECalcError : public std::runtime_error {
public:
    ECalcError(std::int32_t Code, std::int32_t Pos);
    std::int32_t Code;
    std::int32_t Pos;
};

class TCalcExpress {
public:
    static constexpr std::int32_t kMaxNesting = 100;

    explicit TCalcExpress(TCalcLocale Locale = {});

    const std::string& Formula() const { return FFormula; }
    // Parses the formula (compared without case). On an error the error
    // fields stay set and there is no tree.
    void SetFormula(std::string_view F);
    // Variable names; the value of variable i is element i of the value
    // array. A name of the formula that is not in the list takes the first
    // empty name; with none left it means the last variable, unless that is
    // "pi" or "e" (then it is error 6). Setting the list re-parses.
    const std::vector<std::string>& Variables() const { return FVariables; }
    void SetVariables(std::vector<std::string> Names);
    const TCalcLocale& Locale() const { return FLocale; }
    void SetLocale(TCalcLocale L);

    // Evaluates the tree; an error raises ECalcError after setting the error
    // fields (a parse error is raised again).
    long double Evaluate(std::span<const long double> Values);
    // The same without raising: false on an error, the fields tell which.
    bool TryEvaluate(std::span<const long double> Values, long double& Result) noexcept;

    bool Error() const { return FErrorCode != ceNone; }
    std::int32_t ErrorCode() const { return FErrorCode; }
    std::int32_t ErrorPos() const { return FErrorPos; }

    // The tree: nodes in one array, children by index; Root() is -1 without one.
    const std::vector<TCalcNode>& Nodes() const { return FNodes; }
    std::int32_t Root() const { return FRoot; }

private:
    struct TFault {
        std::int32_t Code;
        std::int32_t Pos;
    };
    // One step of the evaluation program (the tree in post-order; a division
    // evaluates its divisor first and checks it before the dividend).
    struct TStep {
        TCalcOp Op;  // a node's code, or kCheckDivisor (0 on top is error 3)
        bool Percent;
        std::int32_t Pos;
        std::int32_t Var;
        long double Value;
    };

    void Parse();
    // Lexer.
    void Next();
    void ReadNumber();
    void ReadName();
    std::int32_t VariableIndex(std::string_view Name, std::int32_t Pos);
    // Parser.
    std::int32_t Expression();
    std::int32_t Term();
    std::int32_t Factor();
    std::int32_t Primary();
    std::int32_t Add(TCalcOp Op, std::int32_t Pos, std::int32_t Left = -1, std::int32_t Right = -1);
    std::int32_t AddBinary(TCalcOp Op, std::int32_t Pos, std::int32_t Left, std::int32_t Right);
    [[noreturn]] void Fail(std::int32_t Code, std::int32_t Pos) const { throw TFault{Code, Pos}; }
    void Compile();
    bool Run(std::span<const long double> Values, long double& Result) noexcept;
    bool Fault(std::int32_t Code, std::int32_t Pos) noexcept;

    TCalcLocale FLocale;
    std::string FFormula;
    std::vector<std::string> FVariables;
    // Parse state.
    std::string FText;  // the formula lower-cased
    std::size_t FPos = 0;  // 0-based index of the next character
    std::size_t FTokStart = 0;
    TCalcOp FTok = coEnd;
    TCalcOp FPrev = coStart;
    std::int32_t FDepth = 0;
    bool FPercent = false;
    long double FNumber = 0;
    std::int32_t FVarIndex = -1;
    std::string FLiteral;  // scratch for literals that need the slow conversion
    std::int32_t FErrorCode = ceNone;
    std::int32_t FErrorPos = 0;
    std::int32_t FParseCode = ceNone;  // the parse's own error, raised again by Evaluate
    std::int32_t FParsePos = 0;
    // The tree and its program.
    std::vector<TCalcNode> FNodes;
    std::int32_t FRoot = -1;
    std::vector<TStep> FProgram;
    std::vector<long double> FStack;
};

// Converts a decimal literal: [+|-] digits [Decimal digits] [(e|E) [+|-] digits],
// at least one digit before the exponent, nothing else around it. Returns
// false when it is not such a literal or overflows; a value too small to
// represent is 0.
bool CalcParseNumber(std::string_view S, char Decimal, long double& Value);

}  // namespace tarvex
