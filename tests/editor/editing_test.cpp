#include <gtest/gtest.h>

#include "editor/dudi_riri.h"
#include "platform/fixed_canvas.h"
#include "editor/text_views.h"

namespace tarvex {
namespace {

class Editing : public ::testing::Test {
protected:
    TDudiRiri M;
    void Type(std::string_view S) {
        for (char c : S) M.SetSelTextBuf(std::string_view(&c, 1));
    }
};

TEST_F(Editing, DefaultsAndVersion) {
    EXPECT_EQ(M.Version(), "Quillan");
    M.SetVersion("other");
    EXPECT_EQ(M.Version(), "Quillan") << "writing the version does nothing";
    EXPECT_TRUE(M.WordWrap());
    EXPECT_EQ(M.TabStops(), 8);
    EXPECT_EQ(M.Font().Name, "Arial");
    EXPECT_EQ(M.Options(), kDefaultOptions);
    EXPECT_EQ(M.UndoMaxLevel(), 1024);
    EXPECT_EQ(M.UndoMaxSpace(), 65536);
    EXPECT_EQ(M.UpdateMode(), umBackground);
    EXPECT_EQ(M.Separators(), std::string("\t\n\r $%&,./:;<=>"));
    EXPECT_EQ(M.ParagraphCount(), 1);
}

TEST_F(Editing, SelectionClampsAndDirections) {
    M.SetTextBuf("hello\r\nworld");
    M.SetSelStart(-5);
    EXPECT_EQ(M.SelStart(), 0);
    M.SetSelStart(M.CharCount() + 10);
    EXPECT_EQ(M.SelStart(), 12);
    M.SetSelStart(3);
    M.SetSelLength(100);
    EXPECT_EQ(M.SelLength(), 9) << "clamped so that the selection ends at CharCount";
    M.SetSelLength(-100);
    EXPECT_EQ(M.SelLength(), -3) << "or at 0";
    EXPECT_EQ(M.SelStart(), 3) << "the caret stays at the anchor";
    M.SelectAll();
    EXPECT_EQ(M.SelStart(), M.CharCount());
    EXPECT_EQ(M.SelLength(), -M.CharCount());
    EXPECT_EQ(M.SelText(), "hello\r\nworld");
    M.NoMerge = false;
    M.SetSelLength(M.SelLength());
    EXPECT_FALSE(M.NoMerge) << "setting SelLength to its value changes nothing";
}

TEST_F(Editing, EmptyTextWithoutSelectionChangesNothing) {
    M.SetTextBuf("abc");
    M.ClearUndo();
    M.Modified = false;
    M.SetSelStart(1);
    M.SetSelTextBuf("");
    EXPECT_FALSE(M.CanUndo());
    EXPECT_FALSE(M.Modified);
    EXPECT_EQ(M.Text(), "abc");
}

TEST_F(Editing, ThePrimitiveReplacesAndPlacesTheCaretBehind) {
    M.SetTextBuf("one two three");
    int changes = 0;
    std::pair<TPos, TPos> parsed{-1, -1};
    M.OnChange = [&](TDudiRiri&) { ++changes; };
    M.OnParse = [&](TDudiRiri& m, TPos a, TPos b) {
        parsed = {a, b};
        EXPECT_GT(m.UpdateCount(), 0);
    };
    M.SetSelStart(4);
    M.SetSelLength(3);
    M.SetSelTextBuf("2\r\n");
    EXPECT_EQ(M.Text(), "one 2\r\n three");
    EXPECT_EQ(M.SelStart(), 7);
    EXPECT_EQ(M.SelLength(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(parsed, (std::pair<TPos, TPos>{4, 7}));
    EXPECT_TRUE(M.Modified);
    M.OnBeforeChange = [](TDudiRiri&, std::string& t) { t = "[" + t + "]"; };
    M.SetSelTextBuf("x");
    EXPECT_EQ(M.Text(), "one 2\r\n[x] three");
}

TEST_F(Editing, UpdateBatchesRefreshOnce) {
    M.SetTextBuf("text");
    int changes = 0;
    M.OnChange = [&](TDudiRiri&) { ++changes; };
    M.BeginUpdate();
    M.SetSelStart(0);
    M.SetSelTextBuf("a");
    M.SetSelTextBuf("b");
    EXPECT_EQ(changes, 0);
    M.EndUpdate();
    EXPECT_EQ(changes, 1);
    M.EndUpdate();  // never below zero
    EXPECT_EQ(M.UpdateCount(), 0);
    M.BeginUpdate();
    M.EndUpdate();
    EXPECT_EQ(changes, 1) << "an empty batch changes nothing";
}

TEST_F(Editing, ParagraphWritesAppendAndKeepTheCaret) {
    M.SetTextBuf("a\r\nb");
    M.SetParagraph(M.ParagraphCount() + 2, "z");
    EXPECT_EQ(M.Text(), "a\r\nb\r\n\r\n\r\nz") << "three paragraphs appended";
    M.SetSelStart(1);
    M.SetParagraph(0, "xyz");
    EXPECT_EQ(M.Paragraph(0), "xyz");
    EXPECT_EQ(M.SelStart(), 1);
}

TEST_F(Editing, FindTextBothWays) {
    M.SetTextBuf("Alpha beta alphabet\r\n\xE0\xE1\xE2 ALPHA\r\nalpha");
    M.SetSelStart(0);
    ASSERT_TRUE(M.FindText("alpha", true, false, false, false));
    EXPECT_EQ(M.SelStart(), 5) << "the caret after the match";
    EXPECT_EQ(M.SelLength(), -5);
    ASSERT_TRUE(M.FindText("alpha", true, false, true, false));
    EXPECT_EQ(M.SelStart(), 21 + 4 + 5) << "whole word: not inside alphabet";
    ASSERT_TRUE(M.FindText("alpha", true, false, false, true));
    EXPECT_EQ(M.SelStart(), 32 + 5) << "match case";
    EXPECT_FALSE(M.FindText("alpha", true, false, false, true));
    EXPECT_EQ(M.SelStart(), 37) << "no match leaves the selection";
    ASSERT_TRUE(M.FindText("\xC0\xC1\xC2", true, true, false, false)) << "Cyrillic folds too";
    EXPECT_EQ(M.SelStart(), 24);
    ASSERT_TRUE(M.FindText("alpha", false, true, false, false));
    EXPECT_EQ(M.SelStart(), 32) << "backward from the end: the last match, selected forward";
    EXPECT_EQ(M.SelLength(), 5);
    ASSERT_TRUE(M.FindText("alpha", false, false, false, false));
    EXPECT_EQ(M.SelStart(), 25);
    ASSERT_TRUE(M.FindText("alpha", false, false, false, false));
    EXPECT_EQ(M.SelStart(), 11);
    EXPECT_FALSE(M.FindText("a\r\nb", true, true, false, false)) << "a match never spans a break";
}

TEST_F(Editing, DiscardingTrailingSpacesReloadsKeepingModified) {
    M.SetTextBuf("a  \r\nb\t");
    M.Modified = false;
    M.SetOptions(M.Options() | droDiscardTrailingSpaces);
    EXPECT_EQ(M.Text(), "a\r\nb");
    EXPECT_FALSE(M.Modified);
}

TEST_F(Editing, StaticFormatCodesAreCleanedAfterEdits) {
    M.SetStaticFormat(true);
    M.SetTextBuf("ab");
    M.SetSelStart(1);
    M.SetSelTextBuf("\2\2");
    EXPECT_EQ(M.Text(), "ab") << "a pair enclosing nothing goes";
    M.Undo();
    EXPECT_EQ(M.Text(), "ab");
    M.SetSelStart(0);
    M.SetSelLength(1);
    M.ToggleStyleCode('\2');
    EXPECT_EQ(M.Text(), "\2a\2b");
    EXPECT_EQ(M.SelStart(), 1);
    EXPECT_EQ(M.SelLength(), 1) << "the same text stays selected";
    M.SetStaticFormat(false);
    M.ToggleStyleCode('\2');
    EXPECT_EQ(M.Text(), "\2a\2b") << "only with StaticFormat";
}

TEST_F(Editing, ConsistencyCheckFindsBrokenBookkeeping) {
    TFixedCanvas c(10);
    M.SetCanvas(&c);
    M.SetClientSize(116, 100);
    M.SetTextBuf("one two three four five six\r\nseven");
    M.FormatPending();
    EXPECT_NO_THROW(M.CheckConsistency());
    M.Pars.ShiftStart(1, 1);
    try {
        M.CheckConsistency();
        FAIL();
    } catch (const ERiriError& e) {
        EXPECT_STREQ(e.what(), "Error 2 in Quillan");
    }
    M.Pars.ShiftStart(1, -1);
    M.Pars.LineCount += 1;
    EXPECT_THROW(M.CheckConsistency(), ERiriError);
    M.SetCanvas(nullptr);
}

}  // namespace
}  // namespace tarvex
