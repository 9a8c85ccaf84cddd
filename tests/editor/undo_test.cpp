#include <gtest/gtest.h>

#include <random>

#include "editor/dudi_riri.h"

namespace tarvex {
namespace {

class Undo : public ::testing::Test {
protected:
    TDudiRiri M;
    void Type(std::string_view S) {
        for (char c : S) M.SetSelTextBuf(std::string_view(&c, 1));
    }
    void SetUp() override {
        M.SetTextBuf("");
        M.ClearUndo();
    }
};

TEST_F(Undo, TypingMergesUntilTheCaretMoves) {
    Type("abc");
    M.Undo();
    EXPECT_EQ(M.Text(), "") << "three characters, one step";
    EXPECT_TRUE(M.CanRedo());
    M.Redo();
    EXPECT_EQ(M.Text(), "abc");
    EXPECT_EQ(M.SelStart(), 3);
    M.SetSelStart(M.SelStart() - 1);  // Left
    M.SetSelStart(M.SelStart() + 1);  // Right
    Type("d");
    M.Undo();
    EXPECT_EQ(M.Text(), "abc") << "a caret move starts a new step";
    M.Undo();
    EXPECT_EQ(M.Text(), "");
    EXPECT_FALSE(M.CanUndo());
}

TEST_F(Undo, DeletionsAndPastesAreStepsOfTheirOwn) {
    Type("hello");
    M.SetSelStart(4);
    M.SetSelLength(1);
    M.SetSelTextBuf("");  // Delete
    M.SetSelStart(M.SelStart() - 1);
    M.SetSelLength(1);
    M.SetSelTextBuf("");  // another one
    EXPECT_EQ(M.Text(), "hel");
    M.Undo();
    EXPECT_EQ(M.Text(), "hell");
    M.NoMerge = true;  // a paste
    M.SetSelTextBuf("PASTE");
    M.NoMerge = true;
    Type("xy");
    EXPECT_EQ(M.Text(), "hellPASTExy");
    M.Undo();
    EXPECT_EQ(M.Text(), "hellPASTE");
    M.Undo();
    EXPECT_EQ(M.Text(), "hell");
}

TEST_F(Undo, ANewEditDiscardsRedo) {
    Type("ab");
    M.Undo();
    EXPECT_TRUE(M.CanRedo());
    Type("x");
    EXPECT_FALSE(M.CanRedo());
    M.Undo();
    EXPECT_EQ(M.Text(), "");
}

TEST_F(Undo, GroupedRecordsUndoAndRedoAsOneStep) {
    M.SetTextBuf("one two");
    M.ClearUndo();
    // A drag move: the source removed, the text inserted elsewhere, grouped.
    M.SetSelStart(0);
    M.SetSelLength(4);
    M.SetSelTextBuf("");
    M.SetSelStart(3);
    M.NoMerge = true;
    M.SetSelTextBuf(" one");
    M.GroupLastUndo(true);
    EXPECT_EQ(M.Text(), "two one");
    M.Undo();
    EXPECT_EQ(M.Text(), "one two") << "both places restored in one step";
    EXPECT_FALSE(M.CanUndo());
    M.Redo();
    EXPECT_EQ(M.Text(), "two one") << "and redone in one";
    M.Undo();
    EXPECT_EQ(M.Text(), "one two");
}

TEST_F(Undo, LevelLimitDropsTheOldest) {
    M.SetUndoMaxLevel(2);
    for (const char* s : {"a", "b", "c"}) {
        M.SetSelStart(M.CharCount());
        M.SetSelTextBuf(s);
    }
    M.Undo();
    M.Undo();
    EXPECT_EQ(M.Text(), "a");
    EXPECT_FALSE(M.CanUndo()) << "the last two stay undoable";
    M.SetUndoMaxLevel(5);
    M.Redo();  // "ab"
    M.SetUndoMaxLevel(1);
    EXPECT_EQ(M.UndoList().Count(), 1) << "redo records above the new level go, then the oldest";
    try {
        M.SetUndoMaxLevel(134217728);
        FAIL();
    } catch (const ERiriError& e) {
        EXPECT_STREQ(e.what(), "Undo set too high");
    }
    EXPECT_EQ(M.UndoMaxLevel(), 1);
    M.SetUndoMaxLevel(0);
    Type("z");
    EXPECT_FALSE(M.CanUndo()) << "nothing is recorded at level 0";
}

TEST_F(Undo, SpaceLimit) {
    M.SetTextBuf(std::string(100, 'x'));
    M.ClearUndo();
    M.SetUndoMaxSpace(50);
    M.SelectAll();
    M.SetSelTextBuf("short");
    EXPECT_FALSE(M.CanUndo()) << "a change bigger than the space is not undoable";
    EXPECT_EQ(M.Text(), "short");
    M.SetUndoMaxSpace(1000);
    Type("1");
    M.SetSelStart(0);
    Type("2");
    EXPECT_EQ(M.UndoList().Space(), 13 + 13);
    M.SetUndoMaxSpace(20);
    EXPECT_EQ(M.UndoList().Count(), 1) << "lowering the limit drops the oldest";
}

TEST_F(Undo, UndoRestoresBreaksAndTheCaret) {
    M.SetTextBuf("first\r\nsecond\r\nthird");
    M.ClearUndo();
    M.SetSelStart(3);
    M.SetSelLength(10);
    M.SetSelTextBuf("X");
    EXPECT_EQ(M.Text(), "firX\r\nthird");
    M.Undo();
    EXPECT_EQ(M.Text(), "first\r\nsecond\r\nthird");
    EXPECT_EQ(M.SelStart(), 13) << "the caret after the re-inserted text";
    EXPECT_EQ(M.SelLength(), 0);
}

TEST_F(Undo, StyleCodeCleanUpIsPartOfTheEditsStep) {
    // Failed an earlier version that ran the clean-up again while replaying:
    // the undo list grew while undoing and Undo gave "ab" twice, then "abx".
    M.SetStaticFormat(true);
    M.SetTextBuf("a\2x\2b");
    M.ClearUndo();
    M.SetSelStart(2);
    M.SetSelLength(1);
    M.SetSelTextBuf("");
    EXPECT_EQ(M.Text(), "ab") << "the pair around nothing goes with the x";
    const std::int32_t records = M.UndoList().Count();
    M.Undo();
    EXPECT_EQ(M.Text(), "a\2x\2b") << "one Undo restores the edit and its clean-up";
    EXPECT_EQ(M.UndoList().Count(), records) << "undoing records nothing new";
    EXPECT_FALSE(M.CanUndo());
    M.Redo();
    EXPECT_EQ(M.Text(), "ab");
    EXPECT_FALSE(M.CanRedo());
    M.Undo();
    EXPECT_EQ(M.Text(), "a\2x\2b");
}

TEST_F(Undo, RandomEditsWithStyleCodesUndoToTheOriginal) {
    // Failed an earlier version in 39 runs of 40.
    M.SetStaticFormat(true);
    M.SetUndoMaxLevel(100000);
    M.SetUndoMaxSpace(std::int64_t(1) << 30);
    const char* bits[] = {"a", "\2", "\1", "\x15", "\3", "\4", " ", "\r\n", "bc"};
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        std::string start;
        for (int i = 0; i < 40; ++i) start += bits[rng() % std::size(bits)];
        M.SetTextBuf(start);
        M.ClearUndo();
        const std::string original = M.Text();
        for (int step = 0; step < 60; ++step) {
            const TPos len = M.CharCount();
            M.SetSelStart(static_cast<TPos>(rng() % (len + 1)));
            if (rng() % 2) M.SetSelLength(static_cast<TPos>(rng() % 7) - 3);
            if (M.SelStartNav().ParOffset() > M.SelStartNav().Par()->Len()) continue;  // between CR and LF
            std::string t;
            for (int k = static_cast<int>(rng() % 3); k > 0; --k) t += bits[rng() % std::size(bits)];
            M.SetSelTextBuf(t);
        }
        const std::string final = M.Text();
        while (M.CanUndo()) M.Undo();
        ASSERT_EQ(M.Text(), original) << "seed " << seed;
        while (M.CanRedo()) M.Redo();
        ASSERT_EQ(M.Text(), final) << "seed " << seed;
    }
}

}  // namespace
}  // namespace tarvex
