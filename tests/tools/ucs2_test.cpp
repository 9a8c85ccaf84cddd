#include <gtest/gtest.h>

#include "tests/tools/compound_file.h"
#include "tools/ucs2.h"

using tarvex::Ucs2ToAnsi;
using tarvex::test::Utf16Le;

TEST(Ucs2ToAnsi, MarkedTextOfLatinAndCyrillic) {
    EXPECT_EQ(Ucs2ToAnsi("\xFF\xFE" + Utf16Le("  \xCF\xF0\xE8\xE2\xE5\xF2 ok\r\n")), "\xCF\xF0\xE8\xE2\xE5\xF2 ok");
    // General punctuation (an em dash here) is dropped on this path.
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a\0\x14\x20" "b\0", 8)), "ab");
}

TEST(Ucs2ToAnsi, MarkedTextOfOtherScripts) {
    // A CJK character has no Windows-1251 form; control characters become spaces
    // and runs of spaces collapse.
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a\0\x60\x4F\x07\0 \0 \0b\0", 14)), "a? b");
}

TEST(Ucs2ToAnsi, WithoutMarker) {
    EXPECT_EQ(Ucs2ToAnsi(" 8-bit text \r\n"), "8-bit text");  // no zero byte: only trimmed
    EXPECT_EQ(Ucs2ToAnsi(Utf16Le("\xC0\xE1\x07" "c d")), "\xC0\xE1 c d");
    EXPECT_EQ(Ucs2ToAnsi(Utf16Le("x\r\ny")), "x\r\ny");
}

TEST(Ucs2ToAnsi, ShortAndOddInput) {
    EXPECT_EQ(Ucs2ToAnsi(""), "");
    EXPECT_EQ(Ucs2ToAnsi("ab"), "ab");
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a", 3)), "");
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE\0\0", 4)), "");
    EXPECT_EQ(Ucs2ToAnsi(std::string("a\0b\0c", 5)), "ab");
}
