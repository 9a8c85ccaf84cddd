// TCalcExpress: the grammar, the lexer's literals, percentages, variables,
// every parse error with its position, and the limits that keep the parser
// and the evaluation off the machine stack.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calc/calc_express.h"

namespace tarvex {
namespace {

const TCalcLocale kEnglish{'.', ','};
const TCalcLocale kRussian{',', ' '};

struct TOutcome {
    long double Value = 0;
    std::int32_t Code = 0;
    std::int32_t Pos = 0;
};

TOutcome Eval(std::string_view F, const TCalcLocale& L = kEnglish, std::vector<std::string> Names = {},
              std::vector<long double> Values = {}) {
    TCalcExpress c(L);
    c.SetVariables(std::move(Names));
    c.SetFormula(F);
    TOutcome o;
    if (!c.TryEvaluate(Values, o.Value)) {
        o.Code = c.ErrorCode();
        o.Pos = c.ErrorPos();
    }
    return o;
}

long double Value(std::string_view F, const TCalcLocale& L = kEnglish) {
    const TOutcome o = Eval(F, L);
    EXPECT_EQ(o.Code, 0) << F << " failed at " << o.Pos;
    return o.Value;
}

TEST(CalcExpress, PrecedenceAndAssociativity) {
    EXPECT_EQ(Value("2+3*4"), 14);
    EXPECT_EQ(Value("8-3-2"), 3);
    EXPECT_EQ(Value("2^3^2"), 64) << "powers associate to the left";
    EXPECT_EQ(Value("2*3^2"), 18) << "a power binds tighter than *";
    EXPECT_EQ(Value("100/10/5"), 2);
    EXPECT_EQ(Value("(1+2)*(3+4)"), 21);
    EXPECT_EQ(Value("2^(1+2)"), 8) << "a bracketed exponent is a whole expression";
    EXPECT_EQ(Value("2^sqr(2)"), 16);
    EXPECT_EQ(Value("  7  "), 7);
    EXPECT_EQ(Value("0"), 0);
}

TEST(CalcExpress, LeadingMinusNegatesTheWholeTerm) {
    EXPECT_EQ(Value("-2^2"), -4);
    EXPECT_EQ(Value("(-2)^2"), 4);
    EXPECT_EQ(Value("(-2^2)"), 4) << "after \"(\" the minus belongs to the number";
    EXPECT_EQ(Value("-2*3+10"), 4);
    EXPECT_EQ(Value("- 2 + 5"), 3);
    EXPECT_EQ(Value("+2"), 2);
    EXPECT_EQ(Value("(- 3)*2"), -6);
    EXPECT_EQ(Value("sin(-0)"), 0);
    EXPECT_EQ(Value("abs(-5)"), 5);
    // A sign is taken only at the start and after "(".
    EXPECT_EQ(Eval("2*-3").Code, ceWrongOperation);
    EXPECT_EQ(Eval("2+-3").Code, ceWrongOperation);
}

TEST(CalcExpress, PercentMarksTheNextBinaryNode) {
    EXPECT_EQ(Value("200+10%"), 220);
    EXPECT_EQ(Value("100-15%"), 85);
    EXPECT_EQ(Value("50*10%"), 5);
    EXPECT_EQ(Value("50/10%"), 500) << "50 / (10/100)";
    EXPECT_EQ(Value("10% + 5"), 10.5L);
    EXPECT_EQ(Value("10%"), 10) << "no node takes it";
    EXPECT_EQ(Value("200+10%%"), 220);
    EXPECT_EQ(Value("(200+10%)*2"), 440);
}

TEST(CalcExpress, NumberLiterals) {
    EXPECT_EQ(Value("1 000 / 4"), 250);
    EXPECT_EQ(Value("1,000,000+1"), 1000001) << "English thousands separator";
    EXPECT_EQ(Value("1 234 567"), 1234567);
    EXPECT_EQ(Value("2.5*2"), 5);
    EXPECT_EQ(Value(".5*4"), 2);
    EXPECT_EQ(Value("1.5e3"), 1500);
    EXPECT_EQ(Value("1E+2"), 100) << "upper case is lowered";
    EXPECT_EQ(Value("25e-1"), 2.5L);
    EXPECT_NEAR(static_cast<double>(Value("1e4000/1e3999")), 10, 1e-15) << "extended precision reaches far beyond double";
    EXPECT_EQ(Value("1e-5000"), 0) << "underflow is zero";
    EXPECT_EQ(Value("0.1"), 0.1L) << "correctly rounded";
    EXPECT_EQ(Value("123456789012345678901234567890"), 123456789012345678901234567890.0L);
    EXPECT_EQ(Value("0.000000000000000000000000000001"), 1e-30L);
    // Russian: "," is the decimal point, a space the thousands separator.
    EXPECT_EQ(Value("1 000,5*2", kRussian), 2001);
    EXPECT_EQ(Value(",5+1", kRussian), 1.5L);
    EXPECT_EQ(Value("2,5e1", kRussian), 25);
}

TEST(CalcExpress, MalformedNumbersAreErrorOneAtTheCharacter) {
    TOutcome o = Eval("2.+1");
    EXPECT_EQ(o.Code, ceWrongNumber);
    EXPECT_EQ(o.Pos, 3);
    o = Eval("3e+");
    EXPECT_EQ(o.Code, ceWrongNumber);
    EXPECT_EQ(o.Pos, 4);
    o = Eval("1+2e");
    EXPECT_EQ(o.Code, ceWrongNumber);
    EXPECT_EQ(o.Pos, 5);
    o = Eval("1+1e5000");
    EXPECT_EQ(o.Code, ceWrongNumber) << "overflow of a literal";
    EXPECT_EQ(o.Pos, 3);
}

TEST(CalcExpress, EveryParseErrorWithItsPosition) {
    struct TCase {
        const char* Formula;
        std::int32_t Code;
        std::int32_t Pos;
    };
    const TCase cases[] = {
        {"((1+2)", ceBrackets, 7},        // still open at the end
        {"1+2)", ceBrackets, 4},          // closes nothing
        {"sin 3", ceBrackets, 5},         // a function without "("
        {"sqrt", ceBrackets, 5},
        {"2+", ceWrongOperation, 3},      // nothing where an operand belongs
        {"*2", ceWrongOperation, 1},
        {"()", ceWrongOperation, 2},
        {"", ceWrongOperation, 1},
        {"2^", ceExpectedOperand, 3},
        {"2^-1", ceExpectedOperand, 3},
        {"2^*3", ceExpectedOperand, 3},
        {"x+1", ceWrongVariable, 1},      // no variables at all
        {"2 sin(1)", ceSyntax, 3},        // an operand where an operator belongs
        {"2(3)", ceSyntax, 2},
        {"2+3=", ceSyntax, 4},            // a character no token starts with
        {"2 # 3", ceSyntax, 3},
        {"sin(1)cos(1)", ceSyntax, 7},
    };
    for (const TCase& c : cases) {
        const TOutcome o = Eval(c.Formula);
        EXPECT_EQ(o.Code, c.Code) << c.Formula;
        EXPECT_EQ(o.Pos, c.Pos) << c.Formula;
    }
}

TEST(CalcExpress, ParseErrorLeavesNoTreeAndIsRaisedByEvaluate) {
    TCalcExpress c;
    c.SetFormula("1+(2");
    EXPECT_TRUE(c.Error());
    EXPECT_EQ(c.ErrorCode(), ceBrackets);
    EXPECT_EQ(c.Root(), -1);
    EXPECT_TRUE(c.Nodes().empty());
    try {
        c.Evaluate({});
        FAIL() << "no exception";
    } catch (const ECalcError& e) {
        EXPECT_EQ(e.Code, ceBrackets);
        EXPECT_EQ(e.Pos, 5);
        EXPECT_STREQ(e.what(), "Mismatched brackets");
    }
    // A good formula afterwards parses and clears the error.
    c.SetFormula("1+2");
    EXPECT_FALSE(c.Error());
    EXPECT_EQ(c.Evaluate({}), 3);
}

TEST(CalcExpress, DefaultFormulaIsZero) {
    TCalcExpress c;
    EXPECT_EQ(c.Formula(), "0");
    EXPECT_EQ(c.Evaluate({}), 0);
}

TEST(CalcExpress, TreeShape) {
    TCalcExpress c;
    c.SetFormula("-2^2+x*3");
    ASSERT_TRUE(c.Error()) << "x has no variable";
    c.SetVariables({"x"});
    c.SetFormula("-2^2+x*3");
    ASSERT_FALSE(c.Error());
    const auto& n = c.Nodes();
    const TCalcNode& root = n[c.Root()];
    EXPECT_EQ(root.Op, coPlus);
    EXPECT_EQ(root.Pos, 5);
    const TCalcNode& neg = n[root.Left];
    EXPECT_EQ(neg.Op, coNeg);
    EXPECT_EQ(neg.Right, -1);
    EXPECT_EQ(n[neg.Left].Op, coPow);
    const TCalcNode& mul = n[root.Right];
    EXPECT_EQ(mul.Op, coMul);
    EXPECT_EQ(n[mul.Left].Op, coVariable);
    EXPECT_EQ(n[mul.Left].Var, 0);
    EXPECT_EQ(n[mul.Right].Value, 3);
}

TEST(CalcExpress, VariablesBindByNameThenToEmptyNamesThenToTheLast) {
    // Names are compared without case.
    EXPECT_EQ(Eval("X*2", kEnglish, {"x"}, {4}).Value, 8);
    EXPECT_EQ(Eval("x*2", kEnglish, {"X"}, {4}).Value, 8);
    EXPECT_EQ(Eval("\xA8\xC6+1", kEnglish, {"\xB8\xE6"}, {1}).Value, 2) << "Cyrillic names, Yo included";
    // The first empty name takes the first unknown name of the formula.
    TCalcExpress c;
    c.SetVariables({"pi", "", ""});
    c.SetFormula("b-a");
    ASSERT_FALSE(c.Error());
    EXPECT_EQ(c.Variables()[1], "b");
    EXPECT_EQ(c.Variables()[2], "a");
    const long double v[] = {3.14L, 10, 4};
    EXPECT_EQ(c.Evaluate(v), 6);
    // With no empty name left, an unknown name means the last variable ...
    EXPECT_EQ(Eval("y+1", kEnglish, {"x"}, {5}).Value, 6);
    // ... unless that is one of the constants.
    TOutcome o = Eval("1+y", kEnglish, {"pi", "e"}, {3, 2});
    EXPECT_EQ(o.Code, ceWrongVariable);
    EXPECT_EQ(o.Pos, 3);
}

TEST(CalcExpress, SameTreeEvaluatesWithChangingValues) {
    TCalcExpress c;
    c.SetVariables({"x", "y"});
    c.SetFormula("x^2 + y/2");
    for (int i = 0; i < 100; ++i) {
        const long double v[] = {static_cast<long double>(i), static_cast<long double>(2 * i)};
        EXPECT_EQ(c.Evaluate(v), static_cast<long double>(i * i + i));
    }
    // A value array too short for a variable is error 6 at the variable.
    const long double shortValues[] = {1};
    long double r = -1;
    EXPECT_FALSE(c.TryEvaluate(shortValues, r));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(c.ErrorCode(), ceWrongVariable);
    EXPECT_EQ(c.ErrorPos(), 7);
    // A value that is no number is refused at the variable.
    const long double bad[] = {1, NAN};
    EXPECT_FALSE(c.TryEvaluate(bad, r));
    EXPECT_EQ(c.ErrorCode(), ceWrongNumber);
    // And the next good evaluation clears the error.
    const long double good[] = {1, 2};
    EXPECT_EQ(c.Evaluate(good), 2);
    EXPECT_FALSE(c.Error());
}

TEST(CalcExpress, SettingVariablesParsesAgain) {
    TCalcExpress c;
    c.SetFormula("a+1");
    EXPECT_EQ(c.ErrorCode(), ceWrongVariable);
    c.SetVariables({"a"});
    EXPECT_FALSE(c.Error());
    const long double v[] = {41};
    EXPECT_EQ(c.Evaluate(v), 42);
}

TEST(CalcExpress, DivisionChecksTheDivisorFirst) {
    TOutcome o = Eval("1/0");
    EXPECT_EQ(o.Code, ceDivideByZero);
    EXPECT_EQ(o.Pos, 2);
    o = Eval("ln(0)/(2-2)");
    EXPECT_EQ(o.Code, ceDivideByZero) << "the divisor's fault comes before the dividend's";
    EXPECT_EQ(o.Pos, 6);
    o = Eval("1/(1/0)");
    EXPECT_EQ(o.Code, ceDivideByZero);
    EXPECT_EQ(o.Pos, 5);
    o = Eval("5/0%");
    EXPECT_EQ(o.Code, ceDivideByZero);
}

TEST(CalcExpress, OverflowIsErrorOne) {
    TOutcome o = Eval("1e4000*1e4000");
    EXPECT_EQ(o.Code, ceWrongNumber);
    EXPECT_EQ(o.Pos, 7);
    o = Eval("10^5000");
    EXPECT_EQ(o.Code, ceWrongNumber);
    EXPECT_EQ(o.Pos, 3);
    o = Eval("1e4932+1e4932");
    EXPECT_EQ(o.Code, ceWrongNumber);
    EXPECT_EQ(Eval("1e-4000/1e4000").Code, 0) << "underflow is not an error";
}

TEST(CalcExpress, DeepNestingIsRefusedNotOverflowingTheStack) {
    const int limit = TCalcExpress::kMaxNesting;
    std::string ok = std::string(limit, '(') + "1" + std::string(limit, ')');
    EXPECT_EQ(Value(ok), 1);
    std::string deep = std::string(limit + 1, '(') + "1" + std::string(limit + 1, ')');
    TOutcome o = Eval(deep);
    EXPECT_EQ(o.Code, ceSyntax);
    EXPECT_EQ(o.Pos, limit + 1) << "at the bracket that goes too deep";
    // Functions count as brackets.
    std::string funcs;
    for (int i = 0; i < 1000; ++i) funcs += "abs(";
    funcs += "1" + std::string(1000, ')');
    EXPECT_EQ(Eval(funcs).Code, ceSyntax);
    // A million unclosed brackets end at the limit too.
    EXPECT_EQ(Eval(std::string(1000000, '(')).Code, ceSyntax);
}

TEST(CalcExpress, LongChainsNeedNoRecursion) {
    // Operator chains are loops and the tree is evaluated by a flat program:
    // a left-deep tree of 400,000 nodes evaluates without recursing.
    std::string sum = "0";
    for (int i = 0; i < 200000; ++i) sum += "+1";
    EXPECT_EQ(Value(sum), 200000);
    std::string quotient = "1";
    for (int i = 0; i < 100000; ++i) quotient += "/1";
    EXPECT_EQ(Value(quotient), 1);
    std::string powers = "1";
    for (int i = 0; i < 100000; ++i) powers += "^2";
    EXPECT_EQ(Value(powers), 1);
    std::string negations = "-(";
    for (int i = 0; i < 90; ++i) negations += "-(";
    negations += "1" + std::string(91, ')');
    EXPECT_EQ(Value(negations), -1) << "91 negations";
}

TEST(CalcExpress, NameTableKnowsEverySpelling) {
    EXPECT_EQ(CalcFunctionOf("tan"), coTg);
    EXPECT_EQ(CalcFunctionOf("tg"), coTg);
    EXPECT_EQ(CalcFunctionOf("cot"), coCtg);
    EXPECT_EQ(CalcFunctionOf("sign"), coSgn);
    EXPECT_EQ(CalcFunctionOf("arctan"), coArctg);
    EXPECT_EQ(CalcFunctionOf("arccot"), coArcctg);
    EXPECT_EQ(CalcFunctionOf("sinh"), coSh);
    EXPECT_EQ(CalcFunctionOf("cosh"), coCh);
    EXPECT_EQ(CalcFunctionOf("tanh"), coTh);
    EXPECT_EQ(CalcFunctionOf("coth"), coCth);
    EXPECT_EQ(CalcFunctionOf("h"), coHeaviside);
    EXPECT_EQ(CalcFunctionOf("lg"), coLog10);
    EXPECT_EQ(CalcFunctionOf("log"), coEnd);
    EXPECT_EQ(CalcFunctionOf("pi"), coEnd);
}

TEST(CalcNumber, ParsesWholeLiteralsOnly) {
    long double v = 0;
    EXPECT_TRUE(CalcParseNumber("-0.5", '.', v));
    EXPECT_EQ(v, -0.5L);
    EXPECT_TRUE(CalcParseNumber("+3e2", '.', v));
    EXPECT_EQ(v, 300);
    EXPECT_TRUE(CalcParseNumber("0,25", ',', v));
    EXPECT_EQ(v, 0.25L);
    EXPECT_TRUE(CalcParseNumber(",5", ',', v));
    EXPECT_EQ(v, 0.5L);
    EXPECT_TRUE(CalcParseNumber("5.", '.', v));
    EXPECT_EQ(v, 5);
    for (const char* bad : {"", "-", ".", "1e", "1e+", "1.5x", "x", "1..2", "1 2", "1e99999", "0x10"})
        EXPECT_FALSE(CalcParseNumber(bad, '.', v)) << bad;
}

}  // namespace
}  // namespace tarvex
