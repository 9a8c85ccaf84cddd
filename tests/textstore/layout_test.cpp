#include <gtest/gtest.h>

#include "platform/fixed_canvas.h"
#include "textstore/layout.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"
#include "tests/textstore/test_util.h"

namespace tarvex {
namespace {

class Layout : public ::testing::Test {
protected:
    TFixedCanvas C{10};
    TDudiRiriBase M;
    TRiriNavigator N{&M}, A{&M}, B{&M};

    void SetUp() override {
        M.SetCanvas(&C);
        M.SetClientSize(216, 100);  // 200 pixels between the margins: 20 characters
    }
    void Load(std::string_view Text) {
        M.LoadText(Text);
        FormatAll(M);
    }
    // Start and Stop of every display line of paragraph P.
    std::vector<std::pair<int, int>> Breaks(std::int32_t P) {
        TLinesList l;
        l.Par = &M.Pars.At(P);
        std::vector<std::pair<int, int>> v;
        for (std::int32_t i = 0; i < l.LineCount(); ++i) v.emplace_back(l.Line(i)->Start, l.Line(i)->Stop);
        return v;
    }
    LineInfo Line(std::int32_t P, std::int32_t I) {
        TLinesList l;
        l.Par = &M.Pars.At(P);
        return *l.Line(I);
    }
    void Replace(TPos From, TPos To, std::string_view Text) {
        A.SetPos(From);
        B.SetPos(To);
        M.ReplaceText(Text, A, B);
    }
    using Spans = std::vector<std::pair<int, int>>;
};

TEST_F(Layout, NoWrapKeepsEveryParagraphOnOneLine) {
    M.SetWordWrap(false);
    Load(std::string(5000, 'w') + "\r\nshort");
    EXPECT_EQ(M.Pars.LineCount, 2);
    EXPECT_EQ(Breaks(0), (Spans{{0, 5000}}));
    EXPECT_FALSE(M.Pars.At(0).HasExtra() && M.Pars.At(0).LineCount() > 1);
    EXPECT_EQ(M.WidestLine, 50000);
    EXPECT_EQ(M.WidestLineIndex, 0);
}

TEST_F(Layout, CharacterModeBreaksAndSplits) {
    M.SetColumnWrap(10);
    Load("aaaa bbbb cccc\r\n" + std::string(25, 'x'));
    EXPECT_EQ(Breaks(0), (Spans{{0, 10}, {10, 14}})) << "the blank at the break hangs on the first line";
    EXPECT_EQ(Line(0, 0).Width, 90);
    EXPECT_EQ(Line(0, 0).FullWidth, 100);
    EXPECT_EQ(Breaks(1), (Spans{{0, 9}, {9, 18}, {18, 25}})) << "a long word splits one character short of the limit";
    EXPECT_EQ(M.Pars.LineCount, 5);
    EXPECT_EQ(M.Pars.FirstLine(1), 2);
}

TEST_F(Layout, PixelModeBreaksAtTheClientWidth) {
    Load("aaaa bbbb cccc dddd eeee ffff");  // 200 px hold 20 characters
    EXPECT_EQ(Breaks(0), (Spans{{0, 20}, {20, 29}}));
    EXPECT_EQ(Line(0, 0).Width, 190);
    EXPECT_EQ(Line(0, 0).Spaces, 3) << "inner blanks only";
    EXPECT_EQ(Line(0, 1).JustifyFrom, 29) << "the last line ends justification";
    Load(std::string(45, 'z'));
    EXPECT_EQ(Breaks(0), (Spans{{0, 20}, {20, 40}, {40, 45}})) << "pixel splits keep what fits";
}

TEST_F(Layout, BlankOnlyLinesHang) {
    M.SetColumnWrap(10);
    Load("aaaaaaaaa              b");
    EXPECT_EQ(Breaks(0), (Spans{{0, 23}, {23, 24}})) << "the blanks after the first word all hang on its line";
    Load("          ");
    EXPECT_EQ(Breaks(0), (Spans{{0, 10}})) << "a paragraph of only blanks is one line";
    Load("");
    EXPECT_EQ(Breaks(0), (Spans{{0, 0}}));
}

TEST_F(Layout, EditPullsAWordBackOntoThePreviousLine) {
    M.SetColumnWrap(10);
    Load("aaaa bbbbbb cc");
    ASSERT_EQ(Breaks(0), (Spans{{0, 5}, {5, 14}}));
    Replace(6, 7, "");  // one b fewer: "bbbbb" fits behind "aaaa "
    EXPECT_EQ(M.Pars.DirtyFirstLine, 1);
    std::int32_t first = 1, last = 0;
    TFormatState st;
    const TFormatResult r = FormatParagraph(M, &C, true, st, true, last, first, 0, nullptr, M.ClientWidth());
    EXPECT_EQ(first, 0) << "the line before the edit changed";
    EXPECT_EQ(Breaks(0), (Spans{{0, 11}, {11, 13}}));
    EXPECT_EQ(r.NewCount, 2);
    EXPECT_EQ(r.Delta, 0);

    Replace(0, 0, "x");  // an edit that leaves the line before alone
    first = 1;
    FormatParagraph(M, &C, true, st, true, last, first, 0, nullptr, M.ClientWidth());
    EXPECT_EQ(Breaks(0), (Spans{{0, 6}, {6, 14}}));
}

// A one-character edit in a long wrapped paragraph lays out only the lines
// up to where the new breaks meet the old ones.
TEST_F(Layout, EditStopsWhereNewBreaksMeetOldOnes) {
    M.SetColumnWrap(20);
    std::string t;
    for (int i = 0; i < 2000; ++i) t += "word" + std::to_string(i % 10) + " ";
    Load(t);
    const std::int32_t lines = M.Pars.At(0).LineCount();
    ASSERT_GT(lines, 400);
    TLinesList l;
    l.Par = &M.Pars.At(0);
    l.Line(300)->Width = 12345;  // a far line: an early stop never touches it
    Replace(7, 8, "X");          // same length: the breaks meet at once
    const TLayoutStats st = FormatDirtyRange(M);
    EXPECT_EQ(l.Line(300)->Width, 12345);
    EXPECT_LE(st.LastChangedLine, 2);
    EXPECT_EQ(std::string(M.Pars.At(0).View().substr(0, 12)), "word0 wXrd1 ");
    l.Line(300)->Width = M.Pars.At(0).Extra()->FirstLineInfo.Width;  // undo the poison
    Replace(7, 7, "YYYYYYYYYYYYYYYYYYYYYYYYYYYY");  // breaks shift for a while, then meet again
    FormatDirtyRange(M);
    TDudiRiriBase fresh;
    fresh.SetCanvas(&C);
    fresh.SetClientSize(216, 100);
    fresh.SetColumnWrap(20);
    fresh.LoadText(M.Text());
    FormatAll(fresh);
    TLinesList f;
    f.Par = &fresh.Pars.At(0);
    ASSERT_EQ(l.LineCount(), f.LineCount());
    EXPECT_GT(l.LineCount(), lines);
    for (std::int32_t i = 0; i < f.LineCount(); ++i) ASSERT_EQ(*l.Line(i), *f.Line(i)) << i;
}

TEST_F(Layout, TabsAtEveryTabStopsSign) {
    C.SetCharWidth(' ', 5);
    M.SetWordWrap(false);
    Load("\tx");
    N.SetPos(1);
    EXPECT_EQ(N.PosToX(), 8 + 40) << "TabStops 8 with 5-pixel blanks";
    M.SetTabStops(-30);
    EXPECT_EQ(N.PosToX(), 8 + 30);
    M.SetTabStops(0);
    EXPECT_EQ(N.PosToX(), 8);
    M.SetTabStops(8);
    FormatAll(M);
    EXPECT_EQ(Line(0, 0).Width, 50);
    M.SetWordWrap(true);
    M.SetColumnWrap(-100);
    Load("ab\tcd ef\tgh ij");
    EXPECT_EQ(Line(0, 0).JustifyFrom, 8) << "the last tab of the line";
}

TEST_F(Layout, StyleCodesChangeTheFontMidWord) {
    C.SetBoldExtra(2);
    M.SetStaticFormat(true);
    M.SetWordWrap(false);
    Load("ab\2cd\2e");
    EXPECT_EQ(Line(0, 0).Width, 10 + 10 + 12 + 12 + 10);
    N.SetPos(5);  // behind "cd"
    EXPECT_EQ(N.PosToX(), 8 + 44);
    EXPECT_EQ(N.StaticStyle(), fsBold);
    M.SetWordWrap(true);
    M.SetColumnWrap(-45);
    Load("ab\2cdef");  // 20 + 48 pixels: the bold part does not fit
    EXPECT_EQ(Breaks(0).size(), 2u);
}

TEST_F(Layout, JustificationDistributesExtraPixels) {
    M.SetJustified(true);
    M.SetColumnWrap(-190);
    M.SetClientSize(216, 100);  // 200 pixels of room
    Load("aa bb cc dd eeeeeeeeeeeeeee");
    ASSERT_EQ(Breaks(0)[0], (std::pair<int, int>{0, 12}));
    const LineInfo l = Line(0, 0);
    ASSERT_EQ(l.Spaces, 3);
    ASSERT_EQ(l.Width, 110);
    // 90 extra pixels over 3 blanks: 30 each.
    N.SetPos(3);
    EXPECT_EQ(N.PosToX(), 8 + 30 + 30);
    M.SetClientSize(217, 100);  // 91 extra: 30, 30, 31
    N.SetPos(6);
    EXPECT_EQ(N.PosToX(), 8 + 60 + 60);
    N.SetPos(9);
    EXPECT_EQ(N.PosToX(), 8 + 90 + 91);
    N.SetPos(M.Pars.At(0).Len());
    EXPECT_EQ(N.VisibleLine(), 1);
    EXPECT_EQ(N.PosToX(), 8 + 150) << "the last line is not justified";
}

TEST_F(Layout, AlignmentOrigins) {
    M.SetWordWrap(false);
    M.SetAlignment(taRightJustify);
    Load("abc");
    N.SetPos(0);
    EXPECT_EQ(N.PosToX(), 216 - 8 - 30);
    M.SetAlignment(taCenter);
    EXPECT_EQ(N.PosToX(), 8 + (200 - 30) / 2);
}

TEST_F(Layout, HitTestingLandsOnTheNearestBoundary) {
    M.SetWordWrap(false);
    Load("abcdef");
    N.SetPos(0);
    N.XToPos(8 + 4);
    EXPECT_EQ(N.ParOffset(), 0);
    N.XToPos(8 + 5);
    EXPECT_EQ(N.ParOffset(), 1) << "a click exactly on a character's middle lands behind it";
    N.XToPos(8 + 14);
    EXPECT_EQ(N.ParOffset(), 1);
    N.XToPos(500);
    EXPECT_EQ(N.ParOffset(), 6);
    N.XToPos(-50);
    EXPECT_EQ(N.ParOffset(), 0);
    // PosToX and XToPos agree on every boundary.
    for (int o = 0; o <= 6; ++o) {
        N.SetPos(o);
        const int x = N.PosToX();
        N.XToPos(x);
        EXPECT_EQ(N.ParOffset(), o);
    }
}

TEST_F(Layout, PixelPositionsOfWrappedLines) {
    M.SetColumnWrap(10);
    M.SetFixedLineHeight(20);
    Load("aaaa bbbb cccc\r\nzz");
    N.PixelToPos(8 + 21, 25);  // second line, behind the second c
    EXPECT_EQ(N.Pos(), 12);
    N.PixelToPos(0, 10000);
    EXPECT_EQ(N.Pos(), M.CharCount()) << "below the last line: the end of the text";
    N.PixelToPos(8 + 15, -40);
    EXPECT_EQ(N.Pos(), 2) << "above the first line: line 0";
    N.SetPos(17);
    const TPoint p = N.PosToPixel();
    EXPECT_EQ(p.X, 8 + 10);
    EXPECT_EQ(p.Y, 40);
}

TEST_F(Layout, WithoutACanvasEveryParagraphIsOneLineOfWidthZero) {
    M.SetCanvas(nullptr);
    M.SetColumnWrap(3);
    Load("aaaa bbbb cccc\r\nx");
    EXPECT_EQ(M.Pars.LineCount, 2);
    EXPECT_EQ(Line(0, 0).Width, 0);
    EXPECT_FALSE(M.Pars.At(0).HasExtra()) << "one unmeasured line stays in the short form";
}

TEST_F(Layout, RunsLongerThanALineAreCutWhereTheyFit) {
    // Pixel mode, 20 characters a line: a word, a run of 95, another of 30.
    Load("ab " + std::string(95, 'x') + " cd" + std::string(30, 'y') + " e");
    EXPECT_EQ(Breaks(0), (Spans{{0, 3}, {3, 23}, {23, 43}, {43, 63}, {63, 83}, {83, 99}, {99, 119}, {119, 133}}));
    // Narrow letters in the run: each line takes as many as fit.
    C.SetCharWidth('i', 4);
    Load(std::string(120, 'i') + "x" + std::string(50, 'i') + "xx");
    EXPECT_EQ(Breaks(0), (Spans{{0, 50}, {50, 100}, {100, 148}, {148, 173}}));
    // Character mode: pieces of one character less than the limit.
    M.SetColumnWrap(10);
    Load("a\t" + std::string(70, 'q') + "\tz");
    EXPECT_EQ(Breaks(0), (Spans{{0, 2}, {2, 11}, {11, 20}, {20, 29}, {29, 38}, {38, 47}, {47, 56}, {56, 65}, {65, 74}}));
    // Style codes inside the run change the font (bold is wider here).
    M.SetColumnWrap(0);
    M.SetStaticFormat(true);
    C.SetBoldExtra(3);
    Load("w \2" + std::string(40, 'b') + "\2" + std::string(40, 'n') + " tail");
    EXPECT_EQ(Breaks(0), (Spans{{0, 3}, {3, 18}, {18, 33}, {33, 51}, {51, 71}, {71, 89}}));
}

// Counts the characters measured; no advance table, so every measurement shows.
class TCountingCanvas : public TFixedCanvas {
public:
    using TFixedCanvas::TFixedCanvas;
    using TCanvas::TextExtent;
    int TextExtent(const char* Text, int Count) override {
        Measured += Count;
        return TFixedCanvas::TextExtent(Text, Count);
    }
    const int* Advances() override { return nullptr; }
    std::int64_t Measured = 0;
};

TEST(LayoutLongRuns, ARunWithoutBlanksIsMeasuredOnce) {
    // Regression: every line cut from a run longer than a line measured the
    // whole rest of it again, quadratic in the run's length.
    const std::int32_t n = 20000;
    for (const int columnWrap : {0, 10}) {
        TCountingCanvas canvas(10);
        TDudiRiriBase m;
        m.SetCanvas(&canvas);
        m.SetClientSize(216, 100);
        m.SetColumnWrap(columnWrap);
        m.LoadText("start " + std::string(static_cast<std::size_t>(n), 'j') + " end");
        canvas.Measured = 0;
        FormatAll(m);
        EXPECT_EQ(m.Pars.LineCount, columnWrap ? 2 + n / 9 : 2 + n / 20) << columnWrap;
        EXPECT_LT(canvas.Measured, 10 * n) << "characters measured, column wrap " << columnWrap;
    }
}

// After random edits and incremental layout of the dirty range, every
// paragraph's lines equal those of a fresh full layout of the same text.
TEST(LayoutRandom, IncrementalEqualsFull) {
    struct Mode {
        int ColumnWrap;
        bool StaticFormat;
        bool Justified;
        int TabStops;
    };
    const Mode modes[] = {{0, false, false, 8}, {12, false, false, 4}, {-90, true, true, -25}, {7, true, false, 0}};
    const std::string run(47, 'r');  // longer than a line in every mode
    const char* bits[] = {"a", "bb", "ccc ", " ", "  ", "\t", "\r\n", "word ", "\2", "\1", "longerword", "x", run.c_str()};
    int modeNo = 0;
    for (const Mode& mode : modes) {
        std::mt19937 rng(100 + modeNo++);
        TFixedCanvas canvas(10);
        canvas.SetCharWidth('i', 4);
        canvas.SetBoldExtra(3);
        auto setup = [&](TDudiRiriBase& m) {
            m.SetCanvas(&canvas);
            m.SetClientSize(236, 100);
            m.SetColumnWrap(mode.ColumnWrap);
            m.SetStaticFormat(mode.StaticFormat);
            m.SetJustified(mode.Justified);
            m.SetTabStops(mode.TabStops);
        };
        TDudiRiriBase inc;
        setup(inc);
        std::string start;
        for (int i = 0; i < 300; ++i) start += bits[rng() % std::size(bits)];
        inc.LoadText(start);
        FormatAll(inc);
        TRiriNavigator a(&inc), b(&inc);
        for (int step = 0; step < 400; ++step) {
            const TPos len = inc.CharCount();
            TPos from = static_cast<TPos>(rng() % (len + 1));
            TPos to = rng() % 3 ? from : std::min<TPos>(len, from + rng() % 12);
            std::string text;
            for (int k = static_cast<int>(rng() % 4); k > 0; --k) text += bits[rng() % std::size(bits)];
            a.SetPos(from);
            b.SetPos(to);
            if (a.ParOffset() > a.Par()->Len() || b.ParOffset() > b.Par()->Len()) continue;  // between CR and LF
            inc.ReplaceText(text, a, b);
            FormatDirtyRange(inc);

            TDudiRiriBase full;
            setup(full);
            full.LoadText(inc.Text());
            FormatAll(full);
            ASSERT_EQ(inc.Pars.Count(), full.Pars.Count());
            for (std::int32_t p = 0; p < full.Pars.Count(); ++p) {
                TLinesList li, lf;
                li.Par = &inc.Pars.At(p);
                lf.Par = &full.Pars.At(p);
                ASSERT_EQ(inc.Pars.FirstLine(p), full.Pars.FirstLine(p)) << "mode " << modeNo << " step " << step;
                ASSERT_EQ(li.LineCount(), lf.LineCount()) << "mode " << modeNo << " step " << step << " par " << p;
                for (std::int32_t i = 0; i < lf.LineCount(); ++i)
                    ASSERT_EQ(*li.Line(i), *lf.Line(i)) << "mode " << modeNo << " step " << step << " par " << p << " line " << i
                                                        << " text " << testing::PrintToString(std::string(full.Pars.At(p).View()));
            }
            ASSERT_EQ(inc.Pars.LineCount, full.Pars.LineCount) << "mode " << modeNo << " step " << step;
        }
    }
}

}  // namespace
}  // namespace tarvex
