// EvaluateText: both decimal marks, the definitions after ":", the binding
// of unnamed definitions, and error positions in the text given.

#include <gtest/gtest.h>

#include "calc/evaluate_text.h"

namespace tarvex {
namespace {

const TCalcLocale kEnglish = CalcLocale(TCalcLanguage::English);
const TCalcLocale kRussian = CalcLocale(TCalcLanguage::Russian);

long double V(std::string_view Text, const TCalcLocale& L = kEnglish) {
    const TCalcValue r = EvaluateText(Text, L);
    EXPECT_TRUE(r.Ok()) << Text << ": error " << r.ErrorCode << " at " << r.ErrorPos;
    return r.Value;
}

TEST(EvaluateText, LocaleSeparators) {
    EXPECT_EQ(kRussian.DecimalSeparator, ',');
    EXPECT_EQ(kRussian.ThousandSeparator, ' ');
    EXPECT_EQ(kEnglish.DecimalSeparator, '.');
    EXPECT_EQ(kEnglish.ThousandSeparator, ',');
}

TEST(EvaluateText, RussianTakesBothDecimalMarks) {
    EXPECT_EQ(V("1,5+1.5", kRussian), 3);
    EXPECT_EQ(V("1 000,25*4", kRussian), 4001);
    EXPECT_EQ(V("x*2 : x=0.25", kRussian), 0.5L);
    EXPECT_EQ(V("x*2 : x=0,25", kRussian), 0.5L);
}

TEST(EvaluateText, EnglishCommaGroupsThousands) {
    EXPECT_EQ(V("1.5+1.5"), 3);
    EXPECT_EQ(V("1,500/3"), 500);
    EXPECT_EQ(V("x/2 : x=1,000"), 500) << "thousands separators are cleaned out of values";
    EXPECT_EQ(V("1 000 / 4"), 250);
}

TEST(EvaluateText, ConstantsAreDefined) {
    EXPECT_NEAR(static_cast<double>(V("pi")), 3.14159265358979, 1e-14);
    EXPECT_NEAR(static_cast<double>(V("e")), 2.71828182845905, 1e-14);
    EXPECT_NEAR(static_cast<double>(V("2*PI")), 6.28318530717959, 1e-14);
}

TEST(EvaluateText, NamedDefinitions) {
    EXPECT_NEAR(static_cast<double>(V("sin(x) : x=0.5")), 0.479425538604203, 1e-15);
    EXPECT_EQ(V("a*b : a=2; b=3"), 6);
    EXPECT_EQ(V("a*b : a=2 : b=3"), 6) << "\":\" separates definitions too";
    EXPECT_EQ(V("A*b : a = 2 ; B = 3"), 6) << "names are compared without case";
    EXPECT_EQ(V("r*2 : r = 1 000"), 2000);
    EXPECT_EQ(V("x : x=-1.5e2"), -150);
    EXPECT_EQ(V("x : x=1; x=2"), 2) << "a later definition wins";
    EXPECT_EQ(V("e*2 : e=3"), 6) << "a definition replaces a constant";
}

TEST(EvaluateText, UnnamedDefinitionsBindInOrder) {
    EXPECT_EQ(V("x*2 : 3"), 6);
    EXPECT_EQ(V("x*y : 2; 3"), 6);
    EXPECT_EQ(V("y-x : 10; 4"), 6) << "in the order the names appear in the formula";
    EXPECT_EQ(V("x*y : y=5; 2"), 10) << "the named one by name, the rest in order";
}

TEST(EvaluateText, BadDefinitions) {
    // A value that does not convert is error 8 at the end of the text when
    // it had "=", and ignored otherwise.
    const std::string t = "x*2 : x=abc";
    TCalcValue r = EvaluateText(t, kEnglish);
    EXPECT_EQ(r.ErrorCode, ceArguments);
    EXPECT_EQ(r.ErrorPos, static_cast<std::int32_t>(t.size()) + 1);
    r = EvaluateText("x*2 : x=", kEnglish);
    EXPECT_EQ(r.ErrorCode, ceArguments);
    r = EvaluateText("x*2 : x=1+1", kEnglish);
    EXPECT_EQ(r.ErrorCode, ceArguments) << "values are numbers, not expressions";
    EXPECT_EQ(V("2*3 : words ; ;"), 6);
    r = EvaluateText("x*2 : words", kEnglish);
    EXPECT_EQ(r.ErrorCode, ceWrongVariable) << "x is then undefined";
}

TEST(EvaluateText, PositionsCountFromTheTextGiven) {
    TCalcValue r = EvaluateText("   1/0 : x=1", kEnglish);
    EXPECT_EQ(r.ErrorCode, ceDivideByZero);
    EXPECT_EQ(r.ErrorPos, 5);
    r = EvaluateText("  (1+2 : 5", kEnglish);
    EXPECT_EQ(r.ErrorCode, ceBrackets);
    EXPECT_EQ(r.ErrorPos, 7) << "just after the expression";
    r = EvaluateText("", kEnglish);
    EXPECT_EQ(r.ErrorCode, ceWrongOperation);
    EXPECT_EQ(r.ErrorPos, 1);
}

}  // namespace
}  // namespace tarvex
