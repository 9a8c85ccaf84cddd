#include <gtest/gtest.h>

#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "tests/textstore/test_util.h"
#include "textstore/text_buffer.h"

namespace tarvex {
namespace {

class Replace : public ::testing::Test {
protected:
    TDudiRiriBase M;
    TRiriNavigator A{&M}, B{&M};
    TReplaceResult R;

    void Do(TPos From, TPos To, std::string_view Text, bool Balance = false, bool Trim = false) {
        A.SetPos(From);
        B.SetPos(To);
        R = M.ReplaceText(Text, A, B, Balance, Trim);
        ASSERT_TRUE(test::PositionsConsistent(M.Pars));
    }
    std::string Par(std::int32_t I) { return std::string(M.Pars.At(I).View()); }
};

TEST_F(Replace, InsideOneParagraph) {
    M.LoadText("hello world\r\nnext");
    Do(5, 5, ",");
    EXPECT_EQ(M.Text(), "hello, world\r\nnext");
    EXPECT_EQ(R.Delta, 1);
    EXPECT_FALSE(R.Structural);
    EXPECT_EQ(M.Pars.StartPos(1), 14);
    EXPECT_EQ(B.Pos(), 6) << "the end navigator stands behind the new text";
    Do(0, 7, "");
    EXPECT_EQ(M.Text(), "world\r\nnext");
    EXPECT_EQ(R.Delta, -7);
}

TEST_F(Replace, LineFeedStaysACharacterCarriageReturnSplits) {
    M.LoadText("ab");
    Do(1, 1, "x\ny");
    EXPECT_EQ(M.ParagraphCount(), 1) << "a lone LF is an ordinary character";
    EXPECT_EQ(Par(0), "ax\nyb");

    M.LoadText("ab");
    Do(1, 1, "x\r\ny");
    ASSERT_EQ(M.ParagraphCount(), 2);
    EXPECT_EQ(Par(0), "ax");
    EXPECT_EQ(Par(1), "yb");
    EXPECT_EQ(R.Delta, 4);
    EXPECT_EQ(B.Pos(), 5);
    EXPECT_EQ(B.ParNb(), 1);
    EXPECT_EQ(B.ParOffset(), 1);

    M.LoadText("ab");
    Do(1, 1, "x\ry\r\r");
    EXPECT_EQ(M.Text(), "ax\r\ny\r\n\r\nb");
    EXPECT_EQ(M.Pars.LineCount, 4);
}

TEST_F(Replace, AcrossParagraphsJoinsHeadAndTail) {
    M.LoadText("one\r\ntwo\r\nthree\r\nfour");
    Do(2, 12, "X");  // from "o|ne" to "th|ree"
    EXPECT_EQ(M.Text(), "onXree\r\nfour");
    EXPECT_EQ(M.Pars.LineCount, 2);
    EXPECT_EQ(R.LinesAdded, -2);
    EXPECT_TRUE(R.Structural);
    EXPECT_EQ(M.Pars.FirstLine(1), 1);
    Do(0, M.CharCount(), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(M.ParagraphCount(), 5);
    EXPECT_EQ(R.LinesAdded, 3);
    for (std::int32_t i = 0; i < 5; ++i) EXPECT_EQ(M.Pars.FirstLine(i), i);
}

TEST_F(Replace, PositionBetweenCrAndLfTakesTheWholeBreak) {
    M.LoadText("ab\r\ncd");
    Do(3, 3, "x");  // an insertion there goes before the break
    EXPECT_EQ(M.Text(), "abx\r\ncd");
    M.LoadText("ab\r\ncd");
    Do(3, 5, "");  // a range starting there takes the whole break
    EXPECT_EQ(M.Text(), "abd");
    M.LoadText("ab\r\ncd");
    Do(1, 3, "");  // a range ending there too
    EXPECT_EQ(M.Text(), "acd");
}

TEST_F(Replace, FirstNewParagraphKeepsItsFlagsOthersStartPlain) {
    M.LoadText("abc");
    M.Pars.At(0).Flags |= pfKeysApplied | pfKeywordsApplied | pfFormatted;
    Do(1, 1, "\r\n");
    EXPECT_EQ(M.Pars.At(0).Flags & (pfKeysApplied | pfKeywordsApplied | pfFormatted), pfKeysApplied | pfKeywordsApplied);
    EXPECT_EQ(M.Pars.At(1).Flags, pfOwnText);
}

TEST_F(Replace, BufferPolicy) {
    M.LoadText(std::string(200, 'a'));
    ParInfo& p = M.Pars.At(0);
    EXPECT_FALSE(p.OwnText());
    Do(0, 0, "b");
    ASSERT_TRUE(p.OwnText()) << "the first edit copies the text out of the load buffer";
    EXPECT_EQ(TextBufferSize(p.Text()), GrownSize(201));
    const char* before = p.Text();
    Do(0, 2, "");  // 199 + 24 > 204: changed in place
    EXPECT_EQ(p.Text(), before);
    Do(0, 100, "");  // 99 + 12 <= 204: shrunk
    EXPECT_EQ(TextBufferSize(p.Text()), GrownSize(99));
    Do(0, 99, "");
    EXPECT_EQ(p.Text(), nullptr) << "an emptied paragraph gives its buffer back";
    EXPECT_EQ(M.Text(), "");
    Do(0, 0, "z");
    EXPECT_EQ(M.Text(), "z");
}

TEST_F(Replace, TooLongIsRefusedAndChangesNothing) {
    M.LoadText("abc\r\ndef");
    M.Pars.MaxParLen = 5;
    try {
        Do(1, 1, "xyz");
        FAIL();
    } catch (const ERiriError& e) {
        EXPECT_STREQ(e.what(), "Text too long");
    }
    EXPECT_EQ(M.Text(), "abc\r\ndef");
    EXPECT_THROW(Do(2, 7, "0123"), ERiriError);  // "ab" + "0123" + "f"
    EXPECT_EQ(M.Text(), "abc\r\ndef");
    Do(1, 1, "xy");
    EXPECT_EQ(M.Text(), "axybc\r\ndef");
}

TEST_F(Replace, ShortFormBecomesLongAtTheLimit) {
    M.LoadText(std::string(65534, 'a'));
    EXPECT_FALSE(M.Pars.At(0).HasExtra());
    Do(0, 0, "b");
    EXPECT_TRUE(M.Pars.At(0).HasExtra());
    EXPECT_EQ(M.Pars.At(0).Len(), 65535);
    EXPECT_EQ(M.Pars.At(0).FirstLineInfo().Stop, 65535);
}

TEST_F(Replace, TrimTrailingBlanks) {
    M.LoadText("abc  ");
    Do(5, 5, "\r\nnew  \r\nz  ", false, true);
    EXPECT_EQ(M.Text(), "abc\r\nnew\r\nz") << "blank-only first piece: the blanks before the start go too";
    M.LoadText("ab cd");
    Do(2, 2, "x  ", false, true);
    EXPECT_EQ(M.Text(), "abx   cd") << "the last piece keeps its blanks when text follows";
    M.LoadText("ab");
    Do(2, 2, "x  ", false, true);
    EXPECT_EQ(M.Text(), "abx") << "at the paragraph end they go";
}

TEST_F(Replace, BalanceCodesClosesOpenStyles) {
    M.SetStaticFormat(true);
    M.LoadText("ab");
    Do(1, 1, "\2x\1y", true);
    EXPECT_EQ(M.Text(), "a\2x\1y\1\2b") << "codes close in the order 21, 1, 2, 3, 4";
    Do(0, 0, "\2\2", true);
    EXPECT_EQ(M.Text(), "\2\2a\2x\1y\1\2b") << "balanced text gets nothing";
}

TEST_F(Replace, NewParagraphsTakeTheStaticStyleInForce) {
    M.SetStaticFormat(true);
    M.LoadText("a\2bc");
    Do(3, 3, "\r\nx\1\r\ny");
    ASSERT_EQ(M.ParagraphCount(), 3);
    EXPECT_EQ(M.Pars.At(1).FirstLineInfo().Style, fsBold);
    EXPECT_EQ(M.Pars.At(2).FirstLineInfo().Style, fsBold | fsItalic);
}

TEST_F(Replace, ChangePointsMoveOrGo) {
    M.LoadText("0123456789");
    TDynInfo at2, at6;
    at2.Flags = dfOwn | fsBold;
    at6.Flags = 0;
    A.SetPos(2);
    A.InsertAttr(at2);
    A.SetPos(6);
    A.InsertAttr(at6);
    Do(8, 8, "xx");
    auto d = [&] { return M.Pars.Dyn(M.Pars.At(0)); };
    ASSERT_EQ(d().size(), 2);
    EXPECT_EQ(d().Offset(1), 6) << "entries before the edit stay";
    EXPECT_FALSE(R.AttrsRemoved);
    Do(1, 1, "yy");
    EXPECT_EQ(d().Offset(0), 4);
    EXPECT_EQ(d().Offset(1), 8) << "entries behind an insertion move";
    Do(3, 5, "");
    EXPECT_TRUE(R.AttrsRemoved) << "the entry at 4 lay inside the deleted range";
    ASSERT_EQ(d().size(), 1);
    EXPECT_EQ(d().Offset(0), 6);
}

TEST_F(Replace, SplitCarriesStateIntoNewParagraphs) {
    M.LoadText("keyword here");
    TDynInfo own;
    own.Flags = dfOwn | dfKeyed | fsItalic;
    own.Depth = 0;
    own.Contexts[0] = -32767;
    TDynInfo plain;
    A.SetPos(2);
    A.InsertAttr(own);
    A.SetPos(9);
    A.InsertAttr(plain);
    Do(4, 4, "\r\n\r\n");  // split inside the own attribute
    ASSERT_EQ(M.ParagraphCount(), 3);
    const std::uint32_t s1 = M.Pars.StartState(M.Pars.At(1));
    EXPECT_NE(s1, 0u) << "the new paragraphs start inside the attribute";
    EXPECT_EQ(s1, M.Pars.StartState(M.Pars.At(2))) << "one state in the table";
    EXPECT_EQ(M.Pars.StartAttr(M.Pars.At(1)).Flags, own.Flags);
    ASSERT_EQ(M.Pars.DynCount(M.Pars.At(2)), 1);
    EXPECT_EQ(M.Pars.DynOffset(M.Pars.At(2), 0), 5) << "the tail's entry moved with it";
    EXPECT_EQ(M.Pars.DynCount(M.Pars.At(0)), 1);
    // Joining the paragraphs back leaves no start state behind.
    Do(4, 8, "");
    EXPECT_EQ(M.Text(), "keyword here");
    EXPECT_EQ(M.Pars.StartState(M.Pars.At(0)), 0u);
    EXPECT_EQ(M.Pars.DynCount(M.Pars.At(0)), 2);
    EXPECT_EQ(M.Pars.DynOffset(M.Pars.At(0), 1), 9);
}

TEST_F(Replace, LineRecordsOfAnEditedParagraphShift) {
    M.LoadText("aaaa bbbb cccc");
    ParInfo& p = M.Pars.At(0);
    TLinesList lines;
    lines.Par = &p;
    lines.SetLineCount(3);
    lines.SetLine(0, LineInfo{0, 5, 40, 50, 0, 0, 0, 0});
    lines.SetLine(1, LineInfo{5, 10, 40, 50, 5, 0, 0, 0});
    lines.SetLine(2, LineInfo{10, 14, 40, 40, 14, 0, 0, 0});
    Do(1, 1, "xx");
    EXPECT_EQ(lines.Line(0)->Start, 0);
    EXPECT_EQ(lines.Line(0)->Stop, 7);
    EXPECT_EQ(lines.Line(1)->Start, 7);
    EXPECT_EQ(lines.Line(2)->Stop, 16);
    EXPECT_EQ(lines.Line(2)->JustifyFrom, 16);
    EXPECT_TRUE(M.Pars.LinesAdjusted);
    EXPECT_EQ(R.LinesAdded, 0);
}

TEST_F(Replace, DirtyRangeAndFormatRangeFollowTheEdit) {
    M.LoadText("a\r\nb\r\nc\r\nd");
    M.Pars.DirtyLastPar = -1;
    M.Pars.FormatNext = 4;
    M.Pars.FormatLast = -1;
    M.Pars.KeysThrough = 3;
    Do(3, 3, "\r\n\r\n");  // splits paragraph 1 into three
    EXPECT_EQ(M.Pars.DirtyFirstPar, 1);
    EXPECT_EQ(M.Pars.DirtyLastPar, 3) << "every resulting paragraph is dirty";
    EXPECT_EQ(M.Pars.KeysThrough, 0);
    EXPECT_EQ(M.Pars.FormatNext, 6);
    EXPECT_EQ(M.Pars.Changing, 1);
}

TEST_F(Replace, OtherNavigatorsFollow) {
    M.LoadText("abcdef\r\nghij");
    TRiriNavigator before(&M), inside(&M), after(&M), nextPar(&M), atInsert(&M);
    before.SetPos(1);
    inside.SetPos(3);
    after.SetPos(5);
    nextPar.SetPos(10);
    nextPar.ParOffset();  // cached
    Do(2, 4, "XYZ");
    EXPECT_EQ(before.Pos(), 1);
    EXPECT_EQ(inside.Pos(), 2) << "inside the replaced range: to its start";
    EXPECT_EQ(after.Pos(), 6);
    EXPECT_EQ(after.ParOffset(), 6);
    EXPECT_EQ(nextPar.Pos(), 11);
    EXPECT_EQ(nextPar.ParNb(), 1);
    EXPECT_EQ(nextPar.ParOffset(), 2);
    atInsert.SetPos(3);
    Do(3, 3, "\r\n");  // structural: every other navigator is recomputed
    EXPECT_EQ(atInsert.Pos(), 3) << "a position at an insertion point stays";
    EXPECT_EQ(nextPar.Pos(), 13);
    EXPECT_EQ(nextPar.ParNb(), 2);
    EXPECT_EQ(nextPar.CurrentChar(), 'i');
}

TEST(Shift, WalksEveryFollowingRecord) {
    TDudiRiriBase m;
    std::string t;
    for (int i = 0; i < 5000; ++i) t += "p\r\n";
    m.LoadText(t);
    m.Pars.ShiftBoth(1500, 7, 3);
    EXPECT_EQ(m.Pars.StartPos(1499), 1499 * 3);
    EXPECT_EQ(m.Pars.StartPos(1500), 1500 * 3 + 7);
    EXPECT_EQ(m.Pars.FirstLine(5000), 5003);
    m.Pars.ShiftStart(0, -7);
    m.Pars.ShiftLines(0, -3);
    EXPECT_EQ(m.Pars.StartPos(1500), 1500 * 3);
    EXPECT_EQ(m.Pars.FirstLine(4000), 4000);
    EXPECT_EQ(m.Pars.FirstLine(1000), 1000 - 3);
}

TEST(MarkDirty, WidensTheRange) {
    TDudiRiriBase m;
    m.LoadText("a\r\nb\r\nc\r\nd");
    m.Pars.DirtyLastPar = -1;
    m.Pars.KeysThrough = 3;
    m.Pars.MarkDirty(2, 0, 2);
    EXPECT_EQ(m.Pars.DirtyFirstPar, 2);
    EXPECT_EQ(m.Pars.DirtyFirstLine, 2);
    EXPECT_EQ(m.Pars.DirtyLastPar, 2);
    EXPECT_EQ(m.Pars.KeysThrough, 1);
    m.Pars.MarkDirty(1, 0, 1);
    m.Pars.MarkDirty(3, 0, 3);
    EXPECT_EQ(m.Pars.DirtyFirstPar, 1);
    EXPECT_EQ(m.Pars.DirtyLastPar, 3);
    m.Pars.InvalidateLayout();
    EXPECT_EQ(m.Pars.FormatNext, 0);
    EXPECT_EQ(m.Pars.FormatLast, 3);
}

}  // namespace
}  // namespace tarvex
