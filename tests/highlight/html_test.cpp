#include <gtest/gtest.h>

#include "highlight/html_highlighter.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

using test::Ctx;
using test::Highlight;

class Html : public ::testing::Test {
protected:
    TDudiRiriBase M;
    THtmlHighlighter H;
    void TearDown() override { M.SetHighlighter(nullptr); }
};

TEST_F(Html, ElementTable) {
    EXPECT_EQ(HtmlElementIndex("SCRIPT"), 0);
    EXPECT_EQ(HtmlElementIndex("!DOCTYPE"), kHtmlElementCount - 1);
    EXPECT_EQ(HtmlElementIndex("H6"), 42);
    EXPECT_EQ(HtmlElementIndex("NOPE"), -1);
    EXPECT_FALSE(kHtmlElements[HtmlElementIndex("BR")].EndTag);
}

TEST_F(Html, CharacterReferences) {
    Highlight(M, &H, "&lt; x &#169; & y");
    EXPECT_EQ(Ctx(M, 0), "aaaa" "000" "aaaaaa" "0" "a" "00");
}

TEST_F(Html, TagsNamesAttributesValues) {
    Highlight(M, &H, "<table border=1 class=\"a b\">x</TABLE>");
    //                 <table_border=1_class="a b">x</TABLE>
    EXPECT_EQ(Ctx(M, 0), "4555551888888191888881999997" "0" "4555555" "7");
}

TEST_F(Html, ClosingBrIsUnknownOpeningBrKnown) {
    Highlight(M, &H, "<br></br>");
    EXPECT_EQ(Ctx(M, 0), "4557" "46667");
    const TDynInfo& name = test::AttrOfChar(M, 0, 1);
    EXPECT_EQ(name.Color, 0x800000) << "a known name";
    const TDynInfo& unknown = test::AttrOfChar(M, 0, 5);
    EXPECT_EQ(unknown.Color, 0x0000FF) << "an unknown tag";
}

TEST_F(Html, XmlSyntaxKnowsEveryName) {
    Highlight(M, &H, "<myTag attr=1>");
    EXPECT_EQ(Ctx(M, 0), "46666666666667") << "unknown without XMLSyntax";
    H.XMLSyntax = true;
    Highlight(M, &H, "<myTag attr=1>");
    EXPECT_EQ(Ctx(M, 0), "455555188881" "97");
}

TEST_F(Html, ScriptContentUpToTheClosingTagInAnyCase) {
    Highlight(M, &H, "<script>if (a<b) x;</Script>z");
    EXPECT_EQ(Ctx(M, 0), "45555557" "22222222222" "777777777" "0");
    const TDynInfo& content = test::AttrOfChar(M, 0, 9);
    EXPECT_TRUE(content.Flags & hsAltFont) << "ScriptContent draws in the alternative font";
}

TEST_F(Html, CommentsBlocksAndLines) {
    Highlight(M, &H, "a<!-- x\r\ny --> <% c %> <? d ?>");
    EXPECT_EQ(Ctx(M, 0), "0333333");
    EXPECT_EQ(Ctx(M, 1), "33333" "0" "42222" "77" "0" "4bbbb" "77");
}

TEST_F(Html, UnterminatedTagsRunIntoTheNextLine) {
    Highlight(M, &H, "<a href=\"x\r\ny\" b=2>t");
    EXPECT_EQ(Ctx(M, 0), "4518888199");
    EXPECT_EQ(Ctx(M, 1), "111" "81" "97" "0");
}

TEST_F(Html, KeywordOverridesGiveAnElementItsOwnStyle) {
    H.Keywords().AddExtKeyword("TD", 0, hsUnderline, 5, 0, clNone, 0x123456, 0, 0);
    Highlight(M, &H, "<td>");
    const TDynInfo& name = test::AttrOfChar(M, 0, 1);
    EXPECT_EQ(name.Color, 0x123456);
    EXPECT_EQ(name.Flags & 0x3F, hsUnderline);
    EXPECT_EQ(Ctx(M, 0), "4557");
}

// Behind a tag or comment over many lines the text takes the state it had
// before the tag again, here a bold span set over the whole text; the end of
// an empty "<??>" block is still found right behind its start.
TEST_F(Html, RunsOverManyLinesReturnToTheStateBefore) {
    std::string t = "x <table";
    for (int i = 0; i < 50; ++i) t += "\r\n a" + std::to_string(i) + "=1";
    t += "> y <!--";
    for (int i = 0; i < 50; ++i) t += "\r\nc";
    t += "--> z <??> w";
    M.LoadText(t);
    TRiriNavigator a(&M), b(&M);
    a.SetPos(0);
    b.SetPos(M.CharCount());
    TDynInfo bold;
    bold.Flags = hsBold;
    ApplyAttribute(M, a, b, false, true, bold);
    M.SetHighlighter(&H);
    KeywordsOverRange(M, 0, M.Pars.Count() - 1);
    auto at = [&](std::int32_t P, std::int32_t I) { return test::Describe(test::AttrOfChar(M, P, I)); };
    const std::string before = at(0, 0);
    EXPECT_EQ(before.substr(0, 3), std::to_string(dfOwn | hsBold));
    EXPECT_EQ(at(50, 7), before) << "behind the tag's >";
    EXPECT_EQ(at(100, 4), before) << "behind the comment";
    const std::string last = Ctx(M, 100);
    EXPECT_EQ(last.substr(7), "4b7700") << "the block ends at its first \"?>\"";
}

}  // namespace
}  // namespace tarvex
