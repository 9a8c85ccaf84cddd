#include <gtest/gtest.h>

#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

class Nav : public ::testing::Test {
protected:
    TDudiRiriBase M;
    TRiriNavigator N{&M};

    // Gives paragraph P display lines ending at the given Stops.
    void SetLines(std::int32_t P, std::vector<std::int32_t> Stops) {
        TLinesList l;
        l.Par = &M.Pars.At(P);
        l.SetLineCount(static_cast<std::int32_t>(Stops.size()));
        std::int32_t start = 0;
        for (std::size_t i = 0; i < Stops.size(); ++i) {
            LineInfo li;
            li.Start = start;
            li.Stop = Stops[i];
            li.JustifyFrom = li.Stop;
            l.SetLine(static_cast<std::int32_t>(i), li);
            start = Stops[i];
        }
        // Keep FirstLine and the line count consistent.
        std::int32_t line = 0;
        for (std::int32_t i = 0; i < M.Pars.Count(); ++i) {
            M.Pars.SetFirstLine(i, line);
            line += M.Pars.At(i).LineCount();
        }
        M.Pars.LineCount = line;
    }
};

TEST_F(Nav, PositionsAroundABreak) {
    M.LoadText("ab\r\ncd");
    N.SetPos(2);
    EXPECT_EQ(N.CurrentChar(), 13);
    N.SetPos(3);
    EXPECT_EQ(N.CurrentChar(), 10);
    EXPECT_EQ(N.ParNb(), 0);
    EXPECT_EQ(N.ParOffset(), 3);
    N.SetPos(4);
    EXPECT_EQ(N.ParNb(), 1);
    EXPECT_EQ(N.ParOffset(), 0);
    N.SetPos(6);
    EXPECT_EQ(N.CurrentChar(), 13) << "the end of the text reads as CR";
    N.SetPos(100);
    EXPECT_EQ(N.Pos(), 6) << "positions stay inside the text";
}

// Paragraph sizes far from uniform defeat the proportional estimate; the walk
// (or the search behind it) must still find every position's paragraph.
TEST_F(Nav, FindsTheParagraphOfEveryPosition) {
    std::string t = std::string(100000, 'x') + "\r\n";
    for (int i = 0; i < 3000; ++i) t += (i % 7 ? "s\r\n" : "\r\n");
    t += std::string(50000, 'y');
    M.LoadText(t);
    std::vector<std::pair<std::int32_t, std::int32_t>> expect;  // per position: paragraph, offset
    std::int32_t p = 0, o = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        expect.emplace_back(p, o);
        if (t[i] == '\n') {
            ++p;
            o = 0;
        } else {
            ++o;
        }
    }
    for (std::size_t pos = 0; pos < t.size(); pos += (pos > 99000 && pos < 115000) ? 1 : 997) {
        N.Invalidate();
        N.SetPos(static_cast<TPos>(pos));
        ASSERT_EQ(N.ParNb(), expect[pos].first) << pos;
        ASSERT_EQ(N.ParOffset(), expect[pos].second) << pos;
    }
}

TEST_F(Nav, SettersKeepTheCachesInStep) {
    M.LoadText("0123456789\r\nabcdefghij");
    SetLines(0, {4, 8, 10});
    TDynInfo d;
    N.SetPos(3);
    N.InsertAttr(d);
    N.SetPos(7);
    N.InsertAttr(d);
    N.SetPos(0);
    EXPECT_EQ(N.DynNb(), 0);
    EXPECT_EQ(N.LineNb(), 0);
    N.SetPos(5);  // forward inside the paragraph: both advance
    EXPECT_EQ(N.DynNb(), 1);
    EXPECT_EQ(N.LineNb(), 1);
    N.SetParOffset(2);  // backward
    EXPECT_EQ(N.DynNb(), 0);
    EXPECT_EQ(N.LineNb(), 0);
    EXPECT_EQ(N.Pos(), 2);
    N.SetParOffset(50);
    EXPECT_EQ(N.ParOffset(), 10) << "clamped to the paragraph length";
    N.SetParNb(1);
    EXPECT_EQ(N.Pos(), 12);
    EXPECT_THROW(N.SetParNb(2), ERangeError);
}

