#include <gtest/gtest.h>

#include "highlight/oop_highlighter.h"
#include "highlight/url_highlighter.h"
#include "tests/highlight/hl_test_util.h"

namespace tarvex {
namespace {

using test::Ctx;
using test::Highlight;

class Pascal : public ::testing::Test {
protected:
    TDudiRiriBase M;
    TOOPHighlighter H;
    void TearDown() override { M.SetHighlighter(nullptr); }
};

TEST_F(Pascal, TablesAsBuilt) {
    EXPECT_EQ(H.Keywords().Count(), 266);
    EXPECT_EQ(H.Keywords().Get(84), "write");
    EXPECT_EQ(H.Keywords().Get(85), "ASM");
    EXPECT_EQ(H.Keywords().Get(250), "XOR");
    EXPECT_EQ(H.Keywords().Get(265), "^");
    EXPECT_EQ(H.StartStopKeys().Count(), 13);
    EXPECT_EQ(H.Keywords().Item(90).BkColor, 0x00FFFF) << "assembler words on yellow";
    EXPECT_EQ(H.StartStopKeys().Item(12).Style, 0) << "the asm block takes ASMHighlight's plain style";
    EXPECT_EQ(H.StartStopKeys().Item(12).Color, 0x800080);
}

TEST_F(Pascal, ReadIsAKeywordOnlyInsideProperty) {
    Highlight(M, &H, "read;\r\nproperty X: Integer read FX;");
    EXPECT_EQ(Ctx(M, 0), "00009");
    // property: region of context 0, so the keywords inside keep their own contexts.
    const std::string p = Ctx(M, 1);
    EXPECT_EQ(p.substr(20, 4), "1111") << p;
    EXPECT_EQ(p.substr(10, 1), "9") << "the colon is a symbol";
}

TEST_F(Pascal, AsmBlocks) {
    Highlight(M, &H, "mov; asm mov eax, 1 end; mov");
    const std::string c = Ctx(M, 0);
    EXPECT_EQ(c.substr(0, 3), "000") << "mov outside the block is plain";
    EXPECT_EQ(c.substr(5, 3), "777") << "the block's own asm";
    EXPECT_EQ(c.substr(9, 3), "777") << "mov inside it is an assembler word";
    EXPECT_EQ(c.substr(12, 6), "666666") << "eax and the comma: the block";
    EXPECT_EQ(c.substr(18, 1), "5") << "numbers are coloured inside asm";
    EXPECT_EQ(c.substr(20, 3), "777");
    EXPECT_EQ(c.substr(23, 1), "9") << "behind end the block is over";
    EXPECT_EQ(c.substr(25, 3), "000");
}

// Laid out a paragraph at a time (keys, then keywords, paragraph by
// paragraph), a comment inside an asm block that ends on a later line returns
// to the block: the runs of ")" and of ASM, which meet where the block opens,
// must not hide that point.
TEST_F(Pascal, CommentInAsmEndsInTheBlockParagraphByParagraph) {
    M.SetHighlighter(&H);
    M.LoadText(")asm{ a\r\nb } mov end;");
    for (std::int32_t p = 0; p < M.Pars.Count(); ++p) {
        KeysThrough(M, p);
        M.ApplyKeywordsToParagraph(p);
        M.Pars.At(p).Flags |= pfKeywordsApplied;
    }
    EXPECT_EQ(Ctx(M, 0), "9777333");
    EXPECT_EQ(Ctx(M, 1), "333" "6" "777" "6" "777" "9");
}

TEST_F(Pascal, CharacterCodes) {
    Highlight(M, &H, "#13#10; #a");
    EXPECT_EQ(Ctx(M, 0), "2222229020");
    const TParagraphsList& L = M.Pars;
    EXPECT_EQ(L.DynOffset(L.At(0), 0), 0);
    EXPECT_EQ(L.DynOffset(L.At(0), 1), 3) << "one run per code";
}

TEST_F(Pascal, StringsEndAtTheLineCommentsRunOn) {
    Highlight(M, &H, "s := 'open\r\nx { comment 12\r\n12 } 12");
    EXPECT_EQ(Ctx(M, 0), "0099022222");
    EXPECT_EQ(Ctx(M, 1), "00333333333333") << "the string ended at its line; no number in a comment";
    EXPECT_EQ(Ctx(M, 2), "3333055");
}

TEST_F(Pascal, DirectivesAndOtherComments) {
    Highlight(M, &H, "{$R+} (* a *) // b");
    EXPECT_EQ(Ctx(M, 0), "44444033333330" "3333");
}

TEST_F(Pascal, ModFormatsSurviveAGroupRestyle) {
    const std::int32_t kBegin = 4;
    std::vector<std::int32_t> mod = {kBegin, 2, hsItalic | hsUnderline, 1, 0, clNoColor, 0x123456};
    H.BeginLoading();
    H.SetModFormats(mod);
    H.EndLoading();
    EXPECT_EQ(H.Keywords().Item(kBegin).Style, hsItalic | hsUnderline) << "bit 7 is gone after loading";
    EXPECT_EQ(H.Keywords().Item(kBegin).Color, 0x123456);
    EXPECT_EQ(H.Keywords().Item(0).Style, hsBold);
    // The group turns bold off and strike-out on: only those bits change in the individual format.
    H.KeywordsOOP.SetStyle(hsStrikeOut);
    EXPECT_EQ(H.Keywords().Item(kBegin).Style, hsItalic | hsUnderline | hsStrikeOut);
    EXPECT_EQ(H.Keywords().Item(0).Style, hsStrikeOut);
    H.KeywordsOOP.SetForeground(0xFF);
    EXPECT_EQ(H.Keywords().Item(kBegin).Color, 0xFF) << "a changed colour replaces";
    const std::vector<std::int32_t> out = H.ModFormats();
    // The keyword, and the symbols: every keyword after the Pascal ones is
    // compared with the assembler group, which the symbols never match.
    ASSERT_EQ(out.size(), 7u * 16) << "only keywords that differ from their group are written";
    EXPECT_EQ(out[0], kBegin);
    EXPECT_EQ(out[7], kSymbolsFirst);

    // Written and read back through the persistent form.
    TValueWriter w;
    H.WriteTo(w);
    TOOPHighlighter again;
    TValueReader r(w.Data());
    again.ReadFrom(r);
    EXPECT_EQ(again.KeywordsOOP.Style(), hsStrikeOut);
    EXPECT_EQ(again.Keywords().Item(kBegin).Style, hsItalic | hsUnderline | hsStrikeOut);
    EXPECT_EQ(again.Keywords().Item(1).Style, hsStrikeOut);
}

TEST_F(Pascal, GroupsReachTheirEntries) {
    H.Strings.SetBackground(0x111111);
    EXPECT_EQ(H.StartStopKeys().Item(1).BkColor, 0x111111);
    EXPECT_EQ(H.StartStopKeys().Item(2).BkColor, 0x111111);
    H.CommentBrace.SetAltFont(true);
    EXPECT_EQ(H.StartStopKeys().Item(5).Style, hsItalic | hsAltFont);
    EXPECT_EQ(H.StartStopKeys().Item(10).Style, hsItalic | hsAltFont);
    H.Numbers.SetForeground(0x222222);
    EXPECT_EQ(H.NumberHighlighter().Foreground(), 0x222222);
    H.Symbols.SetStyle(hsBold);
    EXPECT_EQ(H.Keywords().Item(251).Style, hsBold);
}

TEST_F(Pascal, AddressesInACommentStayPlainUnlessAllowed) {
    TURLHighlighter url;
    H.SetSubHighlighter(&url);
    Highlight(M, &H, "ann@host { bob@host }");
    EXPECT_EQ(Ctx(M, 0).substr(0, 8), "uuuuuuuu") << "in plain code";
    EXPECT_EQ(Ctx(M, 0).substr(11, 8), "33333333") << "not in a comment (context 3) with Scope 0";
    url.Priority = true;
    Highlight(M, &H, "x { bob@host }");
    EXPECT_EQ(Ctx(M, 0).substr(4, 8), "uuuuuuuu");
    M.SetHighlighter(nullptr);
    H.SetSubHighlighter(nullptr);
}

}  // namespace
}  // namespace tarvex
