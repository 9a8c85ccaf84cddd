// Every function of the evaluator at a few points and at the edges of its
// domain: faults of the arithmetic are error 7 (poles included), results
// too large are error 1.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "calc/evaluate_text.h"

namespace tarvex {
namespace {

const TCalcLocale kEnglish{'.', ','};

long double V(std::string_view Text) {
    const TCalcValue r = EvaluateText(Text, kEnglish);
    EXPECT_TRUE(r.Ok()) << Text << ": error " << r.ErrorCode << " at " << r.ErrorPos;
    return r.Value;
}

void ExpectNear(std::string_view Text, long double Want) {
    const long double got = V(Text);
    EXPECT_NEAR(static_cast<double>(got), static_cast<double>(Want), 1e-15 * std::max(1.0, std::fabs(static_cast<double>(Want))))
        << Text;
}

void ExpectError(std::string_view Text, std::int32_t Code, std::int32_t Pos) {
    const TCalcValue r = EvaluateText(Text, kEnglish);
    EXPECT_EQ(r.ErrorCode, Code) << Text;
    EXPECT_EQ(r.ErrorPos, Pos) << Text;
    EXPECT_EQ(r.Value, 0) << Text;
}

constexpr long double kPi = std::numbers::pi_v<long double>;

TEST(CalcFunctions, Trigonometry) {
    EXPECT_EQ(V("sin(0)"), 0);
    EXPECT_EQ(V("SIN(0)"), 0);
    ExpectNear("sin(pi/2)", 1);
    ExpectNear("sin(pi/6)", 0.5L);
    EXPECT_EQ(V("cos(0)"), 1);
    ExpectNear("cos(pi)", -1);
    EXPECT_EQ(V("tg(0)"), 0);
    ExpectNear("tan(pi/4)", 1);
    ExpectNear("ctg(pi/4)", 1);
    ExpectNear("cot(1)", 1 / std::tan(1.0L));
    ExpectNear("ctg(pi/2)", 0);
    ExpectError("ctg(0)", ceSyntax, 1);  // a pole
    ExpectError("2*cot(0)", ceSyntax, 3);
}

TEST(CalcFunctions, InverseTrigonometry) {
    ExpectNear("arcsin(1)", kPi / 2);
    ExpectNear("arcsin(-1)", -kPi / 2);
    EXPECT_EQ(V("arcsin(0)"), 0);
    ExpectNear("arccos(-1)", kPi);
    EXPECT_EQ(V("arccos(1)"), 0);
    ExpectNear("arctg(1)", kPi / 4);
    ExpectNear("arctan(1e30)", kPi / 2);
    ExpectNear("arcctg(0)", kPi / 2);
    ExpectNear("arccot(1)", kPi / 4);
    ExpectNear("arcctg(-1)", 3 * kPi / 4);
    ExpectError("arcsin(2)", ceSyntax, 1);
    ExpectError("arcsin(-1.0000001)", ceSyntax, 1);
    ExpectError("1+arccos(1.5)", ceSyntax, 3);
}

TEST(CalcFunctions, Hyperbolic) {
    EXPECT_EQ(V("sh(0)"), 0);
    ExpectNear("sinh(1)", std::sinh(1.0L));
    EXPECT_EQ(V("ch(0)"), 1);
    ExpectNear("cosh(-1)", std::cosh(1.0L));
    EXPECT_EQ(V("th(0)"), 0);
    ExpectNear("tanh(0.5)", std::tanh(0.5L));
    EXPECT_EQ(V("th(20000)"), 1) << "stays finite where e^x overflows";
    EXPECT_EQ(V("tanh(-20000)"), -1);
    ExpectNear("cth(1)", 1 / std::tanh(1.0L));
    EXPECT_EQ(V("coth(20000)"), 1);
    ExpectError("cth(0)", ceSyntax, 1);
    ExpectError("sh(20000)", ceWrongNumber, 1);  // overflow
    ExpectError("ch(-20000)", ceWrongNumber, 1);
}

TEST(CalcFunctions, RootsLogarithmsAndExponent) {
    EXPECT_EQ(V("sqrt(16)"), 4);
    EXPECT_EQ(V("sqrt(0)"), 0);
    ExpectNear("sqrt(2)", std::sqrt(2.0L));
    ExpectError("sqrt(-1)", ceSyntax, 1);
    ExpectError("1+sqrt(-0.001)", ceSyntax, 3);
    EXPECT_EQ(V("ln(1)"), 0);
    ExpectNear("ln(e)", 1);
    ExpectError("ln(0)", ceSyntax, 1);
    ExpectError("ln(-1)", ceSyntax, 1);
    EXPECT_EQ(V("exp(0)"), 1);
    ExpectNear("exp(1)", std::numbers::e_v<long double>);
    EXPECT_EQ(V("exp(-100000)"), 0);
    ExpectError("exp(100000)", ceWrongNumber, 1);
    EXPECT_EQ(V("log10(1000)"), 3);
    EXPECT_EQ(V("lg(0.01)"), -2);
    ExpectError("lg(0)", ceSyntax, 1);
    ExpectError("log10(-5)", ceSyntax, 1);
    EXPECT_EQ(V("log2(1024)"), 10);
    ExpectError("log2(0)", ceSyntax, 1);
    EXPECT_EQ(V("sqr(-3)"), 9);
    ExpectError("sqr(1e3000)", ceWrongNumber, 1);
}

TEST(CalcFunctions, Powers) {
    EXPECT_EQ(V("2^10"), 1024);
    EXPECT_EQ(V("(-2)^3"), -8) << "whole exponents take negative bases";
    EXPECT_EQ(V("4^0.5"), 2);
    EXPECT_EQ(V("2^(-1)"), 0.5L);
    EXPECT_EQ(V("0^0"), 1);
    EXPECT_EQ(V("0^2"), 0);
    ExpectError("(-8)^(1/3)", ceSyntax, 5);  // a negative base, a fraction
    ExpectError("0^(-1)", ceSyntax, 2);      // a pole
    ExpectError("10^5000", ceWrongNumber, 3);
}

TEST(CalcFunctions, SignsAndSteps) {
    EXPECT_EQ(V("abs(-2.5)"), 2.5L);
    EXPECT_EQ(V("abs(3)"), 3);
    EXPECT_EQ(V("sgn(-7)"), -1);
    EXPECT_EQ(V("sign(0)"), 0);
    EXPECT_EQ(V("sgn(0.001)"), 1);
    EXPECT_EQ(V("heaviside(-0.1)"), 0);
    EXPECT_EQ(V("heaviside(0)"), 1);
    EXPECT_EQ(V("h(5)"), 1);
}

TEST(CalcFunctions, Rounding) {
    EXPECT_EQ(V("ceil(1.2)"), 2);
    EXPECT_EQ(V("ceil(-1.2)"), -1);
    EXPECT_EQ(V("floor(1.8)"), 1);
    EXPECT_EQ(V("floor(-1.2)"), -2);
    EXPECT_EQ(V("int(2.9)"), 2);
    EXPECT_EQ(V("int(-2.9)"), -2);
    EXPECT_EQ(V("frac(2.75)"), 0.75L);
    EXPECT_EQ(V("frac(-2.75)"), -0.75L) << "the fraction keeps its sign";
    EXPECT_EQ(V("frac(1e30)"), 0);
    // Halves go to the even neighbour.
    EXPECT_EQ(V("round(2.5)"), 2);
    EXPECT_EQ(V("round(3.5)"), 4);
    EXPECT_EQ(V("round(-2.5)"), -2);
    EXPECT_EQ(V("round(-3.5)"), -4);
    EXPECT_EQ(V("round(2.4999)"), 2);
    EXPECT_EQ(V("round(-0.6)"), -1);
    EXPECT_EQ(V("round(0.5)"), 0);
    EXPECT_EQ(V("round(1e25+0.5)"), 1e25L);
}

TEST(CalcFunctions, FunctionsNestAndTakeExpressions) {
    ExpectNear("sqrt(sqr(3)+sqr(4))", 5);
    ExpectNear("sin(x)^2+cos(x)^2 : x=0.7", 1);
    EXPECT_EQ(V("abs(floor(-2.5)*2)"), 6);
}

}  // namespace
}  // namespace tarvex
