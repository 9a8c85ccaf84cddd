#include <gtest/gtest.h>

#include "tools/htm2txt.h"

using tarvex::HtmlEntityCode;
using tarvex::THtm2Txt;

namespace {
std::string Html(std::string_view Body) { return THtm2Txt::Convert("<html><body>" + std::string(Body), false); }
}  // namespace

TEST(Htm2Txt, LineBreakTagsInAnyCaseButNotWithAttributesOrSlash) {
    EXPECT_EQ(Html("a<br>b<BR>c"), "a\r\nb\r\nc");
    EXPECT_EQ(Html("a<br/>b<br />c"), "abc");
    EXPECT_EQ(Html("a<p align=center>b</p>c"), "abc");
    EXPECT_EQ(Html("a<P>b<Div>c<li>d<hr>e<TABLE>f<tr>g<ol>h<pre>i"),
              "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni");
}

TEST(Htm2Txt, CellsBecomeTabs) { EXPECT_EQ(Html("<td>a</td><TH>b</th>"), "\ta\tb"); }

TEST(Htm2Txt, AtMostOneEmptyLineAndNoBlanksBeforeALineEnd) {
    EXPECT_EQ(Html("a<p><p><p>b"), "a\r\n\r\nb");
    EXPECT_EQ(Html("a \t <br>b"), "a\r\nb");
    // Source line ends pass through the same check, one byte at a time.
    EXPECT_EQ(Html("a  \r\n\r\n\r\n\n\nb"), "a\r\n\r\nb");
    EXPECT_EQ(Html("a\nb"), "a\nb");
}

TEST(Htm2Txt, TextOutsideBodyDroppedForHtmlKeptForXml) {
    const std::string src = "before<html><head><title>T</title></head><body>in</body>after";
    EXPECT_EQ(THtm2Txt::Convert(src, false), "Tin");
    EXPECT_EQ(THtm2Txt::Convert(src, true), "beforeTinafter");
    // An entity outside the body is dropped with its text.
    EXPECT_EQ(THtm2Txt::Convert("&amp;<body>x", false), "x");
}

TEST(Htm2Txt, NamedEntities) {
    EXPECT_EQ(Html("a&nbsp;b"), "a b");
    EXPECT_EQ(Html("&quot;&AMP;&Lt;&gt;&copy;&mdash;&#8212;&trade;"), "\"&<>\xA9\x97\x97\x99");
    // Latin-1 letters match only in their own case.
    EXPECT_EQ(Html("&Agrave;&agrave;&AGRAVE;"), "\xC0\xE0&AGRAVE;");
    EXPECT_EQ(Html("&szlig;&yuml;&THORN;&thorn;"), "\xDF\xFF\xDE\xFE");
}

TEST(Htm2Txt, EntityTableOrderAndCaseRules) {
    EXPECT_EQ(HtmlEntityCode("quot"), 34);
    EXPECT_EQ(HtmlEntityCode("NBSP"), 32);
    EXPECT_EQ(HtmlEntityCode("tilde"), 126);
    EXPECT_EQ(HtmlEntityCode("Times"), -1);  // code 215: exact case only
    EXPECT_EQ(HtmlEntityCode("times"), 215);
    EXPECT_EQ(HtmlEntityCode("ETH"), 208);
    EXPECT_EQ(HtmlEntityCode("eth"), 240);
    EXPECT_EQ(HtmlEntityCode("Eth"), -1);
    EXPECT_EQ(HtmlEntityCode(""), -1);
}

TEST(Htm2Txt, NumericReferences) {
    EXPECT_EQ(Html("&#65;&#x41;&#X41;&65;"), "AAAA");
    EXPECT_EQ(Html("&#1078;&#x436;"), "\xE6\xE6");  // Cyrillic zhe through Unicode
    EXPECT_EQ(Html("&#8364;&#x2116;"), "\x88\xB9");
    EXPECT_EQ(Html("&#20320;"), "?");              // no Windows-1251 form
    EXPECT_EQ(Html("&#0;&#-5;&#x;&#;"), "&#0;&#-5;&#x;&#;");
    EXPECT_EQ(Html("&#65a;"), "&#65a;");
    // A reference cut short by a tag decodes what was read, the tag follows.
    EXPECT_EQ(Html("&#65<br>z"), "A\r\nz");
    EXPECT_EQ(Html("&amp<i>x"), "&x");
    EXPECT_EQ(Html("&a<i>b;c"), "&ab;c");
}

TEST(Htm2Txt, UnknownAndCutEntitiesWrittenAsRead) {
    EXPECT_EQ(Html("&foo; &bar"), "&foo; &bar");
    // Cut after nine bytes behind the ampersand: the longest reference that
    // still fits decodes, a longer one is written as read.
    EXPECT_EQ(Html("&#0000065;"), "A");
    EXPECT_EQ(Html("&#000000065;"), "&#000000065;");
    EXPECT_EQ(Html("&abcdefghijklm"), "&abcdefghijklm");
    EXPECT_EQ(Html("x&nbsp"), "x&nbsp");
    EXPECT_EQ(Html("AT&T rocks"), "AT&T rocks");
}

TEST(Htm2Txt, TagInsideAnEntityKeepsTheTextInOrder) {
    EXPECT_EQ(Html("Q&A<br>next"), "Q&A\r\nnext");
    EXPECT_EQ(Html("<td>R&D</td><td>Sales"), "\tR&D\tSales");
}

TEST(Htm2Txt, UnterminatedTagSwallowsTheRest) {
    EXPECT_EQ(Html("text<b and the rest"), "text");
    // The tag's last byte is dropped, so "<br" at the very end is no line break.
    EXPECT_EQ(Html("a<br"), "a");
    EXPECT_EQ(Html("a<br>"), "a\r\n");
}

TEST(Htm2Txt, BodyStateFollowsTheTags) {
    EXPECT_EQ(THtm2Txt::Convert("<body>a</body>b<BODY bgcolor=red>c", false), "ac");
    EXPECT_EQ(THtm2Txt::Convert("<html>a</html>b", false), "ab");  // only </body> leaves the body
}

TEST(Htm2Txt, EmptyResultGivesBackTheSource) {
    EXPECT_EQ(THtm2Txt::Convert("", false), "");
    EXPECT_EQ(THtm2Txt::Convert("no markup here", false), "no markup here");
    EXPECT_EQ(THtm2Txt::Convert("<b></b>", false), "<b></b>");
}

TEST(Htm2Txt, NulAndHighBytesPassThrough) {
    const std::string in("<body>a\0b\xFF\xC0", 11);
    EXPECT_EQ(THtm2Txt::Convert(in, false), std::string("a\0b\xFF\xC0", 5));
}
