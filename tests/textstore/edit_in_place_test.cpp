// Many replacements inside paragraphs at once, over lists of a few records a
// block, so that the shifts behind the edits cross blocks with and without
// edits of their own.

#include <gtest/gtest.h>

#include "tests/textstore/test_util.h"
#include "textstore/memo_base.h"
#include "textstore/navigator.h"

namespace tarvex {
namespace {

class EditInPlace : public ::testing::Test {
protected:
    TDudiRiriBase M;
    std::vector<std::string> Expected;

    void SetUp() override {
        M.Pars.SetRecordsPerBlock(3);
        std::string t;
        for (int i = 0; i < 40; ++i) {
            Expected.push_back("paragraph " + std::to_string(i) + " text");
            t += Expected.back() + (i < 39 ? "\r\n" : "");
        }
        M.LoadText(t);
        ASSERT_GT(M.Pars.BlockCount(), 10);
    }

    // Each paragraph's first line follows the one before it by its line count.
    ::testing::AssertionResult LinesConsistent() const {
        const TParagraphsList& L = M.Pars;
        std::int32_t line = 0;
        for (std::int32_t i = 0; i < L.Count(); ++i) {
            if (L.FirstLine(i) != line)
                return ::testing::AssertionFailure()
                       << "FirstLine of paragraph " << i << " is " << L.FirstLine(i) << ", expected " << line;
            line += L.At(i).LineCount();
        }
        if (L.LineCount != line) return ::testing::AssertionFailure() << "LineCount " << L.LineCount << ", expected " << line;
        return ::testing::AssertionSuccess();
    }

    void Apply(const std::vector<TParEdit>& Edits, std::vector<bool>& Removed) {
        const std::vector<std::int32_t> pars = M.Pars.EditInPlace(Edits, Removed);
        for (auto it = Edits.rbegin(); it != Edits.rend(); ++it)
            Expected[static_cast<std::size_t>(it->Par)].replace(static_cast<std::size_t>(it->Offset),
                                                                static_cast<std::size_t>(it->Length), it->Text);
        std::vector<std::int32_t> want;
        for (const TParEdit& e : Edits)
            if (want.empty() || want.back() != e.Par) want.push_back(e.Par);
        EXPECT_EQ(pars, want);
    }
};

TEST_F(EditInPlace, ShiftsCrossBlocksWithAndWithoutEdits) {
    // A paragraph laid out on three lines before: its edit takes two lines away from every one behind.
    TParagraphsList& L = M.Pars;
    L.At(10).SetLineCount(3);
    L.ShiftLines(11, 2);
    L.LineCount += 2;
    ASSERT_TRUE(LinesConsistent());

    std::vector<bool> removed;
    Apply({{1, 0, 9, "P"}, {2, 10, 0, "+++"}, {2, 12, 1, ""}, {10, 0, 0, "long insertion at the start "},
           {25, 3, 4, ""}, {38, 16, 0, " end"}},
          removed);
    EXPECT_EQ(test::Texts(L), Expected);
    EXPECT_TRUE(test::PositionsConsistent(L));
    EXPECT_TRUE(LinesConsistent());
    EXPECT_EQ(L.At(10).LineCount(), 1) << "an edited paragraph is one line until laid out again";
    EXPECT_NO_THROW(L.CheckBlocks());
    EXPECT_EQ(removed, std::vector<bool>(5, false));

    // Positions found by search agree with the shifted records.
    for (std::int32_t i = 0; i < L.Count(); ++i) EXPECT_EQ(L.ParagraphAt(L.StartPos(i)), i);
    EXPECT_EQ(L.ParagraphOfLine(L.FirstLine(39)), 39);

    // Ordinary edits afterwards still see the right positions.
    TRiriNavigator a(&M), b(&M);
    a.SetPos(L.StartPos(30));
    b.SetPos(L.StartPos(31));
    M.ReplaceText("joined ", a, b, false, false);
    Expected[30] = "joined " + Expected[31];
    Expected.erase(Expected.begin() + 31);
    EXPECT_EQ(test::Texts(L), Expected);
    EXPECT_TRUE(test::PositionsConsistent(L));
}

TEST_F(EditInPlace, ChangePointsMoveOrGo) {
    TDynInfo bold, plain;
    bold.Flags = dfOwn | fsBold;
    TRiriNavigator n(&M);
    const TPos s = M.Pars.StartPos(20);
    n.SetPos(s + 2);
    n.InsertAttr(bold);
    n.SetPos(s + 10);
    n.InsertAttr(plain);
    n.SetPos(M.Pars.StartPos(33) + 4);
    n.InsertAttr(bold);

    std::vector<bool> removed;
    // "paragraph 20 text": the point at 2 lies in the replaced "ra"; the one at 10 moves by +3.
    Apply({{20, 1, 2, "AAAA"}, {20, 5, 0, "x"}, {33, 0, 4, "Q"}}, removed);
    EXPECT_EQ(removed, (std::vector<bool>{true, false}));
    const TDynView d = M.Pars.Dyn(M.Pars.At(20));
    ASSERT_EQ(d.size(), 1);
    EXPECT_EQ(d.Offset(0), 13);
    EXPECT_EQ(M.Pars.DynAttr(M.Pars.At(20), 0).Flags & dfOwn, 0);
    // At 4, the end of the replaced "para": an edit ending at a point moves it.
    ASSERT_EQ(M.Pars.DynCount(M.Pars.At(33)), 1);
    EXPECT_EQ(M.Pars.DynOffset(M.Pars.At(33), 0), 1) << "a point at the replaced range's end moves with it";
}

TEST_F(EditInPlace, TooLongChangesNothing) {
    M.Pars.MaxParLen = 30;
    const std::vector<std::string> before = test::Texts(M.Pars);
    std::vector<bool> removed;
    EXPECT_THROW(M.Pars.EditInPlace({{3, 0, 0, "ok"}, {12, 0, 0, std::string(20, 'x')}}, removed), ERiriError);
    EXPECT_EQ(test::Texts(M.Pars), before);
    EXPECT_TRUE(test::PositionsConsistent(M.Pars));
    EXPECT_TRUE(LinesConsistent());
}

}  // namespace
}  // namespace tarvex
