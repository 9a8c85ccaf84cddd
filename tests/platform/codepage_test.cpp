#include <gtest/gtest.h>
#include <iconv.h>

#include "platform/codepage.h"

namespace tarvex {
namespace {

// The table agrees with glibc's CP1251 for every assigned byte.
TEST(Codepage, TableMatchesTheSystemConverter) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;  // unassigned in the code page
        char in = static_cast<char>(b);
        char16_t out = 0;
        char* ip = &in;
        char* op = reinterpret_cast<char*>(&out);
        std::size_t il = 1, ol = 2;
        ASSERT_NE(iconv(cd, &ip, &il, &op, &ol), static_cast<std::size_t>(-1)) << b;
        EXPECT_EQ(Cp1251ToUnicode(static_cast<unsigned char>(b)), out) << "byte " << b;
    }
    iconv_close(cd);
}

TEST(Codepage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf16ToCp1251(Cp1251ToUtf16(all)), all);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(UnicodeToCp1251(Cp1251ToUnicode(static_cast<unsigned char>(b))), b);
}

TEST(Codepage, CyrillicLettersAndSigns) {
    EXPECT_EQ(Cp1251ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"), "Привет");
    EXPECT_EQ(Utf8ToCp1251("Ёё№€"), "\xA8\xB8\xB9\x88");
}

TEST(Codepage, UnmappableAndInvalidInputBecomesReplacement) {
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b") << "a Chinese character has no byte";
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?") << "a character beyond the BMP";
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??") << "an overlong form is invalid";
    EXPECT_EQ(Utf8ToCp1251("x\xD0"), "x?") << "a truncated sequence";
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???") << "an encoded surrogate";
    EXPECT_EQ(Utf16ToCp1251(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(Utf16ToCp1251(u"\x4E2D", '_'), "_");
}

}  // namespace
}  // namespace tarvex
