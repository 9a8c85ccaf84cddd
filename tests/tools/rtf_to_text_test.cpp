#include <gtest/gtest.h>

#include "tools/rtf_to_text.h"

using tarvex::IsRtfSignature;
using tarvex::RtfToText;

namespace {
std::string Rtf(std::string_view Body) { return RtfToText("{\\rtf1\\ansi\\deff0" + std::string(Body) + "}"); }
}  // namespace

TEST(RtfToText, ParagraphsLinesAndTabs) {
    EXPECT_EQ(Rtf(" one\\par two\\line three\\tab four\\par "), "one\r\ntwo\r\nthree\tfour");
    // A backslash before a line end is a paragraph mark too; bare line ends are ignored.
    EXPECT_EQ(Rtf(" a\\\r\nb\r\nc"), "a\r\nbc");
    EXPECT_EQ(Rtf(" a\\par\\par "), "a\r\n");
}

TEST(RtfToText, NestedGroupsAndFormatting) {
    EXPECT_EQ(Rtf(" plain {\\b bold {\\i both}} {\\ul under}\\b0  end"), "plain bold both under end");
    EXPECT_EQ(Rtf(" \\{braces\\} and \\\\"), "{braces} and \\");
}

TEST(RtfToText, SkippedDestinations) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1 Courier;}}"
        "{\\colortbl;\\red255\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}"
        "{\\info{\\title T}{\\author A}}{\\header head}{\\footerr foot}"
        "{\\*\\generator Writer;}{\\*\\unknowndest hidden {\\nested too}}"
        "{\\pict\\wmetafile8 0123456789abcdef}"
        "{\\object\\objemb{\\*\\objclass Paint}{\\objdata 01050000}{\\result shown}}"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}"
        "visible\\par}";
    EXPECT_EQ(RtfToText(rtf), "shownlinkvisible");
}

TEST(RtfToText, BinaryDataIsSkippedByLength) {
    // The six data bytes hold braces and a backslash that must not count.
    const std::string rtf = "{\\rtf1 a{\\pict\\bin6 }{\\}x}}b}";
    EXPECT_EQ(RtfToText(rtf), "ab");
    EXPECT_EQ(Rtf(" a\\bin99999 xyz"), "a");  // longer than what is left
}

TEST(RtfToText, HexBytesInTheDocumentCodePage) {
    // Windows-1251 by default, as the editor's exporter writes it.
    EXPECT_EQ(Rtf(" \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \xC0\xE1"), "\xCF\xF0\xE8\xE2\xE5\xF2 \xC0\xE1");
    // Windows-1252: e-acute has no Windows-1251 form, the euro sign has.
    EXPECT_EQ(RtfToText("{\\rtf1\\ansi\\ansicpg1252 \\'e9\\'80\\'ab}"), "?\x88\xAB");
    // KOI8-R through its font charset is not needed: \ansicpg names it.
    EXPECT_EQ(RtfToText("{\\rtf1\\ansi\\ansicpg20866 \\'c1\\'c2}"), "\xE0\xE1");
}

TEST(RtfToText, FontCharsetsChooseTheCodePage) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
        "{\\f1\\fswiss\\fcharset204 Arial;}}"
        "\\f1 \\'c0\\'e1 {\\f0 \\'e9}\\'e2\\plain \\'e9}";
    EXPECT_EQ(RtfToText(rtf), "\xC0\xE1 ?\xE2?");
}

TEST(RtfToText, UnicodeWithFallback) {
    EXPECT_EQ(Rtf(" \\u1076?\\u1072?"), "\xE4\xE0");
    EXPECT_EQ(Rtf("\\uc2 \\u1078\\'e6\\'e6x"), "\xE6x");
    EXPECT_EQ(Rtf("\\uc0 \\u1078 x"), "\xE6x");
    EXPECT_EQ(Rtf(" {\\uc3 \\u1078 ab}c"), "\xE6" "c");  // the group end stops the skipping
    EXPECT_EQ(Rtf(" \\u-4064?"), "?");                    // negative: 65536 - 4064, private use
    EXPECT_EQ(Rtf(" \\u8212\\'97"), "\x97");
    EXPECT_EQ(Rtf(" \\u55357?\\u56832?!"), "?!");         // a surrogate pair is one character
}

TEST(RtfToText, SpecialCharacters) {
    EXPECT_EQ(Rtf(" \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet"), "\x97\x96\x91\x92\x93\x94\x95");
    EXPECT_EQ(Rtf(" a\\~b\\-c\\_d"), "a\xA0" "bc-d");
}

TEST(RtfToText, TablesAsTabsAndRows) {
    EXPECT_EQ(Rtf("\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row c\\par "), "a\tb\r\nc");
}

TEST(RtfToText, ReadsBackTheExportersFormat) {
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\fnil Arial;}}\r\n"
        "{\\colortbl\r\n"
        "\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue0;}"
        "\\pard\\ql\\sl240\\slmult1\\plain\\f0\\fs20\\cf0\\cb2 \r\n"
        "\xCF\xF0\xE8\xE2\xE5\xF2 a\\{b\\}\\\\c\r\n"
        "\\par \ttab\\plain\\f1\\fs24\\b\\cf1\\cb3 bold\\plain\\f0\\fs20\\cf0\\cb2  x\r\n"
        "\\par \r\n"
        "\\par }\r\n";
    EXPECT_EQ(RtfToText(rtf), "\xCF\xF0\xE8\xE2\xE5\xF2 a{b}\\c\r\n\ttabbold x\r\n");
}

TEST(RtfToText, BrokenInputGivesWhatCouldBeRead) {
    EXPECT_EQ(RtfToText("{\\rtf1 abc\\par def"), "abc\r\ndef");  // never closed
    EXPECT_EQ(RtfToText("{\\rtf1 abc\\"), "abc");
    EXPECT_EQ(RtfToText("{\\rtf1 abc\\'4"), "abc4");
    EXPECT_EQ(RtfToText("{\\rtf1 a\\'zzb}"), "azzb");
    EXPECT_EQ(RtfToText("{\\rtf1 a}}}}b"), "a");                // text after the document's end
    EXPECT_EQ(RtfToText("{\\rtf1 a\\u"), "a");
    EXPECT_EQ(RtfToText("{\\rtf1 a\\u99999999999999999999 ?b}"), "a?b");
    std::string withControls = "{\\rtf1 a";
    withControls += '\0';
    withControls += "b\x01" "c}";
    EXPECT_EQ(RtfToText(withControls), "abc");
}

TEST(RtfToText, DeepNestingDoesNotExhaustTheStack) {
    const std::string deep = "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "y}";
    EXPECT_EQ(RtfToText(deep), "xy");
}

TEST(RtfToText, NotRtfIsReturnedUnchanged) {
    EXPECT_EQ(RtfToText("plain text"), "plain text");
    EXPECT_EQ(RtfToText(""), "");
    EXPECT_EQ(RtfToText("\r\n {\\RTF1 x}"), "x");
}

TEST(RtfToText, Signature) {
    EXPECT_TRUE(IsRtfSignature("{\\rtf1"));
    EXPECT_TRUE(IsRtfSignature("{\\Rt"));
    EXPECT_FALSE(IsRtfSignature(" {\\rtf1"));
    EXPECT_FALSE(IsRtfSignature("{\\r"));
}
