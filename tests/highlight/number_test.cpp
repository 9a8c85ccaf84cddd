#include <gtest/gtest.h>

#include "highlight/number_highlighter.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

using test::Ctx;
using test::Highlight;

TEST(NumberHighlighter, DigitsAndHexWords) {
    TDudiRiriBase m;
    TNumberHighlighter h;
    Highlight(m, &h, "123 $1F 12a 1e5 $G1 1.5 $ x9");
    EXPECT_EQ(Ctx(m, 0), "nnn0nnn0000000000000n0n0n000");
    const TDynInfo& a = m.Pars.DynAttr(m.Pars.At(0), 0);
    EXPECT_EQ(a.Color, 255);
    EXPECT_EQ(a.Context, 3000);
    EXPECT_EQ(a.KeyLen, 3);
}

TEST(NumberHighlighter, SeparatorsKeepControlCharactersAndReadAscending) {
    TNumberHighlighter h;
    h.SetSeparators(".,");
    EXPECT_EQ(h.Separators(), ",.");
    for (int c = 0; c <= 26; ++c) EXPECT_TRUE(h.IsSeparator(static_cast<unsigned char>(c))) << c;
    EXPECT_FALSE(h.IsSeparator(' '));
    TDudiRiriBase m;
    Highlight(m, &h, "1,2 3");
    EXPECT_EQ(Ctx(m, 0), "n0000") << "a blank no longer ends a word: 2 3 is no number";
}

TEST(NumberHighlighter, ScopePriorityAndTheQuery) {
    TDudiRiriBase m;
    m.StartStopKeys.AddKey("{", "}", false, -1, 1, 0, 3, 2, 0);
    TNumberHighlighter h;
    h.SetSeparators("\t ,.;{}");
    Highlight(m, &h, "1 {2}");
    EXPECT_EQ(Ctx(m, 0), "n0333") << "not inside a region of another context";
    h.SetPriority(1);
    Highlight(m, &h, "1 {2}");
    EXPECT_EQ(Ctx(m, 0), "n03n3") << "everywhere with Priority";
    h.SetPriority(0);
    std::vector<int> asked;
    h.OnQueryHilit = [&](TCustomExtHighlighter&, std::int16_t Scope, bool& Do) {
        asked.push_back(Scope);
        Do = Scope == 3;
    };
    Highlight(m, &h, "1 {2}");
    EXPECT_EQ(Ctx(m, 0), "003n3");
    EXPECT_NE(std::find(asked.begin(), asked.end(), 3), asked.end());
}

TEST(NumberHighlighter, NotAtTheSixteenthLevel) {
    TDudiRiriBase m;
    TNumberHighlighter h;
    h.SetPriority(1);
    m.SetHighlighter(&h);
    m.LoadText("42");
    TDynInfo deep;
    deep.Flags = dfOwn | dfKeyed;
    deep.Depth = 15;
    m.Pars.SetStartAttr(m.Pars.At(0), deep);
    KeywordsOverRange(m, 0, 0);
    EXPECT_EQ(m.Pars.DynCount(m.Pars.At(0)), 0);
    m.SetHighlighter(nullptr);
}

}  // namespace
}  // namespace tarvex
