// Which words the spelling check looks at, and the walk over an editor's text.

#include <gtest/gtest.h>

#include "app/word_separators.h"
#include "spell/word_walk.h"
#include "tests/spell/spell_test_util.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {
namespace {

using test::W;

std::bitset<256> AppSeparators() {
    std::bitset<256> b;
    for (char c : AppWordSeparators()) b.set(static_cast<unsigned char>(c));
    return b;
}

std::vector<std::string> Words(std::string_view Text, bool SkipLatin = false) {
    std::vector<std::string> out;
    std::size_t off = 0, start = 0, len = 0;
    const auto sep = AppSeparators();
    while (NextSpellWord(Text, off, sep, SkipLatin, start, len)) out.emplace_back(Text.substr(start, len));
    return out;
}

using V = std::vector<std::string>;

TEST(SpellWords, SeparatorsPunctuationAndQuotes) {
    EXPECT_EQ(Words(W("Кот, (собака) и «дом»… — да!")), (V{W("Кот"), W("собака"), W("и"), W("дом"), W("да")}));
    EXPECT_EQ(Words("'quoted' -dash- don't"), (V{"quoted", "dash", "don't"})) << "outer apostrophes and hyphens go";
    EXPECT_EQ(Words(W("кто-нибудь")), V{W("кто-нибудь")});
    EXPECT_EQ(Words(""), V{});
    EXPECT_EQ(Words("  ,.;  "), V{});
}

TEST(SpellWords, NumbersSymbolsAndAddressesAreSkipped) {
    EXPECT_EQ(Words(W("в 1990-х годах 3D-печать 12")), (V{W("в"), W("годах")}));
    EXPECT_EQ(Words("mail user@example.com now"), (V{"mail", "com", "now"})) << "the dot separates";
    EXPECT_EQ(Words("snake_case a&b 50% ok"), (V{"ok"})) << "a symbol between letters, or a digit anywhere";
    EXPECT_EQ(Words("#tag $var ~x `y"), (V{"tag", "var", "x", "y"})) << "symbols at the ends are trimmed";
    EXPECT_EQ(Words(W("№5 слово §")), V{W("слово")});
}

TEST(SpellWords, SkipLatinKeepsWordsWithACyrillicLetter) {
    EXPECT_EQ(Words(W("Hello мир and Cлово"), true), (V{W("мир"), W("Cлово")})) << "a Latin C in a Russian word is checked";
}

class Walk : public ::testing::Test {
protected:
    void SetUp() override { M.SetSeparators(AppWordSeparators()); }
    std::vector<std::pair<TPos, std::string>> All(TWordWalk& Wk) {
        std::vector<std::pair<TPos, std::string>> r;
        TSpellWord w;
        while (Wk.Next(w)) r.emplace_back(w.Pos, w.Text);
        return r;
    }
    TDudiRiriBase M;
};

TEST_F(Walk, PositionsCountEachBreakAsTwo) {
    M.LoadText("one two\r\n\r\nthree, 4 four");
    TWordWalk wk(M, 0, -1, false);
    const auto r = All(wk);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], (std::pair<TPos, std::string>{0, "one"}));
    EXPECT_EQ(r[1], (std::pair<TPos, std::string>{4, "two"}));
    EXPECT_EQ(r[2], (std::pair<TPos, std::string>{11, "three"}));
    EXPECT_EQ(r[3], (std::pair<TPos, std::string>{20, "four"}));
    EXPECT_TRUE(wk.AtEnd());
}

TEST_F(Walk, StartsAtTheWordTheCaretIsInAndStopsAtTheEnd) {
    M.LoadText("alpha beta gamma delta");
    TWordWalk wk(M, 8, 17, false);  // inside "beta", at the start of "delta"
    const auto r = All(wk);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].second, "beta");
    EXPECT_EQ(r[1].second, "gamma");
}

TEST_F(Walk, EditsWhileThePauseMoveTheWalkAlong) {
    M.LoadText("aaa bbb ccc ddd");
    TWordWalk wk(M, 0, 11, false);  // up to "ccc" included
    TSpellWord w;
    ASSERT_TRUE(wk.Next(w));
    EXPECT_EQ(w.Text, "aaa");
    // Someone inserts text before the walk's position.
    TRiriNavigator a(&M), b(&M);
    a.SetPos(0);
    b.SetPos(0);
    M.ReplaceText("zz ", a, b);
    ASSERT_TRUE(wk.Next(w));
    EXPECT_EQ(w.Text, "bbb");
    EXPECT_EQ(w.Pos, 7);
    ASSERT_TRUE(wk.Next(w));
    EXPECT_EQ(w.Text, "ccc");
    EXPECT_FALSE(wk.Next(w)) << "the end moved with the text";
}

TEST_F(Walk, LongParagraphsAndEmptyText) {
    std::string big;
    for (int i = 0; i < 20000; ++i) big += "word ";
    M.LoadText(big);
    TWordWalk wk(M, 0, -1, false);
    EXPECT_EQ(All(wk).size(), 20000u);
    M.LoadText("");
    TWordWalk none(M, 5, -1, false);
    EXPECT_TRUE(All(none).empty());
}

}  // namespace
}  // namespace tarvex
