// How results are written, and the whole-number base conversions with their
// 64-bit limits.

#include <gtest/gtest.h>

#include "calc/calc_format.h"

namespace tarvex {
namespace {

const TCalcLocale kEnglish = CalcLocale(TCalcLanguage::English);
const TCalcLocale kRussian = CalcLocale(TCalcLanguage::Russian);

TEST(CalcFormat, GeneralFormatWithFifteenDigits) {
    EXPECT_EQ(FormatCalcNumber(14, kEnglish), "14");
    EXPECT_EQ(FormatCalcNumber(-4, kEnglish), "-4");
    EXPECT_EQ(FormatCalcNumber(0.1L + 0.2L, kEnglish), "0.3");
    EXPECT_EQ(FormatCalcNumber(1.0L / 3, kEnglish), "0.333333333333333");
    EXPECT_EQ(FormatCalcNumber(2.0L / 3, kEnglish), "0.666666666666667");
    EXPECT_EQ(FormatCalcNumber(123456789012345.0L, kEnglish), "123456789012345");
    EXPECT_EQ(FormatCalcNumber(1e15L, kEnglish), "1E+15");
    EXPECT_EQ(FormatCalcNumber(1.5e20L, kEnglish), "1.5E+20");
    EXPECT_EQ(FormatCalcNumber(0.0001L, kEnglish), "0.0001");
    EXPECT_EQ(FormatCalcNumber(0.00001L, kEnglish), "1E-5");
    EXPECT_EQ(FormatCalcNumber(-2.5e-300L, kEnglish), "-2.5E-300");
    EXPECT_EQ(FormatCalcNumber(1e4000L, kEnglish), "1E+4000");
    EXPECT_EQ(FormatCalcNumber(-0.0L, kEnglish), "0") << "no negative zero";
    EXPECT_EQ(FormatCalcNumber(2.5L, kRussian), "2,5");
    EXPECT_EQ(FormatCalcNumber(1.25e-7L, kRussian), "1,25E-7");
}

TEST(CalcFormat, FourDecimals) {
    EXPECT_EQ(FormatFixed4(3, '.'), "3");
    EXPECT_EQ(FormatFixed4(2.5L, ','), "2,5");
    EXPECT_EQ(FormatFixed4(1.0L / 3, '.'), "0.3333");
    EXPECT_EQ(FormatFixed4(2.0L / 3, '.'), "0.6667");
    EXPECT_EQ(FormatFixed4(-0.00001L, '.'), "0");
    EXPECT_EQ(FormatFixed4(-1.5L, '.'), "-1.5");
    EXPECT_EQ(FormatFixed4(1e20L, '.'), "100000000000000000000");
}

TEST(CalcFormat, Classification) {
    EXPECT_EQ(ClassifyWholeNumber("255"), TCalcBase::Decimal);
    EXPECT_EQ(ClassifyWholeNumber("101"), TCalcBase::Decimal) << "decimal wins over binary";
    EXPECT_EQ(ClassifyWholeNumber("101b"), TCalcBase::Binary);
    EXPECT_EQ(ClassifyWholeNumber("101B"), TCalcBase::Binary);
    EXPECT_EQ(ClassifyWholeNumber("1b"), TCalcBase::Binary) << "binary wins over hexadecimal 1B";
    EXPECT_EQ(ClassifyWholeNumber("$1b"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("12b"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("$FF"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("ffh"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("$0aH"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("DEAD"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("1bh"), TCalcBase::Hexadecimal);
    EXPECT_EQ(ClassifyWholeNumber("b"), TCalcBase::Hexadecimal) << "no binary digit: the hex digit B";
    for (const char* none : {"", "$", "h", "$h", "1$", "F$F", "1h2", "0x1F", "1 0", "-5", "1.5", "g", "$$1"})
        EXPECT_EQ(ClassifyWholeNumber(none), TCalcBase::None) << none;
}

TEST(CalcFormat, Conversions) {
    EXPECT_EQ(ConvertWholeNumber("255", TCalcBase::Decimal).Text, "FFh=11111111b");
    EXPECT_EQ(ConvertWholeNumber("10", TCalcBase::Decimal).Text, "Ah=1010b");
    EXPECT_EQ(ConvertWholeNumber("0", TCalcBase::Decimal).Text, "0h=0b");
    EXPECT_EQ(ConvertWholeNumber("000", TCalcBase::Decimal).Text, "0h=0b");
    EXPECT_EQ(ConvertWholeNumber("$FF", TCalcBase::Hexadecimal).Text, "255=11111111b");
    EXPECT_EQ(ConvertWholeNumber("ffh", TCalcBase::Hexadecimal).Text, "255=11111111b");
    EXPECT_EQ(ConvertWholeNumber("$0", TCalcBase::Hexadecimal).Text, "0=0b");
    EXPECT_EQ(ConvertWholeNumber("1010b", TCalcBase::Binary).Text, "10=Ah");
    EXPECT_EQ(ConvertWholeNumber("0000b", TCalcBase::Binary).Text, "0=0h");
}

TEST(CalcFormat, SixtyFourBitLimits) {
    const std::string ones(64, '1');
    EXPECT_EQ(ConvertWholeNumber("18446744073709551615", TCalcBase::Decimal).Text, "FFFFFFFFFFFFFFFFh=" + ones + "b");
    EXPECT_EQ(ConvertWholeNumber("$FFFFFFFFFFFFFFFF", TCalcBase::Hexadecimal).Text,
              "18446744073709551615=" + ones + "b");
    EXPECT_EQ(ConvertWholeNumber(ones + "b", TCalcBase::Binary).Text, "18446744073709551615=FFFFFFFFFFFFFFFFh");
    EXPECT_EQ(ConvertWholeNumber("9223372036854775808", TCalcBase::Decimal).Text,
              "8000000000000000h=1" + std::string(63, '0') + "b");
    // Leading zeros do not count.
    EXPECT_EQ(ConvertWholeNumber("00018446744073709551615", TCalcBase::Decimal).ErrorCode, ceNone);
    // One more is error 1 at the digit that overflows, not a wrapped number.
    TBaseConversion c = ConvertWholeNumber("18446744073709551616", TCalcBase::Decimal);
    EXPECT_EQ(c.ErrorCode, ceWrongNumber);
    EXPECT_EQ(c.ErrorPos, 20);
    EXPECT_TRUE(c.Text.empty());
    c = ConvertWholeNumber("99999999999999999999999", TCalcBase::Decimal);
    EXPECT_EQ(c.ErrorPos, 20);
    c = ConvertWholeNumber("$1FFFFFFFFFFFFFFFF", TCalcBase::Hexadecimal);
    EXPECT_EQ(c.ErrorCode, ceWrongNumber);
    EXPECT_EQ(c.ErrorPos, 18);
    c = ConvertWholeNumber("1" + ones + "b", TCalcBase::Binary);
    EXPECT_EQ(c.ErrorCode, ceWrongNumber);
    EXPECT_EQ(c.ErrorPos, 65);
}

}  // namespace
}  // namespace tarvex