TEST_F(Nav, DisplayLinesOfWrappedParagraphs) {
    M.LoadText("aaaa bbbb cc\r\nxyz\r\nlong line here");
    SetLines(0, {5, 10, 12});
    SetLines(2, {5, 14});
    N.SetPos(5);
    EXPECT_EQ(N.LineNb(), 1) << "a position at a line's Stop belongs to the next line";
    EXPECT_EQ(N.LineColumn(), 0);
    EXPECT_EQ(N.LineText(), "bbbb ");
    N.SetLineColumn(99);
    EXPECT_EQ(N.ParOffset(), 10) << "a column beyond the line stops at its Stop";
    N.SetPos(12);
    EXPECT_EQ(N.LineNb(), 2) << "the paragraph end is on its last line";
    EXPECT_EQ(N.VisibleLine(), 2);
    N.SetDisplayLine(5);
    EXPECT_EQ(N.ParNb(), 2);
    EXPECT_EQ(N.ParOffset(), 5);
    EXPECT_EQ(N.DisplayLine(), 5);
    N.SetDisplayLine(99);
    EXPECT_EQ(N.VisibleLine(), 5) << "clamped to the last line";
    N.SetPos(0);
    N.SetVisibleLine(3);
    EXPECT_EQ(N.ParNb(), 1);
    N.SetVisibleLine(1);
    EXPECT_EQ(N.Pos(), 5);
    M.SetWordWrap(false);
    N.SetPos(20);
    EXPECT_EQ(N.DisplayLine(), 2) << "without word wrap the display line is the paragraph";
    N.SetDisplayLine(1);
    EXPECT_EQ(N.Pos(), 14);
}

TEST_F(Nav, GetTextWritesBreaksAsCrLf) {
    M.LoadText("ab\ncd\n\nef");
    N.SetPos(1);
    EXPECT_EQ(N.GetText(7), "b\r\ncd\r\n");
    N.SetPos(2);
    EXPECT_EQ(N.GetText(3), "\r\nc");
    N.SetPos(3);
    EXPECT_EQ(N.GetText(2), "\nc") << "starting on the LF of a break";
    N.SetPos(8);
    EXPECT_EQ(N.GetText(100), "\r\nef") << "stops at the end of the text";
}

TEST_F(Nav, WordMoves) {
    M.LoadText("one two,  three\r\n  four");
    N.SetPos(0);
    N.WordRight();
    EXPECT_EQ(N.Pos(), 4);
    N.WordRight();
    EXPECT_EQ(N.Pos(), 10) << "over the comma and the blanks";
    N.WordRight();
    EXPECT_EQ(N.Pos(), 19) << "the separators behind a word include the break";
    N.WordRight();
    EXPECT_EQ(N.Pos(), 23) << "never beyond the end";
    N.WordLeft();
    EXPECT_EQ(N.Pos(), 19);
    N.WordLeft();
    EXPECT_EQ(N.Pos(), 10) << "back over the break and the blanks to the word start";
    N.WordLeft();
    EXPECT_EQ(N.Pos(), 4);
    N.SetPos(0);
    N.WordLeft();
    EXPECT_EQ(N.Pos(), 0) << "WordLeft at 0 stays at 0";
    N.SetPos(15);
    N.WordRight();
    EXPECT_EQ(N.Pos(), 17) << "at the end of a paragraph: to the start of the next";

    N.SetPos(12);  // inside "three"
    EXPECT_EQ(N.CurrentWord(), "three");
    N.WordEnd();
    EXPECT_EQ(N.Pos(), 15);
    N.WordStart();
    EXPECT_EQ(N.Pos(), 10);
    N.SetPos(7);  // on the comma right behind "two"
    EXPECT_EQ(N.CurrentWord(), "two");
    N.SetPos(19);
    N.WordStart();
    EXPECT_EQ(N.ParNb(), 1);
    EXPECT_EQ(N.ParOffset(), 2) << "WordStart stays in its paragraph";
}

