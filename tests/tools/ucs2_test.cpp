#include <gtest/gtest.h>

#include "tests/tools/compound_file.h"
#include "tools/ucs2.h"

using tarvex::Ucs2ToAnsi;
using tarvex::test::Utf16Le;

namespace {
std::string Marked(const std::string& Cp1251) { return "\xFF\xFE" + Utf16Le(Cp1251); }
}  // namespace

TEST(Ucs2ToAnsi, MarkedTextOfLatinAndCyrillic) {
    EXPECT_EQ(Ucs2ToAnsi(Marked("\xCF\xF0\xE8\xE2\xE5\xF2 ok\r\n")), "\xCF\xF0\xE8\xE2\xE5\xF2 ok\r\n");
    // General punctuation keeps its Windows-1251 form (an em dash here); invisible marks go.
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a\0\x14\x20" "b\0\x0B\x20" "c\0", 12)), "a\x97" "bc");
}

TEST(Ucs2ToAnsi, TheTextsOwnBlanksAndBreaksStay) {
    // Regression: leading blanks were trimmed and every run of blanks
    // collapsed as soon as one character had no Windows-1251 form.
    const std::string text = "    indented line\r\n        code  x  = 1 ";
    const std::string cjk = std::string("\x2D\x4E", 2);  // U+4E2D
    std::string le = "\xFF\xFE" + Utf16Le(text) + cjk + Utf16Le("\r\n");
    EXPECT_EQ(Ucs2ToAnsi(le), "    indented line\r\n        code  x  = 1 ?\r\n");
    EXPECT_EQ(Ucs2ToAnsi(Marked("  two lines\r\nend\r\n")), "  two lines\r\nend\r\n") << "the simple path as well";
    EXPECT_EQ(Ucs2ToAnsi(Utf16Le("\tx y\r\n")), "\tx y\r\n") << "and without a marker";
}

TEST(Ucs2ToAnsi, ControlCharactersAndPaddingLeaveOneBlankAtMost) {
    // A CJK character has no Windows-1251 form; a control character next to
    // the text's own blanks adds nothing.
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a\0\x60\x4F\x07\0 \0 \0b\0", 14)), "a?  b");
    EXPECT_EQ(Ucs2ToAnsi(Marked("a\x07\x07\x07" "b")), "a b");
    EXPECT_EQ(Ucs2ToAnsi(Marked("\x01\x02x\x03")), "x") << "none at the ends";
    EXPECT_EQ(Ucs2ToAnsi(Marked("text\r\n") + std::string(8, '\0')), "text\r\n") << "NUL padding";
    EXPECT_EQ(Ucs2ToAnsi(Marked("a\x07\r\nb")), "a\r\nb");
}

TEST(Ucs2ToAnsi, CharactersWithoutAFormAreCounted) {
    std::int64_t unmapped = -1;
    // "世界" and a smiley (a surrogate pair) between Cyrillic letters.
    const std::string s = std::string("\xFF\xFE\x16\x04\x16\x4E\x4C\x75\x3D\xD8\x00\xDE\x43\x04", 14);
    EXPECT_EQ(Ucs2ToAnsi(s, &unmapped), "\xC6???\xF3");
    EXPECT_EQ(unmapped, 3);
    EXPECT_EQ(Ucs2ToAnsi(Marked("plain ?"), &unmapped), "plain ?");
    EXPECT_EQ(unmapped, 0) << "a question mark of the text is no loss";
    // Marker-less noise: a long run of unknown characters shows as one '?', all counted.
    std::string noise = Utf16Le("ab");
    for (int i = 0; i < 6; ++i) noise += std::string("\x00\x4E", 2);
    EXPECT_EQ(Ucs2ToAnsi(noise + Utf16Le("cd"), &unmapped), "ab?cd");
    EXPECT_EQ(unmapped, 6);
}

TEST(Ucs2ToAnsi, WithoutMarker) {
    EXPECT_EQ(Ucs2ToAnsi(" 8-bit text \r\n"), " 8-bit text \r\n");  // no zero byte: left as it is
    EXPECT_EQ(Ucs2ToAnsi(Utf16Le("\xC0\xE1\x07" "c d")), "\xC0\xE1 c d");
    EXPECT_EQ(Ucs2ToAnsi(Utf16Le("x\r\ny")), "x\r\ny");
}

TEST(Ucs2ToAnsi, ShortAndOddInput) {
    EXPECT_EQ(Ucs2ToAnsi(""), "");
    EXPECT_EQ(Ucs2ToAnsi("ab"), "ab");
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a", 3)), "");
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE\0\0", 4)), "");
    EXPECT_EQ(Ucs2ToAnsi(std::string("a\0b\0c", 5)), "ab");
    EXPECT_EQ(Ucs2ToAnsi(std::string("\xFF\xFE" "a\0\x3D\xD8", 6)), "a?") << "a surrogate cut off";
}
