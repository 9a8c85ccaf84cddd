#include <gtest/gtest.h>

#include "highlight/cpp_highlighter.h"
#include "highlight/sql_highlighter.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

using test::Ctx;
using test::Highlight;

TEST(Sql, TablesAsBuilt) {
    TSQLHighlighter h;
    EXPECT_EQ(h.Keywords().Count(), kSqlKeywordCount + kSqlOperatorCount);
    EXPECT_EQ(h.Keywords().Get(8), "ASCASCENDING");
    EXPECT_EQ(h.Keywords().Get(84), "ININT");
    EXPECT_EQ(h.Keywords().Get(213), "YEAR");
    EXPECT_EQ(h.Keywords().Get(214), "(");
    EXPECT_EQ(h.Keywords().Get(221), "+");
    EXPECT_EQ(h.Keywords().Item(214).Style, hsBold) << "the Operators group";
    EXPECT_EQ(h.Keywords().Item(214).Color, 0x0000FF);
}

TEST(Sql, KeywordsInAnyCaseOperatorsNumbersStrings) {
    TDudiRiriBase m;
    TSQLHighlighter h;
    Highlight(m, &h, "select x+1 From t where s = 'a''b'");
    EXPECT_EQ(Ctx(m, 0), "111111" "0" "0" "4" "0" "0" "1111" "000" "11111" "00000" "333" "333")
        << "x+1 is one word: + is no separator";
    m.SetHighlighter(nullptr);
}

TEST(Sql, CommentsDashesBlocksAndSharpOnRequest) {
    TDudiRiriBase m;
    TSQLHighlighter h;
    Highlight(m, &h, "a -- b 1\r\n/* c\r\nd */ 2\r\n# e");
    EXPECT_EQ(Ctx(m, 0), "00222222");
    EXPECT_EQ(Ctx(m, 1), "2222");
    EXPECT_EQ(Ctx(m, 2), "222205");
    EXPECT_EQ(Ctx(m, 3), "000") << "# is plain by default";
    h.SetUseSharpAsComment(true);
    Highlight(m, &h, "# e\r\nx");
    EXPECT_EQ(Ctx(m, 0), "222");
    EXPECT_EQ(Ctx(m, 1), "0");
    h.SetUseSharpAsComment(false);
    EXPECT_EQ(h.StartStopKeys().Item(3).StartKey, std::string("\x01"));
    m.SetHighlighter(nullptr);
}

TEST(Cpp, CaseSensitiveKeywordsAndTheSpacedEntry) {
    TDudiRiriBase m;
    TCPPHighlighter h;
    EXPECT_EQ(h.Keywords().Count(), kCppKeywordCount);
    EXPECT_EQ(h.Keywords().Get(35), "unsigned __int64");
    Highlight(m, &h, "class Class unsigned __int64 x");
    // The earlier __int64 takes its text first, and a keyword over another's run is dropped:
    // unsigned and __int64 are coloured each on their own.
    EXPECT_EQ(Ctx(m, 0), "11111" "0" "00000" "0" "11111111" "0" "1111111" "0" "0");
    m.SetHighlighter(nullptr);
}

TEST(Cpp, DirectivesBehindBlanksAndMidLine) {
    TDudiRiriBase m;
    TCPPHighlighter h;
    Highlight(m, &h, "  #include <a.h>\r\nx = 1; # y\r\n\"s\" // c /* d");
    EXPECT_EQ(Ctx(m, 0), "00" "44444444444444");
    EXPECT_EQ(Ctx(m, 1), "0000500" "444");
    EXPECT_EQ(Ctx(m, 2), "222" "0" "333333333");
    const TDynInfo& dir = test::AttrOfChar(m, 0, 2);
    EXPECT_EQ(dir.BkColor, 0x808000);
    EXPECT_EQ(test::AttrOfChar(m, 2, 5).Color, 0xFF0000) << "single-line comments";
    m.SetHighlighter(nullptr);
}

TEST(Cpp, BlockCommentsSpanLines) {
    TDudiRiriBase m;
    TCPPHighlighter h;
    Highlight(m, &h, "a /* b\r\nint 1\r\n*/ int");
    EXPECT_EQ(Ctx(m, 1), "33333");
    EXPECT_EQ(Ctx(m, 2), "330111");
    EXPECT_EQ(test::AttrOfChar(m, 1, 0).Color, 0x800000) << "CommentMultiLine";
    m.SetHighlighter(nullptr);
}

}  // namespace
}  // namespace tarvex