TEST_F(Nav, ChangePoints) {
    M.LoadText("abcdef\r\n\r\nghijkl");
    TDynInfo bold;
    bold.Flags = dfOwn | fsBold;
    N.SetPos(2);
    N.InsertAttr(bold);
    EXPECT_EQ(N.DynNb(), 1);
    EXPECT_EQ(N.CurrentAttr().Flags, bold.Flags);
    N.SetPos(13);
    N.InsertAttr(TDynInfo{});
    N.SetPos(1);
    EXPECT_EQ(N.CurrentAttr().Color, -1) << "before any change point: the default start attribute";

    N.SetPos(12);
    ASSERT_TRUE(N.PrevChangePoint(0));
    EXPECT_EQ(N.Pos(), 2) << "back over a paragraph without entries";
    EXPECT_FALSE(N.PrevChangePoint(0));
    EXPECT_EQ(N.Pos(), 2);
    ASSERT_TRUE(N.NextChangePoint(100));
    EXPECT_EQ(N.Pos(), 13);
    EXPECT_EQ(N.ParNb(), 2);
    EXPECT_EQ(N.DynNb(), 0);
    EXPECT_FALSE(N.NextChangePoint(100));
    N.SetPos(0);
    EXPECT_FALSE(N.NextChangePoint(1)) << "the next point lies beyond the bound";
    N.SetPos(12);
    EXPECT_FALSE(N.PrevChangePoint(5)) << "the previous point lies below the bound";

    N.SetPos(3);
    try {
        N.DeleteAttr();
        FAIL() << "no change point at offset 3";
    } catch (const ERiriError& e) {
        EXPECT_STREQ(e.what(), "Internal VOdor error");
    }
    N.SetPos(2);
    N.DeleteAttr();
    EXPECT_EQ(M.Pars.DynCount(M.Pars.At(0)), 0);
}

TEST_F(Nav, VisualColumnsWithTabs) {
    M.LoadText("a\tb\t\tc");
    N.SetPos(0);
    EXPECT_EQ(N.OffsetToColumn(1), 1);
    EXPECT_EQ(N.OffsetToColumn(2), 8);
    EXPECT_EQ(N.OffsetToColumn(5), 24);
    EXPECT_EQ(N.ColumnToOffset(5), 1) << "a tab that would jump past the column is not passed";
    EXPECT_EQ(N.ColumnExcess(5), 4);
    EXPECT_EQ(N.ColumnToOffset(8), 2);
    EXPECT_EQ(N.ColumnExcess(30), 5) << "columns beyond the text";
    EXPECT_EQ(OffsetToColumn("a\tb", 3, 0, false), 3) << "without tab stops a tab is one column";
    EXPECT_EQ(OffsetToColumn("\2ab", 3, 8, true), 2) << "style codes take no column";
}

TEST_F(Nav, StaticStyleAtThePosition) {
    M.SetStaticFormat(true);
    M.LoadText("a\2b\1c");
    N.SetPos(1);
    EXPECT_EQ(N.StaticStyle(), 0);
    N.SetPos(3);
    EXPECT_EQ(N.StaticStyle(), fsBold);
    N.SetPos(5);
    EXPECT_EQ(N.StaticStyle(), fsBold | fsItalic);
    M.SetStaticFormat(false);
    EXPECT_EQ(N.StaticStyle(), 0);
}

TEST(NavOwner, OnlyAnEditorOwnsNavigators) {
    TComponent other;
    try {
        TRiriNavigator n(&other);
        FAIL();
    } catch (const ERiriError& e) {
        EXPECT_STREQ(e.what(), "Internal error: component is not a TDudiRiri");
    }
    TRiriNavigator loose(nullptr);
    EXPECT_EQ(loose.Memo(), nullptr);
    bool destroyed = false;
    {
        TDudiRiriBase m;
        auto n = std::make_unique<TRiriNavigator>(&m);
        EXPECT_EQ(m.Navigators().size(), 1u);
        n->OnDestroy = [&](TRiriNavigator*) { destroyed = true; };
        n.reset();
        EXPECT_TRUE(m.Navigators().empty());
    }
    EXPECT_TRUE(destroyed);
    auto survivor = std::make_unique<TRiriNavigator>(nullptr);
    {
        TDudiRiriBase m;
        survivor->Bind(&m);
    }
    EXPECT_EQ(survivor->Memo(), nullptr) << "an editor unbinds the navigators that outlive it";
}

}  // namespace
}  // namespace tarvex
